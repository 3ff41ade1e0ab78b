// The choices made at start from what the desktop session says of itself.
#include "DesktopSession.h"
#include "ProductIdentity.h"

#include <gtest/gtest.h>

namespace {

constexpr std::string_view Legacy = forms::product::LegacyExtensionUuid;
constexpr std::string_view Modules = forms::product::ModuleExtensionUuid;

struct UuidCase {
    const char* version;
    std::string_view uuid;
};

class ExtensionForShell : public testing::TestWithParam<UuidCase> { };

TEST_P(ExtensionForShell, FitsTheShellsModuleFormat)
{
    EXPECT_EQ(forms::GnomeExtensionUuid(GetParam().version), GetParam().uuid) << GetParam().version;
}

INSTANTIATE_TEST_SUITE_P(Versions, ExtensionForShell,
    testing::Values(UuidCase { "43.9", Legacy }, UuidCase { "44.10", Legacy }, UuidCase { "45.0", Modules },
        UuidCase { "46.rc", Modules }, UuidCase { "", Legacy }, UuidCase { "unknown", Legacy }));

TEST(WaylandSession, IsToldByEitherVariable)
{
    EXPECT_TRUE(forms::IsWaylandSession("wayland-0", nullptr));
    EXPECT_TRUE(forms::IsWaylandSession(nullptr, "wayland"));
    EXPECT_TRUE(forms::IsWaylandSession("", "wayland"));
    EXPECT_FALSE(forms::IsWaylandSession("", "x11"));
    EXPECT_FALSE(forms::IsWaylandSession(nullptr, nullptr));
}

} // namespace
