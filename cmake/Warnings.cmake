# peerkin_warnings(target): our code builds warning-free, warnings as errors.
function(peerkin_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX /permissive-)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
      -Wconversion -Wsign-conversion -Wold-style-cast -Werror)
  endif()
endfunction()
