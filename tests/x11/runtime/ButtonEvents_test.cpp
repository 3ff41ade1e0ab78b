// Presses become the form's events as on Windows: a second left press soon
// enough and near enough is a double-click instead of a press; right and
// middle presses never are; the wheel is no press at all.
#include <gtest/gtest.h>

#include "Application.h"
#include "Form.h"
#include "SquareForm.h"
#include "X11EventLoop.h"
#include "X11Window.h"
#include "TestWindows.h"

#include <cctype>
#include <string>
#include <vector>

namespace {

// The X window a form's handle stands for.
::Window XidOf(HWND handle) { return forms::x11::LiveWindow(handle)->Xid(); }

class RecordingForm : public forms::Form {
public:
    RecordingForm()
        : forms::Form(peerkin::test::SquareForm(50))
    {
    }
    std::vector<std::string> events;

protected:
    void Form_DblClick() override { events.push_back("double-click"); }
    void Form_MouseDown(std::int16_t button, std::int16_t shift, float x, float y) override
    {
        events.push_back("down " + std::to_string(button) + " shift " + std::to_string(shift) + " at "
            + std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y)));
    }
};

struct Press {
    unsigned int button;
    Time time;
    int x;
    int y;
    unsigned int state = 0;
};

void Deliver(RecordingForm& form, const Press& press)
{
    XEvent event {};
    event.xbutton.type = ButtonPress;
    event.xbutton.window = XidOf(form.Handle());
    event.xbutton.button = press.button;
    event.xbutton.time = press.time;
    event.xbutton.x = press.x;
    event.xbutton.y = press.y;
    event.xbutton.x_root = 100 + press.x;
    event.xbutton.y_root = 100 + press.y;
    event.xbutton.state = press.state;
    forms::x11::DispatchEvent(event);
}

struct PressCase {
    const char* name;
    std::vector<Press> presses;
    std::vector<std::string> expected;
};

class ButtonEvents : public testing::TestWithParam<PressCase> { };

TEST_P(ButtonEvents, BecomeTheFormsEvents)
{
    RecordingForm form;
    for (const Press& press : GetParam().presses)
        Deliver(form, press);
    EXPECT_EQ(form.events, GetParam().expected);
}

const std::string LeftDown = "down 1 shift 0 at 10,10";

// Presses start at a time of their own, so that no case sees another's.
INSTANTIATE_TEST_SUITE_P(Presses, ButtonEvents,
    testing::Values(PressCase { "two quick left presses", { { 1, 1000, 10, 10 }, { 1, 1080, 10, 10 } },
                        { LeftDown, "double-click" } },
        PressCase { "two left presses 2 pixels apart", { { 1, 2000, 10, 10 }, { 1, 2100, 12, 8 } },
            { LeftDown, "double-click" } },
        PressCase { "too far apart", { { 1, 3000, 10, 10 }, { 1, 3100, 13, 10 } },
            { LeftDown, "down 1 shift 0 at 13,10" } },
        PressCase { "too slow", { { 1, 4000, 10, 10 }, { 1, 4000 + 501, 10, 10 } }, { LeftDown, LeftDown } },
        PressCase { "a third quick press starts afresh",
            { { 1, 5000, 10, 10 }, { 1, 5080, 10, 10 }, { 1, 5160, 10, 10 } },
            { LeftDown, "double-click", LeftDown } },
        PressCase { "right and middle presses, twice each",
            { { 3, 6000, 10, 10 }, { 3, 6050, 10, 10 }, { 2, 6100, 10, 10 }, { 2, 6150, 10, 10 } },
            { "down 2 shift 0 at 10,10", "down 2 shift 0 at 10,10", "down 4 shift 0 at 10,10",
                "down 4 shift 0 at 10,10" } },
        PressCase { "the wheel", { { 4, 7000, 10, 10 }, { 5, 7010, 10, 10 } }, {} },
        PressCase { "modifiers", { { 1, 8000, 10, 10, ShiftMask | ControlMask | Mod1Mask } },
            { "down 1 shift 7 at 10,10" } },
        PressCase { "server time wrapping round", { { 1, 0xFFFFFFF0, 10, 10 }, { 1, 0x20, 10, 10 } },
            { LeftDown, "double-click" } }),
    [](const testing::TestParamInfo<PressCase>& param) {
        std::string name = param.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

} // namespace
