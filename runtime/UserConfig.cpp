#include "UserConfig.h"

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

} // namespace forms
