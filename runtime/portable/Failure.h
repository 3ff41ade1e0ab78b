#pragma once
// Run-time failures of the forms runtime: a number and a description, thrown
// as C++ exceptions so that they travel up the calls until a handler or the
// event dispatch stops them.

#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <utility>

namespace forms {

// The numbers the failure box shows ("Run-time error '6':"). They are the
// numbers forms runtimes of the BASIC family have always given these
// failures, so that a reported number means what a reader knows it to mean
// and stays the same on every platform and from one release to the next:
// 5 a call with an argument it cannot take (a file name that is empty or
// too short, a result that is not a number), 6 a result out of range,
// 7 memory or a system resource ran out, 11 a division by zero, 380 a
// property set to a value it cannot hold, 424 an object used that is not
// there, and 453 a call into the system that failed (in those runtimes, a
// library function that could not be found).
enum class FailureCode : std::int32_t {
    InvalidCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    DivisionByZero = 11,
    ObjectRequired = 424,
    InvalidPropertyValue = 380,
    PlatformCallFailed = 453,
};

class RuntimeFailure : public std::exception {
public:
    explicit RuntimeFailure(FailureCode code);
    RuntimeFailure(FailureCode code, std::string description);

    std::int32_t Number() const { return static_cast<std::int32_t>(m_code); }
    FailureCode Code() const { return m_code; }
    const std::string& Description() const { return m_description; }
    const char* what() const noexcept override { return m_description.c_str(); }

private:
    FailureCode m_code;
    std::string m_description;
};

// The standard description of a failure number.
std::string DescribeFailure(FailureCode code);

[[noreturn]] void Fail(FailureCode code);

// Runs one step of a continue-on-failure procedure: a run-time failure
// abandons the rest of the step silently, and the caller goes on.
template <typename Step>
void ContinueOnFailure(Step&& step) noexcept
{
    try {
        std::forward<Step>(step)();
    } catch (const std::exception&) {
        // Abandoned on purpose: the next step still runs.
    }
}

} // namespace forms
