// The X11 build's own layer: what it gives the program's code must be what
// that code expects of the Windows functions of the same names, and what it
// asks of the X server must really reach it.
// GoogleTest before the X headers, whose macros (None, Bool) clash with it.
#include <gtest/gtest.h>

#include "Application.h"
#include "Ansi.h"
#include "Form.h"
#include "X11EventLoop.h"
#include "X11Window.h"
#include "GdiObjects.h"
#include "PathForm.h"
#include "Platform.h"
#include "TestWindows.h"
#include "X11Connection.h"
#include "cTrimmer.h"

#include <X11/Xatom.h>
#include <X11/extensions/shape.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The X window a form's handle stands for.
::Window XidOf(HWND handle) { return forms::x11::LiveWindow(handle)->Xid(); }

using forms::x11::X11Connection;

float Twips(int pixels) { return static_cast<float>(pixels) * forms::Screen::TwipsPerPixelX(); }

// A form of 6x4 pixels whose picture has a 2x2 block of red in its middle.
class BlockForm : public forms::Form {
public:
    BlockForm()
        : forms::Form(Definition())
    {
    }

private:
    static forms::FormDefinition Definition()
    {
        forms::FormDefinition definition;
        definition.width = Twips(6);
        definition.height = Twips(4);
        definition.picture = [] {
            std::vector<COLORREF> pixels(24, RGB(255, 255, 255));
            for (int at : { 8, 9, 14, 15 })
                pixels[static_cast<std::size_t>(at)] = RGB(255, 0, 0);
            return peerkin::test::MakePicture(6, 4, pixels);
        };
        return definition;
    }
};

TEST(PlatformWindows, TrimmedShapeReachesTheServer)
{
    BlockForm form;
    cTrimmer trimmer;
    trimmer.TrimForm(form);
    X11Connection& x = X11Connection::Get();
    XSync(x.Display(), False);
    int count = 0;
    int ordering = 0;
    XRectangle* rects = XShapeGetRectangles(x.Display(), XidOf(form.Handle()), ShapeBounding, &count, &ordering);
    ASSERT_NE(rects, nullptr);
    // The server may merge the two one-row runs into one rectangle.
    int area = 0;
    for (int i = 0; i < count; ++i) {
        EXPECT_GE(rects[i].x, 2);
        EXPECT_LE(rects[i].x + rects[i].width, 4);
        EXPECT_GE(rects[i].y, 1);
        EXPECT_LE(rects[i].y + rects[i].height, 3);
        area += rects[i].width * rects[i].height;
    }
    XFree(rects);
    EXPECT_EQ(area, 4);
}

// A window manager moves its frame and says so with a configure event of its
// own in root coordinates; the server's own events are relative to the frame.
TEST(PlatformWindows, PositionFollowsTheWindowManagersWordAndAsksWhenInDoubt)
{
    BlockForm form;
    form.SetLeft(Twips(10));
    form.SetTop(Twips(20));
    XEvent event {};
    event.xconfigure.type = ConfigureNotify;
    event.xconfigure.event = XidOf(form.Handle());
    event.xconfigure.window = XidOf(form.Handle());
    event.xconfigure.send_event = True;
    event.xconfigure.x = 300;
    event.xconfigure.y = 40;
    forms::x11::DispatchEvent(event);
    RECT rect {};
    ASSERT_TRUE(::GetWindowRect(form.Handle(), &rect));
    EXPECT_EQ(rect.left, 300);
    EXPECT_EQ(rect.top, 40);

    XEvent framed {};
    framed.xreparent.type = ReparentNotify;
    framed.xreparent.event = XidOf(form.Handle());
    framed.xreparent.window = XidOf(form.Handle());
    framed.xreparent.parent = XidOf(form.Handle()) + 1000; // a frame, not the root
    forms::x11::DispatchEvent(framed);
    event.xconfigure.send_event = False;
    event.xconfigure.x = 5; // within the frame
    event.xconfigure.y = 5;
    forms::x11::DispatchEvent(event);
    ASSERT_TRUE(::GetWindowRect(form.Handle(), &rect));
    EXPECT_EQ(rect.left, 10) << "asked of the server, where the window really is";
    EXPECT_EQ(rect.top, 20);
}

