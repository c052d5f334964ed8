// Tests of ErrorBox and LogError: the "Error:" notice, log lines byte for byte, and cuts.
#include "core/error_report.h"

#include "platform/fault.h"
#include "support/test_support.h"
#include "core/messages.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ril::test::Bytes;
using ril::test::NoticeCapture;
using ril::test::TempDir;

Bytes ToBytes(const std::string &text) {
    return Bytes(text.begin(), text.end());
}

void ExpectOneNotice(const NoticeCapture &capture, const std::string &message) {
    ASSERT_EQ(1u, capture.Notices().size());
    EXPECT_EQ("Error:", capture.Notices()[0].caption);
    EXPECT_EQ(message, capture.Notices()[0].message);
}

TEST(ErrorReport, ErrorBoxFormatsAndCutsAt1023Bytes) {
    EXPECT_STREQ("Error:", ril::kErrorCaption);
    NoticeCapture capture;
    ril::ErrorBox("line %u in %s: \xB4\xED", 12u, "a.txt"); // GBK bytes pass unchanged
    ExpectOneNotice(capture, "line 12 in a.txt: \xB4\xED");

    capture.Clear();
    const std::string longText(2000, 'L');
    ril::ErrorBox("%s", longText.c_str());
    ExpectOneNotice(capture, longText.substr(0, 1023));
}

TEST(LogError, WithoutUsableLogShowsTheNotice) {
    TempDir dir;
    NoticeCapture capture;
    ril::LogError(nullptr, "no log %d", 1);
    ExpectOneNotice(capture, "no log 1");

    capture.Clear();
    const std::string missing = dir.File("missing/import.log");
    ril::LogError(missing.c_str(), "no folder %s", "here");
    ExpectOneNotice(capture, "no folder here");
    EXPECT_FALSE(ril::test::FileExists(missing));

    capture.Clear();
    ril::platform::ArmFault(ril::platform::Fault::FileOpen, 1);
    ril::LogError(dir.File("log.txt").c_str(), "open fails");
    ril::platform::DisarmAllFaults();
    ExpectOneNotice(capture, "open fails");
}

TEST(LogError, AppendsCrLfLinesInCallOrder) {
    TempDir dir;
    const std::string log = dir.File("import.log");
    ril::test::WriteFile(log, "old\n");
    NoticeCapture capture;
    ril::LogError(log.c_str(), "first %u", 1u);
    ril::LogError(log.c_str(), "second\nline");
    const std::string longText(1500, 'z');
    ril::LogError(log.c_str(), "%s", longText.c_str());
    EXPECT_TRUE(capture.Notices().empty());
    EXPECT_EQ(ToBytes("old\nfirst 1\r\nsecond\nline\r\n" + longText.substr(0, 1023) + "\r\n"),
              ril::test::ReadFile(log));
    // A missing log is created.
    const std::string fresh = dir.File("fresh.log");
    ril::LogError(fresh.c_str(), "created");
    EXPECT_EQ(ToBytes("created\r\n"), ril::test::ReadFile(fresh));
}

// A line the log does not take whole is cut off again and reported: the "cannot write"
// notice naming the log, then the line itself, so that nothing is lost.
TEST(LogError, FailedWriteIsCutOffAndReported) {
    TempDir dir;
    const std::string log = dir.File("import.log");
    ril::test::WriteFile(log, "old\n");
    NoticeCapture capture;
    ril::platform::ArmFault(ril::platform::Fault::FileWrite, 1);
    ril::LogError(log.c_str(), "lost %d", 1);
    ril::platform::DisarmAllFaults();
    EXPECT_EQ(ToBytes("old\n"), ril::test::ReadFile(log));
    ASSERT_EQ(2u, capture.Notices().size());
    EXPECT_EQ(ril::test::Printf(ril::msg::kCannotWriteBin, log.c_str()),
              capture.Notices()[0].message);
    EXPECT_EQ("lost 1", capture.Notices()[1].message);
    capture.Clear();
    ril::LogError(log.c_str(), "kept");
    EXPECT_TRUE(capture.Notices().empty());
    EXPECT_EQ(ToBytes("old\nkept\r\n"), ril::test::ReadFile(log));
#ifdef __linux__
    // A device that is always full: nothing to cut back, the same two notices.
    if (ril::test::FileExists("/dev/full")) {
        ril::LogError("/dev/full", "full");
        ASSERT_EQ(2u, capture.Notices().size());
        EXPECT_EQ(ril::test::Printf(ril::msg::kCannotWriteBin, "/dev/full"),
                  capture.Notices()[0].message);
        EXPECT_EQ("full", capture.Notices()[1].message);
    }
#endif
}

} // namespace
