// The test helpers that every platform answers alike, over its own
// ProgramPath and NativePath.
#include "TestWindows.h"

#include <fstream>
#include <iterator>
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

std::string ReadFileBytes(const std::wstring& path)
{
    std::ifstream file(NativePath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    std::error_code ignored;
    std::filesystem::create_directories(NativePath(path).parent_path(), ignored);
    std::ofstream file(NativePath(path), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::wstring& path)
{
    std::error_code ignored;
    return std::filesystem::exists(NativePath(path), ignored);
}

void RemoveFile(const std::wstring& path)
{
    std::error_code ignored;
    std::filesystem::remove(NativePath(path), ignored);
}

bool CreateFolder(const std::wstring& path)
{
    std::error_code error;
    return std::filesystem::create_directory(NativePath(path), error) && !error;
}

bool IsFolder(const std::wstring& path)
{
    std::error_code ignored;
    return std::filesystem::is_directory(NativePath(path), ignored);
}

} // namespace peerkin::test
