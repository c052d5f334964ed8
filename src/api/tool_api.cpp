// The tool exports: import of a text resource file into a BIN, its check, export of a BIN to a
// text file and header generation. Each is one call through the export guard to the tool's
// pipeline, and records its result as the last error.
#include "api/tool_api.h"
#include "Ril4410.h"
#include "api/bin_probe_api.h"
#include "api/library_state.h"
#include "core/export_guard.h"
#include "core/own_input.h"
#include "text/txt_writer.h"
#include "tools/header_writer.h"
#include "tools/importer.h"
#include "tools/item_writer.h"
#include "tools/validation.h"

#include <cstdint>
#include <span>
#include <vector>

namespace ril::api {
namespace {

core::HResult Record(core::HResult result) {
    SetLastErrorCode(result);
    return result;
}

} // namespace

core::HResult WriteHeaderAndRecord(char const *headerDir, int wide, char const *binPath) {
    return Record(core::Guarded<core::HResult>(core::kErrOutputWrite, [&] {
        return tools::WriteHeaderFile(headerDir, wide, ResolveBinTarget(binPath, BinUse::Read));
    }));
}

} // namespace ril::api

using namespace ril;
using namespace ril::api;

namespace {

core::HResult ImportAndRecord(char const *txtPath, int wide, char const *binPath,
                              char const *logPath, unsigned const *lintFlags) {
    return Record(core::Guarded<core::HResult>(core::kErrImportParse, [&] {
        // The text file is not replaced by its own BIN (the log is checked with the log).
        table::BinTarget const target = ResolveBinTarget(binPath, BinUse::Write);
        if (core::WritesOwnInput(target.path, txtPath))
            return core::kErrImportWrite;
        return tools::ImportTxtToBin(txtPath, wide, target, logPath, lintFlags);
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
    return Record(core::Guarded<core::HResult>(core::kErrImportParse,
                                               [&] { return tools::CheckTxt(txtPath, wide); }));
}

extern "C" RIL_API int Ril_IsMacroName(char const *macro) {
    return core::Guarded<int>(0, [&] { return macro != nullptr && tools::IsMacroName(macro); });
}

extern "C" RIL_API RIL_LONG Ril_ExportResFromBinToTxt(char const *txtPath, int wide,
                                                      char const *binPath) {
    return Record(core::Guarded<core::HResult>(core::kErrOutputWrite, [&] {
        return text::ExportBinToTxt(txtPath, wide, ResolveBinTarget(binPath, BinUse::Read));
    }));
}

extern "C" RIL_API RIL_LONG Ril_WriteHeaderFile(char const *headerDir, int wide,
                                                char const *binPath) {
    return WriteHeaderAndRecord(headerDir, wide, binPath);
}

extern "C" RIL_API RIL_LONG Ril_WriteHeaderFileInspected(char const *headerDir, char const *binPath,
                                                         RIL_HEADER_CHOICE choose, void *context,
                                                         RIL_BIN_INFO *info) {
    return Record(core::Guarded<core::HResult>(core::kErrOutputWrite, [&]() -> core::HResult {
        if (binPath == nullptr || choose == nullptr || info == nullptr ||
            info->structSize != sizeof(RIL_BIN_INFO))
            return core::kErrArgument;
        platform::FileContent content;
        core::HResult const inspected = InspectBinFile(binPath, *info, nullptr, 0, content);
        int const wide = choose(context, info);
        if (wide < 0)
            return wide;
        if (inspected < 0)
            return inspected;
        return tools::WriteHeaderFile(
            headerDir, wide, ResolveBinTarget(binPath, BinUse::Read),
            std::span<std::uint8_t const>(content.bytes.get(), content.size));
    }));
}

extern "C" RIL_API RIL_LONG Ril_WriteBinFromItems(RIL_ITEM const *items, RIL_ULONG count, int wide,
                                                  char const *binPath) {
    return Record(core::Guarded<core::HResult>(core::kErrImportWrite, [&]() -> core::HResult {
        if (binPath == nullptr || (items == nullptr && count > 0))
            return core::kErrArgument;
        std::vector<tools::GivenItem> given;
        given.reserve(count);
        for (RIL_ULONG i = 0; i < count; ++i)
            given.push_back({items[i].id, items[i].macro, items[i].text, items[i].textSize});
        return tools::WriteItemsToBin(given.data(), given.size(), wide,
                                      ResolveBinTarget(binPath, BinUse::Write));
    }));
}
