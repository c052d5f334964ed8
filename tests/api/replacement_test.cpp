// Every writer replaces its file whole or not at all: a fault at any step leaves the previous
// file, no temporary file and the loaded table, and the failure is reported.
#include "api/library_state.h"
#include "core/error_report.h"
#include "core/messages.h"
#include "platform/fault.h"
#include "platform/path.h"
#include "support/test_support.h"
#include "table/bin_list_writer.h"

using namespace ril::core;
using namespace ril::items;
using namespace ril::table;
using namespace ril::api;

namespace ril::test {
namespace {

using platform::Fault;

// The writer, the fault, its countdown, the file written, the result, and the notices
// shown then the log written, each line ending in '\n'.
using Row = std::tuple<char const *, Fault, int, std::string, HResult, std::string>;

class ReplacementTest : public LibraryTest {
  protected:
    std::string Report() {
        std::string report;
        for (auto const &notice : notices.Notices())
            report += notice.message + "\n";
        notices.Clear();
        return report + ReadText(log);
    }
    HResult Write(std::string const &writer, std::string const &target) {
        if (writer == "list") {
            CRilTxtLoader list;
            AddItem(list, 2, "NEW", "new");
            return SaveBin(list, ResolveBinTarget(target.c_str(), BinUse::Write), log.c_str());
        }
        if (writer == "text")
            return Ril_ExportResFromBinToTxt(target.c_str(), 1, bin.c_str());
        if (writer == "header")
            return Ril_WriteHeaderFile(dir.Path().string().c_str(), 0, bin.c_str());
        if (writer == "table")
            return Ril_ExportResToBinFile(target.c_str());
        if (writer == "holder")
            return Ril_RTEditForceWriteHolderInfo(target.c_str(), "0123456789");
        LogError(target.c_str(), "lost %d", 1);
        return kSOk;
    }

    TempDir logs;
    std::string log = logs.File("writer.log");
    std::string bin = Put("strings.bin", BinBuilder().Header(1, 1, 1).EntryA(1, "A", "a").Get());
    std::string text = dir.File("strings.txt");
    std::string saved = dir.File("saved.bin");
};

TEST_F(ReplacementTest, FailuresKeepThePreviousFile) {
    // The header is named after the BIN, in the folder given.
    const std::string header = dir.Path().string() + platform::PreferredSeparator() + "strings.h";
    const std::string cannotWrite = Printf(msg::kCannotWriteBin, bin.c_str()) + "\r\n";
    const std::string headerOpen = Printf(msg::kCannotOpenHeader, header.c_str()) + "\n";
    const std::string headerWrite = Printf(msg::kCannotWriteHeader, header.c_str()) + "\n";
    const std::string textWrite = std::string(msg::kTextWriteFailed) + "\n";
    // clang-format off
    const Row rows[] = {
        {"list", Fault::FileWrite, 1, bin, 0, cannotWrite},
        {"text", Fault::FileOpen, 2, text, kErrOutputWrite, Printf(msg::kCannotOpenText, text.c_str()) + "\n"},
        {"text", Fault::FileWrite, 1, text, kErrOutputWrite, textWrite},
        {"header", Fault::FileOpen, 1, header, kErrOutputWrite, headerOpen}, // before the BIN
        {"header", Fault::FileWrite, 1, header, kErrOutputWrite, headerWrite},
        {"table", Fault::FileOpen, 1, saved, kEFail, Printf(msg::kCannotOpenForUpdate, saved.c_str()) + "\n"},
        {"table", Fault::FileWrite, 1, saved, kEFail, Printf(msg::kCannotWriteBin, saved.c_str()) + "\n"},
        {"holder", Fault::Alloc, 1, saved, kEOutOfMemory, ""},
        {"holder", Fault::FileWrite, 1, saved, kEFail, ""},
        {"log", Fault::FileOpen, 1, saved, kSOk, "lost 1\n"},
        {"log", Fault::FileWrite, 1, saved, kSOk, Printf(msg::kCannotWriteBin, saved.c_str()) + "\nlost 1\n"},
    };
    // clang-format on
    const Bytes previous = ReadFile(bin); // a BIN with one item, loaded for each row
    for (auto const &[writer, fault, countdown, target, result, report] : rows) {
        SCOPED_TRACE(std::string(writer) + " fault " + std::to_string(int(fault)));
        WriteFile(target, previous);
        ASSERT_EQ(Ril_LoadRes(bin.c_str()), 0);
        const std::size_t files = FilesInDir();
        platform::ArmFault(fault, countdown);
        EXPECT_EQ(Write(writer, target), result);
        if (result == kErrOutputWrite) { // the exports record their result as the last error
            EXPECT_EQ(Ril_GetLastError(), kErrOutputWrite);
        }
        platform::DisarmAllFaults();
        EXPECT_EQ(std::make_tuple(Report(), ReadFile(target), FilesInDir(), Ril_GetNumItem(),
                                  std::string(Ril_GetStringA(1))),
                  std::make_tuple(report, previous, files, RIL_ULONG(1), std::string("a")));
        std::filesystem::remove(log);
    }
}

} // namespace
} // namespace ril::test
