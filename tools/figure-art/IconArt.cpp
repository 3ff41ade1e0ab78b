#include "IconArt.h"

#include "ArtMath.h"
#include "ByteWriter.h"
#include "FaceGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace figure_art {
namespace {

constexpr int kSamplesPerSide = 8;
// Icons are seen tiny: a slightly broader face reads better than the true
// proportions, and keeps the 16-colour image's mask as drawn.
constexpr double kIconWidthStretch = 1.1625;
constexpr double kFaceBoxWidth = 2.0 * kFaceHalfWidth;
constexpr double kFaceBoxHeight = kFaceBottom - kFaceTop;

constexpr Rgba kEyeRed{255, 0, 0, 255};
// The window's eye disc and pupil, in picture pixels.
constexpr double kEyeDiscRadius = 17.8;
constexpr double kPupilRadius = 7.0;
// Up to this size the eyes are a few whole pixels each.
constexpr int kLargestPixelEyeIcon = 48;
constexpr Rgba kPupilBlack{0, 0, 0, 255};

// Maps icon coordinates (pixel i spans [i, i + 1)) onto the picture.
struct IconMapping {
    double iconSize;
    double pixelsPerIconX;
    double pixelsPerIconY;

    explicit IconMapping(int size)
        : iconSize(size),
          pixelsPerIconX(kFaceBoxWidth / (size * kFaceBoxWidth / kFaceBoxHeight * kIconWidthStretch)),
          pixelsPerIconY(kFaceBoxHeight / size) {}

