#include "UserConfig.h"

#include <algorithm>

namespace forms {
namespace {

bool IsAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

// folder and name joined by one "/".
std::string Joined(std::string folder, std::string_view name)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (folder != "/")
        folder += '/';
    return folder.append(name);
}

} // namespace

std::string UserConfigFolder(const char* xdgConfigHome, const char* home, std::string_view program)
{
    // The rules say to ignore a relative path, as if the variable were unset.
    if (IsAbsolute(xdgConfigHome))
        return Joined(xdgConfigHome, program);
    if (!IsAbsolute(home))
        return {};
    return Joined(Joined(home, ".config"), program);
}

std::vector<std::string> DataPlaces(
    const char* xdgDataHome, const char* home, const char* xdgDataDirs, std::string_view path)
{
    std::vector<std::string> places;
    if (IsAbsolute(xdgDataHome))
        places.push_back(Joined(xdgDataHome, path));
    else if (IsAbsolute(home))
        places.push_back(Joined(Joined(home, ".local/share"), path));
    std::string_view dirs = xdgDataDirs && *xdgDataDirs ? xdgDataDirs : "/usr/local/share:/usr/share";
    while (!dirs.empty()) {
        std::string dir(dirs.substr(0, dirs.find(':')));
        dirs.remove_prefix(std::min(dirs.size(), dir.size() + 1));
        if (IsAbsolute(dir.c_str()))
            places.push_back(Joined(dir, path));
    }
    return places;
}

} // namespace forms
