// The path service: which characters separate components, where the last component starts
// and how a folder and a name are joined, on POSIX and on Windows.
#include "platform/path.h"

#include <gtest/gtest.h>

#include <string>

namespace ril::platform {
namespace {

TEST(PlatformPath, Separators) {
    EXPECT_TRUE(IsPathSeparator('/'));
    for (char c : std::string("a.:\0 ", 5))
        EXPECT_FALSE(IsPathSeparator(c)) << int(c);
#ifdef _WIN32
    EXPECT_TRUE(IsPathSeparator('\\'));
    EXPECT_EQ(PreferredSeparator(), '\\');
#else
    EXPECT_FALSE(IsPathSeparator('\\')); // an ordinary character in a POSIX file name
    EXPECT_EQ(PreferredSeparator(), '/');
#endif
    EXPECT_TRUE(IsPathSeparator(PreferredSeparator()));
}

TEST(PlatformPath, EndsWithSeparator) {
    EXPECT_FALSE(EndsWithSeparator(""));
    EXPECT_FALSE(EndsWithSeparator("out"));
    EXPECT_TRUE(EndsWithSeparator("out/"));
    EXPECT_TRUE(EndsWithSeparator("/"));
    EXPECT_FALSE(EndsWithSeparator("out/x"));
#ifdef _WIN32
    EXPECT_TRUE(EndsWithSeparator("out\\"));
    EXPECT_TRUE(EndsWithSeparator("C:\\"));
    EXPECT_FALSE(EndsWithSeparator("C:"));
#else
    EXPECT_FALSE(EndsWithSeparator("out\\"));
#endif
}

TEST(PlatformPath, JoinPutsOneSeparatorOnlyWhereNeeded) {
    const std::string sep(1, PreferredSeparator());
    EXPECT_EQ(JoinPath("out", "app.h"), "out" + sep + "app.h");
    EXPECT_EQ(JoinPath("a/b", "app.h"), "a/b" + sep + "app.h");
    EXPECT_EQ(JoinPath("out/", "app.h"), "out/app.h");
    EXPECT_EQ(JoinPath("/", "app.h"), "/app.h");
    EXPECT_EQ(JoinPath("", "app.h"), "app.h"); // no folder: the name alone, still relative
    EXPECT_EQ(JoinPath("out", ""), "out" + sep);
#ifdef _WIN32
    EXPECT_EQ(JoinPath("out\\", "app.h"), "out\\app.h");
    EXPECT_EQ(JoinPath("C:\\", "app.h"), "C:\\app.h");
    EXPECT_EQ(JoinPath("C:", "app.h"), "C:app.h"); // the current folder of drive C
    EXPECT_EQ(JoinPath("\\\\server\\share", "app.h"), "\\\\server\\share\\app.h");
#else
    EXPECT_EQ(JoinPath("out\\", "app.h"), "out\\/app.h");
    EXPECT_EQ(JoinPath("C:", "app.h"), "C:/app.h");
#endif
}

TEST(PlatformPath, FileNameOffsetFindsTheLastComponent) {
    EXPECT_EQ(FileNameOffset(""), 0u);
    EXPECT_EQ(FileNameOffset("table.bin"), 0u);
    EXPECT_EQ(FileNameOffset("a/b/table.bin"), 4u);
    EXPECT_EQ(FileNameOffset("/table.bin"), 1u);
    EXPECT_EQ(FileNameOffset("a/b/"), 4u); // an empty last component
#ifdef _WIN32
    EXPECT_EQ(FileNameOffset("a\\b/c\\table.bin"), 6u);
    EXPECT_EQ(FileNameOffset("C:table.bin"), 2u);
    EXPECT_EQ(FileNameOffset("C:\\table.bin"), 3u);
#else
    EXPECT_EQ(FileNameOffset("a\\b\\table.bin"), 0u);
    EXPECT_EQ(FileNameOffset("C:table.bin"), 0u);
#endif
}

} // namespace
} // namespace ril::platform
