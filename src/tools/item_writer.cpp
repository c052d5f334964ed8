// Items given in memory → item list → validation → BIN, the import's last two steps.
#include "tools/item_writer.h"

#include "core/limits.h"
#include "items/ril_txt_loader.h"
#include "table/bin_list_writer.h"
#include "tools/validation.h"

#include <cstring>

namespace ril::tools {
namespace {

using core::HResult;
using core::kErrArgument;
using core::kSOk;
using items::CRilTxtLoader;

bool Acceptable(GivenItem const &given, int wide) {
    return given.macro != nullptr && (given.text != nullptr || given.textSize == 0) &&
           given.id < core::kNewIdThreshold && (wide == 0 || given.textSize % 2 == 0);
}

// Appends the item to the list; kSOk, kErrArgument or kEOutOfMemory.
HResult AppendItem(CRilTxtLoader &list, GivenItem const &given, int wide) {
    if (!Acceptable(given, wide))
        return kErrArgument;
    CRilTxtLoader::ItemHandle item = list.NewItem();
    if (!item)
        return core::kEOutOfMemory;
    item->ID = given.id;
    HResult built = item->SetMacro(given.macro, std::strlen(given.macro));
    if (built == kSOk)
        built = wide != 0 ? item->SetTextW(given.text, given.textSize / 2)
                          : item->SetTextA(given.text, given.textSize);
    if (built != kSOk)
        return built;
    list.Append(std::move(item));
    return kSOk;
}

} // namespace

core::HResult WriteItemsToBin(GivenItem const *items, std::size_t count, int wide,
                              table::BinTarget const &target) {
    if (target.path == nullptr || (items == nullptr && count > 0))
        return kErrArgument;
    CRilTxtLoader list;
    for (std::size_t i = 0; i < count; ++i)
        if (HResult const appended = AppendItem(list, items[i], wide); appended != kSOk)
            return appended == kErrArgument ? kErrArgument : core::kErrImportWrite;
    if (!Validate(list, nullptr))
        return core::kErrImportParse;
    return table::SaveBin(list, target, nullptr) ? kSOk : core::kErrImportWrite;
}

} // namespace ril::tools
