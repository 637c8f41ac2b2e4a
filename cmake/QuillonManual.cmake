# The user manual, 升级使用手册.pdf, made from the Markdown chapters in
# doc/manual/ with pictures of the window taken by this build's own Qt program
# (so the manual never shows an old window). It lies beside the window's
# program, where button 1007 looks first, and installs into share/doc/quillon,
# where an installed window looks next.
#
# Needs Debian's python3-markdown, weasyprint and fonts-noto-cjk
# (scripts/setup installs them); -DQUILLON_BUILD_MANUAL=OFF leaves it out.

# A sanitizer build checks the code; the manual comes from the ordinary build.
set(manual_default ON)
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize")
    set(manual_default OFF)
endif()
option(QUILLON_BUILD_MANUAL "Build the user manual (升级使用手册.pdf) from doc/manual" ${manual_default})

set(QUILLON_MANUAL_NAME "升级使用手册.pdf")
file(GLOB QUILLON_MANUAL_CHAPTERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/doc/manual/[0-9]*.md)

# The manual must name every message box the program can show.
if(QUILLON_BUILD_TESTS AND NOT CMAKE_CROSSCOMPILING)
    find_package(Python3 COMPONENTS Interpreter QUIET)
    if(Python3_FOUND)
        add_test(NAME manual.EveryMessageBoxIsInTheManual
                 COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/manual-message-boxes
                         ${QUILLON_MANUAL_CHAPTERS})
        add_test(NAME manual.MessageBoxCollector
                 COMMAND Python3::Interpreter -m unittest discover -s ${PROJECT_SOURCE_DIR}/tests/manual
                         -p test_message_boxes.py)
        set_tests_properties(manual.MessageBoxCollector PROPERTIES
                             ENVIRONMENT "PYTHONDONTWRITEBYTECODE=1")
    endif()
endif()

# The directory of the window's program, where button 1007 looks first.
function(quillon_manual_directory result)
    set(directory ${PROJECT_BINARY_DIR}/manual)
    if(TARGET quillon)
        get_target_property(directory quillon RUNTIME_OUTPUT_DIRECTORY)
        if(NOT directory)
            get_target_property(directory quillon BINARY_DIR)
        endif()
    endif()
    set(${result} ${directory} PARENT_SCOPE)
endfunction()

# A cross build cannot run its window to picture it: it takes the manual an
# ordinary build made, when told where that lies.
set(QUILLON_MANUAL_PDF "" CACHE FILEPATH "A manual made by another build, for a cross build to ship")
if(CMAKE_CROSSCOMPILING AND QUILLON_MANUAL_PDF)
    if(NOT EXISTS ${QUILLON_MANUAL_PDF})
        message(FATAL_ERROR "QUILLON_MANUAL_PDF: no manual at ${QUILLON_MANUAL_PDF}")
    endif()
    quillon_manual_directory(manual_output_dir)
    configure_file(${QUILLON_MANUAL_PDF} ${manual_output_dir}/${QUILLON_MANUAL_NAME} COPYONLY)
    # A Windows installation is one folder: the manual lies beside the
    # programs, where button 1007 looks first.
    set(manual_destination share/doc/quillon)
    if(WIN32)
        set(manual_destination .)
    endif()
    install(FILES ${manual_output_dir}/${QUILLON_MANUAL_NAME} DESTINATION ${manual_destination})
elseif(CMAKE_CROSSCOMPILING)
    # No manual given this time: none from an earlier configure stays behind.
    quillon_manual_directory(manual_output_dir)
    file(REMOVE ${manual_output_dir}/${QUILLON_MANUAL_NAME})
endif()
if(NOT QUILLON_BUILD_MANUAL OR CMAKE_CROSSCOMPILING)
    return()
endif()

