#pragma once
// The figure window: a face cut to its outline, kept above other windows,
// whose eyes follow the mouse cursor on every tick of its timer.

#include "Form.h"
#include "cTrimmer.h"

#include <windows.h>

#include <cstdint>
#include <memory>

class fZevozOdudo : public forms::Form {
public:
    // The single instance, created on first use without being loaded.
    static std::shared_ptr<fZevozOdudo> Instance();
    // Forgets the single instance, so that the next use creates a new one.
    static void ReleaseInstance();

    fZevozOdudo();

    // One tick of the eye tracking: both eyes drawn toward the cursor.
    void tmr_Timer();

protected:
    void Form_Load() override;
    void Form_DblClick() override;
    void Form_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y) override;

    // The tick's two readings from the system. No real window or cursor
    // reaches the ends of the 32-bit range; tests put them there.
    virtual void ReadWindowRect(RECT& rect);
    virtual void ReadCursorPos(POINT& point);

private:
    friend struct FigureProbe; // tests read the tick's fields

    cTrimmer& TheTrimmer();

    forms::Timer tmr;

    std::unique_ptr<cTrimmer> Trimmer;

    // The tick's fields: written only by the tick, each before it is read.
    POINT CursorPos {};
    RECT WinRect {};
    std::int32_t LeftEyeX = 0;
    std::int32_t LeftEyeY = 0;
    std::int32_t RightEyeX = 0;
    std::int32_t RightEyeY = 0;
    double LeftDist = 0;
    double RightDist = 0;
    double LeftDirY = 0;
    double LeftDirX = 0;
    double RightDirY = 0;
    double RightDirX = 0;
};
