// The lint export: findings about a text resource file as structured notices.
#include "Ril4410.h"
#include "api/library_state.h"
#include "core/export_guard.h"
#include "tools/txt_lint.h"

using namespace ril;
using namespace ril::api;

extern "C" RIL_API RIL_LONG Ril_LintResTxt(char const *txtPath, int wide, unsigned int flags) {
    core::HResult const result = core::Guarded<core::HResult>(
        core::kErrImportParse, [&] { return tools::LintTxt(txtPath, wide, flags); });
    SetLastErrorCode(result);
    return result;
}
