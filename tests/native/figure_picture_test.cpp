// The window program shapes itself from figure/res/figure.bmp and draws the
// eyes into its sockets, so the picture's exact colours and geometry are a
// contract; the icon must be a valid three-image icon file.

#include "art_file_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using art_files::Bytes;
using art_files::Pixels;
using art_files::Rgba;

constexpr int kWidth = 194;
constexpr int kHeight = 280;
constexpr std::uint32_t kBackgroundColorRef = 0x002B0100;  // R=0, G=1, B=43 as 0x00BBGGRR

const Bytes& figureFile() {
    static const Bytes bytes = art_files::readFile(PEERKIN_SOURCE_DIR "/figure/res/figure.bmp");
    return bytes;
}

const Pixels& figure() {
    static const Pixels pixels = art_files::decodeBmp24(figureFile());
    return pixels;
}

bool isBackgroundColour(const Rgba& pixel) { return pixel.colorRef() == kBackgroundColorRef; }

// The background the window cuts away; everything else is the figure.
const std::vector<bool>& outerArea() {
    static const std::vector<bool> reached = art_files::outerArea(figure(), kBackgroundColorRef);
    return reached;
}

// Beyond the picture's edge counts as outer too.
bool isOuter(int x, int y) {
    if (x < 0 || y < 0 || x >= figure().width || y >= figure().height) {
        return true;
    }
    return outerArea().at(static_cast<std::size_t>(y * figure().width + x));
}

template <typename Visit>
void forEachPixel(Visit visit) {
    for (int y = 0; y < figure().height; ++y) {
        for (int x = 0; x < figure().width; ++x) {
            visit(x, y, figure().at(x, y));
        }
    }
}

std::uint32_t medianFigureBrightness() {
    std::vector<std::uint32_t> sums;
    forEachPixel([&](int x, int y, const Rgba& pixel) {
        if (!isOuter(x, y)) {
            sums.push_back(pixel.brightness());
        }
    });
    std::sort(sums.begin(), sums.end());
    return sums.empty() ? 0 : sums[sums.size() / 2];
}

TEST(FigurePicture, IsA194By280TrueColourBitmapStoredBottomUp) {
    const Bytes& file = figureFile();
    const art_files::DibHeader header = art_files::readDibHeader(file, art_files::kBmpFileHeaderBytes);
    EXPECT_EQ(art_files::u16At(file, 0), 0x4D42u);  // "BM"
    EXPECT_EQ(art_files::u32At(file, 2), file.size());
    EXPECT_EQ(art_files::u32At(file, 10), 54u);
    EXPECT_EQ(header.headerSize, 40u);
    EXPECT_EQ(header.width, kWidth);
    EXPECT_EQ(header.height, kHeight);  // positive height: bottom-up rows
    EXPECT_EQ(header.planes, 1u);
    EXPECT_EQ(header.bitsPerPixel, 24u);
    EXPECT_EQ(header.compression, 0u);  // BI_RGB
    EXPECT_EQ(file.size(), 54u + art_files::rowStride(kWidth, 24) * kHeight);
}

// Everything beyond these bounds is background the window cuts away, the
// corners and the reference pixel (192, 278) among them.
TEST(FigurePicture, FigureFillsColumns2To190AndRows1To277) {
    int left = kWidth, right = -1, top = kHeight, bottom = -1, figurePixels = 0;
    forEachPixel([&](int x, int y, const Rgba&) {
        if (!isOuter(x, y)) {
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            ++figurePixels;
        }
    });
    EXPECT_GE(left, 2);
    EXPECT_LE(left, 4);
    EXPECT_LE(right, 190);
    EXPECT_GE(right, 188);
    EXPECT_GE(top, 1);
    EXPECT_LE(top, 3);
    EXPECT_LE(bottom, 277);
    EXPECT_GE(bottom, 275);
    EXPECT_GT(figurePixels, kWidth * kHeight * 6 / 10);
}

TEST(FigurePicture, FaceIsLightMetal) {
    const std::uint32_t median = medianFigureBrightness();
    RecordProperty("median_brightness", static_cast<int>(median));
    EXPECT_GE(median, 300u);
    EXPECT_LE(median, 380u);
}

