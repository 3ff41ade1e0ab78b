#include "PathText.h"

namespace PathText {
namespace {

wchar_t ToUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }
wchar_t ToLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool StartsWord(wchar_t previous)
{
    return previous == L' ' || previous == L'-' || previous == L'(' || previous == L'_' || previous == L'\\';
}

} // namespace

bool EndsInBackslash(std::wstring_view text) { return !text.empty() && text.back() == L'\\'; }

std::wstring CaseOnlyLongForm(std::wstring path)
{
    for (std::size_t i = 1; i < path.size(); ++i)
        path[i] = StartsWord(path[i - 1]) ? ToUpper(path[i]) : ToLower(path[i]);
    if (!path.empty())
        path[0] = ToUpper(path[0]);
    return path;
}

} // namespace PathText
