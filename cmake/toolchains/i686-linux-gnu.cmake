# 32-bit x86 on a 64-bit x86 machine: the native compiler with -m32 and Debian's 32-bit
# libraries (lib32stdc++-12-dev, libc6-dev-i386). The programs run natively where the kernel
# starts 32-bit programs, and under qemu-i386 (qemu-user) where it cannot: see ProgramRunner.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386 -L /)

# The 64-bit kernel headers serve 32-bit programs too, but are found as <asm/...> only through
# the link that g++-multilib makes, and Debian 12 will not install that beside the ARM cross
# compiler: the build makes the link for itself.
set(multilib_include ${CMAKE_BINARY_DIR}/multilib-include)
file(MAKE_DIRECTORY ${multilib_include})
if(NOT EXISTS ${multilib_include}/asm)
  file(CREATE_LINK /usr/include/x86_64-linux-gnu/asm ${multilib_include}/asm SYMBOLIC)
endif()

set(CMAKE_C_FLAGS_INIT "-m32 -isystem ${multilib_include}")
set(CMAKE_CXX_FLAGS_INIT "-m32 -isystem ${multilib_include}")
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)
