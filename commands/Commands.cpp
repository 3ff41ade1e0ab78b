#include "Commands.h"

#include "Ansi.h"
#include "Application.h"
#include "Failure.h"
#include "PathText.h"

#include <windows.h>

using forms::ContinueOnFailure;
using forms::FromAnsi;
using forms::ToAnsi;

namespace Commands {
namespace {

constexpr DWORD PathBufferLength = 260;
constexpr DWORD ValueBufferLength = 2048;

// The first count characters of an ANSI buffer, never more than it holds.
std::wstring Kept(const std::string& buffer, DWORD count)
{
    std::size_t length = count < buffer.size() ? count : buffer.size();
    return FromAnsi(std::string_view(buffer).substr(0, length));
}

std::wstring WithBackslash(std::wstring folder)
{
    AddBackslash(folder);
    return folder;
}

std::wstring UpperCase(std::wstring_view text)
{
    std::wstring upper(text);
    if (!upper.empty())
        ::CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}

// An empty file name would make the profile services fall back on the
// system's own Win.ini; the program never reads or writes anything but its
// own settings file.
void RequireFileName(std::wstring_view file)
{
    if (file.empty())
        forms::Fail(forms::FailureCode::InvalidCall);
}

} // namespace

std::wstring AddBackslash(std::wstring& text)
{
    if (!PathText::EndsInBackslash(text))
        text += L'\\';
    return text;
}

std::wstring GetWinDir()
{
    std::string buffer(PathBufferLength, '\0');
    UINT count = ::GetWindowsDirectoryA(buffer.data(), PathBufferLength);
    return WithBackslash(Kept(buffer, count));
}

std::wstring GetSysDir()
{
    std::string buffer(PathBufferLength, '\0');
    UINT count = ::GetSystemDirectoryA(buffer.data(), PathBufferLength);
    return WithBackslash(Kept(buffer, count));
}

std::wstring GetTempDir()
{
    std::string buffer(PathBufferLength, '\0');
    DWORD count = ::GetTempPathA(PathBufferLength, buffer.data());
    return WithBackslash(Kept(buffer, count));
}

std::wstring GetLongName(std::wstring path)
{
    std::string buffer(PathBufferLength, '\0');
    DWORD result = 0;
    ContinueOnFailure([&] { result = ::GetLongPathNameA(ToAnsi(path).c_str(), buffer.data(), PathBufferLength); });
    if (result != 0) {
        // Cut at the first NUL: with too small a buffer the service writes
        // nothing there and reports the size it needs instead.
        std::size_t end = buffer.find('\0');
        return FromAnsi(std::string_view(buffer).substr(0, end));
    }
    return PathText::CaseOnlyLongForm(path);
}

void InitEnvironment()
{
    ContinueOnFailure([] { AppPath = forms::App::Path(); });
    ContinueOnFailure([] { AddBackslash(AppPath); });
    ContinueOnFailure([] { ExeName = forms::App::EXEName(); });
    ContinueOnFailure([] { WinDir = GetWinDir(); });
    ContinueOnFailure([] { SysDir = GetSysDir(); });
    ContinueOnFailure([] { TempDir = GetTempDir(); });
    ContinueOnFailure([] { WinIni = WinDir + L"Win.ini"; });
    ContinueOnFailure([] { NewLine = L"\r\n"; });
}

// Section and key are asked for in upper case. The profile services match
// names without regard to letter case, so this finds what a file written by
// hand in any case holds, and it holds every platform's services, the
// <windows.h> layer's too, to matching that way: one that matched exactly
// would find nothing. WriteIni passes the names as given, so that a new file
// reads as the program spells them.
std::wstring ReadIni(std::wstring_view section, std::wstring_view key, std::wstring_view file,
    std::wstring_view defaultValue)
{
    std::string buffer(ValueBufferLength, ' ');
    DWORD count = 0;
    ContinueOnFailure([&] {
        RequireFileName(file);
        count = ::GetPrivateProfileStringA(ToAnsi(UpperCase(section)).c_str(), ToAnsi(UpperCase(key)).c_str(), "",
            buffer.data(), ValueBufferLength, ToAnsi(file).c_str());
    });
    if (count > 0)
        return Kept(buffer, count);
    return std::wstring(defaultValue);
}

void WriteIni(std::wstring_view section, std::wstring_view key, std::wstring_view value, std::wstring_view file)
{
    ContinueOnFailure([&] {
        RequireFileName(file);
        ::WritePrivateProfileStringA(ToAnsi(section).c_str(), ToAnsi(key).c_str(), ToAnsi(value).c_str(),
            ToAnsi(file).c_str());
    });
}

} // namespace Commands
