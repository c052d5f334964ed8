// Reading, changing, looking up and serializing the resource tree of a PE image.
#include "pe/pe_resources.h"

#include "core/byte_cursor.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_set>
#include <utility>

namespace ril::pe {
namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::uint64_t kTableHeaderSize = 16;
constexpr std::uint64_t kEntrySize = 8;
constexpr std::uint64_t kDataEntrySize = 16;
constexpr std::uint64_t kMaxTreeSize = 0x7FFFFFFF; // tree offsets keep bit 31 for flags

struct RawEntry {
    std::uint32_t nameField = 0;
    std::uint32_t dataField = 0;
};

// Compares a key with the integer ID `id`: every name sorts before every ID.
std::strong_ordering CompareWithId(ResourceKey const &key, std::uint32_t id) {
    if (key.isName)
        return std::strong_ordering::less;
    return key.id <=> id;
}

std::strong_ordering CompareLeaves(ResourceLeaf const &a, ResourceLeaf const &b) {
    if (auto order = a.type <=> b.type; order != 0)
        return order;
    if (auto order = a.name <=> b.name; order != 0)
        return order;
    return a.language <=> b.language;
}

bool LeafLess(ResourceLeaf const &a, ResourceLeaf const &b) {
    return CompareLeaves(a, b) < 0;
}

// Reads the tables, names and data entries of one resource directory window. Every table is
// read at most once, and the entries read in all stay within a budget that a well-formed tree
// (tables that do not overlap) never reaches, so malformed offsets cannot make it loop or blow up.
class TreeReader {
  public:
    TreeReader(Image const &image, std::span<const std::uint8_t> file,
               std::span<const std::uint8_t> window)
        : image_(image), file_(file), window_(window), budget_(window.size() / kEntrySize) {}

    bool Damaged() const { return damaged_; }
    std::vector<ResourceLeaf> TakeLeaves() { return std::move(leaves_); }

    void ReadTypes() {
        std::vector<RawEntry> types;
        if (!ReadTable(0, types))
            return;
        for (RawEntry const &entry : types) {
            std::optional<ResourceKey> type = Key(entry.nameField);
            if (!type || !IsTable(entry.dataField)) {
                damaged_ = true; // a leaf at the type level is malformed
                continue;
            }
            ReadNames(*type, entry.dataField & ~kHighBit);
        }
    }

  private:
    static bool IsTable(std::uint32_t dataField) { return (dataField & kHighBit) != 0; }

    void ReadNames(ResourceKey const &type, std::uint32_t offset) {
        std::vector<RawEntry> names;
        if (!ReadTable(offset, names))
            return;
        for (RawEntry const &entry : names) {
            std::optional<ResourceKey> name = Key(entry.nameField);
            if (!name || !IsTable(entry.dataField)) {
                damaged_ = true;
                continue;
            }
            ReadLanguages(type, *name, entry.dataField & ~kHighBit);
        }
    }

    void ReadLanguages(ResourceKey const &type, ResourceKey const &name, std::uint32_t offset) {
        std::vector<RawEntry> languages;
        if (!ReadTable(offset, languages))
            return;
        for (RawEntry const &entry : languages) {
            // Languages are IDs, and a third-level entry must be a leaf.
            if ((entry.nameField & kHighBit) != 0 || IsTable(entry.dataField)) {
                damaged_ = true;
                continue;
            }
            ReadLeaf(type, name, entry.nameField, entry.dataField);
        }
    }

    bool ReadTable(std::uint32_t offset, std::vector<RawEntry> &entries) {
        core::ByteReader window(window_);
        const std::uint64_t count =
            std::uint64_t{window.U16At(offset + std::uint64_t{12})} + window.U16At(offset + 14ull);
        if (!window.Ok() || !window.Has(offset + kTableHeaderSize, count * kEntrySize) ||
            count > budget_ || !visited_.insert(offset).second) {
            damaged_ = true;
            return false;
        }
        budget_ -= count;
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t at = offset + kTableHeaderSize + i * kEntrySize;
            entries.push_back({window.U32At(at), window.U32At(at + 4)});
        }
        return true;
    }

