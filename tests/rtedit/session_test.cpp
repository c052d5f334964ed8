// Run-time editing against real modules (built at test time): sessions, the overlay on the
// lookups, commits and discards, and the module accessor.
#include "api/library_state.h"
#include "core/messages.h"
#include "pe/module.h"
#include "pe/pe_image.h"
#include "pe/pe_test_support.h"
#include "platform/fault.h"
#include "rtedit/txt_res_idx_svr.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

using namespace ril::core;
using namespace ril::rtedit;
using namespace ril::api;

namespace ril::test {
namespace {

namespace fs = std::filesystem;
constexpr RIL_ULONG kNewId = 0xFFFFFFFFu;
using Results = std::vector<RIL_LONG>;
using pe::Module;

class SessionTest : public LibraryTest {
  protected:
    void SetUp() override {
        REQUIRE_FIXTURES();
        LibraryTest::SetUp();
        Fresh();
    }
    // A fresh copy of the test module, none open.
    void Fresh() {
        Ril_RTEditCloseModule();
        fs::copy_file(pe_test::FixturePath("neutral64.dll"), module,
                      fs::copy_options::overwrite_existing);
    }
    // The record the module file holds for `id` (read afresh), empty when none.
    Bytes ModuleRecord(std::uint16_t id) {
        auto const loaded = pe::LoadModule(module.c_str());
        auto const found = loaded ? loaded->Find(pe::kRtRcData, id) : Module::Resource{};
        return found.status == Module::FindStatus::Found
                   ? Bytes(found.data, found.data + found.size)
                   : Bytes{};
    }
    // The module file with its PE checksum field zeroed, and whether that field was current
    // (appending a marker brings a set checksum up to date outside Windows, which checks none).
    static std::pair<Bytes, bool> Unsummed(Bytes file) {
        const std::size_t at = pe::ParseImage(file).value().CheckSumOffset();
        const std::uint32_t stored = pe_test::GetU32(file, at);
        std::fill_n(file.begin() + static_cast<long>(at), 4, 0);
#if defined(_WIN32)
        return {file, stored != 0};
#else
        return {file, stored == pe::ComputeCheckSum(file, at)};
#endif
    }
    // Adds `text` with its zero as the item's data.
    RIL_LONG Add(char const *macro, std::string const &text, RIL_ULONG id,
                 RIL_ULONG *newId = nullptr) {
        return Ril_RTEditAddOrReplaceString(macro, text.c_str(),
                                            static_cast<RIL_ULONG>(text.size() + 1), id, newId);
    }
    // Opens the module and begins a session with first ID `first`.
    void Begin(RIL_ULONG first = 0) {
        ASSERT_EQ(Ril_RTEditOpenModule(module.c_str()), 0);
        ASSERT_EQ(Ril_RTEditBegin(first, nullptr), 0);
    }

