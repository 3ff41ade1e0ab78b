# Shared part of the MinGW-w64 cross toolchains. The including file sets
# PEERKIN_MINGW_TRIPLE (i686-w64-mingw32 or x86_64-w64-mingw32).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

# The -posix thread model provides std::mutex, which GoogleTest needs.
find_program(_peerkin_cxx NAMES ${PEERKIN_MINGW_TRIPLE}-g++-posix ${PEERKIN_MINGW_TRIPLE}-g++ REQUIRED)
find_program(_peerkin_cc NAMES ${PEERKIN_MINGW_TRIPLE}-gcc-posix ${PEERKIN_MINGW_TRIPLE}-gcc REQUIRED)
set(CMAKE_CXX_COMPILER ${_peerkin_cxx})
set(CMAKE_C_COMPILER ${_peerkin_cc})
set(CMAKE_RC_COMPILER ${PEERKIN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PEERKIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs run under Wine; the launcher picks the right loader per bitness.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
