// The interchange library: tables out to PO and XLIFF and back byte for byte, the translation
// states each format carries, and the faults it reports with their places.
#include "Ril4410.h"
#include "interchange/formats.h"
#include "interchange/interchange.h"
#include "interchange/units.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace ril::interchange {
namespace {

namespace fs = std::filesystem;

std::string Read(fs::path const &path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void Write(fs::path const &path, std::string const &text) {
    std::ofstream(path, std::ios::binary) << text;
}

class InterchangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir);
        Ril_SetStampTime(1700000000);
        Ril_SetHolderText("translators");
    }
    void TearDown() override {
        Ril_SetAnsiCodePage(0);
        Ril_SetHolderText(nullptr);
        Ril_SetStampTime(RIL_STAMP_DEFAULT);
        fs::remove_all(dir);
    }
    std::string File(std::string const &name) const { return (dir / name).string(); }
    // A BIN of `text` (a text resource file) in the code page in force.
    std::string Table(std::string const &name, std::string const &text) {
        Write(File(name + ".txt"), text);
        EXPECT_EQ(
            Ril_ImportResFromTxtToBin(File(name + ".txt").c_str(), 0, File(name).c_str(), nullptr),
            0);
        return File(name);
    }
    // The message of the Error that `run` throws.
    template <typename Run> std::string Failure(Run run) {
        try {
            run();
        } catch (Error const &error) {
            return error.what();
        }
        return "(no error)";
    }
    fs::path const dir =
        fs::temp_directory_path() /
        ("ril4410-interchange-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
};

// The shipped examples out to PO and XLIFF (base and translation the same table) and back.
TEST_F(InterchangeTest, ExamplesComeBackByteForByte) {
    // The example, its code page and whether it is wide.
    const std::tuple<char const *, unsigned, bool> rows[] = {{"notepad.txt", 936, false},
                                                             {"notepad_wide.txt", 936, true},
                                                             {"notepad_utf8.txt", 65001, false}};
    for (auto const &[example, codePage, wide] : rows) {
        Ril_SetAnsiCodePage(codePage);
        std::string const bin = File(std::string(example) + ".bin");
        std::string const source = std::string(RIL_SOURCE_DIR "/examples/") + example;
        ASSERT_EQ(Ril_ImportResFromTxtToBin(source.c_str(), wide, bin.c_str(), nullptr), 0);
        for (Format const format : {Format::kPo, Format::kXliff}) {
            std::string const file = File("out"), back = File("back.bin");
            Export({format, bin, wide, bin, wide, file});
            EXPECT_EQ(Import({format, file, "", false, false, wide, back}), 0);
            EXPECT_EQ(Read(back), Read(bin)) << example << " " << int(format);
            EXPECT_EQ(Import({format, file, bin, wide, false, wide, back}), 0);
            EXPECT_EQ(Read(back), Read(bin)) << example << " with its base";
        }
    }
}

// Untranslated units never reach the table, fuzzy ones only when asked for; both formats
// carry the states through a write and a read.
TEST_F(InterchangeTest, StatesSurviveBothFormats) {
    Units units(3);
    units[0] = {0,           true, "DONE", "&009&01x&0A1&099",
                "&009&099A", true, false,  {}}; // ID 0 is an ID too
    units[1] = {2, true, "FUZZY", "b", "B", true, true, {}};
    units[2] = {3, true, "NEW", "c", "", false, false, {}};
    FileFacts facts{"t.bin", "", "fr", "ril4410", 0, false};
    WritePo(units, facts, File("t.po"));
    WriteXliff(units, facts, File("t.xlf"));
    WritePo(units, {"t.bin", "", "", "ril4410", 0, true}, File("t.pot")); // as xgettext marks it
    EXPECT_EQ(Read(File("t.pot")).substr(0, 17), "#, fuzzy\nmsgid \"\"");
    // Placeholders are '&0' and two digits, nothing else.
    EXPECT_NE(Read(File("t.po")).find("#. ril4410-format: &009 &099\n"), std::string::npos);
    EXPECT_NE(Read(File("t.xlf")).find("&amp;01x&amp;0A1<ph id=\"2\""), std::string::npos);
    for (Units const &read : {ReadPo(File("t.po")), ReadXliff(File("t.xlf"))}) {
        ASSERT_EQ(read.size(), 3u);
        EXPECT_TRUE(read[0].identified);
        std::vector<std::string> kept, withFuzzy;
        for (Unit const &unit : TranslatedUnits(read, nullptr, false))
            kept.push_back(unit.macro + "=" + unit.target);
        for (Unit const &unit : TranslatedUnits(read, nullptr, true))
            withFuzzy.push_back(std::to_string(unit.id) + unit.macro);
        EXPECT_EQ(kept, std::vector<std::string>{"DONE=&009&099A"});
        EXPECT_EQ(withFuzzy, (std::vector<std::string>{"0DONE", "2FUZZY"}));
    }
    // XLIFF states from other tools: final and signed-off are translations, needs-review-*
    // fuzzy, approved="yes" a translation whatever the state, a target without state too.
    Write(
        File("states.xlf"),
        R"(<xliff version="1.2" xmlns="urn:oasis:names:tc:xliff:document:1.2"><file><body>)"
        R"(<trans-unit id="1" resname="F"><source>s</source><target state="final">1</target></trans-unit>)"
        R"(<group><trans-unit id="2" resname="S"><source>s</source><target state="signed-off">2</target></trans-unit></group>)"
        R"(<trans-unit id="3" resname="R"><source>s</source><target state="needs-review-l10n">3</target></trans-unit>)"
        R"(<trans-unit id="4" resname="A" approved="yes"><source>s</source><target state="needs-translation">4</target></trans-unit>)"
        R"(<trans-unit id="5" resname="N"><source>s</source><target state="needs-translation">5</target></trans-unit>)"
        R"(<trans-unit id="6" resname="P"><source>s</source><target>x<x id="1" equiv-text="&amp;001"/></target></trans-unit>)"
        R"(<trans-unit id="7x" resname="Q"><source>s</source></trans-unit>)"
        R"(</body></file></xliff>)");
    std::string kept;
    for (Unit const &unit : TranslatedUnits(ReadXliff(File("states.xlf")), nullptr, false))
        kept += unit.macro + unit.target + " ";
    EXPECT_EQ(kept, "F1 S2 A4 Px&001 ");
    EXPECT_FALSE(ReadXliff(File("states.xlf")).back().identified); // an ID is a number, whole
}

