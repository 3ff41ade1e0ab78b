// What a Linux process holds: the platform layer's own table of GDI objects,
// and the process's anonymous memory as Linux counts it.
#include "ReliabilitySupport.h"

#include "GdiObjects.h"

#include <fstream>
#include <string>

namespace reliability {
namespace {

// The layer's table has no limit of its own; a ceiling as high as the one
// the Windows measure fills up to keeps the two comparable.
constexpr std::size_t GdiCeiling = 1 << 18;

// Resident anonymous memory (heap and stacks), which a leak makes grow.
std::size_t AnonymousBytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("RssAnon:", 0) == 0)
            return std::stoul(line.substr(8)) * 1024;
    }
    return 0;
}

} // namespace

Resources Measure()
{
    Resources resources;
    resources.privateBytes = AnonymousBytes();
    resources.gdiObjects = static_cast<DWORD>(forms::winapi::LiveGdiObjects());
    resources.freeGdiSlots = GdiCeiling - forms::winapi::LiveGdiObjects();
    return resources;
}

} // namespace reliability
