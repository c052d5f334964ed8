// Output files beside the library's own writers: unchanged files kept, the holder of a fresh
// BIN set, header paths, and exports to standard output through a temporary file.
#include "output_files.h"

#include "Ril4410.h"
#include "diagnostics.h"
#include "input_files.h"
#include "text_output.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <random>
#include <string_view>
#include <system_error>
#include <vector>

namespace rilcli {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr std::string_view kSeparators = "/\\";
constexpr char kPreferredSeparator = '\\';
#else
constexpr std::string_view kSeparators = "/";
constexpr char kPreferredSeparator = '/';
#endif

// What the library's BIN writers put behind the user's name in their holder marker.
constexpr std::string_view kHolderPrefix = "Holder=";
constexpr std::string_view kHolderRest = "    Editor=VeruDodUzarer    StartTime=";
// The user name's room in that marker (a 512-byte buffer with its terminator).
constexpr std::size_t kMaxHolder = 511;
// The BIN header in front of the entries, and the marker's length field and closing zero.
constexpr std::size_t kBinHeader = 12;
constexpr std::size_t kMarkerExtra = 3;
// The part of a BIN path that names its header.
constexpr std::size_t kMaxBinPath = 519;

// A name no other file beside it is likely to have: the target's name and a random tag.
fs::path ScratchName(fs::path const &target, std::string_view purpose) {
    std::random_device device;
    std::mt19937_64 generator(
        device() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    static constexpr char kHex[] = "0123456789abcdef";
    std::string tag;
    for (std::uint64_t bits = generator(); tag.size() < 12; bits >>= 4)
        tag += kHex[bits & 0xF];
    fs::path name = target;
    name += std::string(".ril4410-") + std::string(purpose) + "-" + tag;
    return name;
}

// Writes `bytes` to a scratch file beside `target` and renames it over the target.
void ReplaceFile(fs::path const &target, std::vector<std::uint8_t> const &bytes) {
    fs::path const scratch = ScratchName(target, "new");
    std::error_code error;
    {
        std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<char const *>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(scratch, error);
            throw Failure("cannot write '" + target.string() + "'");
        }
    }
    fs::rename(scratch, target, error);
    if (error) {
        fs::remove(scratch, error);
        throw Failure("cannot replace '" + target.string() + "'");
    }
}

} // namespace

UnchangedOutput::UnchangedOutput(fs::path target) : target_(std::move(target)) {
    std::error_code error;
    if (!fs::is_regular_file(fs::symlink_status(target_, error)))
        return;
    previous_ = ScratchName(target_, "old");
    fs::create_hard_link(target_, previous_, error);
    if (error)
        previous_.clear();
}

UnchangedOutput::~UnchangedOutput() {
    std::error_code error;
    if (!previous_.empty())
        fs::remove(previous_, error);
}

void UnchangedOutput::Settle() {
    if (previous_.empty())
        return;
    std::optional<std::vector<std::uint8_t>> const now = ReadWholeFile(target_.string());
    std::optional<std::vector<std::uint8_t>> const before = ReadWholeFile(previous_.string());
    std::error_code error;
    if (now && before && *now == *before)
        fs::rename(previous_, target_, error);
    // Gone once renamed; still there when the bytes differ or both names were one file.
    fs::remove(previous_, error);
    previous_.clear();
}

void CheckHolderText(std::string const &holder) {
    if (holder.size() > kMaxHolder)
        throw Failure("the holder text has " + std::to_string(holder.size()) +
                      " bytes, more than the " + std::to_string(kMaxHolder) + " a holder may have");
}

void SetWrittenHolder(std::string const &bin, std::string const &holder) {
    CheckHolderText(holder);
    std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(bin);
    std::string text;
    std::size_t markerStart = 0;
    if (bytes && bytes->size() >= kBinHeader + kMarkerExtra && bytes->back() == 0) {
        std::size_t const end = bytes->size() - kMarkerExtra;
        std::size_t const length = (*bytes)[end] | (*bytes)[end + 1] << 8;
        if (length <= end - kBinHeader) {
            markerStart = end - length;
            text.assign(bytes->begin() + static_cast<std::ptrdiff_t>(markerStart),
                        bytes->begin() + static_cast<std::ptrdiff_t>(end));
        }
    }
    std::size_t const rest = text.rfind(kHolderRest);
    if (!text.starts_with(kHolderPrefix) || rest == std::string::npos)
        throw Failure("cannot set the holder of '" + bin +
                      "': it does not end with the holder "
                      "marker of a fresh BIN");
    std::string const marker = std::string(kHolderPrefix) + holder + text.substr(rest);
    bytes->resize(markerStart);
    bytes->insert(bytes->end(), marker.begin(), marker.end());
    bytes->push_back(static_cast<std::uint8_t>(marker.size() & 0xFF));
    bytes->push_back(static_cast<std::uint8_t>(marker.size() >> 8));
    bytes->push_back(0);
    ReplaceFile(bin, *bytes);
}

fs::path HeaderPathFor(std::string const &folder, std::string const &bin) {
    std::string name = bin.substr(0, std::min(bin.size(), kMaxBinPath));
    if (std::size_t const dot = name.rfind('.'); dot != std::string::npos)
        name.resize(dot);
    if (std::size_t const separator = name.find_last_of(kSeparators);
        separator != std::string::npos)
        name.erase(0, separator + 1);
    std::string path = folder;
    if (path.empty() || kSeparators.find(path.back()) == std::string_view::npos)
        path += kPreferredSeparator;
    return fs::path(path + name + ".h");
}

void ExportToStandardOutput(std::string const &bin, bool wide) {
    std::error_code error;
    fs::path const folder = fs::temp_directory_path(error);
    if (error)
        throw Failure("cannot export '" + bin + "' to standard output: no temporary folder");
    fs::path const scratch = ScratchName(folder / "export.txt", "stdout");
    RIL_LONG const result =
        Ril_ExportResFromBinToTxt(scratch.string().c_str(), wide ? 1 : 0, bin.c_str());
    std::optional<std::vector<std::uint8_t>> const text =
        result == 0 ? ReadWholeFile(scratch.string()) : std::nullopt;
    fs::remove(scratch, error);
    if (result != 0)
        throw Failure("cannot export '" + bin + "' to standard output", result);
    if (!text)
        throw Failure("cannot read back the export of '" + bin + "'");
    WriteOut(std::string_view(reinterpret_cast<char const *>(text->data()), text->size()));
    FinishOutput();
}

} // namespace rilcli
