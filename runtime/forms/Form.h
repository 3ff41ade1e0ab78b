#pragma once
// A form: one top-level window built from a fixed definition, with the
// services its event handlers use. Positions and sizes are twips; drawing
// and pixel reading use the form's drawing scale. The window is created on
// the first use of any of its settings ("loading"), which raises Form_Load
// before the setting is applied. The window itself comes from the platform
// back-end (Platform.h); everything else a form does is the same on every
// platform and lives here.

#include "FormDefinition.h"
#include "OffscreenImage.h"
#include "Platform.h"
#include "UniqueGdiObject.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace forms {

class Form : public WindowEvents {
public:
    explicit Form(FormDefinition definition);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    bool IsLoaded() const { return m_window != nullptr; }
    void Load();
    // Destroys the window; the next use of a setting loads the form again.
    void Unload();
    void Show();

    float Top();
    void SetTop(float twips);
    float Left();
    void SetLeft(float twips);
    float Width();
    float Height();
    HWND Handle();

    HBITMAP Picture();
    std::int16_t ScaleMode();
    void SetScaleMode(std::int16_t mode);
    bool AutoRedraw();
    void SetAutoRedraw(bool on);
    float ScaleWidth();
    float ScaleHeight();
    // The colour at (x, y) of the drawing area, or CLR_INVALID outside it.
    COLORREF Point(float x, float y);
    COLORREF FillColor();
    void SetFillColor(COLORREF color);
    // A whole circle: outline in color, inside in the fill colour.
    void Circle(float x, float y, float radius, COLORREF color);
    // Puts what was drawn since the last call on the screen: only the
    // pixels that changed are repainted. Event dispatch calls it after
    // every handler.
    void ShowDrawing();

protected:
    virtual void Form_Load() {}
    virtual void Form_DblClick() {}
    virtual void Form_MouseDown(std::int16_t button, std::int16_t shift, float x, float y);

private:
    friend class Timer;

    // What the window reports; only the window calls these.
    void OnTick(std::size_t index) override;
    void OnMouseDown(std::int16_t button, std::int16_t shift, int x, int y) override;
    void OnDoubleClick() override;
    void OnClosed() override;
    const OffscreenImage& ShownImage() override;

    // The window, created and loaded first if need be.
    PlatformWindow& LoadedWindow();
    void CreateWindowHidden();
    void StartTimers();
    // Lets go of everything the window needed, once it is gone.
    void ForgetWindow();
    std::unique_ptr<OffscreenImage> FreshImage();
    RECT WindowRect();
    void MoveTo(int x, int y);
    double PixelsPerUnit() const;
    double ToPixels(float units) const { return units * PixelsPerUnit(); }
    float ToUnits(double pixels) const;
    RECT CircleBounds(float x, float y, float radius) const;

    FormDefinition m_definition;
    std::unique_ptr<PlatformWindow> m_window;
    UniqueBitmap m_picture;
    std::unique_ptr<OffscreenImage> m_image; // while persistent drawing is on
    std::unique_ptr<OffscreenImage> m_plainImage; // background and picture, to paint without it
    std::int16_t m_scaleMode;
    bool m_autoRedraw;
    COLORREF m_fillColor;
    std::vector<Timer*> m_timers;
    RECT m_drawn {}; // where drawing went since the last ShowDrawing
};

// True while at least one form is loaded.
bool AnyFormLoaded();

} // namespace forms
