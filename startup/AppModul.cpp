#include "AppModul.h"

#include "Application.h"
#include "Checked.h"
#include "Commands.h"
#include "Dispatch.h"
#include "Failure.h"
#include "NumberText.h"
#include "fZevozOdudo.h"

#include <memory>

using forms::ContinueOnFailure;

namespace AppModul {
namespace {

using Figure = std::shared_ptr<fZevozOdudo>;

fZevozOdudo& Require(const Figure& figure)
{
    if (!figure)
        forms::Fail(forms::FailureCode::ObjectRequired);
    return *figure;
}

// At the top edge of the screen, centred horizontally. Setting the top edge
// first loads the window, so its load handler has placed it by then.
void PlaceByDefault(const Figure& figure)
{
    ContinueOnFailure([&] { Require(figure).SetTop(0); });
    ContinueOnFailure([&] {
        float screenWidth = forms::Screen::Width();
        float windowWidth = Require(figure).Width();
        std::int32_t left = forms::SubtractChecked(forms::HalveTruncating(forms::RoundToInt32(screenWidth)),
            forms::HalveTruncating(forms::RoundToInt32(windowWidth)));
        Require(figure).SetLeft(static_cast<float>(left));
    });
}

// Where the settings file says, even off the screen: the user put it there.
void PlaceAtStored(const Figure& figure, const std::wstring& storedTop, const std::wstring& storedLeft)
{
    ContinueOnFailure([&] { Require(figure).SetTop(forms::ToSingle(forms::TextToNumber(storedTop))); });
    ContinueOnFailure([&] { Require(figure).SetLeft(forms::ToSingle(forms::TextToNumber(storedLeft))); });
}

} // namespace

void Main()
{
    if (forms::App::PrevInstance()) {
        forms::End();
        return;
    }
    ContinueOnFailure(Commands::InitEnvironment);
    ContinueOnFailure(SetAppIdentity);
    ContinueOnFailure([] {
        std::wstring arguments = forms::Command();
        if (!arguments.empty())
            Commands::CmdLine = arguments;
    });
    std::wstring storedTop;
    std::wstring storedLeft;
    ContinueOnFailure([&] { storedTop = Commands::ReadIni(Commands::AppName, L"Top", Commands::IniFile, L""); });
    ContinueOnFailure([&] { storedLeft = Commands::ReadIni(Commands::AppName, L"Left", Commands::IniFile, L""); });
    Figure figure;
    ContinueOnFailure([&] { figure = fZevozOdudo::Instance(); });
    if (storedTop.empty() && storedLeft.empty())
        PlaceByDefault(figure);
    else
        PlaceAtStored(figure, storedTop, storedLeft);
    ContinueOnFailure([&] { Require(figure).Show(); });
    figure.reset();
}

void SetAppIdentity()
{
    ContinueOnFailure([] { Commands::AppName = L"Orlo's Peerkin"; });
    std::wstring longForm;
    ContinueOnFailure(
        [&] { longForm = Commands::GetLongName(Commands::AppPath + Commands::ExeName + L".exe"); });
    ContinueOnFailure([&] {
        if (longForm.size() < 3)
            forms::Fail(forms::FailureCode::InvalidCall);
        Commands::IniFile = longForm.substr(0, longForm.size() - 3) + L"ini";
    });
}

} // namespace AppModul
