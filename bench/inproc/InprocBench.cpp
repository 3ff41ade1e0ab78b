// What can only be measured inside the program: the load-time scan of the
// drawing area, and the heap allocations of a start and of a tick. Builds the
// real figure from the real picture and drives it through the runtime's own
// paths; prints one "name value" line per figure.
#include "AppModul.h"
#include "Application.h"
#include "Dispatch.h"
#include "fZevozOdudo.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

long g_allocations = 0;

} // namespace

// Counts every allocation of this program; a tick must make none.
void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

constexpr int ScanRuns = 201;
constexpr int TickRuns = 200;

double g_ticksPerMillisecond = 0;
volatile COLORREF g_sink = 0; // keeps pixel reads that nothing uses

double Now()
{
    LARGE_INTEGER count;
    ::QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / g_ticksPerMillisecond;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Pump()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

void PrintFailure(const forms::RuntimeFailure& failure)
{
    std::printf("failure %d %s\n", failure.Number(), failure.Description().c_str());
}

void KeepRunning() {}

// The start as the runtime does it before its event loop, with its
// allocations counted from the process's own start.
void MeasureStart()
{
    long beforeMain = g_allocations;
    double started = Now();
    forms::App::PrevInstance();
    forms::RaiseEvent(AppModul::Main);
    double finished = Now();
    std::printf("allocations_before_main %ld\n", beforeMain);
    std::printf("allocations_per_start %ld\n", g_allocations);
    std::printf("start_ms %.3f\n", finished - started);
}

// One real tick: the timer message through the window procedure, then the
// paint it asks for.
void Tick(HWND window)
{
    ::SendMessageW(window, WM_TIMER, 1, 0);
    ::UpdateWindow(window);
}

// Ticks with the pointer moving (every tick redraws other pixels) or still.
void MeasureTicks(HWND window, bool moving, const char* name)
{
    RECT place {};
    ::GetWindowRect(window, &place);
    std::vector<double> times;
    times.reserve(TickRuns); // the bench's own allocations stay out of the count
    long before = g_allocations;
    for (int tick = 0; tick < TickRuns; ++tick) {
        if (moving)
            ::SetCursorPos(place.left + 95 + (tick % 2 ? 300 : -300), place.top + 118 + (tick % 3) * 100);
        double started = Now();
        Tick(window);
        times.push_back(Now() - started);
    }
    std::printf("allocations_per_tick_%s %.3f\n", name, static_cast<double>(g_allocations - before) / TickRuns);
    std::printf("tick_ms_%s %.4f\n", name, Median(times));
}

// The runs of pixels that differ from the top-left one, row by row, as the
// scan finds them; pixel(x, y) reads one pixel.
template <typename ReadPixel>
std::vector<RECT> RunsOf(int width, int height, ReadPixel pixel)
{
    std::vector<RECT> spans;
    spans.reserve(static_cast<std::size_t>(height) * 2);
    COLORREF background = pixel(0, 0);
    for (int y = 0; y < height; ++y) {
        int start = -1;
        for (int x = 0; x <= width; ++x) {
            bool inside = x < width && pixel(x, y) != background;
            if (inside && start < 0)
                start = x;
            if (!inside && start >= 0) {
                spans.push_back(RECT { start, y, x, y + 1 });
                start = -1;
            }
        }
    }
    return spans;
}

std::vector<RECT> FigureSpans(fZevozOdudo& figure)
{
    auto point = [&figure](int x, int y) { return figure.Point(static_cast<float>(x), static_cast<float>(y)); };
    return RunsOf(static_cast<int>(figure.ScaleWidth()), static_cast<int>(figure.ScaleHeight()), point);
}

// Reading every pixel alone, one Point at a time, as the scan reads them.
void MeasurePixelReads(fZevozOdudo& figure)
{
    int width = static_cast<int>(figure.ScaleWidth());
    int height = static_cast<int>(figure.ScaleHeight());
    std::vector<double> times;
    for (int run = 0; run < ScanRuns; ++run) {
        double started = Now();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                g_sink = figure.Point(static_cast<float>(x), static_cast<float>(y));
        times.push_back(Now() - started);
    }
    std::printf("pixel_reads_ms %.4f\n", Median(times));
}

// The region built as the scan builds it: one union per run.
HRGN UnionOfSpans(const std::vector<RECT>& spans)
{
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    for (const RECT& span : spans) {
        HRGN piece = ::CreateRectRgn(span.left, span.top, span.right, span.bottom);
        ::CombineRgn(region, region, piece, RGN_OR);
        ::DeleteObject(piece);
    }
    return region;
}

// The floor of the scan: the picture's own memory read directly, the runs
// found and united as the scan unites them.
void MeasureScanFloor(fZevozOdudo& figure)
{
    DIBSECTION section {};
    ::GetObjectW(figure.Picture(), sizeof section, &section);
    const BITMAP& bitmap = section.dsBm;
    const auto* bits = static_cast<const unsigned char*>(bitmap.bmBits);
    auto stride = static_cast<std::size_t>(bitmap.bmWidthBytes);
    auto pixel = [&](int x, int y) { // bottom-up rows of blue, green, red bytes
        const unsigned char* at = bits + static_cast<std::size_t>(bitmap.bmHeight - 1 - y) * stride
            + static_cast<std::size_t>(x) * 3;
        return RGB(at[2], at[1], at[0]);
    };
    int width = static_cast<int>(figure.ScaleWidth());
    int height = static_cast<int>(figure.ScaleHeight());
    std::vector<double> times;
    for (int run = 0; run < ScanRuns; ++run) {
        double started = Now();
        HRGN region = UnionOfSpans(RunsOf(width, height, pixel));
        times.push_back(Now() - started);
        ::DeleteObject(region);
    }
    std::printf("scan_floor_ms %.4f\n", Median(times));
}

// The load-time scan as the figure's load runs it (every pixel read, one
// union per run, the region handed to the window), and the platform's share
// of it measured alongside: the unions alone, and the hand-over alone.
void MeasureScan(fZevozOdudo& figure)
{
    std::vector<RECT> spans = FigureSpans(figure);
    cTrimmer trimmer;
    std::vector<double> scans;
    std::vector<double> unions;
    std::vector<double> handOvers;
    for (int run = 0; run < ScanRuns; ++run) {
        double started = Now();
        trimmer.TrimForm(figure);
        double trimmed = Now();
        HRGN region = UnionOfSpans(spans);
        double built = Now();
        ::SetWindowRgn(figure.Handle(), region, TRUE);
        double handed = Now();
        scans.push_back(trimmed - started);
        unions.push_back(built - trimmed);
        handOvers.push_back(handed - built);
    }
    std::printf("spans %zu\n", spans.size());
    std::printf("scan_ms %.4f\n", Median(scans));
    std::printf("region_unions_ms %.4f\n", Median(unions));
    std::printf("set_window_region_ms %.4f\n", Median(handOvers));
}

} // namespace

int main()
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    g_ticksPerMillisecond = static_cast<double>(frequency.QuadPart) / 1000.0;
    forms::SetFailurePolicy(PrintFailure);
    forms::SetEndAction(KeepRunning);

    MeasureStart();
    auto figure = fZevozOdudo::Instance();
    HWND window = figure->Handle();
    // The figure scans itself at load, before its first tick has put its
    // image on the screen, so the scan is measured before any message is
    // handled. (Under Wine the memory of an image that was copied to a
    // window straight through its device context reads many times slower
    // afterwards, a state the program never scans in.)
    ::ShowWindow(window, SW_HIDE);
    MeasureScan(*figure);
    MeasureScanFloor(*figure);
    MeasurePixelReads(*figure);
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    Pump();
    MeasureTicks(window, true, "moving");
    MeasureTicks(window, false, "still");
    return 0;
}
