// Folders, paths and letter case in the platform layer.
#include "windows.h"

#include "PathForm.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Copies text and its NUL into buffer when it fits and returns its length;
// otherwise returns the size it needs, NUL included, as the platform does.
DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size)
{
    if (!buffer || text.size() >= size)
        return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

} // namespace

// Folders and paths come in the program's own form, "\" between names.

// The system's own settings live in /etc, as Windows keeps its own in its
// folder; the program only records these folders, it never writes there.
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) { return CopyOut(forms::ToProgramPath("/etc"), buffer, size); }

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) { return CopyOut(forms::ToProgramPath("/usr/lib"), buffer, size); }

DWORD GetTempPathA(DWORD size, LPSTR buffer)
{
    const char* folder = std::getenv("TMPDIR");
    std::string path = (folder && *folder) ? folder : "/tmp";
    if (path.back() != '/')
        path += '/';
    return CopyOut(forms::ToProgramPath(path), buffer, size);
}

// Linux names have no short forms: the long form of a path is the path
// itself, whether or not the file exists, so a settings file name made from
// the program's name keeps the folder's letter case exactly.
DWORD GetLongPathNameA(LPCSTR shortPath, LPSTR longPath, DWORD size)
{
    if (!shortPath || !*shortPath)
        return 0;
    return CopyOut(shortPath, longPath, size);
}

DWORD CharUpperBuffW(LPWSTR text, DWORD length)
{
    if (!text)
        return 0;
    for (DWORD i = 0; i < length; ++i) {
        wchar_t c = text[i];
        // ASCII and Latin-1 letters: the only ones setting names use here.
        if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
            text[i] = static_cast<wchar_t>(c - 0x20);
    }
    return length;
}