// A window manager may move its frame with the pointer and never say so
// (weston does not): after a move handed to it, the position is asked.
TEST(PlatformWindows, AfterAMoveHandedToTheWindowManagerThePositionIsAsked)
{
    BlockForm form;
    form.SetLeft(Twips(10));
    form.SetTop(Twips(20));
    XSync(X11Connection::Get().Display(), False); // placed before the frame takes it
    std::unique_ptr<Display, int (*)(Display*)> connection(XOpenDisplay(nullptr), XCloseDisplay);
    ASSERT_NE(connection, nullptr);
    Display* manager = connection.get();
    ::Window frame = XCreateSimpleWindow(manager, DefaultRootWindow(manager), 10, 20, 6, 4, 0, 0, 0);
    XReparentWindow(manager, XidOf(form.Handle()), frame, 0, 0);
    XSync(manager, False);
    peerkin::test::PumpFor(50);
    RECT rect {};
    ASSERT_TRUE(::GetWindowRect(form.Handle(), &rect));
    ASSERT_EQ(rect.left, 10);

    // Asked on every tick while the button is down, not once.
    ASSERT_EQ(std::system("xdotool mousedown 1"), 0);
    POINT pointer {};
    ::GetCursorPos(&pointer); // the tick's question, which sees the button
    forms::x11::LiveWindow(form.Handle())->NoteMovedByWindowManager();
    for (int left : { 300, 320 }) {
        XMoveWindow(manager, frame, left, 200);
        XSync(manager, False);
        EXPECT_TRUE(::GetWindowRect(form.Handle(), &rect));
        EXPECT_EQ(rect.left, left);
        EXPECT_EQ(rect.top, 200);
    }
    std::system("xdotool mouseup 1");
}

// Says on the root window, while it lives, that a window manager runs and
// offers to move windows; nothing takes a move it is handed, but the moves
// asked of it are kept.
class WindowManagerThatMovesNothing {
public:
    WindowManagerThatMovesNothing()
        : m_x(X11Connection::Get())
        , m_check(XCreateSimpleWindow(m_x.Display(), m_x.Root(), 0, 0, 1, 1, 0, 0, 0))
        , m_listener(XOpenDisplay(nullptr), XCloseDisplay)
    {
        SetItem(m_x.Root(), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, m_check);
        SetItem(m_check, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, m_check);
        SetItem(m_x.Root(), "_NET_SUPPORTED", XA_ATOM, m_x.Intern("_NET_WM_MOVERESIZE"));
        // Requests to the window manager are sent to the root for whoever
        // watches its children; redirecting them would keep windows unmapped.
        if (m_listener)
            XSelectInput(m_listener.get(), DefaultRootWindow(m_listener.get()), SubstructureNotifyMask);
        XSync(m_x.Display(), False);
        if (m_listener)
            XSync(m_listener.get(), False);
    }

    // The _NET_WM_MOVERESIZE requests that have come since it started.
    std::vector<XClientMessageEvent> MovesAsked()
    {
        std::vector<XClientMessageEvent> asked;
        if (!m_listener)
            return asked;
        XSync(m_listener.get(), False);
        Atom moveResize = XInternAtom(m_listener.get(), "_NET_WM_MOVERESIZE", False);
        while (XPending(m_listener.get()) > 0) {
            XEvent event;
            XNextEvent(m_listener.get(), &event);
            if (event.type == ClientMessage && event.xclient.message_type == moveResize)
                asked.push_back(event.xclient);
        }
        return asked;
    }
    ~WindowManagerThatMovesNothing()
    {
        XDeleteProperty(m_x.Display(), m_x.Root(), m_x.Intern("_NET_SUPPORTING_WM_CHECK"));
        XDeleteProperty(m_x.Display(), m_x.Root(), m_x.Intern("_NET_SUPPORTED"));
        XDestroyWindow(m_x.Display(), m_check);
        XSync(m_x.Display(), False);
    }
    WindowManagerThatMovesNothing(const WindowManagerThatMovesNothing&) = delete;
    WindowManagerThatMovesNothing& operator=(const WindowManagerThatMovesNothing&) = delete;

private:
    void SetItem(::Window window, const char* property, Atom type, unsigned long item)
    {
        XChangeProperty(m_x.Display(), window, m_x.Intern(property), type, 32, PropModeReplace,
            reinterpret_cast<const unsigned char*>(&item), 1);
    }

