// The exported table handles: a BIN or an image opened as an immutable table, fallback
// chains, the chain of a user's languages, and lookups that only read memory (no lock).
#include "Ril4410.h"
#include "api/library_state.h"
#include "core/allocate.h"
#include "core/error_report.h"
#include "core/export_guard.h"
#include "platform/path.h"
#include "platform/system_error.h"
#include "platform/user_languages.h"
#include "table/prepared_table.h"
#include "text/language_list.h"

#include <memory>
#include <string>

struct RIL_TABLE {
    RIL_TABLE const *fallback = nullptr; // beside the table's own lookup fields
    ril::table::PreparedTable table;
    std::unique_ptr<RIL_TABLE> behind; // the rest of the chain this table opened
    std::string source;                // the path opened, empty for an image
};

namespace ril::api {
namespace {

char const kImageName[] = "<memory>";

void ReportOpenFailure(char const *name, table::TableOpenFailure failure, int systemError) {
    core::NoticeSite const site{.file = name, .systemError = systemError};
    switch (failure) {
    case table::TableOpenFailure::CannotOpen:
        core::ErrorBox(core::catalogue::kCannotOpen, site, name);
        break;
    case table::TableOpenFailure::NoMemory:
        core::ErrorBox(core::catalogue::kCannotAllocateLoad, site, name);
        break;
    case table::TableOpenFailure::ReadFailed:
    case table::TableOpenFailure::NotABin:
        core::ErrorBox(core::catalogue::kCannotRead, site, name);
        break;
    case table::TableOpenFailure::None:
        break;
    }
}

enum class Missing { Report, Skip };

// Opens the BIN at `path`; null on failure, reported unless the file does not exist and
// `missing` says to skip it quietly.
std::unique_ptr<RIL_TABLE> OpenFile(char const *path, Missing missing = Missing::Report) {
    std::unique_ptr<RIL_TABLE> table = core::NewObject<RIL_TABLE>();
    table::TableOpenFailure failure = table::TableOpenFailure::NoMemory;
    int systemError = 0;
    if (table && table->table.Open(path, failure, systemError) == core::kSOk) {
        table->source = path;
        return table;
    }
    bool const absent =
        failure == table::TableOpenFailure::CannotOpen && platform::IsNoSuchFile(systemError);
    if (!(absent && missing == Missing::Skip))
        ReportOpenFailure(path, failure, systemError);
    return nullptr;
}

// Records the open's result as the last error and hands the table to the caller.
RIL_TABLE *Opened(std::unique_ptr<RIL_TABLE> table) {
    SetLastErrorCode(table ? core::kSOk : core::kEFail);
    return table.release();
}

// The chain of <folder>/<name>.<lang>.bin for each language that has a file, then
// <folder>/<name>.bin; null when the last cannot be opened.
std::unique_ptr<RIL_TABLE> OpenLanguageChain(char const *folder, char const *name,
                                             std::string const &languages) {
    std::unique_ptr<RIL_TABLE> base =
        OpenFile(platform::JoinPath(folder, std::string(name) + ".bin").c_str());
    if (!base)
        return nullptr;
    std::unique_ptr<RIL_TABLE> head = std::move(base);
    std::vector<std::string> const expanded = text::ExpandLanguages(languages);
    // Built from the back: each table falls back to, and owns, the one behind it.
    for (auto language = expanded.rbegin(); language != expanded.rend(); ++language) {
        std::string const file = std::string(name) + "." + *language + ".bin";
        std::unique_ptr<RIL_TABLE> table =
            OpenFile(platform::JoinPath(folder, file).c_str(), Missing::Skip);
        if (!table)
            continue;
        table->fallback = head.get();
        table->behind = std::move(head);
        head = std::move(table);
    }
    return head;
}

template <typename Char> using TextOf = Char const *(table::PreparedTable::*)(std::uint32_t) const;

// The text of `id` from the first table of the chain that holds it, from a sparse `table`
// on: its sorted index is searched, then the chain goes on.
template <typename Char, TextOf<Char> DenseText, TextOf<Char> SparseText>
[[gnu::noinline]] Char const *ChainText(RIL_TABLE const *table, std::uint32_t id) noexcept {
    return core::Guarded<Char const *>(nullptr, [&]() -> Char const * {
        for (; table != nullptr; table = table->fallback) {
            if (Char const *text = (table->table.*DenseText)(id))
                return text;
            if (Char const *text = (table->table.*SparseText)(id))
                return text;
        }
        return nullptr;
    });
}

// The lookups walk the chain reading dense tables inline, which only reads memory; the first
// sparse table hands the rest of the walk to ChainText.
template <typename Char, TextOf<Char> DenseText, TextOf<Char> SparseText>
Char const *LookupText(RIL_TABLE const *table, std::uint32_t id) {
    for (; table != nullptr; table = table->fallback) {
        if (Char const *text = (table->table.*DenseText)(id)) [[likely]]
            return text;
        if (table->table.IsSparse()) [[unlikely]]
            return ChainText<Char, DenseText, SparseText>(table, id);
    }
    return nullptr;
}

// The records of the chain, looked up as the texts are.
void const *ChainRecord(RIL_TABLE const *table, std::uint32_t id) noexcept {
    return core::Guarded<void const *>(nullptr, [&]() -> void const * {
        for (; table != nullptr; table = table->fallback)
            if (void const *record = table->table.Record(id))
                return record;
        return nullptr;
    });
}

} // namespace
} // namespace ril::api

