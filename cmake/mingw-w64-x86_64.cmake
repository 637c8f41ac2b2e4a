# Cross build for 64-bit Windows with Debian's mingw-w64 compilers (posix
# threads, for std::thread). Executables and DLLs link the compiler's runtime
# statically, so they run without extra DLLs (under Wine too).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DGTest_DIR=<googletest built with this file>/lib/cmake/GTest
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUILLON_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${QUILLON_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLON_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLON_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLON_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Header-only libraries come from Debian's packages, exposed on their own so
# that no Linux system header reaches the Windows compiler.
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/windows CACHE PATH "CLI11 for the Windows build")
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/windows CACHE PATH "nlohmann-json for Windows")
