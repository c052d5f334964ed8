// A BIN checked whole before anyone reads it: why its bytes are no BIN, the flavour its
// records appear to hold, its IDs, and how many of its texts a code page does not decode;
// and the parts of one item record.
#pragma once

#include "core/messages.h"
#include "core/notice.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace ril::table {

enum class BinFlavour { Unknown = 0, Multibyte = 1, Wide = 2 };

struct BinInspection {
    // Why the bytes are no BIN, with the message's numbers; null for a BIN.
    core::msg::Message const *refusal = nullptr;
    core::NoticeArg args[4] = {};
    std::size_t argCount = 0;

    std::uint32_t flag = 0;
    std::uint32_t maxId = 0;
    std::uint32_t count = 0;
    BinFlavour flavour = BinFlavour::Unknown;
    std::vector<std::uint32_t> ids; // the entries' IDs, ascending, without repeats
    std::uint32_t undecodable = 0;  // entries whose text, read as multibyte, does not decode
};

// Checks `bytes` as a BIN: a 12-byte header with holder flag 0 or 1, `count` entries that lie
// inside the file before the holder marker, each with an ID below the max ID + 10 and a
// record that holds its macro, and a holder marker that fits and ends with a zero byte.
// A file cut short says so whatever its last bytes hold: the entries are checked first. The
// flavour is the one that more than half of the records fit (Unknown without such a
// majority); `codePage` (0: the ANSI code page) is the one the texts are decoded in.
void InspectBinImage(std::span<std::uint8_t const> bytes, unsigned codePage, BinInspection &out);

// An item record's parts: the macro up to its first zero byte within its M bytes, and the
// text up to its terminator in the flavour asked for (a zero byte, or a zero unit at an even
// distance from the text's start), else up to the record's end (an odd last byte of a wide
// text belongs to no unit).
struct RecordParts {
    std::uint8_t const *macro = nullptr;
    std::size_t macroLength = 0;
    bool macroTerminated = false; // M > 0 and the macro's last byte is its zero byte
    std::uint8_t const *text = nullptr;
    std::size_t textSize = 0;
};

// False when the record is too short for its length field or its M macro bytes.
bool SplitRecord(std::span<std::uint8_t const> record, bool wide, RecordParts &parts);

} // namespace ril::table
