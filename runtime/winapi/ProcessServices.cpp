// The process services of the seam as Linux offers them, whatever shows the
// windows: the program's file and name, its command line and the user's
// decimal separator.
#include "Platform.h"

#include "Ansi.h"
#include "PathForm.h"
#include "ProcessFile.h"

#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <string>

namespace forms::winapi {

std::string ExecutablePath()
{
    std::string path(4096, '\0');
    ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    path.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return path;
}

} // namespace forms::winapi

namespace forms::platform {
namespace {

using winapi::ExecutablePath;

// The whole of a small file; empty when it cannot be read. (Plain reads:
// the C++ streams would bring their whole library into the program.)
std::string FileText(const char* path)
{
    std::string text;
    int file = ::open(path, O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return text;
    char chunk[4096];
    for (ssize_t count; (count = ::read(file, chunk, sizeof chunk)) > 0;)
        text.append(chunk, static_cast<std::size_t>(count));
    ::close(file);
    return text;
}

// The arguments after the program's own name, as one text: separated by
// blanks, each with blanks in it quoted.
std::string ArgumentsOfThisProcess()
{
    std::string all = FileText("/proc/self/cmdline");
    std::string text;
    std::size_t start = all.find('\0');
    while (start != std::string::npos && start + 1 < all.size()) {
        std::size_t end = all.find('\0', start + 1);
        std::string argument = all.substr(start + 1, end - start - 1);
        bool quote = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
        if (!text.empty())
            text += ' ';
        if (quote)
            text += '"';
        text += argument;
        if (quote)
            text += '"';
        start = end;
    }
    return text;
}

} // namespace

std::wstring ProgramFolder()
{
    std::string path = ExecutablePath();
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return L"";
    // Keep the closing separator only at the root.
    return FromAnsi(ToProgramPath(path.substr(0, slash == 0 ? 1 : slash)));
}

// Linux programs have no extension to leave out: the name is the file's.
std::wstring ProgramName()
{
    std::string path = ExecutablePath();
    return FromAnsi(path.substr(path.find_last_of('/') + 1));
}

std::wstring CommandArguments() { return FromAnsi(ArgumentsOfThisProcess()); }

// The user's locale, read without changing the process's own.
wchar_t DecimalSeparator()
{
    wchar_t separator = L'.';
    if (locale_t user = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr))) {
        std::wstring radix = FromAnsi(::nl_langinfo_l(RADIXCHAR, user));
        if (radix.size() == 1)
            separator = radix[0];
        ::freelocale(user);
    }
    return separator;
}

} // namespace forms::platform
