// The text helper exports: string combination and language names.
#include "Ril4410.h"
#include "core/export_guard.h"
#include "text/combine_string.h"
#include "text/language_names.h"

extern "C" RIL_API RIL_LONG Ril_CombineStringW(RIL_WCHAR *text, RIL_WCHAR const *value,
                                               RIL_ULONG number, RIL_ULONG size) {
    return ril::core::Guarded<RIL_LONG>(ril::core::kEFail, [&] {
        return ril::text::CombineString(text, value, static_cast<unsigned>(number), size);
    });
}

extern "C" RIL_API RIL_LONG Ril_CombineStringA(char *text, char const *value, RIL_ULONG number,
                                               RIL_ULONG size) {
    return ril::core::Guarded<RIL_LONG>(ril::core::kEFail, [&] {
        return ril::text::CombineString(text, value, static_cast<unsigned>(number), size);
    });
}

extern "C" RIL_API ENUM_LANGUAGE_TYPE Ril_StringToLanguage(char const *name) {
    return ril::core::Guarded(RIL_LANG_MULTILANGUAGE, [&] {
        return static_cast<ENUM_LANGUAGE_TYPE>(ril::text::LanguageIndex(name));
    });
}
