// What a GNOME user is told at start about the program's Shell extension,
// for each state the shell may answer.
#include "ExtensionNotice.h"

#include <gtest/gtest.h>

namespace {

struct NoticeCase {
    std::optional<double> state; // nullopt: the shell does not know the extension
    bool offersSwitchOn;
    const char* bodySays; // null: no notice at all
    const char* lineSays;
};

class ExtensionNoticeAtStart : public testing::TestWithParam<NoticeCase> { };

TEST_P(ExtensionNoticeAtStart, FitsTheShellsState)
{
    const NoticeCase& want = GetParam();
    auto notice = forms::ExtensionNoticeFor(want.state, true, "x@orlo.org");
    ASSERT_EQ(notice.has_value(), want.bodySays != nullptr) << "state " << want.state.value_or(0);
    if (!notice)
        return;
    EXPECT_TRUE(notice->asNotification);
    EXPECT_EQ(!notice->switchOnLabel.empty(), want.offersSwitchOn);
    EXPECT_NE(notice->body.find("only this program"), std::string::npos) << notice->body;
    EXPECT_NE(notice->body.find(want.bodySays), std::string::npos) << notice->body;
    EXPECT_NE(notice->line.find(want.lineSays), std::string::npos) << notice->line;
}

constexpr const char* Enable = "gnome-extensions enable x@orlo.org";

INSTANTIATE_TEST_SUITE_P(States, ExtensionNoticeAtStart,
    testing::Values(NoticeCase { 1, false, nullptr, nullptr }, NoticeCase { 8, false, nullptr, nullptr }, // on
        NoticeCase { 2, true, "everywhere", Enable }, NoticeCase { 6, true, "everywhere", Enable }, // off
        NoticeCase { std::nullopt, false, "next log-in", Enable },
        NoticeCase { 3, false, "could not start", "x@orlo.org" },
        NoticeCase { 4, false, "could not start", "x@orlo.org" }));

TEST(ExtensionNoticeAtStart, OfAnExtensionNeverInstalledIsALineAlone)
{
    auto notice = forms::ExtensionNoticeFor(std::nullopt, false, "x@orlo.org");
    ASSERT_TRUE(notice.has_value());
    EXPECT_FALSE(notice->asNotification);
    EXPECT_NE(notice->line.find("not installed: x@orlo.org"), std::string::npos) << notice->line;
}

} // namespace