    std::string module = dir.File("module.dll");
};

TEST_F(SessionTest, NothingWorksWithoutAModule) {
    EXPECT_EQ((Results{Ril_RTEditBegin(10, nullptr), Ril_RTEditBegin(10, "someone"),
                       Ril_RTEditIsEditing(), Add("A", "a", 5), Ril_RTEditRemoveString(5),
                       Ril_RTEditEnd(1, nullptr, 0)}),
              (Results{kErrNoModule, kErrNoModule, 0, kErrNoModule, kErrNoModule, kErrNoModule}));
    ASSERT_EQ(Ril_RTEditOpenModule(module.c_str()), 0);
    EXPECT_EQ((Results{Add("A", "a", 5), Ril_RTEditRemoveString(5), Ril_RTEditEnd(0, nullptr, 0)}),
              (Results{kErrNoSession, kErrNoSession, kErrNoSession}));
    // A failed open unloads the module.
    EXPECT_EQ((Results{Ril_RTEditOpenModule(dir.File("missing.dll").c_str()), Ril_GetLastError(),
                       Ril_RTEditBegin(0, nullptr)}),
              (Results{kErrModuleLoad, kErrModuleLoad, kErrNoModule}));
}

TEST_F(SessionTest, CommitWritesRecordsAndNewIdsClimbAboveTheModule) {
    Begin();
    EXPECT_EQ(State().editor.IdCounter(), 8u); // the module holds 1, 2 and 7
    ASSERT_EQ((Results{Add("THREE", "three", 3), Add("SEVEN", "7", 7), Add("BIG", "big", 2000)}),
              Results(3, 0));
    EXPECT_EQ((Results{Ril_RTEditEnd(0, nullptr, 0), Ril_RTEditIsEditing()}), (Results{0, 0}));
    EXPECT_EQ(std::pair(ModuleRecord(3), ModuleRecord(2000)),
              std::pair(RecordA("THREE", "three"), RecordA("BIG", "big")));
    const Bytes after = ReadFile(module);
    EXPECT_EQ(Bytes(after.end() - 3, after.end()), (Bytes{0, 0, 0}));
    EXPECT_TRUE(Unsummed(after).second); // counts the marker appended after the rewrite
    // The module is loaded again: probes see the commit.
    ASSERT_NE(State().accessor.FindStringResource(3), nullptr);

    // IDs 3, 7 and 2000 with a first ID of 10: new IDs climb above the committed 2000.
    RIL_ULONG id = 0, id2 = 0;
    ASSERT_EQ((Results{Ril_RTEditBegin(10, nullptr), Add("N1", "n", kNewId, &id),
                       Add("N2", "n", kNewId, &id2)}),
              Results(3, 0));
    EXPECT_EQ((std::vector<RIL_ULONG>{id, id2}), (std::vector<RIL_ULONG>{2002, 2004}));
    // A first ID above the module's highest is kept; Begin discarded the earlier items.
    ASSERT_EQ((Results{Ril_RTEditBegin(5000, nullptr), Add("N3", "n", kNewId, &id)}),
              Results(2, 0));
    EXPECT_EQ(std::pair(id, State().editor.Count()), std::pair(RIL_ULONG{5001}, 1u));
}

TEST_F(SessionTest, FailureRows) {
#if !defined(_WIN32) // Windows keeps a loaded module's file from being rewritten
    // The module cannot be loaded again after the holder marker: -104, no session.
    ASSERT_EQ(Ril_RTEditOpenModule(module.c_str()), 0);
    WriteFile(module, std::string("not a module any more"));
    EXPECT_EQ(
        (Results{Ril_RTEditBegin(0, "me"), Ril_RTEditIsEditing(), Ril_RTEditBegin(0, nullptr)}),
        (Results{kErrModuleLoad, 0, kErrNoModule}));
#endif

    // The holder marker cannot be written: E_FAIL, no session, the module open again.
    Fresh();
    ASSERT_EQ(Ril_RTEditOpenModule(module.c_str()), 0);
    platform::ArmFault(platform::Fault::FileOpen, 1);
    ASSERT_EQ(
        (Results{Ril_RTEditBegin(0, "me"), Ril_RTEditIsEditing(), Ril_RTEditBegin(0, nullptr)}),
        (Results{kEFail, 0, 0}));

    // Memory that cannot be had: E_OUTOFMEMORY and the session as it was.
    RIL_ULONG id = 0;
    ASSERT_EQ(Add("KEEP", "keep", 20), 0);
    RIL_ULONG counter = State().editor.IdCounter();
    platform::ArmFault(platform::Fault::Alloc, 1);
    EXPECT_EQ(Add("NEW", "n", kNewId, &id), kEOutOfMemory);
    EXPECT_EQ(State().editor.IdCounter(), counter + 2); // the new ID was spent before
    platform::ArmFault(platform::Fault::Alloc, 1);
    EXPECT_EQ(Add("KEEP", "other", 20), kEOutOfMemory);
    platform::ArmFault(platform::Fault::Alloc, 1);
    EXPECT_EQ(Ril_RTEditRemoveString(7), kEOutOfMemory);
    EXPECT_EQ(std::make_pair(std::string(Ril_GetStringA(20)), State().editor.Count()),
              std::make_pair(std::string("keep"), std::uint32_t{1}));
}

TEST_F(SessionTest, OverlayOnTheLookups) {
    auto const table =
        BinBuilder().Header(1, 5, 2).EntryA(1, "ONE", "one").EntryA(5, "FIVE", "five");
    ASSERT_EQ(Ril_LoadRes(Put("table.bin", table.Get()).c_str()), 0);
    // Texts handed out before the session opens still give way to the session's.
    void const *tableRecord = Ril_GetData(5);
    EXPECT_STREQ(Ril_GetStringA(5), "five");
    Begin();
    ASSERT_EQ(Add("FIVE", "new\r\nfive", 5), 0);
    EXPECT_NE(Ril_GetData(5), tableRecord);
    RIL_ULONG id = 0;
    ASSERT_EQ(Add("FAR", "far", kNewId, &id), 0);
    // An added ID beyond the loaded table is found; sizes describe the loaded table alone.
    RIL_ULONG length = 0;
    EXPECT_EQ(std::string(Ril_GetStringA(5)) + "|" + Ril_GetStringA(id), "new \nfive|far");
    EXPECT_EQ((Results{RIL_LONG(Ril_GetItemSize(id)), RIL_LONG(Ril_GetItemSize(5)),
                       Ril_GetMacro(nullptr, length, id), RIL_LONG(length)}),
              (Results{0, RIL_LONG(RecordA("FIVE", "five").size()), 1, 4}));
    // A removal does not hide the table's item; an item only added goes away entirely.
    // The module holds 1 (a removal item); 5 was added in the session only.
    ASSERT_EQ((Results{Ril_RTEditRemoveString(1), Ril_RTEditRemoveString(5)}), (Results{0, 0}));
    EXPECT_EQ(std::string(Ril_GetStringA(1)) + "|" + Ril_GetStringA(5), "one|five");
    // The wide getter reads an overlay text aligned, whatever the macro length.
    std::u16string wide = u"\u4E2D\u6587";
    ASSERT_EQ(Ril_RTEditAddOrReplaceString("ODD", wide.c_str(), 6, 9, nullptr), 0);
    EXPECT_EQ(Wide(Ril_GetStringW(9)), wide);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Ril_GetStringW(9)) % 2, 0u);
    // Unloading the table ends the session as a discard.
    Ril_UnloadRes();
    EXPECT_EQ(Ril_RTEditIsEditing(), 0);
}

