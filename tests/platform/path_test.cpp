// The path service: which characters separate components, where the last component starts
// and how a folder and a name are joined, on POSIX and on Windows.
#include "platform/path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace ril::platform {
namespace {

// Rows: a path, whether it ends with a separator, where its file name starts, and the path
// joined with "app.h" ('|' standing for the separator the join adds).
TEST(PlatformPath, JoinPutsOneSeparatorOnlyWhereNeeded) {
    using Row = std::tuple<std::string, bool, std::size_t, std::string>;
    for (Row row : std::vector<Row>{
             {"", false, 0, "app.h"}, // no folder: the name alone, still relative
             {"out", false, 0, "out|app.h"},
             {"out/", true, 4, "out/app.h"},
             {"/", true, 1, "/app.h"},
             {"a/b/", true, 4, "a/b/app.h"}, // an empty last component
             {"a/b/table.bin", false, 4, "a/b/table.bin|app.h"},
#ifdef _WIN32
             {"out\\", true, 4, "out\\app.h"},
             {"C:\\", true, 3, "C:\\app.h"},
             {"C:", false, 2, "C:app.h"}, // the current folder of drive C
             {"a\\b/c\\table.bin", false, 6, "a\\b/c\\table.bin|app.h"},
             {"\\\\server\\share", false, 9, "\\\\server\\share|app.h"},
#else
             {"out\\", false, 0, "out\\|app.h"},
             {"C:", false, 0, "C:|app.h"},
             {"a\\b\\table.bin", false, 0, "a\\b\\table.bin|app.h"},
#endif
         }) {
        std::string const &path = std::get<0>(row);
        std::replace(std::get<3>(row).begin(), std::get<3>(row).end(), '|', PreferredSeparator());
        EXPECT_EQ(Row(path, EndsWithSeparator(path), FileNameOffset(path), JoinPath(path, "app.h")),
                  row);
    }
    EXPECT_EQ(JoinPath("out", ""), std::string("out") + PreferredSeparator());
    EXPECT_TRUE(IsPathSeparator('/') && !IsPathSeparator('.') && !IsPathSeparator(':'));
}

} // namespace
} // namespace ril::platform
