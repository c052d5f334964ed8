// The message catalogue holds GBK bytes that read back as the intended texts.
#include "core/messages.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

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
    };
    for (const auto &[gbk, utf8] : catalogue)
        EXPECT_EQ(gbk, Gbk(utf8)) << utf8;
}

} // namespace
} // namespace ril::test
