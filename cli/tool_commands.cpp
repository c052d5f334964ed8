// The commands that run the library's tools on files: import.
#include "commands.h"
#include "diagnostics.h"

namespace rilcli {

int RunImport(Invocation const &invocation) {
    std::string const &text = invocation.operands[0];
    std::string const &bin = invocation.operands[1];
    RIL_LONG const result = Ril_ImportResFromTxtToBin(text.c_str(), invocation.wide ? 1 : 0,
                                                      bin.c_str(), invocation.Value("--log"));
    if (result != 0)
        throw Failure("cannot import '" + text + "' into '" + bin + "'", result);
    return kExitOk;
}

} // namespace rilcli
