#include "TestWindows.h"

#include <sstream>

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

std::wstring SettingsFileBesideThisProgram()
{
    std::wstring path = ProgramPath();
    std::size_t dot = path.find_last_of(L'.');
    std::size_t separator = path.find_last_of(L"\\/");
    if (dot != std::wstring::npos && (separator == std::wstring::npos || dot > separator))
        path.erase(dot);
    return path + L".ini";
}

std::vector<std::string> NonEmptyLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

} // namespace peerkin::test
