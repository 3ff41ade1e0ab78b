#pragma once
// Where a program keeps the settings of one user, and where it finds data
// installed for it, on a desktop that follows the XDG Base Directory rules.
// Portable: plain text rules, no file access.

#include <string>
#include <string_view>
#include <vector>

namespace forms {

// The folder for program's settings: program in $XDG_CONFIG_HOME when that
// is an absolute path, else in .config of the user's home folder; empty when
// that is needed and home is not an absolute path.
std::string UserConfigFolder(const char* xdgConfigHome, const char* home, std::string_view program);

// Where data under the name path may be installed, first found first: in
// $XDG_DATA_HOME (else .local/share of the home folder), then in each
// absolute folder of $XDG_DATA_DIRS (else /usr/local/share and /usr/share).
std::vector<std::string> DataPlaces(
    const char* xdgDataHome, const char* home, const char* xdgDataDirs, std::string_view path);

} // namespace forms
