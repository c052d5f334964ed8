// Shared helpers for the tests: the library fixture, temporary folders, captured notices,
// files and BIN images.
#pragma once

#include "Ril4410.h"
#include "core/result_codes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace ril::items {
class CRilTxtLoader;
}

namespace ril::test {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(TempDir const &) = delete;
    std::filesystem::path const &Path() const { return path_; }
    std::string File(std::string const &name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// Captures every notice the library shows while it lives; restores the default after.
class NoticeCapture {
  public:
    struct Notice {
        std::string caption;
        std::string message;
    };
    NoticeCapture() { Ril_SetNoticeHandler(&NoticeCapture::Handler, this); }
    ~NoticeCapture() { Ril_SetNoticeHandler(nullptr, nullptr); }
    NoticeCapture(NoticeCapture const &) = delete;
    std::vector<Notice> const &Notices() const { return notices_; }
    std::vector<std::string> Messages() const;
    void Clear() { notices_.clear(); }

  private:
    static void Handler(void *context, char const *caption, char const *message);
    std::vector<Notice> notices_;
};

// A structured notice as the parts handler saw it, copied during the call: the arguments as
// text (numbers in decimal) and the text rendered again by Ril_FormatNotice in each language.
struct NoticeParts {
    NoticeParts() = default;
    explicit NoticeParts(RIL_NOTICE const *notice);
    std::string id, file, reason, text, chinese, english;
    int severity = -1, systemError = 0, logged = -1;
    long long line = 0, column = 0, firstLine = 0, offset = -1, firstOffset = -1;
    std::vector<std::string> args;
};

// Captures every structured notice while it lives; sets no parts handler after.
class PartsCapture {
  public:
    PartsCapture() { Ril_SetNoticeHandlerEx(&Handler, this); }
    ~PartsCapture() { Ril_SetNoticeHandlerEx(nullptr, nullptr); }
    PartsCapture(PartsCapture const &) = delete;
    std::vector<NoticeParts> seen;

  private:
    static void Handler(void *context, RIL_NOTICE const *notice) {
        static_cast<PartsCapture *>(context)->seen.emplace_back(notice);
    }
};

// A notice's text rendered by Ril_FormatNotice (measured first); "<refused>" when refused.
std::string FormatAgain(RIL_NOTICE const *notice, int language);

// A test over the library's process-wide state, reset before and after (no faults, module,
// session or table; the ANSI code page `codePage`, 0 the default); notices are captured.
class LibraryTest : public ::testing::Test {
  protected:
    explicit LibraryTest(unsigned codePage = 0) : codePage_(codePage) {}
    void SetUp() override { Reset(codePage_); }
    void TearDown() override { Reset(0); }
    // Writes `bytes` to `name` in the test's folder and returns the path.
    std::string Put(std::string const &name, Bytes const &bytes) const;
    std::string PutText(std::string const &name, std::string const &bytes) const {
        return Put(name, Bytes(bytes.begin(), bytes.end()));
    }
    // The number of entries in the test's folder (temporary files left behind show here).
    std::size_t FilesInDir() const;
    // Checks that exactly one "Error:" notice (none for "") was shown, then forgets it.
    void ExpectNotice(std::string const &message);

    TempDir dir;
    NoticeCapture notices;
    unsigned const codePage_;

  private:
    static void Reset(unsigned codePage);
};

// The body of a BIN a writer has just saved; fails the test unless its holder marker text is
// fresh (this user, the library as editor, a time stamp).
Bytes SavedBody(std::string const &path);

void WriteFile(std::string const &path, Bytes const &bytes);
void WriteFile(std::string const &path, std::string const &text);
Bytes ReadFile(std::string const &path);
// The file's bytes as a string; "" when it does not exist.
std::string ReadText(std::string const &path);
bool FileExists(std::string const &path);

Bytes RecordA(std::string const &macro, std::string const &text);
Bytes RecordW(std::string const &macro, std::u16string const &text);
// Appends an item of the ID, the macro (both forms) and a multibyte text (none for null).
void AddItem(items::CRilTxtLoader &list, std::uint32_t id, std::string const &macro,
             char const *text);
// The items of a list in list order: ID, multibyte macro and record.
using ItemRow = std::tuple<std::uint32_t, std::string, Bytes>;
std::vector<ItemRow> ItemRows(items::CRilTxtLoader const &list);

// Builds BIN images byte by byte, little-endian.
class BinBuilder {
  public:
    BinBuilder &U8(std::uint8_t v) { return bytes_.push_back(v), *this; }
    BinBuilder &U16(std::uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
    BinBuilder &U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    BinBuilder &Raw(Bytes const &b) {
        return bytes_.insert(bytes_.end(), b.begin(), b.end()), *this;
    }
    BinBuilder &Raw(std::string const &b) { return Raw(Bytes(b.begin(), b.end())); }
    BinBuilder &Header(std::uint32_t flag, std::uint32_t maxId, std::uint32_t count) {
        return U32(flag).U32(maxId).U32(count);
    }
    BinBuilder &Entry(std::uint32_t id, Bytes const &record) {
        return U32(id).U32(static_cast<std::uint32_t>(record.size())).Raw(record);
    }
    // Records of the macro and a multibyte or UTF-16LE text, each with its zero.
    BinBuilder &EntryA(std::uint32_t id, std::string const &macro, std::string const &text) {
        return Entry(id, RecordA(macro, text));
    }
    BinBuilder &EntryW(std::uint32_t id, std::string const &macro, std::u16string const &text) {
        return Entry(id, RecordW(macro, text));
    }
    // A holder marker trailer: the text, its 16-bit length and a zero byte.
    BinBuilder &Trailer(std::string const &holder) {
        return Raw(holder).U16(static_cast<std::uint16_t>(holder.size())).U8(0);
    }
    Bytes const &Get() const { return bytes_; }

  private:
    Bytes bytes_;
};

// printf into a string as the library formats its messages (up to 2047 bytes); LogLine
// adds CR LF: one line of a log.
std::string Printf(char const *format, ...);
std::string LogLine(char const *format, ...);

// Text as UTF-16LE bytes, after the byte-order mark FF FE when `mark`.
std::string Utf16(std::u16string const &text, bool mark = true);

// UTF-8 text as GBK bytes (code page 936), as the library's messages are.
std::string Gbk(std::string const &utf8);

// A wide text of the library as a std::u16string, and back (valid while `text` lives).
std::u16string Wide(const RIL_WCHAR *text);
inline const RIL_WCHAR *W(std::u16string const &text) {
    return reinterpret_cast<const RIL_WCHAR *>(text.c_str());
}

} // namespace ril::test
