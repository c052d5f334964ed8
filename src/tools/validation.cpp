// Validation of an item list before it becomes a BIN: every bad macro character, repeated
// macro and repeated ID is reported; repeats are removed and the list ends sorted by ID.
#include "tools/validation.h"
#include "core/error_report.h"
#include "core/messages.h"
#include "platform/memory.h"

#include <algorithm>
#include <cstring>
#include <memory_resource>
#include <utility>
#include <vector>

namespace ril::tools {
namespace {

// The check's tables run to megabytes for long lists: large ones come in huge pages.
template <typename T> using Vector = std::pmr::vector<T>;
using platform::LargeBlocks;

bool IsMacroCharacter(unsigned char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_';
}

// Where an item came from, for its notices.
// `source` names the text file and its places.
core::NoticeSite SiteOf(items::RilStrRes const &item, core::NoticeSite const &source) {
    core::NoticeSite site = source;
    site.offset = item.SourceOffset;
    return site;
}

// A repeat's place: the later of the two items in the file, and the earlier as the first
// definition (the sorts may have put the later one first).
core::NoticeSite RepeatSite(items::RilStrRes const &kept, items::RilStrRes const &candidate,
                            core::NoticeSite const &source) {
    core::NoticeSite site = SiteOf(candidate, source);
    site.firstOffset = kept.SourceOffset;
    if (kept.SourceOffset >= 0 && candidate.SourceOffset >= 0 &&
        kept.SourceOffset > candidate.SourceOffset)
        std::swap(site.offset, site.firstOffset);
    return site;
}

// Reports an empty macro or each illegal byte of the macro; false when anything was wrong.
bool CheckMacroCharacters(items::RilStrRes const &item, char const *logPath,
                          core::NoticeSite const &source) {
    if (item.Macro()[0] == '\0') {
        core::LogError(logPath, core::catalogue::kEmptyMacro, SiteOf(item, source), item.ID,
                       static_cast<unsigned>(items::kMacroField));
        return false;
    }
    bool legal = true;
    for (std::size_t i = 0; i < items::kMacroField && item.Macro()[i] != '\0'; ++i) {
        if (IsMacroCharacter(static_cast<unsigned char>(item.Macro()[i])))
            continue;
        char const offending[2] = {item.Macro()[i], '\0'};
        core::LogError(logPath, core::catalogue::kIllegalMacroCharacter, SiteOf(item, source),
                       item.ID, item.Macro(), offending);
        legal = false;
    }
    return legal;
}

// Walks a sorted list keeping the first of each run of equal items; every later one is
// reported against it and removed. Returns whether anything was removed.
template <typename Same>
bool RemoveRepeats(items::CRilTxtLoader::Items &items, char const *logPath,
                   core::NoticeSite const &source, core::msg::Message const &message, Same same) {
    bool removed = false;
    auto kept = items.begin();
    for (auto candidate = std::next(kept); candidate != items.end();) {
        if (same(**kept, **candidate)) {
            core::LogError(logPath, message, RepeatSite(**kept, **candidate, source), (*kept)->ID,
                           (*kept)->Macro(), (*candidate)->ID, (*candidate)->Macro());
            candidate = items.erase(candidate);
            removed = true;
        } else {
            kept = candidate++;
        }
    }
    return removed;
}

// Repeated macros, for the quick check below: open addressing over compact slots (a hash
// tag and an index into the macros), so that a probe compares strings only when the tags
// match and the table stays small enough for the caches.
class SeenMacros {
  public:
    struct Macro {
        char const *text;
        std::uint64_t hash; // Hash(text)
    };

    // True when a macro of the list was seen before it, given the macros' hashes (Hash), so
    // that the slot of a macro a few places ahead can be fetched while this one is placed.
    static bool AnyRepeated(Vector<Macro> const &macros) {
        SeenMacros seen(macros.size());
        constexpr std::size_t kAhead = 8;
        for (std::size_t i = 0; i < macros.size(); ++i) {
            if (i + kAhead < macros.size())
                seen.Prefetch(macros[i + kAhead].hash);
            if (!seen.Add(macros, i))
                return true;
        }
        return false;
    }

  private:
    explicit SeenMacros(std::size_t count) {
        std::size_t size = 16;
        while (size < count * 2)
            size *= 2;
        slots_.assign(size, Slot{});
        mask_ = size - 1;
    }

    void Prefetch(std::uint64_t hash) const {
#if defined(__GNUC__)
        __builtin_prefetch(&slots_[static_cast<std::size_t>(hash) & mask_]);
#else
        (void)hash;
#endif
    }

    // False when macros[index] equals a macro placed before.
    bool Add(Vector<Macro> const &macros, std::size_t index) {
        std::uint64_t const hash = macros[index].hash;
        auto const tag = static_cast<std::uint32_t>(hash >> 32);
        for (std::size_t i = static_cast<std::size_t>(hash) & mask_;; i = (i + 1) & mask_) {
            Slot &slot = slots_[i];
            if (slot.index == 0) {
                slot = Slot{tag, static_cast<std::uint32_t>(index + 1)};
                return true;
            }
            if (slot.tag == tag &&
                std::strcmp(macros[slot.index - 1].text, macros[index].text) == 0)
                return false;
        }
    }

