// Writing the item list as a text resource file, in the layout the parser reads back, and
// the export from a BIN built on it.
#include "Ril4410.h"
#include "platform/clock.h"
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

namespace ril {
namespace {

constexpr std::string_view kSeparator =
    "/////////////////////////////////////////////////////////////////////////////";
static_assert(kSeparator.size() == 77);

// The file's bytes: characters are bytes (MBCS) or UTF-16LE units (WCS).
class TextBuffer {
  public:
    explicit TextBuffer(bool wide) : wide_(wide) {}

    // ASCII text, one character each.
    void Ascii(std::string_view text) {
        if (!wide_) {
            bytes_.append(text);
            return;
        }
        for (char c : text) {
            bytes_.push_back(c);
            bytes_.push_back('\0');
        }
    }
    void Number(std::uint32_t value) {
        char digits[16];
        auto result = std::to_chars(digits, digits + sizeof digits, value);
        Ascii(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
    }
    // Bytes already in the file's flavour.
    void Raw(const void *data, std::size_t size) {
        bytes_.append(static_cast<const char *>(data), size);
    }
    void Reserve(std::size_t size) { bytes_.reserve(size); }
    const std::string &Bytes() const { return bytes_; }

  private:
    bool wide_;
    std::string bytes_;
};

// The macro as the flavour writes it: multibyte Macro or wide MacroW.
void PutMacro(TextBuffer &out, const RilStrRes &item, bool wide) {
    if (!wide) {
        out.Raw(item.Macro, std::strlen(item.Macro));
        return;
    }
    std::size_t units = 0;
    while (units < kMacroField && item.MacroW[units] != 0)
        ++units;
    for (std::size_t i = 0; i < units; ++i) {
        const char unit[2] = {static_cast<char>(item.MacroW[i] & 0xFF),
                              static_cast<char>(item.MacroW[i] >> 8)};
        out.Raw(unit, 2);
    }
}

// The item's text: from behind the macro to its first zero character, within the record.
std::size_t TextBytes(const RilStrRes &item, bool wide, const std::uint8_t *&text) {
    RecordRef record{item.Record.get(), item.RecordSize};
    text = record.Text();
    std::size_t available = static_cast<std::size_t>(record.data + record.size - text);
    if (!wide) {
        const void *end = std::memchr(text, 0, available);
        return end != nullptr
                   ? static_cast<std::size_t>(static_cast<const std::uint8_t *>(end) - text)
                   : available;
    }
    std::size_t n = 0;
    while (n + 1 < available && (text[n] != 0 || text[n + 1] != 0))
        n += 2;
    return n + 1 < available ? n : available & ~std::size_t{1};
}

void PutBanner(TextBuffer &out, bool wide) {
    if (wide)
        out.Raw("\xFF\xFE", 2);
    out.Ascii("//Ril4410 Strings\r\n"
              "//Created by Ril4410.DLL\r\n"
              "//Maker: the Ril4410 string-resource library, exporting a BIN string table\r\n"
              "//Author: the Ril4410 developers\r\n"
              "\r\n");
    out.Ascii(wide ? "//Type = WCS\r\n" : "//Type = MBCS\r\n");
    platform::LocalTime now = platform::CurrentLocalTime();
    char date[512];
    SafeFormatA(date, sizeof date, "//ExportDate: %u-%u-%u %u:%u'%u\"\r\n\r\n\r\n", now.year,
                now.month, now.day, now.hour, now.minute, now.second);
    out.Ascii(date);
}

void PutItem(TextBuffer &out, const RilStrRes &item, bool wide) {
    out.Ascii("RilStringID=");
    out.Number(item.ID);
    out.Ascii(";RilStringMacro=");
    PutMacro(out, item, wide);
    out.Ascii("\r\n");
    out.Ascii(kSeparator);
    out.Ascii("\r\n{");
    const std::uint8_t *text = nullptr;
    std::size_t size = item.Record ? TextBytes(item, wide, text) : 0;
    out.Raw(text, size);
    out.Ascii("}\r\n\r\n");
}

HResult Export(const char *txtPath, int wide, const char *binPath) {
    if (txtPath == nullptr)
        return kErrArgument;
    CRilTxtLoader list;
    HResult loaded = LoadToolSource(list, binPath);
    if (loaded != kSOk)
        return loaded;
    return list.SaveTxt(txtPath, wide) ? kSOk : kErrOutputWrite;
}

} // namespace

int CRilTxtLoader::SaveTxt(const char *path, int wide) const {
    TextBuffer out(wide != 0);
    // A guess from the declared sizes, capped: a record cut short may declare far more than
    // its text will ever need.
    constexpr std::size_t kReserveCap = std::size_t{1} << 26;
    std::size_t estimate = 512;
    for (const auto &item : items_)
        estimate = std::min(kReserveCap,
                            estimate + (wide != 0 ? 2 : 1) * (140 + std::size_t{item->RecordSize}));
    out.Reserve(estimate);
    PutBanner(out, wide != 0);
    for (const auto &item : items_)
        PutItem(out, *item, wide != 0);
    const std::string &bytes = out.Bytes();
    switch (ReplaceFileContent(path, reinterpret_cast<const std::uint8_t *>(bytes.data()),
                               bytes.size())) {
    case ReplaceStatus::Ok:
        return 1;
    case ReplaceStatus::CannotOpen:
        ErrorBox(msg::kCannotOpenText, path);
        return 0;
    case ReplaceStatus::WriteFailed:
        break;
    }
    ErrorBox("%s", msg::kTextWriteFailed);
    return 0;
}

} // namespace ril

using namespace ril;

extern "C" RIL_API RIL_LONG Ril_ExportResFromBinToTxt(char const *txtPath, int wide,
                                                      char const *binPath) {
    HResult result =
        Guarded<HResult>(kErrOutputWrite, [&] { return Export(txtPath, wide, binPath); });
    SetLastErrorCode(result);
    return result;
}
