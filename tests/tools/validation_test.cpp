// Validation of item lists: every fault reported in order, repeats removed, list sorted.
#include "core/messages.h"
#include "support/test_support.h"
#include "tools/validation.h"

using namespace ril::core;
using namespace ril::items;
using namespace ril::tools;

namespace ril::test {
namespace {

class ValidationTest : public ::testing::Test {
  protected:
    void Add(std::vector<std::pair<std::uint32_t, std::string>> const &items) {
        for (auto const &[id, macro] : items)
            AddItem(list, id, macro, "t");
    }
    std::vector<std::int32_t> Ids() const {
        std::vector<std::int32_t> ids;
        for (auto const &item : list.List())
            ids.push_back(static_cast<std::int32_t>(item->ID));
        return ids;
    }
    TempDir dir;
    std::string log = dir.File("validate.log");
    CRilTxtLoader list;
};

// Every fault logged in order, repeats removed and the list sorted; repeated IDs are found
// wherever they stand, and a valid list writes no log.
TEST_F(ValidationTest, RepeatedMacrosAndIds) {
    // C has the ID of A; the second B repeats macro and ID and is reported as a macro repeat
    // only; empty macros never repeat each other, but equal IDs do.
    Add({{5, "X"}, {30, "B"}, {7, "X"}, {20, "A"}, {9, "X"}});
    Add({{20, "C"}, {30, "B"}, {40, ""}, {40, ""}});
    EXPECT_FALSE(Validate(list, log.c_str()));
    EXPECT_EQ(ReadText(log), LogLine(msg::kEmptyMacro, 40, 128u) +
                                 LogLine(msg::kEmptyMacro, 40, 128u) +
                                 LogLine(msg::kDuplicateMacro, 30, "B", 30, "B") +
                                 LogLine(msg::kDuplicateMacro, 5, "X", 7, "X") +
                                 LogLine(msg::kDuplicateMacro, 5, "X", 9, "X") +
                                 LogLine(msg::kDuplicateId, 20, "A", 20, "C") +
                                 LogLine(msg::kDuplicateId, 40, "", 40, ""));
    EXPECT_EQ(Ids(), (std::vector<std::int32_t>{5, 20, 30, 40}));
    EXPECT_STREQ(list.List().front()->Macro(), "X");
    list.List().clear(); // an empty macro alone is enough
    Add({{1, ""}});
    EXPECT_FALSE(Validate(list, log.c_str()));

    using Ids32 = std::vector<std::int32_t>;
    const std::int32_t low = std::int32_t(0x80000000u);
    struct Case {
        Ids32 ids; // each with a macro of its own
        bool repeated;
        Ids32 sorted;
    };
    const Case cases[] = {
        {{}, false, {}},
        {{10, 20, 5, 30, 1, 40}, false, {1, 5, 10, 20, 30, 40}},
        {{3, 1, 2, low}, false, {low, 1, 2, 3}},
        {{1, 2, 2, 3}, true, {1, 2, 3}},                // neighbours in the ascending run
        {{10, 30, 10, 40}, true, {10, 30, 40}},         // an item below the top repeats the run
        {{10, 30, 20, 25, 20}, true, {10, 20, 25, 30}}, // two items below the top
        {{3, -7, 2, -7, 9}, true, {-7, 2, 3, 9}},       // signed order
    };
    for (auto const &[ids, repeated, sorted] : cases) {
        list.List().clear();
        for (std::size_t i = 0; i < ids.size(); ++i)
            AddItem(list, std::uint32_t(ids[i]), std::to_string(i) + "M_", "t"); // a digit may lead
        std::filesystem::remove(log);
        bool const valid = Validate(list, log.c_str());
        EXPECT_EQ(std::make_tuple(valid, Ids(), FileExists(log)),
                  std::make_tuple(!repeated, sorted, repeated)); // a valid list writes no log
    }
}

} // namespace
} // namespace ril::test
