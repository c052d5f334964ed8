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
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

namespace ril::test {
namespace {

// Ril4410.dll loaded beside the test program, with the exports these tests call. The test
// program itself links the static library, which has no DLL entry point.
class Dll {
  public:
    Dll() : module_(LoadLibraryA("Ril4410.dll")) {}
    ~Dll() {
        if (module_ != nullptr)
            FreeLibrary(module_);
    }
    Dll(const Dll &) = delete;
    Dll &operator=(const Dll &) = delete;

    bool Loaded() const { return module_ != nullptr; }
    template <typename Function> Function Get(const char *name) const {
        auto address = reinterpret_cast<void (*)()>(GetProcAddress(module_, name));
        return reinterpret_cast<Function>(address);
    }

  private:
    HMODULE module_;
};

TEST(WindowsDll, ThreadAttachResetsTheLastError) {
    Dll dll;
    ASSERT_TRUE(dll.Loaded()) << "Ril4410.dll not found beside the test program";
    auto mbcsToWcs = dll.Get<int (*)(const char *, RIL_WCHAR *, unsigned)>("Ril_MbcsToWcs");
    auto lastError = dll.Get<RIL_LONG (*)()>("Ril_GetLastError");
    ASSERT_NE(mbcsToWcs, nullptr);
    ASSERT_NE(lastError, nullptr);

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

std::u16string ToWide(const std::string &bytes, unsigned codePage) {
    int size = Ril_MbcsToWcs(bytes.c_str(), nullptr, codePage);
    EXPECT_GT(size, 0) << "code page " << codePage;
    if (size <= 0)
        return std::u16string();
    std::vector<RIL_WCHAR> out(static_cast<std::size_t>(size), 0xAAAA);
    EXPECT_EQ(Ril_MbcsToWcs(bytes.c_str(), out.data(), codePage), size);
    EXPECT_EQ(out.back(), 0);
    return std::u16string(out.begin(), out.end() - 1);
}

std::string ToBytes(const std::u16string &text, unsigned codePage) {
    int size = Ril_WcsToMbcs(W(text), nullptr, codePage);
    EXPECT_GT(size, 0) << "code page " << codePage;
    if (size <= 0)
        return std::string();
    std::string out(static_cast<std::size_t>(size), '\xAA');
    EXPECT_EQ(Ril_WcsToMbcs(W(text), out.data(), codePage), size);
    EXPECT_EQ(out.back(), '\0');
    out.pop_back();
    return out;
}

// Pairs that iconv's CP936 gives on POSIX: the euro, the GBK extension rows, trail bytes
// 0x5C ('\'), punctuation that GB2312 converters disagree on, and compatibility ideographs.
struct GbkPair {
    const char *bytes;
    char16_t unit;
};
const GbkPair kGbkPairs[] = {
    {"\x80", u'\u20AC'},     {"\x81\x40", u'\u4E02'}, {"\x87\x5C", u'\u5630'},
    {"\x95\x5C", u'\u661E'}, {"\xA1\xA4", u'\u00B7'}, {"\xA1\xAA", u'\u2014'},
    {"\xA8\x44", u'\u2015'}, {"\xA8\x95", u'\u301E'}, {"\xD6\xD0", u'\u4E2D'},
    {"\xCE\xC4", u'\u6587'}, {"\xF7\xFE", u'\u9F44'}, {"\xFE\x4F", u'\uFA29'},
};

TEST(WindowsCodePages, Gbk936GivesTheBytesOfThePosixBuild) {
    std::string allBytes;
    std::u16string allText;
    for (const GbkPair &pair : kGbkPairs) {
        EXPECT_EQ(ToWide(pair.bytes, 936), std::u16string(1, pair.unit)) << pair.bytes;
        EXPECT_EQ(ToBytes(std::u16string(1, pair.unit), 936), pair.bytes);
        allBytes += pair.bytes;
        allText += pair.unit;
    }
    EXPECT_EQ(ToWide("A" + allBytes + "z", 936), u"A" + allText + u"z");
    EXPECT_EQ(ToBytes(allText, 936), allBytes);

    std::u16string longText(5000, u'\u4E2D');
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
    std::u16string lead = ToWide("A\x81", 936);
    ASSERT_EQ(lead.size(), 2u);
    EXPECT_EQ(lead[0], u'A');
    EXPECT_TRUE(lead[1] == u'\u003F' || lead[1] == u'\uFFFD') << int(lead[1]);
    EXPECT_EQ(ToWide(std::string("\xFF") + "B", 65001), u"\uFFFDB");

    // A character outside the code page becomes question marks, one per UTF-16 unit.
    EXPECT_EQ(ToBytes(u"x\u4E2Dy", 1252), "x?y");
    std::string astral = ToBytes(u"\U0001F600", 1252);
    EXPECT_FALSE(astral.empty());
    EXPECT_EQ(astral.find_first_not_of('?'), std::string::npos) << astral;
    // A lone surrogate towards UTF-8 is U+FFFD, where the POSIX build writes '?'.
    std::u16string lone = u"a";
    lone.push_back(char16_t(0xD800));
    lone.push_back(u'b');
    EXPECT_EQ(ToBytes(lone, 65001), std::string("a\xEF\xBF\xBD") + "b");
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

// Replaces every occurrence of `from` by `to`.
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
    const std::string paths[] = {
        WithSeparators(native, '/', '\\'),
        WithSeparators(native, '\\', '/'),
        platform::JoinPath(platform::JoinPath(WithSeparators(base, '\\', '/'), "nested"),
                           "table.bin"),
        WithSeparators(base, '/', '\\') + "\\nested/..\\nested\\\\table.bin",
    };
    for (const std::string &path : paths) {
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
    std::string user = platform::CurrentUserName();
    EXPECT_FALSE(user.empty());
    EXPECT_LT(user.size(), 512u);
    if (const char *logon = std::getenv("USERNAME"); logon != nullptr) {
        EXPECT_EQ(user, logon);
    }

    // The library's local time agrees with the C runtime's (retried across a second edge).
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::time_t before = std::time(nullptr);
        platform::LocalTime now = platform::CurrentLocalTime();
        if (std::time(nullptr) != before)
            continue;
        std::tm parts{};
        ASSERT_EQ(localtime_s(&parts, &before), 0);
        EXPECT_EQ(now.year, unsigned(parts.tm_year + 1900));
        EXPECT_EQ(now.month, unsigned(parts.tm_mon + 1));
        EXPECT_EQ(now.day, unsigned(parts.tm_mday));
        EXPECT_EQ(now.hour, unsigned(parts.tm_hour));
        EXPECT_EQ(now.minute, unsigned(parts.tm_min));
        EXPECT_EQ(now.second, unsigned(parts.tm_sec));
        return;
    }
    FAIL() << "the clock never stood still for one comparison";
}

} // namespace
} // namespace ril::test