    // The ID, or the name string that bit 31 points at (the bit wins over the table's counts).
    std::optional<ResourceKey> Key(std::uint32_t nameField) {
        if ((nameField & kHighBit) == 0)
            return ResourceKey::Id(nameField);
        core::ByteReader window(window_);
        const std::uint64_t at = nameField & ~kHighBit;
        const std::uint64_t length = window.U16At(at);
        std::span<const std::uint8_t> units = window.SliceAt(at + 2, 2 * length);
        if (!window.Ok())
            return std::nullopt;
        std::u16string name(static_cast<std::size_t>(length), u'\0');
        for (std::size_t i = 0; i < name.size(); ++i)
            name[i] = static_cast<char16_t>(core::LoadU16(units.data() + 2 * i));
        return ResourceKey::Name(std::move(name));
    }

    void ReadLeaf(ResourceKey const &type, ResourceKey const &name, std::uint32_t language,
                  std::uint32_t offset) {
        core::ByteReader window(window_);
        const std::uint32_t rva = window.U32At(offset);
        const std::uint32_t size = window.U32At(offset + std::uint64_t{4});
        const std::uint32_t codePage = window.U32At(offset + std::uint64_t{8});
        if (!window.Ok() || !window.Has(offset, kDataEntrySize)) {
            damaged_ = true;
            return;
        }
        ResourceLeaf leaf{type, name, language, codePage, {}, true};
        if (size != 0) {
            std::optional<std::uint64_t> at = image_.FileOffsetOf(rva, size);
            if (at && core::InRange(*at, size, file_.size()))
                leaf.data = file_.subspan(static_cast<std::size_t>(*at), size);
            else
                leaf.readable = false;
        }
        damaged_ = damaged_ || !leaf.readable;
        leaves_.push_back(std::move(leaf));
    }

    Image const &image_;
    std::span<const std::uint8_t> file_;
    std::span<const std::uint8_t> window_;
    std::uint64_t budget_;
    std::unordered_set<std::uint32_t> visited_;
    std::vector<ResourceLeaf> leaves_;
    bool damaged_ = false;
};

// Where each type's names and each name's languages begin in a sorted leaf list; both lists
// end with a sentinel.
struct Grouping {
    std::vector<std::size_t> typeFirstName;
    std::vector<std::size_t> nameFirstLeaf;

    std::size_t TypeCount() const { return typeFirstName.size() - 1; }
    std::size_t NameCount() const { return nameFirstLeaf.size() - 1; }
};

Grouping Group(std::vector<ResourceLeaf> const &leaves) {
    Grouping grouping;
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        bool newType = i == 0 || leaves[i].type != leaves[i - 1].type;
        if (newType)
            grouping.typeFirstName.push_back(grouping.nameFirstLeaf.size());
        if (newType || leaves[i].name != leaves[i - 1].name)
            grouping.nameFirstLeaf.push_back(i);
    }
    grouping.typeFirstName.push_back(grouping.nameFirstLeaf.size());
    grouping.nameFirstLeaf.push_back(leaves.size());
    return grouping;
}

// Offsets of every part of the serialized tree.
struct Layout {
    Grouping groups;
    std::vector<std::uint64_t> nameTables;     // per type
    std::vector<std::uint64_t> languageTables; // per name
    std::vector<std::uint64_t> typeStrings;    // per type; meaningful for named types
    std::vector<std::uint64_t> nameStrings;    // per name; meaningful for named names
    std::uint64_t dataEntries = 0;
    std::vector<std::uint64_t> blobs; // per leaf
    std::uint64_t size = 0;
};

std::uint64_t TableSize(std::size_t entries) {
    return kTableHeaderSize + kEntrySize * entries;
}

std::uint64_t StringSize(ResourceKey const &key) {
    return key.isName ? 2 + 2 * key.name.size() : 0;
}

