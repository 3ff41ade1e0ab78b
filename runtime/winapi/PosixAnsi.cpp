// The narrow texts of this platform are UTF-8. Bytes that are not UTF-8 (a
// file name in another encoding) travel as the lone surrogates U+DC80 to
// U+DCFF and come back as the same bytes, so that no name is changed on its
// way through the program.
#include "Ansi.h"
#include "Utf8.h"

#include <cstdint>

namespace forms {
namespace {

constexpr char32_t Replacement = 0xFFFD;
constexpr char32_t EscapedByte = 0xDC00; // plus the byte, 0x80 to 0xFF

// The character starting at text[at], advancing at past it; a byte that
// starts no well-formed sequence comes as itself, escaped.
char32_t NextCharacter(std::string_view text, std::size_t& at)
{
    auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    std::uint8_t lead = byte(at);
    std::size_t length = lead < 0x80 ? 1
        : (lead >> 5) == 0x6         ? 2
        : (lead >> 4) == 0xE         ? 3
        : (lead >> 3) == 0x1E        ? 4
                                     : 0;
    if (length == 0 || at + length > text.size())
        return EscapedByte + byte(at++);
    char32_t c = length == 1 ? lead : static_cast<char32_t>(lead & (0x7F >> length));
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return EscapedByte + byte(at++);
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    bool overlong = (length == 2 && c < 0x80) || (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return EscapedByte + byte(at++);
    at += length;
    return c;
}

} // namespace

std::string ToAnsi(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        auto code = static_cast<char32_t>(c);
        if (code >= EscapedByte + 0x80 && code <= EscapedByte + 0xFF)
            out.push_back(static_cast<char>(code - EscapedByte));
        else
            AppendUtf8(out, (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) ? Replacement : code);
    }
    return out;
}

std::wstring FromAnsi(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();)
        out.push_back(static_cast<wchar_t>(NextCharacter(text, at)));
    return out;
}

} // namespace forms
