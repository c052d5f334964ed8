// The item list's items: the records that SetTextA, SetTextW and SetRecord build, byte for
// byte, and the conversion between the multibyte and wide forms of a macro.
#include "items/ril_str_res.h"

#include "platform/fault.h"
#include "support/test_support.h"

#include <cstring>

namespace ril::test {
namespace {

Bytes RecordOf(RilStrRes const &item) {
    return item.Record ? Bytes(item.Record.get(), item.Record.get() + item.RecordSize) : Bytes{};
}

void SetMacro(RilStrRes &item, std::string const &macro) {
    std::memset(item.Macro, 0, sizeof item.Macro);
    std::memcpy(item.Macro, macro.data(), macro.size());
}

void SetMacroW(RilStrRes &item, std::u16string const &macro) {
    std::memset(item.MacroW, 0, sizeof item.MacroW);
    std::memcpy(item.MacroW, macro.data(), macro.size() * 2);
}

class RilStrResTest : public LibraryTest {
  protected:
    RilStrResTest() : LibraryTest(936) {}
    RilStrRes item;
};

TEST_F(RilStrResTest, SetTextBuildsRecords) {
    const std::tuple<std::string, std::string, std::u16string, std::size_t, Bytes> rows[] = {
        // macro, the text for SetTextA or (when not empty) for SetTextW, length, record
        {"ABC", "Hi!!", u"", 2, {4, 0, 'A', 'B', 'C', 0, 'H', 'i', 0}}, // exactly `length` bytes
        {"ABC", "", u"", 0, {4, 0, 'A', 'B', 'C', 0, 0}},
        // With the macro ABCD the wide text starts at the odd offset 7.
        {"ABCD", "", u"\u4E2DA", 2, {5, 0, 'A', 'B', 'C', 'D', 0, 0x2D, 0x4E, 'A', 0, 0, 0}},
        {"ABCD", "", u"Hi", 0, {5, 0, 'A', 'B', 'C', 'D', 0, 0, 0}},
        {std::string(127, 'M'), "x", u"", 1, RecordA(std::string(127, 'M'), "x")}, // M = 128
    };
    for (auto const &[macro, narrow, wide, length, record] : rows) {
        SetMacro(item, macro);
        EXPECT_EQ(wide.empty() ? item.SetTextA(narrow.data(), length)
                               : item.SetTextW(wide.data(), length),
                  kSOk);
        EXPECT_EQ(std::make_pair(RecordOf(item), std::size_t(item.RecordSize)),
                  std::make_pair(record, record.size()))
            << macro << " " << narrow;
    }
}

TEST_F(RilStrResTest, ResetAndAllocationFailure) {
    item.ID = 42;
    SetMacro(item, "ABC");
    SetMacroW(item, u"ABC");
    ASSERT_EQ(item.SetTextA("Hi", 2), kSOk);
    static_cast<CppMacro &>(item).Reset(); // virtual: releases the record too
    EXPECT_EQ(std::make_tuple(item.ID, item.RecordSize, item.Record == nullptr, item.Macro[0],
                              int(item.MacroW[0])),
              std::make_tuple(0u, 0u, true, '\0', 0));
    item.Reset(); // harmless without a record
    ASSERT_EQ(item.SetTextA("Hi", 2), kSOk);
    EXPECT_EQ(RecordOf(item), (Bytes{1, 0, 0, 'H', 'i', 0}));
    // A record too short to hold a macro length gives an empty macro; the item holds a copy.
    Bytes shortRecord = {0x41};
    ASSERT_EQ(item.SetRecord(shortRecord.data(), 1), kSOk);
    shortRecord[0] = 0x42;
    EXPECT_EQ(std::make_tuple(RecordOf(item), std::string(item.Macro), Wide(item.MacroW)),
              std::make_tuple(Bytes{0x41}, std::string(), std::u16string()));
    // Memory that cannot be had leaves no record.
    const Bytes record = RecordA("ABC", "Hi");
    for (int call = 0; call < 2; ++call) {
        platform::ArmFault(platform::Fault::Alloc, 1);
        EXPECT_EQ(call == 0 ? item.SetTextW(u"Hi", 2) : item.SetRecord(record.data(), 9),
                  kEOutOfMemory);
        EXPECT_EQ(std::make_pair(item.Record == nullptr, item.RecordSize),
                  std::make_pair(true, 0u));
    }
}

TEST_F(RilStrResTest, WidenAndNarrowMacro) {
    SetMacroW(item, u"LEFTOVER_LEFTOVER");
    SetMacro(item, Gbk("宏名_1"));
    item.WidenMacro();
    EXPECT_EQ(Wide(item.MacroW), u"宏名_1"); // and nothing left of the old wide macro
    SetMacro(item, "LEFTOVER_LEFTOVER");
    SetMacroW(item, u"宏名_1");
    item.NarrowMacro();
    EXPECT_EQ(std::string(item.Macro), Gbk("宏名_1"));

    // Cut at a character boundary: 1 + 2 x 63 = 127 bytes fit whole; 2 + 2 x 63 = 128 do not.
    std::string gbk63; // 63 whole characters, 126 bytes
    for (int i = 0; i < 63; ++i)
        gbk63 += Gbk("中");
    const std::pair<std::u16string, std::string> rows[] = {
        {std::u16string(100, u'中'), gbk63},
        {u"A" + std::u16string(63, u'中'), "A" + gbk63},
        {u"AB" + std::u16string(63, u'中'), "AB" + gbk63.substr(0, 124)},
    };
    for (auto const &[wide, narrow] : rows) {
        SetMacroW(item, wide);
        item.NarrowMacro();
        EXPECT_EQ(std::string(item.Macro), narrow);
    }
    EXPECT_EQ(Wide(item.MacroW), u"AB" + std::u16string(62, u'中')); // both name the same macro
}

} // namespace
} // namespace ril::test
