// How start-up names the settings file and fills its record on Linux, where
// names are case-sensitive and have no short forms.
#include "AppModul.h"
#include "CommandsRecord.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class AppIdentityOnLinux : public testing::Test {
protected:
    void TearDown() override { peerkin::test::ClearCommandsRecord(); }
};

TEST_F(AppIdentityOnLinux, SettingsFileKeepsTheFoldersLetterCaseExactly)
{
    // A folder that does not exist: the tidied-case fallback would turn it
    // into another folder on a case-sensitive file system.
    Commands::AppPath = L"\\No Such\\Mixed CASE\\";
    Commands::ExeName = L"PEERKIN";
    AppModul::SetAppIdentity();
    EXPECT_EQ(Commands::AppName, L"Orlo's Peerkin");
    EXPECT_EQ(Commands::IniFile, L"\\No Such\\Mixed CASE\\PEERKIN.ini");
}

TEST_F(AppIdentityOnLinux, EnvironmentRecordHoldsFoldersEndingInTheSeparator)
{
    // The rest of the record on every platform: InitEnvironment (tests/shared/startup).
    Commands::InitEnvironment();
    for (const std::wstring* folder : { &Commands::AppPath, &Commands::WinDir, &Commands::SysDir, &Commands::TempDir }) {
        ASSERT_GE(folder->size(), 2U);
        EXPECT_EQ(folder->front(), L'\\') << "an absolute folder, in the program's form";
        EXPECT_EQ(folder->find(L'/'), std::wstring::npos);
    }
}

} // namespace
