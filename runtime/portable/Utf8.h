#pragma once
// UTF-8 written from code points. Portable; each reader of UTF-8 keeps its
// own rule for bytes that are not UTF-8, since the settings file and file
// names need different ones.

#include <string>

namespace forms {

// Appends value (at most U+10FFFF) to out as UTF-8. Surrogates are written
// as they are, so that a lone one read from a UTF-16 file goes back unchanged.
void AppendUtf8(std::string& out, char32_t value);

} // namespace forms
