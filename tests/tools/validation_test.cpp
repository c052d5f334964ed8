// Validation of item lists: every fault reported in order, repeats removed, list sorted.
#include "core/messages.h"
#include "support/test_support.h"
#include "tools/validation.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace ril::test {
namespace {

class ValidationTest : public ::testing::Test {
  protected:
    void Add(std::uint32_t id, const std::string &macro) {
        auto item = std::make_unique<RilStrRes>();
        item->ID = id;
        std::strncpy(item->Macro, macro.c_str(), sizeof item->Macro - 1);
        item->WidenMacro();
        ASSERT_EQ(item->SetTextA("t", 1), kSOk);
        list.Append(std::move(item));
    }
    std::vector<std::uint32_t> Ids() const {
        std::vector<std::uint32_t> ids;
        for (const auto &item : list.List())
            ids.push_back(item->ID);
        return ids;
    }
    std::string Log() {
        if (!FileExists(log))
            return "";
        Bytes bytes = ReadFile(log);
        return std::string(bytes.begin(), bytes.end());
    }

    TempDir dir;
    std::string log = dir.File("validate.log");
    CRilTxtLoader list;
};

TEST_F(ValidationTest, EveryIllegalByteIsReportedInListOrder) {
    Add(7, "");
    Add(8, "abc");
    Add(9, "A B");
    Add(10, "A-B");
    Add(11, "X\xD6\xD0"); // one GBK character: two bytes, two reports
    EXPECT_FALSE(Validate(list, log.c_str()));
    std::string expected = LogLine(msg::kEmptyMacro, 7, 128u);
    for (const char *c : {"a", "b", "c"})
        expected += LogLine(msg::kIllegalMacroCharacter, 8, "abc", c);
    expected += LogLine(msg::kIllegalMacroCharacter, 9, "A B", " ");
    expected += LogLine(msg::kIllegalMacroCharacter, 10, "A-B", "-");
    expected += LogLine(msg::kIllegalMacroCharacter, 11, "X\xD6\xD0", "\xD6");
    expected += LogLine(msg::kIllegalMacroCharacter, 11, "X\xD6\xD0", "\xD0");
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(list.Count(), 5u); // character faults remove nothing
}

TEST_F(ValidationTest, RepeatedMacrosAndIds) {
    Add(5, "X");
    Add(30, "B");
    Add(7, "X");
    Add(20, "A");
    Add(9, "X");
    Add(20, "C"); // same ID as A
    Add(30, "B"); // same macro and ID as the earlier B: reported as a macro repeat only
    Add(40, "");  // empty macros never repeat each other...
    Add(40, "");  // ...but equal IDs do
    EXPECT_FALSE(Validate(list, log.c_str()));
    std::string expected =
        LogLine(msg::kEmptyMacro, 40, 128u) + LogLine(msg::kEmptyMacro, 40, 128u);
    expected += LogLine(msg::kDuplicateMacro, 30, "B", 30, "B");
    expected += LogLine(msg::kDuplicateMacro, 5, "X", 7, "X");
    expected += LogLine(msg::kDuplicateMacro, 5, "X", 9, "X");
    expected += LogLine(msg::kDuplicateId, 20, "A", 20, "C");
    expected += LogLine(msg::kDuplicateId, 40, "", 40, "");
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{5, 20, 30, 40}));
    EXPECT_STREQ(list.List().front()->Macro, "X");
}

TEST_F(ValidationTest, RepeatedIdsAreFoundWhereverTheyStand) {
    struct Case {
        std::vector<std::int32_t> ids; // each with a macro of its own
        bool repeated;
        std::vector<std::int32_t> sorted;
    };
    const Case cases[] = {
        {{}, false, {}},
        {{3}, false, {3}},
        {{10, 20, 5, 30, 1, 40}, false, {1, 5, 10, 20, 30, 40}},
        {{3, 1, 2, std::int32_t(0x80000000u)}, false, {std::int32_t(0x80000000u), 1, 2, 3}},
        {{1, 2, 2, 3}, true, {1, 2, 3}},                // neighbours in the ascending run
        {{10, 30, 10, 40}, true, {10, 30, 40}},         // an item below the top repeats the run
        {{10, 30, 20, 25, 20}, true, {10, 20, 25, 30}}, // two items below the top
        {{-5, 3, -5}, true, {-5, 3}},                   // signed order
        {{3, -7, 2, -7, 9}, true, {-7, 2, 3, 9}},
    };
    for (const Case &c : cases) {
        CRilTxtLoader items;
        for (std::size_t i = 0; i < c.ids.size(); ++i) {
            auto item = std::make_unique<RilStrRes>();
            item->ID = static_cast<std::uint32_t>(c.ids[i]);
            std::snprintf(item->Macro, sizeof item->Macro, "%zuM_", i); // a digit may lead
            items.Append(std::move(item));
        }
        std::filesystem::remove(log);
        EXPECT_EQ(Validate(items, log.c_str()), !c.repeated) << c.ids.size();
        std::vector<std::int32_t> ids;
        for (const auto &item : items.List())
            ids.push_back(static_cast<std::int32_t>(item->ID));
        EXPECT_EQ(ids, c.sorted);
        EXPECT_EQ(FileExists(log), c.repeated); // a valid list writes no log
    }
}

TEST_F(ValidationTest, WithoutALogEveryFaultIsANotice) {
    NoticeCapture notices;
    Add(1, "a");
    Add(2, "A");
    Add(3, "A");
    EXPECT_FALSE(Validate(list, nullptr));
    ASSERT_EQ(notices.Notices().size(), 2u);
    EXPECT_EQ(notices.Notices()[0].caption, "Error:");
    EXPECT_EQ(notices.Notices()[0].message + "\r\n",
              LogLine(msg::kIllegalMacroCharacter, 1, "a", "a"));
    EXPECT_EQ(notices.Notices()[1].message + "\r\n", LogLine(msg::kDuplicateMacro, 2, "A", 3, "A"));
}

} // namespace
} // namespace ril::test
