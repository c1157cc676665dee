# MinGW-w64 with the posix thread model, linked statically so the exe needs
# no MinGW runtime DLL.
set(CMAKE_C_COMPILER ${VELDIS_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELDIS_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VELDIS_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VELDIS_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
