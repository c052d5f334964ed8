// The check of a translated table against its base table: every translated ID is in the base
// with the same macro and the same "&0NN" placeholders, and the base's IDs that the
// translation lacks are counted.
#include "tools/translation_check.h"

#include "core/byte_cursor.h"
#include "core/error_report.h"
#include "core/messages.h"
#include "tools/table_file.h"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace ril::tools {

// This file works across the layers below: their names unqualified.
using namespace core;
using namespace items;
using namespace text;
namespace {

constexpr std::size_t kListedIds = 20; // untranslated IDs the warning names at most

// The numbers NN of a text's "&0NN" placeholders. Multibyte text is scanned byte by byte: no
// supported code page has '&' as a trail byte, and the bytes after "&0" start characters.
using Placeholders = std::bitset<100>;

Placeholders PlaceholdersOf(std::span<std::uint8_t const> text, bool wide) {
    std::size_t const unit = wide ? 2 : 1;
    std::size_t const count = text.size() / unit;
    auto const at = [&](std::size_t i) -> unsigned {
        return wide ? LoadU16(text.data() + 2 * i) : text[i];
    };
    auto const digit = [](unsigned ch) { return ch >= '0' && ch <= '9'; };
    Placeholders found;
    for (std::size_t i = 0; i + 3 < count; ++i)
        if (at(i) == '&' && at(i + 1) == '0' && digit(at(i + 2)) && digit(at(i + 3)))
            found.set((at(i + 2) - '0') * 10 + (at(i + 3) - '0'));
    return found;
}

// "&001 &002", as the placeholders are written.
std::string Spelt(Placeholders const &placeholders) {
    std::string out;
    for (std::size_t n = 0; n < placeholders.size(); ++n)
        if (placeholders[n])
            out += (out.empty() ? "&0" : " &0") + std::to_string(n / 10) + std::to_string(n % 10);
    return out;
}

bool ReadTable(char const *path, TableRead const &how, TableFile &table) {
    bool const read = ReadTableFile(path, how, table);
    table.codePage.Restore(); // the other file is read in its own code page
    return read;
}

class Comparison {
  public:
    Comparison(TableFile const &base, char const *basePath, TableFile const &lang,
               char const *langPath)
        : base_(base), basePath_(basePath), lang_(lang), langPath_(langPath) {
        base_.items.ForEachItem(
            [&](RilStrRes const &item) { baseItems_.try_emplace(item.ID, &item); });
    }

    // Reports every finding; true when one of them is an error.
    bool Run() {
        std::unordered_map<std::uint32_t, bool> translated;
        lang_.items.ForEachItem([&](RilStrRes const &item) {
            translated.try_emplace(item.ID, true);
            Compare(item);
        });
        std::vector<std::uint32_t> missing;
        for (auto const &[id, item] : baseItems_)
            if (translated.count(id) == 0)
                missing.push_back(id);
        ReportMissing(missing);
        return errors_;
    }

  private:
    void Compare(RilStrRes const &item) {
        NoticeSite const site{.file = langPath_,
                              .offset = lang_.text ? item.SourceOffset : -1,
                              .places = lang_.places.get()};
        auto const found = baseItems_.find(item.ID);
        errors_ = errors_ || found == baseItems_.end();
        if (found == baseItems_.end()) {
            ErrorBox(catalogue::kIdNotInBase, site, item.ID, item.Macro(), basePath_);
            return;
        }
        RilStrRes const &original = *found->second;
        if (std::strcmp(item.Macro(), original.Macro()) != 0) {
            ErrorBox(catalogue::kMacroDiffers, site, item.ID, item.Macro(), original.Macro());
            errors_ = true;
        }
        Placeholders const mine = PlaceholdersOf(ItemText(item, lang_.wide), lang_.wide);
        Placeholders const theirs = PlaceholdersOf(ItemText(original, base_.wide), base_.wide);
        if (mine != theirs) {
            ErrorBox(catalogue::kPlaceholdersDiffer, site, item.ID, Spelt(mine).c_str(),
                     Spelt(theirs).c_str());
            errors_ = true;
        }
    }

    // One warning: how many, and the first of them in ascending order.
    void ReportMissing(std::vector<std::uint32_t> &missing) const {
        if (missing.empty())
            return;
        std::sort(missing.begin(), missing.end());
        std::string list;
        for (std::size_t i = 0; i < missing.size() && i < kListedIds; ++i)
            list += (i == 0 ? "" : ", ") + std::to_string(missing[i]);
        if (missing.size() > kListedIds)
            list += ", ...";
        ErrorBox(catalogue::kIdsNotTranslated, NoticeSite{.file = langPath_}, basePath_,
                 missing.size(), list.c_str());
    }

    TableFile const &base_;
    char const *basePath_;
    TableFile const &lang_;
    char const *langPath_;
    std::unordered_map<std::uint32_t, RilStrRes const *> baseItems_;
    bool errors_ = false;
};

} // namespace

HResult CheckAgainst(char const *basePath, char const *langPath, int wide, unsigned flags) {
    if (basePath == nullptr || langPath == nullptr || (flags & ~unsigned{kCheckUtf8Signature}) != 0)
        return kErrArgument;
    TableRead const how{.wide = wide, .utf8Signature = (flags & kCheckUtf8Signature) != 0};
    TableFile base;
    TableFile lang;
    bool const baseRead = ReadTable(basePath, how, base);
    bool const langRead = ReadTable(langPath, how, lang);
    if (!baseRead || !langRead)
        return kErrImportParse;
    return Comparison(base, basePath, lang, langPath).Run() ? kErrImportParse : kSOk;
}

} // namespace ril::tools
