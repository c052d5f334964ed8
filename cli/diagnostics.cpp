// Printing of the tool's failures and usage errors on standard error.
#include "diagnostics.h"

#include <cstdio>

namespace rilcli {

std::string FormatLibraryCode(RIL_LONG code) {
    // HRESULTs have the severity bit set and a facility; the library's own codes are small.
    if (code <= -0x10000) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(code));
        return buffer;
    }
    return std::to_string(code);
}

int ReportFailure(Failure const &failure) {
    std::string line = "ril4410: ";
    line += failure.what();
    if (failure.Code())
        line += " (" + FormatLibraryCode(*failure.Code()) + ")";
    std::fprintf(stderr, "%s\n", line.c_str());
    return kExitFailure;
}

int ReportUsageError(UsageError const &error) {
    std::fprintf(stderr, "ril4410: %s\nTry 'ril4410 --help'.\n", error.what());
    return kExitUsage;
}

} // namespace rilcli
