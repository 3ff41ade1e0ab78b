#include "ProfileText.h"

#include "Utf8.h"

#include <cstddef>
#include <cstdint>

namespace forms::profile {
namespace {

constexpr std::size_t None = std::string_view::npos;
constexpr std::string_view NewLine = "\r\n";
constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeMark = "\xFF\xFE";
constexpr std::string_view Utf16BeMark = "\xFE\xFF";
constexpr char32_t ReplacementCharacter = 0xFFFD;

// ---- Encodings -------------------------------------------------------------

enum class Encoding { Bytes, Utf8WithMark, Utf16Le, Utf16Be };

struct DecodedFile {
    Encoding encoding;
    std::string text; // UTF-8 for the UTF-16 encodings, the bytes otherwise; no mark
};

struct CodePoint {
    char32_t value;
    std::size_t length; // bytes of UTF-8 it took
};

unsigned ByteAt(std::string_view text, std::size_t at) { return static_cast<unsigned char>(text[at]); }

bool IsSurrogate(char32_t value) { return value >= 0xD800 && value <= 0xDFFF; }

// The code point whose UTF-8 starts at text[at]; a byte that starts no valid
// sequence reads as U+FFFD of one byte. Encoded surrogates are accepted, so
// that a lone surrogate read from a UTF-16 file is written back unchanged.
CodePoint CodePointAt(std::string_view text, std::size_t at)
{
    static constexpr char32_t Smallest[] = { 0, 0, 0x80, 0x800, 0x10000 };
    const unsigned lead = ByteAt(text, at);
    if (lead < 0x80)
        return { lead, 1 };
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || text.size() - at < length)
        return { ReplacementCharacter, 1 };
    char32_t value = lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned next = ByteAt(text, at + i);
        if ((next & 0xC0) != 0x80)
            return { ReplacementCharacter, 1 };
        value = (value << 6) | (next & 0x3F);
    }
    if (value < Smallest[length] || value > 0x10FFFF)
        return { ReplacementCharacter, 1 };
    return { value, length };
}

// The UTF-16 code unit at index; an odd last byte is a unit of its own.
char32_t UnitAt(std::string_view bytes, std::size_t index, bool bigEndian)
{
    const std::size_t at = 2 * index;
    if (at + 1 >= bytes.size())
        return ByteAt(bytes, at);
    const unsigned first = ByteAt(bytes, at);
    const unsigned second = ByteAt(bytes, at + 1);
    return bigEndian ? (first << 8 | second) : (second << 8 | first);
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    std::string text;
    text.reserve(bytes.size());
    const std::size_t units = (bytes.size() + 1) / 2;
    for (std::size_t i = 0; i < units; ++i) {
        char32_t unit = UnitAt(bytes, i, bigEndian);
        const char32_t next = i + 1 < units ? UnitAt(bytes, i + 1, bigEndian) : 0;
        if (unit >= 0xD800 && unit <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00);
            ++i;
        }
        AppendUtf8(text, unit);
    }
    return text;
}

void AppendUnit(std::string& out, char32_t unit, bool bigEndian)
{
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    out.push_back(bigEndian ? high : low);
    out.push_back(bigEndian ? low : high);
}

std::string Utf8ToUtf16(std::string_view text, bool bigEndian)
{
    std::string bytes;
    bytes.reserve(2 * text.size());
    for (std::size_t at = 0; at < text.size();) {
        const CodePoint point = CodePointAt(text, at);
        if (point.value >= 0x10000) {
            AppendUnit(bytes, 0xD800 + ((point.value - 0x10000) >> 10), bigEndian);
            AppendUnit(bytes, 0xDC00 + ((point.value - 0x10000) & 0x3FF), bigEndian);
        } else {
            AppendUnit(bytes, point.value, bigEndian);
        }
        at += point.length;
    }
    return bytes;
}

// text with each encoded lone surrogate turned into U+FFFD: proper UTF-8.
std::string WithoutSurrogates(std::string_view text)
{
    std::string clean;
    clean.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const CodePoint point = CodePointAt(text, at);
        if (IsSurrogate(point.value))
            AppendUtf8(clean, ReplacementCharacter);
        else
            clean.append(text.substr(at, point.length));
        at += point.length;
    }
    return clean;
}