  public:
    // Eight bytes at a time; the bytes behind the terminator are not part of the key.
    static std::uint64_t Hash(char const *text) {
        std::size_t length = std::strlen(text);
        std::uint64_t hash = length * 0x9E3779B97F4A7C15ull;
        for (std::size_t at = 0; at < length; at += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, text + at, std::min<std::size_t>(8, length - at));
            hash = (hash ^ word) * 0xBF58476D1CE4E5B9ull;
            hash ^= hash >> 31;
        }
        return hash * 0x94D049BB133111EBull ^ hash >> 29;
    }

  private:
    struct Slot {
        std::uint32_t tag = 0;
        std::uint32_t index = 0; // one past the macro's place in the list; 0 when empty
    };
    Vector<Slot> slots_{LargeBlocks()};
    std::size_t mask_ = 0;
};

// True when an ID of `outOfOrder` (IDs below the run's top at the time they came) repeats
// another of them or an ID of `run`, which ascends strictly.
bool OutOfOrderIdsRepeat(Vector<std::int32_t> const &run, std::vector<std::int32_t> outOfOrder) {
    std::sort(outOfOrder.begin(), outOfOrder.end());
    if (std::adjacent_find(outOfOrder.begin(), outOfOrder.end()) != outOfOrder.end())
        return true;
    for (std::int32_t id : outOfOrder)
        if (std::binary_search(run.begin(), run.end(), id))
            return true;
    return false;
}

bool BySignedId(items::CRilTxtLoader::ItemHandle const &a,
                items::CRilTxtLoader::ItemHandle const &b) {
    return static_cast<std::int32_t>(a->ID) < static_cast<std::int32_t>(b->ID);
}

// Sorts a list whose IDs are all different by signed ID, given the items that broke its
// ascending run (in list order). Lists from text files are nearly sorted already (only items
// given new IDs stand out): those few are moved aside, sorted and merged back. With unique
// keys every correct sort gives this same order.
void SortUniqueIds(items::CRilTxtLoader::Items &items,
                   std::vector<items::CRilTxtLoader::Items::iterator> const &outOfOrder) {
    // Splicing and merging need both lists on the same arena.
    items::CRilTxtLoader::Items aside(items.get_allocator());
    for (auto it : outOfOrder)
        aside.splice(aside.end(), items, it);
    aside.sort(BySignedId);
    items.merge(aside, BySignedId);
}

} // namespace

bool IsMacroName(char const *macro) {
    if (*macro == '\0')
        return false;
    for (; *macro != '\0'; ++macro)
        if (!IsMacroCharacter(static_cast<unsigned char>(*macro)))
            return false;
    return true;
}

bool Validate(items::CRilTxtLoader &list, char const *logPath, char const *sourcePath,
              core::PlaceFinder const *places) {
    const core::NoticeSite source{.file = sourcePath, .places = places};
    items::CRilTxtLoader::Items &items = list.List();
    if (items.empty())
        return true;
    // One pass checks the characters, collects the macros and notes the items that break
    // the ascending ID order: without repeated macros or IDs the outcome of the two stable
    // sorts below is simply the list in ascending ID order. IDs repeat only within the
    // ascending run (as neighbours) or through the items that broke it. The macros are
    // hashed here, while their items are in the cache.
    bool valid = true;
    bool repeats = false;
    // A long list's macros take huge pages (a table of at least half of one rounded up to a
    // whole one), not some four hundred page faults.
    Vector<SeenMacros::Macro> macros(LargeBlocks());
    constexpr std::size_t kHugeTable = platform::kLargeBlockThreshold / sizeof(SeenMacros::Macro);
    macros.reserve(items.size() >= kHugeTable / 2 ? std::max(items.size(), kHugeTable)
                                                  : items.size());
    std::vector<items::CRilTxtLoader::Items::iterator> outOfOrder;
    Vector<std::int32_t> runIds(LargeBlocks());
    std::vector<std::int32_t> outOfOrderIds;
    runIds.reserve(items.size());
    for (auto it = items.begin(); it != items.end(); ++it) {
        items::RilStrRes const &item = **it;
        valid = CheckMacroCharacters(item, logPath, source) && valid;
        if (repeats)
            continue;
        auto const id = static_cast<std::int32_t>(item.ID);
        if (item.Macro()[0] != '\0') {
            macros.push_back({item.Macro(), SeenMacros::Hash(item.Macro())});
        }
        repeats = !runIds.empty() && id == runIds.back();
        if (!runIds.empty() && id < runIds.back()) {
            outOfOrder.push_back(it);
            outOfOrderIds.push_back(id);
        } else {
            runIds.push_back(id);
        }
    }
    if (items.size() < 2)
        return valid;
    if (!repeats && !SeenMacros::AnyRepeated(macros) &&
        !OutOfOrderIdsRepeat(runIds, std::move(outOfOrderIds))) {
        SortUniqueIds(items, outOfOrder);
        return valid;
    }

    // std::list::sort is a stable merge sort that relinks nodes in place.
    items.sort(
        [](auto const &a, auto const &b) { return std::strcmp(a->Macro(), b->Macro()) < 0; });
    bool repeatedMacros =
        RemoveRepeats(items, logPath, source, core::catalogue::kDuplicateMacro,
                      [](items::RilStrRes const &a, items::RilStrRes const &b) {
                          return a.Macro()[0] != '\0' && std::strcmp(a.Macro(), b.Macro()) == 0;
                      });
    items.sort(BySignedId);
    bool repeatedIds = RemoveRepeats(
        items, logPath, source, core::catalogue::kDuplicateId,
        [](items::RilStrRes const &a, items::RilStrRes const &b) { return a.ID == b.ID; });
    return valid && !repeatedMacros && !repeatedIds;
}

} // namespace ril::tools
