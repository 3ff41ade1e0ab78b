// The eye tracking: on every tick both eyes are drawn again, each pupil
// 10 pixels from its disc's centre toward the mouse cursor.
#include "fZevozOdudo.h"

#include "Checked.h"

#include <cmath>

using forms::AddChecked;
using forms::CheckedResult;
using forms::DivideChecked;
using forms::SubtractChecked;
using forms::ToSingle;

namespace {

constexpr std::int32_t LeftEyeCentreX = 52;
constexpr std::int32_t RightEyeCentreX = 138;
constexpr std::int32_t EyeCentreY = 118;
constexpr float EyeRadius = 17.8f;
constexpr COLORREF EyeColour = 255; // pure red
constexpr double PupilOffset = 10;
constexpr float PupilRadius = 7.0f;
constexpr COLORREF PupilColour = 0; // black
constexpr double DistanceInPlaceOfZero = 1.0;

// The distance between two points given by their checked differences.
double Distance(std::int32_t dy, std::int32_t dx)
{
    double sum = CheckedResult(static_cast<double>(dy) * dy + static_cast<double>(dx) * dx);
    return std::sqrt(sum);
}

// A pupil coordinate: centre less the offset along the direction.
float PupilCoordinate(std::int32_t centre, double direction)
{
    return ToSingle(CheckedResult(centre - PupilOffset * direction));
}

} // namespace

void fZevozOdudo::ReadWindowRect(RECT& rect) { ::GetWindowRect(Handle(), &rect); }

void fZevozOdudo::ReadCursorPos(POINT& point) { ::GetCursorPos(&point); }

void fZevozOdudo::tmr_Timer()
{
    ReadWindowRect(WinRect);
    LeftEyeX = AddChecked(WinRect.left, LeftEyeCentreX);
    LeftEyeY = AddChecked(WinRect.top, EyeCentreY);
    RightEyeX = AddChecked(WinRect.left, RightEyeCentreX);
    RightEyeY = AddChecked(WinRect.top, EyeCentreY);
    ReadCursorPos(CursorPos);

    LeftDist = Distance(SubtractChecked(LeftEyeY, CursorPos.y), SubtractChecked(LeftEyeX, CursorPos.x));
    RightDist = Distance(SubtractChecked(RightEyeY, CursorPos.y), SubtractChecked(RightEyeX, CursorPos.x));
    if (LeftDist == 0)
        LeftDist = DistanceInPlaceOfZero;
    if (RightDist == 0)
        RightDist = DistanceInPlaceOfZero;

    LeftDirY = DivideChecked(SubtractChecked(LeftEyeY, CursorPos.y), LeftDist);
    LeftDirX = DivideChecked(SubtractChecked(LeftEyeX, CursorPos.x), LeftDist);
    RightDirY = DivideChecked(SubtractChecked(RightEyeY, CursorPos.y), RightDist);
    RightDirX = DivideChecked(SubtractChecked(RightEyeX, CursorPos.x), RightDist);

    SetFillColor(EyeColour);
    Circle(LeftEyeCentreX, EyeCentreY, EyeRadius, EyeColour);
    Circle(RightEyeCentreX, EyeCentreY, EyeRadius, EyeColour);

    SetFillColor(PupilColour);
    float leftPupilY = PupilCoordinate(EyeCentreY, LeftDirY);
    float leftPupilX = PupilCoordinate(LeftEyeCentreX, LeftDirX);
    Circle(leftPupilX, leftPupilY, PupilRadius, PupilColour);
    float rightPupilY = PupilCoordinate(EyeCentreY, RightDirY);
    float rightPupilX = PupilCoordinate(RightEyeCentreX, RightDirX);
    Circle(rightPupilX, rightPupilY, PupilRadius, PupilColour);
}
