#pragma once
// Where the settings-file services keep a file the program names, on every
// back-end of this layer (X11 and headless alike). Only a file the program
// keeps beside itself, as Windows programs do, moves: it lies in the user's
// configuration folder instead, since a program installed in a system
// folder could never write beside itself, and each user has settings of
// their own. A file in any other folder lies where it is named.

#include <string>

namespace forms::winapi {

struct SettingsPath {
    std::string path; // as Linux names the file
    bool perUser = false; // moved to the user's configuration folder
};

// Where the file the program names as fileName (in its own path form) lies.
SettingsPath LocateSettings(const char* fileName);

// Makes the missing folders of a per-user settings file's folder, each for
// the user alone (mode 0700); true when the folder is there afterwards.
bool MakeUserFolders(const std::string& folder);

} // namespace forms::winapi
