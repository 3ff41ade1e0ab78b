#pragma once
// Measures for long runs, and the figures this program reports at its end.

#include <windows.h>

#include <cstddef>
#include <string>

namespace reliability {

// What the process holds, from the three sources the platforms offer.
struct Resources {
    DWORD gdiObjects = 0;         // as the system counts them; 0 where it does not
    DWORD userObjects = 0;        // likewise
    std::size_t freeGdiSlots = 0; // GDI objects that can still be created
    std::size_t privateBytes = 0; // committed memory of this process alone
};

Resources Measure();
std::string Describe(const Resources& resources);

// Adds a line to the figures printed, and written to reliability-figures.txt,
// when the program ends.
void Report(const std::string& line);

} // namespace reliability
