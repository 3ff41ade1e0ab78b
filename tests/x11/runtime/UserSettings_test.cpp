// On Linux a settings file the program keeps beside itself lies in the
// user's configuration folder: made when a value is first stored, never by
// reading, and for the user alone.
#include <gtest/gtest.h>

#include "Application.h"
#include "Commands.h"
#include "TestWindows.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

class UserSettings : public testing::Test {
protected:
    void SetUp() override
    {
        const char* saved = std::getenv("XDG_CONFIG_HOME");
        m_saved = saved ? std::optional<std::string>(saved) : std::nullopt;
        m_configHome = fs::path(m_folder.Path()) / "config home";
        ::setenv("XDG_CONFIG_HOME", m_configHome.c_str(), 1);
    }
    void TearDown() override
    {
        if (m_saved)
            ::setenv("XDG_CONFIG_HOME", m_saved->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }

    peerkin::test::TempFolder m_folder;
    fs::path m_configHome;
    std::optional<std::string> m_saved;
};

TEST_F(UserSettings, BesideTheProgramMeansInTheUsersConfigurationFolder)
{
    std::wstring besideProgram = forms::App::Path() + L"\\user_settings_test.ini";
    fs::path expected = m_configHome / "peerkin" / "user_settings_test.ini";

    EXPECT_EQ(Commands::ReadIni(L"Orlo's Peerkin", L"Top", besideProgram, L"none"), L"none");
    EXPECT_FALSE(fs::exists(m_configHome)) << "reading made a folder";

    Commands::WriteIni(L"Orlo's Peerkin", L"Top", L"1500", besideProgram);
    ASSERT_TRUE(fs::exists(expected));
    EXPECT_FALSE(peerkin::test::FileExists(besideProgram)) << "written beside the program";
    EXPECT_EQ(Commands::ReadIni(L"Orlo's Peerkin", L"Top", besideProgram, L""), L"1500");
    for (const fs::path& folder : { m_configHome, m_configHome / "peerkin" }) {
        struct stat status {};
        ASSERT_EQ(::stat(folder.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0700U) << folder;
    }
}

} // namespace
