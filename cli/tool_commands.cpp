// The commands that run the library's tools on files: import, export, header and resave.
#include "bin_check.h"
#include "bin_items.h"
#include "commands.h"
#include "diagnostics.h"
#include "import_checks.h"

namespace rilcli {

int RunImport(Invocation const &invocation) {
    std::string const &text = invocation.operands[0];
    std::string const &bin = invocation.operands[1];
    bool const wide = PrepareImport(invocation);
    RIL_LONG const result = Ril_ImportResFromTxtToBin(text.c_str(), wide ? 1 : 0, bin.c_str(),
                                                      invocation.Value("--log"));
    if (result != 0)
        throw Failure("cannot import '" + text + "' into '" + bin + "'", result);
    return kExitOk;
}

int RunExport(Invocation const &invocation) {
    std::string const &bin = invocation.operands[0];
    std::string const &text = invocation.operands[1];
    bool const wide = CheckedWide(invocation, bin);
    RIL_LONG const result = Ril_ExportResFromBinToTxt(text.c_str(), wide ? 1 : 0, bin.c_str());
    if (result != 0)
        throw Failure("cannot export '" + bin + "' to '" + text + "'", result);
    return kExitOk;
}

int RunHeader(Invocation const &invocation) {
    std::string const &bin = invocation.operands[0];
    std::string const &folder = invocation.operands[1];
    bool const wide = CheckedWide(invocation, bin);
    RIL_LONG const result = Ril_WriteHeaderFile(folder.c_str(), wide ? 1 : 0, bin.c_str());
    if (result != 0)
        throw Failure("cannot write the header of '" + bin + "' into '" + folder + "'", result);
    return kExitOk;
}

int RunResave(Invocation const &invocation) {
    std::string const &source = invocation.operands[0];
    std::string const &target = invocation.operands[1];
    // An empty path loads nothing and still succeeds: refuse it here, as a missing file.
    if (source.empty())
        throw Failure("cannot load ''");
    CheckBin(source);
    LoadBin(source);
    // Saving writes the records in ascending ID order behind a new holder marker, then
    // unloads the table.
    RIL_LONG const result = Ril_ExportResToBinFile(target.c_str());
    if (result != 0)
        throw Failure("cannot save '" + source + "' as '" + target + "'", result);
    return kExitOk;
}

} // namespace rilcli
