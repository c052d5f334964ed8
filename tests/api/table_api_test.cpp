// Tables as handles: the texts against the process-wide getters, fallback chains and the
// chains of languages, and lookups from many threads while other tables open and close.
#include "platform/fault.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

using namespace ril::core;

namespace ril::test {
namespace {

struct Closer {
    void operator()(RIL_TABLE *table) const { Ril_CloseTable(table); }
};
using Table = std::unique_ptr<RIL_TABLE, Closer>;

class TableApiTest : public LibraryTest {
  protected:
    Table Open(std::string const &name, Bytes const &bytes) {
        return Table(Ril_OpenTable(Put(name, bytes).c_str()));
    }
};

std::string TextA(RIL_TABLE const *table, RIL_ULONG id) {
    char const *text = Ril_TableGetStringA(table, id);
    return text != nullptr ? text : "(null)";
}

// Records of every shape, dense and sparse: each flavour's text is the one its process-wide
// getter gives on the table loaded afresh, the records and counts are the file's, and an
// absent ID gives NULL.
TEST_F(TableApiTest, TextsAreThoseOfTheProcessWideGetters) {
    // clang-format off
    const Bytes dense = BinBuilder().Header(1, 6, 7)
        .EntryA(1, "CR", "A\r\nB").EntryW(2, "ODD", u"x\ry") // odd macro: wide text unaligned
        .EntryW(3, "EVEN", u"wide").Entry(4, {0x02, 0x00, 'M', 0x00, 'a', '\r', 'c'})
        .Entry(5, {0xFF, 0x7F, 'L'}).Entry(6, {0x07}).Entry(0, {}).Trailer("h").Get();
    const Bytes sparse = BinBuilder().Header(0, 4000000, 2).EntryA(7, "S", "s\r")
        .EntryW(3999999, "W", u"far").Get();
    // clang-format on
    for (Bytes const &bytes : {dense, sparse}) {
        std::string const path = Put("t.bin", bytes);
        Table table(Ril_OpenTable(path.c_str()));
        ASSERT_TRUE(table);
        ASSERT_EQ(Ril_LoadRes(path.c_str()), 0);
        EXPECT_EQ(Ril_TableGetNumItem(table.get()), Ril_GetNumItem());
        std::vector<RIL_ULONG> ids;
        for (RIL_ULONG id : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 3999999u, 4000009u})
            if (Ril_GetData(id) != nullptr)
                ids.push_back(id);
        for (RIL_ULONG id : ids) {
            RIL_ULONG const size = Ril_GetItemSize(id);
            EXPECT_EQ(std::memcmp(Ril_TableGetData(table.get(), id), Ril_GetData(id), size), 0);
            EXPECT_EQ(TextA(table.get(), id), Ril_GetStringA(id)) << id;
        }
        ASSERT_EQ(Ril_LoadRes(path.c_str()), 0); // the wide getter on untouched records
        for (RIL_ULONG id : ids) {
            RIL_WCHAR const *wide = Ril_TableGetStringW(table.get(), id);
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(wide) & 1, 0u);
            EXPECT_EQ(Wide(wide), Wide(Ril_GetStringW(id))) << id;
        }
        EXPECT_EQ(ids.size(), bytes == dense ? 6u : 2u);
        for (RIL_ULONG id : {8u, 9u, 3999998u, 0xFFFFFFFFu})
            EXPECT_EQ(std::make_tuple(Ril_TableGetStringA(table.get(), id),
                                      Ril_TableGetStringW(table.get(), id),
                                      Ril_TableGetData(table.get(), id)),
                      std::make_tuple(nullptr, nullptr, nullptr))
                << id;
    }
    EXPECT_EQ(std::make_tuple(Ril_TableGetStringA(nullptr, 1), Ril_TableGetNumItem(nullptr)),
              std::make_tuple(nullptr, 0u));
    Ril_CloseTable(nullptr);
}

