// Tests of the module service outside Windows: loading and finding through the PE layer,
// batched updates written whole or not at all, and failure injection.
#include "platform/fault.h"
#include "platform/module.h"
#include "pe/pe_image.h"
#include "pe/pe_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace {

namespace fs = std::filesystem;
using namespace ril::pe_test;
using ril::platform::BeginResourceUpdate;
using ril::platform::LoadModule;
using ril::platform::Module;
using Status = Module::FindStatus;

class PeModule : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device seed;
        dir_ = fs::temp_directory_path() / ("ril4410_pe_module_" + std::to_string(seed()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        ril::platform::DisarmAllFaults();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    // A copy of a test module (or of `bytes`) in the test's folder.
    std::string Copy(const std::string &fixture) {
        return Write(fixture, ReadFile(FixturePath(fixture)));
    }
    std::string Write(const std::string &name, const Bytes &bytes) {
        std::string path = (dir_ / name).string();
        EXPECT_TRUE(WriteFile(path, bytes));
        return path;
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        return names;
    }

    static std::string Found(Module &module, std::uint16_t name) {
        Module::Resource r = module.Find(ril::platform::kRtRcData, name);
        if (r.status != Status::Found)
            return r.status == Status::NotFound ? "<none>" : "<load failed>";
        return std::string(reinterpret_cast<const char *>(r.data), r.size);
    }

    fs::path dir_;
};

TEST_F(PeModule, WhatIsNoModuleDoesNotLoad) {
    EXPECT_EQ(LoadModule(nullptr), nullptr);
    EXPECT_EQ(LoadModule((dir_ / "missing.dll").string().c_str()), nullptr);
    EXPECT_EQ(LoadModule(Write("empty.dll", {}).c_str()), nullptr);
    EXPECT_EQ(LoadModule(Write("text.dll", Text(std::string(4096, 'M'))).c_str()), nullptr);
    const Bytes good = SimplePe(MakeHandTree(kHandResourceRva, {1}, {"x"}).bytes);
    EXPECT_EQ(LoadModule(Write("cut.dll", Bytes(good.begin(), good.end() - 1)).c_str()), nullptr);
    EXPECT_NE(LoadModule(Write("good.dll", good).c_str()), nullptr);
}

TEST_F(PeModule, FindTakesIntegerNamesAndTheLanguageRule) {
    REQUIRE_FIXTURES("64");
    auto mid = LoadModule(FixturePath("mid64.dll").c_str());
    ASSERT_NE(mid, nullptr);
    EXPECT_EQ(Found(*mid, 1), std::string("one\0", 4));
    EXPECT_EQ(Found(*mid, 3), "<none>");
    EXPECT_EQ(mid->Find(6, 1).status, Status::NotFound);
    auto edge = LoadModule(FixturePath("edge64.dll").c_str());
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(Found(*edge, 0), "<none>"); // stored, but name 0 is never found
    Module::Resource empty = edge->Find(ril::platform::kRtRcData, 5);
    EXPECT_EQ(empty.status, Status::Found);
    EXPECT_EQ(empty.size, 0u);
    EXPECT_EQ(Found(*edge, 65535), "id-65535");
    auto langs = LoadModule(FixturePath("langs64.dll").c_str());
    EXPECT_EQ(Found(*langs, 5), "id5-lang0,0");
    EXPECT_EQ(Found(*langs, 20), "id20-lang0x07,1");
    auto named = LoadModule(FixturePath("named64.dll").c_str());
    EXPECT_EQ(Found(*named, 1), std::string("int-1\0", 6));
    EXPECT_EQ(Found(*named, 2), "<none>");
}

TEST_F(PeModule, UnreachableDataIsALoadFailure) {
    HandTree hand = MakeHandTree(kHandResourceRva, {1, 2}, {"one", "two"});
    PutU32(hand.bytes, hand.dataEntries[0], 0x00900000);
    std::string path = Write("damaged.dll", SimplePe(hand.bytes));
    auto module = LoadModule(path.c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(Found(*module, 1), "<load failed>");
    EXPECT_EQ(Found(*module, 2), "two");
    // Such a module cannot be rewritten without losing that resource.
    EXPECT_EQ(BeginResourceUpdate(path.c_str()), nullptr);
}

TEST_F(PeModule, UpdatesAreRefusedForNoModuleAndBadNames) {
    EXPECT_EQ(BeginResourceUpdate(nullptr), nullptr);
    EXPECT_EQ(BeginResourceUpdate((dir_ / "missing.dll").string().c_str()), nullptr);
    EXPECT_EQ(BeginResourceUpdate(Write("text.dll", Text("MZ not really")).c_str()), nullptr);
    auto update = BeginResourceUpdate(Write("m.dll", SimplePe({})).c_str());
    ASSERT_NE(update, nullptr);
    const char data[] = "x";
    EXPECT_FALSE(update->Update(10, 0, 0, data, 1));
    EXPECT_FALSE(update->Update(0, 1, 0, data, 1));
    EXPECT_FALSE(update->Update(10, 1, 0, nullptr, 1));
    EXPECT_TRUE(update->Update(10, 1, 0, data, 1));
    EXPECT_TRUE(update->End(true));
    EXPECT_FALSE(update->Update(10, 2, 0, data, 1));
    EXPECT_FALSE(update->End(false));
}

TEST_F(PeModule, CommitsRewriteTheModuleAndKeepItsTail) {
    REQUIRE_FIXTURES("64");
    for (const char *kind : {"mid64.dll", "neutral64.dll", "norsrc64.dll", "last64.dll"}) {
        SCOPED_TRACE(kind);
        std::string path = Copy(kind);
        // Holder markers appended to the module file, as the editing session does.
        Bytes marker = Text("Holder=me");
        marker.insert(marker.end(), {9, 0, 0, 0, 0});
        Bytes file = ReadFile(path);
        file.insert(file.end(), marker.begin(), marker.end());
        ASSERT_TRUE(WriteFile(path, file));
        auto before = LoadModule(path.c_str());
        const std::string two = Found(*before, 2);

        auto update = BeginResourceUpdate(path.c_str());
        ASSERT_NE(update, nullptr);
        std::string big(20000, 'b');
        EXPECT_TRUE(update->Update(10, 3, 0, "three", 5));
        EXPECT_TRUE(update->Update(10, 1, 0, "one-0", 5));
        EXPECT_TRUE(update->Update(10, 2, 0, nullptr, 0));
        EXPECT_TRUE(update->Update(10, 4, 0, big.data(), static_cast<std::uint32_t>(big.size())));
        EXPECT_TRUE(update->Update(10, 3, 0, "three-b", 7)); // the later one wins
        ASSERT_TRUE(update->End(false));

        auto after = LoadModule(path.c_str());
        ASSERT_NE(after, nullptr);
        EXPECT_EQ(Found(*after, 1), "one-0");
        EXPECT_EQ(Found(*after, 3), "three-b");
        EXPECT_EQ(Found(*after, 4), big);
        // Language 0 is deleted; the 0x0409 record of ID 2 in mid64 and last64 stays.
        EXPECT_EQ(Found(*after, 2), std::string(kind) == "neutral64.dll" ? "<none>" : two);
        Bytes now = ReadFile(path);
        ASSERT_GE(now.size(), marker.size());
        EXPECT_TRUE(
            std::equal(marker.begin(), marker.end(), now.end() - static_cast<long>(marker.size())));
        EXPECT_EQ(Files(), std::vector<std::string>{kind}); // no temporary file left
        fs::remove(path);
    }
}

// A removal by lookup deletes the leaf that Find gives when the batch is written: language
// 0 when present, else the lowest; the next lookup then finds the next language.
TEST_F(PeModule, RemovalsDeleteTheLanguageALookupFinds) {
    REQUIRE_FIXTURES("64");
    std::string langs = Copy("langs64.dll");
    auto update = BeginResourceUpdate(langs.c_str());
    ASSERT_NE(update, nullptr);
    EXPECT_TRUE(update->Remove(10, 5));  // 0, 0x0407, 0x0409, 0x040c
    EXPECT_TRUE(update->Remove(10, 20)); // 0x0407, 0x0409
    EXPECT_TRUE(update->Remove(10, 6));  // 0x0409 alone
    EXPECT_TRUE(update->Update(10, 9, 0, "id9-new", 7));
    EXPECT_TRUE(update->Remove(10, 9));  // the leaf just added in language 0
    EXPECT_TRUE(update->Remove(10, 77)); // none: nothing happens
    EXPECT_FALSE(update->Remove(10, 0));
    ASSERT_TRUE(update->End(false));
    auto after = LoadModule(langs.c_str());
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(Found(*after, 5), "id5-lang0x07,1");
    EXPECT_EQ(Found(*after, 20), "id20-lang0x09,1");
    EXPECT_EQ(Found(*after, 6), "<none>");
    EXPECT_EQ(Found(*after, 9), "id9-lang0x07,1");
    EXPECT_EQ(Found(*after, 10), "id10-lang0,0");
}

// Bytes appended to a module leave its checksum stale until it is refreshed; a checksum of
// 0 means "not set" and stays so.
TEST_F(PeModule, CheckSumRefreshAfterAnAppend) {
    REQUIRE_FIXTURES("64");
    std::string path = Copy("mid64.dll");
    Bytes file = ReadFile(path);
    auto image = ril::platform::pe::ParseImage(file);
    ASSERT_TRUE(image.has_value());
    const std::size_t at = image->CheckSumOffset();
    file.insert(file.end(), {'h', 1, 0, 0});
    ASSERT_TRUE(WriteFile(path, file));
    ASSERT_TRUE(ril::platform::RefreshCheckSum(path.c_str()));
    Bytes refreshed = ReadFile(path);
    PutU32(file, at, ril::platform::pe::ComputeCheckSum(file, at));
    EXPECT_EQ(refreshed, file);
    PutU32(file, at, 0);
    ASSERT_TRUE(WriteFile(path, file));
    ASSERT_TRUE(ril::platform::RefreshCheckSum(path.c_str()));
    EXPECT_EQ(ReadFile(path), file);
    EXPECT_FALSE(ril::platform::RefreshCheckSum(Write("text.dll", Text("not a module")).c_str()));
    EXPECT_FALSE(ril::platform::RefreshCheckSum((dir_ / "missing.dll").string().c_str()));
    EXPECT_EQ(Files().size(), 2u); // nothing created
}

// Every way a commit can fail leaves the module byte for byte as it was.
TEST_F(PeModule, FailedCommitsLeaveTheFileUntouched) {
    REQUIRE_FIXTURES("64");
    using ril::platform::Fault;
    struct Case {
        const char *what;
        const char *fixture;
        Fault fault;
        int countdown;
    };
    const std::vector<Case> cases = {
        {"write fails", "mid64.dll", Fault::FileWrite, 1},
        {"close fails", "mid64.dll", Fault::FileClose, 2}, // the module's read is the first
        {"module cannot be reopened", "mid64.dll", Fault::FileOpen, 1},
        {"temporary file cannot be created", "mid64.dll", Fault::FileOpen, 2},
        {"module cannot be read", "mid64.dll", Fault::FileRead, 1},
        {"no room for a new section", "full64.dll", Fault::Count, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = Copy(c.fixture);
        const Bytes original = ReadFile(path);
        auto update = BeginResourceUpdate(path.c_str());
        ASSERT_NE(update, nullptr);
        std::string big(9000, 'z');
        EXPECT_TRUE(update->Update(10, 3, 0, big.data(), static_cast<std::uint32_t>(big.size())));
        EXPECT_TRUE(update->Update(10, 1, 0, nullptr, 0));
        if (c.fault != Fault::Count)
            ril::platform::ArmFault(c.fault, c.countdown);
        EXPECT_FALSE(update->End(false));
        ril::platform::DisarmAllFaults();
        EXPECT_EQ(ReadFile(path), original);
        EXPECT_EQ(Files(), std::vector<std::string>{c.fixture});
        fs::remove(path);
    }
}

TEST_F(PeModule, ARefusedUpdateThenDiscardKeepsTheFile) {
    REQUIRE_FIXTURES("64");
    std::string path = Copy("named64.dll");
    const Bytes original = ReadFile(path);
    auto update = BeginResourceUpdate(path.c_str());
    ASSERT_NE(update, nullptr);
    EXPECT_TRUE(update->Update(10, 1, 0, "new-one", 7));
    EXPECT_FALSE(update->Update(10, 0, 0, "zero", 4)); // an ID whose low 16 bits are 0
    // The caller gives up the batch, as a failed commit does.
    EXPECT_TRUE(update->End(true));
    EXPECT_EQ(ReadFile(path), original);
    // A batch dropped without End writes nothing either.
    update = BeginResourceUpdate(path.c_str());
    EXPECT_TRUE(update->Update(10, 3, 0, "three", 5));
    update.reset();
    EXPECT_EQ(ReadFile(path), original);
}

} // namespace
