#include "Application.h"

#include "Ansi.h"
#include "Dispatch.h"
#include "EventLoop.h"
#include "Form.h"
#include "NumberText.h"
#include "PathForm.h"
#include "XConnection.h"

#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace forms {
namespace {

bool g_runningEventLoop = false;

std::string ExecutablePath()
{
    std::string path(4096, '\0');
    ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    path.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return path;
}

// The folder for the instance lock: the user's runtime folder, where only
// the user may write, else the temporary folder.
std::string LockFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return runtime;
    return "/tmp";
}

// An exclusive lock on a file named after the program and the user, held
// as long as the process lives: the system drops it when the process ends
// in any way, so a killed instance never blocks a start.
bool CreateInstanceMarker()
{
    std::string path = LockFolder() + "/orlos-peerkin-" + std::to_string(::getuid()) + "-" + ToAnsi(App::EXEName())
        + ".lock";
    int file = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (file < 0)
        return false; // no lock to be had: run rather than refuse to start
    if (::flock(file, LOCK_EX | LOCK_NB) == 0)
        return false; // kept open for the life of the process
    ::close(file);
    return true;
}

float TwipsPerPixel()
{
    static const float twips = [] {
        double dotsPerInch = x11::XConnection::Get().DotsPerInch();
        return static_cast<float>(1440.0 / dotsPerInch);
    }();
    return twips;
}

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

std::wstring App::Path()
{
    std::string path = ExecutablePath();
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return L"";
    // Keep the closing separator only at the root.
    return FromAnsi(ToProgramPath(path.substr(0, slash == 0 ? 1 : slash)));
}

// Linux programs have no extension to leave out: the name is the file's.
std::wstring App::EXEName()
{
    std::string path = ExecutablePath();
    return FromAnsi(path.substr(path.find_last_of('/') + 1));
}

bool App::PrevInstance()
{
    static const bool previous = CreateInstanceMarker();
    return previous;
}

std::wstring App::Title() { return EXEName(); }

float Screen::Width() { return static_cast<float>(x11::XConnection::Get().ScreenWidth()) * TwipsPerPixelX(); }
float Screen::Height() { return static_cast<float>(x11::XConnection::Get().ScreenHeight()) * TwipsPerPixelY(); }
float Screen::TwipsPerPixelX() { return TwipsPerPixel(); }
float Screen::TwipsPerPixelY() { return TwipsPerPixel(); }

std::wstring Command() { return FromAnsi(ArgumentsOfThisProcess()); }

std::wstring NumberToLocaleText(float value)
{
    // The user's locale, read without changing the process's own.
    wchar_t separator = L'.';
    if (locale_t user = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr))) {
        std::wstring radix = FromAnsi(::nl_langinfo_l(RADIXCHAR, user));
        if (radix.size() == 1)
            separator = radix[0];
        ::freelocale(user);
    }
    return NumberToText(value, separator);
}

int Run(void (*main)())
{
    // Without a display there is nothing the program could show: say so,
    // rather than end silently as every step of its start-up fails.
    try {
        x11::XConnection::Get();
    } catch (const RuntimeFailure& failure) {
        std::string message = ToAnsi(App::EXEName()) + ": " + failure.Description() + "\n";
        std::fputs(message.c_str(), stderr);
        return 1;
    }
    App::PrevInstance(); // claim the instance lock before anything else runs
    RaiseEvent(main);
    if (!AnyFormLoaded())
        return 0;
    g_runningEventLoop = true;
    x11::PumpUntil([] { return !AnyFormLoaded(); });
    g_runningEventLoop = false;
    return 0;
}

bool IsRunningEventLoop() { return g_runningEventLoop; }

} // namespace forms
