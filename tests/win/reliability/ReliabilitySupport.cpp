#include "ReliabilitySupport.h"

#include "Handles.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdio>
#include <fstream>
#include <vector>

namespace reliability {
namespace {

std::vector<std::string>& Lines()
{
    static std::vector<std::string> lines;
    return lines;
}

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

// Prints the figures once every test has run, and keeps them for the
// end-to-end suite, which prints the whole run's figures last.
class FiguresReport : public testing::Environment {
public:
    void TearDown() override
    {
        std::ofstream file("reliability-figures.txt", std::ios::trunc);
        std::printf("== Reliability figures (in-process)\n");
        for (const std::string& line : Lines()) {
            std::printf("   %s\n", line.c_str());
            file << line << '\n';
        }
        std::fflush(stdout);
    }
};

[[maybe_unused]] testing::Environment* const g_report = testing::AddGlobalTestEnvironment(new FiguresReport);

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

std::string Describe(const Resources& resources)
{
    char text[160];
    std::snprintf(text, sizeof text, "GDI %lu, USER %lu (0: not counted here), free GDI slots %zu, private %zu KB",
        resources.gdiObjects, resources.userObjects, resources.freeGdiSlots, resources.privateBytes / 1024);
    return text;
}

void Report(const std::string& line) { Lines().push_back(line); }

} // namespace reliability
