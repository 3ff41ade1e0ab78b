#pragma once
// Paths as the program's own code writes them, and as Linux names files.
// The program joins paths with "\", Linux with "/", and a Linux name may
// hold a "\" of its own: that one travels as U+F05C (the private-use
// character other Windows-on-Unix layers also use for it), so that a path
// goes to the program's form and back unchanged. Texts are UTF-8.
// Portable: no platform headers.

#include <string>
#include <string_view>

namespace forms {

// A Linux path as the program's code handles paths.
std::string ToProgramPath(std::string_view linuxPath);
// A path of the program's code as Linux names it.
std::string ToLinuxPath(std::string_view programPath);

} // namespace forms
