// Tests of the module service outside Windows: loading and finding through the PE layer,
// batched updates written whole or not at all, and failure injection.
#include "pe/pe_image.h"
#include "pe/pe_test_support.h"
#include "platform/fault.h"
#include "platform/module.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using namespace ril::pe_test;
using namespace ril::platform;
using ril::test::ReadFile;
using Status = Module::FindStatus;
using Names = std::vector<std::string>;

class PeModule : public ::testing::Test {
  protected:
    void TearDown() override { DisarmAllFaults(); }
    // A copy of a test module (or `bytes`) in the test's folder.
    std::string Copy(const std::string &fixture) { return Write(fixture, Fixture(fixture)); }
    std::string Write(const std::string &name, const Bytes &bytes) {
        ril::test::WriteFile(dir_.File(name), bytes);
        return dir_.File(name);
    }
    Names Files() const {
        Names names;
        for (const auto &entry : fs::directory_iterator(dir_.Path()))
            names.push_back(entry.path().filename().string());
        return names;
    }
    // What RT_RCDATA `ids` find in the module at `path`.
    static Names Found(const std::string &path, const std::vector<std::uint16_t> &ids) {
        auto module = LoadModule(path.c_str());
        Names texts;
        for (std::uint16_t id : ids) {
            Module::Resource r =
                module ? module->Find(kRtRcData, id) : Module::Resource{Status::LoadFailed};
            texts.push_back(r.status == Status::Found
                                ? std::string(reinterpret_cast<const char *>(r.data), r.size)
                            : r.status == Status::NotFound ? "<none>"
                                                           : "<load failed>");
        }
        return texts;
    }
    ril::test::TempDir dir_;
};

TEST_F(PeModule, WhatIsNoModuleDoesNotLoad) {
    const Bytes good = SimplePe(MakeHandTree(kHandResourceRva, {1}, {"x"}).bytes);
    EXPECT_EQ(LoadModule(nullptr), nullptr);
    EXPECT_EQ(LoadModule(dir_.File("missing.dll").c_str()), nullptr);
    EXPECT_EQ(LoadModule(Write("empty.dll", {}).c_str()), nullptr);
    EXPECT_EQ(LoadModule(Write("text.dll", Text(std::string(4096, 'M'))).c_str()), nullptr);
    EXPECT_EQ(LoadModule(Write("cut.dll", Bytes(good.begin(), good.end() - 1)).c_str()), nullptr);
    EXPECT_NE(LoadModule(Write("good.dll", good).c_str()), nullptr);
}

// Integer names only (name 0, stored in edge64, is never found), language 0 else the lowest
// (the full table is the tree's test).
TEST_F(PeModule, FindTakesIntegerNamesAndTheLanguageRule) {
    REQUIRE_FIXTURES();
    const std::vector<std::tuple<const char *, std::vector<std::uint16_t>, Names>> rows = {
        {"mid64.dll", {1, 2, 3}, {std::string("one\0", 4), "BLOBDATA-0123456789abcdef", "<none>"}},
        {"edge64.dll", {0, 5, 65535}, {"<none>", "", "id-65535"}},
        {"langs64.dll", {5, 20}, {"id5-lang0,0", "id20-lang0x07,1"}},
        {"named64.dll", {1, 2}, {std::string("int-1\0", 6), "<none>"}}};
    for (const auto &[fixture, ids, texts] : rows)
        EXPECT_EQ(Found(FixturePath(fixture), ids), texts) << fixture;
    EXPECT_EQ(LoadModule(FixturePath("mid64.dll").c_str())->Find(6, 1).status, Status::NotFound);
}

// No module, or data outside the image (a load failure for Find: a rewrite would lose it).
TEST_F(PeModule, UpdatesAreRefusedForNoModuleAndBadNames) {
    HandTree hand = MakeHandTree(kHandResourceRva, {1, 2}, {"one", "two"});
    PutU32(hand.bytes, hand.dataEntries[0], 0x00900000);
    const Names paths = {dir_.File("missing.dll"), Write("text.dll", Text("MZ not")),
                         Write("damaged.dll", SimplePe(hand.bytes))};
    EXPECT_EQ(BeginResourceUpdate(nullptr), nullptr);
    for (const std::string &path : paths)
        EXPECT_EQ(BeginResourceUpdate(path.c_str()), nullptr) << path;
    auto update = BeginResourceUpdate(Write("m.dll", SimplePe({})).c_str());
    ASSERT_NE(update, nullptr);
    EXPECT_EQ((std::vector<bool>{update->Update(10, 0, 0, "x", 1), update->Update(0, 1, 0, "x", 1),
                                 update->Update(10, 1, 0, nullptr, 1),
                                 update->Update(10, 1, 0, "x", 1), update->End(true),
                                 update->Update(10, 2, 0, "x", 1), update->End(false)}),
              (std::vector<bool>{false, false, false, true, true, false, false}));
}