# Debian's packages install into the system interpreter, whichever python3
# comes first on PATH.
find_program(QUILLON_MANUAL_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(QUILLON_MANUAL_PYTHON)
    execute_process(COMMAND ${QUILLON_MANUAL_PYTHON} -c "import markdown, weasyprint"
                    RESULT_VARIABLE manual_tools_missing OUTPUT_QUIET ERROR_QUIET)
endif()
if(NOT QUILLON_MANUAL_PYTHON OR manual_tools_missing)
    message(FATAL_ERROR "The manual needs python3-markdown and weasyprint in /usr/bin/python3: "
                        "run scripts/setup, or configure with -DQUILLON_BUILD_MANUAL=OFF")
endif()

if(QUILLON_BUILD_TESTS)
    add_test(NAME manual.Page
             COMMAND ${QUILLON_MANUAL_PYTHON} -m unittest discover -s ${PROJECT_SOURCE_DIR}/tests/manual
                     -p test_manual_pages.py)
    set_tests_properties(manual.Page PROPERTIES ENVIRONMENT "PYTHONDONTWRITEBYTECODE=1")
endif()

set(manual_dir ${PROJECT_BINARY_DIR}/manual)
quillon_manual_directory(manual_output_dir)
set(manual_pdf ${manual_output_dir}/${QUILLON_MANUAL_NAME})

# Pictures of the window as this build draws it: offscreen (no display needed),
# on the simulated adapter, with settings at their starting values. They are
# taken afresh whenever the window's program changes, but replace the kept
# ones only where a picture differs, so the manual is remade only then.
set(manual_shots_args "")
set(manual_pictures "")  # what the manual is remade from
if(TARGET quillon)
    set(shots ${manual_dir}/shots)
    set(manual_shots_args --shots ${shots})
    set(fresh ${manual_dir}/shots-taken)
    set(fresh_pictures "")
    foreach(name main tab-0 tab-1 tab-2 tab-3 tab-4 tab-5 tab-6 tab-7 tab-8 tab-9 about adapter)
        list(APPEND manual_pictures ${shots}/${name}.png)
        list(APPEND fresh_pictures ${fresh}/${name}.png)
    endforeach()
    # The tools' windows, where this build has them.
    set(tool_commands "")
    set(tool_depends "")
    foreach(tool IN ITEMS baudly refold)
        if(TARGET ${tool})
            list(APPEND manual_pictures ${shots}/${tool}.png)
            list(APPEND fresh_pictures ${fresh}/${tool}.png)
            list(APPEND tool_commands COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                 XDG_RUNTIME_DIR=${manual_dir}/runtime $<TARGET_FILE:${tool}> --screenshot
                 ${fresh}/${tool}.png)
            list(APPEND tool_depends ${tool})
        endif()
    endforeach()
    file(MAKE_DIRECTORY ${manual_dir}/runtime)
    file(CHMOD ${manual_dir}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
    add_custom_command(
        OUTPUT ${manual_dir}/shots.stamp
        BYPRODUCTS ${manual_pictures}
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${fresh} ${manual_dir}/settings
        COMMAND ${CMAKE_COMMAND} -E make_directory ${manual_dir}/settings ${shots}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen KELVIX_ADAPTER=sim
                XDG_RUNTIME_DIR=${manual_dir}/runtime
                $<TARGET_FILE:quillon> --show-pages --settings-dir ${manual_dir}/settings
                --screenshots ${fresh}
        ${tool_commands}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${fresh_pictures} ${shots}
        COMMAND ${CMAKE_COMMAND} -E touch ${manual_dir}/shots.stamp
        DEPENDS quillon ${tool_depends}
        COMMENT "Taking the manual's pictures of the window"
        VERBATIM)
    # The stamp marks a taking; the manual depends on the pictures alone.
    add_custom_target(manual_pictures DEPENDS ${manual_dir}/shots.stamp)
endif()

add_custom_command(
    OUTPUT ${manual_pdf}
    COMMAND ${QUILLON_MANUAL_PYTHON} ${PROJECT_SOURCE_DIR}/scripts/manual ${manual_shots_args}
            ${manual_pdf} ${QUILLON_MANUAL_CHAPTERS}
    DEPENDS ${QUILLON_MANUAL_CHAPTERS} ${PROJECT_SOURCE_DIR}/scripts/manual ${manual_pictures}
    COMMENT "Making the user manual ${QUILLON_MANUAL_NAME}"
    VERBATIM)
add_custom_target(manual ALL DEPENDS ${manual_pdf})
if(TARGET manual_pictures)
    add_dependencies(manual manual_pictures)
endif()

install(FILES ${manual_pdf} DESTINATION share/doc/quillon)
