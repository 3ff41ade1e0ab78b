// The process-wide services, the same on every platform over what the
// back-end reports.
#include "Application.h"

#include "Dispatch.h"
#include "Form.h"
#include "NumberText.h"
#include "Platform.h"

namespace forms {
namespace {

bool g_runningEventLoop = false;

} // namespace

std::wstring App::Path() { return platform::ProgramFolder(); }

std::wstring App::EXEName() { return platform::ProgramName(); }

// Claimed once, at the first question: the answer cannot change while the
// program runs, and asking again must not count this instance.
bool App::PrevInstance()
{
    static const bool previous = platform::AnotherInstanceRuns(EXEName());
    return previous;
}

std::wstring App::Title() { return EXEName(); }

// Read once: the dots per inch a program sees stay the same as long as it
// runs, and every position set or read in twips needs them.
float Screen::TwipsPerPixelX()
{
    static const float twips = static_cast<float>(1440.0 / platform::DotsPerInchX());
    return twips;
}

float Screen::TwipsPerPixelY()
{
    static const float twips = static_cast<float>(1440.0 / platform::DotsPerInchY());
    return twips;
}

float Screen::Width() { return static_cast<float>(platform::ScreenSize().width) * TwipsPerPixelX(); }
float Screen::Height() { return static_cast<float>(platform::ScreenSize().height) * TwipsPerPixelY(); }

std::wstring Command() { return platform::CommandArguments(); }

std::wstring NumberToLocaleText(float value) { return NumberToText(value, platform::DecimalSeparator()); }

bool IsRunningEventLoop() { return g_runningEventLoop; }

int Run(void (*main)())
{
    if (!platform::Connect())
        return 1;
    App::PrevInstance(); // claim the instance marker before anything else runs
    RaiseEvent(main);
    if (!AnyFormLoaded())
        return 0;
    g_runningEventLoop = true;
    int exitCode = platform::RunEventLoop();
    g_runningEventLoop = false;
    return exitCode;
}

} // namespace forms
