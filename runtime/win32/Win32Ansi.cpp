#include "Ansi.h"

#include <windows.h>

namespace forms {

std::string ToAnsi(std::wstring_view text)
{
    if (text.empty())
        return {};
    int wideLength = static_cast<int>(text.size());
    int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

std::wstring FromAnsi(std::string_view text)
{
    if (text.empty())
        return {};
    int ansiLength = static_cast<int>(text.size());
    int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), ansiLength, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), ansiLength, wide.data(), length);
    return wide;
}

} // namespace forms