    X11Connection& m_x;
    ::Window m_check;
    std::unique_ptr<Display, int (*)(Display*)> m_listener;
};

// The real pointer, driven by xdotool in a process of its own while the
// test goes on; the destructor waits for it and lets go of the button.
class PointerHand {
public:
    explicit PointerHand(std::vector<std::string> steps)
    {
        steps.insert(steps.begin(), "xdotool");
        std::vector<char*> arguments;
        for (std::string& step : steps)
            arguments.push_back(step.data());
        arguments.push_back(nullptr);
        if (::posix_spawnp(&m_pid, "xdotool", nullptr, nullptr, arguments.data(), environ) != 0)
            m_pid = 0;
    }
    ~PointerHand()
    {
        if (m_pid != 0)
            ::waitpid(m_pid, nullptr, 0);
        std::system("xdotool mouseup 1");
    }
    PointerHand(const PointerHand&) = delete;
    PointerHand& operator=(const PointerHand&) = delete;
    bool Started() const { return m_pid != 0; }

private:
    pid_t m_pid = 0;
};

// A window manager may offer moves and still take none (xfwm4 took none
// when its grab of the pointer failed): the program then moves the window
// itself, as far as the pointer has gone since the press, and goes on
// following it after taking over.
TEST(PlatformWindows, AMoveNoWindowManagerTakesIsMadeByTheProgram)
{
    WindowManagerThatMovesNothing manager;
    BlockForm form;
    form.SetLeft(Twips(100));
    form.SetTop(Twips(100));
    form.Show();
    peerkin::test::PumpFor(100);
    PointerHand hand({ "mousemove", "102", "102", "mousedown", "1", "sleep", "0.3", "mousemove_relative", "--",
        "30", "20", "sleep", "0.6", "mousemove_relative", "--", "10", "10", "sleep", "0.3", "mouseup", "1" });
    ASSERT_TRUE(hand.Started()) << "xdotool did not start";
    peerkin::test::PumpFor(150); // the press reaches the window
    forms::x11::MoveWithPointer(*forms::x11::LiveWindow(form.Handle()));
    RECT rect {};
    ASSERT_TRUE(::GetWindowRect(form.Handle(), &rect));
    EXPECT_EQ(rect.left, 140);
    EXPECT_EQ(rect.top, 130);
}

struct DragCase {
    const char* name;
    int dx;
    bool handedOver;
};

class DragThreshold : public testing::TestWithParam<DragCase> { };

