// The resource tree of a PE image: a bounds-checked reader that cannot loop, an in-memory
// model (type -> name -> language -> bytes), the lookup rule, batched changes, and the
// serialization of the model into the bytes of a resource section.
#pragma once

#include "pe/pe_image.h"

#include <compare>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ril::pe {

// A type or a name: an integer ID or a name string (UTF-16 code units, as stored).
struct ResourceKey {
    bool isName = false;
    std::uint32_t id = 0;
    std::u16string name;

    static ResourceKey Id(std::uint32_t id) { return {false, id, {}}; }
    static ResourceKey Name(std::u16string name) { return {true, 0, std::move(name)}; }

    // The order of a directory table: names first, by code units, then IDs ascending.
    friend std::strong_ordering operator<=>(ResourceKey const &a, ResourceKey const &b);
    friend bool operator==(ResourceKey const &a, ResourceKey const &b) = default;
};

struct ResourceLeaf {
    ResourceKey type;
    ResourceKey name;
    std::uint32_t language = 0;
    std::uint32_t codePage = 0;
    std::span<const std::uint8_t> data;
    // False when the data entry's bytes are not in the file; such a leaf cannot be loaded.
    bool readable = true;
};

// One queued change of a leaf with integer type and name: add or replace its bytes, or
// delete it (remove set; deleting a missing leaf changes nothing). A removal with
// lookupLanguage set deletes the leaf that Find(type, name) gives at that point instead of
// the one in `language`.
struct ResourceChange {
    std::uint16_t type = 0;
    std::uint16_t name = 0;
    std::uint16_t language = 0;
    bool remove = false;
    std::vector<std::uint8_t> data;
    bool lookupLanguage = false;
};

class ResourceTree {
  public:
    ResourceTree() = default;
    ResourceTree(ResourceTree &&) = default;
    ResourceTree &operator=(ResourceTree &&) = default;
    ResourceTree(ResourceTree const &) = delete;
    ResourceTree &operator=(ResourceTree const &) = delete;

    // Reads the tree that `image` declares in `file`. Leaves' bytes point into `file`, which
    // must outlive the tree. Malformed parts are skipped and the tree is marked damaged.
    static ResourceTree Read(Image const &image, std::span<const std::uint8_t> file);

    // True when some part of the tree could not be read (it would be lost by a rewrite).
    bool Damaged() const { return damaged_; }
    // Every leaf, unique, in tree order: by type, then name, then language.
    std::vector<ResourceLeaf> const &Leaves() const { return leaves_; }

    // The leaf of an integer type and name in language 0 when present, else in the lowest
    // language present; null when there is none.
    ResourceLeaf const *Find(std::uint32_t type, std::uint32_t name) const;
    ResourceLeaf const *Find(std::uint32_t type, std::uint32_t name, std::uint32_t language) const;

    // Applies the changes in order; their bytes move into the tree. New and replaced leaves
    // get code page 0.
    void Apply(std::vector<ResourceChange> changes);

    // The size of the serialized tree; nothing when it cannot be addressed in 31 bits.
    std::optional<std::uint64_t> SerializedSize() const;
    // The bytes of a resource section that holds the tree, for a section at `rva`: tables
    // breadth-first, name strings, data entries, then the data, each 8-aligned. Nothing when
    // the tree is too large for that address.
    std::optional<std::vector<std::uint8_t>> Serialize(std::uint32_t rva) const;

  private:
    std::optional<std::size_t> IndexOf(std::uint32_t type, std::uint32_t name,
                                       std::uint32_t language) const;

    std::vector<ResourceLeaf> leaves_;
    std::deque<std::vector<std::uint8_t>> owned_; // bytes of applied changes
    bool damaged_ = false;
};

// True when both trees hold the same leaves with the same bytes and code pages.
bool SameLeaves(ResourceTree const &a, ResourceTree const &b);

} // namespace ril::pe
