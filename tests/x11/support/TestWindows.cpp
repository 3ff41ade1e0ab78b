// The test helpers over the X11 runtime.
#include "TestWindows.h"

#include "Ansi.h"
#include "GdiObjects.h"
#include "PathForm.h"
#include "UserConfig.h"
#include "X11Connection.h"
#include "X11EventLoop.h"
#include "X11Window.h"

#include <X11/Xatom.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale>
#include <stdexcept>
#include <thread>

namespace peerkin::test {
namespace {

// A path in the program's form or in Linux's as Linux names the file.
std::filesystem::path NativePath(const std::wstring& path)
{
    return std::filesystem::path(forms::ToLinuxPath(forms::ToAnsi(path)));
}

} // namespace

void PumpMessages() { forms::x11::PumpPending(); }

void PumpFor(int milliseconds)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < until) {
        PumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    PumpMessages();
}

HBITMAP MakePicture(int width, int height, const std::vector<COLORREF>& pixels)
{
    auto* picture = new HBITMAP__;
    picture->width = width;
    picture->height = height;
    for (COLORREF colour : pixels)
        picture->pixels.push_back((std::uint32_t { GetRValue(colour) } << 16)
            | (std::uint32_t { GetGValue(colour) } << 8) | GetBValue(colour));
    return forms::posix::TrackBitmap(picture);
}

std::optional<std::vector<RECT>> WindowRegionRects(HWND handle)
{
    forms::x11::X11Window* window = forms::x11::LiveWindow(handle);
    if (!window || !window->Shape())
        return std::nullopt;
    std::vector<RECT> rects = window->Shape()->rects;
    std::sort(rects.begin(), rects.end(), [](const RECT& a, const RECT& b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });
    return rects;
}

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "pkXXXXXX").string();
    if (::mkdtemp(pattern.data()))
        m_path = std::filesystem::path(pattern).wstring() + L"/";
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    // Tests may leave files read-only; the folder goes all the same.
    std::filesystem::permissions(NativePath(m_path), std::filesystem::perms::owner_all,
        std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(NativePath(m_path), ignored);
}

std::string ReadFileBytes(const std::wstring& path)
{
    std::ifstream file(NativePath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    std::error_code ignored;
    std::filesystem::create_directories(NativePath(path).parent_path(), ignored);
    std::ofstream file(NativePath(path), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::wstring& path)
{
    std::error_code ignored;
    return std::filesystem::exists(NativePath(path), ignored);
}

std::wstring ProgramPath() { return std::filesystem::read_symlink("/proc/self/exe").wstring(); }

bool SamePath(const std::wstring& a, const std::wstring& b) { return NativePath(a) == NativePath(b); }

void RemoveFile(const std::wstring& path)
{
    std::error_code ignored;
    std::filesystem::remove(NativePath(path), ignored);
}

std::wstring StoredSettingsFile(const std::wstring& named)
{
    std::filesystem::path file = NativePath(named);
    if (file.parent_path() != std::filesystem::path(ProgramPath()).parent_path())
        return named;
    std::string folder = forms::UserConfigFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), "peerkin");
    return (std::filesystem::path(folder) / file.filename()).wstring();
}

POINT ScreenPixels()
{
    forms::x11::X11Connection& x = forms::x11::X11Connection::Get();
    return POINT { x.ScreenWidth(), x.ScreenHeight() };
}

void MoveCursorTo(int x, int y)
{
    forms::x11::X11Connection& connection = forms::x11::X11Connection::Get();
    XWarpPointer(connection.Display(), None, connection.Root(), 0, 0, 0, 0, x, y);
    XSync(connection.Display(), False);
}

void DeliverTimerTick(HWND handle)
{
    if (forms::x11::X11Window* window = forms::x11::LiveWindow(handle))
        window->Tick(0);
}

bool IsShown(HWND handle)
{
    forms::x11::X11Window* window = forms::x11::LiveWindow(handle);
    return window && window->IsMapped();
}