Layout Plan(std::vector<ResourceLeaf> const &leaves) {
    Layout layout;
    layout.groups = Group(leaves);
    Grouping const &g = layout.groups;
    std::uint64_t at = TableSize(g.TypeCount());
    for (std::size_t t = 0; t < g.TypeCount(); ++t) {
        layout.nameTables.push_back(at);
        at += TableSize(g.typeFirstName[t + 1] - g.typeFirstName[t]);
    }
    for (std::size_t n = 0; n < g.NameCount(); ++n) {
        layout.languageTables.push_back(at);
        at += TableSize(g.nameFirstLeaf[n + 1] - g.nameFirstLeaf[n]);
    }
    for (std::size_t t = 0; t < g.TypeCount(); ++t) {
        layout.typeStrings.push_back(at);
        at += StringSize(leaves[g.nameFirstLeaf[g.typeFirstName[t]]].type);
    }
    for (std::size_t n = 0; n < g.NameCount(); ++n) {
        layout.nameStrings.push_back(at);
        at += StringSize(leaves[g.nameFirstLeaf[n]].name);
    }
    layout.dataEntries = core::AlignUp(at, 8);
    at = layout.dataEntries + kDataEntrySize * leaves.size();
    for (ResourceLeaf const &leaf : leaves) {
        at = core::AlignUp(at, 8);
        layout.blobs.push_back(at);
        at += leaf.data.size();
    }
    layout.size = core::AlignUp(at, 8);
    return layout;
}

void WriteTableHeader(core::ByteWriter &out, std::uint64_t at, std::size_t named, std::size_t ids) {
    // Characteristics, TimeDateStamp and version stay zero.
    out.U16At(at + 12, static_cast<std::uint16_t>(named));
    out.U16At(at + 14, static_cast<std::uint16_t>(ids));
}

std::uint32_t NameField(ResourceKey const &key, std::uint64_t stringOffset) {
    return key.isName ? static_cast<std::uint32_t>(stringOffset) | kHighBit : key.id;
}

void WriteString(core::ByteWriter &out, std::uint64_t at, ResourceKey const &key) {
    if (!key.isName)
        return;
    out.U16At(at, static_cast<std::uint16_t>(key.name.size()));
    for (std::size_t i = 0; i < key.name.size(); ++i)
        out.U16At(at + 2 + 2 * i, key.name[i]);
}

// A table of entries [first, last) whose keys come from `keyOf` and whose targets from `target`.
template <typename KeyOf, typename Target>
void WriteTable(core::ByteWriter &out, std::uint64_t at, std::size_t first, std::size_t last,
                KeyOf keyOf, Target target) {
    std::size_t named = 0;
    for (std::size_t i = first; i < last; ++i)
        named += keyOf(i).first.isName ? 1 : 0;
    WriteTableHeader(out, at, named, last - first - named);
    std::uint64_t entry = at + kTableHeaderSize;
    for (std::size_t i = first; i < last; ++i, entry += kEntrySize) {
        auto [key, stringOffset] = keyOf(i);
        out.U32At(entry, NameField(key, stringOffset));
        out.U32At(entry + 4, target(i));
    }
}

} // namespace

std::strong_ordering operator<=>(ResourceKey const &a, ResourceKey const &b) {
    if (a.isName != b.isName)
        return a.isName ? std::strong_ordering::less : std::strong_ordering::greater;
    if (a.isName)
        return a.name.compare(b.name) <=> 0;
    return a.id <=> b.id;
}

ResourceTree ResourceTree::Read(Image const &image, std::span<const std::uint8_t> file) {
    ResourceTree tree;
    const DataDirectory directory = image.Directory(kDirectoryResource);
    if (directory.size == 0)
        return tree;
    // The tree may reach past the declared size (some writers leave it stale) but never past
    // the raw data of its section.
    std::optional<std::uint64_t> start = image.FileOffsetOf(directory.rva, directory.size);
    std::optional<std::uint64_t> end = image.RawEndOfSectionAt(directory.rva);
    if (!start || !end || *end > file.size() || *start > *end) {
        tree.damaged_ = true;
        return tree;
    }
    std::span<const std::uint8_t> window =
        file.subspan(static_cast<std::size_t>(*start), static_cast<std::size_t>(*end - *start));
    TreeReader reader(image, file, window);
    reader.ReadTypes();
    tree.damaged_ = reader.Damaged();
    tree.leaves_ = reader.TakeLeaves();
    // Stored order is not trusted: sort, and keep the first of duplicate keys.
    std::stable_sort(tree.leaves_.begin(), tree.leaves_.end(), LeafLess);
    auto duplicate = std::unique(
        tree.leaves_.begin(), tree.leaves_.end(),
        [](ResourceLeaf const &a, ResourceLeaf const &b) { return CompareLeaves(a, b) == 0; });
    tree.leaves_.erase(duplicate, tree.leaves_.end());
    return tree;
}

