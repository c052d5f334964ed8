// The BIN inspection (Ril_InspectBin, Ril_InspectBinImage): every reason a file is no BIN,
// also as the structured notice of a failed Ril_LoadRes; the flavour, IDs and undecodable
// texts of a BIN; and Ril_SplitRecord.
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace ril::core;

namespace ril::test {
namespace {

class BinInspectionTest : public LibraryTest {
  protected:
    void SetUp() override {
        LibraryTest::SetUp();
        Ril_SetMessageLanguage(RIL_MESSAGES_ENGLISH);
    }
    RIL_LONG Inspect(Bytes const &bytes, std::vector<RIL_ULONG> *ids = nullptr) {
        static const std::uint8_t kEmpty = 0; // an empty vector may have no address
        info = RIL_BIN_INFO{};
        info.structSize = sizeof info;
        return Ril_InspectBinImage(bytes.empty() ? &kEmpty : bytes.data(),
                                   static_cast<RIL_ULONG>(bytes.size()), &info,
                                   ids != nullptr ? ids->data() : nullptr,
                                   ids != nullptr ? static_cast<RIL_ULONG>(ids->size()) : 0);
    }
    RIL_BIN_INFO info{};
};

struct Heard {
    std::string id, file, text;
    int systemError = 0;
};
void Keep(void *context, RIL_NOTICE const *n) {
    *static_cast<Heard *>(context) = Heard{n->messageId, n->file, n->text, n->systemError};
}

TEST_F(BinInspectionTest, RefusesWhatIsNoBinAndAFailedLoadSaysWhy) {
    // The bytes, the message ID and text, and whether the loader's rules read it all the same.
    using Row = std::tuple<Bytes, char const *, char const *, bool>;
    BinBuilder const one = BinBuilder().Header(0, 2, 2).EntryA(1, "A", "a");
    // clang-format off
    const Row rows[] = {
        {{}, "bin-empty", "the file is empty", true},
        {Bytes{0, 0, 0, 0, 0}, "bin-short-header", "5 bytes, shorter than the 12-byte header", true},
        {BinBuilder().Header(0x6972, 1, 0).Get(), "bin-holder-flag", "holder flag 26994 (0 or 1 expected)", false},
        {one.Get(), "bin-entry-past-end", "entry 2 of 2 runs past the end of the file", false},
        {BinBuilder().Header(0, 1, 1).U32(1).U32(9).Raw("ab").Get(), "bin-entry-past-end", "entry 1 of 1 runs past the end of the file", true},
        {BinBuilder().Header(0, 5, 1).EntryA(15, "A", "a").Get(), "bin-id-beyond", "entry 1 of 1 (ID 15): the ID is not below 15 (the max ID + 10)", false},
        {BinBuilder().Header(0, 1, 1).Entry(1, Bytes{5, 0, 'A'}).Get(), "bin-record-without-macro", "entry 1 of 1 (ID 1): its record of 3 bytes cannot hold its macro", true},
        {BinBuilder().Header(0, 1, 1).Entry(1, Bytes{}).Get(), "bin-record-without-macro", "entry 1 of 1 (ID 1): its record of 0 bytes cannot hold its macro", true},
        {BinBuilder().Header(1, 0, 0).Get(), "bin-no-marker-room", "no room for the holder marker that its holder flag announces", true},
        {BinBuilder().Header(1, 0, 0).Raw("abc").Get(), "bin-marker-open", "the holder marker does not end with a zero byte", true},
        {BinBuilder().Header(1, 0, 0).U16(0xFFFF).U8(0).Get(), "bin-marker-too-long", "the holder marker of 65535 bytes does not fit the file", true},
        {BinBuilder().Header(1, 1, 1).EntryA(1, "A", "xy").U16(3).U8(0).Get(), "bin-entry-into-marker", "entry 1 of 1 runs into the holder marker", true},
        {BinBuilder().Header(1, 2, 2).EntryA(1, "A", "x").EntryA(2, "B", "xy").U16(3).U8(0).Get(), "bin-entry-into-marker", "entry 2 of 2 runs into the holder marker", true},
    };
    // clang-format on
    for (auto const &[bytes, id, text, loads] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Inspect(bytes), kEFail);
        EXPECT_EQ(std::make_tuple(info.verdict, std::string(info.messageId), std::string(info.text),
                                  info.systemError, info.idCount, info.flavour),
                  std::make_tuple(int(RIL_BIN_MALFORMED), std::string(id),
                                  "not a BIN: " + std::string(text), 0, 0u, 0));
        // A failed load keeps its bare result; the structured handler alone hears why.
        std::string const path = Put("t.bin", bytes);
        Heard heard;
        Ril_SetNoticeHandlerEx(&Keep, &heard);
        EXPECT_EQ(Ril_LoadRes(path.c_str()), loads ? kSOk : kEFail);
        Ril_SetNoticeHandlerEx(nullptr, nullptr);
        EXPECT_EQ(std::make_tuple(heard.id, heard.file, heard.text),
                  loads ? std::make_tuple(std::string(), std::string(), std::string())
                        : std::make_tuple(std::string(id), path, std::string(info.text)));
        EXPECT_EQ(Ril_LoadRes(path.c_str()), loads ? kSOk : kEFail);
        ExpectNotice(""); // nothing for the plain handler
    }

