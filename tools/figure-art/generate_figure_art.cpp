// Writes the figure picture and the application icon into a folder:
//   generate_figure_art <folder>
// Everything is computed, nothing is random, so the same source always gives
// the same bytes; the committed files are checked against a fresh run.

#include "BmpFile.h"
#include "FaceGeometry.h"
#include "FigureShading.h"
#include "IconArt.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

namespace {

using figure_art::FigureRender;
using figure_art::Image;

bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: generate_figure_art <output folder>\n";
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::cerr << "generate_figure_art: cannot create " << folder.string() << ": " << error.message() << '\n';
        return 1;
    }
    const FigureRender figure = figure_art::renderFigure();
    const bool written = writeFile(folder / "figure.bmp", figure_art::encodeBmp24(figure.picture)) &&
                         writeFile(folder / "peerkin.ico", figure_art::buildPeerkinIcon(figure));
    if (!written) {
        return 1;
    }
    reportMeasurements(figure);
    return 0;
}
