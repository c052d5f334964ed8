// Tests of the item list's items: the records that SetTextA, SetTextW and SetRecord build,
// byte for byte, and the conversion between the multibyte and wide forms of a macro.
#include "items/ril_str_res.h"

#include "platform/fault.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using ril::RilStrRes;
using ril::test::Bytes;
using ril::test::Gbk;

Bytes RecordOf(const RilStrRes &item) {
    if (!item.Record)
        return {};
    return Bytes(item.Record.get(), item.Record.get() + item.RecordSize);
}

std::u16string MacroWOf(const RilStrRes &item) {
    return std::u16string(reinterpret_cast<const char16_t *>(item.MacroW));
}

void SetMacro(RilStrRes &item, const std::string &macro) {
    ASSERT_LT(macro.size(), sizeof item.Macro);
    std::memset(item.Macro, 0, sizeof item.Macro);
    std::memcpy(item.Macro, macro.data(), macro.size());
}

void SetMacroW(RilStrRes &item, const std::u16string &macro) {
    ASSERT_LT(macro.size(), std::size(item.MacroW));
    std::memset(item.MacroW, 0, sizeof item.MacroW);
    std::memcpy(item.MacroW, macro.data(), macro.size() * 2);
}

// Keeps the ANSI code page at GBK for the test and restores the previous setting after.
class AnsiGbk {
  public:
    AnsiGbk() : previous_(Ril_SetAnsiCodePage(936)) {}
    ~AnsiGbk() { Ril_SetAnsiCodePage(previous_); }

  private:
    unsigned previous_;
};

TEST(RilStrRes, SetTextABuildsMultibyteRecords) {
    RilStrRes item;
    SetMacro(item, "ABC");
    EXPECT_EQ(ril::kSOk, item.SetTextA("Hi!!", 2)); // exactly `length` bytes are copied
    EXPECT_EQ((Bytes{0x04, 0x00, 'A', 'B', 'C', 0x00, 'H', 'i', 0x00}), RecordOf(item));

    // A new text replaces the old record; an empty text keeps only the terminator.
    EXPECT_EQ(ril::kSOk, item.SetTextA("", 0));
    EXPECT_EQ((Bytes{0x04, 0x00, 'A', 'B', 'C', 0x00, 0x00}), RecordOf(item));

    // A text holding a zero byte is copied whole.
    EXPECT_EQ(ril::kSOk, item.SetTextA("a\0b", 3));
    EXPECT_EQ((Bytes{0x04, 0x00, 'A', 'B', 'C', 0x00, 'a', 0x00, 'b', 0x00}), RecordOf(item));

    // A macro of the full 127 bytes gives M = 128.
    SetMacro(item, std::string(127, 'M'));
    EXPECT_EQ(ril::kSOk, item.SetTextA("x", 1));
    Bytes expected{0x80, 0x00};
    expected.insert(expected.end(), 127, 'M');
    expected.insert(expected.end(), {0x00, 'x', 0x00});
    EXPECT_EQ(expected, RecordOf(item));
    EXPECT_EQ(2u + 128 + 1 + 1, item.RecordSize);
}

TEST(RilStrRes, SetTextWBuildsUnalignedWideRecords) {
    RilStrRes item;
    SetMacro(item, "ABC");
    const char16_t hi[] = u"Hi";
    EXPECT_EQ(ril::kSOk, item.SetTextW(hi, 2));
    EXPECT_EQ((Bytes{0x04, 0x00, 'A', 'B', 'C', 0x00, 'H', 0x00, 'i', 0x00, 0x00, 0x00}),
              RecordOf(item));

    // With the macro ABCD the text starts at the odd offset 7.
    SetMacro(item, "ABCD");
    const char16_t wide[] = {0x4E2D, 0x0041};
    EXPECT_EQ(ril::kSOk, item.SetTextW(wide, 2));
    EXPECT_EQ((Bytes{0x05, 0x00, 'A', 'B', 'C', 'D', 0x00, 0x2D, 0x4E, 0x41, 0x00, 0x00, 0x00}),
              RecordOf(item));
    EXPECT_EQ(13u, item.RecordSize);

    EXPECT_EQ(ril::kSOk, item.SetTextW(hi, 0));
    EXPECT_EQ((Bytes{0x05, 0x00, 'A', 'B', 'C', 'D', 0x00, 0x00, 0x00}), RecordOf(item));
}

TEST(RilStrRes, ResetClearsEverythingThroughTheBase) {
    RilStrRes item;
    item.ID = 42;
    SetMacro(item, "ABC");
    SetMacroW(item, u"ABC");
    ASSERT_EQ(ril::kSOk, item.SetTextA("Hi", 2));
    ril::CppMacro &base = item;
    base.Reset(); // virtual: releases the record too
    EXPECT_EQ(0u, item.ID);
    EXPECT_EQ(0u, item.RecordSize);
    EXPECT_EQ(nullptr, item.Record);
    EXPECT_EQ(0, item.Macro[0]);
    EXPECT_EQ(0, item.MacroW[0]);
    item.Reset(); // harmless without a record

    EXPECT_EQ(ril::kSOk, item.SetTextA("Hi", 2));
    EXPECT_EQ((Bytes{0x01, 0x00, 0x00, 'H', 'i', 0x00}), RecordOf(item));
}