std::optional<std::size_t> ResourceTree::IndexOf(std::uint32_t type, std::uint32_t name,
                                                 std::uint32_t language) const {
    auto before = [](ResourceLeaf const &leaf,
                     std::tuple<std::uint32_t, std::uint32_t, std::uint32_t> const &probe) {
        if (auto order = CompareWithId(leaf.type, std::get<0>(probe)); order != 0)
            return order < 0;
        if (auto order = CompareWithId(leaf.name, std::get<1>(probe)); order != 0)
            return order < 0;
        return leaf.language < std::get<2>(probe);
    };
    auto it = std::lower_bound(leaves_.begin(), leaves_.end(),
                               std::make_tuple(type, name, language), before);
    if (it == leaves_.end() || it->type.isName || it->type.id != type || it->name.isName ||
        it->name.id != name)
        return std::nullopt;
    return static_cast<std::size_t>(it - leaves_.begin());
}

ResourceLeaf const *ResourceTree::Find(std::uint32_t type, std::uint32_t name) const {
    // Languages ascend within a name, so the first leaf is language 0 when present, else the
    // lowest language.
    std::optional<std::size_t> index = IndexOf(type, name, 0);
    return index ? &leaves_[*index] : nullptr;
}

ResourceLeaf const *ResourceTree::Find(std::uint32_t type, std::uint32_t name,
                                       std::uint32_t language) const {
    std::optional<std::size_t> index = IndexOf(type, name, language);
    if (!index || leaves_[*index].language != language)
        return nullptr;
    return &leaves_[*index];
}

void ResourceTree::Apply(std::vector<ResourceChange> changes) {
    using LeafKey = std::tuple<std::uint16_t, std::uint16_t, std::uint16_t>;
    std::map<LeafKey, std::span<const std::uint8_t>> added; // leaves not in the tree before
    std::vector<bool> removed(leaves_.size(), false);
    // The language a lookup finds now: the lowest one left among the tree's leaves and the
    // leaves added so far (language 0, when present, is the lowest).
    auto lookupLanguage = [&](std::uint16_t type, std::uint16_t name) {
        std::optional<std::uint32_t> lowest;
        std::optional<std::size_t> index = IndexOf(type, name, 0);
        for (std::size_t i = index.value_or(leaves_.size());
             i < leaves_.size() && !leaves_[i].type.isName && leaves_[i].type.id == type &&
             !leaves_[i].name.isName && leaves_[i].name.id == name;
             ++i)
            if (!removed[i]) {
                lowest = leaves_[i].language;
                break;
            }
        auto first = added.lower_bound(LeafKey{type, name, 0});
        if (first != added.end() && std::get<0>(first->first) == type &&
            std::get<1>(first->first) == name)
            lowest =
                std::min<std::uint32_t>(lowest.value_or(0xFFFFFFFFu), std::get<2>(first->first));
        return lowest;
    };
    for (ResourceChange &change : changes) {
        std::uint32_t language = change.language;
        if (change.remove && change.lookupLanguage) {
            std::optional<std::uint32_t> found = lookupLanguage(change.type, change.name);
            if (!found)
                continue;
            language = *found;
        }
        std::span<const std::uint8_t> bytes;
        if (!change.remove)
            bytes = owned_.emplace_back(std::move(change.data));
        ResourceLeaf const *existing = Find(change.type, change.name, language);
        const LeafKey key{change.type, change.name, static_cast<std::uint16_t>(language)};
        if (existing != nullptr) {
            const std::size_t index = static_cast<std::size_t>(existing - leaves_.data());
            removed[index] = change.remove;
            if (!change.remove) {
                leaves_[index].data = bytes;
                leaves_[index].codePage = 0;
                leaves_[index].readable = true;
            }
        } else if (change.remove) {
            added.erase(key);
        } else {
            added[key] = bytes;
        }
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < leaves_.size(); ++i) {
        if (removed[i])
            continue;
        if (kept != i)
            leaves_[kept] = std::move(leaves_[i]);
        ++kept;
    }
    leaves_.resize(kept);
    for (auto const &[key, bytes] : added)
        leaves_.push_back({ResourceKey::Id(std::get<0>(key)), ResourceKey::Id(std::get<1>(key)),
                           std::get<2>(key), 0, bytes, true});
    // Both runs are sorted (integer keys order like their tuples): merge them.
    std::inplace_merge(leaves_.begin(), leaves_.begin() + static_cast<std::ptrdiff_t>(kept),
                       leaves_.end(), LeafLess);
}