// Faults name their file and, where a reader knows it, the line and column; nothing is
// written.
TEST_F(InterchangeTest, FaultsNameTheirPlaces) {
    Ril_SetAnsiCodePage(65001);
    std::string const base = Table("base.bin", "RilStringID=1;RilStringMacro=A\r\n{x}");
    std::string const po = File("t.po"), bin = File("t.bin");
    Write(po, "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n#. ID 5\n"
              "msgctxt \"B\"\nmsgid \"y\"\nmsgstr \"\xE4\xB8\xAD\"\n");
    Ril_SetAnsiCodePage(1252);
    auto const importPo = [&](std::string const &from) {
        Import({Format::kPo, po, from, false, false, false, bin});
    };
    // The message, and what fails with it.
    std::pair<std::string, std::function<void()>> const rows[] = {
        {po + ":7:1: error: the text of B (ID 5) cannot be written in code page 1252",
         [&] { importPo(""); }},
        {po + ":7:1: error: the base table holds no item B", [&] { importPo(base); }},
        {File("x.po") + ": error: the text of A (ID 1) holds a carriage return that is no part "
                        "of a CR LF line break, which PO cannot hold (use XLIFF)",
         [&] {
             WritePo({{1, true, "A", "a\rb", "", false, false, {}}}, {}, File("x.po"));
         }},
        {"bad.xlf:2:9: error: Start-end tags mismatch",
         [&] { ReadXliffBuffer("<xliff>\n<file></body>", "bad.xlf"); }},
        {"v2.xlf:1:1: error: not an XLIFF 1.2 document (<xliff "
         "xmlns=\"urn:oasis:names:tc:xliff:document:1.2\"> expected)",
         [&] {
             ReadXliffBuffer("<xliff xmlns=\"urn:oasis:names:tc:xliff:document:2.0\"/>", "v2.xlf");
         }},
    };
    for (auto const &[expected, run] : rows)
        EXPECT_EQ(Failure(run), expected);
    EXPECT_FALSE(fs::exists(bin));
    EXPECT_FALSE(fs::exists(File("x.po")));
    // A PO syntax error, libgettextpo's own words at its place; no IDs and no base.
    Write(po, "msgid \"a\"\nmsgstr \"b\"\nmsgid\n");
    EXPECT_EQ(Failure([&] { ReadPo(po); }).substr(0, po.size() + 12), po + ":4:1: error:");
    Write(po,
          "msgid \"\"\nmsgstr \"\"\n\n#. ID 1\nmsgctxt \"A\"\nmsgid \"a\"\nmsgstr \"b\\xFFc\"\n");
    EXPECT_EQ(Failure([&] { ReadPo(po); }), po + ":7:1: error: a message here is not valid UTF-8");
    Write(po, "msgctxt \"A\"\nmsgid \"a\"\nmsgstr \"b\"\n");
    EXPECT_EQ(Failure([&] { importPo(""); }),
              po + ":3:1: error: the entry A carries no item ID (give the base table with --base)");
}

} // namespace
} // namespace ril::interchange
