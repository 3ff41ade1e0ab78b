#include "PathForm.h"

namespace forms {
namespace {

// U+F05C in UTF-8: a "\" that belongs to a name.
constexpr std::string_view NameBackslash = "\xEF\x81\x9C";

} // namespace

std::string ToProgramPath(std::string_view linuxPath)
{
    std::string path;
    path.reserve(linuxPath.size());
    for (char c : linuxPath) {
        if (c == '/')
            path += '\\';
        else if (c == '\\')
            path += NameBackslash;
        else
            path += c;
    }
    return path;
}

std::string ToLinuxPath(std::string_view programPath)
{
    std::string path;
    path.reserve(programPath.size());
    for (std::size_t at = 0; at < programPath.size(); ++at) {
        if (programPath.substr(at, NameBackslash.size()) == NameBackslash) {
            path += '\\';
            at += NameBackslash.size() - 1;
        } else {
            path += programPath[at] == '\\' ? '/' : programPath[at];
        }
    }
    return path;
}

} // namespace forms
