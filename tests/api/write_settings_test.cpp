// The writers' settings (holder text, stamp time, only-if-changed) and the code page in force.
// The refusals to replace a writer's input are CLI runs (through links).
#include "core/messages.h"
#include "support/test_support.h"

#include <algorithm>
#include <cstdlib>

using namespace ril::core;

namespace ril::test {
namespace {

using WriteSettingsTest = LibraryTest;

// The holder marker text at the end of a written BIN.
std::string MarkerOf(std::string const &path) {
    Bytes const file = ReadFile(path);
    std::size_t const length =
        file.size() < 3 ? 0 : file[file.size() - 3] | file[file.size() - 2] << 8;
    return std::string(file.end() - 3 - static_cast<long>(length), file.end() - 3);
}

void SetEpoch(char const *value) {
#ifdef _WIN32
    _putenv_s("SOURCE_DATE_EPOCH", value != nullptr ? value : "");
#else
    if (value != nullptr)
        setenv("SOURCE_DATE_EPOCH", value, 1);
    else
        unsetenv("SOURCE_DATE_EPOCH");
#endif
}

TEST_F(WriteSettingsTest, HolderTextAndStampTimeReachEveryBinWriter) {
    const std::string txt = PutText("s.txt", "RilStringID=1;RilStringMacro=A\r\n{a}");
    const std::string bin = dir.File("s.bin"), saved = dir.File("r.bin");
    EXPECT_EQ(Ril_SetHolderText(std::string(512, 'h').c_str()), RIL_E_INVALIDARG);
    EXPECT_EQ(Ril_SetHolderText(std::string(511, 'h').c_str()), RIL_S_OK);
    EXPECT_EQ(Ril_SetHolderText("ci"), RIL_S_OK);
    for (long long bad : {253402300800LL, -2LL})
        EXPECT_EQ(Ril_SetStampTime(bad), RIL_E_INVALIDARG) << bad;
    EXPECT_EQ(Ril_SetStampTime(1767225600), RIL_S_OK);
    ASSERT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, bin.c_str(), nullptr), 0);
    ASSERT_EQ(Ril_LoadRes(bin.c_str()), 0);
    ASSERT_EQ(Ril_ExportResToBinFile(saved.c_str()), 0);
    const std::string expected = "Holder=ci    Editor=VeruDodUzarer    StartTime=2026-1-1 0:0'0\"";
    EXPECT_EQ(std::pair(MarkerOf(bin), MarkerOf(saved)), std::pair(expected, expected));
    // Back to the defaults: the user's name; an invalid SOURCE_DATE_EPOCH is refused by the
    // setter, and a writer stamps the local time with a warning.
    EXPECT_EQ(Ril_SetHolderText(nullptr), RIL_S_OK);
    SetEpoch("abc");
    EXPECT_EQ(Ril_SetStampTime(RIL_STAMP_DEFAULT), RIL_E_INVALIDARG);
    ASSERT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, bin.c_str(), nullptr), 0);
    SetEpoch(nullptr);
    const std::vector<std::string> shown = notices.Messages();
    EXPECT_NE(std::find(shown.begin(), shown.end(), Printf(msg::kInvalidSourceDateEpoch, "abc")),
              shown.end());
    SavedBody(bin); // the user's name and a time stamp
    EXPECT_EQ(Ril_SetStampTime(RIL_STAMP_DEFAULT), RIL_S_OK);
}

TEST_F(WriteSettingsTest, SmallExports) {
    EXPECT_NE(Ril_GetAnsiCodePage(), 0u);
#ifndef _WIN32
    EXPECT_EQ(Ril_GetAnsiCodePage(), 936u);
#endif
    // The chosen code page is asked twice: asking changes nothing.
    EXPECT_EQ((std::vector<unsigned>{Ril_GetChosenAnsiCodePage(), Ril_SetAnsiCodePage(65001),
                                     Ril_GetChosenAnsiCodePage(), Ril_GetChosenAnsiCodePage(),
                                     Ril_GetAnsiCodePage()}),
              (std::vector<unsigned>{0u, 0u, 65001u, 65001u, 65001u}));
    EXPECT_EQ(
        (std::vector<unsigned>{Ril_SetWriteOptions(2), Ril_SetWriteOptions(RIL_WRITE_IF_CHANGED),
                               Ril_SetWriteOptions(RIL_WRITE_ALWAYS)}),
        (std::vector<unsigned>{0xFFFFFFFFu, 0u, RIL_WRITE_IF_CHANGED}));
}

} // namespace
} // namespace ril::test
