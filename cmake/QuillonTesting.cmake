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
    gtest_discover_tests(${name} TEST_PREFIX "${name}." DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT 120 ENVIRONMENT "${QUILLON_TEST_ENVIRONMENT}")
endfunction()
