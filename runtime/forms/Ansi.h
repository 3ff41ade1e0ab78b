#pragma once
// Texts are Unicode inside the program and cross to the platform's
// narrow-character functions in the system's ANSI code page.

#include <string>
#include <string_view>

namespace forms {

// text in the ANSI code page; characters it lacks become the default char.
std::string ToAnsi(std::wstring_view text);
// ANSI-code-page text as Unicode.
std::wstring FromAnsi(std::string_view text);

} // namespace forms
