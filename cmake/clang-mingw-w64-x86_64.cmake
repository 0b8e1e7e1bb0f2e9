# Cross-compiling for 64-bit Windows with Debian's clang and lld, on the
# MinGW-w64 headers and libraries that the g++ build uses as well.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(target x86_64-w64-windows-gnu)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${target})
set(CMAKE_CXX_COMPILER_TARGET ${target})
set(CMAKE_OBJDUMP x86_64-w64-mingw32-objdump)
set(CMAKE_AR x86_64-w64-mingw32-ar)
set(CMAKE_RANLIB x86_64-w64-mingw32-ranlib)

# clang does not find the MinGW g++ installation's C++ library on its own.
set(gcc_dir /usr/lib/gcc/x86_64-w64-mingw32/12-posix)
set(CMAKE_CXX_FLAGS_INIT
  "-isystem ${gcc_dir}/include/c++ -isystem ${gcc_dir}/include/c++/x86_64-w64-mingw32 -isystem ${gcc_dir}/include/c++/backward")
# The static C++ library takes its locks from winpthread; lld finds archive
# members whatever their order on the line.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -L${gcc_dir} -lpthread")
# The tests build a DLL as well; it links the same way.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT}")

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
