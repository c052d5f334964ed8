// Windows only: the DLL entry point's reset of the last error, code-page conversion through
// the Win32 calls, and double-byte folder names in paths.
#include "platform/path.h"
#include "support/test_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <type_traits>

namespace ril::test {
namespace {

// Ril4410.dll loaded beside the test program (which links the static library, without the
// DLL entry point): a thread's attach resets the last error, its detach does not.
TEST(WindowsDll, ThreadAttachResetsTheLastError) {
    std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> dll(
        LoadLibraryA("Ril4410.dll"), &FreeLibrary);
    ASSERT_NE(dll, nullptr) << "Ril4410.dll not found beside the test program";
    auto mbcsToWcs = reinterpret_cast<int (*)(const char *, RIL_WCHAR *, unsigned)>(
        reinterpret_cast<void (*)()>(GetProcAddress(dll.get(), "Ril_MbcsToWcs")));
    auto lastError = reinterpret_cast<RIL_LONG (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(dll.get(), "Ril_GetLastError")));
    ASSERT_TRUE(mbcsToWcs && lastError);
    std::vector<RIL_LONG> seen = {mbcsToWcs(nullptr, nullptr, 0), lastError()};
    std::thread([] {}).join();
    seen.push_back(lastError());
    std::thread([&] { mbcsToWcs(nullptr, nullptr, 0); }).join();
    seen.push_back(lastError());
    EXPECT_EQ(seen, (std::vector<RIL_LONG>{0, -102, 0, -102}));
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
// Bad input is replaced by the system, not refused.
TEST(WindowsCodePages, Gbk936GivesTheBytesOfThePosixBuild) {
    const std::string bytes = "\x80\x81\x40\x87\x5C\x95\x5C\xA1\xA4\xA1\xAA\xA8\x44\xA8\x95\xD6\xD0"
                              "\xCE\xC4\xF7\xFE\xFE\x4F";
    const std::u16string text = u"\u20AC\u4E02\u5630\u661E\u00B7\u2014\u2015\u301E\u4E2D\u6587"
                                u"\u9F44\uFA29";
    EXPECT_EQ(ToWide("A" + bytes + "z", 936), u"A" + text + u"z");
    EXPECT_EQ(ToBytes(text, 936), bytes);
    // A lead byte without its trail: one replacement unit (Wine gives '?', U+003F).
    const std::u16string lead = ToWide("A\x81", 936);
    EXPECT_TRUE(lead == u"A?" || lead == u"A\uFFFD");
    EXPECT_EQ(ToWide(std::string("\xFF") + "B", 65001), u"\uFFFDB");
    // A character outside the code page becomes a question mark; a lone surrogate towards
    // UTF-8 is U+FFFD, where the POSIX build writes '?'.
    EXPECT_EQ(ToBytes(u"x\u4E2Dy", 1252), "x?y");
    EXPECT_EQ(ToBytes(std::u16string{u'a', char16_t(0xD800), u'b'}, 65001), "a\xEF\xBF\xBD"
                                                                            "b");
    EXPECT_EQ(Ril_GetLastError(), 0);
}

TEST(WindowsPaths, DoubleByteNamesEndingInByte5CAreNotSeparators) {
    if (!IsDBCSLeadByteEx(CP_ACP, 0x95))
        GTEST_SKIP() << "the ANSI code page " << GetACP() << " has no double-byte characters";
    const std::string name = "\x95\x5C"; // one character (U+661E in GBK) ending in 0x5C
    EXPECT_EQ(std::tuple(platform::EndsWithSeparator("d" + name),
                         platform::EndsWithSeparator("d" + name + "\\"),
                         platform::JoinPath("d" + name, "t.bin"),
                         platform::FileNameOffset("a\\" + name + "x"),
                         platform::FileNameOffset(name + "\\x")),
              std::tuple(false, true, "d" + name + "\\t.bin", std::size_t{2}, std::size_t{3}));
}

} // namespace
} // namespace ril::test
