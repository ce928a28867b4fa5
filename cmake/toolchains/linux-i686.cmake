# 32-bit x86 Linux with the host's g++ and -m32 (Debian's g++-multilib).
# Programs built here run through qemu-i386 (Debian's qemu-user): CTest and
# gtest_discover_tests start them with CMAKE_CROSSCOMPILING_EMULATOR.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
# -m32 seeds CMAKE_<LANG>_FLAGS: a -DCMAKE_CXX_FLAGS=... given on the command line
# replaces it and must carry -m32 itself.
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

find_program(TARVO_QEMU_I386 qemu-i386 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR "${TARVO_QEMU_I386}")
