// Writes the figure picture and the Windows icon into one folder, and the
// desktop theme's icons (peerkin-<size>.png) into another:
//   generate_figure_art <art folder> <icon folder>
// or the figure picture drawn for a scaled screen (2 for 200%) into a file:
//   generate_figure_art --scale <factor> <picture.bmp>
// Everything is computed, nothing is random, so the same source always gives
// the same bytes; the committed files are checked against a fresh run.

#include "BmpFile.h"
#include "FaceGeometry.h"
#include "FigureShading.h"
#include "IconArt.h"
#include "PngFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

using figure_art::FigureRender;
using figure_art::Image;

bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) {
        std::cerr << "generate_figure_art: cannot encode " << path.string() << '\n';
        return false;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    for (const std::uint8_t byte : bytes) {
        file.put(static_cast<char>(byte));
    }
    file.close();
    if (!file) {
        std::cerr << "generate_figure_art: cannot write " << path.string() << '\n';
        return false;
    }
    return true;
}

bool createFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::cerr << "generate_figure_art: cannot create " << folder.string() << ": " << error.message() << '\n';
        return false;
    }
    return true;
}

bool writeDesktopIcons(const FigureRender& figure, const std::filesystem::path& folder) {
    for (const int size : figure_art::kDesktopIconSizes) {
        const auto name = "peerkin-" + std::to_string(size) + ".png";
        if (!writeFile(folder / name, figure_art::encodePng(figure_art::renderIconFace(figure, size)))) {
            return false;
        }
    }
    return true;
}

int countBackgroundPixels(const Image& picture) {
    int count = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            count += picture.at(x, y) == figure_art::kBackground ? 1 : 0;
        }
    }
    return count;
}

int medianFigureBrightness(const Image& picture) {
    std::vector<int> sums;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const figure_art::Rgb& pixel = picture.at(x, y);
            if (!(pixel == figure_art::kBackground)) {
                sums.push_back(pixel.red + pixel.green + pixel.blue);
            }
        }
    }
    if (sums.empty()) {
        return 0;
    }
    const auto middle = sums.begin() + static_cast<std::ptrdiff_t>(sums.size() / 2);
    std::nth_element(sums.begin(), middle, sums.end());
    return *middle;
}

void reportMeasurements(const FigureRender& figure) {
    std::cout << "background pixels: " << countBackgroundPixels(figure.picture) << '\n'
              << "median figure brightness (R+G+B): " << medianFigureBrightness(figure.picture) << '\n'
              << "transparent pixels in the 32x32 icon: "
              << figure_art::transparentPixelsIn16Colours(figure_art::renderIconFace(figure, 32)) << " of 1024\n";
}

int writeScaledPicture(const std::string& factor, const std::filesystem::path& file) {
    char* end = nullptr;
    const double scale = std::strtod(factor.c_str(), &end);
    if (end == factor.c_str() || *end != '\0' || !(scale >= 0.25 && scale <= 8.0)) {
        std::cerr << "generate_figure_art: the scale must be a number from 0.25 to 8, not " << factor << '\n';
        return 2;
    }
    return writeFile(file, figure_art::encodeBmp24(figure_art::renderFigureAt(scale).picture)) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--scale") {
        return writeScaledPicture(argv[2], argv[3]);
    }
    if (argc != 3) {
        std::cerr << "usage: generate_figure_art <art folder> <icon folder>\n"
                     "       generate_figure_art --scale <factor> <picture.bmp>\n";
        return 2;
    }
    const std::filesystem::path artFolder(argv[1]);
    const std::filesystem::path iconFolder(argv[2]);
    if (!createFolder(artFolder) || !createFolder(iconFolder)) {
        return 1;
    }
    const FigureRender figure = figure_art::renderFigure();
    const bool written = writeFile(artFolder / "figure.bmp", figure_art::encodeBmp24(figure.picture)) &&
                         writeFile(artFolder / "peerkin.ico", figure_art::buildPeerkinIcon(figure)) &&
                         writeDesktopIcons(figure, iconFolder);
    if (!written) {
        return 1;
    }
    reportMeasurements(figure);
    return 0;
}
