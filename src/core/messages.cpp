// Message catalogue. The texts are GBK bytes whatever the ANSI code page is; each definition
// carries its readable text above it (regenerate with scripts/gbk-literals.py).
#include "core/messages.h"

#include <cstring>

namespace ril::core::msg {

// 没有指定BIN文件，当前也没有加载BIN!
char const kNoBinNoTable[] =
    "\xC3\xBB\xD3\xD0\xD6\xB8\xB6\xA8"
    "BIN\xCE\xC4\xBC\xFE\xA3\xAC\xB5\xB1\xC7\xB0\xD2\xB2\xC3\xBB\xD3\xD0\xBC\xD3\xD4\xD8"
    "BIN!";
// 当前加载的BIN正在编辑中，请结束编辑再继续 !
char const kLoadedBinBeingEdited[] = "\xB5\xB1\xC7\xB0\xBC\xD3\xD4\xD8\xB5\xC4"
                                     "BIN\xD5\xFD\xD4\xDA\xB1\xE0\xBC\xAD\xD6\xD0\xA3\xAC\xC7\xEB"
                                     "\xBD\xE1\xCA\xF8\xB1\xE0\xBC\xAD\xD4\xD9\xBC\xCC\xD0\xF8 !";
// 无法为更新资源而打开 %s !
char const kCannotOpenForUpdate[] =
    "\xCE\xDE\xB7\xA8\xCE\xAA\xB8\xFC\xD0\xC2\xD7\xCA\xD4\xB4\xB6\xF8\xB4\xF2\xBF\xAA %s !";
// 无法写入 %s , 文件未被更改 !
char const kCannotWriteBin[] =
    "\xCE\xDE\xB7\xA8\xD0\xB4\xC8\xEB %s , \xCE\xC4\xBC\xFE\xCE\xB4\xB1\xBB\xB8\xFC\xB8\xC4 !";
// 无法打开 %s !
char const kCannotOpen[] = "\xCE\xDE\xB7\xA8\xB4\xF2\xBF\xAA %s !";
// 无法为Load %s 分配内存!
char const kCannotAllocateLoad[] =
    "\xCE\xDE\xB7\xA8\xCE\xAALoad %s \xB7\xD6\xC5\xE4\xC4\xDA\xB4\xE6!";
// 无法读取 %s !
char const kCannotRead[] = "\xCE\xDE\xB7\xA8\xB6\xC1\xC8\xA1 %s !";
// 这是逆序 Unicode (U-) 文本,本软件不支持 %s !
char const kBigEndianUnicode[] =
    "\xD5\xE2\xCA\xC7\xC4\xE6\xD0\xF2 Unicode (U-) "
    "\xCE\xC4\xB1\xBE,\xB1\xBE\xC8\xED\xBC\xFE\xB2\xBB\xD6\xA7\xB3\xD6 %s !";
// 为ID=%u的项寻找宏失败在 0x%x
char const kMacroNotFound[] =
    "\xCE\xAAID=%u\xB5\xC4\xCF\xEE\xD1\xB0\xD5\xD2\xBA\xEA\xCA\xA7\xB0\xDC\xD4\xDA 0x%x";
// 警告: 发现ID=%u的项,超长的宏在 0x%x
char const kMacroTooLong[] =
    "\xBE\xAF\xB8\xE6: "
    "\xB7\xA2\xCF\xD6ID=%u\xB5\xC4\xCF\xEE,\xB3\xAC\xB3\xA4\xB5\xC4\xBA\xEA\xD4\xDA 0x%x";
// 寻找ID=%u,宏为 '%s' 的字串内容失败!
char const kTextNotFound[] = "\xD1\xB0\xD5\xD2ID=%u,\xBA\xEA\xCE\xAA '%s' "
                             "\xB5\xC4\xD7\xD6\xB4\xAE\xC4\xDA\xC8\xDD\xCA\xA7\xB0\xDC!";
// 为Ril String分配内存失败!
char const kRecordAllocationFailed[] =
    "\xCE\xAARil String\xB7\xD6\xC5\xE4\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!";
// black Num: %d
char const kGapCount[] = "black Num: %d";
// 位于 0x%x 的项需要新ID, 但它之前的ID之间已没有空闲的ID!
char const kNoFreeId[] = "\xCE\xBB\xD3\xDA 0x%x \xB5\xC4\xCF\xEE\xD0\xE8\xD2\xAA\xD0\xC2ID, "
                         "\xB5\xAB\xCB\xFC\xD6\xAE\xC7\xB0\xB5\xC4ID\xD6\xAE\xBC\xE4\xD2\xD1\xC3"
                         "\xBB\xD3\xD0\xBF\xD5\xCF\xD0\xB5\xC4ID!";
// 在寻找 { 时却碰到一个 } 位于 0x%x !
char const kCloseBraceFirst[] =
    "\xD4\xDA\xD1\xB0\xD5\xD2 { \xCA\xB1\xC8\xB4\xC5\xF6\xB5\xBD\xD2\xBB\xB8\xF6 } "
    "\xCE\xBB\xD3\xDA 0x%x !";
// 在寻找 } 时却碰到一个 { 位于 0x%x !
char const kOpenBraceInText[] =
    "\xD4\xDA\xD1\xB0\xD5\xD2 } \xCA\xB1\xC8\xB4\xC5\xF6\xB5\xBD\xD2\xBB\xB8\xF6 { "
    "\xCE\xBB\xD3\xDA 0x%x !";
// 在寻找 } 时却碰到文件结尾
char const kEndInsideText[] =
    "\xD4\xDA\xD1\xB0\xD5\xD2 } \xCA\xB1\xC8\xB4\xC5\xF6\xB5\xBD\xCE\xC4\xBC\xFE\xBD\xE1\xCE\xB2";
// Error: ID=%u 的项 宏长度为0! (合法的宏长度必须大于0 小于%u)
char const kEmptyMacro[] =
    "Error: ID=%u \xB5\xC4\xCF\xEE \xBA\xEA\xB3\xA4\xB6\xC8\xCE\xAA"
    "0! (\xBA\xCF\xB7\xA8\xB5\xC4\xBA\xEA\xB3\xA4\xB6\xC8\xB1\xD8\xD0\xEB\xB4\xF3\xD3\xDA"
    "0 \xD0\xA1\xD3\xDA%u)";
// Error: ID=%u, 宏='%s' 的项 宏中包含非法字符'%s'! (合法的宏字符只能是大写英文字母、数字和下划线!)
char const kIllegalMacroCharacter[] =
    "Error: ID=%u, \xBA\xEA='%s' \xB5\xC4\xCF\xEE "
    "\xBA\xEA\xD6\xD0\xB0\xFC\xBA\xAC\xB7\xC7\xB7\xA8\xD7\xD6\xB7\xFB'%s'! "
    "(\xBA\xCF\xB7\xA8\xB5\xC4\xBA\xEA\xD7\xD6\xB7\xFB\xD6\xBB\xC4\xDC\xCA\xC7\xB4\xF3\xD0\xB4\xD3"
    "\xA2\xCE\xC4\xD7\xD6\xC4\xB8\xA1\xA2\xCA\xFD\xD7\xD6\xBA\xCD\xCF\xC2\xBB\xAE\xCF\xDF!)";
// Error: ID=%u, 宏='%s'的项 和 ID=%u, 宏='%s'的项 宏重复了!
char const kDuplicateMacro[] = "Error: ID=%u, \xBA\xEA='%s'\xB5\xC4\xCF\xEE \xBA\xCD ID=%u, "
                               "\xBA\xEA='%s'\xB5\xC4\xCF\xEE \xBA\xEA\xD6\xD8\xB8\xB4\xC1\xCB!";
// Error: ID=%u, 宏='%s'的项 和 ID=%u, 宏='%s'的项 ID值重复了!
char const kDuplicateId[] = "Error: ID=%u, \xBA\xEA='%s'\xB5\xC4\xCF\xEE \xBA\xCD ID=%u, "
                            "\xBA\xEA='%s'\xB5\xC4\xCF\xEE ID\xD6\xB5\xD6\xD8\xB8\xB4\xC1\xCB!";
// 无法创建或打开指定的log文件!
char const kLogCannotCreate[] = "\xCE\xDE\xB7\xA8\xB4\xB4\xBD\xA8\xBB\xF2\xB4\xF2\xBF\xAA\xD6\xB8"
                                "\xB6\xA8\xB5\xC4log\xCE\xC4\xBC\xFE!";
// \r\n\r\n---------------------------------------\r\n
char const kLogRule[] = "\r\n\r\n---------------------------------------\r\n";
// //导入文本资源到BIN\r\n
char const kLogTitle[] = "//\xB5\xBC\xC8\xEB\xCE\xC4\xB1\xBE\xD7\xCA\xD4\xB4\xB5\xBD"
                         "BIN\r\n";
// //操作者:%s\r\n
char const kLogOperator[] = "//\xB2\xD9\xD7\xF7\xD5\xDF:%s\r\n";
// //源文本文件:%s\r\n
char const kLogSource[] = "//\xD4\xB4\xCE\xC4\xB1\xBE\xCE\xC4\xBC\xFE:%s\r\n";
// //目标BIN文件:%s\r\n
char const kLogTarget[] = "//\xC4\xBF\xB1\xEA"
                          "BIN\xCE\xC4\xBC\xFE:%s\r\n";
// \r\n----导入圆满成功！-----------------------------------\r\n
char const kLogSuccess[] = "\r\n----\xB5\xBC\xC8\xEB\xD4\xB2\xC2\xFA\xB3\xC9\xB9\xA6\xA3\xA1-------"
                           "----------------------------\r\n";
// \r\n----导入失败！-----------------------------------\r\n
char const kLogFailure[] =
    "\r\n----\xB5\xBC\xC8\xEB\xCA\xA7\xB0\xDC\xA3\xA1-----------------------------------\r\n";
// 读取 ID = 0x%x 的Ril字串失败 !
char const kReadEntryFailed[] =
    "\xB6\xC1\xC8\xA1 ID = 0x%x \xB5\xC4Ril\xD7\xD6\xB4\xAE\xCA\xA7\xB0\xDC !";
// 无法为写入文本资源而打开 %s !
char const kCannotOpenText[] = "\xCE\xDE\xB7\xA8\xCE\xAA\xD0\xB4\xC8\xEB\xCE\xC4\xB1\xBE\xD7\xCA"
                               "\xD4\xB4\xB6\xF8\xB4\xF2\xBF\xAA %s !";
// 文本文件写入失败 !
char const kTextWriteFailed[] =
    "\xCE\xC4\xB1\xBE\xCE\xC4\xBC\xFE\xD0\xB4\xC8\xEB\xCA\xA7\xB0\xDC !";
// Failed to open head file '%s'!
char const kCannotOpenHeader[] = "Failed to open head file '%s'!";
// Failed to write head file '%s'!
char const kCannotWriteHeader[] = "Failed to write head file '%s'!";
// 无法导出到 %s : 以下ID的项无法写成文本资源 (文本含有 { 或 } 或以孤立的前导字节结尾,
// 或宏含有换行符): %s
char const kExportCannotHold[] =
    "\xCE\xDE\xB7\xA8\xB5\xBC\xB3\xF6\xB5\xBD %s : "
    "\xD2\xD4\xCF\xC2ID\xB5\xC4\xCF\xEE\xCE\xDE\xB7\xA8\xD0\xB4\xB3\xC9\xCE\xC4\xB1\xBE\xD7\xCA\xD4"
    "\xB4 (\xCE\xC4\xB1\xBE\xBA\xAC\xD3\xD0 { \xBB\xF2 } "
    "\xBB\xF2\xD2\xD4\xB9\xC2\xC1\xA2\xB5\xC4\xC7\xB0\xB5\xBC\xD7\xD6\xBD\xDA\xBD\xE1\xCE\xB2, "
    "\xBB\xF2\xBA\xEA\xBA\xAC\xD3\xD0\xBB\xBB\xD0\xD0\xB7\xFB): %s";
// 无法写入头文件 %s : 以下ID的项的宏不能构成C标识符: %s
char const kHeaderMacroNotIdentifier[] =
    "\xCE\xDE\xB7\xA8\xD0\xB4\xC8\xEB\xCD\xB7\xCE\xC4\xBC\xFE %s : "
    "\xD2\xD4\xCF\xC2ID\xB5\xC4\xCF\xEE\xB5\xC4\xBA\xEA\xB2\xBB\xC4\xDC\xB9\xB9\xB3\xC9"
    "C\xB1\xEA\xCA\xB6\xB7\xFB: %s";

// 新ID %u 分配给宏为 '%s' 的项
char const kNewId[] =
    "\xD0\xC2ID %u \xB7\xD6\xC5\xE4\xB8\xF8\xBA\xEA\xCE\xAA '%s' \xB5\xC4\xCF\xEE";
// %s 就是要读取的文件 %s , 不能覆盖它 !
char const kWritesOwnInput[] =
    "%s \xBE\xCD\xCA\xC7\xD2\xAA\xB6\xC1\xC8\xA1\xB5\xC4\xCE\xC4\xBC\xFE %s , "
    "\xB2\xBB\xC4\xDC\xB8\xB2\xB8\xC7\xCB\xFC !";
// 警告: 环境变量 SOURCE_DATE_EPOCH 的值 %s 无效, 改用本地时间 !
char const kInvalidSourceDateEpoch[] =
    "\xBE\xAF\xB8\xE6: \xBB\xB7\xBE\xB3\xB1\xE4\xC1\xBF SOURCE_DATE_EPOCH \xB5\xC4\xD6\xB5 %s "
    "\xCE\xDE\xD0\xA7, \xB8\xC4\xD3\xC3\xB1\xBE\xB5\xD8\xCA\xB1\xBC\xE4 !";

// Why a file is no BIN (the structural check before a BIN is read).
// 不是BIN文件: 文件为空
char const kBinEmpty[] = "\xB2\xBB\xCA\xC7"
                         "BIN\xCE\xC4\xBC\xFE: \xCE\xC4\xBC\xFE\xCE\xAA\xBF\xD5";
// 不是BIN文件: 只有 %u 字节, 短于 12 字节的文件头
char const kBinShortHeader[] =
    "\xB2\xBB\xCA\xC7"
    "BIN\xCE\xC4\xBC\xFE: \xD6\xBB\xD3\xD0 %u \xD7\xD6\xBD\xDA, \xB6\xCC\xD3\xDA 12 "
    "\xD7\xD6\xBD\xDA\xB5\xC4\xCE\xC4\xBC\xFE\xCD\xB7";
// 不是BIN文件: 持有者标志为 %u (应为 0 或 1)
char const kBinHolderFlag[] =
    "\xB2\xBB\xCA\xC7"
    "BIN\xCE\xC4\xBC\xFE: \xB3\xD6\xD3\xD0\xD5\xDF\xB1\xEA\xD6\xBE\xCE\xAA %u (\xD3\xA6\xCE\xAA 0 "
    "\xBB\xF2 1)";
// 不是BIN文件: 第 %u 项 (共 %u 项) 超出了文件结尾
char const kBinEntryPastEnd[] = "\xB2\xBB\xCA\xC7"
                                "BIN\xCE\xC4\xBC\xFE: \xB5\xDA %u \xCF\xEE (\xB9\xB2 %u \xCF\xEE) "
                                "\xB3\xAC\xB3\xF6\xC1\xCB\xCE\xC4\xBC\xFE\xBD\xE1\xCE\xB2";
// 不是BIN文件: 第 %u 项 (共 %u 项, ID %u) 的ID不小于 %u (最大ID + 10)
char const kBinIdBeyond[] = "\xB2\xBB\xCA\xC7"
                            "BIN\xCE\xC4\xBC\xFE: \xB5\xDA %u \xCF\xEE (\xB9\xB2 %u \xCF\xEE, ID "
                            "%u) \xB5\xC4ID\xB2\xBB\xD0\xA1\xD3\xDA %u (\xD7\xEE\xB4\xF3ID + 10)";
// 不是BIN文件: 第 %u 项 (共 %u 项, ID %u) 的 %u 字节记录容不下它的宏
char const kBinRecordWithoutMacro[] =
    "\xB2\xBB\xCA\xC7"
    "BIN\xCE\xC4\xBC\xFE: \xB5\xDA %u \xCF\xEE (\xB9\xB2 %u \xCF\xEE, ID %u) \xB5\xC4 %u "
    "\xD7\xD6\xBD\xDA\xBC\xC7\xC2\xBC\xC8\xDD\xB2\xBB\xCF\xC2\xCB\xFC\xB5\xC4\xBA\xEA";
// 不是BIN文件: 没有空间容纳持有者标志所声明的持有者标记
char const kBinNoMarkerRoom[] =
    "\xB2\xBB\xCA\xC7"
    "BIN\xCE\xC4\xBC\xFE: "
    "\xC3\xBB\xD3\xD0\xBF\xD5\xBC\xE4\xC8\xDD\xC4\xC9\xB3\xD6\xD3\xD0\xD5\xDF\xB1\xEA\xD6\xBE\xCB"
    "\xF9\xC9\xF9\xC3\xF7\xB5\xC4\xB3\xD6\xD3\xD0\xD5\xDF\xB1\xEA\xBC\xC7";
// 不是BIN文件: %u 字节的持有者标记超出了文件
char const kBinMarkerTooLong[] = "\xB2\xBB\xCA\xC7"
                                 "BIN\xCE\xC4\xBC\xFE: %u "
                                 "\xD7\xD6\xBD\xDA\xB5\xC4\xB3\xD6\xD3\xD0\xD5\xDF\xB1\xEA\xBC\xC7"
                                 "\xB3\xAC\xB3\xF6\xC1\xCB\xCE\xC4\xBC\xFE";
// 不是BIN文件: 持有者标记不以零字节结尾
char const kBinMarkerOpen[] = "\xB2\xBB\xCA\xC7"
                              "BIN\xCE\xC4\xBC\xFE: "
                              "\xB3\xD6\xD3\xD0\xD5\xDF\xB1\xEA\xBC\xC7\xB2\xBB\xD2\xD4\xC1\xE3\xD7"
                              "\xD6\xBD\xDA\xBD\xE1\xCE\xB2";
// 不是BIN文件: 第 %u 项 (共 %u 项) 伸入了持有者标记
char const kBinEntryIntoMarker[] =
    "\xB2\xBB\xCA\xC7"
    "BIN\xCE\xC4\xBC\xFE: \xB5\xDA %u \xCF\xEE (\xB9\xB2 %u \xCF\xEE) "
    "\xC9\xEC\xC8\xEB\xC1\xCB\xB3\xD6\xD3\xD0\xD5\xDF\xB1\xEA\xBC\xC7";
// ID '%s' 不是十进制数: 读作 %d
char const kIdNotANumber[] =
    "ID '%s' \xB2\xBB\xCA\xC7\xCA\xAE\xBD\xF8\xD6\xC6\xCA\xFD: \xB6\xC1\xD7\xF7 %d";
// 'RilStringID=' 之后没有ID: 读作 0
char const kIdMissing[] = "'RilStringID=' \xD6\xAE\xBA\xF3\xC3\xBB\xD3\xD0ID: \xB6\xC1\xD7\xF7 0";
// ID '%s' 超出32位范围
char const kIdOutOfRange[] = "ID '%s' \xB3\xAC\xB3\xF6"
                             "32\xCE\xBB\xB7\xB6\xCE\xA7";
// 下一项之前没有 'RilStringMacro=': 本项取走了第 %u 行那一项的宏和文本, 那一项丢失
char const kMacroKeywordMissing[] =
    "\xCF\xC2\xD2\xBB\xCF\xEE\xD6\xAE\xC7\xB0\xC3\xBB\xD3\xD0 'RilStringMacro=': "
    "\xB1\xBE\xCF\xEE\xC8\xA1\xD7\xDF\xC1\xCB\xB5\xDA %u "
    "\xD0\xD0\xC4\xC7\xD2\xBB\xCF\xEE\xB5\xC4\xBA\xEA\xBA\xCD\xCE\xC4\xB1\xBE, "
    "\xC4\xC7\xD2\xBB\xCF\xEE\xB6\xAA\xCA\xA7";
// 下一项之前没有文本: 本项(ID=%u)取走了第 %u 行那一项的文本, 那一项丢失
char const kTextMissing[] = "\xCF\xC2\xD2\xBB\xCF\xEE\xD6\xAE\xC7\xB0\xC3\xBB\xD3\xD0\xCE\xC4\xB1"
                            "\xBE: \xB1\xBE\xCF\xEE(ID=%u)\xC8\xA1\xD7\xDF\xC1\xCB\xB5\xDA %u "
                            "\xD0\xD0\xC4\xC7\xD2\xBB\xCF\xEE\xB5\xC4\xCE\xC4\xB1\xBE, "
                            "\xC4\xC7\xD2\xBB\xCF\xEE\xB6\xAA\xCA\xA7";
// '%s' 不是关键字 '%s' (区分大小写和空格): 已被忽略
char const kNearKeyword[] = "'%s' \xB2\xBB\xCA\xC7\xB9\xD8\xBC\xFC\xD7\xD6 '%s' "
                            "(\xC7\xF8\xB7\xD6\xB4\xF3\xD0\xA1\xD0\xB4\xBA\xCD\xBF\xD5\xB8\xF1): "
                            "\xD2\xD1\xB1\xBB\xBA\xF6\xC2\xD4";
// ID=%u 的项的文本含有不属于代码页 %u 的字节 (读作 U+FFFD)
char const kUnmappableText[] =
    "ID=%u "
    "\xB5\xC4\xCF\xEE\xB5\xC4\xCE\xC4\xB1\xBE\xBA\xAC\xD3\xD0\xB2\xBB\xCA\xF4\xD3\xDA\xB4\xFA\xC2"
    "\xEB\xD2\xB3 %u \xB5\xC4\xD7\xD6\xBD\xDA (\xB6\xC1\xD7\xF7 U+FFFD)";
// ID=%u 的项的文本含有不成对的代理项
char const kUnpairedSurrogate[] = "ID=%u "
                                  "\xB5\xC4\xCF\xEE\xB5\xC4\xCE\xC4\xB1\xBE\xBA\xAC\xD3\xD0\xB2\xBB"
                                  "\xB3\xC9\xB6\xD4\xB5\xC4\xB4\xFA\xC0\xED\xCF\xEE";
// 文本之外有一个零字符: 其后的项(从第 %u 行起)不会被读取
char const kHiddenItems[] = "\xCE\xC4\xB1\xBE\xD6\xAE\xCD\xE2\xD3\xD0\xD2\xBB\xB8\xF6\xC1\xE3\xD7"
                            "\xD6\xB7\xFB: \xC6\xE4\xBA\xF3\xB5\xC4\xCF\xEE(\xB4\xD3\xB5\xDA %u "
                            "\xD0\xD0\xC6\xF0)\xB2\xBB\xBB\xE1\xB1\xBB\xB6\xC1\xC8\xA1";
// 文件是有效的UTF-8, 却按代码页 %u 读取; 如果它是UTF-8, 请指定 --code-page 65001
char const kUtf8ReadAsDbcs[] =
    "\xCE\xC4\xBC\xFE\xCA\xC7\xD3\xD0\xD0\xA7\xB5\xC4UTF-8, "
    "\xC8\xB4\xB0\xB4\xB4\xFA\xC2\xEB\xD2\xB3 %u \xB6\xC1\xC8\xA1; "
    "\xC8\xE7\xB9\xFB\xCB\xFC\xCA\xC7UTF-8, \xC7\xEB\xD6\xB8\xB6\xA8 --code-page 65001";
// %s 是空文件: 其中没有任何项
char const kEmptyFile[] =
    "%s \xCA\xC7\xBF\xD5\xCE\xC4\xBC\xFE: \xC6\xE4\xD6\xD0\xC3\xBB\xD3\xD0\xC8\xCE\xBA\xCE\xCF\xEE";
// 没有任何项: 找不到 'RilStringID='
char const kNoItems[] =
    "\xC3\xBB\xD3\xD0\xC8\xCE\xBA\xCE\xCF\xEE: \xD5\xD2\xB2\xBB\xB5\xBD 'RilStringID='";
// 没有任何项: 找不到 'RilStringID='; 文件看起来是UTF-16: 请指定 --wide
char const kNoItemsUtf16[] =
    "\xC3\xBB\xD3\xD0\xC8\xCE\xBA\xCE\xCF\xEE: \xD5\xD2\xB2\xBB\xB5\xBD 'RilStringID='; "
    "\xCE\xC4\xBC\xFE\xBF\xB4\xC6\xF0\xC0\xB4\xCA\xC7UTF-16: \xC7\xEB\xD6\xB8\xB6\xA8 --wide";
// 没有任何项: 按UTF-16找不到 'RilStringID=', 且文件没有 FF FE 字节顺序标记: 它可能是多字节文本
// (去掉 --wide)
char const kNoItemsWideWithoutMark[] =
    "\xC3\xBB\xD3\xD0\xC8\xCE\xBA\xCE\xCF\xEE: \xB0\xB4UTF-16\xD5\xD2\xB2\xBB\xB5\xBD "
    "'RilStringID=', \xC7\xD2\xCE\xC4\xBC\xFE\xC3\xBB\xD3\xD0 FF FE "
    "\xD7\xD6\xBD\xDA\xCB\xB3\xD0\xF2\xB1\xEA\xBC\xC7: "
    "\xCB\xFC\xBF\xC9\xC4\xDC\xCA\xC7\xB6\xE0\xD7\xD6\xBD\xDA\xCE\xC4\xB1\xBE (\xC8\xA5\xB5\xF4 "
    "--wide)";
// 按UTF-16LE读取 (字节顺序标记 FF FE)
char const kReadAsUtf16Mark[] =
    "\xB0\xB4UTF-16LE\xB6\xC1\xC8\xA1 (\xD7\xD6\xBD\xDA\xCB\xB3\xD0\xF2\xB1\xEA\xBC\xC7 FF FE)";
// 按代码页 65001 读取 (UTF-8 字节顺序标记)
char const kReadAsUtf8Mark[] = "\xB0\xB4\xB4\xFA\xC2\xEB\xD2\xB3 65001 \xB6\xC1\xC8\xA1 (UTF-8 "
                               "\xD7\xD6\xBD\xDA\xCB\xB3\xD0\xF2\xB1\xEA\xBC\xC7)";
// ID=%u 的项的宏超过127个字符, 将被截断为127个字符
char const kMacroWouldBeCut[] =
    "ID=%u \xB5\xC4\xCF\xEE\xB5\xC4\xBA\xEA\xB3\xAC\xB9\xFD"
    "127\xB8\xF6\xD7\xD6\xB7\xFB, \xBD\xAB\xB1\xBB\xBD\xD8\xB6\xCF\xCE\xAA"
    "127\xB8\xF6\xD7\xD6\xB7\xFB";

// ID=%u 的项的占位符 (%s) 与基准表的 (%s) 不同
char const kPlaceholdersDiffer[] = "ID=%u \xB5\xC4\xCF\xEE\xB5\xC4\xD5\xBC\xCE\xBB\xB7\xFB (%s) "
                                   "\xD3\xEB\xBB\xF9\xD7\xBC\xB1\xED\xB5\xC4 (%s) \xB2\xBB\xCD\xAC";
// ID=%u, 宏='%s' 的项不在基准表 %s 中
char const kIdNotInBase[] =
    "ID=%u, \xBA\xEA='%s' \xB5\xC4\xCF\xEE\xB2\xBB\xD4\xDA\xBB\xF9\xD7\xBC\xB1\xED %s \xD6\xD0";
// 基准表 %s 中有 %u 个ID在译文中没有: %s
char const kIdsNotTranslated[] = "\xBB\xF9\xD7\xBC\xB1\xED %s \xD6\xD0\xD3\xD0 %u "
                                 "\xB8\xF6ID\xD4\xDA\xD2\xEB\xCE\xC4\xD6\xD0\xC3\xBB\xD3\xD0: %s";
// ID=%u 的项的宏 '%s' 与基准表的宏 '%s' 不同
char const kMacroDiffers[] =
    "ID=%u \xB5\xC4\xCF\xEE\xB5\xC4\xBA\xEA '%s' \xD3\xEB\xBB\xF9\xD7\xBC\xB1\xED\xB5\xC4\xBA\xEA "
    "'%s' \xB2\xBB\xCD\xAC";
} // namespace ril::core::msg

