# quillon_add_library(NAME SOURCES ... [DEPS ...]) declares one layer's library.
# Includes are spelled from the repository root ("platform/ui/Dialog.hpp").
function(quillon_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE quillon_warnings)
endfunction()
