# A 64-bit twin of the same sources, for hosts whose kernel cannot run 32-bit
# Wine. It is built and tested only; the product stays 32-bit.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PEERKIN_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