namespace ril::core::catalogue {
namespace {
constexpr auto kError = msg::Severity::Error;
constexpr auto kWarning = msg::Severity::Warning;
constexpr auto kInformation = msg::Severity::Information;
} // namespace

// clang-format off
const Message kNoBinNoTable{"no-bin", kError, msg::kNoBinNoTable,
    "no BIN file given and no BIN loaded"};
const Message kLoadedBinBeingEdited{"bin-being-edited", kError, msg::kLoadedBinBeingEdited,
    "the loaded BIN is being edited; end the editing session first"};
const Message kCannotOpenForUpdate{"cannot-open-for-update", kError, msg::kCannotOpenForUpdate,
    "cannot open '%s' for writing"};
const Message kCannotWriteBin{"cannot-write", kError, msg::kCannotWriteBin,
    "cannot write '%s'; the file is unchanged"};
const Message kCannotOpen{"cannot-open", kError, msg::kCannotOpen,
    "cannot open '%s'"};
const Message kCannotAllocateLoad{"cannot-allocate-load", kError, msg::kCannotAllocateLoad,
    "not enough memory to load '%s'"};
const Message kCannotRead{"cannot-read", kError, msg::kCannotRead,
    "cannot read '%s'"};
const Message kBigEndianUnicode{"big-endian-unicode", kError, msg::kBigEndianUnicode,
    "big-endian UTF-16 text is not supported: '%s'"};
const Message kMacroNotFound{"macro-not-found", kError, msg::kMacroNotFound,
    "ID %u: no RilStringMacro= after the ID at 0x%x"};
const Message kMacroTooLong{"macro-too-long", kWarning, msg::kMacroTooLong,
    "ID %u: over-long macro (more than 127 characters) cut to 127 at 0x%x"};
const Message kTextNotFound{"text-not-found", kError, msg::kTextNotFound,
    "ID %u: no text in braces found for macro '%s'"};
const Message kRecordAllocationFailed{"out-of-memory", kError, msg::kRecordAllocationFailed,
    "not enough memory for a string"};
const Message kGapCount{"gap-count", kInformation, msg::kGapCount,
    "gap count: %d (IDs left unused between the items' IDs)"};
const Message kNoFreeId{"no-free-id", kError, msg::kNoFreeId,
    "the item at 0x%x asks for a new ID, but no unused ID is left between the IDs before it"};
const Message kCloseBraceFirst{"unexpected-closing-brace", kError, msg::kCloseBraceFirst,
    "'}' at 0x%x while looking for '{'"};
const Message kOpenBraceInText{"opening-brace-in-text", kError, msg::kOpenBraceInText,
    "'{' at 0x%x while looking for '}'"};
const Message kEndInsideText{"unterminated-text", kError, msg::kEndInsideText,
    "end of file while looking for '}'"};
const Message kReadEntryFailed{"cannot-read-entry", kError, msg::kReadEntryFailed,
    "cannot read the string of ID 0x%x"};
const Message kCannotOpenText{"cannot-open-text", kError, msg::kCannotOpenText,
    "cannot open '%s' to write the text resource"};
const Message kTextWriteFailed{"cannot-write-text", kError, msg::kTextWriteFailed,
    "cannot write the text file"};
const Message kCannotOpenHeader{"cannot-open-header", kError, msg::kCannotOpenHeader,
    "cannot open header file '%s'"};
const Message kCannotWriteHeader{"cannot-write-header", kError, msg::kCannotWriteHeader,
    "cannot write header file '%s'"};
const Message kExportCannotHold{"export-cannot-hold", kError, msg::kExportCannotHold,
    "cannot export to '%s': a text resource cannot hold the items of these IDs (a text with "
    "'{' or '}' or ending in a lone lead byte, or a macro with a line break): %s"};
const Message kHeaderMacroNotIdentifier{"macro-not-identifier", kError,
    msg::kHeaderMacroNotIdentifier,
    "cannot write header file '%s': the macros of the items of these IDs cannot form a C "
    "identifier: %s"};
const Message kEmptyMacro{"empty-macro", kError, msg::kEmptyMacro,
    "ID %u: empty macro (a macro is longer than 0 and shorter than %u characters)"};
const Message kIllegalMacroCharacter{"illegal-macro-character", kError,
    msg::kIllegalMacroCharacter,
    "ID %u: macro '%s' holds the illegal character '%s' (only upper-case letters, digits "
    "and '_' are allowed)"};
const Message kDuplicateMacro{"duplicate-macro", kError, msg::kDuplicateMacro,
    "duplicate macro: ID %u, macro '%s', and ID %u, macro '%s'"};
const Message kDuplicateId{"duplicate-id", kError, msg::kDuplicateId,
    "duplicate ID: ID %u, macro '%s', and ID %u, macro '%s'"};
const Message kLogCannotCreate{"cannot-create-log", kError, msg::kLogCannotCreate,
    "cannot create or open the log file"};
const Message kCannotWriteLog{"cannot-write-log", kError, msg::kCannotWriteBin,
    "cannot write a line to the log '%s'"};
const Message kWritesOwnInput{"writes-own-input", kError, msg::kWritesOwnInput,
    "'%s' is the file being read ('%s'); it is not overwritten"};
const Message kInvalidSourceDateEpoch{"invalid-source-date-epoch", kWarning,
    msg::kInvalidSourceDateEpoch,
    "SOURCE_DATE_EPOCH '%s' is no number of seconds from 1970 to the end of 9999; the local "
    "time is used"};
const Message kLogEntry{"import-log-entry", kInformation, "%s", nullptr};
const Message kNewId{"new-id", kInformation, msg::kNewId,
    "new ID %u for macro '%s'"};
const Message kBinEmpty{"bin-empty", kError, msg::kBinEmpty,
    "not a BIN: the file is empty"};
const Message kBinShortHeader{"bin-short-header", kError, msg::kBinShortHeader,
    "not a BIN: %u bytes, shorter than the 12-byte header"};
const Message kBinHolderFlag{"bin-holder-flag", kError, msg::kBinHolderFlag,
    "not a BIN: holder flag %u (0 or 1 expected)"};
const Message kBinEntryPastEnd{"bin-entry-past-end", kError, msg::kBinEntryPastEnd,
    "not a BIN: entry %u of %u runs past the end of the file"};
const Message kBinIdBeyond{"bin-id-beyond", kError, msg::kBinIdBeyond,
    "not a BIN: entry %u of %u (ID %u): the ID is not below %u (the max ID + 10)"};
const Message kBinRecordWithoutMacro{"bin-record-without-macro", kError, msg::kBinRecordWithoutMacro,
    "not a BIN: entry %u of %u (ID %u): its record of %u bytes cannot hold its macro"};
const Message kBinNoMarkerRoom{"bin-no-marker-room", kError, msg::kBinNoMarkerRoom,
    "not a BIN: no room for the holder marker that its holder flag announces"};
const Message kBinMarkerTooLong{"bin-marker-too-long", kError, msg::kBinMarkerTooLong,
    "not a BIN: the holder marker of %u bytes does not fit the file"};
const Message kBinMarkerOpen{"bin-marker-open", kError, msg::kBinMarkerOpen,
    "not a BIN: the holder marker does not end with a zero byte"};
const Message kBinEntryIntoMarker{"bin-entry-into-marker", kError, msg::kBinEntryIntoMarker,
    "not a BIN: entry %u of %u runs into the holder marker"};
const Message kIdNotANumber{"id-not-a-number", kWarning, msg::kIdNotANumber,
    "ID '%s' is not a decimal number: it reads as %d"};
const Message kIdMissing{"id-missing", kWarning, msg::kIdMissing,
    "no ID after 'RilStringID=': it reads as 0"};
const Message kIdOutOfRange{"id-out-of-range", kWarning, msg::kIdOutOfRange,
    "ID '%s' does not fit in 32 bits"};
const Message kMacroKeywordMissing{"macro-keyword-missing", kWarning, msg::kMacroKeywordMissing,
    "no 'RilStringMacro=' before the next item: this item takes the macro and text of "
    "the item at line %u, which is lost"};
const Message kTextMissing{"text-missing", kWarning, msg::kTextMissing,
    "no text before the next item: this item (ID %u) takes the text of the item at line "
    "%u, which is lost"};
const Message kNearKeyword{"near-keyword", kWarning, msg::kNearKeyword,
    "'%s' is not the keyword '%s' (letter case and blanks matter): it is ignored"};
const Message kUnmappableText{"unmappable-text", kWarning, msg::kUnmappableText,
    "the text of ID %u holds bytes that are no character of code page %u (they read as "
    "U+FFFD)"};
const Message kUnpairedSurrogate{"unpaired-surrogate", kWarning, msg::kUnpairedSurrogate,
    "the text of ID %u holds an unpaired surrogate"};
const Message kHiddenItems{"hidden-items", kWarning, msg::kHiddenItems,
    "a zero character outside a text: the items after it (from line %u) are not read"};
const Message kUtf8ReadAsDbcs{"utf8-read-as-dbcs", kWarning, msg::kUtf8ReadAsDbcs,
    "the file is valid UTF-8 but is read as code page %u; give --code-page 65001 if it "
    "is UTF-8"};
const Message kEmptyFile{"empty-file", kError, msg::kEmptyFile,
    "'%s' is empty: it holds no items"};
const Message kNoItems{"no-items", kError, msg::kNoItems,
    "no items: no 'RilStringID=' found"};
const Message kNoItemsUtf16{"no-items-utf16", kError, msg::kNoItemsUtf16,
    "no items: no 'RilStringID=' found; the file looks like UTF-16: give --wide"};
const Message kNoItemsWideWithoutMark{"no-items-wide-without-mark", kError, msg::kNoItemsWideWithoutMark,
    "no items: no 'RilStringID=' found in UTF-16 and the file has no FF FE byte-order "
    "mark: it may be multibyte text (drop --wide)"};
const Message kReadAsUtf16Mark{"read-as-utf16-mark", kInformation, msg::kReadAsUtf16Mark,
    "read as UTF-16LE (byte-order mark FF FE)"};
const Message kReadAsUtf8Mark{"read-as-utf8-mark", kInformation, msg::kReadAsUtf8Mark,
    "read as code page 65001 (UTF-8 byte-order mark)"};
const Message kMacroWouldBeCut{"macro-would-be-cut", kError, msg::kMacroWouldBeCut,
    "ID %u: the macro has more than 127 characters and would be cut to 127"};
const Message kPlaceholdersDiffer{"placeholders-differ", kError, msg::kPlaceholdersDiffer,
    "ID %u: the placeholders (%s) differ from the base table's (%s)"};
const Message kIdNotInBase{"id-not-in-base", kError, msg::kIdNotInBase,
    "ID %u (macro '%s') is not in the base table '%s'"};
const Message kIdsNotTranslated{"ids-not-translated", kWarning, msg::kIdsNotTranslated,
    "the base table '%s' has IDs that the translation lacks: %u (%s)"};
const Message kMacroDiffers{"macro-differs", kError, msg::kMacroDiffers,
    "ID %u: the macro '%s' differs from the base table's '%s'"};
// clang-format on

Message const *const kAll[] = {
    &kNoBinNoTable,
    &kLoadedBinBeingEdited,
    &kCannotOpenForUpdate,
    &kCannotWriteBin,
    &kCannotOpen,
    &kCannotAllocateLoad,
    &kCannotRead,
    &kBigEndianUnicode,
    &kMacroNotFound,
    &kMacroTooLong,
    &kTextNotFound,
    &kRecordAllocationFailed,
    &kGapCount,
    &kNoFreeId,
    &kCloseBraceFirst,
    &kOpenBraceInText,
    &kEndInsideText,
    &kReadEntryFailed,
    &kCannotOpenText,
    &kTextWriteFailed,
    &kCannotOpenHeader,
    &kCannotWriteHeader,
    &kExportCannotHold,
    &kHeaderMacroNotIdentifier,
    &kEmptyMacro,
    &kIllegalMacroCharacter,
    &kDuplicateMacro,
    &kDuplicateId,
    &kLogCannotCreate,
    &kCannotWriteLog,
    &kWritesOwnInput,
    &kInvalidSourceDateEpoch,
    &kLogEntry,
    &kNewId,
    &kBinEmpty,
    &kBinShortHeader,
    &kBinHolderFlag,
    &kBinEntryPastEnd,
    &kBinIdBeyond,
    &kBinRecordWithoutMacro,
    &kBinNoMarkerRoom,
    &kBinMarkerTooLong,
    &kBinMarkerOpen,
    &kBinEntryIntoMarker,
    &kIdNotANumber,
    &kIdMissing,
    &kIdOutOfRange,
    &kMacroKeywordMissing,
    &kTextMissing,
    &kNearKeyword,
    &kUnmappableText,
    &kUnpairedSurrogate,
    &kHiddenItems,
    &kUtf8ReadAsDbcs,
    &kEmptyFile,
    &kNoItems,
    &kNoItemsUtf16,
    &kNoItemsWideWithoutMark,
    &kReadAsUtf16Mark,
    &kReadAsUtf8Mark,
    &kMacroWouldBeCut,
    &kPlaceholdersDiffer,
    &kIdNotInBase,
    &kIdsNotTranslated,
    &kMacroDiffers,
};
const std::size_t kCount = sizeof kAll / sizeof kAll[0];

Message const *Find(char const *id) {
    if (id == nullptr)
        return nullptr;
    for (Message const *message : kAll)
        if (std::strcmp(message->id, id) == 0)
            return message;
    return nullptr;
}

} // namespace ril::core::catalogue