// Each level answers its own IDs, an ID absent everywhere gives NULL, and no chain may
// become a cycle.
TEST_F(TableApiTest, FallbackChains) {
    Table top = Open("top.bin", BinBuilder().Header(1, 1, 1).EntryA(1, "A", "top").Get());
    Table mid =
        Open("mid.bin",
             BinBuilder().Header(1, 2, 2).EntryA(1, "A", "mid1").EntryA(2, "B", "mid2").Get());
    Table base = Open("base.bin", BinBuilder()
                                      .Header(1, 3, 3)
                                      .EntryW(1, "A", u"b1")
                                      .EntryW(2, "B", u"b2")
                                      .EntryW(3, "C", u"b3")
                                      .Get());
    ASSERT_TRUE(top && mid && base);
    EXPECT_EQ(Ril_TableSetFallback(top.get(), mid.get()), 0);
    EXPECT_EQ(Ril_TableSetFallback(mid.get(), base.get()), 0);
    EXPECT_EQ(TextA(top.get(), 1) + "|" + TextA(top.get(), 2) + "|" + TextA(top.get(), 4),
              "top|mid2|(null)");
    EXPECT_EQ(Wide(Ril_TableGetStringW(top.get(), 3)), u"b3");
    EXPECT_EQ(Ril_TableGetData(top.get(), 3), Ril_TableGetData(base.get(), 3));
    EXPECT_EQ(Ril_TableGetNumItem(top.get()), 1u);
    EXPECT_EQ((std::vector<RIL_LONG>{Ril_TableSetFallback(base.get(), top.get()),
                                     Ril_TableSetFallback(top.get(), top.get()),
                                     Ril_TableSetFallback(nullptr, top.get())}),
              (std::vector<RIL_LONG>{kEFail, kEFail, -102}));
    EXPECT_EQ(TextA(base.get(), 1), "b"); // unchanged: base still ends the chain
    EXPECT_EQ(Ril_TableSetFallback(top.get(), nullptr), 0);
    EXPECT_EQ(TextA(top.get(), 2), "(null)");
}

// Open failures: NULL, the last error and a notice, as for any file the loader refuses.
TEST_F(TableApiTest, RefusedOpensSayWhy) {
    Ril_SetMessageLanguage(RIL_MESSAGES_ENGLISH);
    std::string const missing = dir.File("missing.bin");
    EXPECT_EQ(Ril_OpenTable(missing.c_str()), nullptr);
    EXPECT_EQ(Ril_GetLastError(), kEFail);
    ExpectNotice("cannot open '" + missing + "'");
    EXPECT_EQ(Ril_OpenTable(Put("flag.bin", BinBuilder().Header(2, 0, 0).Get()).c_str()), nullptr);
    ExpectNotice("cannot read '" + dir.File("flag.bin") + "'");
    EXPECT_EQ(Ril_OpenTable(""), nullptr);
    EXPECT_EQ(Ril_GetLastError(), -102);
    Table good(Ril_OpenTable(Put("good.bin", BinBuilder().Header(0, 0, 0).Get()).c_str()));
    EXPECT_EQ(std::make_pair(good != nullptr, Ril_GetLastError()),
              std::make_pair(true, RIL_LONG{0}));
    EXPECT_EQ(Ril_OpenTableFromMemory(nullptr, 1), nullptr);
    EXPECT_EQ(Ril_GetLastError(), -102);
    Bytes const image = BinBuilder().Header(1, 1, 1).EntryA(1, "A", "in memory").Get();
    Table fromMemory(Ril_OpenTableFromMemory(image.data(), RIL_ULONG(image.size())));
    EXPECT_EQ(TextA(fromMemory.get(), 1), "in memory");
    EXPECT_TRUE(notices.Notices().empty());

    // Memory refused at any step fails the open with E_FAIL and one notice, or not at all.
    std::string const path =
        Put("cr.bin", BinBuilder().Header(1, 1, 1).EntryA(1, "A", "a\rb").Get());
    std::vector<std::string> ends;
    for (int countdown = 1; countdown <= 16; ++countdown) {
        platform::ArmFault(platform::Fault::Alloc, countdown);
        Table table(Ril_OpenTable(path.c_str()));
        platform::DisarmAllFaults();
        ends.push_back(table ? TextA(table.get(), 1) : std::to_string(Ril_GetLastError()));
        EXPECT_EQ(notices.Notices().size(), table ? 0u : 1u) << countdown;
        notices.Clear();
    }
    EXPECT_EQ(ends.back(), "a b");
    EXPECT_GE(std::count(ends.begin(), ends.end(), std::to_string(kEFail)), 6);
    EXPECT_EQ(std::count(ends.begin(), ends.end(), std::to_string(kEFail)) +
                  std::count(ends.begin(), ends.end(), "a b"),
              16);
}