TEST(RilStrRes, AllocationFailureLeavesNoRecord) {
    RilStrRes item;
    SetMacro(item, "ABC");
    ASSERT_EQ(ril::kSOk, item.SetTextA("Hi", 2));
    ril::platform::ArmFault(ril::platform::Fault::Alloc, 1);
    EXPECT_EQ(ril::kEOutOfMemory, item.SetTextW(u"Hi", 2));
    ril::platform::DisarmAllFaults();
    EXPECT_EQ(nullptr, item.Record);
    EXPECT_EQ(0u, item.RecordSize);

    ril::platform::ArmFault(ril::platform::Fault::Alloc, 1);
    const Bytes record = ril::test::RecordA("ABC", "Hi");
    EXPECT_EQ(ril::kEOutOfMemory, item.SetRecord(record.data(), 9));
    ril::platform::DisarmAllFaults();
    EXPECT_EQ(nullptr, item.Record);
    EXPECT_EQ(0u, item.RecordSize);
}

TEST(RilStrRes, SetRecordCopiesAndFillsBothMacros) {
    RilStrRes item;
    item.ID = 77;
    SetMacroW(item, u"A_MUCH_LONGER_OLD_MACRO");
    Bytes record = ril::test::RecordA("ABC", "Hi");
    ASSERT_EQ(ril::kSOk, item.SetRecord(record.data(), static_cast<std::uint32_t>(record.size())));
    record[6] = 'X'; // the item holds a copy
    EXPECT_EQ((Bytes{0x04, 0x00, 'A', 'B', 'C', 0x00, 'H', 'i', 0x00}), RecordOf(item));
    EXPECT_STREQ("ABC", item.Macro);
    EXPECT_EQ(u"ABC", MacroWOf(item));
    EXPECT_EQ(77u, item.ID); // the caller sets the ID

    // A macro length beyond the record is cut to the record; the record is kept.
    const Bytes shortRecord{0x10, 0x00, 'A', 'B', 'C'};
    ASSERT_EQ(ril::kSOk, item.SetRecord(shortRecord.data(), 5));
    EXPECT_STREQ("ABC", item.Macro);
    EXPECT_EQ(u"ABC", MacroWOf(item));
    EXPECT_EQ(shortRecord, RecordOf(item));

    // A record too short to hold a macro length gives an empty macro.
    const Bytes oneByte{0x41};
    ASSERT_EQ(ril::kSOk, item.SetRecord(oneByte.data(), 1));
    EXPECT_EQ(0, item.Macro[0]);
    EXPECT_EQ(0, item.MacroW[0]);
    EXPECT_EQ(oneByte, RecordOf(item));
}

TEST(RilStrRes, SetRecordNeverWritesPastTheMacroField) {
    RilStrRes item;
    // M = 200 with 200 macro bytes and no zero among them.
    Bytes record{200, 0};
    record.insert(record.end(), 200, 'Q');
    record.insert(record.end(), {'t', 0});
    ASSERT_EQ(ril::kSOk, item.SetRecord(record.data(), static_cast<std::uint32_t>(record.size())));
    EXPECT_EQ(std::string(127, 'Q'), std::string(item.Macro));
    EXPECT_EQ(0, item.Macro[127]);
    EXPECT_EQ(std::u16string(127, u'Q'), MacroWOf(item));
    EXPECT_EQ(record, RecordOf(item));

    // M = 128 whose bytes hold no terminator: cut to 127 as well.
    Bytes full{128, 0};
    full.insert(full.end(), 128, 'R');
    ASSERT_EQ(ril::kSOk, item.SetRecord(full.data(), static_cast<std::uint32_t>(full.size())));
    EXPECT_EQ(std::string(127, 'R'), std::string(item.Macro));
    EXPECT_EQ(full, RecordOf(item));
}

TEST(RilStrRes, SetRecordWidensAGbkMacro) {
    AnsiGbk gbk;
    RilStrRes item;
    const Bytes record = ril::test::RecordA(Gbk("中文_A"), "x");
    ASSERT_EQ(ril::kSOk, item.SetRecord(record.data(), static_cast<std::uint32_t>(record.size())));
    EXPECT_EQ(Gbk("中文_A"), std::string(item.Macro));
    EXPECT_EQ(u"中文_A", MacroWOf(item));
}

TEST(RilStrRes, WidenAndNarrowMacro) {
    AnsiGbk gbk;
    RilStrRes item;
    SetMacroW(item, u"LEFTOVER_LEFTOVER");
    SetMacro(item, Gbk("宏名_1"));
    item.WidenMacro();
    EXPECT_EQ(u"宏名_1", MacroWOf(item)); // and nothing left of the old wide macro

    SetMacro(item, "LEFTOVER_LEFTOVER");
    SetMacroW(item, u"ASCII_9");
    item.NarrowMacro();
    EXPECT_STREQ("ASCII_9", item.Macro);

    SetMacroW(item, u"宏名_1");
    item.NarrowMacro();
    EXPECT_EQ(Gbk("宏名_1"), std::string(item.Macro));
}

TEST(RilStrRes, NarrowMacroCutsAtACharacterBoundary) {
    AnsiGbk gbk;
    RilStrRes item;
    std::string gbk63; // 63 whole characters, 126 bytes
    for (int i = 0; i < 63; ++i)
        gbk63 += Gbk("中");
    SetMacroW(item, std::u16string(100, u'中')); // 200 bytes in GBK
    item.NarrowMacro();
    EXPECT_EQ(gbk63, std::string(item.Macro));
    // Both forms still name the same macro.
    EXPECT_EQ(ril::test::Wide(item.MacroW), std::u16string(63, u'中'));

    // 1 + 2 x 63 = 127 bytes fit whole; 2 + 2 x 63 = 128 do not, and the last character goes.
    SetMacroW(item, u"A" + std::u16string(63, u'中'));
    item.NarrowMacro();
    EXPECT_EQ("A" + gbk63, std::string(item.Macro));
    SetMacroW(item, u"AB" + std::u16string(63, u'中'));
    item.NarrowMacro();
    EXPECT_EQ("AB" + gbk63.substr(0, 124), std::string(item.Macro));
}

} // namespace
