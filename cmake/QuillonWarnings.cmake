# Warnings live in one INTERFACE target that every project target links.
option(QUILLON_WERROR "Treat warnings as errors" OFF)

add_library(quillon_warnings INTERFACE)
target_compile_options(quillon_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(QUILLON_WERROR)
    target_compile_options(quillon_warnings INTERFACE -Werror)
endif()