class LanguageChainTest : public TableApiTest {
  protected:
    // name.bin and name.<lang>.bin for each language, each answering ID 1 with its language
    // and ID 2 only in name.bin; fr_CA also answers ID 3, as wide text.
    void SetUp() override {
        TableApiTest::SetUp();
        Put("app.bin",
            BinBuilder().Header(1, 2, 2).EntryA(1, "L", "base").EntryA(2, "B", "b").Get());
        for (char const *language : {"fr", "de", "pt_BR"})
            Put(std::string("app.") + language + ".bin",
                BinBuilder().Header(1, 1, 1).EntryA(1, "L", language).Get());
        Put("app.fr_CA.bin", BinBuilder()
                                 .Header(1, 3, 2)
                                 .EntryW(1, "LANG", u"fr_CA")
                                 .EntryW(3, "ONLY", u"\u00e9t\u00e9")
                                 .Get());
        Put("app.xx.bin", BinBuilder().Header(7, 0, 0).Get()); // no BIN
        Put("app.x!y.bin", BinBuilder().Header(1, 1, 1).EntryA(1, "L", "x!y").Get());
    }
    // The texts of IDs 1 and 2 along the chain for `languages`.
    std::string Chain(char const *languages) {
        Table table(Ril_OpenTableForLanguages(dir.Path().string().c_str(), "app", languages));
        if (!table)
            return "(none)";
        return TextA(table.get(), 1) + "," + TextA(table.get(), 2);
    }
};

TEST_F(LanguageChainTest, LanguagesFromTheArgument) {
    // The languages asked for and the texts of IDs 1 and 2.
    const std::pair<char const *, char const *> rows[] = {
        {"", "base,b"},
        {"de", "de,b"},
        {"fr_FR", "fr,b"},                   // fr_FR is missing, fr follows it
        {"es:it", "base,b"},                 // missing files skipped
        {"pt_BR.UTF-8@latin:fr", "pt_BR,b"}, // codeset and modifier dropped
        {"../app:/tmp/x::de", "de,b"},       // names that could leave the folder are ignored
        {"x!y", "base,b"},                   // and so are names of other characters
    };
    for (auto const &[languages, texts] : rows)
        EXPECT_EQ(Chain(languages), texts) << languages;
    EXPECT_TRUE(notices.Notices().empty());

    Table table(Ril_OpenTableForLanguages(dir.Path().string().c_str(), "app", "fr_CA"));
    ASSERT_TRUE(table);
    // The file each text comes from is named by the tool's get_languages_* runs.
    EXPECT_EQ(Wide(Ril_TableGetStringW(table.get(), 3)), u"\u00e9t\u00e9"); // fr_CA, wide
    EXPECT_EQ(Wide(Ril_TableGetStringW(table.get(), 1)), u"fr_CA");
    EXPECT_EQ(TextA(table.get(), 2), "b"); // through fr to the base

    // A language file that is no BIN is skipped with its notice; no base, no chain.
    EXPECT_EQ(Chain("xx:de"), "de,b");
    ExpectNotice(Gbk("无法读取 ") + dir.File("app.xx.bin") + " !");
    EXPECT_EQ(Ril_OpenTableForLanguages(dir.Path().string().c_str(), "none", "de"), nullptr);
    EXPECT_EQ(Ril_GetLastError(), kEFail);
    ExpectNotice(Gbk("无法打开 ") + dir.File("none.bin") + " !");
    EXPECT_EQ(Ril_OpenTableForLanguages(nullptr, "app", "de"), nullptr);
    EXPECT_EQ(Ril_GetLastError(), -102);
}