using namespace ril;
using namespace ril::api;

extern "C" RIL_API RIL_TABLE *Ril_OpenTable(char const *binPath) {
    return core::Guarded<RIL_TABLE *>(nullptr, [&]() -> RIL_TABLE * {
        if (binPath == nullptr || binPath[0] == '\0') {
            SetLastErrorCode(core::kErrArgument);
            return nullptr;
        }
        return Opened(OpenFile(binPath));
    });
}

extern "C" RIL_API RIL_TABLE *Ril_OpenTableFromMemory(void const *bytes, RIL_ULONG size) {
    return core::Guarded<RIL_TABLE *>(nullptr, [&]() -> RIL_TABLE * {
        if (bytes == nullptr) {
            SetLastErrorCode(core::kErrArgument);
            return nullptr;
        }
        std::unique_ptr<RIL_TABLE> table = core::NewObject<RIL_TABLE>();
        table::TableOpenFailure failure = table::TableOpenFailure::NoMemory;
        if (!table || table->table.OpenImage(bytes, size, failure) != core::kSOk) {
            ReportOpenFailure(kImageName, failure, 0);
            table.reset();
        }
        return Opened(std::move(table));
    });
}

extern "C" RIL_API void Ril_CloseTable(RIL_TABLE *table) {
    core::GuardedVoid([&] { delete table; });
}

extern "C" RIL_API RIL_LONG Ril_TableSetFallback(RIL_TABLE *table, RIL_TABLE const *fallback) {
    return core::Guarded<RIL_LONG>(core::kEFail, [&]() -> RIL_LONG {
        if (table == nullptr)
            return core::kErrArgument;
        for (RIL_TABLE const *link = fallback; link != nullptr; link = link->fallback)
            if (link == table)
                return core::kEFail;
        table->fallback = fallback;
        return core::kSOk;
    });
}

extern "C" RIL_API RIL_TABLE *Ril_OpenTableForLanguages(char const *folder, char const *name,
                                                        char const *languages) {
    return core::Guarded<RIL_TABLE *>(nullptr, [&]() -> RIL_TABLE * {
        if (folder == nullptr || name == nullptr || name[0] == '\0') {
            SetLastErrorCode(core::kErrArgument);
            return nullptr;
        }
        std::string const list = languages != nullptr ? languages : platform::UserLanguages();
        return Opened(OpenLanguageChain(folder, name, list));
    });
}

// The lookups only read tables that no longer change, so they take no lock.

extern "C" RIL_API char const *Ril_TableGetStringA(RIL_TABLE const *table, RIL_ULONG id) {
    return LookupText<char, &table::PreparedTable::DenseNarrowText,
                      &table::PreparedTable::SparseNarrowText>(table, id);
}

extern "C" RIL_API RIL_WCHAR const *Ril_TableGetStringW(RIL_TABLE const *table, RIL_ULONG id) {
    return reinterpret_cast<RIL_WCHAR const *>(
        LookupText<std::uint16_t, &table::PreparedTable::DenseWideText,
                   &table::PreparedTable::SparseWideText>(table, id));
}

extern "C" RIL_API void const *Ril_TableGetData(RIL_TABLE const *table, RIL_ULONG id) {
    return ChainRecord(table, id);
}

extern "C" RIL_API RIL_ULONG Ril_TableGetNumItem(RIL_TABLE const *table) {
    return core::Guarded<RIL_ULONG>(
        0, [&]() -> RIL_ULONG { return table != nullptr ? table->table.Count() : 0; });
}

extern "C" RIL_API char const *Ril_TableGetSource(RIL_TABLE const *table, RIL_ULONG id) {
    return core::Guarded<char const *>(nullptr, [&]() -> char const * {
        for (; table != nullptr; table = table->fallback)
            if (table->table.Record(id) != nullptr)
                return table->source.c_str();
        return nullptr;
    });
}
