#include <gtest/gtest.h>

#include <unistd.h>

#include "tests/tools/ToolTestFiles.h"
#include "tools/kestrom/FileIdentity.h"

namespace kestrom::tool {
namespace {

using testing::ScratchDir;

TEST(FileIdentity, EverySpellingOfOneFileIsTheSameFileAndOthersAreNot) {
    ScratchDir dir;
    std::filesystem::create_directory(dir.File("sub"));
    testing::WriteBytes(dir.File("a.wav"), "a");
    testing::WriteBytes(dir.File("b.wav"), "b");
    ASSERT_EQ(link(dir.File("a.wav").c_str(), dir.File("hard.wav").c_str()), 0);
    ASSERT_EQ(symlink("../a.wav", dir.File("sub/soft.wav").c_str()), 0);
    ASSERT_EQ(symlink("new.wav", dir.File("dangling.wav").c_str()), 0);

    const FileIdentity a = FileIdentity::Of(dir.File("a.wav"));
    for (const std::string& same : {dir.File("hard.wav"), dir.File("sub/soft.wav"), dir.File("sub/../a.wav"),
                                    dir.File("./a.wav")}) {
        EXPECT_EQ(FileIdentity::Of(same), a) << same;
    }
    EXPECT_NE(FileIdentity::Of(dir.File("b.wav")), a);

    // Files that do not exist yet are compared by the name they would get.
    const FileIdentity fresh = FileIdentity::Of(dir.File("new.wav"));
    EXPECT_EQ(FileIdentity::Of(dir.File("sub/../new.wav")), fresh);
    EXPECT_EQ(FileIdentity::Of(dir.File("dangling.wav")), fresh);
    EXPECT_NE(FileIdentity::Of(dir.File("other.wav")), fresh);
    EXPECT_NE(FileIdentity::Of(dir.File("a.wav")), fresh);
}

TEST(FileIdentity, FindClashNamesTheFirstPairAndSkipsEmptyPaths) {
    ScratchDir dir;
    testing::WriteBytes(dir.File("in.wav"), "x");
    std::size_t i = 9, j = 9;
    EXPECT_FALSE(FileIdentity::FindClash({dir.File("in.wav"), dir.File("out.wav"), "", ""}, i, j));
    EXPECT_TRUE(FileIdentity::FindClash({dir.File("in.wav"), dir.File("out.wav"), "", dir.File("out.wav")}, i, j));
    EXPECT_EQ(i, 1u);
    EXPECT_EQ(j, 3u);
}

}  // namespace
}  // namespace kestrom::tool
