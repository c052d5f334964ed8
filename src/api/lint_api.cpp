// The lint export: findings about a text resource file as structured notices.
#include "Ril4410.h"
#include "api/library_state.h"
#include "core/export_guard.h"
#include "tools/txt_lint.h"

using namespace ril;

extern "C" RIL_API RIL_LONG Ril_LintResTxt(char const *txtPath, int wide, unsigned int flags) {
    HResult const result =
        Guarded<HResult>(kErrImportParse, [&] { return LintTxt(txtPath, wide, flags); });
    SetLastErrorCode(result);
    return result;
}