std::size_t GdiObjectCount() { return forms::posix::LiveGdiObjects(); }

} // namespace peerkin::test

namespace peerkin::test {
namespace {

std::vector<Atom> WindowState(::Window window)
{
    forms::x11::X11Connection& x = forms::x11::X11Connection::Get();
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::vector<Atom> atoms;
    if (XGetWindowProperty(x.Display(), window, x.Intern("_NET_WM_STATE"), 0, 64, False, XA_ATOM, &type, &format,
            &count, &remaining, &data)
            == Success
        && data)
        atoms.assign(reinterpret_cast<Atom*>(data), reinterpret_cast<Atom*>(data) + count);
    if (data)
        XFree(data);
    return atoms;
}

} // namespace

// The window manager's "above" state, which the window sets itself where no
// window manager runs.
bool IsTopMost(HWND handle)
{
    forms::x11::X11Window* window = forms::x11::LiveWindow(handle);
    if (!window)
        return false;
    XSync(forms::x11::X11Connection::Get().Display(), False);
    std::vector<Atom> state = WindowState(window->Xid());
    return std::find(state.begin(), state.end(), forms::x11::X11Connection::Get().Intern("_NET_WM_STATE_ABOVE"))
        != state.end();
}

void DestroyFromOutside(HWND handle)
{
    forms::x11::X11Connection& x = forms::x11::X11Connection::Get();
    XDestroyWindow(x.Display(), forms::x11::LiveWindow(handle)->Xid());
    XSync(x.Display(), False);
}

double ScreenDotsPerInch() { return forms::x11::X11Connection::Get().DotsPerInch(); }

// Through the C++ library's locale, not the C library's the program reads.
wchar_t UsersDecimalSeparator()
{
    try {
        return std::use_facet<std::numpunct<wchar_t>>(std::locale("")).decimal_point();
    } catch (const std::runtime_error&) {
        return L'.'; // a locale the system does not have: the C locale's
    }
}

std::wstring ProgramExtension() { return L""; }

bool IsProgramFile(const std::wstring& path)
{
    std::error_code ignored;
    return std::filesystem::is_regular_file(NativePath(path), ignored)
        && ::access(NativePath(path).c_str(), X_OK) == 0;
}

int RunThisProgram(const std::vector<std::string>& arguments)
{
    std::string program = NativePath(ProgramPath()).string();
    std::vector<char*> argv { program.data() };
    std::vector<std::string> copies(arguments);
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

bool CreateFolder(const std::wstring& path)
{
    std::error_code error;
    return std::filesystem::create_directory(NativePath(path), error) && !error;
}

bool IsFolder(const std::wstring& path)
{
    std::error_code ignored;
    return std::filesystem::is_directory(NativePath(path), ignored);
}

bool MakeReadOnly(const std::wstring& path)
{
    using std::filesystem::perms;
    std::error_code error;
    std::filesystem::permissions(NativePath(path), perms::owner_read | perms::group_read | perms::others_read,
        std::filesystem::perm_options::replace, error);
    return !error;
}

bool CanOpenForWriting(const std::wstring& path)
{
    int file = ::open(NativePath(path).c_str(), O_WRONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    ::close(file);
    return true;
}

// As the platform layer names them: the system's settings, its libraries,
// and TMPDIR or else /tmp.
std::wstring PlatformFolder(SystemFolder folder)
{
    std::string path = folder == SystemFolder::Windows ? "/etc" : folder == SystemFolder::System ? "/usr/lib" : "/tmp/";
    const char* temporary = std::getenv("TMPDIR");
    if (folder == SystemFolder::Temporary && temporary && *temporary)
        path = std::string(temporary) + (std::string(temporary).back() == '/' ? "" : "/");
    return forms::FromAnsi(forms::ToProgramPath(path));
}

} // namespace peerkin::test
