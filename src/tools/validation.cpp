// Validation of an item list before it becomes a BIN: every bad macro character, repeated
// macro and repeated ID is reported; repeats are removed and the list ends sorted by ID.
#include "table/error_report.h"
#include "text/ril_txt_loader.h"
#include "util/messages.h"

#include <cstring>
#include <vector>

namespace ril {
namespace {

bool IsMacroCharacter(unsigned char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_';
}

// Reports an empty macro or each illegal byte of the macro; false when anything was wrong.
bool CheckMacroCharacters(const RilStrRes &item, const char *logPath) {
    if (item.Macro[0] == '\0') {
        LogError(logPath, msg::kEmptyMacro, item.ID, static_cast<unsigned>(kMacroField));
        return false;
    }
    bool legal = true;
    for (std::size_t i = 0; i < kMacroField && item.Macro[i] != '\0'; ++i) {
        if (IsMacroCharacter(static_cast<unsigned char>(item.Macro[i])))
            continue;
        const char offending[2] = {item.Macro[i], '\0'};
        LogError(logPath, msg::kIllegalMacroCharacter, item.ID, item.Macro, offending);
        legal = false;
    }
    return legal;
}

// Walks a sorted list keeping the first of each run of equal items; every later one is
// reported against it and removed. Returns whether anything was removed.
template <typename Same>
bool RemoveRepeats(CRilTxtLoader::Items &items, const char *logPath, const char *message,
                   Same same) {
    bool removed = false;
    auto kept = items.begin();
    for (auto candidate = std::next(kept); candidate != items.end();) {
        if (same(**kept, **candidate)) {
            LogError(logPath, message, (*kept)->ID, (*kept)->Macro, (*candidate)->ID,
                     (*candidate)->Macro);
            candidate = items.erase(candidate);
            removed = true;
        } else {
            kept = candidate++;
        }
    }
    return removed;
}

// Open-addressing sets for the quick check below; sized for `count` keys. Macros are kept
// with their hashes, so that a probe compares strings only when the hashes match.
class SeenKeys {
  public:
    explicit SeenKeys(std::size_t count) {
        std::size_t size = 16;
        while (size < count * 2)
            size *= 2;
        macros_.assign(size, MacroSlot{});
        ids_.assign(size, kEmpty);
        mask_ = size - 1;
    }

    // False when the macro was seen before.
    bool AddMacro(const char *macro) {
        const std::uint64_t hash = Hash(macro);
        for (std::size_t i = static_cast<std::size_t>(hash) & mask_;; i = (i + 1) & mask_) {
            MacroSlot &slot = macros_[i];
            if (slot.macro == nullptr) {
                slot = MacroSlot{hash, macro};
                return true;
            }
            if (slot.hash == hash && std::strcmp(slot.macro, macro) == 0)
                return false;
        }
    }
    // False when the ID was seen before.
    bool AddId(std::uint32_t id) {
        std::uint64_t key = id;
        for (std::size_t i = (key * 0x9E3779B97F4A7C15ull >> 20) & mask_;; i = (i + 1) & mask_) {
            if (ids_[i] == kEmpty) {
                ids_[i] = key;
                return true;
            }
            if (ids_[i] == key)
                return false;
        }
    }

  private:
    struct MacroSlot {
        std::uint64_t hash = 0;
        const char *macro = nullptr;
    };
    static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};
    static std::uint64_t Hash(const char *text) {
        std::uint64_t hash = 0xCBF29CE484222325ull;
        for (; *text != '\0'; ++text)
            hash = (hash ^ static_cast<unsigned char>(*text)) * 0x100000001B3ull;
        return hash ^ hash >> 29;
    }
    std::vector<MacroSlot> macros_;
    std::vector<std::uint64_t> ids_;
    std::size_t mask_ = 0;
};

bool BySignedId(const CRilTxtLoader::ItemHandle &a, const CRilTxtLoader::ItemHandle &b) {
    return static_cast<std::int32_t>(a->ID) < static_cast<std::int32_t>(b->ID);
}

// Sorts a list whose IDs are all different by signed ID, given the items that broke its
// ascending run (in list order). Lists from text files are nearly sorted already (only items
// given new IDs stand out): those few are moved aside, sorted and merged back. With unique
// keys every correct sort gives this same order.
void SortUniqueIds(CRilTxtLoader::Items &items,
                   const std::vector<CRilTxtLoader::Items::iterator> &outOfOrder) {
    // Splicing and merging need both lists on the same arena.
    CRilTxtLoader::Items aside(items.get_allocator());
    for (auto it : outOfOrder)
        aside.splice(aside.end(), items, it);
    aside.sort(BySignedId);
    items.merge(aside, BySignedId);
}

} // namespace

bool CRilTxtLoader::Validate(const char *logPath) {
    if (items_.empty())
        return true;
    // One pass checks the characters, looks for repeats and notes the items that break the
    // ascending ID order: without repeated macros or IDs the outcome of the two stable sorts
    // below is simply the list in ascending ID order.
    bool valid = true;
    bool repeats = false;
    SeenKeys seen(items_.size());
    std::vector<Items::iterator> outOfOrder;
    const RilStrRes *highest = nullptr;
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        const RilStrRes &item = **it;
        valid = CheckMacroCharacters(item, logPath) && valid;
        if (repeats)
            continue;
        repeats = (item.Macro[0] != '\0' && !seen.AddMacro(item.Macro)) || !seen.AddId(item.ID);
        if (highest != nullptr &&
            static_cast<std::int32_t>(item.ID) < static_cast<std::int32_t>(highest->ID))
            outOfOrder.push_back(it);
        else
            highest = &item;
    }
    if (items_.size() < 2)
        return valid;
    if (!repeats) {
        SortUniqueIds(items_, outOfOrder);
        return valid;
    }

    // std::list::sort is a stable merge sort that relinks nodes in place.
    items_.sort([](const auto &a, const auto &b) { return std::strcmp(a->Macro, b->Macro) < 0; });
    bool repeatedMacros = RemoveRepeats(
        items_, logPath, msg::kDuplicateMacro, [](const RilStrRes &a, const RilStrRes &b) {
            return a.Macro[0] != '\0' && std::strcmp(a.Macro, b.Macro) == 0;
        });
    items_.sort(BySignedId);
    bool repeatedIds =
        RemoveRepeats(items_, logPath, msg::kDuplicateId,
                      [](const RilStrRes &a, const RilStrRes &b) { return a.ID == b.ID; });
    return valid && !repeatedMacros && !repeatedIds;
}

} // namespace ril
