// export and import with --format: PO and XLIFF files for translators, through the
// interchange library where the tool is built with it (libgettextpo and pugixml found).
#include "bin_files.h"
#include "commands.h"
#include "diagnostics.h"

#ifdef RIL_WITH_INTERCHANGE
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

long Run(Invocation const &invocation, bool exporting) {
    Format const format = ChosenFormat(invocation, exporting);
    std::string const &input = invocation.operands[0], &output = invocation.operands[1];
    char const *base = invocation.Value("--base");
    if (exporting && format == Format::kPot)
        Export({format, input, CheckedWide(invocation, input), "", false, output});
    else if (exporting)
        Export({format, base, CheckedWide(invocation, base), input, CheckedWide(invocation, input),
                output});
    else
        return Import({format, input, base != nullptr ? base : "",
                       base != nullptr && CheckBin(base).info.flavour == RIL_BIN_FLAVOUR_WIDE,
                       invocation.Value("--use-fuzzy") != nullptr, invocation.wide, output});
    return 0;
}

} // namespace

int RunFormat(Invocation const &invocation, bool exporting) {
    try {
        if (long const result = Run(invocation, exporting); result != 0)
            throw Failure("cannot import '" + invocation.operands[0] + "' into '" +
                              invocation.operands[1] + "'",
                          result);
    } catch (Error const &error) {
        throw Failure(error.what());
    }
    return kExitOk;
}

} // namespace rilcli
#else
int rilcli::RunFormat(Invocation const &invocation, bool) {
    throw Failure(std::string("this ril4410 is built without PO and XLIFF ('--format ") +
                  invocation.Value("--format") + "')");
}
#endif
