# What an installation holds, and the packages made from it:
#   cpack -G DEB  (in a Linux build)  a Debian package installing under /usr
#   scripts/package                   that, and the Windows zip and installer
#
# On Linux the programs go to bin/, the adapter library to
# lib/<multiarch>/quillon/ (a private folder: it has no versioned name other
# packages could depend on, and needs no ldconfig run), and the marker quillon.installed to share/quillon/, which tells the programs
# that their own folder is no place for settings. On Windows everything sits
# in one folder; the marker is added by the installer only, so that the zip,
# unpacked into a writable folder, keeps its settings beside the programs.
include_guard(GLOBAL)

set(QUILLON_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(QUILLON_DESKTOP_ID org.quillon.Quillon)

if(WIN32)
    set(quillon_bin_dir .)
    set(quillon_lib_dir .)
else()
    set(quillon_bin_dir bin)
    set(quillon_lib_dir lib/quillon)
    if(CMAKE_LIBRARY_ARCHITECTURE)
        set(quillon_lib_dir lib/${CMAKE_LIBRARY_ARCHITECTURE}/quillon)
    endif()
endif()

# The programs of this build; a program another part of the build has not
# added yet is simply left out.
set(QUILLON_INSTALLED_PROGRAMS "")
foreach(program IN ITEMS quillon quillon-cli quillon-cli-qt quillon-devsim baudly Baudly refold Refold)
    if(TARGET ${program})
        list(APPEND QUILLON_INSTALLED_PROGRAMS ${program})
    endif()
endforeach()
if(QUILLON_INSTALLED_PROGRAMS)
    install(TARGETS ${QUILLON_INSTALLED_PROGRAMS} RUNTIME DESTINATION ${quillon_bin_dir})
endif()
if(TARGET kelvix)
    # RUNTIME is kelvix.dll, LIBRARY libkelvix.so; the import library stays out.
    install(TARGETS kelvix RUNTIME DESTINATION ${quillon_lib_dir}
            LIBRARY DESTINATION ${quillon_lib_dir})
endif()

if(WIN32 OR NOT QUILLON_INSTALLED_PROGRAMS)
    return()
endif()

install(FILES ${QUILLON_PACKAGING_DIR}/quillon.installed DESTINATION share/quillon)
install(FILES ${QUILLON_PACKAGING_DIR}/quillon-cli.bash-completion
        DESTINATION share/bash-completion/completions RENAME quillon-cli)

# Debian wants the changelog and the man pages compressed, without a time
# stamp in the gzip header so that the package builds the same every time.
find_program(QUILLON_GZIP gzip)
find_program(QUILLON_HELP2MAN help2man)
set(quillon_generated ${CMAKE_BINARY_DIR}/packaging)
set(quillon_package_files "")
install(CODE "
    execute_process(COMMAND \"${CMAKE_COMMAND}\" --build \"${CMAKE_BINARY_DIR}\"
                            --target quillon_package_files RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR \"Could not make the man pages, icons and changelog\")
    endif()")
# The window program, run without a display to draw its icon or print its
# help, wants a runtime folder only its user can enter.
set(quillon_runtime ${quillon_generated}/runtime)
file(MAKE_DIRECTORY ${quillon_runtime})
file(CHMOD ${quillon_runtime} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

if(QUILLON_GZIP)
    add_custom_command(
        OUTPUT ${quillon_generated}/changelog.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${quillon_generated}
        COMMAND ${QUILLON_GZIP} -9nc ${QUILLON_PACKAGING_DIR}/changelog > ${quillon_generated}/changelog.gz
        DEPENDS ${QUILLON_PACKAGING_DIR}/changelog
        COMMENT "Compressing the package changelog" VERBATIM)
    list(APPEND quillon_package_files ${quillon_generated}/changelog.gz)
    install(FILES ${quillon_generated}/changelog.gz DESTINATION share/doc/quillon)
endif()
install(FILES ${QUILLON_PACKAGING_DIR}/copyright DESTINATION share/doc/quillon)

# A man page for each program, made from its --help. The window program runs
# without a display for that.
if(QUILLON_HELP2MAN AND QUILLON_GZIP)
    set(help_quillon "configure, maintain and re-flash CAN devices (window)")
    set(help_quillon-cli "configure, maintain and re-flash CAN devices from the command line")
    set(help_quillon-cli-qt "quillon-cli with the Qt SerialBus backend, which quillon-cli starts when a command needs it")
    set(help_quillon-devsim "a simulated CAN device on a bus of its own")
    set(help_baudly "CAN bit-timing calculator for the device's controller")
    set(help_refold "convert CAN record files between formats")
    # A window program that did not know --help would wait for its user.
    find_program(QUILLON_TIMEOUT timeout)
    set(limit "")
    if(QUILLON_TIMEOUT)
        set(limit ${QUILLON_TIMEOUT} 120)
    endif()
    foreach(program IN LISTS QUILLON_INSTALLED_PROGRAMS)
        # The page is named as the program file is (Baudly, made by target baudly).
        get_target_property(file_name ${program} OUTPUT_NAME)
        if(NOT file_name)
            set(file_name ${program})
        endif()
        string(TOLOWER ${program} key)
        set(page ${quillon_generated}/${file_name}.1)
        add_custom_command(
            OUTPUT ${page}.gz
            COMMAND ${CMAKE_COMMAND} -E make_directory ${quillon_generated}
            COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                    XDG_RUNTIME_DIR=${quillon_runtime} ${limit}
                    ${QUILLON_HELP2MAN} --no-info --no-discard-stderr --section=1
                    --version-string=${PROJECT_VERSION} --name=${help_${key}}
                    --output=${page} $<TARGET_FILE:${program}>
            COMMAND ${QUILLON_GZIP} -9nf ${page}
            DEPENDS ${program}
            COMMENT "Writing the man page of ${program}" VERBATIM)
        list(APPEND quillon_package_files ${page}.gz)
        install(FILES ${page}.gz DESTINATION share/man/man1)
    endforeach()
endif()

# The window's icon in the hicolor theme, drawn by the program's own code, and
# its desktop entry.
if(TARGET quillon)
    add_subdirectory(${QUILLON_PACKAGING_DIR}/icon ${CMAKE_BINARY_DIR}/packaging/icon)
    foreach(size IN ITEMS 16 32 48 64)
        list(APPEND quillon_icons ${quillon_generated}/icons/${size}.png)
        install(FILES ${quillon_generated}/icons/${size}.png
                DESTINATION share/icons/hicolor/${size}x${size}/apps
                RENAME ${QUILLON_DESKTOP_ID}.png)
    endforeach()
    add_custom_command(
        OUTPUT ${quillon_icons}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${quillon_generated}/icons
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                XDG_RUNTIME_DIR=${quillon_runtime}
                $<TARGET_FILE:quillon-icon-export> ${quillon_generated}/icons
        DEPENDS quillon-icon-export
        COMMENT "Drawing the program icon" VERBATIM)
    list(APPEND quillon_package_files ${quillon_icons})
    install(FILES ${QUILLON_PACKAGING_DIR}/${QUILLON_DESKTOP_ID}.desktop
            DESTINATION share/applications)
endif()

# Made when an install (or cpack) asks for them rather than with every build:
# help2man runs each program, which a sanitizer build would report on.
add_custom_target(quillon_package_files DEPENDS ${quillon_package_files})

set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR "The Quillon developers")
set(CPACK_PACKAGE_CONTACT "Quillon developers <dev@quillon.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure and re-flash stand-alone CAN devices")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillon configures, maintains and re-flashes stand-alone CAN devices\n(recorder, bridge, replayer, cellular DTU) through a USB-CAN adapter.\nIt holds the window program, the command-line tool, a simulated\ndevice and the adapter library for other programs.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The maintainer scripts and control files with the modes Debian policy asks for.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
