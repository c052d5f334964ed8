// Windows only: the DLL entry point's reset of the last error, the user's preferred UI
// languages behind a language chain, and double-byte folder names in paths.
#include "platform/path.h"
#include "support/test_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

namespace ril::test {
namespace {

// Ril4410.dll loaded beside the test program (which links the static library, without the
// DLL entry point): a thread's attach resets the last error, its detach does not.
TEST(WindowsDll, ThreadAttachResetsTheLastError) {
    const HMODULE dll = LoadLibraryA("Ril4410.dll");
    ASSERT_NE(dll, nullptr) << "Ril4410.dll not found beside the test program";
    auto mbcsToWcs = reinterpret_cast<int (*)(char const *, RIL_WCHAR *, unsigned)>(
        reinterpret_cast<void (*)()>(GetProcAddress(dll, "Ril_MbcsToWcs")));
    auto lastError = reinterpret_cast<RIL_LONG (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(dll, "Ril_GetLastError")));
    ASSERT_TRUE(mbcsToWcs && lastError);
    std::vector<RIL_LONG> seen = {mbcsToWcs(nullptr, nullptr, 0), lastError()};
    std::thread([] {}).join();
    seen.push_back(lastError());
    std::thread([&] { mbcsToWcs(nullptr, nullptr, 0); }).join();
    seen.push_back(lastError());
    FreeLibrary(dll);
    EXPECT_EQ(seen, (std::vector<RIL_LONG>{0, -102, 0, -102}));
}

// Without a list, a language chain starts at the user's first preferred UI language.
TEST(WindowsLanguages, ChainsFollowThePreferredUiLanguages) {
    ULONG count = 0;
    WCHAR names[256] = {};
    ULONG size = 256;
    ASSERT_TRUE(GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, names, &size));
    std::string first;
    for (WCHAR const *c = names; *c != 0; ++c)
        first += *c == L'-' ? '_' : static_cast<char>(*c);
    ASSERT_FALSE(first.empty());
    TempDir dir;
    WriteFile(dir.File("app.bin"),
              BinBuilder().Header(1, 2, 2).EntryA(1, "A", "base").EntryA(2, "B", "b").Get());
    WriteFile(dir.File("app." + first + ".bin"),
              BinBuilder().Header(1, 1, 1).EntryA(1, "A", "first").Get());
    RIL_TABLE *table = Ril_OpenTableForLanguages(dir.Path().string().c_str(), "app", nullptr);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(std::string(Ril_TableGetStringA(table, 1)) + Ril_TableGetStringA(table, 2), "firstb")
        << first;
    Ril_CloseTable(table);
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
