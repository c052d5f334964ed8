// Export and import: the tables read, the units made or read, the file or table written.
#include "interchange/interchange.h"

#include "interchange/formats.h"
#include "interchange/table_texts.h"
#include "interchange/units.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace ril::interchange {
namespace {

bool IsLanguageCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '-';
}

// Every unit read needs an ID and a macro of its own when no base gives them.
void RequireIds(Units const &units) {
    for (Unit const &unit : units)
        if (unit.translated && !unit.identified)
            throw Error(unit.place, "the entry " + unit.macro +
                                        " carries no item ID (give the base table with --base)");
}

// SOURCE_DATE_EPOCH when it holds a number (the tool refuses another value before), else now.
long long Stamp() {
    char const *epoch = std::getenv("SOURCE_DATE_EPOCH");
    char *end = nullptr;
    long long const seconds = epoch != nullptr ? std::strtoll(epoch, &end, 10) : 0;
    return end != epoch && end != nullptr && *end == '\0'
               ? seconds
               : static_cast<long long>(std::time(nullptr));
}

} // namespace

std::optional<Format> FormatNamed(std::string const &name) {
    if (name == "pot")
        return Format::kPot;
    if (name == "po")
        return Format::kPo;
    if (name == "xliff")
        return Format::kXliff;
    return std::nullopt;
}

std::string LanguageOfFileName(std::string const &path) {
    std::string const stem = std::filesystem::path(path).stem().string();
    std::size_t const dot = stem.rfind('.');
    if (dot == std::string::npos || dot + 1 == stem.size())
        return "";
    std::string const language = stem.substr(dot + 1);
    for (char const c : language)
        if (!IsLanguageCharacter(c))
            return "";
    return language;
}

void Export(ExportRequest const &request) {
    Entries const base = ReadTable(request.base, request.baseWide);
    std::optional<Entries> translation;
    if (request.format != Format::kPot)
        translation = ReadTable(request.language, request.languageWide);
    Units const units = MakeUnits(base, translation ? &*translation : nullptr);
    FileFacts facts;
    facts.project = std::filesystem::path(request.base).filename().string();
    facts.sourceLanguage = LanguageOfFileName(request.base);
    if (request.format != Format::kPot)
        facts.targetLanguage = LanguageOfFileName(request.language);
    facts.generator = "ril4410 " RIL4410_VERSION;
    facts.stamp = Stamp();
    facts.templateOnly = request.format == Format::kPot;
    if (request.format == Format::kXliff)
        WriteXliff(units, facts, request.output);
    else
        WritePo(units, facts, request.output);
}

long Import(ImportRequest const &request) {
    Units const read =
        request.format == Format::kXliff ? ReadXliff(request.input) : ReadPo(request.input);
    std::optional<Entries> base;
    if (!request.base.empty())
        base = ReadTable(request.base, request.baseWide);
    else
        RequireIds(read);
    Units const units = TranslatedUnits(read, base ? &*base : nullptr, request.useFuzzy);
    return WriteTable(units, request.wide, request.output);
}

} // namespace ril::interchange