TEST_F(SessionTest, AddAndRemoveRules) {
    Begin(100);
    RIL_ULONG id = 0;
    EXPECT_EQ((Results{Add(std::string(126, 'M').c_str(), "x", 50),
                       Add(std::string(127, 'M').c_str(), "x", 51), Add(nullptr, "x", 51),
                       Ril_RTEditAddOrReplaceString("M", "x", 0, kNewId, &id),
                       Ril_RTEditAddOrReplaceString("M", nullptr, 2, kNewId, &id)}),
              (Results{0, kErrMacro, kErrMacro, kErrArgument, kErrArgument}));
    // The refused calls took no ID; replacing keeps the place and the count; an item only
    // added here goes away when removed.
    ASSERT_EQ((Results{Add("M", "x", kNewId, &id), Add("M", "y", 50)}), (Results{0, 0}));
    EXPECT_EQ(std::tuple(id, State().editor.Count(), std::string(Ril_GetStringA(50))),
              std::tuple(101u, 2u, std::string("y")));
    EXPECT_EQ((std::pair{Ril_RTEditRemoveString(50), State().editor.Count()}),
              std::pair(RIL_LONG{0}, 1u));
    // 7 is held by the module (a removal, twice), 4242 by neither, 65537 is no alias of 1.
    EXPECT_EQ((Results{Ril_RTEditRemoveString(7), Ril_RTEditRemoveString(7),
                       Ril_RTEditRemoveString(4242), Ril_RTEditRemoveString(65537)}),
              (Results{0, 0, 1, 1}));
    ASSERT_EQ((std::pair{State().editor.Count(), Add("BACK", "back", 7)}),
              std::pair(2u, RIL_LONG{0}));
    EXPECT_STREQ(Ril_GetStringA(7), "back"); // a removal becomes content again

    // Only IDs 1..65535 name a resource of their own; others are refused and take no ID.
    const RIL_ULONG count = State().editor.Count();
    for (RIL_ULONG refused : {0u, 65536u, 66537u, 0xFFFFFFFEu})
        EXPECT_EQ(Add("ALIAS", "x", refused), kErrArgument) << refused;
    EXPECT_EQ(State().editor.Count(), count);
    ASSERT_EQ((Results{Add("TOP", "t", 65535), Ril_RTEditBegin(65532, nullptr)}), Results(2, 0));
    RIL_ULONG id2 = 0; // the third would be 65537
    EXPECT_EQ((Results{Add("N", "n", kNewId, &id), Add("N", "n", kNewId, &id2),
                       Add("N", "n", kNewId, &id)}),
              (Results{0, 0, kErrArgument}));
    EXPECT_EQ((std::vector<RIL_ULONG>{id, id2, State().editor.IdCounter(), State().editor.Count()}),
              (std::vector<RIL_ULONG>{65533, 65535, 65536, 2}));
    ASSERT_EQ(Ril_RTEditBegin(0xFFFFFFFFu, nullptr), 0); // the counter cannot wrap to 0
    EXPECT_EQ(Add("N", "n", kNewId, &id), kErrArgument);
}

