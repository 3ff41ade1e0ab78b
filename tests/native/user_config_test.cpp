// Where the native program keeps the settings of one user.
#include "UserConfig.h"

#include <gtest/gtest.h>

namespace {

struct FolderCase {
    const char* xdgConfigHome;
    const char* home;
    const char* folder;
};

class UserConfig : public testing::TestWithParam<FolderCase> { };

TEST_P(UserConfig, FollowsTheBaseDirectoryRules)
{
    const FolderCase& c = GetParam();
    EXPECT_EQ(forms::UserConfigFolder(c.xdgConfigHome, c.home, "peerkin"), c.folder)
        << (c.xdgConfigHome ? c.xdgConfigHome : "(unset)");
}

INSTANTIATE_TEST_SUITE_P(XdgConfigHome, UserConfig,
    testing::Values(FolderCase { nullptr, "/home/ann", "/home/ann/.config/peerkin" },
        FolderCase { "", "/home/ann", "/home/ann/.config/peerkin" },
        FolderCase { "settings", "/home/ann", "/home/ann/.config/peerkin" }, // relative: ignored
        FolderCase { "/srv/cfg", "/home/ann", "/srv/cfg/peerkin" },
        FolderCase { "/home/ann/my settings/", "/home/ann", "/home/ann/my settings/peerkin" },
        FolderCase { "/", "/home/ann", "/peerkin" },
        FolderCase { nullptr, "/", "/.config/peerkin" },
        FolderCase { nullptr, nullptr, "" }, FolderCase { "", "home", "" }));

TEST(DataPlaces, FollowTheBaseDirectoryRules)
{
    using Places = std::vector<std::string>;
    EXPECT_EQ(forms::DataPlaces(nullptr, "/home/ann", nullptr, "x"),
        (Places { "/home/ann/.local/share/x", "/usr/local/share/x", "/usr/share/x" }));
    EXPECT_EQ(forms::DataPlaces("/d/", "/home/ann", "/a:rel::/b/", "x"), (Places { "/d/x", "/a/x", "/b/x" }));
    EXPECT_EQ(forms::DataPlaces("rel", nullptr, "", "x"), (Places { "/usr/local/share/x", "/usr/share/x" }));
}

} // namespace
