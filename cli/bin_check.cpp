// The library's inspection of a BIN as the tool's refusals, flavour choice and warning.
#include "bin_check.h"

#include "arguments.h"
#include "code_page.h"
#include "diagnostics.h"
#include "notice_renderer.h"
#include "text_output.h"

#include <utility>

namespace rilcli {
namespace {

// The code page of the library's Chinese texts; English ones are ASCII, which it keeps.
constexpr unsigned kLibraryTextCodePage = 936;

[[noreturn]] void Refuse(std::string const &path, RIL_BIN_INFO const &info) {
    std::string const reason = info.systemReason[0] != '\0' ? info.systemReason : "unknown error";
    std::string const id = info.messageId != nullptr ? info.messageId : "";
    if (id == "cannot-open" || id == "cannot-read")
        throw Failure("cannot " + id.substr(7) + " '" + path + "': " + reason);
    throw Failure(path + ": " + CodePageToUtf8(info.text, kLibraryTextCodePage));
}

} // namespace

BinFacts CheckBin(std::string const &path, bool withIds) {
    BinFacts facts;
    facts.info.structSize = sizeof facts.info;
    RIL_LONG result = Ril_InspectBin(path.c_str(), &facts.info, nullptr, 0);
    // Without the IDs one inspection answers (1 says only that they were left out). With them,
    // the file may change between the calls: the last answer counts.
    if (!withIds && result == 1)
        result = 0;
    while (result == 1) {
        facts.ids.resize(facts.info.idCount);
        result = Ril_InspectBin(path.c_str(), &facts.info, facts.ids.data(),
                                static_cast<RIL_ULONG>(facts.ids.size()));
    }
    if (result < 0 && facts.info.verdict != RIL_BIN_OK)
        Refuse(path, facts.info);
    if (result < 0)
        throw Failure("cannot inspect '" + path + "'", result);
    facts.ids.resize(withIds ? facts.info.idCount : 0);
    return facts;
}

bool CheckedWide(Invocation const &invocation, std::string const &path, BinFacts *facts) {
    BinFacts checked = CheckBin(path, facts != nullptr);
    int const inferred = checked.info.flavour;
    bool const narrow = invocation.Value("--narrow") != nullptr;
    bool wide = inferred == RIL_BIN_FLAVOUR_WIDE;
    if (invocation.wide || narrow) {
        int const given = invocation.wide ? RIL_BIN_FLAVOUR_WIDE : RIL_BIN_FLAVOUR_MULTIBYTE;
        if (inferred != RIL_BIN_FLAVOUR_UNKNOWN && inferred != given &&
            invocation.Value("--force") == nullptr)
            throw Failure(path + ": the BIN appears to hold " +
                          (invocation.wide ? "multibyte texts: drop --wide"
                                           : "wide texts (UTF-16): drop --narrow") +
                          ", or give --force");
        wide = invocation.wide;
    }
    if (!wide && checked.info.undecodable != 0) {
        RIL_ULONG const count = checked.info.undecodable;
        invocation.notices->Report(
            Diagnostic{Severity::kWarning, path, std::nullopt, std::nullopt, "undecodable-texts",
                       std::to_string(count) + (count == 1 ? " text does" : " texts do") +
                           " not decode in " + CodePageInForce() +
                           "; give --code-page with the code page the BIN was written in"});
    }
    if (facts != nullptr)
        *facts = std::move(checked);
    return wide;
}

} // namespace rilcli
