#include "TestWindows.h"

#include "Win32Handles.h"

#include <algorithm>

namespace peerkin::test {
namespace {

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = folder + name;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + L"\\");
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(search, &entry));
        ::FindClose(search);
    }
    ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(folder.c_str());
}

} // namespace

void PumpMessages()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

void PumpFor(int milliseconds)
{
    DWORD until = ::GetTickCount() + static_cast<DWORD>(milliseconds);
    while (static_cast<int>(until - ::GetTickCount()) > 0) {
        PumpMessages();
        ::Sleep(5);
    }
    PumpMessages();
}

HBITMAP MakePicture(int width, int height, const std::vector<COLORREF>& pixels)
{
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP picture = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* bytes = static_cast<unsigned char*>(bits);
    std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t { 3 };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            COLORREF colour = pixels.at(static_cast<std::size_t>(y * width + x));
            unsigned char* pixel = bytes + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 3;
            pixel[0] = GetBValue(colour);
            pixel[1] = GetGValue(colour);
            pixel[2] = GetRValue(colour);
        }
    }
    return picture;
}

std::optional<std::vector<RECT>> WindowRegionRects(HWND window)
{
    forms::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
    if (::GetWindowRgn(window, region.Get()) == ERROR)
        return std::nullopt;
    DWORD size = ::GetRegionData(region.Get(), 0, nullptr);
    std::vector<char> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    ::GetRegionData(region.Get(), size, data);
    auto* first = reinterpret_cast<RECT*>(data->Buffer);
    std::vector<RECT> rects(first, first + data->rdh.nCount);
    std::sort(rects.begin(), rects.end(), [](const RECT& a, const RECT& b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });
    return rects;
}

TempFolder::TempFolder()
{
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    wchar_t name[MAX_PATH];
    ::GetTempFileNameW(temp, L"pk", 0, name);
    ::DeleteFileW(name);
    ::CreateDirectoryW(name, nullptr);
    m_path = std::wstring(name) + L"\\";
}

TempFolder::~TempFolder() { RemoveTree(m_path); }

std::filesystem::path NativePath(const std::wstring& path) { return std::filesystem::path(path); }

std::wstring ProgramPath()
{
    std::wstring path(MAX_PATH * 2, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE)
        == CSTR_EQUAL;
}

std::wstring StoredSettingsFile(const std::wstring& named) { return named; }

POINT ScreenPixels() { return POINT { ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN) }; }

void MoveCursorTo(int x, int y) { ::SetCursorPos(x, y); }

void DeliverTimerTick(HWND window) { ::SendMessageW(window, WM_TIMER, 1, 0); }

// The form's timer index is the platform's timer index + 1 (Win32Window).
void RestartTimer(HWND window, std::size_t index, unsigned interval)
{
    if (interval == 0)
        ::KillTimer(window, index + 1);
    else
        ::SetTimer(window, index + 1, interval, nullptr);
}

// The platform keeps the back-end's state, per window.
void ResetBackEnd() { }

bool IsShown(HWND window) { return ::IsWindowVisible(window) != FALSE; }

bool IsTopMost(HWND window) { return (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

void DestroyFromOutside(HWND window) { ::DestroyWindow(window); }

double ScreenDotsPerInch()
{
    forms::WindowDc screen(nullptr);
    return ::GetDeviceCaps(screen.Get(), LOGPIXELSX);
}

wchar_t UsersDecimalSeparator()
{
    wchar_t separator[8] = {};
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    return separator[0];
}

std::wstring ProgramExtension() { return L".exe"; }

bool IsProgramFile(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int RunThisProgram(const std::vector<std::string>& arguments)
{
    std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
    for (const std::string& argument : arguments)
        commandLine += L" " + std::wstring(argument.begin(), argument.end());
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
            &process))
        return -1;
    forms::UniqueKernelHandle processHandle(process.hProcess);
    forms::UniqueKernelHandle threadHandle(process.hThread);
    if (::WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 99);
        return -1;
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    return static_cast<int>(exitCode);
}

bool MakeReadOnly(const std::wstring& path)
{
    return ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY) != FALSE;
}

bool CanOpenForWriting(const std::wstring& path)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

// The wide services: the program's own procedures call the narrow ones.
std::wstring PlatformFolder(SystemFolder folder)
{
    wchar_t buffer[MAX_PATH] = {};
    switch (folder) {
    case SystemFolder::Windows: return std::wstring(buffer, ::GetWindowsDirectoryW(buffer, MAX_PATH));
    case SystemFolder::System: return std::wstring(buffer, ::GetSystemDirectoryW(buffer, MAX_PATH));
    case SystemFolder::Temporary: return std::wstring(buffer, ::GetTempPathW(MAX_PATH, buffer));
    }
    return L"";
}

} // namespace peerkin::test
