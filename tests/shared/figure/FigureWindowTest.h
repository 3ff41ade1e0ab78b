#pragma once
// The fixtures of the figure window's own tests, shared by the suites of
// every platform and by the cases one platform adds.
#include "Application.h"
#include "Commands.h"
#include "TestInput.h"
#include "TestWindows.h"
#include "fZevozOdudo.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

namespace peerkin::test {

// A point of the face, between the eyes and below them.
inline constexpr POINT OnTheFace { 96, 160 };

// Every case starts with a figure that was never loaded and a dispatch that
// has seen nothing, and leaves the settings names as it found them.
class FigureWindow : public testing::Test {
protected:
    void SetUp() override { ResetDispatch(); }
    void TearDown() override
    {
        fZevozOdudo::Instance()->Unload();
        fZevozOdudo::ReleaseInstance();
        ResetDispatch();
        Commands::AppName = m_savedAppName;
        Commands::IniFile = m_savedIniFile;
    }

    static std::shared_ptr<fZevozOdudo> LoadedFigure()
    {
        std::shared_ptr<fZevozOdudo> figure = fZevozOdudo::Instance();
        figure->Load();
        return figure;
    }

    static RECT WindowRect(HWND window)
    {
        RECT rect {};
        ::GetWindowRect(window, &rect);
        return rect;
    }

    static void MoveWindowTo(HWND window, int x, int y)
    {
        ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The expected twips of the cases are for 96 dots per inch.
    static bool AtFifteenTwipsPerPixel()
    {
        return forms::Screen::TwipsPerPixelX() == 15.0f && forms::Screen::TwipsPerPixelY() == 15.0f;
    }

private:
    std::wstring m_savedAppName = Commands::AppName;
    std::wstring m_savedIniFile = Commands::IniFile;
};

// Double-clicks on the figure, with the settings file in a folder of the
// case's own.
class DoubleClick : public FigureWindow {
protected:
    void UseSettingsFile(const std::wstring& path)
    {
        Commands::AppName = L"Orlo's Peerkin";
        Commands::IniFile = path;
    }

    static void DoubleClickOn(HWND window) { DeliverDoubleClick(window, Button::Left, OnTheFace); }

    TempFolder m_folder;
    const std::wstring m_iniFile = m_folder.Path() + L"Peerkin.ini";
};

} // namespace peerkin::test
