# quillon_header_only(TARGET DIR): an imported target for a header-only library
# installed in /usr/include/DIR, seen through a folder that holds only it.
function(quillon_header_only target dir)
    if(TARGET ${target})
        return()
    endif()
    set(root ${CMAKE_BINARY_DIR}/header-only)
    file(MAKE_DIRECTORY ${root})
    if(NOT EXISTS ${root}/${dir})
        file(CREATE_LINK /usr/include/${dir} ${root}/${dir} SYMBOLIC)
    endif()
    add_library(${target} INTERFACE IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${root})
endfunction()