TEST_F(PeModule, CommitsRewriteTheModuleAndKeepItsTail) {
    REQUIRE_FIXTURES();
    const std::string big(20000, 'b');
    for (const std::string kind : {"mid64.dll", "neutral64.dll", "norsrc64.dll", "last64.dll"}) {
        // A holder marker appended to the module file, as the editing session does.
        const Bytes marker = {'H', 'o', 'l', 'd', 'e', 'r', '=', 'm', 'e', 9, 0, 0, 0, 0};
        Bytes file = Fixture(kind);
        file.insert(file.end(), marker.begin(), marker.end());
        const std::string path = Write(kind, file);
        // Language 0 is deleted; the 0x0409 record of ID 2 in mid64 and last64 stays.
        const std::string two = kind == "neutral64.dll" ? "<none>" : Found(path, {2})[0];
        auto update = BeginResourceUpdate(path.c_str());
        ASSERT_NE(update, nullptr);
        EXPECT_TRUE(update->Update(10, 3, 0, "three", 5) && update->Update(10, 1, 0, "one-0", 5) &&
                    update->Update(10, 2, 0, nullptr, 0) &&
                    update->Update(10, 4, 0, big.data(), static_cast<std::uint32_t>(big.size())) &&
                    update->Update(10, 3, 0, "three-b", 7)); // the later one wins
        ASSERT_TRUE(update->End(false));
        EXPECT_EQ(Found(path, {1, 3, 4, 2}), (Names{"one-0", "three-b", big, two})) << kind;
        const Bytes now = ReadFile(path);
        EXPECT_EQ(Bytes(now.end() - static_cast<long>(marker.size()), now.end()), marker);
        EXPECT_EQ(Files(), Names{kind}); // no temporary file left
        fs::remove(path);
    }
}

// A removal by lookup deletes the leaf that Find gives when the batch is written: language
// 0 when present, else the lowest; the next lookup then finds the next language.
TEST_F(PeModule, RemovalsDeleteTheLanguageALookupFinds) {
    REQUIRE_FIXTURES();
    std::string langs = Copy("langs64.dll");
    auto update = BeginResourceUpdate(langs.c_str());
    ASSERT_NE(update, nullptr);
    EXPECT_EQ((std::vector<bool>{update->Remove(10, 5),  // 0, 0x0407, 0x0409, 0x040c
                                 update->Remove(10, 20), // 0x0407, 0x0409
                                 update->Remove(10, 6),  // 0x0409 alone
                                 update->Update(10, 9, 0, "id9-new", 7),
                                 update->Remove(10, 9),  // the leaf just added in language 0
                                 update->Remove(10, 77), // none: nothing happens
                                 update->Remove(10, 0), update->End(false)}),
              (std::vector<bool>{true, true, true, true, true, true, false, true}));
    EXPECT_EQ(Found(langs, {5, 20, 6, 9, 10}), (Names{"id5-lang0x07,1", "id20-lang0x09,1", "<none>",
                                                      "id9-lang0x07,1", "id10-lang0,0"}));
}

// Bytes appended to a module leave its checksum stale until it is refreshed; a checksum of
// 0 means "not set" and stays so.
TEST_F(PeModule, CheckSumRefreshAfterAnAppend) {
    REQUIRE_FIXTURES();
    Bytes file = Fixture("mid64.dll");
    const std::size_t at = ril::platform::pe::ParseImage(file).value().CheckSumOffset();
    file.insert(file.end(), {'h', 1, 0, 0});
    const std::string path = Write("mid64.dll", file);
    ASSERT_TRUE(RefreshCheckSum(path.c_str()));
    PutU32(file, at, ril::platform::pe::ComputeCheckSum(file, at));
    EXPECT_EQ(ReadFile(path), file);
    PutU32(file, at, 0);
    Write("mid64.dll", file);
    ASSERT_TRUE(RefreshCheckSum(path.c_str()));
    EXPECT_EQ(ReadFile(path), file);
    EXPECT_FALSE(RefreshCheckSum(Write("text.dll", Text("not a module")).c_str()));
    EXPECT_FALSE(RefreshCheckSum(dir_.File("missing.dll").c_str()));
    EXPECT_EQ(Files().size(), 2u); // nothing created
}

// Every way a commit can fail leaves the module byte for byte as it was: failed writes,
// a refused name then a discard, and a batch dropped without End.
TEST_F(PeModule, FailedCommitsLeaveTheFileUntouched) {
    REQUIRE_FIXTURES();
    const std::vector<std::tuple<const char *, const char *, Fault, int>> cases = {
        {"write fails", "mid64.dll", Fault::FileWrite, 1},
        {"close fails", "mid64.dll", Fault::FileClose, 2}, // the module's read is the first
        {"module cannot be reopened", "mid64.dll", Fault::FileOpen, 1},
        {"temporary file cannot be created", "mid64.dll", Fault::FileOpen, 2},
        {"module cannot be read", "mid64.dll", Fault::FileRead, 1},
        {"no room for a new section", "full64.dll", Fault::Count, 0},
    };
    const std::string big(9000, 'z');
    for (const auto &[what, fixture, fault, countdown] : cases) {
        const std::string path = Copy(fixture);
        auto update = BeginResourceUpdate(path.c_str());
        ASSERT_NE(update, nullptr);
        EXPECT_TRUE(update->Update(10, 3, 0, big.data(), static_cast<std::uint32_t>(big.size())) &&
                    update->Update(10, 1, 0, nullptr, 0));
        if (fault != Fault::Count)
            ArmFault(fault, countdown);
        EXPECT_FALSE(update->End(false)) << what;
        DisarmAllFaults();
        EXPECT_EQ(ReadFile(path), Fixture(fixture)) << what;
        EXPECT_EQ(Files(), Names{fixture}) << what;
        fs::remove(path);
    }
    const std::string path = Copy("named64.dll");
    auto update = BeginResourceUpdate(path.c_str());
    EXPECT_TRUE(update->Update(10, 1, 0, "new-one", 7));
    EXPECT_FALSE(update->Update(10, 0, 0, "zero", 4)); // an ID whose low 16 bits are 0
    EXPECT_TRUE(update->End(true));
    update = BeginResourceUpdate(path.c_str());
    EXPECT_TRUE(update->Update(10, 3, 0, "three", 5));
    update.reset();
    EXPECT_EQ(ReadFile(path), Fixture("named64.dll"));
}

} // namespace
