// A form's position and size in twips, the same on every platform.
#include "Form.h"

#include "Application.h"
#include "FormScale.h"

namespace forms {

RECT Form::WindowRect() { return LoadedWindow().Bounds(); }

void Form::MoveTo(int x, int y) { LoadedWindow().MoveTo(x, y); }

float Form::Top() { return static_cast<float>(WindowRect().top) * Screen::TwipsPerPixelY(); }
float Form::Left() { return static_cast<float>(WindowRect().left) * Screen::TwipsPerPixelX(); }

void Form::SetTop(float twips)
{
    RECT rect = WindowRect();
    MoveTo(rect.left, TwipsToPixels(twips, Screen::TwipsPerPixelY()));
}

void Form::SetLeft(float twips)
{
    RECT rect = WindowRect();
    MoveTo(TwipsToPixels(twips, Screen::TwipsPerPixelX()), rect.top);
}

float Form::Width()
{
    RECT rect = WindowRect();
    return static_cast<float>(rect.right - rect.left) * Screen::TwipsPerPixelX();
}

float Form::Height()
{
    RECT rect = WindowRect();
    return static_cast<float>(rect.bottom - rect.top) * Screen::TwipsPerPixelY();
}

HWND Form::Handle() { return LoadedWindow().Handle(); }

HBITMAP Form::Picture()
{
    LoadedWindow();
    return m_picture.Get();
}

} // namespace forms
