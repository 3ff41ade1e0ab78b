// The process-wide services of the Win32 back-end, and the factories of its
// windows and images.
#include "Platform.h"

#include "Application.h"
#include "ProductIdentity.h"
#include "ScaledPictures.h"

#include "Win32Dpi.h"
#include "Win32Handles.h"
#include "Win32Image.h"
#include "Win32Window.h"

#include <windows.h>

namespace forms::platform {
namespace {

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

double ScreenDotsPerInch(int axis)
{
    WindowDc screen(nullptr);
    int dotsPerInch = ::GetDeviceCaps(screen.Get(), axis);
    return dotsPerInch > 0 ? dotsPerInch : 96.0;
}

} // namespace

// The process is made per-monitor aware before any window exists; its
// thread then runs the program's code unaware of the scale.
bool Connect()
{
    win32::DeclarePerMonitorAwareness();
    return true;
}

// A named mutex that lives as long as the process: the system drops it when
// the process ends in any way, so a killed instance never blocks a start.
bool AnotherInstanceRuns(const std::wstring& programName)
{
    std::wstring name = product::InstanceMutexName + programName;
    HANDLE created = ::CreateMutexW(nullptr, FALSE, name.c_str());
    // Read at once: the guard of a function-local static resets the last error.
    bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    static UniqueKernelHandle marker(created);
    return existed;
}

std::wstring ProgramFolder()
{
    std::wstring path = ModulePath();
    std::wstring folder = path.substr(0, FileNameStart(path));
    // Keep the closing "\" only at a drive root such as C:\.
    if (folder.size() > 1 && folder.back() == L'\\' && !(folder.size() == 3 && folder[1] == L':'))
        folder.pop_back();
    return folder;
}

std::wstring ProgramName()
{
    std::wstring path = ModulePath();
    std::wstring name = path.substr(FileNameStart(path));
    std::size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring CommandArguments() { return ArgumentText(::GetCommandLineW()); }

wchar_t DecimalSeparator()
{
    wchar_t separator[8] = L".";
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    return separator[0] ? separator[0] : L'.';
}

PixelSize ScreenSize() { return PixelSize { ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN) }; }
double DotsPerInchX() { return ScreenDotsPerInch(LOGPIXELSX); }
double DotsPerInchY() { return ScreenDotsPerInch(LOGPIXELSY); }

int RunEventLoop()
{
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

void QuitEventLoop() { ::PostQuitMessage(0); }

void ShowFailureBox(const std::wstring& title, const std::wstring& message)
{
    ::MessageBoxW(nullptr, message.c_str(), title.c_str(), MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
}

void ExitAtOnce()
{
    // Destroying windows one by one can stall for seconds on some desktops;
    // the system closes them with the process anyway.
    ::ExitProcess(0);
}

std::unique_ptr<PlatformWindow> CreateFormWindow(const WindowSettings& settings, WindowEvents& events)
{
    auto window = std::make_unique<Win32Window>(settings, events);
    if (!window->Exists())
        return nullptr;
    return window;
}

std::unique_ptr<OffscreenImage> CreateOffscreenImage(int width, int height, COLORREF background, HBITMAP picture)
{
    return std::make_unique<Win32Image>(width, height, background, picture);
}

// The pictures drawn for scaled screens are data in the program, as on
// Linux; the one for 96 dots per inch is a resource of the program file.
bool RegisterEmbeddedScaledPicture(int id, double scale, const unsigned char* bytes, std::size_t size)
{
    return RegisterScaledPicture(id, scale, std::span<const std::uint8_t>(bytes, size));
}

} // namespace forms::platform
