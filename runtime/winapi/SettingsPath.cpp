#include "SettingsPath.h"

#include "PathForm.h"
#include "ProcessFile.h"
#include "ProductIdentity.h"
#include "UserConfig.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace forms::winapi {
namespace {

constexpr const char* ConfigFolderName = product::ShortName;

// The user's home folder: $HOME, else the one the user database names.
const char* HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    const passwd* user = ::getpwuid(::getuid());
    return user ? user->pw_dir : nullptr;
}

// The folder part of path, without the final "/" except at the root.
std::string FolderPart(const std::string& path, std::size_t slash)
{
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool IsFolder(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

SettingsPath LocateSettings(const char* fileName)
{
    std::string path = ToLinuxPath(fileName);
    std::string program = ExecutablePath();
    std::size_t slash = path.rfind('/');
    std::size_t programSlash = program.rfind('/');
    if (slash == std::string::npos || programSlash == std::string::npos
        || FolderPart(path, slash) != FolderPart(program, programSlash))
        return SettingsPath { path, false };
    std::string folder = UserConfigFolder(std::getenv("XDG_CONFIG_HOME"), HomeFolder(), ConfigFolderName);
    if (folder.empty())
        return SettingsPath { path, false }; // no home: beside the program, as before
    return SettingsPath { folder + path.substr(slash), true };
}

bool MakeUserFolders(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
        if (::mkdir(folder.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    return IsFolder(folder);
}

} // namespace forms::winapi
