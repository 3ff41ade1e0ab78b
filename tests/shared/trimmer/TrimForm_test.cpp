// Cutting real windows to small pictures drawn here, and reading back the
// shape the platform was given.
#include "Application.h"
#include "Form.h"
#include "TestWindows.h"
#include "cTrimmer.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using peerkin::test::WindowRegionRects;

constexpr COLORREF Backdrop = 0x002B0100;     // the top-left colour of most pictures here
constexpr COLORREF NearBackdrop = 0x002B0101; // one step of red away: still the figure
constexpr COLORREF Face = 0x00C0C0C0;
constexpr COLORREF Shadow = 0x00606060;
constexpr COLORREF Marker = 0x000000FF;
constexpr COLORREF White = 0x00FFFFFF; // every test form's back colour

// Pictures are drawn as text, one character a pixel.
COLORREF ColourOf(char pixel)
{
    switch (pixel) {
    case '.': return Backdrop;
    case '~': return NearBackdrop;
    case '#': return Face;
    case 'o': return Shadow;
    case 'x': return Marker;
    case 'w': return White;
    default: ADD_FAILURE() << "no colour for '" << pixel << "'"; return 0;
    }
}

using Art = std::vector<std::string>;

int ArtWidth(const Art& art) { return art.empty() ? 0 : static_cast<int>(art.front().size()); }
int ArtHeight(const Art& art) { return static_cast<int>(art.size()); }

HBITMAP PictureOf(const Art& art)
{
    std::vector<COLORREF> pixels;
    for (const std::string& row : art)
        for (char pixel : row)
            pixels.push_back(ColourOf(pixel));
    return peerkin::test::MakePicture(ArtWidth(art), ArtHeight(art), pixels);
}

float PixelsToTwips(int pixels) { return static_cast<float>(pixels) * forms::Screen::TwipsPerPixelX(); }

// A frameless test window whose drawing area is areaWidth x areaHeight
// pixels, showing art from its top-left corner (no picture when art is empty).
class PictureForm : public forms::Form {
public:
    PictureForm(const Art& art, int areaWidth, int areaHeight)
        : forms::Form(Definition(art, areaWidth, areaHeight))
    {
    }
    explicit PictureForm(const Art& art)
        : PictureForm(art, ArtWidth(art), ArtHeight(art))
    {
    }

private:
    static forms::FormDefinition Definition(const Art& art, int areaWidth, int areaHeight)
    {
        forms::FormDefinition definition;
        definition.width = PixelsToTwips(areaWidth);
        definition.height = PixelsToTwips(areaHeight);
        definition.backColor = White;
        if (!art.empty())
            definition.picture = [art] { return PictureOf(art); };
        return definition;
    }
};

// A span of one row: pixels left to right - 1 of row y.
struct Span {
    int y;
    int left;
    int right;
};

bool Covers(const std::vector<RECT>& rects, int x, int y)
{
    for (const RECT& rect : rects)
        if (x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom)
            return true;
    return false;
}

bool Covers(const std::vector<Span>& spans, int x, int y)
{
    for (const Span& span : spans)
        if (y == span.y && x >= span.left && x < span.right)
            return true;
    return false;
}

// The shape over the drawing area and a one-pixel frame around it, as text:
// '#' inside, '.' outside. Equal texts mean equal pixel coverage, however
// the platform groups its rectangles.
template <typename Shape>
std::string CoverageText(const Shape& shape, int width, int height)
{
    std::string text;
    for (int y = -1; y <= height; ++y) {
        text += '\n';
        for (int x = -1; x <= width; ++x)
            text += Covers(shape, x, y) ? '#' : '.';
    }
    return text;
}

std::string ShapeOf(forms::Form& form, int width, int height)
{
    std::optional<std::vector<RECT>> rects = WindowRegionRects(form.Handle());
    if (!rects)
        return "the window has no region";
    return CoverageText(*rects, width, height);
}

struct ShapeCase {
    const char* name;
    Art art;
    int areaWidth; // 0 with areaHeight 0: the picture's own size
    int areaHeight;
    std::vector<Span> expected;
};

std::ostream& operator<<(std::ostream& out, const ShapeCase& shape) { return out << shape.name; }

class TrimmedShape : public testing::TestWithParam<ShapeCase> {};

