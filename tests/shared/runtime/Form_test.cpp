// The form: loading on first use, sizes and scales, persistent drawing,
// pixel reading and circles, on real windows.
#include "Application.h"
#include "Form.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace forms;
using peerkin::test::MakePicture;

namespace {

constexpr COLORREF Navy = RGB(0, 1, 43);
constexpr COLORREF Silver = RGB(180, 180, 190);

float PixelsToTwips(int pixels) { return static_cast<float>(pixels) * Screen::TwipsPerPixelX(); }

// A 4 x 3 picture: navy, with a silver pixel at (1, 1) and (3, 2).
HBITMAP SmallPicture()
{
    std::vector<COLORREF> pixels(12, Navy);
    pixels[1 * 4 + 1] = Silver;
    pixels[2 * 4 + 3] = Silver;
    return MakePicture(4, 3, pixels);
}

FormDefinition Definition(int width, int height)
{
    FormDefinition definition;
    definition.width = PixelsToTwips(width);
    definition.height = PixelsToTwips(height);
    definition.backColor = RGB(255, 255, 255);
    definition.fillColor = RGB(192, 255, 255);
    definition.picture = SmallPicture;
    return definition;
}

// Records what its load handler saw.
class RecordingForm : public Form {
public:
    explicit RecordingForm(FormDefinition definition)
        : Form(std::move(definition))
    {
    }
    int loads = 0;
    float topSeenByLoad = -1;

protected:
    void Form_Load() override
    {
        ++loads;
        SetTop(PixelsToTwips(40));
        topSeenByLoad = Top();
    }
};

class FormTest : public testing::Test {
protected:
    void SetUp() override { peerkin::test::ResetDispatch(); }
};

TEST_F(FormTest, CreatingDoesNotLoadButTheFirstSettingLoadsAndAppliesAfterTheLoadHandler)
{
    RecordingForm form(Definition(10, 8));
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(form.loads, 0);
    form.SetTop(PixelsToTwips(7));
    EXPECT_EQ(form.loads, 1);
    EXPECT_EQ(form.topSeenByLoad, PixelsToTwips(40)); // the load handler's own value
    EXPECT_EQ(form.Top(), PixelsToTwips(7));           // then the setting applied
    form.SetLeft(PixelsToTwips(9));
    EXPECT_EQ(form.loads, 1);
}

TEST_F(FormTest, ReadingAnySettingLoadsTheForm)
{
    using Read = void (*)(Form&);
    std::vector<Read> reads = { [](Form& f) { f.Top(); }, [](Form& f) { f.Width(); },
        [](Form& f) { f.Picture(); }, [](Form& f) { f.ScaleMode(); }, [](Form& f) { f.Point(0, 0); },
        [](Form& f) { f.AutoRedraw(); }, [](Form& f) { f.Handle(); } };
    for (Read read : reads) {
        RecordingForm form(Definition(10, 8));
        read(form);
        EXPECT_EQ(form.loads, 1);
    }
}

TEST_F(FormTest, SizesAreTwipsOfTheFramelessWindow)
{
    RecordingForm form(Definition(193, 279));
    EXPECT_EQ(form.Width(), PixelsToTwips(193));
    EXPECT_EQ(form.Height(), PixelsToTwips(279));
    EXPECT_EQ(form.ScaleWidth(), 193.0f);
    EXPECT_EQ(form.ScaleHeight(), 279.0f);
    form.SetScaleMode(ScaleMode::Twips);
    EXPECT_EQ(form.ScaleWidth(), PixelsToTwips(193));
}

TEST_F(FormTest, UnknownScaleModeIsRejected)
{
    RecordingForm form(Definition(10, 8));
    EXPECT_THROW(form.SetScaleMode(4), RuntimeFailure);
    EXPECT_EQ(form.ScaleMode(), ScaleMode::Pixels);
}

TEST_F(FormTest, PointReadsBackgroundWithThePictureAtTheTopLeft)
{
    RecordingForm form(Definition(6, 5));
    EXPECT_TRUE(form.AutoRedraw());
    EXPECT_EQ(form.Point(0, 0), Navy);
    EXPECT_EQ(form.Point(1, 1), Silver);
    EXPECT_EQ(form.Point(3, 2), Silver);
    EXPECT_EQ(form.Point(4, 0), RGB(255, 255, 255)); // beyond the picture: back colour
    EXPECT_EQ(form.Point(5, 4), RGB(255, 255, 255));
    EXPECT_EQ(form.Point(6, 0), CLR_INVALID);
    EXPECT_EQ(form.Point(-1, 0), CLR_INVALID);
}

TEST_F(FormTest, PointFollowsTheDrawingScale)
{
    RecordingForm form(Definition(6, 5));
    form.SetScaleMode(ScaleMode::Twips);
    EXPECT_EQ(form.Point(PixelsToTwips(1), PixelsToTwips(1)), Silver);
}

TEST_F(FormTest, CircleFillsWithTheFillColourInsideItsOutline)
{
    RecordingForm form(Definition(60, 60));
    form.SetFillColor(RGB(255, 0, 0));
    form.Circle(30, 30, 10, RGB(0, 0, 255));
    EXPECT_EQ(form.Point(30, 30), RGB(255, 0, 0));
    EXPECT_EQ(form.Point(30, 20), RGB(0, 0, 255)); // top of the outline
    EXPECT_EQ(form.Point(30, 18), RGB(255, 255, 255));
    EXPECT_EQ(form.Point(43, 30), RGB(255, 255, 255));
}

TEST_F(FormTest, CircleOutlineIsCircularAroundItsCentre)
{
    RecordingForm form(Definition(60, 60));
    form.SetFillColor(RGB(0, 0, 0));
    form.Circle(30, 30, 7, RGB(0, 0, 0));
    for (int angle = 0; angle < 360; angle += 15) {
        double radians = angle * 3.14159265358979 / 180.0;
        auto x = static_cast<float>(30 + 6 * std::cos(radians));
        auto y = static_cast<float>(30 + 6 * std::sin(radians));
        EXPECT_EQ(form.Point(std::round(x), std::round(y)), RGB(0, 0, 0)) << angle;
        auto outX = static_cast<float>(30 + 9 * std::cos(radians));
        auto outY = static_cast<float>(30 + 9 * std::sin(radians));
        EXPECT_EQ(form.Point(std::round(outX), std::round(outY)), RGB(255, 255, 255)) << angle;
    }
}

TEST_F(FormTest, PersistentDrawingSetOnAgainKeepsWhatWasDrawnButSwitchedOnStartsFromThePicture)
{
    RecordingForm form(Definition(20, 20));
    form.SetFillColor(RGB(255, 0, 0));
    form.Circle(10, 10, 5, RGB(255, 0, 0));
    form.SetAutoRedraw(true);
    EXPECT_EQ(form.Point(10, 10), RGB(255, 0, 0)) << "setting it on again wiped the drawing";
    form.SetAutoRedraw(false);
    EXPECT_FALSE(form.AutoRedraw());
    form.SetAutoRedraw(true);
    EXPECT_EQ(form.Point(10, 10), RGB(255, 255, 255)); // the circle is gone
    EXPECT_EQ(form.Point(1, 1), Silver);
}

TEST_F(FormTest, UnloadedFormLoadsAgainOnNextUse)
{
    RecordingForm form(Definition(10, 8));
    form.Load();
    form.Unload();
    EXPECT_FALSE(form.IsLoaded());
    form.Top();
    EXPECT_EQ(form.loads, 2);
}

TEST_F(FormTest, AWindowDestroyedFromOutsideUnloadsItsForm)
{
    RecordingForm form(Definition(10, 8));
    form.Load();
    peerkin::test::DestroyFromOutside(form.Handle());
    peerkin::test::PumpFor(50);
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_FALSE(forms::AnyFormLoaded()) << "the event loop, and the program, would end";
}

TEST_F(FormTest, NoPictureLeavesPictureEmpty)
{
    FormDefinition definition = Definition(10, 8);
    definition.picture = nullptr;
    RecordingForm form(definition);
    EXPECT_EQ(form.Picture(), nullptr);
    EXPECT_EQ(form.Point(0, 0), RGB(255, 255, 255));
}

} // namespace