// The outline is smoothed: the figure's edge pixels take many dark shades
// leaning to the background, none of them the background itself.
TEST(FigurePicture, OutlineIsSmoothedTowardsTheBackground) {
    std::set<std::uint32_t> edgeColours;
    int edgePixels = 0;
    int darkEdgePixels = 0;
    forEachPixel([&](int x, int y, const Rgba& pixel) {
        const bool touchesOuter = isOuter(x - 1, y) || isOuter(x + 1, y) || isOuter(x, y - 1) || isOuter(x, y + 1);
        if (!isOuter(x, y) && touchesOuter) {
            ++edgePixels;
            darkEdgePixels += pixel.brightness() < 150 ? 1 : 0;
            edgeColours.insert(pixel.colorRef());
        }
    });
    ASSERT_GT(edgePixels, 0);
    EXPECT_GT(darkEdgePixels * 10, edgePixels * 9);
    EXPECT_GT(edgeColours.size(), 20u);
}

struct Socket {
    const char* name;
    int centreX;
    int centreY;
    int rimRadius;  // where the lit rim begins
};

void PrintTo(const Socket& socket, std::ostream* out) {
    *out << socket.name << " socket at (" << socket.centreX << ", " << socket.centreY << ")";
}

class EyeSocket : public testing::TestWithParam<Socket> {
protected:
    template <typename Visit>
    void forEachWithin(double radius, Visit visit) const {
        const Socket& socket = GetParam();
        for (int y = socket.centreY - 40; y <= socket.centreY + 40; ++y) {
            for (int x = socket.centreX - 40; x <= socket.centreX + 40; ++x) {
                const double distance = std::hypot(x - socket.centreX, y - socket.centreY);
                if (distance <= radius) {
                    visit(x, y, distance);
                }
            }
        }
    }

    double meanRingBrightness(int radius) const {
        double sum = 0.0;
        int count = 0;
        forEachWithin(radius + 1.0, [&](int x, int y, double distance) {
            if (distance >= radius && distance < radius + 1.0) {
                sum += figure().at(x, y).brightness();
                ++count;
            }
        });
        return count == 0 ? 0.0 : sum / count;
    }
};

TEST_P(EyeSocket, LiesWellInsideTheFigure) {
    forEachWithin(30.0, [&](int x, int y, double) { EXPECT_FALSE(isOuter(x, y)) << "at (" << x << ", " << y << ")"; });
}

// The program sizes the drawn eyes to the sockets, so the rim must start
// where it expects: the first ring brighter than the typical face.
TEST_P(EyeSocket, LitRimBeginsAtItsRadius) {
    const double faceBrightness = medianFigureBrightness();
    int rimStart = 0;
    for (int radius = 10; radius <= 35 && rimStart == 0; ++radius) {
        rimStart = meanRingBrightness(radius) > faceBrightness ? radius : 0;
    }
    EXPECT_NEAR(rimStart, GetParam().rimRadius, 1);
}

INSTANTIATE_TEST_SUITE_P(FigurePicture, EyeSocket,
                         testing::Values(Socket{"left", 52, 118, 20}, Socket{"right", 138, 118, 23}),
                         [](const testing::TestParamInfo<Socket>& param) { return std::string(param.param.name); });

// The pictures for 200% and 300% screens, which the build makes and the X11
// program carries, keep the 100% picture's contract at their own size: a
// scaled window cuts its shape by exact colour and draws the eyes at the
// scaled socket centres.
std::string pictureFile(int scale) {
#ifdef PEERKIN_SCALED_ART_DIR
    if (scale > 1) {
        return std::string(PEERKIN_SCALED_ART_DIR) + "/figure@" + std::to_string(scale) + "x.bmp";
    }
#endif
    return PEERKIN_SOURCE_DIR "/figure/res/figure.bmp";
}

class ScaledFigure : public testing::TestWithParam<int> {};

