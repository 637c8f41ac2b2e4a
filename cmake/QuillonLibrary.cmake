# quillon_add_library(NAME SOURCES ... [DEPS ...]) declares one layer's library.
# Includes are spelled from the repository root ("platform/ui/Dialog.hpp").
function(quillon_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    # Every layer may end up inside the adapter library's shared build.
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE quillon_warnings)
endfunction()
