// Failures and endings that reach the event dispatch are recorded, not
// shown or done, in every test program with real windows.
#include "Dispatch.h"
#include "TestWindows.h"

namespace peerkin::test {
namespace {

DispatchRecord g_record;

void RecordFailure(const forms::RuntimeFailure& failure) { g_record.failures.push_back(failure); }
void RecordEnd() { ++g_record.endRequests; }

} // namespace

void RuntimeEnvironment::SetUp()
{
    forms::SetFailurePolicy(RecordFailure);
    forms::SetEndAction(RecordEnd);
}

DispatchRecord& Dispatched() { return g_record; }

void ResetDispatch()
{
    g_record = {};
    forms::ClearEnding();
}

} // namespace peerkin::test