TEST_P(ScaledFigure, KeepsThePicturesContractAtItsSize) {
    const int scale = GetParam();
    const Pixels picture = art_files::decodeBmp24(art_files::readFile(pictureFile(scale)));
    ASSERT_EQ(picture.width, kWidth * scale);
    ASSERT_EQ(picture.height, kHeight * scale);
    EXPECT_TRUE(isBackgroundColour(picture.at(0, 0)));
    EXPECT_TRUE(isBackgroundColour(picture.at(picture.width - 1, picture.height - 1)));
    const std::vector<bool> outer = art_files::outerArea(picture, kBackgroundColorRef);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgba& pixel = picture.at(x, y);
            // Background colour the edge cannot reach through background would be a hole in the window.
            EXPECT_TRUE(outer[static_cast<std::size_t>(y * picture.width + x)] || !isBackgroundColour(pixel))
                << "enclosed background pixel at (" << x << ", " << y << ")";
            // The sockets are dark wherever the eyes may reach: within 18 of
            // the 100% picture's pixels of each centre.
            for (const double centreX : {52.0, 138.0}) {
                if (std::hypot(x - scale * (centreX + 0.5) + 0.5, y - scale * 118.5 + 0.5) <= 18.0 * scale) {
                    ASSERT_LE(pixel.brightness(), 166u) << "socket at (" << x << ", " << y << ")";
                }
            }
        }
    }
}

#ifdef PEERKIN_SCALED_ART_DIR
INSTANTIATE_TEST_SUITE_P(Screens, ScaledFigure, testing::Values(1, 2, 3));
#else
INSTANTIATE_TEST_SUITE_P(Screens, ScaledFigure, testing::Values(1));
#endif

const Bytes& iconFile() {
    static const Bytes bytes = art_files::readFile(PEERKIN_SOURCE_DIR "/figure/res/peerkin.ico");
    return bytes;
}

struct IconLayout {
    std::uint32_t size;
    std::uint32_t bitsPerPixel;
    std::uint32_t paletteColours;
};

void PrintTo(const IconLayout& layout, std::ostream* out) {
    *out << layout.size << "x" << layout.size << " at " << layout.bitsPerPixel << " bits";
}

constexpr IconLayout kIconLayouts[] = {{16, 32, 0}, {32, 4, 16}, {48, 32, 0}};

TEST(FigureIcon, DirectoryListsThe16_32And48PixelImagesBackToBack) {
    const Bytes& file = iconFile();
    EXPECT_EQ(art_files::u16At(file, 0), 0u);
    EXPECT_EQ(art_files::u16At(file, 2), 1u);  // icon, not cursor
    const std::vector<art_files::IconEntry> entries = art_files::readIconEntries(file);
    ASSERT_EQ(entries.size(), std::size(kIconLayouts));
    std::size_t expectedOffset = art_files::kIconDirectoryBytes + entries.size() * art_files::kIconEntryBytes;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const IconLayout& layout = kIconLayouts[i];
        SCOPED_TRACE(testing::Message() << layout.size << "x" << layout.size);
        EXPECT_EQ(entries[i].width, layout.size);
        EXPECT_EQ(entries[i].height, layout.size);
        EXPECT_EQ(entries[i].colourCount, layout.paletteColours);
        EXPECT_EQ(entries[i].planes, 1u);
        EXPECT_EQ(entries[i].bitsPerPixel, layout.bitsPerPixel);
        EXPECT_EQ(entries[i].offset, expectedOffset);
        const std::size_t colourBytes = art_files::rowStride(layout.size, layout.bitsPerPixel) * layout.size;
        const std::size_t maskBytes = art_files::rowStride(layout.size, 1) * layout.size;
        EXPECT_EQ(entries[i].byteCount, 40u + 4u * layout.paletteColours + colourBytes + maskBytes);
        expectedOffset += entries[i].byteCount;
    }
    EXPECT_EQ(expectedOffset, file.size());
}

TEST(FigureIcon, ImagesAreUncompressedDibsWithStackedMasks) {
    for (const art_files::IconEntry& entry : art_files::readIconEntries(iconFile())) {
        SCOPED_TRACE(testing::Message() << entry.width << "x" << entry.height);
        const art_files::DibHeader header = art_files::readDibHeader(iconFile(), entry.offset);
        EXPECT_EQ(header.headerSize, 40u);
        EXPECT_EQ(header.width, entry.width);
        EXPECT_EQ(header.height, 2 * entry.height);
        EXPECT_EQ(header.planes, 1u);
        EXPECT_EQ(header.bitsPerPixel, entry.bitsPerPixel);
        EXPECT_EQ(header.compression, 0u);
    }
}

