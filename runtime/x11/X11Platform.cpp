// The process-wide services of the X11 back-end, and the factories of its
// windows and images.
#include "Platform.h"

#include "Ansi.h"
#include "Application.h"
#include "DesktopPointer.h"
#include "Failure.h"
#include "PathForm.h"
#include "X11Connection.h"
#include "X11EventLoop.h"
#include "X11FailureWindow.h"
#include "X11Image.h"
#include "X11Process.h"
#include "X11Window.h"

#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace forms::x11 {

std::string ExecutablePath()
{
    std::string path(4096, '\0');
    ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    path.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return path;
}

} // namespace forms::x11

namespace forms::platform {
namespace {

using x11::ExecutablePath;

bool g_quit = false;

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

// Without a display there is nothing the program could show: say so,
// rather than end silently as every step of its start-up fails.
bool Connect()
{
    try {
        x11::X11Connection::Get();
        return true;
    } catch (const RuntimeFailure& failure) {
        std::string message = ToAnsi(App::EXEName()) + ": " + failure.Description() + "\n";
        std::fputs(message.c_str(), stderr);
        return false;
    }
}

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

PixelSize ScreenSize()
{
    x11::X11Connection& x = x11::X11Connection::Get();
    return PixelSize { x.ScreenWidth(), x.ScreenHeight() };
}

double DotsPerInchX() { return x11::X11Connection::Get().DotsPerInch(); }
double DotsPerInchY() { return x11::X11Connection::Get().DotsPerInch(); }

int RunEventLoop()
{
    g_quit = false;
    x11::StartDesktopPointer();
    x11::PumpUntil([] { return g_quit; });
    x11::StopDesktopPointer();
    return 0;
}

void QuitEventLoop() { g_quit = true; }

void ShowFailureBox(const std::wstring& title, const std::wstring& message)
{
    std::string text = ToAnsi(title) + ": " + ToAnsi(message) + "\n";
    std::fputs(text.c_str(), stderr);
    x11::ShowFailureWindow(ToAnsi(title), ToAnsi(message));
}

void ExitAtOnce()
{
    // The X server closes the windows with the connection; a KWin script
    // would outlive the program.
    x11::StopDesktopPointer();
    std::fflush(nullptr);
    ::_exit(0);
}

std::unique_ptr<PlatformWindow> CreateFormWindow(const WindowSettings& settings, WindowEvents& events)
{
    return std::make_unique<x11::X11Window>(settings, events);
}

std::unique_ptr<OffscreenImage> CreateOffscreenImage(int width, int height, COLORREF background, HBITMAP picture)
{
    return std::make_unique<x11::X11Image>(width, height, background, picture);
}

} // namespace forms::platform
