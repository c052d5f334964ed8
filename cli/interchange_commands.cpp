// export and import with --format: PO and XLIFF files for translators, through the
// interchange library (built where libgettextpo and pugixml are found).
#include "bin_check.h"
#include "commands.h"
#include "diagnostics.h"

#include "interchange/interchange.h"

namespace rilcli {
namespace {

using namespace ril::interchange;

Format ChosenFormat(Invocation const &invocation, bool exporting) {
    std::string const name = invocation.Value("--format");
    std::optional<Format> const format = FormatNamed(name);
    if (!format || (!exporting && format == Format::kPot))
        throw UsageError("invalid format '" + name +
                         (exporting ? "' (pot, po or xliff)" : "' (po or xliff)"));
    bool const base = invocation.Value("--base") != nullptr;
    if (exporting && base == (format == Format::kPot))
        throw UsageError(base ? "a POT is made from its base alone: drop '--base'"
                              : "'--format " + name + "' needs '--base BASE.bin'");
    if (invocation.operands[1] == "-" || invocation.Value("--log") != nullptr)
        throw UsageError("'--format' writes no log and no standard output");
    return *format;
}

} // namespace

int RunExportFormat(Invocation const &invocation) try {
    ExportRequest request;
    request.format = ChosenFormat(invocation, true);
    request.output = invocation.operands[1];
    request.base =
        request.format == Format::kPot ? invocation.operands[0] : invocation.Value("--base");
    request.baseWide = CheckedWide(invocation, request.base);
    if (request.format != Format::kPot) {
        request.language = invocation.operands[0];
        request.languageWide = CheckedWide(invocation, request.language);
    }
    Export(request);
    return kExitOk;
} catch (Error const &error) {
    throw Failure(error.what());
}

int RunImportFormat(Invocation const &invocation) try {
    ImportRequest request;
    request.format = ChosenFormat(invocation, false);
    request.input = invocation.operands[0];
    if (char const *base = invocation.Value("--base")) {
        request.base = base;
        request.baseWide = CheckBin(base).info.flavour == RIL_BIN_FLAVOUR_WIDE;
    }
    request.useFuzzy = invocation.Value("--use-fuzzy") != nullptr;
    request.wide = invocation.wide;
    request.output = invocation.operands[1];
    if (long const result = Import(request); result != 0)
        throw Failure("cannot import '" + request.input + "' into '" + request.output + "'",
                      result);
    return kExitOk;
} catch (Error const &error) {
    throw Failure(error.what());
}

} // namespace rilcli