    double pictureX(double iconX) const { return kFaceCentreX + (iconX - iconSize / 2.0) * pixelsPerIconX; }
    double pictureY(double iconY) const { return kFaceTop + iconY * pixelsPerIconY; }
    double iconX(double pictureX) const { return iconSize / 2.0 + (pictureX - kFaceCentreX) / pixelsPerIconX; }
    double iconY(double pictureY) const { return (pictureY - kFaceTop) / pixelsPerIconY; }
};

const Rgb& nearestSurfacePixel(const FigureRender& figure, double x, double y) {
    const int column = std::clamp(static_cast<int>(std::floor(x + 0.5)), 0, figure.surface.width() - 1);
    const int row = std::clamp(static_cast<int>(std::floor(y + 0.5)), 0, figure.surface.height() - 1);
    return figure.surface.at(column, row);
}

// Averages the face colour over the part of the icon pixel that the outline covers.
Rgba sampleIconPixel(const FigureRender& figure, const IconMapping& mapping, int column, int row) {
    std::array<double, 3> sums{};
    int covered = 0;
    for (int sy = 0; sy < kSamplesPerSide; ++sy) {
        for (int sx = 0; sx < kSamplesPerSide; ++sx) {
            const double x = mapping.pictureX(column + (sx + 0.5) / kSamplesPerSide);
            const double y = mapping.pictureY(row + (sy + 0.5) / kSamplesPerSide);
            if (!isInsideOutline(x, y)) {
                continue;
            }
            const Rgb& colour = nearestSurfacePixel(figure, x, y);
            sums[0] += colour.red;
            sums[1] += colour.green;
            sums[2] += colour.blue;
            ++covered;
        }
    }
    if (covered == 0) {
        return {};
    }
    const auto average = [covered](double sum) { return static_cast<std::uint8_t>(sum / covered + 0.5); };
    const double coverage = static_cast<double>(covered) / (kSamplesPerSide * kSamplesPerSide);
    return {average(sums[0]), average(sums[1]), average(sums[2]),
            static_cast<std::uint8_t>(coverage * 255.0 + 0.5)};
}

struct EyeStyle {
    int discRadiusSquared;
    int pupilRadiusSquared;
};

EyeStyle eyeStyleFor(int size) {
    if (size <= 16) {
        return {1, 0};
    }
    return size <= 32 ? EyeStyle{5, 0} : EyeStyle{10, 2};
}

void paintEye(RgbaImage& image, int centreColumn, int centreRow, const EyeStyle& style) {
    for (int dy = -4; dy <= 4; ++dy) {
        for (int dx = -4; dx <= 4; ++dx) {
            const int distanceSquared = dx * dx + dy * dy;
            if (distanceSquared <= style.discRadiusSquared && image.contains(centreColumn + dx, centreRow + dy)) {
                image.at(centreColumn + dx, centreRow + dy) =
                    distanceSquared <= style.pupilRadiusSquared ? kPupilBlack : kEyeRed;
            }
        }
    }
}

// Eyes sit on whole pixels and mirror each other exactly, so the pupils
// look straight ahead even in the smallest image.
void paintPixelEyes(RgbaImage& image, const IconMapping& mapping) {
    const EyeStyle style = eyeStyleFor(image.width());
    const int row = static_cast<int>(std::floor(mapping.iconY(kLeftSocket.centreY)));
    const int leftColumn = static_cast<int>(std::floor(mapping.iconX(kLeftSocket.centreX)));
    paintEye(image, leftColumn, row, style);
    paintEye(image, image.width() - 1 - leftColumn, row, style);
}

// How much of an icon pixel a circle covers, counted over the same grid of
// samples as the face.
double circleCoverage(int column, int row, double centreX, double centreY, double radius) {
    int inside = 0;
    for (int sy = 0; sy < kSamplesPerSide; ++sy) {
        for (int sx = 0; sx < kSamplesPerSide; ++sx) {
            const double dx = column + (sx + 0.5) / kSamplesPerSide - centreX;
            const double dy = row + (sy + 0.5) / kSamplesPerSide - centreY;
            inside += dx * dx + dy * dy <= radius * radius ? 1 : 0;
        }
    }
    return static_cast<double>(inside) / (kSamplesPerSide * kSamplesPerSide);
}

// The pupil's black is nothing but the absence of the other colours, so only
// the red disc's share adds colour to what lies under the eye.
Rgba blendEye(const Rgba& under, double discShare, double pupilShare) {
    const double underShare = 1.0 - discShare;
    const double redShare = discShare - pupilShare;
    const auto mix = [underShare](std::uint8_t base, double added) {
        return static_cast<std::uint8_t>(base * underShare + added + 0.5);
    };
    return {mix(under.red, 255.0 * redShare), mix(under.green, 0.0), mix(under.blue, 0.0), under.alpha};
}

void paintSmoothEye(RgbaImage& image, double centreX, double centreY, double scale) {
    const double discRadius = kEyeDiscRadius / scale;
    const double pupilRadius = kPupilRadius / scale;
    const int firstRow = static_cast<int>(std::floor(centreY - discRadius));
    const int firstColumn = static_cast<int>(std::floor(centreX - discRadius));
    for (int row = firstRow; row <= static_cast<int>(std::ceil(centreY + discRadius)); ++row) {
        for (int column = firstColumn; column <= static_cast<int>(std::ceil(centreX + discRadius)); ++column) {
            const double discShare = circleCoverage(column, row, centreX, centreY, discRadius);
            if (discShare > 0.0 && image.contains(column, row)) {
                const double pupilShare = circleCoverage(column, row, centreX, centreY, pupilRadius);
                image.at(column, row) = blendEye(image.at(column, row), discShare, pupilShare);
            }
        }
    }
}

// Large icons have room for the eyes as the window draws them, pupils
// centred, with edges as smooth as the face's; they mirror each other as the
// small icons' eyes do.
void paintSmoothEyes(RgbaImage& image, const IconMapping& mapping) {
    const double row = mapping.iconY(kLeftSocket.centreY);
    const double leftColumn = mapping.iconX(kLeftSocket.centreX);
    paintSmoothEye(image, leftColumn, row, mapping.pixelsPerIconY);
    paintSmoothEye(image, image.width() - leftColumn, row, mapping.pixelsPerIconY);
}

void paintEyes(RgbaImage& image, const IconMapping& mapping) {
    if (image.width() > kLargestPixelEyeIcon) {
        paintSmoothEyes(image, mapping);
    } else {
        paintPixelEyes(image, mapping);
    }
}

double luminance(const Rgba& pixel) { return 0.3 * pixel.red + 0.59 * pixel.green + 0.11 * pixel.blue; }

// Metal in 16 colours: the four greys, chosen by brightness.
std::uint8_t greyIndexFor(const Rgba& pixel) {
    constexpr std::array<std::uint8_t, 4> kGreys{0, 8, 7, 15};  // black, grey, silver, white
    constexpr std::array<double, 3> kThresholds{45.0, 158.0, 228.0};
    const double value = luminance(pixel);
    std::size_t level = 0;
    while (level < kThresholds.size() && value >= kThresholds[level]) {
        ++level;
    }
    return kGreys[level];
}

std::uint8_t paletteIndexFor(const Rgba& pixel) {
    if (pixel == kEyeRed) {
        return kIconRedIndex;
    }
    return greyIndexFor(pixel);
}

bool isOpaqueIn16Colours(const Rgba& pixel) { return pixel.alpha >= 128; }

void writeDibHeader(ByteWriter& out, int size, int bitsPerPixel, std::uint32_t imageBytes, std::uint32_t colours) {
    out.u32(40);
    out.i32(size);
    out.i32(2 * size);  // colour bits and AND mask stacked
    out.u16(1);
    out.u16(static_cast<std::uint16_t>(bitsPerPixel));
    out.u32(0);  // BI_RGB
    out.u32(imageBytes);
    out.i32(0);
    out.i32(0);
    out.u32(colours);
    out.u32(0);
}

template <typename IsTransparent>
void writeAndMask(ByteWriter& out, const RgbaImage& image, IsTransparent isTransparent) {
    const std::uint32_t rowBytes = paddedRowBytes(image.width(), 1);
    for (int y = image.height() - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (int x = 0; x < image.width(); ++x) {
            if (isTransparent(image.at(x, y))) {
                const auto column = static_cast<std::size_t>(x);
                row[column / 8u] = static_cast<std::uint8_t>(row[column / 8u] | (0x80u >> (column % 8u)));
            }
        }
        out.append(row);
    }
}

std::uint32_t maskBytes(int size) { return paddedRowBytes(size, 1) * static_cast<std::uint32_t>(size); }

std::uint8_t packedPair(std::uint8_t left, std::uint8_t right) {
    return static_cast<std::uint8_t>((left << 4) | right);
}

bool isOpaqueAt(const RgbaImage& image, int x, int y) {
    return image.contains(x, y) && isOpaqueIn16Colours(image.at(x, y));
}

// Without soft edges, a black line around the face keeps it from looking
// ragged against any desktop.
bool isOnOutline(const RgbaImage& image, int x, int y) {
    return !isOpaqueAt(image, x - 1, y) || !isOpaqueAt(image, x + 1, y) || !isOpaqueAt(image, x, y - 1) ||
           !isOpaqueAt(image, x, y + 1);
}

std::uint8_t indexAt(const RgbaImage& image, int x, int y) {
    if (!isOpaqueAt(image, x, y) || isOnOutline(image, x, y)) {
        return 0;
    }
    return paletteIndexFor(image.at(x, y));
}

}  // namespace

