// The library's inspection of a BIN as the tool's refusals, flavour and warning; items split by
// Ril_SplitRecord from their records (Ril_GetStringA/W would turn carriage returns into blanks).
#include "bin_files.h"

#include "arguments.h"
#include "code_page.h"
#include "diagnostics.h"
#include "notice_renderer.h"
#include "text_output.h"

#include <bit>
#include <cstring>

namespace rilcli {
namespace {

[[noreturn]] void Refuse(std::string const &path, RIL_BIN_INFO const &info) {
    std::string const reason = info.systemReason[0] != '\0' ? info.systemReason : "unknown error";
    std::string const id = info.messageId != nullptr ? info.messageId : "";
    if (id == "cannot-open" || id == "cannot-read")
        throw Failure("cannot " + id.substr(7) + " '" + path + "': " + reason);
    throw Failure(path + ": " + CodePageToUtf8(info.text, RIL_MESSAGES_CODE_PAGE));
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

bool WideOfInspection(Invocation const &invocation, std::string const &path,
                      RIL_BIN_INFO const &info) {
    if (info.verdict != RIL_BIN_OK)
        Refuse(path, info);
    int const inferred = info.flavour;
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
    if (!wide && info.undecodable != 0) {
        RIL_ULONG const count = info.undecodable;
        invocation.notices->Report(
            Diagnostic{Severity::kWarning, path, std::nullopt, std::nullopt, "undecodable-texts",
                       std::to_string(count) + (count == 1 ? " text does" : " texts do") +
                           " not decode in " + CodePageInForce() +
                           "; give --code-page with the code page the BIN was written in"});
    }
    return wide;
}

bool CheckedWide(Invocation const &invocation, std::string const &path) {
    return WideOfInspection(invocation, path, CheckBin(path).info);
}

void LoadBin(std::string const &path) {
    RIL_LONG const result = Ril_LoadRes(path.c_str());
    if (result < 0)
        throw Failure("cannot load '" + path + "'", result);
}

std::optional<Item> ItemOfRecord(void const *record, RIL_ULONG size, bool wide, bool strict) {
    RIL_RECORD_PARTS parts{};
    RIL_LONG const result = Ril_SplitRecord(record, size, wide ? 1 : 0, &parts);
    if (result < 0 || (strict && result != 0))
        return std::nullopt;
    Item item{std::string(parts.macro, parts.macroLength), {}};
    if (!wide) {
        item.text = AnsiToUtf8(std::string(static_cast<char const *>(parts.text), parts.textSize));
        return item;
    }
    // The record's UTF-16LE units are the host's own on every platform the library serves, as
    // for Ril_GetStringW; copied, since they may lie at an odd address.
    static_assert(std::endian::native == std::endian::little);
    std::u16string units(parts.textSize / 2, u'\0');
    std::memcpy(units.data(), parts.text, units.size() * sizeof(char16_t));
    item.text = Utf16ToUtf8(units);
    return item;
}

std::optional<Item> ReadItem(RIL_ULONG id, bool wide) {
    void const *record = Ril_GetData(id);
    if (record == nullptr)
        return std::nullopt;
    return ItemOfRecord(record, Ril_GetItemSize(id), wide, false);
}

Holder ReadHolder(std::string const &path) {
    Holder holder;
    RIL_ULONG size = 0;
    RIL_LONG result = Ril_RTEditGetHolderInfo(path.c_str(), nullptr, &size, &holder.held);
    std::vector<char> buffer(size + 1);
    if (result == 0 && holder.held == 1 && size > 0)
        result = Ril_RTEditGetHolderInfo(path.c_str(), buffer.data(), &size, &holder.held);
    if (result != 0)
        throw Failure("cannot read the holder of '" + path + "'", result);
    holder.text = buffer.data();
    return holder;
}

} // namespace rilcli
