// The message catalogue: messages rendered in both languages from the same arguments (the
// Chinese texts as GBK bytes), with their identifier and severity. The log's own texts are
// pinned by the import's log, those of the BIN inspection and the lint by their own tests and
// the tool's runs.
#include "core/messages.h"
#include "core/notice.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace ril::core;

namespace ril::test {
namespace {

auto const N = [](long long number) { return MakeNoticeArg(number); };
auto const T = [](char const *text) { return MakeNoticeArg(text); };

struct Row {
    msg::Message const *message;
    std::vector<NoticeArg> args;
    char const *chinese; // the Chinese text in UTF-8, formatted as printf does
    char const *id;
    RIL_SEVERITY severity;
    char const *english;
};

using MessageCatalogue = LibraryTest;

TEST_F(MessageCatalogue, MessagesRenderInBothLanguages) {
    using namespace catalogue;
    const RIL_SEVERITY E = RIL_SEVERITY_ERROR, W = RIL_SEVERITY_WARNING,
                       I = RIL_SEVERITY_INFORMATION;
    // clang-format off
    const Row rows[] = {
        {&kNoBinNoTable, {}, "没有指定BIN文件，当前也没有加载BIN!", "no-bin", E, "no BIN file given and no BIN loaded"},
        {&kLoadedBinBeingEdited, {}, "当前加载的BIN正在编辑中，请结束编辑再继续 !", "bin-being-edited", E, "the loaded BIN is being edited; end the editing session first"},
        {&kCannotOpenForUpdate, {T("s.bin")}, "无法为更新资源而打开 s.bin !", "cannot-open-for-update", E, "cannot open 's.bin' for writing"},
        {&kCannotWriteBin, {T("s.bin")}, "无法写入 s.bin , 文件未被更改 !", "cannot-write", E, "cannot write 's.bin'; the file is unchanged"},
        {&kCannotOpen, {T("C:\\res\\a.txt")}, "无法打开 C:\\res\\a.txt !", "cannot-open", E, "cannot open 'C:\\res\\a.txt'"},
        {&kCannotAllocateLoad, {T("a.txt")}, "无法为Load a.txt 分配内存!", "cannot-allocate-load", E, "not enough memory to load 'a.txt'"},
        {&kCannotRead, {T("a.txt")}, "无法读取 a.txt !", "cannot-read", E, "cannot read 'a.txt'"},
        {&kBigEndianUnicode, {T("a.txt")}, "这是逆序 Unicode (U-) 文本,本软件不支持 a.txt !", "big-endian-unicode", E, "big-endian UTF-16 text is not supported: 'a.txt'"},
        {&kMacroNotFound, {N(4294967295), N(0x1c)}, "为ID=4294967295的项寻找宏失败在 0x1c", "macro-not-found", E, "ID 4294967295: no RilStringMacro= after the ID at 0x1c"},
        {&kMacroTooLong, {N(1001), N(0xab)}, "警告: 发现ID=1001的项,超长的宏在 0xab", "macro-too-long", W, "ID 1001: over-long macro (more than 127 characters) cut to 127 at 0xab"},
        {&kTextNotFound, {N(7), T("OK")}, "寻找ID=7,宏为 'OK' 的字串内容失败!", "text-not-found", E, "ID 7: no text in braces found for macro 'OK'"},
        {&kRecordAllocationFailed, {}, "为Ril String分配内存失败!", "out-of-memory", E, "not enough memory for a string"},
        {&kGapCount, {N(-1004)}, "black Num: -1004", "gap-count", I, "gap count: -1004 (IDs left unused between the items' IDs)"},
        {&kNoFreeId, {N(0x10)}, "位于 0x10 的项需要新ID, 但它之前的ID之间已没有空闲的ID!", "no-free-id", E, "the item at 0x10 asks for a new ID, but no unused ID is left between the IDs before it"},
        {&kCloseBraceFirst, {N(0x2f)}, "在寻找 { 时却碰到一个 } 位于 0x2f !", "unexpected-closing-brace", E, "'}' at 0x2f while looking for '{'"},
        {&kOpenBraceInText, {N(0x30)}, "在寻找 } 时却碰到一个 { 位于 0x30 !", "opening-brace-in-text", E, "'{' at 0x30 while looking for '}'"},
        {&kEndInsideText, {}, "在寻找 } 时却碰到文件结尾", "unterminated-text", E, "end of file while looking for '}'"},
        {&kReadEntryFailed, {N(0xffffffff)}, "读取 ID = 0xffffffff 的Ril字串失败 !", "cannot-read-entry", E, "cannot read the string of ID 0xffffffff"},
        {&kCannotOpenText, {T("o.txt")}, "无法为写入文本资源而打开 o.txt !", "cannot-open-text", E, "cannot open 'o.txt' to write the text resource"},
        {&kTextWriteFailed, {}, "文本文件写入失败 !", "cannot-write-text", E, "cannot write the text file"},
        {&kCannotOpenHeader, {T("a.h")}, "Failed to open head file 'a.h'!", "cannot-open-header", E, "cannot open header file 'a.h'"},
        {&kCannotWriteHeader, {T("a.h")}, "Failed to write head file 'a.h'!", "cannot-write-header", E, "cannot write header file 'a.h'"},
        {&kExportCannotHold, {T("o.txt"), T("3, 4")}, "无法导出到 o.txt : 以下ID的项无法写成文本资源 (文本含有 { 或 } 或以孤立的前导字节结尾, 或宏含有换行符): 3, 4", "export-cannot-hold", E, "cannot export to 'o.txt': a text resource cannot hold the items of these IDs (a text with '{' or '}' or ending in a lone lead byte, or a macro with a line break): 3, 4"},
        {&kHeaderMacroNotIdentifier, {T("a.h"), T("9")}, "无法写入头文件 a.h : 以下ID的项的宏不能构成C标识符: 9", "macro-not-identifier", E, "cannot write header file 'a.h': the macros of the items of these IDs cannot form a C identifier: 9"},
        {&kEmptyMacro, {N(8), N(128)}, "Error: ID=8 的项 宏长度为0! (合法的宏长度必须大于0 小于128)", "empty-macro", E, "ID 8: empty macro (a macro is longer than 0 and shorter than 128 characters)"},
        {&kIllegalMacroCharacter, {N(7), T("a b"), T(" ")}, "Error: ID=7, 宏='a b' 的项 宏中包含非法字符' '! (合法的宏字符只能是大写英文字母、数字和下划线!)", "illegal-macro-character", E, "ID 7: macro 'a b' holds the illegal character ' ' (only upper-case letters, digits and '_' are allowed)"},
        {&kDuplicateMacro, {N(5), T("X"), N(7), T("X")}, "Error: ID=5, 宏='X'的项 和 ID=7, 宏='X'的项 宏重复了!", "duplicate-macro", E, "duplicate macro: ID 5, macro 'X', and ID 7, macro 'X'"},
        {&kDuplicateId, {N(2147483648), T("B"), N(2147483648), T("")}, "Error: ID=2147483648, 宏='B'的项 和 ID=2147483648, 宏=''的项 ID值重复了!", "duplicate-id", E, "duplicate ID: ID 2147483648, macro 'B', and ID 2147483648, macro ''"},
        {&kLogCannotCreate, {}, "无法创建或打开指定的log文件!", "cannot-create-log", E, "cannot create or open the log file"},
        {&kCannotWriteLog, {T("i.log")}, "无法写入 i.log , 文件未被更改 !", "cannot-write-log", E, "cannot write a line to the log 'i.log'"},
        {&kInvalidSourceDateEpoch, {T("-1")}, "警告: 环境变量 SOURCE_DATE_EPOCH 的值 -1 无效, 改用本地时间 !", "invalid-source-date-epoch", W, "SOURCE_DATE_EPOCH '-1' is no number of seconds from 1970 to the end of 9999; the local time is used"},
        {&kLogEntry, {T(msg::kLogTitle)}, "//导入文本资源到BIN\r\n", "import-log-entry", I, msg::kLogTitle},
        {&kNewId, {N(1002), T("C")}, "新ID 1002 分配给宏为 'C' 的项", "new-id", I, "new ID 1002 for macro 'C'"},
        {&kIdMissing, {}, "'RilStringID=' 之后没有ID: 读作 0", "id-missing", W, "no ID after 'RilStringID=': it reads as 0"},
        {&kIdOutOfRange, {T("4294967296")}, "ID '4294967296' 超出32位范围", "id-out-of-range", W, "ID '4294967296' does not fit in 32 bits"},
        {&kReadAsUtf16Mark, {}, "按UTF-16LE读取 (字节顺序标记 FF FE)", "read-as-utf16-mark", I, "read as UTF-16LE (byte-order mark FF FE)"},
    };
    // clang-format on
    for (Row const &row : rows) {
        SCOPED_TRACE(row.id);
        EXPECT_EQ(catalogue::Find(row.id), row.message);
        // Chinese through the plain handler, English through the parts handler; new-id is for
        // the parts handler alone.
        bool const partsOnly = row.message == &catalogue::kNewId;
        auto const raise = [&] {
            if (partsOnly)
                InformPartsHandler(*row.message, {}, row.args.data(), row.args.size());
            else
                RaiseNotice(*row.message, {}, nullptr, row.args.data(), row.args.size());
        };
        const std::string gbk = Gbk(row.chinese);
        Ril_SetMessageLanguage(RIL_MESSAGES_CHINESE);
        raise();
        ExpectNotice(partsOnly ? "" : gbk);
        Ril_SetMessageLanguage(RIL_MESSAGES_ENGLISH);
        PartsCapture parts;
        // Declined, the informations for the parts handler alone reach nothing.
        EXPECT_EQ(Ril_SetNewIdNotices(0), 1);
        raise();
        EXPECT_EQ(Ril_SetNewIdNotices(7), 0);
        EXPECT_EQ(parts.seen.size(), partsOnly ? 0u : 1u);
        raise();
        ASSERT_FALSE(parts.seen.empty());
        NoticeParts const &got = parts.seen.back();
        EXPECT_EQ(std::tie(got.id, got.severity, got.text, got.chinese),
                  std::make_tuple(row.id, int(row.severity), row.english, gbk));
        ExpectNotice("");
    }
    EXPECT_EQ(catalogue::Find("no-such-message"), nullptr);
    EXPECT_EQ(catalogue::Find(nullptr), nullptr);
}

// Numbers are 32-bit, as printf takes them; missing arguments render as nothing. The cut at
// 1023 bytes is checked through the error box.
TEST(MessageRendering, FollowsPrintf) {
    const NoticeArg args[] = {MakeNoticeArg(-1), MakeNoticeArg(0)};
    EXPECT_EQ(RenderFormat("%u|%x|%d|%%|%s|%q", args, 1), "4294967295|||%||%q");
    EXPECT_EQ(RenderFormat("%d %s", args, 2), "-1 0");
}

} // namespace
} // namespace ril::test
