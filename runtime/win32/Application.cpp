#include "Application.h"

#include "Dispatch.h"
#include "Form.h"
#include "Handles.h"
#include "NumberText.h"

#include <windows.h>

namespace forms {
namespace {

bool g_runningEventLoop = false;

std::wstring ModulePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::size_t FileNameStart(const std::wstring& path)
{
    std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? 0 : slash + 1;
}

// A named mutex that lives as long as the process: the system drops it when
// the process ends in any way, so a killed instance never blocks a start.
bool CreateInstanceMarker()
{
    std::wstring name = L"Local\\OrlosPeerkin.Instance." + App::EXEName();
    HANDLE created = ::CreateMutexW(nullptr, FALSE, name.c_str());
    // Read at once: the guard of a function-local static resets the last error.
    bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    static UniqueKernelHandle marker(created);
    return existed;
}

float ReadTwipsPerPixel(int axis)
{
    WindowDc screen(nullptr);
    int dotsPerInch = ::GetDeviceCaps(screen.Get(), axis);
    return dotsPerInch > 0 ? 1440.0f / static_cast<float>(dotsPerInch) : 15.0f;
}

// Read once: the screen's dots per inch that a program sees stay the same as
// long as it runs, and every position set or read in twips needs them.
float TwipsPerPixel(int axis)
{
    static const float alongX = ReadTwipsPerPixel(LOGPIXELSX);
    static const float alongY = ReadTwipsPerPixel(LOGPIXELSY);
    return axis == LOGPIXELSX ? alongX : alongY;
}

} // namespace

std::wstring App::Path()
{
    std::wstring path = ModulePath();
    std::size_t start = FileNameStart(path);
    std::wstring folder = path.substr(0, start);
    // Keep the closing "\" only at a drive root such as C:\.
    if (folder.size() > 1 && folder.back() == L'\\' && !(folder.size() == 3 && folder[1] == L':'))
        folder.pop_back();
    return folder;
}

std::wstring App::EXEName()
{
    std::wstring path = ModulePath();
    std::wstring name = path.substr(FileNameStart(path));
    std::size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

bool App::PrevInstance()
{
    static const bool previous = CreateInstanceMarker();
    return previous;
}

std::wstring App::Title() { return EXEName(); }

float Screen::Width() { return static_cast<float>(::GetSystemMetrics(SM_CXSCREEN)) * TwipsPerPixelX(); }
float Screen::Height() { return static_cast<float>(::GetSystemMetrics(SM_CYSCREEN)) * TwipsPerPixelY(); }
float Screen::TwipsPerPixelX() { return TwipsPerPixel(LOGPIXELSX); }
float Screen::TwipsPerPixelY() { return TwipsPerPixel(LOGPIXELSY); }

std::wstring Command() { return ArgumentText(::GetCommandLineW()); }

std::wstring NumberToLocaleText(float value)
{
    wchar_t separator[8] = L".";
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    return NumberToText(value, separator[0] ? separator[0] : L'.');
}

bool IsRunningEventLoop() { return g_runningEventLoop; }

int Run(void (*main)())
{
    App::PrevInstance(); // claim the instance marker before anything else runs
    RaiseEvent(main);
    if (!AnyFormLoaded())
        return 0;
    g_runningEventLoop = true;
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    g_runningEventLoop = false;
    return static_cast<int>(message.wParam);
}

} // namespace forms