TEST_F(SessionTest, DiscardsFailuresAndHolders) {
    Bytes discarded = ReadFile(module);
    Begin();
    ASSERT_EQ((Results{Add("A", "a", 3), Ril_RTEditEnd(1, nullptr, 0)}), Results(2, 0));
    discarded.insert(discarded.end(), {0, 0, 0});
    EXPECT_EQ(Unsummed(ReadFile(module)), std::pair(Unsummed(discarded).first, true));

    // A commit never writes an item whose ID names no resource of its own.
    for (std::uint32_t id : {0u, 65537u}) {
        const std::uint8_t record[] = {2, 0, 'Z', 0, 'z', 0};
        EXPECT_EQ(State().accessor.UpdateModuleResources(
                      {{3, record, sizeof record}, {id, record, sizeof record}}),
                  kEFail);
        EXPECT_EQ(Unsummed(ReadFile(module)).first, Unsummed(discarded).first);
    }
    EXPECT_TRUE(State().accessor.IsOpen());

#if !defined(_WIN32)
    // A commit whose write fails is dropped whole; the discard that follows appends its
    // empty marker.
    ASSERT_EQ((Results{Ril_RTEditBegin(0, nullptr), Add("A", "a", 3), Add("B", "b", 4)}),
              Results(3, 0));
    platform::ArmFault(platform::Fault::FileWrite, 1);
    EXPECT_EQ((Results{Ril_RTEditEnd(0, nullptr, 0), Ril_RTEditIsEditing()}), (Results{kEFail, 0}));
    discarded.insert(discarded.end(), {0, 0, 0});
    EXPECT_EQ(Unsummed(ReadFile(module)).first, Unsummed(discarded).first);
#endif

    // A holder text is appended before the session opens; a second Begin with a holder
    // ends the old session first, so the new text is the file's last marker.
    ASSERT_EQ((Results{Ril_RTEditBegin(0, "me"), Ril_RTEditBegin(0, "you")}), Results(2, 0));
    const Bytes file = ReadFile(module);
    EXPECT_EQ(Bytes(file.end() - 14, file.end()),
              (Bytes{'m', 'e', 2, 0, 0, 0, 0, 0, 'y', 'o', 'u', 3, 0, 0}));
    // Closing discards the open session.
    EXPECT_EQ((Results{Ril_RTEditIsEditing(), Ril_RTEditCloseModule(), Ril_RTEditIsEditing()}),
              (Results{1, 0, 0}));
}

#if !defined(_WIN32) // Windows keeps a loaded module's file from being deleted
// A module deleted during a session stays deleted, and ending the session says it failed.
// A failed commit that cannot load the module again keeps its session open, as designed.
TEST_F(SessionTest, ADeletedModuleIsNotRecreated) {
    // What ends the session, its result and whether the session stays open.
    const std::tuple<char const *, RIL_LONG (*)(), RIL_LONG, int> rows[] = {
        {"discard", [] { return Ril_RTEditEnd(1, nullptr, 0); }, kEFail, 0},
        {"commit", [] { return Ril_RTEditEnd(0, nullptr, 0); }, kEFail, 1},
        {"close", [] { return Ril_RTEditCloseModule(); }, kEFail, 0},
        {"begin again", [] { return Ril_RTEditBegin(0, "me"); }, kErrModuleLoad, 0},
    };
    for (auto const &[what, end, result, editing] : rows) {
        SCOPED_TRACE(what);
        Fresh();
        ASSERT_EQ((Results{Ril_RTEditOpenModule(module.c_str()), Ril_RTEditBegin(0, nullptr),
                           Add("A", "a", 3)}),
                  Results(3, 0));
        fs::remove(module);
        EXPECT_EQ((Results{end(), FileExists(module), Ril_RTEditIsEditing()}),
                  (Results{result, 0, editing}));
    }
}
#endif

