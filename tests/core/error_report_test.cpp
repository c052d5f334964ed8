// ErrorBox and LogError: the "Error:" notice, log lines byte for byte, and cuts at 1023 bytes.
#include "core/error_report.h"

#include "core/messages.h"
#include "support/test_support.h"

namespace ril::test {
namespace {

using ErrorReport = LibraryTest;

TEST_F(ErrorReport, ErrorBoxFormatsAndCutsAt1023Bytes) {
    EXPECT_STREQ(kErrorCaption, "Error:");
    ErrorBox(catalogue::kMacroNotFound, {}, 12u, 0x1Fu); // GBK bytes pass unchanged
    ExpectNotice(Printf(msg::kMacroNotFound, 12u, 0x1Fu));
    const std::string longText(2000, 'L');
    ErrorBox(catalogue::kCannotOpen, {}, longText.c_str());
    ExpectNotice(Printf(msg::kCannotOpen, longText.c_str()).substr(0, 1023));
    // Without a usable log the line is shown instead.
    LogError(nullptr, "no log %d", 1);
    ExpectNotice("no log 1");
    const std::string missing = dir.File("missing/import.log");
    LogError(missing.c_str(), catalogue::kCannotRead, {}, "here");
    ExpectNotice(Printf(msg::kCannotRead, "here"));
    EXPECT_FALSE(FileExists(missing));
}

TEST_F(ErrorReport, LogAppendsCrLfLinesInCallOrder) {
    const std::string log = Put("import.log", {'o', 'l', 'd', '\n'});
    LogError(log.c_str(), "first %u", 1u);
    LogError(log.c_str(), catalogue::kGapCount, {}, -3);
    const std::string longText(1500, 'z');
    LogError(log.c_str(), "%s", longText.c_str());
    ExpectNotice("");
    EXPECT_EQ(ReadText(log),
              "old\nfirst 1\r\nblack Num: -3\r\n" + longText.substr(0, 1023) + "\r\n");
    const std::string fresh = dir.File("fresh.log"); // a missing log is created
    LogError(fresh.c_str(), "created");
    EXPECT_EQ(ReadText(fresh), "created\r\n");
#ifdef __linux__
    // A device that is always full: nothing to cut back, the "cannot write" notice naming the
    // log, then the line itself.
    if (FileExists("/dev/full")) {
        LogError("/dev/full", "full");
        ASSERT_EQ(notices.Notices().size(), 2u);
        EXPECT_EQ(notices.Notices()[0].message, Printf(msg::kCannotWriteBin, "/dev/full"));
        EXPECT_EQ(notices.Notices()[1].message, "full");
    }
#endif
}

} // namespace
} // namespace ril::test
