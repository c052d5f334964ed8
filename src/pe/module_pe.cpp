// The resource-module service outside Windows: a module is a PE file that the library reads,
// looks up and rewrites with its own PE resource layer.
#include "core/byte_cursor.h"
#include "pe/module.h"
#include "pe/pe_image.h"
#include "pe/pe_resources.h"
#include "pe/pe_writer.h"
#include "platform/file.h"
#include "platform/file_lock.h"
#include "platform/file_replacer.h"

#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ril::pe {
namespace {

// The whole file, or nothing when it cannot be read completely.
std::optional<std::vector<std::uint8_t>> ReadExactly(char const *path) {
    platform::File file = platform::File::Open(path, "rb");
    if (!file.IsOpen())
        return std::nullopt;
    const std::int64_t length = file.Length();
    if (length < 0 || static_cast<std::uint64_t>(length) > 0xFFFFFFFFull)
        return std::nullopt; // PE offsets are 32-bit: a larger file is no module
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    if (file.Read(bytes.data(), bytes.size()) != bytes.size())
        return std::nullopt;
    return bytes;
}

class PeModule final : public Module {
  public:
    PeModule(std::vector<std::uint8_t> bytes, Image const &image)
        : bytes_(std::move(bytes)), tree_(ResourceTree::Read(image, bytes_)) {}

    Resource Find(std::uint16_t type, std::uint16_t name) override {
        if (name == 0)
            return {};
        ResourceLeaf const *leaf = tree_.Find(type, name);
        if (leaf == nullptr)
            return {};
        if (!leaf->readable)
            return {FindStatus::LoadFailed, nullptr, 0};
        return {FindStatus::Found, leaf->data.data(),
                static_cast<std::uint32_t>(leaf->data.size())};
    }

  private:
    std::vector<std::uint8_t> bytes_; // the leaves' bytes point into it
    ResourceTree tree_;
};

class PeResourceUpdate final : public ResourceUpdate {
  public:
    explicit PeResourceUpdate(std::string path) : path_(std::move(path)) {}

  private:
    // Re-reads the module under its lock, applies the queued changes and replaces the file
    // through a temporary file beside it: the module is either rewritten whole or left
    // untouched.
    bool Commit(std::vector<ResourceChange> changes) override {
        const platform::FileLock lock(path_.c_str());
        if (!lock.Held())
            return false;
        std::optional<std::vector<std::uint8_t>> file = ReadExactly(path_.c_str());
        std::optional<Image> image = file ? ParseImage(*file) : std::nullopt;
        if (!image)
            return false;
        ResourceTree tree = ResourceTree::Read(*image, *file);
        if (tree.Damaged())
            return false;
        tree.Apply(std::move(changes));
        std::vector<std::uint8_t> rebuilt;
        if (RebuildWithResources(*file, *image, tree, rebuilt) != RebuildStatus::Ok)
            return false;
        return platform::ReplaceFileContent(path_.c_str(), rebuilt.data(), rebuilt.size()) ==
               platform::ReplaceStatus::Ok;
    }

    std::string path_;
};

} // namespace

std::unique_ptr<Module> LoadModule(char const *path) {
    if (path == nullptr)
        return nullptr;
    try {
        std::optional<std::vector<std::uint8_t>> file = ReadExactly(path);
        std::optional<Image> image = file ? ParseImage(*file) : std::nullopt;
        if (!image)
            return nullptr;
        return std::make_unique<PeModule>(std::move(*file), *image);
    } catch (std::bad_alloc const &) {
        return nullptr;
    }
}

std::unique_ptr<ResourceUpdate> BeginResourceUpdate(char const *path) {
    if (path == nullptr)
        return nullptr;
    try {
        // The module must be one that an update can rewrite without losing resources.
        std::optional<std::vector<std::uint8_t>> file = ReadExactly(path);
        std::optional<Image> image = file ? ParseImage(*file) : std::nullopt;
        if (!image || ResourceTree::Read(*image, *file).Damaged())
            return nullptr;
        return std::make_unique<PeResourceUpdate>(path);
    } catch (std::bad_alloc const &) {
        return nullptr;
    }
}

bool RefreshCheckSum(char const *path) {
    if (path == nullptr)
        return false;
    try {
        const platform::FileLock lock(path);
        platform::File file = platform::File::Open(path, "rb+");
        const std::int64_t length = file.Length();
        if (!lock.Held() || !file.IsOpen() || length < 0 ||
            static_cast<std::uint64_t>(length) > 0xFFFFFFFFull)
            return false;
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
        std::optional<Image> image;
        if (file.Read(bytes.data(), bytes.size()) == bytes.size())
            image = ParseImage(bytes);
        if (!image)
            return false;
        const std::uint64_t at = image->CheckSumOffset();
        core::ByteReader reader(bytes);
        const std::uint32_t stored = reader.U32At(at);
        const std::uint32_t sum = ComputeCheckSum(bytes, at);
        if (!reader.Ok())
            return false;
        if (stored == 0 || stored == sum)
            return true;
        std::uint8_t field[4] = {};
        core::ByteWriter(field).U32(sum);
        bool const written =
            file.Seek(static_cast<std::int64_t>(at), platform::File::Origin::Begin) &&
            file.Write(field, sizeof field);
        return file.Close() && written;
    } catch (std::bad_alloc const &) {
        return false;
    }
}

} // namespace ril::pe
