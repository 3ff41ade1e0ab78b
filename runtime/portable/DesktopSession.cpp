#include "DesktopSession.h"

#include "ProductIdentity.h"

#include <charconv>

namespace forms {

bool IsWaylandSession(const char* waylandDisplay, const char* sessionType)
{
    if (waylandDisplay && *waylandDisplay)
        return true;
    return sessionType && std::string_view(sessionType) == "wayland";
}

std::string_view GnomeExtensionUuid(std::string_view shellVersion)
{
    int major = 0;
    auto [end, error] = std::from_chars(shellVersion.data(), shellVersion.data() + shellVersion.size(), major);
    bool modules = error == std::errc() && major >= 45;
    return modules ? product::ModuleExtensionUuid : product::LegacyExtensionUuid;
}

} // namespace forms