TEST_P(TrimmedShape, KeepsExactlyThePixelsThatDifferFromTheTopLeftOne)
{
    const ShapeCase& shape = GetParam();
    bool ownSize = shape.areaWidth == 0 && shape.areaHeight == 0;
    int width = ownSize ? ArtWidth(shape.art) : shape.areaWidth;
    int height = ownSize ? ArtHeight(shape.art) : shape.areaHeight;
    PictureForm form(shape.art, width, height);

    cTrimmer trimmer;
    trimmer.TrimForm(form);

    EXPECT_EQ(ShapeOf(form, width, height), CoverageText(shape.expected, width, height));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Pictures, TrimmedShape, testing::Values(
    ShapeCase { "OneColourThroughout", { "....", "....", "...." }, 0, 0, {} },
    ShapeCase { "SinglePixelBetweenBackground", { ".....", "..#..", "....." }, 0, 0, { { 1, 2, 3 } } },
    ShapeCase { "RunReachingTheLastColumn", { "....", "..##", "...." }, 0, 0, { { 1, 2, 4 } } },
    ShapeCase { "WholeRowIsOneRun", { "....", "####", "...." }, 0, 0, { { 1, 0, 4 } } },
    ShapeCase { "BackgroundOnlyRowAddsNothing", { ".#.", "...", "##." }, 0, 0, { { 0, 1, 2 }, { 2, 0, 2 } } },
    ShapeCase { "ColourChangesInsideTheFigureKeepOneRun", { ".#o#o.", "......" }, 0, 0, { { 0, 1, 5 } } },
    ShapeCase { "NearBackgroundColourIsFigure", { "..~..", "....." }, 0, 0, { { 0, 2, 3 } } },
    ShapeCase { "TwoRunsOnOneRow", { ".##..#" }, 0, 0, { { 0, 1, 3 }, { 0, 5, 6 } } },
    ShapeCase { "TopLeftColourDecidesTheBackground", { "x##", "#x#", "xx." }, 0, 0,
        { { 0, 1, 3 }, { 1, 0, 1 }, { 1, 2, 3 }, { 2, 2, 3 } } },
    ShapeCase { "AreaLargerThanPictureKeepsTheWhiteStrip", { "..", ".#" }, 4, 3,
        { { 0, 2, 4 }, { 1, 1, 4 }, { 2, 0, 4 } } },
    ShapeCase { "WhiteBackgroundSwallowsTheStrip", { "ww", "w#" }, 4, 3, { { 1, 1, 2 } } },
    ShapeCase { "AreaSmallerThanPictureCutsAtItsEdge", { "..##", ".###", "####" }, 3, 2,
        { { 0, 2, 3 }, { 1, 1, 3 } } },
    ShapeCase { "ZeroWidth", { ".#", "##" }, 0, 2, {} },
    ShapeCase { "ZeroHeight", { ".#", "##" }, 2, 0, {} }),
    [](const testing::TestParamInfo<ShapeCase>& param) { return std::string(param.param.name); });
// clang-format on

// The background colour inside the figure is a hole in its shape, from every drawing state.
const Art Ring = { ".....", ".###.", ".#.#.", ".###.", "....." };
const std::vector<Span> RingSpans = { { 1, 1, 4 }, { 2, 1, 2 }, { 2, 3, 4 }, { 3, 1, 4 } };

struct DrawingState {
    std::int16_t scale;
    bool autoRedraw;
};

std::ostream& operator<<(std::ostream& out, const DrawingState& state)
{
    return out << "scale " << state.scale << (state.autoRedraw ? ", persistent" : ", direct");
}

class TrimFromAnyDrawingState : public testing::TestWithParam<DrawingState> {};

TEST_P(TrimFromAnyDrawingState, ScansInPixelsFromTheImageAndPutsTheStateBack)
{
    PictureForm form(Ring);
    form.SetScaleMode(GetParam().scale);
    form.SetAutoRedraw(GetParam().autoRedraw);

    cTrimmer trimmer;
    trimmer.TrimForm(form);

    EXPECT_EQ(ShapeOf(form, 5, 5), CoverageText(RingSpans, 5, 5));
    EXPECT_EQ(form.ScaleMode(), GetParam().scale);
    EXPECT_EQ(form.AutoRedraw(), GetParam().autoRedraw);
}

TEST_P(TrimFromAnyDrawingState, WithoutPictureChangesNothing)
{
    PictureForm form(Art {}, 6, 4);
    form.SetScaleMode(GetParam().scale);
    form.SetAutoRedraw(GetParam().autoRedraw);

    cTrimmer trimmer;
    trimmer.TrimForm(form);

    EXPECT_FALSE(WindowRegionRects(form.Handle()).has_value()) << "the window was given a shape";
    EXPECT_EQ(form.ScaleMode(), GetParam().scale);
    EXPECT_EQ(form.AutoRedraw(), GetParam().autoRedraw);
}

INSTANTIATE_TEST_SUITE_P(States, TrimFromAnyDrawingState,
    testing::Values(DrawingState { forms::ScaleMode::Twips, false }, DrawingState { forms::ScaleMode::Twips, true },
        DrawingState { forms::ScaleMode::Pixels, false }, DrawingState { forms::ScaleMode::Pixels, true }));

TEST(TrimForm, PictureThatFailsToLoadCountsAsNoPicture)
{
    forms::FormDefinition definition;
    definition.width = PixelsToTwips(4);
    definition.height = PixelsToTwips(4);
    definition.picture = [] { return HBITMAP {}; };
    forms::Form form(definition);

    cTrimmer trimmer;
    trimmer.TrimForm(form);

    EXPECT_FALSE(WindowRegionRects(form.Handle()).has_value());
}

TEST(TrimForm, SecondCallStartsFromAnEmptyShape)
{
    PictureForm form(Ring);
    cTrimmer trimmer;
    trimmer.TrimForm(form);
    // Painting the whole area in the background colour leaves nothing to keep.
    form.SetFillColor(Backdrop);
    form.Circle(2, 2, 10, Backdrop);

    trimmer.TrimForm(form);

    EXPECT_EQ(ShapeOf(form, 5, 5), CoverageText(std::vector<Span> {}, 5, 5));
}

} // namespace