TEST_F(SessionTest, ToolsRefuseTheLoadedFileDuringASession) {
    std::string bin = Put("table.bin", BinBuilder().Header(1, 1, 1).EntryA(1, "ONE", "one").Get());
    ASSERT_EQ(Ril_LoadRes(bin.c_str()), 0);
    Begin();
    std::string txt = dir.File("strings.txt");
    WriteFile(txt, std::string("RilStringID=1;RilStringMacro=ONE\r\n{uno}"));
    notices.Clear();
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, nullptr, nullptr), kErrImportWrite);
    ASSERT_FALSE(notices.Notices().empty());
    EXPECT_EQ(notices.Notices().back().message, msg::kLoadedBinBeingEdited);
    EXPECT_STREQ(Ril_GetStringA(1), "one"); // the table stays loaded
    notices.Clear();
    EXPECT_EQ(Ril_ExportResFromBinToTxt(dir.File("out.txt").c_str(), 0, nullptr), kErrBinRead);
    EXPECT_EQ(notices.Notices().back().message, msg::kLoadedBinBeingEdited);
    EXPECT_EQ(Ril_WriteHeaderFile(dir.Path().string().c_str(), 0, nullptr), kErrBinRead);
    // The import knows the loaded file by its name in any letter case.
    const Bytes before = ReadFile(bin);
    std::string upper = bin.substr(0, bin.size() - 9) + "TABLE.BIN";
    EXPECT_EQ(Ril_ImportResFromTxtToBin(txt.c_str(), 0, upper.c_str(), nullptr), kErrImportWrite);
    EXPECT_EQ(ReadFile(bin), before);
    EXPECT_EQ(FilesInDir(), 3u); // the module, table.bin and strings.txt: nothing beside them
    // Naming the file explicitly is not refused.
    EXPECT_EQ(Ril_ExportResFromBinToTxt(dir.File("out.txt").c_str(), 0, bin.c_str()), 0);
    // Ending with a header folder writes the loaded table's header.
    fs::create_directory(dir.File("inc"));
    EXPECT_EQ(Ril_RTEditEnd(1, dir.File("inc").c_str(), 0), 0);
    EXPECT_TRUE(FileExists(dir.File("inc/table.bin.h")));
}

TEST_F(SessionTest, ModuleAccessor) {
    CTxtResIdxSvr accessor{State().lastError};
    EXPECT_EQ((Results{accessor.ReopenModule(), accessor.FindStringResource(1) != nullptr,
                       Ril_GetLastError(), accessor.OpenModule(nullptr),
                       accessor.OpenModule(std::string(520, 'x').c_str())}),
              (Results{kErrNoModulePath, 0, kErrNoModule, kErrArgument, kErrArgument}));
    EXPECT_EQ(accessor.OpenModule(module.c_str()), 0);
    EXPECT_STREQ(accessor.Path(), module.c_str());
    // Only the low 16 bits of an ID name a resource.
    EXPECT_EQ(
        (Results{accessor.FindStringResource(static_cast<std::uint16_t>(65537)) != nullptr,
                 Ril_GetLastError(), accessor.FindStringResource(3) != nullptr, Ril_GetLastError(),
                 accessor.CloseModule(), accessor.FindStringResource(1) != nullptr,
                 Ril_GetLastError(), accessor.ReopenModule()}),
        (Results{1, 0, 0, kErrNoSuchResource, 0, 0, kErrNoModule, 0}));
    EXPECT_NE(accessor.FindStringResource(1), nullptr);
#if !defined(_WIN32) // a hand-made image that only the library's own PE layer loads
    // A resource whose data lies outside the image is reported; the others stay readable.
    pe_test::HandTree tree = pe_test::MakeHandTree({1, 2}, {"one", "two"});
    pe_test::PutU32(tree.bytes, tree.dataEntries[0], 0x00900000);
    ASSERT_EQ(accessor.OpenModule(Put("unreadable.dll", tree.Pe()).c_str()), 0);
    EXPECT_EQ((Results{accessor.FindStringResource(1) != nullptr, Ril_GetLastError(),
                       accessor.FindStringResource(2) != nullptr, Ril_GetLastError()}),
              (Results{0, kErrResourceLoad, 1, 0}));
#endif
}

} // namespace
} // namespace ril::test
