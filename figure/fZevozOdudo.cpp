#include "fZevozOdudo.h"

#include "res/resource.h"

namespace {

constexpr unsigned TickInterval = 70; // milliseconds

HBITMAP LoadFigurePicture()
{
    // A DIB section keeps the picture's true colours: the shape is cut by
    // exact colour comparison.
    return static_cast<HBITMAP>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_FIGURE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

forms::FormDefinition FigureDefinition()
{
    forms::FormDefinition definition;
    definition.caption = L"Form1";
    definition.width = 2895;
    definition.height = 4185;
    definition.backColor = 0x00FFFFFF;
    definition.fillColor = 0x00FFFFC0;
    definition.scaleMode = forms::ScaleMode::Pixels;
    // Persistent drawing from the start: the eyes are drawn off screen and
    // shown in one copy, which keeps them from flickering.
    definition.autoRedraw = true;
    definition.solidFill = true;
    definition.picture = LoadFigurePicture;
    definition.pictureResource = IDB_FIGURE;
    definition.iconResource = IDI_PEERKIN;
    return definition;
}

std::shared_ptr<fZevozOdudo>& TheInstance()
{
    static std::shared_ptr<fZevozOdudo> instance;
    return instance;
}

} // namespace

std::shared_ptr<fZevozOdudo> fZevozOdudo::Instance()
{
    auto& instance = TheInstance();
    if (!instance)
        instance = std::make_shared<fZevozOdudo>();
    return instance;
}

void fZevozOdudo::ReleaseInstance() { TheInstance().reset(); }

fZevozOdudo::fZevozOdudo()
    : forms::Form(FigureDefinition())
    , tmr(*this, TickInterval, [this] { tmr_Timer(); })
{
}

cTrimmer& fZevozOdudo::TheTrimmer()
{
    if (!Trimmer)
        Trimmer = std::make_unique<cTrimmer>();
    return *Trimmer;
}