bool IsUtf16(Encoding encoding) { return encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be; }

DecodedFile Decode(std::string_view bytes)
{
    if (bytes.substr(0, 2) == Utf16LeMark)
        return { Encoding::Utf16Le, Utf16ToUtf8(bytes.substr(2), false) };
    if (bytes.substr(0, 2) == Utf16BeMark)
        return { Encoding::Utf16Be, Utf16ToUtf8(bytes.substr(2), true) };
    if (bytes.substr(0, 3) == Utf8Mark)
        return { Encoding::Utf8WithMark, std::string(bytes.substr(3)) };
    return { Encoding::Bytes, std::string(bytes) };
}

std::string Encode(Encoding encoding, std::string_view text)
{
    switch (encoding) {
    case Encoding::Utf16Le:
        return std::string(Utf16LeMark) + Utf8ToUtf16(text, false);
    case Encoding::Utf16Be:
        return std::string(Utf16BeMark) + Utf8ToUtf16(text, true);
    case Encoding::Utf8WithMark:
        return std::string(Utf8Mark).append(text);
    case Encoding::Bytes:
        break;
    }
    return std::string(text);
}

// ---- Lines -----------------------------------------------------------------

struct Line {
    std::size_t begin;
    std::size_t contentEnd; // where the line end starts
    std::size_t end; // after the line end
};

