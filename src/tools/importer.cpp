// The import pipeline: the parser fills a fresh item list, validation sorts and checks it, and
// the BIN writer writes it; the import log records the run.
#include "tools/importer.h"

#include "core/notice.h"
#include "items/ril_txt_loader.h"
#include "table/bin_list_writer.h"
#include "text/text_places.h"
#include "text/txt_parser.h"
#include "tools/import_log.h"
#include "tools/txt_lint.h"
#include "tools/validation.h"

#include <optional>

namespace ril::tools {
namespace {

// Raises the lint's findings, then the parser's held notices, which are dropped when a finding
// is an error (the lint refused the file: true).
bool ReportLint(TxtLintRun &lint, core::NoticeHold &parserNotices, char const *logPath) {
    parserNotices.Stop();
    bool const refused = lint.Report(logPath);
    if (!refused)
        parserNotices.Release(&lint.Places());
    return refused;
}

// The import's first two steps, shared with the check: the text file into the list, then
// validation. With a lint riding on the parse, its findings come before the parser's notices
// and an error among them stops the import before validation. False after reporting every fault
// found.
bool ParseAndValidate(items::CRilTxtLoader &list, char const *txtPath, int wide,
                      char const *logPath, TxtLintRun *lint = nullptr) {
    if (lint == nullptr) {
        text::TextPlaces const places(txtPath, wide); // read again only for a placed notice
        return text::LoadTxt(list, txtPath, wide, logPath) &&
               Validate(list, logPath, txtPath, &places);
    }
    core::NoticeHold parserNotices; // raised behind the lint's findings
    bool const loaded = text::LoadTxt(list, txtPath, wide, logPath, &lint->Observer()) != 0;
    bool const refused = ReportLint(*lint, parserNotices, logPath);
    return loaded && !refused && Validate(list, logPath, txtPath, &lint->Places());
}

} // namespace

core::HResult ImportTxtToBin(char const *txtPath, int wide, table::BinTarget const &target,
                             char const *logPath, unsigned const *lintFlags) {
    if (txtPath == nullptr)
        return core::kErrArgument;
    core::HResult started = StartImportLog(logPath, txtPath, target.path);
    if (started != core::kSOk)
        return started;
    std::optional<TxtLintRun> lint;
    if (lintFlags != nullptr)
        lint.emplace(txtPath, wide, *lintFlags);
    items::CRilTxtLoader list;
    core::HResult result = core::kSOk;
    if (!ParseAndValidate(list, txtPath, wide, logPath, lint ? &*lint : nullptr))
        result = core::kErrImportParse;
    else if (!table::SaveBin(list, target, logPath))
        result = core::kErrImportWrite;
    EndImportLog(logPath, result);
    return result;
}

core::HResult CheckTxt(char const *txtPath, int wide) {
    if (txtPath == nullptr)
        return core::kErrArgument;
    items::CRilTxtLoader list;
    return ParseAndValidate(list, txtPath, wide, nullptr) ? core::kSOk : core::kErrImportParse;
}

} // namespace ril::tools
