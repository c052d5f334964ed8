// The header generator: one "#define IDT_<macro> <id>//<text>" line per item of a BIN,
// inside an include guard made from the header's file name.
#include "tools/header_writer.h"

#include "core/byte_cursor.h"
#include "core/error_report.h"
#include "core/limits.h"
#include "core/messages.h"
#include "core/own_input.h"
#include "core/write_settings.h"
#include "items/refused_items.h"
#include "platform/codepage.h"
#include "platform/codepage_chars.h"
#include "platform/file_replacer.h"
#include "platform/path.h"
#include "table/bin_list_reader.h"
#include "tools/line_copy.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace ril::tools {
namespace {

constexpr std::size_t kHeaderPathSize = 1024;
constexpr std::size_t kGuardLimit = 511;
constexpr std::size_t kCommentLimit = 8191; // bytes, before the optional vertical bar
constexpr std::size_t kWideCommentUnits = 8192;

constexpr std::string_view kTemplate =
    "#pragma once\r\n"
    "//********************************************************************\r\n"
    "// \t\t\t   File: \t\t\t\r\n"
    "// \t\t\t   Created:\t\t\r\n"
    "// \t\t\t   Last Modify:\t\r\n"
    "// \t\t\t   Author:\t\t\tVandrel\r\n"
    "// \t\t\t   More Author:\t\r\n"
    "// \t\t\t   Special Thanks:\t\r\n"
    "// \t\t\t   Abstract:\t\t\r\n"
    "// \t\t\t   \r\n"
    "// \t\t\t   Note:\r\n"
    "//*********************************************************************\r\n";

// The header's path: the folder, a separator, the BIN's file name without its extension
// (or the loaded table's file name with it) and ".h"; empty when it would not fit in 1023
// characters (a cut path would name another file).
std::string HeaderPath(char const *headerDir, table::BinTarget const &source) {
    char path[kHeaderPathSize];
    if (core::SafeCopyA(path, sizeof path, headerDir) != core::kSOk)
        return std::string();
    if (!platform::EndsWithSeparator(path)) {
        char const separator[2] = {platform::PreferredSeparator(), '\0'};
        core::SafeCatA(path, sizeof path, separator);
    }
    char name[core::kPathSize];
    core::SafeCopyA(name, sizeof name, source.path);
    if (source.named) {
        // The last '.' of the whole copy, even when it stands in a folder's name.
        if (char *dot = std::strrchr(name, '.'))
            *dot = '\0';
    }
    if (core::SafeCatA(path, sizeof path, name + platform::FileNameOffset(name)) != core::kSOk ||
        core::SafeCatA(path, sizeof path, ".h") != core::kSOk)
        return std::string();
    return path;
}

bool IsIdentifierCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// The guard: the file name without its last two characters, a to z in upper case, and every
// byte that cannot stand in a C identifier (a '.', a blank, a line break, a byte of a
// multibyte character) turned into '_'.
std::string GuardText(std::string_view headerPath) {
    std::string guard(headerPath.substr(platform::FileNameOffset(headerPath)));
    guard.resize(guard.size() >= 2 ? guard.size() - 2 : 0);
    if (guard.size() > kGuardLimit)
        guard.resize(kGuardLimit);
    for (char &c : guard) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (!IsIdentifierCharacter(c))
            c = '_';
    }
    return guard;
}

// Text that goes into a line comment on one line: CR and LF become '_'.
void KeepOnOneLine(char *text, std::size_t length) {
    // Line breaks inside a text are rare: look for them rather than test every byte.
    for (char lineBreak : {'\r', '\n'}) {
        char *at = text;
        while ((at = static_cast<char *>(
                    std::memchr(at, lineBreak, static_cast<std::size_t>(text + length - at)))))
            *at++ = '_';
    }
}

// A UTF-16 text in the ANSI code page, cut at a character boundary to at most 8191 bytes.
std::string NarrowComment(std::uint16_t const *units, int count) {
    auto bytesFor = [&](int n) {
        return n == 0 ? 0 : platform::WideToMultiByte(0, units, n, nullptr, 0).count;
    };
    while (count > 0 && static_cast<std::size_t>(bytesFor(count)) > kCommentLimit) {
        // Shrink by the overshoot (each unit gives at least one byte), keeping pairs whole.
        int over = bytesFor(count) - static_cast<int>(kCommentLimit);
        count -= std::max(1, over / 4);
        if (count > 0 && units[count] >= 0xDC00 && units[count] < 0xE000 &&
            units[count - 1] >= 0xD800 && units[count - 1] < 0xDC00)
            --count;
    }
    int size = bytesFor(count);
    std::string comment(static_cast<std::size_t>(size), '\0');
    if (size > 0 && platform::WideToMultiByte(0, units, count, comment.data(), size).count == 0)
        comment.clear();
    return comment;
}

