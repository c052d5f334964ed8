// The item list's storage: items made in its arena.
#include "items/ril_txt_loader.h"

#include "platform/fault.h"

#include <new>

namespace ril {

CRilTxtLoader::ItemHandle CRilTxtLoader::NewItem() {
    if (platform::ShouldFail(platform::Fault::Alloc))
        return nullptr;
    try {
        void *place = itemArena_.allocate(sizeof(RilStrRes), alignof(RilStrRes));
        return ItemHandle(new (place) RilStrRes(&recordArena_), ItemRelease{true});
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

} // namespace ril
