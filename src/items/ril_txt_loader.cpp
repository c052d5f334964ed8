// The item list's storage: items made in its arena.
#include "items/ril_txt_loader.h"

#include "core/allocate.h"

#include <new>

namespace ril::items {

CRilTxtLoader::ItemHandle CRilTxtLoader::NewItem() {
    return core::TryAllocate([&] {
        void *place = itemArena_.allocate(sizeof(RilStrRes), alignof(RilStrRes));
        return ItemHandle(new (place) RilStrRes(&recordArena_), ItemRelease{true});
    });
}

} // namespace ril::items
