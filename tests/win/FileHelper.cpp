// Windows-side help for the end-to-end reliability tests, which run on the
// other side of the platform layer:
//   file_helper.exe hold PATH   holds the file open with no sharing at all,
//                               as an editor or a backup program might, until
//                               standard input ends; prints "held" once open
//   file_helper.exe short PATH  prints the short (8.3) form of the path
// Exits 1 when the platform refuses, 2 on a wrong command line.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

int Hold(const wchar_t* path)
{
    HANDLE file = ::CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    std::puts("held");
    std::fflush(stdout);
    // The caller closes our input to let go; a caller that dies lets go too.
    while (std::getchar() != EOF) {
    }
    ::CloseHandle(file);
    return 0;
}

int PrintShortForm(const wchar_t* path)
{
    DWORD length = ::GetShortPathNameW(path, nullptr, 0);
    if (length == 0)
        return 1;
    std::wstring shortForm(length, L'\0');
    length = ::GetShortPathNameW(path, shortForm.data(), length);
    shortForm.resize(length);
    std::wprintf(L"%ls\n", shortForm.c_str());
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;
    if (std::wcscmp(argv[1], L"hold") == 0)
        return Hold(argv[2]);
    if (std::wcscmp(argv[1], L"short") == 0)
        return PrintShortForm(argv[2]);
    return 2;
}