// Whether a line comment that ends in `text` would run on into the next line: its last byte
// before trailing blanks is a backslash (also the trail byte 0x5C of a double-byte
// character, which a compiler reads as one) or "??/" (a backslash where trigraphs are on).
// Compilers splice a backslash followed by blanks and the line end as well.
bool ContinuesLine(char const *text, std::size_t length) {
    while (length > 0 && (text[length - 1] == ' ' || text[length - 1] == '\t' ||
                          text[length - 1] == '\v' || text[length - 1] == '\f'))
        --length;
    return length > 0 && (text[length - 1] == '\\' ||
                          (length >= 3 && std::string_view(text + length - 3, 3) == "?\?/"));
}

char OnOneLine(char c) {
    return c == '\r' || c == '\n' ? '_' : c;
}

// Marks the end of a comment copied to `to`: a lone lead byte at its end becomes '?' (it would
// take the line end for its trail), and a '|' follows when the line would otherwise continue.
// Returns the comment's length with the '|'.
std::size_t EndComment(char *to, CopiedComment copied) {
    std::size_t length = copied.length;
    if (copied.loneLead)
        to[length - 1] = '?';
    if (ContinuesLine(to, length))
        to[length++] = '|';
    return length;
}

// The comment of an MBCS item: its text up to its first zero byte, cut to 8191 bytes at a
// character boundary of the code page, CR and LF turned into '_', then ended as EndComment
// says. Written straight into the file's buffer; `readable` bytes (at least the text's) can
// be read from the text's start.
void PutNarrowComment(platform::FileReplacer &out, std::string_view text, std::size_t readable,
                      platform::CharTable const &chars) {
    auto const *bytes = reinterpret_cast<std::uint8_t const *>(text.data());
    if (text.size() <= kCommentLimit) { // most texts: found and copied in one pass
        char *to = out.Room(text.size() + kLineCopySlack);
        out.Advance(EndComment(to, CopyComment(to, text.data(), text.size(), readable, chars)));
        return;
    }
    void const *end = std::memchr(bytes, 0, text.size());
    std::size_t length =
        end != nullptr ? static_cast<std::size_t>(static_cast<std::uint8_t const *>(end) - bytes)
                       : text.size();
    if (length > kCommentLimit)
        length = chars.BoundaryAtOrBefore(bytes, length, kCommentLimit);
    char *to = out.Room(length + 1);
    std::transform(text.data(), text.data() + length, to, OnOneLine);
    out.Advance(EndComment(to, CopiedComment{length, chars.EndsInLoneLead(bytes, length)}));
}

// The comment of a WCS item: its UTF-16 text in the ANSI code page, with the same rules.
void PutWideComment(platform::FileReplacer &out, std::string_view text,
                    platform::CharTable const &chars) {
    std::vector<std::uint16_t> units;
    for (std::size_t i = 0; i + 1 < text.size() && units.size() < kWideCommentUnits; i += 2) {
        std::uint16_t unit = core::LoadU16(reinterpret_cast<std::uint8_t const *>(text.data() + i));
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    std::string comment = NarrowComment(units.data(), static_cast<int>(units.size()));
    PutNarrowComment(out, comment, comment.size(), chars);
}

void WriteHeaderPrologue(platform::FileReplacer &out, std::string_view headerPath) {
    std::string guard = GuardText(headerPath);
    std::string prologue = "#ifndef __" + guard + "_H__\r\n#define __" + guard + "_H__\r\n";
    out.Write(prologue.data(), prologue.size());
    out.Write(kTemplate.data(), kTemplate.size());
}

// Writes the definition line of the entry whose record lies in `image` (the BIN's bytes read
// so far), or adds the entry to `refused` when its macro cannot follow "IDT_" in a C
// identifier; nothing more is written once an entry has been refused. The macro is the
// record's, cut at 127 bytes and at a zero byte, as the item list would hold it; the text runs
// to the record's end, or the file's when it ends inside the record.
void PutDefinition(platform::FileReplacer &out, std::span<std::uint8_t const> image,
                   table::BinEntryView const &entry, bool wide, platform::CharTable const &chars,
                   items::RefusedItems &refused) {
    constexpr std::string_view kDefine = "#define IDT_";
    std::uint8_t const *record = image.data() + entry.offset;
    const std::size_t readable = image.size() - entry.offset;
    const std::size_t size = entry.available;
    const std::size_t stored =
        size < 2 ? 0 : std::min<std::size_t>(core::LoadU16(record), size - 2);
    const std::size_t macroAt = size < 2 ? size : 2;
    const std::size_t macroLimit = std::min(stored, core::kMacroLimit);
    const std::size_t textAt = macroAt + stored;
    const std::string_view text(reinterpret_cast<char const *>(record + textAt), size - textAt);
    // Most lines are made in one piece of the buffer: "#define IDT_", the macro, a space, at
    // most 11 characters of ID, "//", the comment with its '|' and the line end.
    bool const whole = !wide && text.size() <= kCommentLimit;
    char *to = out.Room(kDefine.size() + macroLimit + kLineCopySlack + 13 +
                        (whole ? text.size() + kLineCopySlack + 3 : 0));
    char *at = std::copy(kDefine.begin(), kDefine.end(), to);
    const std::size_t macroLength =
        CopyIdentifier(at, record + macroAt, macroLimit, readable - macroAt);
    if (macroLength < macroLimit && record[macroAt + macroLength] != 0)
        refused.Add(entry.id);
    if (refused.Any())
        return;
    at += macroLength;
    *at++ = ' ';
    at = std::to_chars(at, at + 11, static_cast<std::int32_t>(entry.id)).ptr;
    *at++ = '/';
    *at++ = '/';
    if (whole) {
        at += EndComment(at, CopyComment(at, text.data(), text.size(), readable - textAt, chars));
        *at++ = '\r';
        *at++ = '\n';
        out.Advance(static_cast<std::size_t>(at - to));
        return;
    }
    out.Advance(static_cast<std::size_t>(at - to));
    if (wide)
        PutWideComment(out, text, chars);
    else
        PutNarrowComment(out, text, readable - textAt, chars);
    out.Write("\r\n", 2);
}

} // namespace