// A press becomes a drag once the pointer has gone 4 pixels, as on Windows,
// so that a click's small wobble keeps the second press of a double-click;
// the move is then handed to the window manager from where the press was.
TEST_P(DragThreshold, APressBecomesAMoveHandedToTheWindowManagerOnlyFourPixelsOn)
{
    WindowManagerThatMovesNothing manager;
    BlockForm form;
    form.SetLeft(Twips(200));
    form.SetTop(Twips(100));
    form.Show();
    peerkin::test::PumpFor(100);
    PointerHand hand({ "mousemove", "202", "102", "mousedown", "1", "sleep", "0.2", "mousemove_relative", "--",
        std::to_string(GetParam().dx), "0", "sleep", "0.1", "mouseup", "1" });
    ASSERT_TRUE(hand.Started()) << "xdotool did not start";
    peerkin::test::PumpFor(100); // the press reaches the window
    forms::x11::MoveWithPointer(*forms::x11::LiveWindow(form.Handle()));
    std::vector<XClientMessageEvent> asked = manager.MovesAsked();
    if (!GetParam().handedOver) {
        EXPECT_TRUE(asked.empty());
        RECT rect {};
        ASSERT_TRUE(::GetWindowRect(form.Handle(), &rect));
        EXPECT_EQ(rect.left, 200) << "a click moved the window";
        return;
    }
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].window, XidOf(form.Handle()));
    EXPECT_EQ(asked[0].data.l[0], 202) << "from where the press was";
    EXPECT_EQ(asked[0].data.l[1], 102);
    EXPECT_EQ(asked[0].data.l[2], 8) << "a move by the pointer";
    EXPECT_EQ(asked[0].data.l[3], Button1);
}

INSTANTIATE_TEST_SUITE_P(Pixels, DragThreshold,
    testing::Values(DragCase { "ThreeIsAClick", 3, false }, DragCase { "FourIsADrag", 4, true }),
    [](const testing::TestParamInfo<DragCase>& drag) { return std::string(drag.param.name); });

TEST(PlatformWindows, StaleHandlesFailInsteadOfCrashing)
{
    HWND stale = nullptr;
    {
        BlockForm form;
        stale = form.Handle();
    }
    RECT rect {};
    EXPECT_FALSE(::GetWindowRect(stale, &rect));
    EXPECT_FALSE(::SetWindowPos(stale, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE));
    EXPECT_EQ(::SendMessageA(stale, WM_NCLBUTTONDOWN, HTCAPTION, 0), 0);
    HRGN region = ::CreateRectRgn(0, 0, 2, 2);
    EXPECT_EQ(::SetWindowRgn(stale, region, TRUE), 0);
    EXPECT_FALSE(::DeleteObject(region)) << "the region was taken over even though the window was gone";
}

