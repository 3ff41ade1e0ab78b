#pragma once
// Where a program keeps the settings of one user on a desktop that follows
// the XDG Base Directory rules. Portable: plain text rules, no file access.

#include <string>
#include <string_view>

namespace forms {

// The folder for program's settings: program in $XDG_CONFIG_HOME when that
// is an absolute path, else in .config of the user's home folder; empty when
// that is needed and home is not an absolute path.
std::string UserConfigFolder(const char* xdgConfigHome, const char* home, std::string_view program);

} // namespace forms
