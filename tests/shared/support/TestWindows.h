#pragma once
// Helpers for tests that work with real windows, on every platform.

#include "Failure.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace peerkin::test {

// Installs the recording failure policy and end action for the whole run.
class RuntimeEnvironment : public testing::Environment {
public:
    void SetUp() override;
};

// What the event dispatch saw since the last Reset.
struct DispatchRecord {
    std::vector<forms::RuntimeFailure> failures;
    int endRequests = 0;
};
DispatchRecord& Dispatched();
// Forgets what was recorded and lets handlers run again.
void ResetDispatch();

// Delivers every pending message of this thread.
void PumpMessages();
// Pumps messages for about milliseconds.
void PumpFor(int milliseconds);

// A 24-bit DIB section of width x height, filled row by row from pixels
// given as colour references (0x00BBGGRR), row 0 first.
HBITMAP MakePicture(int width, int height, const std::vector<COLORREF>& pixels);

// The rectangles of a window's region as the platform reports them, sorted
// by row then column; nullopt when the window has no region.
std::optional<std::vector<RECT>> WindowRegionRects(HWND window);

// A fresh folder under the temporary folder, removed by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return m_path; } // ends in "\"
private:
    std::wstring m_path;
};

// A path in the program's form, or the platform's own, as the platform's
// file functions take it.
std::filesystem::path NativePath(const std::wstring& path);
std::string ReadFileBytes(const std::wstring& path);
// A text file's non-empty lines, in order, without their line ends.
std::vector<std::string> NonEmptyLines(const std::string& text);
bool FileExists(const std::wstring& path);

// This test program's full path, its name without folder or extension, and
// the arguments it was started with after its own name.
std::wstring ProgramPath();
std::wstring ProgramName();
const std::vector<std::string>& ProgramArguments();
void KeepProgramArguments(int argc, char** argv);
// The settings file of this program: its path with ".ini" in place of any
// extension.
std::wstring SettingsFileBesideThisProgram();
// True when two paths name the same file as the platform compares names.
bool SamePath(const std::wstring& a, const std::wstring& b);
void RemoveFile(const std::wstring& path);
// Where the platform's settings services keep the file the program names as
// named: on Windows there; on Linux a file beside the program lies in the
// user's configuration folder.
std::wstring StoredSettingsFile(const std::wstring& named);
// The extension of a program's file name: ".exe" on Windows, none on Linux.
std::wstring ProgramExtension();
// True when path names a program file this process could start.
bool IsProgramFile(const std::wstring& path);
// Runs this test program once more with arguments and waits for it; its
// exit code, or -1 when it could not be run or did not end.
int RunThisProgram(const std::vector<std::string>& arguments);

// Creates a folder (true when it did); true when path names a folder.
bool CreateFolder(const std::wstring& path);
bool IsFolder(const std::wstring& path);
// Makes a file read-only (true when it did); true when this process may
// nevertheless open it for writing, as root may.
bool MakeReadOnly(const std::wstring& path);
bool CanOpenForWriting(const std::wstring& path);

// The folders the platform names as the system's own, its libraries' and
// the temporary one, as the platform reports them, in the program's form.
enum class SystemFolder { Windows, System, Temporary };
std::wstring PlatformFolder(SystemFolder folder);

// The screen's size in pixels; moves the pointer to (x, y) on it.
POINT ScreenPixels();
void MoveCursorTo(int x, int y);
// Ticks the first timer of window's form as the platform's timer would.
void DeliverTimerTick(HWND window);
// (Re)starts timer index of window's form as the form does, with its first
// tick interval ms from now; 0 stops it.
void RestartTimer(HWND window, std::size_t index, unsigned interval);
// Makes the back-end's state fresh before each test, where it keeps any.
void ResetBackEnd();
// True while window is shown on the screen.
bool IsShown(HWND window);
// True when window is kept above all other windows.
bool IsTopMost(HWND window);
// Destroys window as something outside the program would (a taskbar, the
// window manager), not through its form.
void DestroyFromOutside(HWND window);
// The screen's dots per inch and the user's decimal separator, as the
// platform reports them.
double ScreenDotsPerInch();
wchar_t UsersDecimalSeparator();

// Writes bytes to the file at path, making its missing folders first.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

} // namespace peerkin::test
