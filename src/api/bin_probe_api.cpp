// The exported BIN inspection and record split, over the table layer's structural check; and
// the reason behind a failed load for the structured notice handler.
#include "api/bin_probe_api.h"

#include "Ril4410.h"
#include "core/export_guard.h"
#include "core/limits.h"
#include "core/notice.h"
#include "core/result_codes.h"
#include "core/safe_text.h"
#include "platform/file.h"
#include "platform/system_error.h"
#include "table/bin_probe.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

namespace ril::api {
namespace {

// The file's bytes, or the message that says why they cannot be had.
struct Image {
    platform::FileContent content;
    core::msg::Message const *failure = nullptr;
    int systemError = 0;
};

// A large BIN goes into a large block: an inspection reads it once.
Image ReadImage(char const *path) {
    Image image;
    switch (platform::ReadWholeFile(path, image.content, nullptr, &image.systemError,
                                    platform::ReadBuffer::LargeBlock)) {
    case platform::ReadStatus::Ok:
        break;
    case platform::ReadStatus::CannotOpen:
        image.failure = &core::catalogue::kCannotOpen;
        break;
    case platform::ReadStatus::NoMemory:
        image.failure = &core::catalogue::kCannotAllocateLoad;
        break;
    case platform::ReadStatus::ReadFailed:
        // A folder opens on some systems and then fails to read: it cannot be opened as a file.
        image.failure = image.systemError == EISDIR ? &core::catalogue::kCannotOpen
                                                    : &core::catalogue::kCannotRead;
        break;
    }
    return image;
}

std::span<std::uint8_t const> Bytes(platform::FileContent const &content) {
    return std::span<std::uint8_t const>(content.bytes.get(), content.size);
}

// The message in the chosen language, the system's reason behind it in place of a closing
// " !".
std::string Reason(core::msg::Message const &message, core::NoticeArg const *args,
                   std::size_t count, std::string const &systemReason) {
    std::string text = core::RenderMessage(message, core::CurrentNoticeLanguage(), args, count);
    if (systemReason.empty())
        return text;
    while (!text.empty() && (text.back() == '!' || text.back() == ' '))
        text.pop_back();
    return text + ": " + systemReason;
}

void FillRefusal(RIL_BIN_INFO &info, int verdict, core::msg::Message const &message,
                 core::NoticeArg const *args, std::size_t count, int systemError) {
    std::string const systemReason = systemError != 0 ? platform::SystemErrorText(systemError) : "";
    info.verdict = verdict;
    info.messageId = message.id;
    info.systemError = systemError;
    core::SafeCopyA(info.systemReason, sizeof info.systemReason, systemReason.c_str());
    core::SafeCopyA(info.text, sizeof info.text,
                    Reason(message, args, count, systemReason).c_str());
}

bool ValidRequest(RIL_BIN_INFO const *info, RIL_ULONG const *ids, RIL_ULONG idCapacity) {
    return info != nullptr && info->structSize == sizeof(RIL_BIN_INFO) &&
           (ids != nullptr || idCapacity == 0);
}

void Clear(RIL_BIN_INFO &info) {
    RIL_ULONG const size = info.structSize;
    info = RIL_BIN_INFO{};
    info.structSize = size;
}

// Fills the caller's view of an inspection of bytes that could be read.
core::HResult Answer(table::BinInspection const &inspection, RIL_BIN_INFO &info, RIL_ULONG *ids,
                     RIL_ULONG idCapacity) {
    info.holderFlag = inspection.flag;
    info.maxId = inspection.maxId;
    info.count = inspection.count;
    if (inspection.refusal != nullptr) {
        FillRefusal(info, RIL_BIN_MALFORMED, *inspection.refusal, inspection.args,
                    inspection.argCount, 0);
        return core::kEFail;
    }
    info.verdict = RIL_BIN_OK;
    info.flavour = static_cast<int>(inspection.flavour);
    info.idCount = static_cast<RIL_ULONG>(inspection.ids.size());
    info.undecodable = inspection.undecodable;
    std::size_t const copied =
        inspection.ids.size() < idCapacity ? inspection.ids.size() : std::size_t{idCapacity};
    if (copied > 0)
        std::memcpy(ids, inspection.ids.data(), copied * sizeof *ids);
    return copied == inspection.ids.size() ? core::kSOk : core::kSFalse;
}

} // namespace

void ReportFailedLoad(char const *path) {
    if (path == nullptr || path[0] == '\0' || !core::HasNoticeHandler())
        return;
    core::NoticeArg const pathArg = core::MakeNoticeArg(path);
    if (std::strlen(path) >= core::kPathSize) {
        core::InformPartsHandler(core::catalogue::kCannotOpen, core::NoticeSite{.file = path},
                                 &pathArg, 1);
        return;
    }
    Image const image = ReadImage(path);
    if (image.failure != nullptr) {
        core::InformPartsHandler(*image.failure,
                                 core::NoticeSite{.file = path, .systemError = image.systemError},
                                 &pathArg, 1);
        return;
    }
    table::BinInspection inspection;
    table::InspectBinImage(Bytes(image.content), 0, inspection);
    if (inspection.refusal != nullptr)
        core::InformPartsHandler(*inspection.refusal, core::NoticeSite{.file = path},
                                 inspection.args, inspection.argCount);
    else
        core::InformPartsHandler(core::catalogue::kCannotAllocateLoad,
                                 core::NoticeSite{.file = path}, &pathArg, 1);
}

core::HResult InspectBinFile(char const *path, RIL_BIN_INFO &info, RIL_ULONG *ids,
                             RIL_ULONG idCapacity, platform::FileContent &content) {
    Clear(info);
    Image image = ReadImage(path);
    if (image.failure != nullptr) {
        core::NoticeArg const pathArg = core::MakeNoticeArg(path);
        FillRefusal(info, RIL_BIN_UNREADABLE, *image.failure, &pathArg, 1, image.systemError);
        return core::kEFail;
    }
    content = std::move(image.content);
    table::BinInspection inspection;
    table::InspectBinImage(Bytes(content), 0, inspection);
    return Answer(inspection, info, ids, idCapacity);
}

} // namespace ril::api

