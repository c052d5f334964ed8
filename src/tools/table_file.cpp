// Reading a string table from a text resource file or a BIN: the BIN probe tells them apart,
// the one parser or the BIN reader fills the item list.
#include "tools/table_file.h"

#include "items/item_record.h"
#include "platform/codepage.h"
#include "platform/file.h"
#include "table/bin_list_reader.h"
#include "table/bin_probe.h"
#include "text/txt_parser.h"

#include <cstring>
#include <optional>

namespace ril::tools {
namespace {

constexpr unsigned kUtf8CodePage = 65001;

// Learns from the parser how it reads the file: the flavour, the UTF-8 signature (switching
// the code page for it when asked) and the file's bytes for the places.
class ReadWatcher final : public text::TxtParseObserver {
  public:
    ReadWatcher(TableRead const &how, TableFile &table) : how_(how), table_(table) {}

    bool Read(unsigned char const *bytes, std::size_t size) override {
        table_.utf8Mark = how_.wide == 0 && size >= 3 && std::memcmp(bytes, "\xEF\xBB\xBF", 3) == 0;
        if (table_.utf8Mark && how_.utf8Signature)
            table_.codePage.Switch();
        return true;
    }
    void Item(text::ParsedFile const &, text::ParsedItem const &) override {}
    void Ended(text::ParsedFile const &file, std::size_t, bool, platform::FileView &view) override {
        table_.wide = file.wide;
        table_.utf8Mark = table_.utf8Mark && !file.wide;
        table_.places = std::make_unique<text::TextPlaces>(nullptr, file.wide);
        table_.places->Adopt(std::move(view), file.wide);
    }
    bool ReportsCutMacros() const override { return false; }

  private:
    TableRead const &how_;
    TableFile &table_;
};

// Whether a file that is a BIN holds wide texts (as its records show), or nothing when it is
// no BIN (or unreadable: the parser then says why).
std::optional<bool> ProbedWide(char const *path) {
    platform::FileContent content;
    if (platform::ReadWholeFile(path, content) != platform::ReadStatus::Ok)
        return std::nullopt;
    table::BinInspection inspection;
    table::InspectBinImage({content.bytes.get(), content.size}, 0, inspection);
    if (inspection.refusal != nullptr)
        return std::nullopt;
    return inspection.flavour == table::BinFlavour::Wide;
}

} // namespace

void Utf8CodePage::Switch() {
    if (!scope_)
        scope_.emplace(kUtf8CodePage);
}

bool ReadTableFile(char const *path, TableRead const &how, TableFile &table) {
    if (!how.textOnly) {
        if (std::optional<bool> const wide = ProbedWide(path)) {
            table.wide = *wide;
            return table::LoadBin(table.items, path) != 0;
        }
    }
    table.text = true;
    ReadWatcher watcher(how, table);
    return text::LoadTxt(table.items, path, how.wide, nullptr, &watcher) != 0;
}

std::span<std::uint8_t const> ItemText(items::RilStrRes const &item, bool wide) {
    items::RecordRef const record{item.Record.get(), item.RecordSize};
    if (!record)
        return {};
    std::uint8_t const *text = record.Text();
    std::size_t const available = static_cast<std::size_t>(record.data + record.size - text);
    std::size_t size = 0;
    if (!wide) {
        while (size < available && text[size] != 0)
            ++size;
    } else {
        while (size + 1 < available && (text[size] != 0 || text[size + 1] != 0))
            size += 2;
    }
    return {text, size};
}

} // namespace ril::tools
