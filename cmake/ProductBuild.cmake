# The shipped program is one statically linked file with a size budget of
# 256 KB, of which its picture and icon take 176 KB. With MinGW:
# - the program's code is compiled for size, each function and datum in a
#   section of its own, so that the program's link drops whatever nothing
#   calls (the tests keep the default optimisation);
# - the program links the C++ runtime of the compiler's win32 thread model.
#   The posix model's runtime needs winpthread (32 KB once linked in);
#   GoogleTest needs the posix model's std::mutex, the program needs no
#   threads at all. Both runtimes come from the same GCC release and differ
#   only in how they lock, so the program's objects link with either.
set(PEERKIN_PRODUCT_COMPILE_OPTIONS "")
if(MINGW)
  set(PEERKIN_PRODUCT_COMPILE_OPTIONS $<$<CONFIG:Release>:-Os> -ffunction-sections -fdata-sections)

  string(REGEX REPLACE "-posix$" "-win32" _peerkin_win32_cxx "${CMAKE_CXX_COMPILER}")
  if(NOT _peerkin_win32_cxx STREQUAL CMAKE_CXX_COMPILER AND EXISTS "${_peerkin_win32_cxx}")
    # Debian names the releases "12-posix" and "12-win32".
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpfullversion OUTPUT_VARIABLE _peerkin_posix_version)
    execute_process(COMMAND ${_peerkin_win32_cxx} -dumpfullversion OUTPUT_VARIABLE _peerkin_win32_version)
    string(REGEX REPLACE "-posix" "" _peerkin_posix_version "${_peerkin_posix_version}")
    string(REGEX REPLACE "-win32" "" _peerkin_win32_version "${_peerkin_win32_version}")
    execute_process(COMMAND ${_peerkin_win32_cxx} -print-libgcc-file-name
      OUTPUT_VARIABLE _peerkin_win32_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(_peerkin_posix_version STREQUAL _peerkin_win32_version AND EXISTS "${_peerkin_win32_libgcc}")
      get_filename_component(PEERKIN_WIN32_THREAD_RUNTIME "${_peerkin_win32_libgcc}" DIRECTORY)
    endif()
  endif()
endif()

# The directories added between these two hold the program's own code.
macro(peerkin_begin_product_code)
  add_compile_options(${PEERKIN_PRODUCT_COMPILE_OPTIONS})
endmacro()
macro(peerkin_end_product_code)
  get_directory_property(_peerkin_options COMPILE_OPTIONS)
  if(PEERKIN_PRODUCT_COMPILE_OPTIONS AND _peerkin_options)
    list(REMOVE_ITEM _peerkin_options ${PEERKIN_PRODUCT_COMPILE_OPTIONS})
    set_directory_properties(PROPERTIES COMPILE_OPTIONS "${_peerkin_options}")
  endif()
endmacro()

# peerkin_product_settings(target): builds target as the shipped program is
# built: for size, in one file with no runtime to install, stripped, with
# unused code dropped.
function(peerkin_product_settings target)
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/runtime/win32/LeanLibraryRuntime.cpp)
  target_compile_options(${target} PRIVATE ${PEERKIN_PRODUCT_COMPILE_OPTIONS})
  if(MSVC)
    return()
  endif()
  target_link_options(${target} PRIVATE -static -s)
  if(MINGW)
    # Sections aligned in the file as in memory: Wine then maps them from
    # the file page by page, as Windows does, rather than reading them in
    # whole, and the faces for scaled screens take no memory until read.
    target_link_options(${target} PRIVATE -Wl,--gc-sections -Wl,--file-alignment,4096)
  endif()
  if(PEERKIN_WIN32_THREAD_RUNTIME)
    # Searched before the compiler's own folder: its libstdc++ and libgcc win.
    target_link_directories(${target} BEFORE PRIVATE ${PEERKIN_WIN32_THREAD_RUNTIME})
  endif()
endfunction()
