#pragma once
// General-purpose procedures and the environment record: the process-wide
// texts that say where and how the program runs, filled during start-up and
// only read afterwards.

#include <string>
#include <string_view>

namespace Commands {

// The environment record, empty until set.
inline std::wstring AppPath; // the executable's folder, ending in "\"
inline std::wstring AppName; // the settings section name
inline std::wstring ExeName; // the executable's name without folder or extension
inline std::wstring IniFile; // the settings file's full path
inline std::wstring WinIni;  // WinDir followed by "Win.ini"
inline std::wstring WinDir;  // the Windows directory, ending in "\"
inline std::wstring SysDir;  // the system directory, ending in "\"
inline std::wstring TempDir; // the directory for temporary files, ending in "\"
inline std::wstring CmdLine; // the command-line argument text
inline std::wstring NewLine; // carriage return and line feed

// Fills AppPath, ExeName, WinDir, SysDir, TempDir, WinIni and NewLine.
void InitEnvironment();

// Appends "\" to text unless it already ends in one; returns a copy of text.
std::wstring AddBackslash(std::wstring& text);

// The Windows, system and temporary directories, each ending in "\".
std::wstring GetWinDir();
std::wstring GetSysDir();
std::wstring GetTempDir();

// The long form of path as the file system reports it, or, where it cannot,
// path with its letter case tidied.
std::wstring GetLongName(std::wstring path);

// The value of key in section of file, or defaultValue when there is none.
std::wstring ReadIni(std::wstring_view section, std::wstring_view key, std::wstring_view file,
    std::wstring_view defaultValue);
// Sets key in section of file to value; reports nothing back.
void WriteIni(std::wstring_view section, std::wstring_view key, std::wstring_view value, std::wstring_view file);

} // namespace Commands