RgbaImage renderIconFace(const FigureRender& figure, int size) {
    const IconMapping mapping(size);
    RgbaImage image(size, size, Rgba{});
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            image.at(column, row) = sampleIconPixel(figure, mapping, column, row);
        }
    }
    paintEyes(image, mapping);
    return image;
}

std::vector<std::uint8_t> encodeDib32(const RgbaImage& image) {
    const int size = image.width();
    const std::uint32_t colourBytes = 4u * static_cast<std::uint32_t>(size * size);
    ByteWriter out;
    writeDibHeader(out, size, 32, colourBytes + maskBytes(size), 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const Rgba& pixel = image.at(x, y);
            out.u8(pixel.blue);
            out.u8(pixel.green);
            out.u8(pixel.red);
            out.u8(pixel.alpha);
        }
    }
    writeAndMask(out, image, [](const Rgba& pixel) { return pixel.alpha == 0; });
    return out.bytes();
}

std::vector<std::uint8_t> encodeDib4(const RgbaImage& image) {
    const int size = image.width();
    const std::uint32_t rowBytes = paddedRowBytes(size, 4);
    ByteWriter out;
    writeDibHeader(out, size, 4, rowBytes * static_cast<std::uint32_t>(size) + maskBytes(size), kIconPaletteSize);
    for (const Rgb& colour : kIconPalette) {
        out.u8(colour.blue);
        out.u8(colour.green);
        out.u8(colour.red);
        out.u8(0);
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (int x = 0; x < size; x += 2) {
            row[static_cast<std::size_t>(x / 2)] = packedPair(indexAt(image, x, y), indexAt(image, x + 1, y));
        }
        out.append(row);
    }
    writeAndMask(out, image, [](const Rgba& pixel) { return !isOpaqueIn16Colours(pixel); });
    return out.bytes();
}

int transparentPixelsIn16Colours(const RgbaImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += isOpaqueIn16Colours(image.at(x, y)) ? 0 : 1;
        }
    }
    return count;
}

std::vector<std::uint8_t> encodeIco(const std::vector<IconImage>& images) {
    constexpr std::uint32_t kDirectoryBytes = 6;
    constexpr std::uint32_t kEntryBytes = 16;
    ByteWriter out;
    out.u16(0);  // reserved
    out.u16(1);  // icon, not cursor
    out.u16(static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = kDirectoryBytes + kEntryBytes * static_cast<std::uint32_t>(images.size());
    for (const IconImage& image : images) {
        out.u8(static_cast<std::uint8_t>(image.size));
        out.u8(static_cast<std::uint8_t>(image.size));
        out.u8(image.bitsPerPixel == 4 ? std::uint8_t{16} : std::uint8_t{0});
        out.u8(0);
        out.u16(1);
        out.u16(static_cast<std::uint16_t>(image.bitsPerPixel));
        out.u32(static_cast<std::uint32_t>(image.dib.size()));
        out.u32(offset);
        offset += static_cast<std::uint32_t>(image.dib.size());
    }
    for (const IconImage& image : images) {
        out.append(image.dib);
    }
    return out.bytes();
}

std::vector<std::uint8_t> buildPeerkinIcon(const FigureRender& figure) {
    return encodeIco({
        {16, 32, encodeDib32(renderIconFace(figure, 16))},
        {32, 4, encodeDib4(renderIconFace(figure, 32))},
        {48, 32, encodeDib32(renderIconFace(figure, 48))},
    });
}

}  // namespace figure_art
