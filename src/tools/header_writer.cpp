// The header generator: one "#define IDT_<macro> <id>//<text>" line per item of a BIN,
// inside an include guard made from the header's file name.
#include "tools/header_writer.h"

#include "core/byte_cursor.h"
#include "core/error_report.h"
#include "core/limits.h"
#include "core/messages.h"
#include "core/own_input.h"
#include "core/write_settings.h"
#include "items/item_record.h"
#include "items/refused_items.h"
#include "platform/codepage.h"
#include "platform/codepage_chars.h"
#include "platform/file_replacer.h"
#include "platform/path.h"
#include "table/bin_list_reader.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace ril {
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
std::string HeaderPath(char const *headerDir, BinTarget const &source) {
    char path[kHeaderPathSize];
    if (SafeCopyA(path, sizeof path, headerDir) != kSOk)
        return std::string();
    if (!platform::EndsWithSeparator(path)) {
        char const separator[2] = {platform::PreferredSeparator(), '\0'};
        SafeCatA(path, sizeof path, separator);
    }
    char name[kPathSize];
    SafeCopyA(name, sizeof name, source.path);
    if (source.named) {
        // The last '.' of the whole copy, even when it stands in a folder's name.
        if (char *dot = std::strrchr(name, '.'))
            *dot = '\0';
    }
    if (SafeCatA(path, sizeof path, name + platform::FileNameOffset(name)) != kSOk ||
        SafeCatA(path, sizeof path, ".h") != kSOk)
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

// The text of an item within its record: up to its first zero character or the record's end.
std::string_view RecordText(RilStrRes const &item) {
    if (!item.Record)
        return {};
    RecordRef record{item.Record.get(), item.RecordSize};
    std::uint8_t const *text = record.Text();
    return std::string_view(reinterpret_cast<char const *>(text),
                            static_cast<std::size_t>(record.data + record.size - text));
}

// The comment of an MBCS item: its text cut to 8191 bytes at a character boundary, CR and LF
// turned into '_', a lone lead byte at its end into '?' (it would take the line end for its
// trail), and a '|' behind a final backslash (or "??/", a backslash where trigraphs are on)
// so that the line does not continue. Written straight into the file's buffer.
void PutNarrowComment(FileReplacer &out, std::string_view text, platform::CharTable const &chars) {
    if (text.empty())
        return;
    auto const *bytes = reinterpret_cast<std::uint8_t const *>(text.data());
    void const *end = std::memchr(bytes, 0, text.size());
    std::size_t length =
        end != nullptr ? static_cast<std::size_t>(static_cast<std::uint8_t const *>(end) - bytes)
                       : text.size();
    if (length > kCommentLimit)
        length = chars.BoundaryAtOrBefore(bytes, length, kCommentLimit);
    char *to = out.Room(length + 1);
    std::memcpy(to, text.data(), length);
    KeepOnOneLine(to, length);
    if (chars.EndsInLoneLead(reinterpret_cast<std::uint8_t const *>(to), length))
        to[length - 1] = '?';
    if (length > 0 &&
        (to[length - 1] == '\\' || (length >= 3 && std::string_view(to + length - 3, 3) == "?\?/")))
        to[length++] = '|';
    out.Advance(length);
}

// The comment of a WCS item: its UTF-16 text in the ANSI code page, with the same rules.
void PutWideComment(FileReplacer &out, std::string_view text, platform::CharTable const &chars) {
    std::vector<std::uint16_t> units;
    for (std::size_t i = 0; i + 1 < text.size() && units.size() < kWideCommentUnits; i += 2) {
        std::uint16_t unit = LoadU16(reinterpret_cast<std::uint8_t const *>(text.data() + i));
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    std::string comment = NarrowComment(units.data(), static_cast<int>(units.size()));
    PutNarrowComment(out, comment, chars);
}

void WriteHeaderPrologue(FileReplacer &out, std::string_view headerPath) {
    std::string guard = GuardText(headerPath);
    std::string prologue = "#ifndef __" + guard + "_H__\r\n#define __" + guard + "_H__\r\n";
    out.Write(prologue.data(), prologue.size());
    out.Write(kTemplate.data(), kTemplate.size());
}

// Writes the item's definition line, or adds it to `refused` when its macro cannot follow
// "IDT_" in a C identifier; nothing more is written once an item has been refused.
void PutDefinition(FileReplacer &out, RilStrRes const &item, bool wide,
                   platform::CharTable const &chars, RefusedItems &refused) {
    constexpr std::string_view kDefine = "#define IDT_";
    const std::size_t macroLength = static_cast<std::size_t>(
        std::find(item.Macro, item.Macro + kMacroField - 1, '\0') - item.Macro);
    if (!std::all_of(item.Macro, item.Macro + macroLength, IsIdentifierCharacter))
        refused.Add(item.ID);
    if (refused.Any())
        return;
    // "#define IDT_", the macro, a space, at most 11 characters of ID and "//".
    char *to = out.Room(kDefine.size() + macroLength + 14);
    char *at = std::copy(kDefine.begin(), kDefine.end(), to);
    at = std::copy(item.Macro, item.Macro + macroLength, at);
    *at++ = ' ';
    at = std::to_chars(at, at + 11, static_cast<std::int32_t>(item.ID)).ptr;
    *at++ = '/';
    *at++ = '/';
    out.Advance(static_cast<std::size_t>(at - to));
    if (wide)
        PutWideComment(out, RecordText(item), chars);
    else
        PutNarrowComment(out, RecordText(item), chars);
    out.Write("\r\n", 2);
}

} // namespace

bool WriteHeader(CRilTxtLoader const &list, char const *headerPath, int wide) {
    FileReplacer out(headerPath, CurrentWriteSettings().replace);
    if (!out.IsOpen()) {
        ErrorBox(catalogue::kCannotOpenHeader,
                 NoticeSite{.file = headerPath, .systemError = out.SystemError()}, headerPath);
        return false;
    }
    WriteHeaderPrologue(out, headerPath);
    const platform::CharTable chars = platform::CharTableFor(0);
    RefusedItems refused;
    list.ForEachItem(
        [&](RilStrRes const &item) { PutDefinition(out, item, wide != 0, chars, refused); });
    if (refused.Any()) { // the previous header stays
        ErrorBox(catalogue::kHeaderMacroNotIdentifier, NoticeSite{.file = headerPath}, headerPath,
                 refused.List());
        return false;
    }
    std::string epilogue = std::string("\r\n\r\n#endif //") + headerPath + "\r\n";
    KeepOnOneLine(epilogue.data() + 4, epilogue.size() - 6);
    out.Write(epilogue.data(), epilogue.size());
    if (out.Commit() == ReplaceStatus::Ok)
        return true;
    ErrorBox(catalogue::kCannotWriteHeader,
             NoticeSite{.file = headerPath, .systemError = out.SystemError()}, headerPath);
    return false;
}

HResult WriteHeaderFile(char const *headerDir, int wide, BinTarget const &source) {
    // Paths too long for their fields are refused rather than cut.
    if (headerDir == nullptr || headerDir[0] == '\0' ||
        (source.named && std::strlen(source.path) >= kPathSize))
        return kErrArgument;
    CRilTxtLoader list;
    HResult loaded = LoadToolSource(list, source);
    if (loaded != kSOk)
        return loaded;
    const std::string headerPath = HeaderPath(headerDir, source);
    if (headerPath.empty())
        return kErrArgument;
    if (WritesOwnInput(headerPath.c_str(), source.path))
        return kErrOutputWrite;
    return WriteHeader(list, headerPath.c_str(), wide) ? kSOk : kErrOutputWrite;
}

} // namespace ril