art_files::IconEntry iconEntryOfSize(std::uint32_t size) {
    for (const art_files::IconEntry& entry : art_files::readIconEntries(iconFile())) {
        if (entry.width == size) {
            return entry;
        }
    }
    throw std::runtime_error("no icon image of size " + std::to_string(size));
}

TEST(FigureIcon, SixteenColourImageUsesTheStandardPaletteAndItsMaskShape) {
    const std::vector<std::uint32_t> standard = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                                 0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                                 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};  // as 0x00BBGGRR
    const art_files::IconEntry entry = iconEntryOfSize(32);
    const std::vector<Rgba> palette = art_files::readPalette(iconFile(), entry, 16);
    for (std::size_t i = 0; i < standard.size(); ++i) {
        EXPECT_EQ(palette.at(i).colorRef(), standard[i]) << "palette entry " << i;
    }
    const Pixels pixels = art_files::decodeIconImage(iconFile(), entry);
    const auto transparent = std::count_if(pixels.cells.begin(), pixels.cells.end(), [](const Rgba& p) { return p.masked; });
    RecordProperty("transparent_32x32", static_cast<int>(transparent));
    EXPECT_EQ(transparent, 428);
}

class FigureIconImage : public testing::TestWithParam<IconLayout> {
protected:
    Pixels pixels() const { return art_files::decodeIconImage(iconFile(), iconEntryOfSize(GetParam().size)); }
};

bool isShown(const Rgba& pixel) { return !pixel.masked && pixel.alpha == 255; }

TEST_P(FigureIconImage, FaceStandsOnATransparentBackground) {
    const Pixels image = pixels();
    const int last = image.width - 1;
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{last, 0}, std::pair{0, last}, std::pair{last, last}}) {
        EXPECT_TRUE(image.at(x, y).masked) << "corner (" << x << ", " << y << ")";
    }
    const auto shown = std::count_if(image.cells.begin(), image.cells.end(), isShown);
    EXPECT_GT(shown * 3, static_cast<std::ptrdiff_t>(image.cells.size()));
    for (const Rgba& pixel : image.cells) {
        if (GetParam().bitsPerPixel == 32) {
            EXPECT_EQ(pixel.masked, pixel.alpha == 0);
        }
        // Masked pixels must be black in the colour bits, or they would tint the desktop.
        if (pixel.masked) {
            EXPECT_EQ(pixel.colorRef(), 0u);
        }
    }
}

struct EyeCentre {
    double x = 0.0;
    double y = 0.0;
    int count = 0;
};

// Mean position of the pure red pixels on one side of the face.
EyeCentre redCentre(const Pixels& image, bool leftSide) {
    EyeCentre centre;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgba& pixel = image.at(x, y);
            if (isShown(pixel) && pixel.colorRef() == 0x0000FFu && (x < image.width / 2) == leftSide) {
                centre.x += x;
                centre.y += y;
                ++centre.count;
            }
        }
    }
    if (centre.count > 0) {
        centre.x /= centre.count;
        centre.y /= centre.count;
    }
    return centre;
}

TEST_P(FigureIconImage, RedEyesWithCentredBlackPupilsSitLevelInTheUpperFace) {
    const Pixels image = pixels();
    const EyeCentre left = redCentre(image, true);
    const EyeCentre right = redCentre(image, false);
    ASSERT_GE(left.count, 4);
    ASSERT_EQ(left.count, right.count);
    EXPECT_DOUBLE_EQ(left.y, right.y);
    EXPECT_DOUBLE_EQ(left.x + right.x, image.width - 1.0);  // mirrored about the middle
    EXPECT_GT(left.y, image.height * 0.25);
    EXPECT_LT(left.y, image.height * 0.6);
    for (const EyeCentre& eye : {left, right}) {
        const Rgba& pupil = image.at(static_cast<int>(std::lround(eye.x)), static_cast<int>(std::lround(eye.y)));
        EXPECT_TRUE(isShown(pupil));
        EXPECT_EQ(pupil.colorRef(), 0u) << "pupil at (" << eye.x << ", " << eye.y << ")";
    }
}

INSTANTIATE_TEST_SUITE_P(FigureIcon, FigureIconImage, testing::ValuesIn(kIconLayouts),
                         [](const testing::TestParamInfo<IconLayout>& param) {
                             return "Size" + std::to_string(param.param.size);
                         });

}  // namespace
