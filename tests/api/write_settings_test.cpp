// The writers' settings (holder text, stamp time, only-if-changed), the refusal to replace a
// writer's own input, and the smaller exports beside them: the result constants, the code
// page in force and Ril_FormatNotice's argument check.
#include "core/messages.h"
#include "support/test_support.h"

#include <algorithm>
#include <cstdlib>

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

// Whether `message` was among the notices shown since the last check.
bool Shown(NoticeCapture &notices, std::string const &message) {
    std::vector<std::string> const shown = notices.Messages();
    notices.Clear();
    return std::find(shown.begin(), shown.end(), message) != shown.end();
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
    const std::string txt = Put("s.txt", Bytes{}), bin = dir.File("s.bin"),
                      saved = dir.File("r.bin");
    WriteFile(txt, std::string("RilStringID=1;RilStringMacro=A\r\n{a}"));
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
    EXPECT_TRUE(Shown(notices, Printf(msg::kInvalidSourceDateEpoch, "abc")));
    SavedBody(bin); // the user's name and a time stamp
    EXPECT_EQ(Ril_SetStampTime(RIL_STAMP_DEFAULT), RIL_S_OK);
}

TEST_F(WriteSettingsTest, WritersRefuseToReplaceTheirInput) {
    const std::string txt = dir.File("s.txt"), bin = dir.File("s.bin");
    WriteFile(txt, std::string("RilStringID=1;RilStringMacro=A\r\n{a}"));
    ASSERT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, bin.c_str(), nullptr), 0);
    notices.Clear();
    const Bytes text = ReadFile(txt), binary = ReadFile(bin);
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, txt.c_str(), nullptr), RIL_E_IMPORT_WRITE);
    ExpectNotice(Printf(msg::kWritesOwnInput, txt.c_str(), txt.c_str())); // nothing else
    EXPECT_EQ(Ril_ExportResFromBinToTxt(bin.c_str(), 0, bin.c_str()), RIL_E_OUTPUT_WRITE);
    ExpectNotice(Printf(msg::kWritesOwnInput, bin.c_str(), bin.c_str()));
    EXPECT_EQ(std::tuple(ReadFile(txt), ReadFile(bin), Ril_GetLastError(), FilesInDir()),
              std::tuple(text, binary, RIL_E_OUTPUT_WRITE, std::size_t{2}));
    // Saving the loaded table over its own file stays allowed: the table is in memory.
    ASSERT_EQ(Ril_LoadRes(bin.c_str()), 0);
    EXPECT_EQ(Ril_ExportResToBinFile(bin.c_str()), RIL_S_OK);
}

TEST_F(WriteSettingsTest, SmallExports) {
    // The constants are the library's results.
    EXPECT_EQ((std::vector<RIL_LONG>{
                  RIL_S_FALSE, RIL_E_FAIL, RIL_E_OUTOFMEMORY, RIL_E_INVALIDARG,
                  RIL_E_INSUFFICIENT_BUFFER, RIL_E_ARGUMENT, RIL_E_NO_MODULE, RIL_E_MODULE_LOAD,
                  RIL_E_NO_MODULE_PATH, RIL_E_NO_SUCH_RESOURCE, RIL_E_RESOURCE_LOAD,
                  RIL_E_CONVERSION, RIL_E_MACRO, RIL_E_BUFFER_TOO_SMALL, RIL_E_IMPORT_PARSE,
                  RIL_E_IMPORT_WRITE, RIL_E_BIN_READ, RIL_E_OUTPUT_WRITE, RIL_E_NO_SESSION}),
              (std::vector<RIL_LONG>{
                  kSFalse, kEFail, kEOutOfMemory, kEInvalidArg, kEInsufficientBuffer, kErrArgument,
                  kErrNoModule, kErrModuleLoad, kErrNoModulePath, kErrNoSuchResource,
                  kErrResourceLoad, kErrConversion, kErrMacro, kErrBufferTooSmall, kErrImportParse,
                  kErrImportWrite, kErrBinRead, kErrOutputWrite, kErrNoSession}));
    EXPECT_NE(Ril_GetAnsiCodePage(), 0u);
#ifndef _WIN32
    EXPECT_EQ(Ril_GetAnsiCodePage(), 936u);
#endif
    Ril_SetAnsiCodePage(65001);
    EXPECT_EQ(Ril_GetAnsiCodePage(), 65001u);
    EXPECT_EQ(
        (std::vector<unsigned>{Ril_SetWriteOptions(2), Ril_SetWriteOptions(RIL_WRITE_IF_CHANGED),
                               Ril_SetWriteOptions(RIL_WRITE_ALWAYS)}),
        (std::vector<unsigned>{0xFFFFFFFFu, 0u, RIL_WRITE_IF_CHANGED}));
    // Ril_FormatNotice refuses fewer arguments than the message takes.
    const RIL_NOTICE_ARG args[2] = {{1, 0, "a.h"}, {1, 0, "b.h"}};
    RIL_NOTICE notice{};
    notice.messageId = "writes-own-input";
    char buffer[128];
    std::vector<int> lengths;
    for (unsigned count : {0u, 1u, 2u}) {
        notice.argCount = count;
        notice.args = count != 0 ? args : nullptr;
        lengths.push_back(Ril_FormatNotice(&notice, RIL_MESSAGES_ENGLISH, buffer, sizeof buffer));
    }
    EXPECT_EQ(lengths, (std::vector<int>{-1, -1, 59}));
    EXPECT_STREQ(buffer, "'a.h' is the file being read ('b.h'); it is not overwritten");
}

} // namespace
} // namespace ril::test
