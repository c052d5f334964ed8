// The tool exports: import of a text resource file into a BIN, its check, export of a BIN to a
// text file and header generation. Each is one call through the export guard to the tool's
// pipeline, and records its result as the last error.
#include "api/tool_api.h"
#include "Ril4410.h"
#include "api/library_state.h"
#include "core/export_guard.h"
#include "core/own_input.h"
#include "text/txt_writer.h"
#include "tools/header_writer.h"
#include "tools/importer.h"
#include "tools/item_writer.h"

#include <vector>

namespace ril {
namespace {

HResult Record(HResult result) {
    SetLastErrorCode(result);
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

namespace {

HResult ImportAndRecord(char const *txtPath, int wide, char const *binPath, char const *logPath,
                        unsigned const *lintFlags) {
    return Record(Guarded<HResult>(kErrImportParse, [&] {
        // The text file is not replaced by its own BIN (the log is checked with the log).
        BinTarget const target = ResolveBinTarget(binPath, BinUse::Write);
        if (WritesOwnInput(target.path, txtPath))
            return kErrImportWrite;
        return ImportTxtToBin(txtPath, wide, target, logPath, lintFlags);
    }));
}

} // namespace

extern "C" RIL_API RIL_LONG Ril_ImportResFromTxtToBin(char const *txtPath, int wide,
                                                      char const *binPath, char const *logPath) {
    return ImportAndRecord(txtPath, wide, binPath, logPath, nullptr);
}

extern "C" RIL_API RIL_LONG Ril_ImportResFromTxtToBinEx(char const *txtPath, int wide,
                                                        char const *binPath, char const *logPath,
                                                        unsigned int lintFlags) {
    return ImportAndRecord(txtPath, wide, binPath, logPath, &lintFlags);
}

extern "C" RIL_API RIL_LONG Ril_CheckResTxt(char const *txtPath, int wide) {
    return Record(Guarded<HResult>(kErrImportParse, [&] { return CheckTxt(txtPath, wide); }));
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

extern "C" RIL_API RIL_LONG Ril_WriteBinFromItems(RIL_ITEM const *items, RIL_ULONG count, int wide,
                                                  char const *binPath) {
    return Record(Guarded<HResult>(kErrImportWrite, [&]() -> HResult {
        if (binPath == nullptr || (items == nullptr && count > 0))
            return kErrArgument;
        std::vector<GivenItem> given;
        given.reserve(count);
        for (RIL_ULONG i = 0; i < count; ++i)
            given.push_back({items[i].id, items[i].macro, items[i].text, items[i].textSize});
        return WriteItemsToBin(given.data(), given.size(), wide,
                               ResolveBinTarget(binPath, BinUse::Write));
    }));
}
