#pragma once
// Text rules for paths that need no file system. Portable: no platform headers.

#include <string>
#include <string_view>

namespace PathText {

// True when text ends in "\".
bool EndsInBackslash(std::wstring_view text);

// path with its letter case tidied without asking the file system: the first
// character and every character after " ", "-", "(", "_" or "\" in upper
// case, all others in lower case. Only the letters A to Z change; the
// length never does. C:\MY TOYS\FACE-WATCH.EXE becomes C:\My Toys\Face-Watch.exe.
std::wstring CaseOnlyLongForm(std::wstring path);

} // namespace PathText
