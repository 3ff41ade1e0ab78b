// Paths between the program's form ("\" between names) and Linux's.
#include "PathForm.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
    const char* linuxPath;
    const char* program;
};

class PathForms : public testing::TestWithParam<PathCase> { };

TEST_P(PathForms, GoBothWaysUnchanged)
{
    EXPECT_EQ(forms::ToProgramPath(GetParam().linuxPath), GetParam().program);
    EXPECT_EQ(forms::ToLinuxPath(GetParam().program), GetParam().linuxPath);
}

INSTANTIATE_TEST_SUITE_P(Paths, PathForms,
    testing::Values(PathCase { "/home/orlo/peerkin.ini", "\\home\\orlo\\peerkin.ini" }, PathCase { "/", "\\" },
        PathCase { "", "" }, PathCase { "relative/name", "relative\\name" },
        // A "\" inside a Linux name is no separator for the program.
        PathCase { "/x/Toys\\Orlo/peerkin.ini", "\\x\\Toys\xEF\x81\x9COrlo\\peerkin.ini" },
        PathCase { "/x/f\xFCr/\xE2\x82\xAC", "\\x\\f\xFCr\\\xE2\x82\xAC" }));

TEST(PathForms, TheProgramsOwnJoinsAreSeparators)
{
    // What the program's code builds from a folder it was given.
    std::string folder = forms::ToProgramPath("/x/Toys\\Orlo");
    EXPECT_EQ(forms::ToLinuxPath(folder + "\\peerkin.ini"), "/x/Toys\\Orlo/peerkin.ini");
    EXPECT_EQ(forms::ToLinuxPath("\\tmp\\pk\\no folder\\Peerkin.ini"), "/tmp/pk/no folder/Peerkin.ini");
}

} // namespace
