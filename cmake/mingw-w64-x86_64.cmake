# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix thread model,
# which std::thread and std::mutex need). Static libraries only, so the programs
# run without any DLL beside them. VELMORA_WINDOWS_DEPS names the prefix that
# tools/windows-deps.sh fills with SQLite, libjpeg-turbo and GoogleTest.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(VELMORA_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELMORA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMORA_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_MINGW})
if(VELMORA_WINDOWS_DEPS)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${VELMORA_WINDOWS_DEPS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELMORA_WINDOWS_DEPS)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