using namespace ril;
using namespace ril::api;

extern "C" RIL_API RIL_LONG Ril_InspectBin(char const *path, RIL_BIN_INFO *info, RIL_ULONG *ids,
                                           RIL_ULONG idCapacity) {
    return core::Guarded<RIL_LONG>(core::kEFail, [&]() -> RIL_LONG {
        if (path == nullptr || !ValidRequest(info, ids, idCapacity))
            return core::kErrArgument;
        platform::FileContent content;
        return InspectBinFile(path, *info, ids, idCapacity, content);
    });
}

extern "C" RIL_API RIL_LONG Ril_InspectBinImage(void const *image, RIL_ULONG size,
                                                RIL_BIN_INFO *info, RIL_ULONG *ids,
                                                RIL_ULONG idCapacity) {
    return core::Guarded<RIL_LONG>(core::kEFail, [&]() -> RIL_LONG {
        if (image == nullptr || !ValidRequest(info, ids, idCapacity))
            return core::kErrArgument;
        Clear(*info);
        table::BinInspection inspection;
        table::InspectBinImage(std::span(static_cast<std::uint8_t const *>(image), size), 0,
                               inspection);
        return Answer(inspection, *info, ids, idCapacity);
    });
}

extern "C" RIL_API RIL_LONG Ril_SplitRecord(void const *record, RIL_ULONG size, int wide,
                                            RIL_RECORD_PARTS *parts) {
    return core::Guarded<RIL_LONG>(core::kEFail, [&]() -> RIL_LONG {
        if (record == nullptr || parts == nullptr)
            return core::kErrArgument;
        table::RecordParts split;
        if (!table::SplitRecord(std::span(static_cast<std::uint8_t const *>(record), size),
                                wide != 0, split))
            return core::kEFail;
        parts->macro = reinterpret_cast<char const *>(split.macro);
        parts->macroLength = static_cast<RIL_ULONG>(split.macroLength);
        parts->text = split.text;
        parts->textSize = static_cast<RIL_ULONG>(split.textSize);
        return split.macroTerminated ? core::kSOk : core::kSFalse;
    });
}
