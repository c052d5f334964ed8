// Windows only: the DLL entry point's reset of the last error, code-page conversion through
// the Win32 calls, paths with backslashes and double-byte names, and the other services.
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/path.h"
#include "platform/user.h"
#include "support/test_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <thread>
#include <type_traits>

namespace ril::test {
namespace {

// Ril4410.dll loaded beside the test program (which links the static library, without the
// DLL entry point).
TEST(WindowsDll, ThreadAttachResetsTheLastError) {
    std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> dll(
        LoadLibraryA("Ril4410.dll"), &FreeLibrary);
    ASSERT_NE(dll, nullptr) << "Ril4410.dll not found beside the test program";
    auto mbcsToWcs = reinterpret_cast<int (*)(const char *, RIL_WCHAR *, unsigned)>(
        reinterpret_cast<void (*)()>(GetProcAddress(dll.get(), "Ril_MbcsToWcs")));
    auto lastError = reinterpret_cast<RIL_LONG (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(dll.get(), "Ril_GetLastError")));
    ASSERT_TRUE(mbcsToWcs && lastError);
    EXPECT_EQ(mbcsToWcs(nullptr, nullptr, 0), 0);
    ASSERT_EQ(lastError(), -102);
    std::thread([] {}).join(); // DLL_THREAD_ATTACH, then DLL_THREAD_DETACH
    EXPECT_EQ(lastError(), 0);
    // Only the attach resets: an error set by a thread survives that thread's detach.
    std::thread([&] { EXPECT_EQ(mbcsToWcs(nullptr, nullptr, 0), 0); }).join();
    EXPECT_EQ(lastError(), -102);
    HANDLE thread = CreateThread(
        nullptr, 0, [](LPVOID) -> DWORD { return 0; }, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(lastError(), 0);
}

// Both calls (size, then the text into a buffer of exactly that size) agree.
std::u16string ToWide(const std::string &bytes, unsigned codePage) {
    const int size = Ril_MbcsToWcs(bytes.c_str(), nullptr, codePage);
    std::vector<RIL_WCHAR> out(static_cast<std::size_t>(std::max(size, 1)), 0xAAAA);
    EXPECT_EQ(Ril_MbcsToWcs(bytes.c_str(), out.data(), codePage), size) << codePage;
    EXPECT_TRUE(size > 0 && out.back() == 0) << codePage;
    return std::u16string(out.begin(), out.end() - 1);
}
std::string ToBytes(const std::u16string &text, unsigned codePage) {
    const int size = Ril_WcsToMbcs(W(text), nullptr, codePage);
    std::string out(static_cast<std::size_t>(std::max(size, 1)), '\xAA');
    EXPECT_EQ(Ril_WcsToMbcs(W(text), out.data(), codePage), size) << codePage;
    EXPECT_TRUE(size > 0 && out.back() == '\0') << codePage;
    return out.substr(0, out.size() - 1);
}

// Pairs that iconv's CP936 gives on POSIX: the euro, the GBK extension rows, trail bytes
// 0x5C ('\'), punctuation that GB2312 converters disagree on, and compatibility ideographs.
TEST(WindowsCodePages, Gbk936GivesTheBytesOfThePosixBuild) {
    const std::string bytes = "\x80\x81\x40\x87\x5C\x95\x5C\xA1\xA4\xA1\xAA\xA8\x44\xA8\x95\xD6\xD0"
                              "\xCE\xC4\xF7\xFE\xFE\x4F";
    const std::u16string text = u"\u20AC\u4E02\u5630\u661E\u00B7\u2014\u2015\u301E\u4E2D\u6587"
                                u"\u9F44\uFA29";
    EXPECT_EQ(ToWide("A" + bytes + "z", 936), u"A" + text + u"z");
    EXPECT_EQ(ToBytes(text, 936), bytes);
    const std::u16string longText(5000, u'\u4E2D');
    EXPECT_EQ(ToWide(ToBytes(longText, 936), 936), longText);
}

TEST(WindowsCodePages, CodePageZeroIsTheChosenOrTheSystemAnsiCodePage) {
    const unsigned previous = Ril_SetAnsiCodePage(0);
    EXPECT_EQ(platform::AnsiCodePage(), GetACP());
    const std::string sample = "\xD6\xD0\xE9";
    EXPECT_EQ(ToWide(sample, 0), ToWide(sample, GetACP()));
    EXPECT_EQ(Ril_SetAnsiCodePage(1252), 0u);
    EXPECT_EQ(platform::AnsiCodePage(), 1252u);
    EXPECT_EQ(ToWide(sample, 0), u"\u00D6\u00D0\u00E9");
    EXPECT_EQ(Ril_SetAnsiCodePage(936), 1252u);
    EXPECT_EQ(ToWide(sample.substr(0, 2), 0), u"\u4E2D");
    Ril_SetAnsiCodePage(previous);
}

TEST(WindowsCodePages, BadInputIsReplacedByTheSystemNotRefused) {
    // A lead byte without its trail: one replacement unit (Wine gives '?', U+003F).
    const std::u16string lead = ToWide("A\x81", 936);
    EXPECT_TRUE(lead == u"A?" || lead == u"A\uFFFD");
    EXPECT_EQ(ToWide(std::string("\xFF") + "B", 65001), u"\uFFFDB");
    // A character outside the code page becomes question marks, one per UTF-16 unit.
    EXPECT_EQ(ToBytes(u"x\u4E2Dy", 1252), "x?y");
    const std::string astral = ToBytes(u"\U0001F600", 1252);
    EXPECT_TRUE(!astral.empty() && astral.find_first_not_of('?') == std::string::npos) << astral;
    // A lone surrogate towards UTF-8 is U+FFFD, where the POSIX build writes '?'.
    EXPECT_EQ(ToBytes(std::u16string{u'a', char16_t(0xD800), u'b'}, 65001), "a\xEF\xBF\xBD"
                                                                            "b");
    EXPECT_EQ(Ril_GetLastError(), 0);
}

TEST(WindowsCodePages, UnknownOrManagedOnlyCodePagesAreInvalidArguments) {
    RIL_WCHAR out[4] = {};
    for (unsigned codePage : {12345u, 1200u, 1201u}) {
        EXPECT_EQ(Ril_MbcsToWcs("A", out, codePage), 0) << codePage;
        EXPECT_EQ(Ril_GetLastError(), -102) << codePage;
        EXPECT_EQ(Ril_WcsToMbcs(W(u"A"), nullptr, codePage), 0) << codePage;
        EXPECT_EQ(Ril_GetLastError(), -102) << codePage;
    }
}

std::string WithSeparators(std::string path, char from, char to) {
    std::replace(path.begin(), path.end(), from, to);
    return path;
}

TEST(WindowsPaths, BinLoadsThroughBackslashAndMixedPaths) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "nested");
    const std::string native = (dir.Path() / "nested" / "table.bin").string();
    WriteFile(native, BinBuilder().Header(0, 1, 1).EntryA(1, "HELLO", "Hi").Get());
    const std::string base = dir.Path().string();
    for (const std::string &path :
         {WithSeparators(native, '/', '\\'), WithSeparators(native, '\\', '/'),
          platform::JoinPath(platform::JoinPath(WithSeparators(base, '\\', '/'), "nested"),
                             "table.bin"),
          WithSeparators(base, '/', '\\') + "\\nested/..\\nested\\\\table.bin"}) {
        SCOPED_TRACE(path);
        ASSERT_EQ(Ril_LoadRes(path.c_str()), 0);
        EXPECT_STREQ(Ril_GetStringA(1), "Hi");
        EXPECT_EQ(Ril_UnloadRes(), 0);
        EXPECT_EQ(Ril_ReLoadRes(), 0); // again from the stored path
        EXPECT_STREQ(Ril_GetStringA(1), "Hi");
        EXPECT_EQ(Ril_UnloadRes(), 0);
    }
}