std::optional<std::uint64_t> ResourceTree::SerializedSize() const {
    std::uint64_t size = Plan(leaves_).size;
    if (size > kMaxTreeSize)
        return std::nullopt;
    return size;
}

std::optional<std::vector<std::uint8_t>> ResourceTree::Serialize(std::uint32_t rva) const {
    const Layout layout = Plan(leaves_);
    if (layout.size > kMaxTreeSize || std::uint64_t{rva} + layout.size > 0xFFFFFFFFull)
        return std::nullopt;
    Grouping const &g = layout.groups;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(layout.size), 0);
    core::ByteWriter out(bytes);
    auto firstLeafOfType = [&](std::size_t t) -> ResourceLeaf const & {
        return leaves_[g.nameFirstLeaf[g.typeFirstName[t]]];
    };
    WriteTable(
        out, 0, 0, g.TypeCount(),
        [&](std::size_t t) { return std::pair(firstLeafOfType(t).type, layout.typeStrings[t]); },
        [&](std::size_t t) { return static_cast<std::uint32_t>(layout.nameTables[t]) | kHighBit; });
    for (std::size_t t = 0; t < g.TypeCount(); ++t) {
        WriteString(out, layout.typeStrings[t], firstLeafOfType(t).type);
        WriteTable(
            out, layout.nameTables[t], g.typeFirstName[t], g.typeFirstName[t + 1],
            [&](std::size_t n) {
                return std::pair(leaves_[g.nameFirstLeaf[n]].name, layout.nameStrings[n]);
            },
            [&](std::size_t n) {
                return static_cast<std::uint32_t>(layout.languageTables[n]) | kHighBit;
            });
    }
    for (std::size_t n = 0; n < g.NameCount(); ++n) {
        WriteString(out, layout.nameStrings[n], leaves_[g.nameFirstLeaf[n]].name);
        WriteTable(
            out, layout.languageTables[n], g.nameFirstLeaf[n], g.nameFirstLeaf[n + 1],
            [&](std::size_t i) { return std::pair(ResourceKey::Id(leaves_[i].language), 0ull); },
            [&](std::size_t i) {
                return static_cast<std::uint32_t>(layout.dataEntries + kDataEntrySize * i);
            });
    }
    for (std::size_t i = 0; i < leaves_.size(); ++i) {
        const std::uint64_t entry = layout.dataEntries + kDataEntrySize * i;
        out.U32At(entry, static_cast<std::uint32_t>(rva + layout.blobs[i]));
        out.U32At(entry + 4, static_cast<std::uint32_t>(leaves_[i].data.size()));
        out.U32At(entry + 8, leaves_[i].codePage);
        out.BytesAt(layout.blobs[i], leaves_[i].data);
    }
    if (!out.Ok())
        return std::nullopt;
    return bytes;
}

bool SameLeaves(ResourceTree const &a, ResourceTree const &b) {
    return std::equal(a.Leaves().begin(), a.Leaves().end(), b.Leaves().begin(), b.Leaves().end(),
                      [](ResourceLeaf const &x, ResourceLeaf const &y) {
                          return CompareLeaves(x, y) == 0 && x.codePage == y.codePage &&
                                 x.readable == y.readable &&
                                 std::equal(x.data.begin(), x.data.end(), y.data.begin(),
                                            y.data.end());
                      });
}

} // namespace ril::pe
