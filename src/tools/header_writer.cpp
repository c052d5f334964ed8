// The header generator: one "#define IDT_<macro> <id>//<text>" line per item of a BIN,
// inside an include guard made from the header's file name.
#include "Ril4410.h"
#include "platform/codepage.h"
#include "platform/path.h"
#include "table/error_report.h"
#include "table/item_record.h"
#include "table/library_state.h"
#include "text/ril_txt_loader.h"
#include "util/export_guard.h"
#include "util/file_replacer.h"
#include "util/messages.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace ril {
namespace {

constexpr std::size_t kHeaderPathSize = 1024;
constexpr std::size_t kBinPathSize = 520;
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
// (or the loaded table's file name with it) and ".h", cut at 1023 characters.
std::string HeaderPath(const char *headerDir, const char *binPath) {
    char path[kHeaderPathSize];
    SafeCopyA(path, sizeof path, headerDir);
    if (!platform::EndsWithSeparator(path)) {
        const char separator[2] = {platform::PreferredSeparator(), '\0'};
        SafeCatA(path, sizeof path, separator);
    }
    char name[kBinPathSize];
    if (binPath != nullptr) {
        SafeCopyA(name, sizeof name, binPath);
        // The last '.' of the whole copy, even when it stands in a folder's name.
        if (char *dot = std::strrchr(name, '.'))
            *dot = '\0';
    } else {
        SafeCopyA(name, sizeof name, State().table.Path());
    }
    SafeCatA(path, sizeof path, name + platform::FileNameOffset(name));
    SafeCatA(path, sizeof path, ".h");
    return path;
}

// The guard: the file name without its last two characters, a to z in upper case.
std::string GuardText(std::string_view headerPath) {
    std::string guard(headerPath.substr(platform::FileNameOffset(headerPath)));
    guard.resize(guard.size() >= 2 ? guard.size() - 2 : 0);
    if (guard.size() > kGuardLimit)
        guard.resize(kGuardLimit);
    for (char &c : guard)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return guard;
}

// A UTF-16 text in the ANSI code page, cut at a character boundary to at most 8191 bytes.
std::string NarrowComment(const std::uint16_t *units, int count) {
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

// The comment of one item: its text within the record, converted from UTF-16 when wide,
// cut to 8191 bytes, a '|' behind a final backslash, CR and LF turned into '_'.
std::string Comment(const RilStrRes &item, bool wide) {
    std::string comment;
    if (item.Record) {
        RecordRef record{item.Record.get(), item.RecordSize};
        const std::uint8_t *text = record.Text();
        std::size_t available = static_cast<std::size_t>(record.data + record.size - text);
        if (wide) {
            std::vector<std::uint16_t> units;
            for (std::size_t i = 0; i + 1 < available && units.size() < kWideCommentUnits; i += 2) {
                std::uint16_t unit = static_cast<std::uint16_t>(text[i] | text[i + 1] << 8);
                if (unit == 0)
                    break;
                units.push_back(unit);
            }
            comment = NarrowComment(units.data(), static_cast<int>(units.size()));
        } else {
            const void *end = std::memchr(text, 0, available);
            std::size_t length =
                end != nullptr
                    ? static_cast<std::size_t>(static_cast<const std::uint8_t *>(end) - text)
                    : available;
            comment.assign(reinterpret_cast<const char *>(text), std::min(length, kCommentLimit));
        }
    }
    if (!comment.empty() && comment.back() == '\\')
        comment.push_back('|');
    std::replace_if(
        comment.begin(), comment.end(), [](char c) { return c == '\r' || c == '\n'; }, '_');
    return comment;
}

void WriteHeaderPrologue(std::string &out, std::string_view headerPath) {
    std::string guard = GuardText(headerPath);
    out += "#ifndef __" + guard + "_H__\r\n";
    out += "#define __" + guard + "_H__\r\n";
    out += kTemplate;
}

void PutDefinition(std::string &out, const RilStrRes &item, bool wide) {
    char id[16];
    auto end = std::to_chars(id, id + sizeof id, static_cast<std::int32_t>(item.ID)).ptr;
    out += "#define IDT_";
    out += item.Macro;
    out += ' ';
    out.append(id, end);
    out += "//";
    out += Comment(item, wide);
    out += "\r\n";
}

HResult WriteHeaderFile(const char *headerDir, int wide, const char *binPath) {
    if (headerDir == nullptr || headerDir[0] == '\0')
        return kErrArgument;
    CRilTxtLoader list;
    HResult loaded = LoadToolSource(list, binPath);
    if (loaded != kSOk)
        return loaded;
    return list.WriteHeader(HeaderPath(headerDir, binPath).c_str(), wide) ? kSOk : kErrOutputWrite;
}

} // namespace

bool CRilTxtLoader::WriteHeader(const char *headerPath, int wide) const {
    std::string out;
    out.reserve(1024 + items_.size() * 96);
    WriteHeaderPrologue(out, headerPath);
    for (const auto &item : items_)
        PutDefinition(out, *item, wide != 0);
    out += "\r\n\r\n#endif //";
    out += headerPath;
    out += "\r\n";
    switch (ReplaceFileContent(headerPath, reinterpret_cast<const std::uint8_t *>(out.data()),
                               out.size())) {
    case ReplaceStatus::Ok:
        return true;
    case ReplaceStatus::CannotOpen:
        ErrorBox(msg::kCannotOpenHeader, headerPath);
        return false;
    case ReplaceStatus::WriteFailed:
        break;
    }
    ErrorBox(msg::kCannotWriteHeader, headerPath);
    return false;
}

} // namespace ril

using namespace ril;

extern "C" RIL_API RIL_LONG Ril_WriteHeaderFile(char const *headerDir, int wide,
                                                char const *binPath) {
    HResult result = Guarded<HResult>(kErrOutputWrite,
                                      [&] { return WriteHeaderFile(headerDir, wide, binPath); });
    SetLastErrorCode(result);
    return result;
}
