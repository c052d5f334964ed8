// The queue of a resource-module update batch, shared by the Win32 and the PE backend:
// which changes are taken, and that a batch ends once, written or discarded.
#include "pe/module.h"

#include <new>
#include <utility>

namespace ril::pe {

bool ResourceUpdate::Update(std::uint16_t type, std::uint16_t name, std::uint16_t language,
                            void const *data, std::uint32_t size) {
    // Type and name 0 are no integer resource; a null pointer only goes with size 0.
    if (type == 0 || name == 0 || (data == nullptr && size != 0))
        return false;
    try {
        ResourceChange change{type, name, language, data == nullptr, {}};
        auto const *bytes = static_cast<std::uint8_t const *>(data);
        if (bytes != nullptr)
            change.data.assign(bytes, bytes + size);
        return Queue(std::move(change));
    } catch (std::bad_alloc const &) {
        return false;
    }
}

bool ResourceUpdate::Remove(std::uint16_t type, std::uint16_t name) {
    if (type == 0 || name == 0)
        return false;
    ResourceChange change{type, name, 0, true, {}};
    change.lookupLanguage = true;
    return Queue(std::move(change));
}

bool ResourceUpdate::End(bool discard) {
    if (ended_)
        return false;
    ended_ = true;
    if (discard)
        return true;
    try {
        return Commit(std::move(changes_));
    } catch (std::bad_alloc const &) {
        return false;
    }
}

bool ResourceUpdate::Queue(ResourceChange change) {
    if (ended_)
        return false;
    try {
        changes_.push_back(std::move(change));
    } catch (std::bad_alloc const &) {
        return false;
    }
    return true;
}

} // namespace ril::pe
