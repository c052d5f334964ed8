// Writing the item list as a text resource file, in the layout the parser reads back, and
// the export from a BIN built on it.
#include "text/txt_writer.h"

#include "core/byte_cursor.h"
#include "core/error_report.h"
#include "core/messages.h"
#include "core/own_input.h"
#include "core/write_settings.h"
#include "items/item_record.h"
#include "items/refused_items.h"
#include "platform/codepage_chars.h"
#include "platform/file_replacer.h"
#include "table/bin_list_reader.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

namespace ril::text {
namespace {

constexpr std::string_view kSeparator =
    "/////////////////////////////////////////////////////////////////////////////";
static_assert(kSeparator.size() == 77);

// The file's characters, written through its buffered writer: bytes (MBCS) or UTF-16LE
// units (WCS).
class TextOut {
  public:
    TextOut(platform::FileReplacer &file, bool wide) : file_(file), wide_(wide) {}

    // ASCII text, one character each.
    void Ascii(std::string_view text) {
        if (!wide_) {
            file_.Write(text.data(), text.size());
            return;
        }
        for (std::size_t done = 0; done < text.size();) {
            std::size_t n = std::min(text.size() - done, platform::FileReplacer::kBufferSize / 2);
            char *out = file_.Room(2 * n);
            for (std::size_t i = 0; i < n; ++i) {
                out[2 * i] = text[done + i];
                out[2 * i + 1] = '\0';
            }
            file_.Advance(2 * n);
            done += n;
        }
    }
    void Number(std::uint32_t value) {
        char digits[16];
        auto result = std::to_chars(digits, digits + sizeof digits, value);
        Ascii(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
    }
    // Bytes already in the file's flavour.
    void Raw(void const *data, std::size_t size) { file_.Write(data, size); }

  private:
    platform::FileReplacer &file_;
    bool wide_;
};

// The macro as the flavour writes it: multibyte Macro or wide MacroW.
void PutMacro(TextOut &out, items::RilStrRes const &item, bool wide) {
    if (!wide) {
        out.Raw(item.Macro(), std::strlen(item.Macro()));
        return;
    }
    const std::u16string macro = item.MacroW();
    std::uint8_t bytes[2 * items::kMacroField];
    for (std::size_t i = 0; i < macro.size(); ++i)
        core::StoreU16(bytes + 2 * i, static_cast<std::uint16_t>(macro[i]));
    out.Raw(bytes, 2 * macro.size());
}

// The item's text: from behind the macro to its first zero character, within the record.
std::size_t TextBytes(items::RilStrRes const &item, bool wide, std::uint8_t const *&text) {
    items::RecordRef record{item.Record.get(), item.RecordSize};
    text = record.Text();
    std::size_t available = static_cast<std::size_t>(record.data + record.size - text);
    if (!wide) {
        void const *end = std::memchr(text, 0, available);
        return end != nullptr
                   ? static_cast<std::size_t>(static_cast<std::uint8_t const *>(end) - text)
                   : available;
    }
    std::size_t n = 0;
    while (n + 1 < available && (text[n] != 0 || text[n + 1] != 0))
        n += 2;
    return n + 1 < available ? n : available & ~std::size_t{1};
}

void PutBanner(TextOut &out, bool wide, bool utf8Mark) {
    if (wide)
        out.Raw("\xFF\xFE", 2);
    else if (utf8Mark)
        out.Raw("\xEF\xBB\xBF", 3);
    out.Ascii("//Ril4410 Strings\r\n"
              "//Created by Ril4410.DLL\r\n"
              "//Maker: the Ril4410 string-resource library, exporting a BIN string table\r\n"
              "//Author: the Ril4410 developers\r\n"
              "\r\n");
    out.Ascii(wide ? "//Type = WCS\r\n" : "//Type = MBCS\r\n");
    platform::LocalTime now = core::StampTime();
    char date[512];
    core::SafeFormatA(date, sizeof date, "//ExportDate: %u-%u-%u %u:%u'%u\"\r\n\r\n\r\n", now.year,
                      now.month, now.day, now.hour, now.minute, now.second);
    out.Ascii(date);
}

// Whether the parser reads the text back whole: no brace starts a character, and the
// closing brace written behind it does not complete a lead byte at its end.
bool NarrowTextFits(std::uint8_t const *text, std::size_t size, platform::CharTable const &chars) {
    if (size == 0)
        return true;
    for (std::uint8_t brace : {'{', '}'}) {
        for (std::uint8_t const *at = text;
             (at = static_cast<std::uint8_t const *>(
                  std::memchr(at, brace, static_cast<std::size_t>(text + size - at))));
             ++at)
            if (chars.StartsCharacter(text, 0, static_cast<std::size_t>(at - text)))
                return false;
    }
    return !(chars.IsTrail('}') && chars.EndsInLoneLead(text, size));
}

bool WideTextFits(std::uint8_t const *text, std::size_t size) {
    for (std::size_t i = 0; i + 1 < size; i += 2)
        if (text[i + 1] == 0 && (text[i] == '{' || text[i] == '}'))
            return false;
    return true;
}

// A macro ends at the first line break when read back.
bool MacroFits(items::RilStrRes const &item, bool wide) {
    if (!wide)
        return std::strpbrk(item.Macro(), "\r\n") == nullptr;
    return item.MacroW().find_first_of(u"\r\n") == std::u16string::npos;
}

// Writes the item's block, or adds it to `refused` when the format cannot hold it; nothing
// more is written once an item has been refused.
void PutItem(TextOut &out, items::RilStrRes const &item, bool wide,
             platform::CharTable const &chars, items::RefusedItems &refused) {
    std::uint8_t const *text = nullptr;
    std::size_t size = item.Record ? TextBytes(item, wide, text) : 0;
    bool fits = MacroFits(item, wide) &&
                (wide ? WideTextFits(text, size) : NarrowTextFits(text, size, chars));
    if (!fits)
        refused.Add(item.ID);
    if (refused.Any())
        return;
    out.Ascii("RilStringID=");
    out.Number(item.ID);
    out.Ascii(";RilStringMacro=");
    PutMacro(out, item, wide);
    out.Ascii("\r\n");
    out.Ascii(kSeparator);
    out.Ascii("\r\n{");
    out.Raw(text, size);
    out.Ascii("}\r\n\r\n");
}

} // namespace

int SaveTxt(items::CRilTxtLoader const &list, char const *path, int wide, bool utf8Mark) {
    platform::FileReplacer file(path, core::CurrentWriteSettings().replace);
    if (!file.IsOpen()) {
        core::ErrorBox(core::catalogue::kCannotOpenText,
                       core::NoticeSite{.file = path, .systemError = file.SystemError()}, path);
        return 0;
    }
    TextOut out(file, wide != 0);
    PutBanner(out, wide != 0, utf8Mark);
    const platform::CharTable chars = platform::CharTableFor(0);
    items::RefusedItems refused;
    list.ForEachItem(
        [&](items::RilStrRes const &item) { PutItem(out, item, wide != 0, chars, refused); });
    if (refused.Any()) { // the previous file stays
        core::ErrorBox(core::catalogue::kExportCannotHold, core::NoticeSite{.file = path}, path,
                       refused.List());
        return 0;
    }
    if (file.Commit() == platform::ReplaceStatus::Ok)
        return 1;
    core::ErrorBox(core::catalogue::kTextWriteFailed,
                   core::NoticeSite{.file = path, .systemError = file.SystemError()});
    return 0;
}

core::HResult ExportBinToTxt(char const *txtPath, int wide, table::BinTarget const &source) {
    if (txtPath == nullptr)
        return core::kErrArgument;
    if (core::WritesOwnInput(txtPath, source.path))
        return core::kErrOutputWrite;
    items::CRilTxtLoader list;
    core::HResult loaded = table::LoadToolSource(list, source);
    if (loaded != core::kSOk)
        return loaded;
    return SaveTxt(list, txtPath, wide) ? core::kSOk : core::kErrOutputWrite;
}

} // namespace ril::text
