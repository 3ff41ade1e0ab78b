#include "TestWindows.h"

namespace peerkin::test {
namespace {

std::vector<std::string>& Arguments()
{
    static std::vector<std::string> arguments;
    return arguments;
}

} // namespace

void KeepProgramArguments(int argc, char** argv) { Arguments().assign(argv + (argc > 0 ? 1 : 0), argv + argc); }

const std::vector<std::string>& ProgramArguments() { return Arguments(); }

std::wstring ProgramName()
{
    std::wstring path = ProgramPath();
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    return name.substr(0, name.find_last_of(L'.'));
}

} // namespace peerkin::test
