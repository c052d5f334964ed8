// Tests of the module service outside Windows: loading through the PE layer, batched updates
// written whole or not at all, the checksum refresh, and failure injection.
#include "pe/module.h"
#include "pe/pe_image.h"
#include "pe/pe_test_support.h"
#include "platform/fault.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using namespace ril::pe_test;
using namespace ril::pe;
using namespace ril::platform;
using ril::test::ReadFile;
using Status = Module::FindStatus;
using Names = std::vector<std::string>;

class PeModule : public ril::test::LibraryTest {
  protected:
    // `bytes` (by default the test module `name`) written to `name` in the test's folder.
    std::string Write(std::string const &name, Bytes const &bytes = {}) {
        return Put(name, bytes.empty() ? Fixture(name) : bytes);
    }
    // What RT_RCDATA `ids` find in the module at `path`.
    static Names Found(std::string const &path, std::vector<std::uint16_t> const &ids) {
        auto module = LoadModule(path.c_str());
        Names texts;
        for (std::uint16_t id : ids) {
            Module::Resource r =
                module ? module->Find(kRtRcData, id) : Module::Resource{Status::LoadFailed};
            texts.push_back(r.status == Status::Found
                                ? std::string(reinterpret_cast<char const *>(r.data), r.size)
                            : r.status == Status::NotFound ? "<none>"
                                                           : "<load failed>");
        }
        return texts;
    }
};

// What is no module neither loads nor takes updates; data outside the image is a load failure
// for Find and refuses updates (a rewrite would lose it); names and types 0 are refused.
TEST_F(PeModule, UpdatesAreRefusedForNoModuleAndBadNames) {
    const Bytes good = MakeHandTree({1}, {"x"}).Pe();
    HandTree hand = MakeHandTree({1, 2}, {"one", "two"});
    PutU32(hand.bytes, hand.dataEntries[0], 0x00900000);
    Put("empty.dll", Bytes{});
    const Names paths = {dir.File("missing.dll"), dir.File("empty.dll"),
                         Write("text.dll", Text(std::string(4096, 'M'))),
                         Write("cut.dll", Bytes(good.begin(), good.end() - 1))};
    EXPECT_TRUE(!LoadModule(nullptr) && !BeginResourceUpdate(nullptr));
    for (std::string const &path : paths)
        EXPECT_TRUE(!LoadModule(path.c_str()) && !BeginResourceUpdate(path.c_str())) << path;
    const std::string damaged = Write("damaged.dll", hand.Pe());
    EXPECT_EQ(Found(damaged, {1, 2}), (Names{"<load failed>", "two"}));
    EXPECT_EQ(BeginResourceUpdate(damaged.c_str()), nullptr);
    EXPECT_EQ(LoadModule(Write("bare.dll", good).c_str())->Find(6, 1).status, Status::NotFound);
    auto update = BeginResourceUpdate(Write("m.dll", BuildPe({})).c_str());
    ASSERT_NE(update, nullptr);
    EXPECT_EQ((std::vector<bool>{update->Update(10, 0, 0, "x", 1), update->Update(0, 1, 0, "x", 1),
                                 update->Update(10, 1, 0, nullptr, 1),
                                 update->Update(10, 1, 0, "x", 1), update->End(true),
                                 update->Update(10, 2, 0, "x", 1), update->End(false)}),
              (std::vector<bool>{false, false, false, true, true, false, false}));
}

// A removal by lookup deletes the leaf Find gives when the batch is written (language 0, else
// the lowest); of two updates of one ID the later wins.
TEST_F(PeModule, RemovalsDeleteTheLanguageALookupFinds) {
    REQUIRE_FIXTURES();
    std::string langs = Write("langs64.dll");
    auto update = BeginResourceUpdate(langs.c_str());
    ASSERT_NE(update, nullptr);
    EXPECT_EQ((std::vector<bool>{update->Remove(10, 5),  // 0, 0x0407, 0x0409, 0x040c
                                 update->Remove(10, 20), // 0x0407, 0x0409
                                 update->Remove(10, 6),  // 0x0409 alone
                                 update->Update(10, 9, 0, "id9-new", 7),
                                 update->Remove(10, 9),  // the leaf just added in language 0
                                 update->Remove(10, 77), // none: nothing happens
                                 update->Update(10, 3, 0, "three", 5),
                                 update->Update(10, 3, 0, "three-b", 7), update->Remove(10, 0),
                                 update->End(false)}),
              (std::vector<bool>{true, true, true, true, true, true, true, true, false, true}));
    EXPECT_EQ(Found(langs, {5, 20, 6, 9, 10, 3}),
              (Names{"id5-lang0x07,1", "id20-lang0x09,1", "<none>", "id9-lang0x07,1",
                     "id10-lang0,0", "three-b"}));
    EXPECT_EQ(FilesInDir(), 1u); // no temporary file left
}

