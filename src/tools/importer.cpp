// The import pipeline: the parser fills a fresh item list, validation sorts and checks it, and
// the BIN writer writes it; the import log records the run.
#include "tools/importer.h"

#include "items/ril_txt_loader.h"
#include "table/bin_list_writer.h"
#include "text/text_places.h"
#include "text/txt_parser.h"
#include "tools/import_log.h"
#include "tools/validation.h"

namespace ril {
namespace {

// The import's first two steps, shared with the check: the text file into the list, then
// validation. False after reporting every fault found.
bool ParseAndValidate(CRilTxtLoader &list, char const *txtPath, int wide, char const *logPath) {
    TextPlaces const places(txtPath, wide); // read again only for a placed notice
    return LoadTxt(list, txtPath, wide, logPath) && Validate(list, logPath, txtPath, &places);
}

} // namespace

HResult ImportTxtToBin(char const *txtPath, int wide, BinTarget const &target,
                       char const *logPath) {
    if (txtPath == nullptr)
        return kErrArgument;
    HResult started = StartImportLog(logPath, txtPath, target.path);
    if (started != kSOk)
        return started;
    CRilTxtLoader list;
    HResult result = kSOk;
    if (!ParseAndValidate(list, txtPath, wide, logPath))
        result = kErrImportParse;
    else if (!SaveBin(list, target, logPath))
        result = kErrImportWrite;
    EndImportLog(logPath, result);
    return result;
}

HResult CheckTxt(char const *txtPath, int wide) {
    if (txtPath == nullptr)
        return kErrArgument;
    CRilTxtLoader list;
    return ParseAndValidate(list, txtPath, wide, nullptr) ? kSOk : kErrImportParse;
}

} // namespace ril