TEST(PlatformRegions, UnionsCountTheirRectanglesAndHandlesDieOnce)
{
    std::size_t before = forms::winapi::LiveGdiObjects();
    HRGN all = ::CreateRectRgn(0, 0, 0, 0);
    HRGN span = ::CreateRectRgn(5, 1, 2, 0); // corners in any order
    EXPECT_EQ(::CombineRgn(all, all, all, RGN_OR), NULLREGION);
    EXPECT_EQ(::CombineRgn(all, all, span, RGN_OR), SIMPLEREGION);
    EXPECT_EQ(::CombineRgn(all, all, span, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(::CombineRgn(all, all, span, 1), ERROR) << "only unions are provided";
    EXPECT_TRUE(::DeleteObject(span));
    EXPECT_FALSE(::DeleteObject(span));
    EXPECT_EQ(::CombineRgn(all, all, span, RGN_OR), ERROR);
    EXPECT_TRUE(::DeleteObject(all));
    EXPECT_EQ(forms::winapi::LiveGdiObjects(), before);
}

TEST(PlatformPaths, LongFormIsThePathWithSlashesAndBuffersAreRespected)
{
    char buffer[32];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(::GetLongPathNameA("\\Home\\Toys\\Peerkin.exe", buffer, sizeof buffer), 22U);
    EXPECT_STREQ(buffer, "\\Home\\Toys\\Peerkin.exe") << "letter case kept exactly";
    char small[8];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(::GetLongPathNameA("/Home/Toys/Peerkin.exe", small, sizeof small), 23U) << "the size it needs";
    EXPECT_EQ(small[0], 'x') << "nothing written into too small a buffer";
    EXPECT_EQ(::GetLongPathNameA("", buffer, sizeof buffer), 0U);
    char temp[260];
    DWORD length = ::GetTempPathA(sizeof temp, temp);
    ASSERT_GT(length, 0U);
    EXPECT_EQ(temp[length - 1], '\\');
}

TEST(PlatformText, UpperCaseOfLatinLettersOnly)
{
    std::wstring text = L"orlo's peerkin \u00e9\u00f7\u00ff1z";
    ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    EXPECT_EQ(text, L"ORLO'S PEERKIN \u00c9\u00f7\u00ff1Z");
}

TEST(PlatformText, NarrowTextsAreUtf8AndOtherBytesComeBackUnchanged)
{
    EXPECT_EQ(forms::ToAnsi(L"Caf\u00e9 \u20ac"), "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(forms::FromAnsi("Caf\xC3\xA9 \xE2\x82\xAC"), L"Caf\u00e9 \u20ac");
    // A folder named in Latin-1, a cut sequence, overlong slashes, an
    // encoded surrogate: none is read as another character, and each
    // comes back as the bytes it was.
    for (const char* bytes : { "f\xFCr", "a\xFF" "b\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xED\xA0\x80" }) {
        std::wstring read = forms::FromAnsi(bytes);
        EXPECT_EQ(read.find(L'/'), std::wstring::npos) << bytes;
        EXPECT_EQ(forms::ToAnsi(read), bytes);
    }
}

TEST(PlatformPaths, FoldersComeInTheProgramsForm)
{
    char folder[64];
    ASSERT_GT(::GetWindowsDirectoryA(folder, sizeof folder), 0U);
    EXPECT_STREQ(folder, "\\etc");
    EXPECT_EQ(forms::App::Path().find(L'/'), std::wstring::npos) << "the program joins paths with \\";
}

// Where the lock of the program named name lies: the user's runtime folder,
// where the test runs with one that no one else may write; else the user's
// own folder in /tmp.
std::string LockFile(const std::string& name)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat status {};
    bool privateRuntime = runtime && ::stat(runtime, &status) == 0 && status.st_uid == ::getuid()
        && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
    std::string uid = std::to_string(::getuid());
    std::string folder = privateRuntime ? runtime : "/tmp/orlos-peerkin-" + uid;
    return folder + "/orlos-peerkin-" + uid + "-" + name + ".lock";
}

TEST(PlatformApplication, TheInstanceLockIsHeldWhileTheProgramRuns)
{
    EXPECT_FALSE(forms::App::PrevInstance());
    std::string path = LockFile("runtime_x11_tests");
    int other = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(other, 0) << path;
    EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0) << "a second start would get the lock";
    ::close(other);
}

// The error the next flock fails with instead of locking; 0 locks.
int g_flockFailure = 0;

struct LockFailure {
    const char* name;
    int error;
    bool anotherRuns;
};

class InstanceLockFailure : public testing::TestWithParam<LockFailure> { };

// Only a lock that another process holds means a copy runs: a file system
// without locks, or none left, must not keep the figure from starting.
TEST_P(InstanceLockFailure, OnlyALockHeldElsewhereMeansAnotherCopyRuns)
{
    std::string name = std::string("lock-failure-") + GetParam().name;
    g_flockFailure = GetParam().error;
    bool anotherRuns = forms::platform::AnotherInstanceRuns(forms::FromAnsi(name));
    g_flockFailure = 0;
    ::unlink(LockFile(name).c_str());
    EXPECT_EQ(anotherRuns, GetParam().anotherRuns);
}

INSTANTIATE_TEST_SUITE_P(Errors, InstanceLockFailure,
    testing::Values(LockFailure { "HeldElsewhere", EWOULDBLOCK, true }, LockFailure { "NoLocksLeft", ENOLCK, false },
        LockFailure { "NotSupported", EINVAL, false }),
    [](const testing::TestParamInfo<LockFailure>& failure) { return std::string(failure.param.name); });

} // namespace

// The test program is linked with flock wrapped, so that a test can make it
// fail as a file system without locks would.
extern "C" int __real_flock(int file, int operation);
extern "C" int __wrap_flock(int file, int operation)
{
    if (g_flockFailure == 0)
        return __real_flock(file, operation);
    errno = g_flockFailure;
    return -1;
}
