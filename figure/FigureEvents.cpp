// The figure's handling: placed and shaped when it loads, dragged with the
// left button, and a double-click stores its position and ends the program.
#include "fZevozOdudo.h"
#include "FigurePlacement.h"

#include "Application.h"
#include "Checked.h"
#include "Commands.h"
#include "Dispatch.h"
#include "Failure.h"

using forms::CheckedResult;
using forms::HalveTruncating;
using forms::RoundToInt32;
using forms::SubtractChecked;

namespace {

constexpr double VerticalPlacement = 0.85; // the figure's centre sits at 0.425 of the screen
constexpr std::int16_t DragButton = forms::MouseButton::Left;
constexpr UINT TopMostFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;

// A size in twips rounded to a whole number, then halved with the remainder dropped.
std::int32_t HalfOf(double twips)
{
    return HalveTruncating(RoundToInt32(twips));
}

} // namespace

std::int32_t FigurePlacement::LoadTop(float screenHeight, float windowHeight)
{
    std::int32_t screenHalf = HalfOf(CheckedResult(screenHeight * VerticalPlacement));
    return SubtractChecked(screenHalf, HalfOf(windowHeight));
}

std::int32_t FigurePlacement::LoadLeft(float screenWidth, float windowWidth)
{
    return SubtractChecked(HalfOf(screenWidth), HalfOf(windowWidth));
}

void fZevozOdudo::Form_Load()
{
    float screenHeight = forms::Screen::Height();
    float windowHeight = Height();
    SetTop(static_cast<float>(FigurePlacement::LoadTop(screenHeight, windowHeight)));

    float screenWidth = forms::Screen::Width();
    float windowWidth = Width();
    SetLeft(static_cast<float>(FigurePlacement::LoadLeft(screenWidth, windowWidth)));

    TheTrimmer().TrimForm(*this);
    ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, TopMostFlags);
}

void fZevozOdudo::Form_MouseDown(std::int16_t Button, std::int16_t, float, float)
{
    if (Button == DragButton)
        TheTrimmer().GrabForm(*this);
}

void fZevozOdudo::Form_DblClick()
{
    using forms::ContinueOnFailure;
    ContinueOnFailure([this] {
        Commands::WriteIni(Commands::AppName, L"Top", forms::NumberToLocaleText(Top()), Commands::IniFile);
    });
    ContinueOnFailure([this] {
        Commands::WriteIni(Commands::AppName, L"Left", forms::NumberToLocaleText(Left()), Commands::IniFile);
    });
    ContinueOnFailure([] { forms::End(); });
}
