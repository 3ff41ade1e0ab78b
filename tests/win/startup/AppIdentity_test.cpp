// How SetAppIdentity names the settings file on Windows: from the long form
// of the program's path, or its letter case tidied where there is none.
#include "AppModul.h"
#include "CommandsRecord.h"
#include "TestWindows.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

using peerkin::test::SamePath;

TEST(SetAppIdentity, SettingsFileTakesTheProgramsNameWithIni)
{
    Commands::AppPath = L"Q:\\NO SUCH\\";
    Commands::ExeName = L"PEERKIN";
    Commands::IniFile.clear();
    AppModul::SetAppIdentity();
    EXPECT_EQ(Commands::AppName, L"Orlo's Peerkin");
    EXPECT_EQ(Commands::IniFile, L"Q:\\No Such\\Peerkin.ini");
    peerkin::test::ClearCommandsRecord();
}

TEST(SetAppIdentity, UsesTheLongFormOfTheRunningProgram)
{
    std::wstring module = peerkin::test::ProgramPath();
    std::size_t slash = module.find_last_of(L'\\');
    Commands::AppPath = module.substr(0, slash + 1);
    Commands::ExeName = L"STARTUP_TESTS";
    AppModul::SetAppIdentity();
    std::wstring expected = module.substr(0, module.size() - 3) + L"ini";
    EXPECT_TRUE(SamePath(Commands::IniFile, expected)) << "IniFile";
    // The service's long form, in the program's or the caller's case; the
    // case-only fallback would give Startup_Tests.ini.
    std::wstring name = Commands::IniFile.substr(Commands::IniFile.find_last_of(L'\\') + 1);
    EXPECT_TRUE(name == L"startup_tests.ini" || name == L"STARTUP_TESTS.ini") << "got " << name.c_str();
    peerkin::test::ClearCommandsRecord();
}

} // namespace
