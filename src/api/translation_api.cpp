// The exports for translators: a translated table checked against its base table, and a
// text resource file pseudo-localised.
#include "Ril4410.h"
#include "api/library_state.h"
#include "core/export_guard.h"
#include "tools/pseudo_localiser.h"
#include "tools/translation_check.h"

using namespace ril;
using namespace ril::core;
using namespace ril::api;

static_assert(RIL_LINT_UTF8_SIGNATURE == tools::kCheckUtf8Signature &&
              RIL_LINT_UTF8_SIGNATURE == tools::kPseudoUtf8Signature);

extern "C" RIL_API RIL_LONG Ril_CheckAgainst(char const *basePath, char const *langPath, int wide,
                                             unsigned int flags) {
    HResult const result = Guarded<HResult>(
        kErrImportParse, [&] { return tools::CheckAgainst(basePath, langPath, wide, flags); });
    SetLastErrorCode(result);
    return result;
}

extern "C" RIL_API RIL_LONG Ril_PseudoResTxt(char const *inPath, char const *outPath, int wide,
                                             unsigned int flags) {
    HResult const result = Guarded<HResult>(
        kErrOutputWrite, [&] { return tools::PseudoLocalise(inPath, outPath, wide, flags); });
    SetLastErrorCode(result);
    return result;
}
