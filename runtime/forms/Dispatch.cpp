#include "Dispatch.h"

#include "Ansi.h"
#include "Application.h"
#include "NumberText.h"
#include "Platform.h"

#include <string>

namespace forms {
namespace {

bool g_ending = false;
FailurePolicy g_failurePolicy = ReportFailureAndEnd;

EndAction g_endAction = platform::ExitAtOnce;

// Failure numbers are small whole numbers, which NumberToText writes exactly.
// (std::to_wstring would bring the C library's whole formatted output into
// the statically linked program for this alone.)
std::wstring FailureMessage(const RuntimeFailure& failure)
{
    std::wstring number = NumberToText(static_cast<float>(failure.Number()));
    return L"Run-time error '" + number + L"':\n\n" + FromAnsi(failure.Description());
}

} // namespace

FailurePolicy SetFailurePolicy(FailurePolicy policy)
{
    FailurePolicy previous = g_failurePolicy;
    g_failurePolicy = policy;
    return previous;
}

EndAction SetEndAction(EndAction action)
{
    EndAction previous = g_endAction;
    g_endAction = action;
    return previous;
}

void ClearEnding() { g_ending = false; }

bool IsEnding() { return g_ending; }

void End()
{
    g_ending = true;
    g_endAction();
}

void ReportFailureAndEnd(const RuntimeFailure& failure)
{
    // Handlers are already stopped: ticks keep arriving while the box is open.
    std::wstring message = FailureMessage(failure);
    platform::ShowFailureBox(App::Title(), message);
    End();
}

void HandleFailure(const RuntimeFailure& failure)
{
    if (g_ending)
        return;
    // A failed handler ends the program: no later tick may repeat the failure.
    g_ending = true;
    g_failurePolicy(failure);
}

} // namespace forms
