// The item list's items: reset, records kept as copies, allocation failures, and the
// conversion between the multibyte and wide forms of a macro.
#include "items/ril_str_res.h"

#include "platform/fault.h"
#include "support/test_support.h"

#include <cstring>

using namespace ril::core;
using namespace ril::items;

namespace ril::test {
namespace {

Bytes RecordOf(RilStrRes const &item) {
    return item.Record ? Bytes(item.Record.get(), item.Record.get() + item.RecordSize) : Bytes{};
}

void SetMacro(RilStrRes &item, std::string const &macro) {
    ASSERT_EQ(item.SetMacro(macro.data(), macro.size()), kSOk);
}

void SetMacroW(RilStrRes &item, std::u16string const &macro) {
    ASSERT_EQ(item.SetMacroW(reinterpret_cast<std::uint16_t const *>(macro.data()), macro.size()),
              kSOk);
}

class RilStrResTest : public LibraryTest {
  protected:
    RilStrResTest() : LibraryTest(936) {}
    RilStrRes item;
};

TEST_F(RilStrResTest, ResetAndAllocationFailure) {
    item.ID = 42;
    SetMacroW(item, u"ABC");
    ASSERT_EQ(item.SetTextA("Hi", 2), kSOk);
    static_cast<CppMacro &>(item).Reset(); // virtual: releases the record too
    EXPECT_EQ(std::make_tuple(item.ID, item.RecordSize, item.Record == nullptr,
                              std::string(item.Macro()), item.MacroW()),
              std::make_tuple(0u, 0u, true, std::string(), std::u16string()));
    item.Reset(); // harmless without a record
    ASSERT_EQ(item.SetTextA("Hi", 2), kSOk);
    EXPECT_EQ(RecordOf(item), (Bytes{1, 0, 0, 'H', 'i', 0}));
    // A record too short to hold a macro length gives an empty macro; the item holds a copy.
    Bytes shortRecord = {0x41};
    ASSERT_EQ(item.SetRecord(shortRecord.data(), 1), kSOk);
    shortRecord[0] = 0x42;
    EXPECT_EQ(std::make_tuple(RecordOf(item), std::string(item.Macro()), item.MacroW()),
              std::make_tuple(Bytes{0x41}, std::string(), std::u16string()));
    // A record's macro that has no terminator within the record still gets one; the item
    // holds its own copy of it.
    Bytes unterminated = {3, 0, 'X', 'Y', 'Z'};
    ASSERT_EQ(item.SetRecord(unterminated.data(), 5), kSOk);
    unterminated[2] = 'Q';
    EXPECT_EQ(std::string(item.Macro()), "XYZ");
    // Memory that cannot be had leaves no record; where the macro (of its own or of a record;
    // one too long to live in the item takes memory of its own) cannot be stored, an empty macro.
    const std::string longMacro(40, 'L');
    const Bytes record = RecordA(longMacro, "Hi");
    for (int call = 0; call < 4; ++call) {
        SetMacro(item, "OLD");
        platform::ArmFault(platform::Fault::Alloc, call == 3 ? 2 : 1);
        EXPECT_EQ(call == 0   ? item.SetTextW(u"Hi", 2)
                  : call == 1 ? item.SetMacro(longMacro.data(), longMacro.size())
                              : item.SetRecord(record.data(), std::uint32_t(record.size())),
                  kEOutOfMemory)
            << call;
        EXPECT_EQ(std::make_pair(item.Record == nullptr, item.RecordSize),
                  std::make_pair(true, 0u));
        EXPECT_STREQ(item.Macro(), call % 2 == 0 ? "OLD" : ""); // a record that fails keeps it
    }
}

TEST_F(RilStrResTest, WidenAndNarrowMacro) {
    SetMacroW(item, u"LEFTOVER_LEFTOVER");
    SetMacro(item, Gbk("宏名_1"));
    EXPECT_EQ(item.MacroW(), u"宏名_1"); // and nothing left of the old wide macro
    SetMacro(item, "LEFTOVER_LEFTOVER");
    SetMacroW(item, u"宏名_1");
    EXPECT_EQ(std::string(item.Macro()), Gbk("宏名_1"));
    // A character the code page cannot hold: the wide form keeps it.
    SetMacroW(item, u"A\u0E01");
    EXPECT_EQ(std::make_pair(std::string(item.Macro()), item.MacroW()),
              std::make_pair(std::string("A?"), std::u16string(u"A\u0E01")));
    // A macro set from the item's own (short or long) keeps its bytes.
    for (std::string const &macro : {std::string("SHORT"), std::string(60, 'X')}) {
        SetMacro(item, macro);
        ASSERT_EQ(item.SetMacro(item.Macro() + 1, macro.size() - 1), kSOk);
        EXPECT_EQ(std::string(item.Macro()), macro.substr(1));
    }
    // Both forms are cut at 127 characters, and at a zero.
    SetMacro(item, std::string(130, 'M'));
    EXPECT_EQ(std::make_pair(std::string(item.Macro()), item.MacroW().size()),
              std::make_pair(std::string(127, 'M'), std::size_t(127)));
    SetMacroW(item, std::u16string(u"AB\0CD", 5));
    EXPECT_EQ(std::string(item.Macro()), "AB");

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
        EXPECT_EQ(std::string(item.Macro()), narrow);
    }
    EXPECT_EQ(item.MacroW(), u"AB" + std::u16string(62, u'中')); // both name the same macro
    Ril_SetAnsiCodePage(65001); // a pair of surrogates that does not fit goes whole
    SetMacroW(item, std::u16string(124, u'M') + u"\U00020000");
    EXPECT_EQ(std::string(item.Macro()), std::string(124, 'M'));
}

} // namespace
} // namespace ril::test