TEST(WindowsPaths, DoubleByteNamesEndingInByte5CAreNotSeparators) {
    if (!IsDBCSLeadByteEx(CP_ACP, 0x95))
        GTEST_SKIP() << "the ANSI code page " << GetACP() << " has no double-byte characters";
    const std::string name = "\x95\x5C"; // one character (U+661E in GBK) ending in 0x5C
    EXPECT_FALSE(platform::EndsWithSeparator("d" + name));
    EXPECT_TRUE(platform::EndsWithSeparator("d" + name + "\\"));
    EXPECT_EQ(platform::JoinPath("d" + name, "t.bin"), "d" + name + "\\t.bin");
    EXPECT_EQ(platform::FileNameOffset("a\\" + name + "x"), 2u);
    EXPECT_EQ(platform::FileNameOffset(name + "\\x"), 3u);
    // The joined path names a file inside that folder, not a sibling of it.
    TempDir dir;
    const std::string folder = platform::JoinPath(dir.Path().string(), name);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string file = platform::JoinPath(folder, "t.bin");
    std::FILE *out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    const Bytes bin = BinBuilder().Header(0, 2, 1).EntryA(2, "X", "dbcs").Get();
    std::fwrite(bin.data(), 1, bin.size(), out);
    ASSERT_EQ(std::fclose(out), 0);
    ASSERT_EQ(Ril_LoadRes(file.c_str()), 0);
    EXPECT_STREQ(Ril_GetStringA(2), "dbcs");
    EXPECT_EQ(Ril_UnloadRes(), 0);
}

TEST(WindowsServices, UserNameAndLocalTime) {
    const std::string user = platform::CurrentUserName();
    EXPECT_TRUE(!user.empty() && user.size() < 512u) << user;
    if (const char *logon = std::getenv("USERNAME"); logon != nullptr)
        EXPECT_EQ(user, logon);
    // The library's local time agrees with the C runtime's (retried across a second edge).
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::time_t before = std::time(nullptr);
        platform::LocalTime now = platform::SystemLocalTime();
        std::tm t{};
        if (std::time(nullptr) != before || localtime_s(&t, &before) != 0)
            continue;
        EXPECT_EQ(
            (std::vector<unsigned>{now.year, now.month, now.day, now.hour, now.minute, now.second}),
            (std::vector<unsigned>{unsigned(t.tm_year + 1900), unsigned(t.tm_mon + 1),
                                   unsigned(t.tm_mday), unsigned(t.tm_hour), unsigned(t.tm_min),
                                   unsigned(t.tm_sec)}));
        return;
    }
    FAIL() << "the clock never stood still for one comparison";
}

} // namespace
} // namespace ril::test