namespace {

// Whether every entry of the BIN can be read; shows why not when one cannot. For the faults
// that come after a BIN's own: it is read whole first (unless its bytes are given).
core::HResult CheckBin(char const *binPath, BinImage image) {
    platform::FileContent file;
    if (!image) {
        if (!table::ReadBinFile(binPath, file))
            return core::kErrBinRead;
        image = std::span<std::uint8_t const>(file.bytes.get(), file.size);
    }
    std::uint32_t failedId = 0;
    if (table::ForEachBinEntry(
            image->data(), image->size(), [](table::BinEntryView const &) { return true; },
            failedId))
        return core::kSOk;
    core::ErrorBox(core::catalogue::kReadEntryFailed, core::NoticeSite{.file = binPath}, failedId);
    return core::kErrBinRead;
}

} // namespace

core::HResult WriteHeader(char const *binPath, char const *headerPath, int wide, BinImage image) {
    platform::FileReplacer out(headerPath, core::CurrentWriteSettings().replace);
    if (!out.IsOpen()) { // a BIN that cannot be read is the first fault to report
        if (core::HResult checked = CheckBin(binPath, image); checked != core::kSOk)
            return checked;
        core::ErrorBox(core::catalogue::kCannotOpenHeader,
                       core::NoticeSite{.file = headerPath, .systemError = out.SystemError()},
                       headerPath);
        return core::kErrOutputWrite;
    }
    WriteHeaderPrologue(out, headerPath);
    const platform::CharTable chars = platform::CharTableFor(0);
    items::RefusedItems refused;
    // The lines are made straight from the records as the BIN's parts arrive, in its record
    // order; the previous header stays unless the whole BIN was read and written.
    table::BinEntryWalk walk(
        [&](std::span<std::uint8_t const> window, table::BinEntryView const &entry) {
            PutDefinition(out, window, entry, wide != 0, chars, refused);
            return true;
        });
    if (image)
        walk.Advance(image->data(), image->size(), true);
    else if (!table::WalkBinFile(binPath, walk))
        return core::kErrBinRead;
    if (!walk.Finished()) { // an entry could not be read
        core::ErrorBox(core::catalogue::kReadEntryFailed, core::NoticeSite{.file = binPath},
                       walk.FailedId());
        return core::kErrBinRead;
    }
    if (refused.Any()) {
        core::ErrorBox(core::catalogue::kHeaderMacroNotIdentifier,
                       core::NoticeSite{.file = headerPath}, headerPath, refused.List());
        return core::kErrOutputWrite;
    }
    std::string epilogue = std::string("\r\n\r\n#endif //") + headerPath + "\r\n";
    KeepOnOneLine(epilogue.data() + 4, epilogue.size() - 6);
    out.Write(epilogue.data(), epilogue.size());
    if (out.Commit() == platform::ReplaceStatus::Ok)
        return core::kSOk;
    core::ErrorBox(core::catalogue::kCannotWriteHeader,
                   core::NoticeSite{.file = headerPath, .systemError = out.SystemError()},
                   headerPath);
    return core::kErrOutputWrite;
}

core::HResult WriteHeaderFile(char const *headerDir, int wide, table::BinTarget const &source,
                              BinImage image) {
    // Paths too long for their fields are refused rather than cut.
    if (headerDir == nullptr || headerDir[0] == '\0' ||
        (source.named && std::strlen(source.path) >= core::kPathSize))
        return core::kErrArgument;
    core::HResult checked = table::CheckToolSource(source);
    if (checked != core::kSOk)
        return checked;
    const std::string headerPath = HeaderPath(headerDir, source);
    if (headerPath.empty()) { // the BIN's own faults come first
        checked = CheckBin(source.path, image);
        return checked != core::kSOk ? checked : core::kErrArgument;
    }
    if (core::WritesOwnInput(headerPath.c_str(), source.path))
        return core::kErrOutputWrite;
    return WriteHeader(source.path, headerPath.c_str(), wide, image);
}

} // namespace ril::tools