    // Files that cannot be read: a missing one, and a folder.
    for (std::string const &path : {dir.File("missing.bin"), dir.Path().string()}) {
        info = RIL_BIN_INFO{};
        info.structSize = sizeof info;
        EXPECT_EQ(Ril_InspectBin(path.c_str(), &info, nullptr, 0), kEFail);
        std::string const reason = info.systemReason;
        EXPECT_EQ(
            std::make_tuple(info.verdict, std::string(info.messageId), std::string(info.text)),
            std::make_tuple(int(RIL_BIN_UNREADABLE), std::string("cannot-open"),
                            "cannot open '" + path + "': " + reason));
        EXPECT_NE(info.systemError, 0);
        EXPECT_FALSE(reason.empty());
        Heard heard;
        Ril_SetNoticeHandlerEx(&Keep, &heard);
        EXPECT_EQ(Ril_LoadRes(path.c_str()), kEFail);
        Ril_SetNoticeHandlerEx(nullptr, nullptr);
        EXPECT_EQ(std::make_tuple(heard.id, heard.file, heard.systemError),
                  std::make_tuple(std::string("cannot-open"), path, info.systemError));
    }
#ifndef _WIN32
    EXPECT_EQ(info.systemError, EISDIR);
#endif
}

TEST_F(BinInspectionTest, TellsFlavourIdsAndTextsThatDoNotDecode) {
    using Ids = std::vector<RIL_ULONG>;
    using Undecodable = std::pair<RIL_ULONG, RIL_ULONG>; // in GBK, in UTF-8
    constexpr int A = RIL_BIN_FLAVOUR_MULTIBYTE, W = RIL_BIN_FLAVOUR_WIDE;
    // A2A0 is no character of GBK; Windows' code page 936 maps it into the private-use area.
#ifdef _WIN32
    constexpr RIL_ULONG kA2A0 = 0;
#else
    constexpr RIL_ULONG kA2A0 = 1;
#endif
    // clang-format off
    const std::tuple<Bytes, int, Ids, Undecodable> rows[] = {
        {BinBuilder().Header(1, 5, 2).EntryA(5, "BYE", "OK").EntryA(1, "HELLO", "Hi").Trailer("h").Get(), A, {1, 5}, {0, 0}},
        {BinBuilder().Header(0, 9, 3).EntryW(9, "A", u"\u4E2D").EntryW(2, "B", u"b").EntryA(3, "C", "c").Get(), W, {2, 3, 9}, {0, 0}},
        {BinBuilder().Header(0, 2, 2).EntryW(1, "A", u"a").EntryA(2, "B", "b").Get(), 0, {1, 2}, {0, 0}}, // a tie
        {BinBuilder().Header(0, 3, 3).EntryA(3, "A", "\xD6\xD0").EntryA(0, "B", "b").EntryA(3, "C", "\xCE\xC4").Get(), A, {0, 3}, {0, 2}},
        {BinBuilder().Header(0, 1, 1).EntryA(1, "A", "\xE4\xB8\xAD").Get(), A, {1}, {1, 0}},
        {BinBuilder().Header(0, 2, 2).EntryA(2, "A", "x\xD6\xD0\xCE").EntryA(1, "B", "\xE4\xB8\xAD \xD6\xD0").Get(), A, {1, 2}, {2, 2}},
        {BinBuilder().Header(0, 2, 2).EntryA(1, "A", "abcdefghi\xD6\xD0").EntryA(2, "B", "\xD6\xD0\xA2\xA0").Get(), A, {1, 2}, {kA2A0, 2}},
        {BinBuilder().Header(0, 7, 0).Get(), 0, {}, {0, 0}},
    };
    // clang-format on
    for (auto const &[bytes, flavour, expectedIds, undecodable] : rows) {
        Ids ids(expectedIds.size() + 1, 0xAAAA);
        Undecodable counted;
        for (unsigned codePage : {936u, 65001u}) {
            Ril_SetAnsiCodePage(codePage);
            EXPECT_EQ(Inspect(bytes, &ids), kSOk);
            (codePage == 936 ? counted.first : counted.second) = info.undecodable;
        }
        ids.pop_back();
        EXPECT_EQ(std::make_tuple(info.verdict, info.messageId, info.text[0], info.flavour, ids,
                                  info.idCount, counted),
                  std::make_tuple(int(RIL_BIN_OK), nullptr, '\0', flavour, expectedIds,
                                  RIL_ULONG(expectedIds.size()), undecodable));
    }

    // The size query: S_FALSE with the first IDs that fit; refused requests change nothing.
    Bytes const two = std::get<0>(rows[0]);
    Ids one(1);
    EXPECT_EQ(std::make_tuple(Inspect(two), Inspect(two, &one), one[0], info.idCount,
                              info.holderFlag, info.maxId, info.count),
              std::make_tuple(kSFalse, kSFalse, 1u, 2u, 1u, 5u, 2u));
    info.structSize = sizeof info - 1;
    EXPECT_EQ((std::vector<RIL_LONG>{Ril_InspectBinImage(two.data(), 8, &info, nullptr, 0),
                                     Ril_InspectBinImage(nullptr, 0, &info, nullptr, 0),
                                     Ril_InspectBin(nullptr, &info, nullptr, 0),
                                     Ril_InspectBin("x.bin", nullptr, nullptr, 0)}),
              std::vector<RIL_LONG>(4, kErrArgument));
    info.structSize = sizeof info;
    EXPECT_EQ(std::make_pair(Ril_InspectBinImage(two.data(), 8, &info, nullptr, 1), info.count),
              (std::pair<RIL_LONG, RIL_ULONG>(kErrArgument, 2u)));
}

TEST(RecordSplit, MacroAndTextInEitherFlavour) {
    using std::string_literals::operator""s;
    using Split = std::tuple<RIL_LONG, std::string, std::string>; // result, macro, text
    // clang-format off
    const std::tuple<Bytes, int, Split> rows[] = {
        {RecordA("HELLO", "Hi"), 0, {0, "HELLO", "Hi"}},
        {RecordW("M", u"ab"), 1, {0, "M", "a\0b\0"s}},
        {Bytes{2, 0, 'A', 0, 'x', 'y'}, 0, {0, "A", "xy"}},            // no terminator: the record's end
        {Bytes{2, 0, 'A', 0, 'x', 0, 'y'}, 1, {0, "A", "x\0"s}},       // an odd last byte is no unit
        {Bytes{2, 0, 'A', 0, 'x', 0, 0, 'y', 0, 0}, 1, {0, "A", "x\0\0y"s}}, // units from the text's start
        {Bytes{0, 0, 'x', 0}, 0, {kSFalse, "", "x"}},                   // M 0
        {Bytes{2, 0, 'A', 'B', 't', 0}, 0, {kSFalse, "AB", "t"}},       // the macro without its zero
        {Bytes{5}, 0, {kEFail, "", ""}},
        {Bytes{9, 0, 'A'}, 0, {kEFail, "", ""}},
    };
    // clang-format on
    for (auto const &[record, wide, expected] : rows) {
        RIL_RECORD_PARTS parts{};
        RIL_LONG const result =
            Ril_SplitRecord(record.data(), RIL_ULONG(record.size()), wide, &parts);
        EXPECT_EQ(Split(result, parts.macro ? std::string(parts.macro, parts.macroLength) : "",
                        parts.text
                            ? std::string(static_cast<char const *>(parts.text), parts.textSize)
                            : ""),
                  expected);
    }
    RIL_RECORD_PARTS parts{};
    EXPECT_EQ(std::make_pair(Ril_SplitRecord(nullptr, 0, 0, &parts),
                             Ril_SplitRecord("\1\0\0", 3, 0, nullptr)),
              (std::pair<RIL_LONG, RIL_LONG>(kErrArgument, kErrArgument)));
}

} // namespace
} // namespace ril::test
