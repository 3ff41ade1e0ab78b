// The test helpers that Linux answers whatever back-end shows the windows
// (X11, headless): paths, folders, programs, the locale, and the platform
// layer's pictures and GDI objects in memory.
#include "TestWindows.h"

#include "Ansi.h"
#include "GdiObjects.h"
#include "PathForm.h"
#include "UserConfig.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <locale>
#include <stdexcept>

namespace peerkin::test {

std::filesystem::path NativePath(const std::wstring& path)
{
    return std::filesystem::path(forms::ToLinuxPath(forms::ToAnsi(path)));
}

HBITMAP MakePicture(int width, int height, const std::vector<COLORREF>& pixels)
{
    auto* picture = new HBITMAP__;
    picture->width = width;
    picture->height = height;
    for (COLORREF colour : pixels)
        picture->pixels.push_back((std::uint32_t { GetRValue(colour) } << 16)
            | (std::uint32_t { GetGValue(colour) } << 8) | GetBValue(colour));
    return forms::winapi::TrackBitmap(picture);
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

std::wstring ProgramPath() { return std::filesystem::read_symlink("/proc/self/exe").wstring(); }

bool SamePath(const std::wstring& a, const std::wstring& b) { return NativePath(a) == NativePath(b); }

std::wstring StoredSettingsFile(const std::wstring& named)
{
    std::filesystem::path file = NativePath(named);
    if (file.parent_path() != std::filesystem::path(ProgramPath()).parent_path())
        return named;
    std::string folder = forms::UserConfigFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), "peerkin");
    return (std::filesystem::path(folder) / file.filename()).wstring();
}

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
