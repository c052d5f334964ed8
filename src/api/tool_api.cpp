// The tool exports: import of a text resource file into a BIN, export of a BIN to a text file
// and header generation. Each records its result as the last error.
#include "api/tool_api.h"
#include "Ril4410.h"
#include "api/library_state.h"
#include "core/export_guard.h"
#include "core/own_input.h"
#include "table/bin_list_writer.h"
#include "text/txt_parser.h"
#include "text/txt_writer.h"
#include "tools/header_writer.h"
#include "tools/import_log.h"
#include "tools/validation.h"

namespace ril {
namespace {

HResult Record(HResult result) {
    SetLastErrorCode(result);
    return result;
}

// The import's first two steps, shared with the check: the text file into the list, then
// validation. False after reporting every fault found.
bool ParseAndValidate(CRilTxtLoader &list, char const *txtPath, int wide, char const *logPath) {
    return LoadTxt(list, txtPath, wide, logPath) && Validate(list, logPath, txtPath);
}

// Text file → item list → validation → BIN, with the optional log around it.
HResult Import(char const *txtPath, int wide, char const *binPath, char const *logPath) {
    if (txtPath == nullptr)
        return kErrArgument;
    const BinTarget target = ResolveBinTarget(binPath, BinUse::Write);
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

} // namespace

HResult WriteHeaderAndRecord(char const *headerDir, int wide, char const *binPath) {
    return Record(Guarded<HResult>(kErrOutputWrite, [&] {
        return WriteHeaderFile(headerDir, wide, ResolveBinTarget(binPath, BinUse::Read));
    }));
}

} // namespace ril

using namespace ril;

extern "C" RIL_API RIL_LONG Ril_ImportResFromTxtToBin(char const *txtPath, int wide,
                                                      char const *binPath, char const *logPath) {
    return Record(Guarded<HResult>(kErrImportParse, [&] {
        // The text file is not replaced by its own BIN (the log is checked with the log).
        if (WritesOwnInput(ResolveBinTarget(binPath, BinUse::Write).path, txtPath))
            return kErrImportWrite;
        return Import(txtPath, wide, binPath, logPath);
    }));
}

extern "C" RIL_API RIL_LONG Ril_CheckResTxt(char const *txtPath, int wide) {
    return Record(Guarded<HResult>(kErrImportParse, [&] {
        if (txtPath == nullptr)
            return kErrArgument;
        CRilTxtLoader list;
        return ParseAndValidate(list, txtPath, wide, nullptr) ? kSOk : kErrImportParse;
    }));
}

extern "C" RIL_API RIL_LONG Ril_ExportResFromBinToTxt(char const *txtPath, int wide,
                                                      char const *binPath) {
    return Record(Guarded<HResult>(kErrOutputWrite, [&] {
        return ExportBinToTxt(txtPath, wide, ResolveBinTarget(binPath, BinUse::Read));
    }));
}

extern "C" RIL_API RIL_LONG Ril_WriteHeaderFile(char const *headerDir, int wide,
                                                char const *binPath) {
    return WriteHeaderAndRecord(headerDir, wide, binPath);
}
