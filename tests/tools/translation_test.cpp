// Translations checked against their base table (Ril_CheckAgainst): each seeded defect with
// its message and place, in text files and BINs of either flavour; and pseudo-localised text
// files (Ril_PseudoResTxt) byte for byte in each code page, read back through the import.
#include "support/test_support.h"

#include <tuple>

using namespace ril::core;

namespace ril::test {
namespace {

// id, severity, line, column, English text
using Found = std::tuple<std::string, int, long long, long long, std::string>;

// The findings but informations (new IDs, gap counts, marks read).
std::vector<Found> Findings(PartsCapture const &capture) {
    std::vector<Found> found;
    for (NoticeParts const &n : capture.seen)
        if (n.severity != RIL_SEVERITY_INFORMATION)
            found.emplace_back(n.id, n.severity, n.line, n.column, n.text);
    return found;
}

class Translation : public LibraryTest {
  protected:
    Translation() : LibraryTest(936) {}
    void SetUp() override {
        LibraryTest::SetUp();
        Ril_SetMessageLanguage(RIL_MESSAGES_ENGLISH);
    }
};

constexpr char kBase[] = "//base\nRilStringID=1;RilStringMacro=OPEN\n{Open &001 in &002}\n"
                         "RilStringID=2;RilStringMacro=SAVE\n{Save}\n"
                         "RilStringID=3;RilStringMacro=QUIT\n{Quit &001}\n";

TEST_F(Translation, EachDefectWithItsPlace) {
    int const E = RIL_SEVERITY_ERROR;
    std::string const base = PutText("base.txt", kBase);
    std::string const one = "RilStringID=1;RilStringMacro=OPEN\n{Ouvrir &001 dans &002}\n";
    std::string const two = "RilStringID=2;RilStringMacro=SAVE\n{Enregistrer}\n";
    std::string const three = "RilStringID=3;RilStringMacro=QUIT\n{Quitter &001}\n";
    // The case, the translation and its findings; a lost placeholder, a changed macro, an ID
    // not in the base and IDs not translated are the tool's check_against run.
    // clang-format off
    const std::tuple<char const *, std::string, std::vector<Found>> rows[] = {
        {"clean, placeholders reordered", "RilStringID=1;RilStringMacro=OPEN\n{&002: &001}\n" + two + three, {}},
        {"placeholder added", one + "RilStringID=2;RilStringMacro=SAVE\n  {Enregistrer &001}\n" + three, {{"placeholders-differ", E, 3, 1, "ID 2: the placeholders (&001) differ from the base table's ()"}}},
        {"placeholder renumbered", one + two + "  RilStringID=3;RilStringMacro=QUIT\n{Quitter &003}\n", {{"placeholders-differ", E, 5, 3, "ID 3: the placeholders (&003) differ from the base table's (&001)"}}},
    };
    // clang-format on
    for (auto const &[name, translation, found] : rows) {
        SCOPED_TRACE(name);
        std::string const lang = PutText("lang.txt", translation);
        PartsCapture capture;
        EXPECT_EQ(Ril_CheckAgainst(base.c_str(), lang.c_str(), 0, 0),
                  found.empty() ? kSOk : kErrImportParse);
        EXPECT_EQ(Findings(capture), found);
    }
    EXPECT_EQ(Ril_CheckAgainst(nullptr, base.c_str(), 0, 0), kErrArgument);
    EXPECT_EQ(Ril_CheckAgainst(base.c_str(), base.c_str(), 0, 1), kErrArgument);
    PartsCapture capture;
    EXPECT_EQ(Ril_CheckAgainst(dir.File("none.txt").c_str(), base.c_str(), 0, 0), kErrImportParse);
    ASSERT_EQ(Findings(capture).size(), 1u);
    EXPECT_EQ(std::get<0>(Findings(capture)[0]), "cannot-open");
}

// BINs of either flavour, told apart from text files by their bytes, and text files read by
// their marks (the shipped examples among them), compared across flavours and code pages.
TEST_F(Translation, AcrossFlavoursAndFiles) {
    // clang-format off
    std::string const wideBase = PutText("base_wide.txt", Utf16(u"RilStringID=1;RilStringMacro=OPEN\n{\u6253\u5F00 &001}\nRilStringID=2;RilStringMacro=SAVE\n{\u4FDD\u5B58}\n"));
    std::string const utf8 = PutText("lang_utf8.txt", "\xEF\xBB\xBFRilStringID=1;RilStringMacro=OPEN\n{\xC3\xA9 &001}\nRilStringID=2;RilStringMacro=SAVE\n{\xC3\xA9}\n");
    std::string const wideBin = Put("base_wide.bin", BinBuilder().Header(1, 2, 2).EntryW(1, "OPEN", u"O\u4E00 &001").EntryW(2, "SAVE", u"\u4FDD\u5B58").Trailer("h").Get());
    std::string const narrowBin = Put("lang.bin", BinBuilder().Header(1, 2, 2).EntryA(1, "OPEN", "Ouvrir").EntryA(2, "SAVE", "&001").Trailer("h").Get());
    // clang-format on
    PartsCapture capture;
    EXPECT_EQ(Ril_CheckAgainst(wideBase.c_str(), utf8.c_str(), 0, RIL_LINT_UTF8_SIGNATURE), kSOk);
    EXPECT_EQ(Ril_CheckAgainst(utf8.c_str(), wideBin.c_str(), 0, RIL_LINT_UTF8_SIGNATURE), kSOk);
    EXPECT_EQ(Ril_SetAnsiCodePage(936), 936u); // the signature's code page ends with the call
    EXPECT_EQ(Findings(capture), std::vector<Found>{});
    // A BIN has no lines: its findings name the file alone.
    EXPECT_EQ(Ril_CheckAgainst(wideBin.c_str(), narrowBin.c_str(), 0, 0), kErrImportParse);
    // clang-format off
    EXPECT_EQ(Findings(capture), (std::vector<Found>{{"placeholders-differ", RIL_SEVERITY_ERROR, 0, 0, "ID 1: the placeholders () differ from the base table's (&001)"},
                                                 {"placeholders-differ", RIL_SEVERITY_ERROR, 0, 0, "ID 2: the placeholders (&001) differ from the base table's ()"}}));
    // clang-format on

    // The shipped example in its three encodings and its French translation agree.
    capture.seen.clear();
    char const *const files[] = {"notepad.txt", "notepad_utf8.txt", "notepad_wide.txt",
                                 "notepad_fr.txt"};
    std::string const examples = RIL_SOURCE_DIR "/examples/";
    for (char const *base : files)
        for (char const *lang : files)
            EXPECT_EQ(Ril_CheckAgainst((examples + base).c_str(), (examples + lang).c_str(), 0,
                                       RIL_LINT_UTF8_SIGNATURE),
                      kSOk)
                << base << " " << lang;
    EXPECT_EQ(Findings(capture), std::vector<Found>{});
}

// Each flavour and code page byte for byte: accents where the code page holds them, plain
// letters where not, a double-byte character's trail byte left alone, the access key and
// placeholders kept, line breaks kept, '~' for 30% more; the output imports again.
TEST_F(Translation, PseudoInEveryFlavourAndItsRefusals) {
    std::string const items = "RilStringID=1;RilStringMacro=A\r\n{Save &001}\r\n"
                              "RilStringID=2;RilStringMacro=B\r\n{&Open\nno}\r\n";
    struct Row {
        char const *name;
        unsigned codePage;
        std::string input;
        std::string mark;
        std::vector<std::string> texts; // multibyte bytes, or UTF-16LE
    };
    // clang-format off
    const Row rows[] = {
        {"1252", 1252, items, "/", {"[\x8A\xE1v\xE9 &001~~~]", "[&Op\xE9\xF1\n\xF1\xF3~~~]"}},
        {"GBK", 936, items, "/", {"[S\xA8\xA2v\xA8\xA6 &001~~~]", "[&Op\xA8\xA6n\nn\xA8\xAE~~~]"}},
        {"Shift-JIS", 932, items + "RilStringID=3;RilStringMacro=C\r\n{\x83\x41" "b}\r\n", "/", {"[Save &001~~~]", "[&Open\nno~~~]", "[\x83\x41" "b~]"}},
        {"UTF-8 by its mark", 936, "\xEF\xBB\xBF" + items, "\xEF\xBB\xBF", {"[\xC5\xA0\xC3\xA1v\xC3\xA9 &001~~~]", "[&Op\xC3\xA9\xC3\xB1\n\xC3\xB1\xC3\xB3~~~]"}},
        {"UTF-16", 936, Utf16(u"RilStringID=1;RilStringMacro=A\r\n{Save &001}\r\n"), "\xFF\xFE", {Utf16(u"[\u0160\u00E1v\u00E9 &001~~~]").substr(2)}},
    };
    // clang-format on
    PartsCapture capture;
    for (Row const &row : rows) {
        SCOPED_TRACE(row.name);
        Ril_SetAnsiCodePage(row.codePage);
        std::string const in = PutText("in.txt", row.input);
        std::string const out = dir.File("out.txt"), bin = dir.File("out.bin");
        ASSERT_EQ(Ril_PseudoResTxt(in.c_str(), out.c_str(), 0, RIL_LINT_UTF8_SIGNATURE), kSOk);
        EXPECT_EQ(Ril_SetAnsiCodePage(row.codePage), row.codePage);
        EXPECT_EQ(ReadText(out).substr(0, row.mark.size()), row.mark);
        ASSERT_EQ(Ril_ImportResFromTxtToBinEx(out.c_str(), 0, bin.c_str(), nullptr,
                                              RIL_LINT_UTF8_SIGNATURE | RIL_LINT_STRICT_BYTES),
                  kSOk);
        ASSERT_EQ(Ril_LoadRes(bin.c_str()), kSOk);
        for (RIL_ULONG id = 1; id <= row.texts.size(); ++id) {
            RIL_RECORD_PARTS parts{};
            ASSERT_EQ(Ril_SplitRecord(Ril_GetData(id), Ril_GetItemSize(id), row.mark == "\xFF\xFE",
                                      &parts),
                      kSOk);
            EXPECT_EQ(std::string(static_cast<char const *>(parts.text), parts.textSize),
                      row.texts[id - 1]);
        }
        Ril_UnloadRes();
    }
    EXPECT_EQ(Findings(capture), std::vector<Found>{});

    // Refusals: nothing written over the input, a file without items, missing arguments.
    std::string const in = PutText("in.txt", kBase);
    EXPECT_EQ(Ril_PseudoResTxt(in.c_str(), in.c_str(), 0, 0), kErrOutputWrite);
    EXPECT_EQ(ReadText(in), kBase);
    std::string const empty = PutText("none.txt", "//\n");
    EXPECT_EQ(Ril_PseudoResTxt(empty.c_str(), dir.File("out.txt").c_str(), 0, 0), kErrImportParse);
    EXPECT_EQ(Ril_PseudoResTxt(in.c_str(), nullptr, 0, 0), kErrArgument);
    EXPECT_EQ(Ril_PseudoResTxt(in.c_str(), dir.File("out.txt").c_str(), 0, 2), kErrArgument);
    ASSERT_EQ(Findings(capture).size(), 2u);
    EXPECT_EQ(std::get<0>(Findings(capture)[0]), "writes-own-input");
    EXPECT_EQ(std::get<0>(Findings(capture)[1]), "no-items");
}

} // namespace
} // namespace ril::test
