# Native builds of the portable code run under AddressSanitizer and
# UndefinedBehaviorSanitizer; any report fails the test.
option(PEERKIN_SANITIZE "Build native code with ASan and UBSan" ON)
function(peerkin_sanitize target)
  if(PEERKIN_SANITIZE AND NOT WIN32 AND NOT MSVC)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    # Tests that measure the process's memory need to know: the sanitizer's
    # own bookkeeping grows with every allocation.
    target_compile_definitions(${target} PRIVATE PEERKIN_SANITIZED)
  endif()
endfunction()
