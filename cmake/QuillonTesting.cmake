# quillon_add_test_suite(NAME SOURCES... LIBS ...) builds one GoogleTest binary
# per top-level folder and registers its cases with CTest.
include(GoogleTest)

# No test may write into the user's home: every test process makes its state
# and config folders in the build tree (tests/isolation gives each test its own).
set(QUILLON_TEST_ENVIRONMENT "XDG_STATE_HOME=${PROJECT_BINARY_DIR}/test-state")

function(quillon_add_test_suite name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} quillon_test_support GTest::gtest_main
                                          quillon_test_isolation quillon_warnings)
    # A cross-built suite cannot be listed on the build machine; scripts/check-windows
    # runs every program named in test-programs.txt instead.
    set_property(GLOBAL APPEND PROPERTY QUILLON_TEST_PROGRAMS ${name})
    if(CMAKE_CROSSCOMPILING)
        return()
    endif()
    gtest_discover_tests(${name} TEST_PREFIX "${name}." DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT 120 ENVIRONMENT "${QUILLON_TEST_ENVIRONMENT}")
endfunction()

# Writes test-programs.txt in the build folder: the path of every test
# program, one per line.
function(quillon_write_test_program_list)
    get_property(programs GLOBAL PROPERTY QUILLON_TEST_PROGRAMS)
    set(lines "")
    foreach(program IN LISTS programs)
        string(APPEND lines "$<TARGET_FILE:${program}>\n")
    endforeach()
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/test-programs.txt CONTENT "${lines}")
endfunction()

# quillon_test_library_path(OUT TARGET): how a test names a shared library of
# the build: its full path, or on Windows, where every DLL is put beside the
# test programs, its file name.
function(quillon_test_library_path out target)
    if(WIN32)
        set(${out} "$<TARGET_FILE_NAME:${target}>" PARENT_SCOPE)
    else()
        set(${out} "$<TARGET_FILE:${target}>" PARENT_SCOPE)
    endif()
endfunction()

# quillon_copy_beside(PROGRAM LIBRARY): on Windows a program finds the DLLs it
# loads beside itself, so the build puts a copy of LIBRARY there.
function(quillon_copy_beside program library)
    if(WIN32)
        add_custom_command(TARGET ${program} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${library}>
                    $<TARGET_FILE_DIR:${program}>)
    endif()
endfunction()