// The line that starts at begin.
Line LineAt(std::string_view text, std::size_t begin)
{
    const std::size_t contentEnd = text.find_first_of("\r\n", begin);
    if (contentEnd == None)
        return { begin, text.size(), text.size() };
    std::size_t end = contentEnd + 1;
    if (text[contentEnd] == '\r' && end < text.size() && text[end] == '\n')
        ++end;
    return { begin, contentEnd, end };
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view TrimStart(std::string_view text)
{
    std::size_t first = 0;
    while (first < text.size() && IsBlank(text[first]))
        ++first;
    return text.substr(first);
}

std::string_view Trim(std::string_view text)
{
    text = TrimStart(text);
    std::size_t length = text.size();
    while (length > 0 && IsBlank(text[length - 1]))
        --length;
    return text.substr(0, length);
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

enum class LineKind { Blank, Header, Key, KeyWithoutValue };

struct Entry {
    LineKind kind;
    std::string_view name; // the section's or the key's
    std::string_view value;
};

// What the line says; a NUL byte ends it early.
Entry EntryOf(std::string_view text, const Line& line)
{
    std::string_view content = text.substr(line.begin, line.contentEnd - line.begin);
    content = Trim(content.substr(0, content.find('\0')));
    if (content.empty())
        return { LineKind::Blank, {}, {} };
    const std::size_t close = content.rfind(']');
    if (content.front() == '[' && close != None)
        return { LineKind::Header, Trim(content.substr(1, close - 1)), {} };
    const std::size_t equals = content.find('=');
    if (equals == None)
        return { LineKind::KeyWithoutValue, content, {} };
    return { LineKind::Key, Trim(content.substr(0, equals)), Trim(content.substr(equals + 1)) };
}

// ---- Sections and keys -----------------------------------------------------

struct SectionPlace {
    bool found;
    std::size_t begin; // its header line; 0 for the lines before the first header
    std::size_t bodyBegin; // after the header line
    std::size_t end; // the next header line, or the end of the text
};

// The first section called name; the empty name is the lines before the first header.
SectionPlace FindSection(std::string_view text, std::string_view name)
{
    SectionPlace place { name.empty(), 0, 0, text.size() };
    for (std::size_t at = 0; at < text.size();) {
        const Line line = LineAt(text, at);
        const Entry entry = EntryOf(text, line);
        if (entry.kind == LineKind::Header) {
            if (place.found) {
                place.end = line.begin;
                return place;
            }
            if (SameName(entry.name, name))
                place = { true, line.begin, line.end, text.size() };
        }
        at = line.end;
    }
    return place;
}

struct KeyPlace {
    std::optional<Line> line; // the first line naming the key
    Entry entry; // what that line says
    std::size_t insertAt; // after the section's last non-blank line
};

KeyPlace FindKey(std::string_view text, const SectionPlace& section, std::string_view key)
{
    KeyPlace place { std::nullopt, { LineKind::Blank, {}, {} }, section.bodyBegin };
    for (std::size_t at = section.bodyBegin; at < section.end;) {
        const Line line = LineAt(text, at);
        const Entry entry = EntryOf(text, line);
        if (entry.kind != LineKind::Blank && SameName(entry.name, key)) {
            place.line = line;
            place.entry = entry;
            return place;
        }
        if (entry.kind != LineKind::Blank)
            place.insertAt = line.end;
        at = line.end;
    }
    return place;
}

// text with [begin, end) replaced by replacement.
std::string Spliced(std::string_view text, std::size_t begin, std::size_t end, std::string_view replacement)
{
    std::string spliced;
    spliced.reserve(text.size() - (end - begin) + replacement.size());
    spliced.append(text.substr(0, begin)).append(replacement).append(text.substr(end));
    return spliced;
}

std::string KeyLine(std::string_view key, std::string_view value)
{
    return std::string(key).append("=").append(value);
}

// What ends the file's last line before a line is added after it: a line
// end where it has none, and the line feed of a lone carriage return, so
// that the new line stands on a line of its own for every reader.
std::string_view LastLineEnd(std::string_view text)
{
    if (text.empty() || text.back() == '\n')
        return {};
    return text.back() == '\r' ? NewLine.substr(1) : NewLine;
}

std::string WithSectionAdded(std::string_view text, std::string_view section, std::string_view line)
{
    std::string added(text);
    added.append(LastLineEnd(text));
    added.append("[").append(section).append("]").append(NewLine);
    return added.append(line).append(NewLine);
}

std::string WithKeySet(std::string_view text, std::string_view section, std::string_view key, std::string_view value)
{
    const SectionPlace sectionPlace = FindSection(text, section);
    if (!sectionPlace.found)
        return WithSectionAdded(text, section, KeyLine(key, value));
    const KeyPlace keyPlace = FindKey(text, sectionPlace, key);
    if (keyPlace.line) {
        const Line& line = *keyPlace.line;
        return Spliced(text, line.begin, line.contentEnd, KeyLine(keyPlace.entry.name, value));
    }
    std::string inserted(keyPlace.insertAt == text.size() ? LastLineEnd(text) : std::string_view());
    inserted.append(KeyLine(key, value)).append(NewLine);
    return Spliced(text, keyPlace.insertAt, keyPlace.insertAt, inserted);
}

// The value of key in section of text, as the file holds it.
std::optional<std::string_view> StoredValue(std::string_view text, std::string_view section, std::string_view key)
{
    const SectionPlace sectionPlace = FindSection(text, section);
    if (!sectionPlace.found)
        return std::nullopt;
    const KeyPlace keyPlace = FindKey(text, sectionPlace, key);
    if (!keyPlace.line || keyPlace.entry.kind != LineKind::Key)
        return std::nullopt;
    return keyPlace.entry.value;
}

std::string_view WithoutQuotes(std::string_view value)
{
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front();
    return quoted ? value.substr(1, value.size() - 2) : value;
}

} // namespace

std::optional<std::string> FindValue(std::string_view fileBytes, std::string_view section, std::string_view key)
{
    const DecodedFile file = Decode(fileBytes);
    const std::optional<std::string_view> stored = StoredValue(file.text, Trim(section), Trim(key));
    if (!stored)
        return std::nullopt;
    const std::string_view value = WithoutQuotes(*stored);
    return IsUtf16(file.encoding) ? WithoutSurrogates(value) : std::string(value);
}

std::string SetValue(
    std::string_view fileBytes, std::string_view section, std::string_view key, std::string_view value)
{
    const DecodedFile file = Decode(fileBytes);
    // Leading blanks of a value are not stored, trailing ones are: the
    // platform's own service does the same.
    const std::string_view kept = TrimStart(value);
    if (StoredValue(file.text, Trim(section), Trim(key)) == kept)
        return std::string(fileBytes);
    return Encode(file.encoding, WithKeySet(file.text, Trim(section), Trim(key), kept));
}

} // namespace forms::profile
