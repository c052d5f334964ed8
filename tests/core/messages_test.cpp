// The message catalogue: GBK bytes that read back as the intended texts, and every message
// rendered in both languages from the same arguments, with its identifier and severity.
#include "core/messages.h"
#include "core/notice.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <set>

namespace ril::test {
namespace {

TEST(Messages, CatalogueIsGbk) {
    const std::pair<const char *, const char *> catalogue[] = {
        {msg::kNoBinNoTable, "没有指定BIN文件，当前也没有加载BIN!"},
        {msg::kLoadedBinBeingEdited, "当前加载的BIN正在编辑中，请结束编辑再继续 !"},
        {msg::kCannotOpenForUpdate, "无法为更新资源而打开 %s !"},
        {msg::kCannotWriteBin, "无法写入 %s , 文件未被更改 !"},
        {msg::kCannotOpen, "无法打开 %s !"},
        {msg::kCannotAllocateLoad, "无法为Load %s 分配内存!"},
        {msg::kCannotRead, "无法读取 %s !"},
        {msg::kBigEndianUnicode, "这是逆序 Unicode (U-) 文本,本软件不支持 %s !"},
        {msg::kMacroNotFound, "为ID=%u的项寻找宏失败在 0x%x"},
        {msg::kMacroTooLong, "警告: 发现ID=%u的项,超长的宏在 0x%x"},
        {msg::kTextNotFound, "寻找ID=%u,宏为 '%s' 的字串内容失败!"},
        {msg::kRecordAllocationFailed, "为Ril String分配内存失败!"},
        {msg::kGapCount, "black Num: %d"},
        {msg::kNoFreeId, "位于 0x%x 的项需要新ID, 但它之前的ID之间已没有空闲的ID!"},
        {msg::kCloseBraceFirst, "在寻找 { 时却碰到一个 } 位于 0x%x !"},
        {msg::kOpenBraceInText, "在寻找 } 时却碰到一个 { 位于 0x%x !"},
        {msg::kEndInsideText, "在寻找 } 时却碰到文件结尾"},
        {msg::kReadEntryFailed, "读取 ID = 0x%x 的Ril字串失败 !"},
        {msg::kCannotOpenText, "无法为写入文本资源而打开 %s !"},
        {msg::kTextWriteFailed, "文本文件写入失败 !"},
        {msg::kCannotOpenHeader, "Failed to open head file '%s'!"},
        {msg::kCannotWriteHeader, "Failed to write head file '%s'!"},
        {msg::kExportCannotHold, "无法导出到 %s : 以下ID的项无法写成文本资源 (文本含有 { 或 } "
                                 "或以孤立的前导字节结尾, 或宏含有换行符): %s"},
        {msg::kHeaderMacroNotIdentifier, "无法写入头文件 %s : 以下ID的项的宏不能构成C标识符: %s"},
        {msg::kEmptyMacro, "Error: ID=%u 的项 宏长度为0! (合法的宏长度必须大于0 小于%u)"},
        {msg::kIllegalMacroCharacter, "Error: ID=%u, 宏='%s' 的项 宏中包含非法字符'%s'! "
                                      "(合法的宏字符只能是大写英文字母、数字和下划线!)"},
        {msg::kDuplicateMacro, "Error: ID=%u, 宏='%s'的项 和 ID=%u, 宏='%s'的项 宏重复了!"},
        {msg::kDuplicateId, "Error: ID=%u, 宏='%s'的项 和 ID=%u, 宏='%s'的项 ID值重复了!"},
        {msg::kLogCannotCreate, "无法创建或打开指定的log文件!"},
        {msg::kLogRule, "\r\n\r\n---------------------------------------\r\n"},
        {msg::kLogTitle, "//导入文本资源到BIN\r\n"},
        {msg::kLogOperator, "//操作者:%s\r\n"},
        {msg::kLogSource, "//源文本文件:%s\r\n"},
        {msg::kLogTarget, "//目标BIN文件:%s\r\n"},
        {msg::kLogSuccess, "\r\n----导入圆满成功！-----------------------------------\r\n"},
        {msg::kLogFailure, "\r\n----导入失败！-----------------------------------\r\n"},
        {msg::kNewId, "新ID %u 分配给宏为 '%s' 的项"},
    };
    for (const auto &[gbk, utf8] : catalogue)
        EXPECT_EQ(gbk, Gbk(utf8)) << utf8;
}

NoticeArg N(long long number) {
    return MakeNoticeArg(number);
}
NoticeArg T(const char *text) {
    return MakeNoticeArg(text);
}

struct Delivered {
    std::string id;
    int severity = -1;
    std::string text;
};

void Keep(void *context, const RIL_NOTICE *notice) {
    *static_cast<Delivered *>(context) =
        Delivered{notice->messageId, notice->severity, notice->text};
}

// The conversions of a format in order ("%s%u"), which both languages must share.
std::string Conversions(const char *format) {
    std::string out;
    for (const char *at = format; *at != '\0'; ++at)
        if (*at == '%' && at[1] != '\0')
            out.append(at, 2), ++at;
    return out;
}

struct Row {
    const msg::Message *message;
    std::vector<NoticeArg> args;
    std::string gbk; // the designed text, formatted by printf
    const char *id;
    RIL_SEVERITY severity;
    const char *english;
};

using MessageCatalogue = LibraryTest;

TEST_F(MessageCatalogue, EveryMessageRendersInBothLanguages) {
    using namespace catalogue;
    const char *longPath = "C:\\res\\a.txt";
    const RIL_SEVERITY E = RIL_SEVERITY_ERROR, W = RIL_SEVERITY_WARNING,
                       I = RIL_SEVERITY_INFORMATION;
    // clang-format off
    const Row rows[] = {
        {&kNoBinNoTable, {}, msg::kNoBinNoTable, "no-bin", E, "no BIN file given and no BIN loaded"},
        {&kLoadedBinBeingEdited, {}, msg::kLoadedBinBeingEdited, "bin-being-edited", E, "the loaded BIN is being edited; end the editing session first"},
        {&kCannotOpenForUpdate, {T("s.bin")}, Printf(msg::kCannotOpenForUpdate, "s.bin"), "cannot-open-for-update", E, "cannot open 's.bin' for writing"},
        {&kCannotWriteBin, {T("s.bin")}, Printf(msg::kCannotWriteBin, "s.bin"), "cannot-write", E, "cannot write 's.bin'; the file is unchanged"},
        {&kCannotOpen, {T(longPath)}, Printf(msg::kCannotOpen, longPath), "cannot-open", E, "cannot open 'C:\\res\\a.txt'"},
        {&kCannotAllocateLoad, {T("a.txt")}, Printf(msg::kCannotAllocateLoad, "a.txt"), "cannot-allocate-load", E, "not enough memory to load 'a.txt'"},
        {&kCannotRead, {T("a.txt")}, Printf(msg::kCannotRead, "a.txt"), "cannot-read", E, "cannot read 'a.txt'"},
        {&kBigEndianUnicode, {T("a.txt")}, Printf(msg::kBigEndianUnicode, "a.txt"), "big-endian-unicode", E, "big-endian UTF-16 text is not supported: 'a.txt'"},
        {&kMacroNotFound, {N(4294967295), N(0x1c)}, Printf(msg::kMacroNotFound, 4294967295u, 0x1cu), "macro-not-found", E, "ID 4294967295: no RilStringMacro= after the ID at 0x1c"},
        {&kMacroTooLong, {N(1001), N(0xab)}, Printf(msg::kMacroTooLong, 1001u, 0xabu), "macro-too-long", W, "ID 1001: over-long macro (127 characters or more) at 0xab"},
        {&kTextNotFound, {N(7), T("OK")}, Printf(msg::kTextNotFound, 7u, "OK"), "text-not-found", E, "ID 7: no text in braces found for macro 'OK'"},
        {&kRecordAllocationFailed, {}, msg::kRecordAllocationFailed, "out-of-memory", E, "not enough memory for a string"},
        {&kGapCount, {N(-1004)}, Printf(msg::kGapCount, -1004), "gap-count", I, "gap count: -1004 (IDs left unused between the items' IDs)"},
        {&kNoFreeId, {N(0x10)}, Printf(msg::kNoFreeId, 0x10u), "no-free-id", E, "the item at 0x10 asks for a new ID, but no unused ID is left between the IDs before it"},
        {&kCloseBraceFirst, {N(0x2f)}, Printf(msg::kCloseBraceFirst, 0x2fu), "unexpected-closing-brace", E, "'}' at 0x2f while looking for '{'"},
        {&kOpenBraceInText, {N(0x30)}, Printf(msg::kOpenBraceInText, 0x30u), "opening-brace-in-text", E, "'{' at 0x30 while looking for '}'"},
        {&kEndInsideText, {}, msg::kEndInsideText, "unterminated-text", E, "end of file while looking for '}'"},
        {&kReadEntryFailed, {N(0xffffffff)}, Printf(msg::kReadEntryFailed, 0xffffffffu), "cannot-read-entry", E, "cannot read the string of ID 0xffffffff"},
        {&kCannotOpenText, {T("o.txt")}, Printf(msg::kCannotOpenText, "o.txt"), "cannot-open-text", E, "cannot open 'o.txt' to write the text resource"},
        {&kTextWriteFailed, {}, msg::kTextWriteFailed, "cannot-write-text", E, "cannot write the text file"},
        {&kCannotOpenHeader, {T("a.h")}, Printf(msg::kCannotOpenHeader, "a.h"), "cannot-open-header", E, "cannot open header file 'a.h'"},
        {&kCannotWriteHeader, {T("a.h")}, Printf(msg::kCannotWriteHeader, "a.h"), "cannot-write-header", E, "cannot write header file 'a.h'"},
        {&kExportCannotHold, {T("o.txt"), T("3, 4")}, Printf(msg::kExportCannotHold, "o.txt", "3, 4"), "export-cannot-hold", E, "cannot export to 'o.txt': a text resource cannot hold the items of these IDs (a text with '{' or '}' or ending in a lone lead byte, or a macro with a line break): 3, 4"},
        {&kHeaderMacroNotIdentifier, {T("a.h"), T("9")}, Printf(msg::kHeaderMacroNotIdentifier, "a.h", "9"), "macro-not-identifier", E, "cannot write header file 'a.h': the macros of the items of these IDs cannot form a C identifier: 9"},
        {&kEmptyMacro, {N(8), N(128)}, Printf(msg::kEmptyMacro, 8u, 128u), "empty-macro", E, "ID 8: empty macro (a macro is longer than 0 and shorter than 128 characters)"},
        {&kIllegalMacroCharacter, {N(7), T("a b"), T(" ")}, Printf(msg::kIllegalMacroCharacter, 7u, "a b", " "), "illegal-macro-character", E, "ID 7: macro 'a b' holds the illegal character ' ' (only upper-case letters, digits and '_' are allowed)"},
        {&kDuplicateMacro, {N(5), T("X"), N(7), T("X")}, Printf(msg::kDuplicateMacro, 5u, "X", 7u, "X"), "duplicate-macro", E, "duplicate macro: ID 5, macro 'X', and ID 7, macro 'X'"},
        {&kDuplicateId, {N(2147483648), T("B"), N(2147483648), T("")}, Printf(msg::kDuplicateId, 2147483648u, "B", 2147483648u, ""), "duplicate-id", E, "duplicate ID: ID 2147483648, macro 'B', and ID 2147483648, macro ''"},
        {&kLogCannotCreate, {}, msg::kLogCannotCreate, "cannot-create-log", E, "cannot create or open the log file"},
        {&kLogEntry, {T(msg::kLogTitle)}, msg::kLogTitle, "import-log-entry", I, msg::kLogTitle},
        {&kNewId, {N(1002), T("C")}, Printf(msg::kNewId, 1002u, "C"), "new-id", I, "new ID 1002 for macro 'C'"},
    };
    // clang-format on
    ASSERT_EQ(std::size(rows), catalogue::kCount);
    std::set<const msg::Message *> covered;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.id);
        EXPECT_TRUE(covered.insert(row.message).second);
        EXPECT_EQ(catalogue::Find(row.id), row.message);
        if (row.message->english != nullptr) {
            EXPECT_EQ(Conversions(row.message->english), Conversions(row.message->gbk));
        }
        // Chinese through the plain handler, English through the parts handler; new-id is for
        // the parts handler alone.
        const bool partsOnly = row.message == &catalogue::kNewId;
        const auto raise = [&] {
            if (partsOnly)
                InformPartsHandler(*row.message, {}, row.args.data(), row.args.size());
            else
                RaiseNotice(*row.message, {}, nullptr, row.args.data(), row.args.size());
        };
        Ril_SetMessageLanguage(RIL_MESSAGES_CHINESE);
        raise();
        ExpectNotice(partsOnly ? "" : row.gbk);
        EXPECT_EQ(RenderMessage(*row.message, platform::NoticeLanguage::Chinese, row.args.data(),
                                row.args.size()),
                  row.gbk);
        Delivered got;
        Ril_SetNoticeHandlerEx(&Keep, &got);
        Ril_SetMessageLanguage(RIL_MESSAGES_ENGLISH);
        raise();
        Ril_SetNoticeHandlerEx(nullptr, nullptr);
        EXPECT_EQ(got.id, row.id);
        EXPECT_EQ(got.severity, row.severity);
        EXPECT_EQ(got.text, row.english);
        ExpectNotice("");
    }
    EXPECT_EQ(catalogue::Find("no-such-message"), nullptr);
    EXPECT_EQ(catalogue::Find(nullptr), nullptr);
}

TEST(MessageRendering, FollowsPrintfAndCutsAt1023Bytes) {
    const std::string path(1100, 'p');
    const NoticeArg args[] = {MakeNoticeArg(path.c_str()), MakeNoticeArg(-1), MakeNoticeArg(0)};
    EXPECT_EQ(RenderFormat(msg::kCannotOpen, args, 1),
              Printf(msg::kCannotOpen, path.c_str()).substr(0, 1023));
    // Numbers are 32-bit, as printf takes them; missing arguments render as nothing.
    EXPECT_EQ(RenderFormat("%u|%x|%d|%%|%s|%q", args + 1, 1), "4294967295|||%||%q");
    EXPECT_EQ(RenderFormat("%d %s", args + 1, 2), "-1 0");
}

} // namespace
} // namespace ril::test