#ifndef _WIN32
// Without a list, the environment in gettext's order.
TEST_F(LanguageChainTest, LanguagesFromTheEnvironment) {
    char const *const names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::pair<std::string, bool>> saved;
    for (char const *name : names) {
        char const *value = std::getenv(name);
        saved.emplace_back(value != nullptr ? value : "", value != nullptr);
        unsetenv(name);
    }
    // The values of LANGUAGE, LC_ALL, LC_MESSAGES and LANG, and the texts.
    const std::pair<std::vector<char const *>, char const *> rows[] = {
        {{nullptr, nullptr, nullptr, nullptr}, "base,b"},
        {{"fr_CH:de", "de_DE.UTF-8", nullptr, nullptr}, "fr,b"},
        {{"", "de_DE.UTF-8", "fr", "fr"}, "de,b"},
        {{nullptr, "", "pt_BR.UTF-8", "de"}, "pt_BR,b"},
        {{nullptr, nullptr, nullptr, "fr_FR.ISO-8859-1@euro"}, "fr,b"},
        {{nullptr, nullptr, nullptr, "C.UTF-8"}, "base,b"},
    };
    for (auto const &[values, texts] : rows) {
        for (std::size_t i = 0; i < 4; ++i)
            values[i] != nullptr ? setenv(names[i], values[i], 1) : unsetenv(names[i]);
        EXPECT_EQ(Chain(nullptr), texts) << texts;
    }
    for (std::size_t i = 0; i < 4; ++i)
        saved[i].second ? setenv(names[i], saved[i].first.c_str(), 1) : unsetenv(names[i]);
}
#endif

// Lookups from eight threads while another opens and closes tables give the answers one
// thread gives.
TEST_F(TableApiTest, LookupsFromManyThreads) {
    BinBuilder wide, narrow;
    constexpr RIL_ULONG kItems = 500;
    wide.Header(1, kItems, kItems);
    narrow.Header(1, kItems, kItems / 2);
    for (RIL_ULONG id = 1; id <= kItems; ++id) {
        wide.EntryW(id, "W" + std::to_string(id), u"w\r" + std::u16string(id % 7, u'x'));
        if (id % 2 == 0)
            narrow.EntryA(id, "N", "n\r" + std::to_string(id));
    }
    Table base = Open("wide.bin", wide.Get());
    Table top = Open("narrow.bin", narrow.Get());
    ASSERT_TRUE(base && top);
    ASSERT_EQ(Ril_TableSetFallback(top.get(), base.get()), 0);
    auto answer = [&](RIL_ULONG id) {
        return std::make_pair(Ril_TableGetStringA(top.get(), id),
                              Ril_TableGetStringW(top.get(), id));
    };
    std::vector<std::pair<char const *, RIL_WCHAR const *>> expected;
    for (RIL_ULONG id = 0; id <= kItems + 1; ++id)
        expected.push_back(answer(id));
    std::string const file = dir.File("narrow.bin");
    std::atomic<bool> done{false};
    std::atomic<int> failedOpens{0};
    std::thread opener([&] {
        do {
            RIL_TABLE *table = Ril_OpenTable(file.c_str());
            failedOpens += table == nullptr || TextA(table, 2) != "n 2";
            Ril_CloseTable(table);
        } while (!done.load());
    });
    std::vector<int> mismatches(8);
    std::vector<std::thread> readers;
    for (int t = 0; t < 8; ++t)
        readers.emplace_back([&, t] {
            std::uint32_t state = 2463534242u + t;
            for (int i = 0; i < 250000; ++i) {
                state ^= state << 13, state ^= state >> 17, state ^= state << 5;
                RIL_ULONG const id = state % (kItems + 2);
                mismatches[t] += answer(id) != expected[id];
            }
        });
    for (std::thread &reader : readers)
        reader.join();
    done = true;
    opener.join();
    EXPECT_EQ(mismatches, std::vector<int>(8, 0));
    EXPECT_EQ(failedOpens.load(), 0);
    EXPECT_EQ(TextA(top.get(), 3), "w"); // a wide record read as multibyte text
}

} // namespace
} // namespace ril::test
