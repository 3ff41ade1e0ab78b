#include "Application.h"

namespace forms {

std::wstring ArgumentText(const wchar_t* commandLine)
{
    const wchar_t* cursor = commandLine;
    bool quoted = false;
    // The program's own name ends at the first blank outside quotation marks.
    for (; *cursor && (quoted || (*cursor != L' ' && *cursor != L'\t')); ++cursor) {
        if (*cursor == L'"')
            quoted = !quoted;
    }
    while (*cursor == L' ' || *cursor == L'\t')
        ++cursor;
    return cursor;
}

} // namespace forms
