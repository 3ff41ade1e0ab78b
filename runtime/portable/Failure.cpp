#include "Failure.h"

namespace forms {

RuntimeFailure::RuntimeFailure(FailureCode code)
    : RuntimeFailure(code, DescribeFailure(code))
{
}

RuntimeFailure::RuntimeFailure(FailureCode code, std::string description)
    : m_code(code)
    , m_description(std::move(description))
{
}

std::string DescribeFailure(FailureCode code)
{
    switch (code) {
    case FailureCode::InvalidCall: return "Invalid procedure call or argument";
    case FailureCode::Overflow: return "Overflow";
    case FailureCode::OutOfMemory: return "Out of memory";
    case FailureCode::DivisionByZero: return "Division by zero";
    case FailureCode::ObjectRequired: return "Object required";
    case FailureCode::InvalidPropertyValue: return "Invalid property value";
    case FailureCode::PlatformCallFailed: return "A system call failed";
    }
    return "Application-defined or object-defined error";
}

void Fail(FailureCode code)
{
    throw RuntimeFailure(code);
}

} // namespace forms