// A checksum made stale by an append is refreshed; 0 means "not set" and stays so.
TEST_F(PeModule, CheckSumRefreshAfterAnAppend) {
    REQUIRE_FIXTURES();
    Bytes file = Fixture("mid64.dll"), unset;
    const std::size_t at = ril::pe::ParseImage(file).value().CheckSumOffset();
    file.insert(file.end(), {'h', 1, 0, 0});
    const std::string path = Write("mid64.dll", file), text = Write("text.dll", Text("no PE"));
    PutU32(unset = file, at, 0);
    PutU32(file, at, ril::pe::ComputeCheckSum(file, at));
    EXPECT_EQ((std::vector<bool>{RefreshCheckSum(path.c_str()), ReadFile(path) == file,
                                 RefreshCheckSum(Write("mid64.dll", unset).c_str()),
                                 ReadFile(path) == unset, RefreshCheckSum(text.c_str()),
                                 RefreshCheckSum(dir.File("missing.dll").c_str())}),
              (std::vector<bool>{true, true, true, true, false, false}));
    EXPECT_EQ(FilesInDir(), 2u); // nothing created
}

// A failed commit, or a discard after a refused name, leaves the module byte for byte.
TEST_F(PeModule, FailedCommitsLeaveTheFileUntouched) {
    REQUIRE_FIXTURES();
    const std::vector<std::tuple<char const *, char const *, Fault, int>> cases = {
        {"write fails", "mid64.dll", Fault::FileWrite, 1},
        {"close fails", "mid64.dll", Fault::FileClose, 2}, // the module's read is the first
        {"module cannot be reopened", "mid64.dll", Fault::FileOpen, 1},
        {"temporary file cannot be created", "mid64.dll", Fault::FileOpen, 2},
        {"module cannot be read", "mid64.dll", Fault::FileRead, 1},
        {"no room for a new section", "full64.dll", Fault::Count, 0},
    };
    const std::string big(9000, 'z');
    for (auto const &[what, fixture, fault, countdown] : cases) {
        const std::string path = Write(fixture);
        auto update = BeginResourceUpdate(path.c_str());
        ASSERT_NE(update, nullptr);
        EXPECT_TRUE(update->Update(10, 3, 0, big.data(), static_cast<std::uint32_t>(big.size())) &&
                    update->Update(10, 1, 0, nullptr, 0));
        if (fault != Fault::Count)
            ArmFault(fault, countdown);
        EXPECT_FALSE(update->End(false)) << what;
        DisarmAllFaults();
        EXPECT_EQ(ReadFile(path), Fixture(fixture)) << what;
        EXPECT_EQ(FilesInDir(), 1u) << what;
        fs::remove(path);
    }
    auto update = BeginResourceUpdate(Write("named64.dll").c_str());
    EXPECT_TRUE(update->Update(10, 1, 0, "new", 3) && !update->Update(10, 0, 0, "zero", 4) &&
                update->End(true));
    // A module whose resource tree was damaged after the update began is left as it is.
    Bytes tree = MakeHandTree({1}, {"x"}).bytes;
    const std::string damaged = Write("damaged.dll", BuildPe(tree));
    update = BeginResourceUpdate(damaged.c_str());
    PutU32(tree, 12, 0xFFFFFFFF); // huge counts in the root
    ril::test::WriteFile(damaged, BuildPe(tree));
    EXPECT_TRUE(update && update->Update(10, 2, 0, "y", 1) && !update->End(false));
    EXPECT_EQ(ReadFile(damaged), BuildPe(tree));
    EXPECT_EQ(ReadFile(dir.File("named64.dll")), Fixture("named64.dll"));
}

} // namespace
