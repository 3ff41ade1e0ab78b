#pragma once
// Reading and editing the text of a classic sectioned settings file, as the
// profile services of the platform do. Portable: no platform headers, no
// file access; callers pass the file's bytes and store what comes back.
//
// The file is lines ending in CRLF, LF or CR; a NUL byte ends what a line
// says. "[name]" (up to the last ']', trimmed) starts a section; the lines
// before the first one form a section whose name is empty. "name=value" is a
// key, name and value trimmed of blanks (space, tab, vertical tab, form feed); a
// line without '=' names a key that has no value. Names compare without
// regard to ASCII letter case, and the first section and the first key of a
// name count. A file that starts with a UTF-16 byte-order mark is UTF-16,
// given and taken here as UTF-8, and stays UTF-16 when edited; a UTF-8 mark is
// skipped and kept; any other file is bytes taken as they are.

#include <optional>
#include <string>
#include <string_view>

namespace forms::profile {

// The value of key in section: without blanks at either end and without one
// pair of enclosing quotes (" or '). Nullopt when the section or key is
// missing or the key's line has no '='; an empty value is "".
std::optional<std::string> FindValue(std::string_view fileBytes, std::string_view section, std::string_view key);

// The file with key set to value. An existing key's line becomes
// "name=value" with the name as the file spells it, keeping its line end;
// a missing key goes after the section's last non-blank line; a missing
// section goes at the end of the file. New lines end in CRLF; all other bytes
// stay as they are. When the key already holds exactly value, the file comes
// back unchanged.
std::string SetValue(
    std::string_view fileBytes, std::string_view section, std::string_view key, std::string_view value);

} // namespace forms::profile
