// The figures a reliability run reports, printed when it ends and kept for
// the end-to-end suite, which prints the whole run's figures last.
#include "ReliabilitySupport.h"

#include <gtest/gtest.h>

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

std::string Describe(const Resources& resources)
{
    char text[160];
    std::snprintf(text, sizeof text, "GDI %lu, USER %lu (0: not counted here), free GDI slots %zu, private %zu KB",
        static_cast<unsigned long>(resources.gdiObjects), static_cast<unsigned long>(resources.userObjects),
        resources.freeGdiSlots, resources.privateBytes / 1024);
    return text;
}

void Report(const std::string& line) { Lines().push_back(line); }

} // namespace reliability
