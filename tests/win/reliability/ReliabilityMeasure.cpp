// What a Windows process holds, from the system's own counts.
#include "ReliabilitySupport.h"

#include "Win32Handles.h"

#include <psapi.h>

#include <vector>

namespace reliability {
namespace {

// The system's own figure where it keeps one; otherwise the committed private
// pages, added up region by region.
std::size_t PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
        sizeof counters);
    if (counters.PrivateUsage != 0)
        return counters.PrivateUsage;
    std::size_t total = 0;
    MEMORY_BASIC_INFORMATION region {};
    for (const char* at = nullptr; ::VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
    }
    return total;
}

// Some platforms do not count GDI objects, but every one refuses a new object
// once its table or the process's quota is full: filling it up counts the
// room that is left.
std::size_t FreeGdiSlots()
{
    constexpr std::size_t Ceiling = 1 << 18;
    std::vector<forms::UniqueRegion> probes;
    probes.reserve(Ceiling);
    while (probes.size() < Ceiling) {
        forms::UniqueRegion probe(::CreateRectRgn(0, 0, 1, 1));
        if (!probe)
            break;
        probes.push_back(std::move(probe));
    }
    return probes.size();
}

} // namespace

Resources Measure()
{
    Resources resources;
    resources.privateBytes = PrivateBytes(); // first: the probes below allocate
    resources.gdiObjects = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    resources.userObjects = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    resources.freeGdiSlots = FreeGdiSlots();
    return resources;
}

} // namespace reliability
