// Exported code-page conversions: a size query, then the conversion, with the platform's
// errors turned into the library's codes and recorded as the last error; and the choice of
// the code page that code page 0 stands for.
#include "Ril4410.h"
#include "api/library_state.h"
#include "core/export_guard.h"
#include "platform/codepage.h"

#include <utility>

namespace ril::api {
namespace {

core::HResult ConversionError(unsigned long platformError) {
    return platformError == platform::kErrorInvalidParameter ? core::kErrArgument
                                                             : core::kErrConversion;
}

// Runs `convert(destination, size)` the way both exports do; 0 on failure with the last
// error recorded.
template <typename Convert>
int ConvertWithSizeQuery(void const *source, void *destination, Convert convert) {
    SetLastErrorCode(core::kSOk);
    if (source == nullptr) {
        SetLastErrorCode(core::kErrArgument);
        return 0;
    }
    platform::Conversion size = convert(nullptr, 0);
    if (size.count == 0) {
        SetLastErrorCode(ConversionError(size.error));
        return 0;
    }
    if (destination == nullptr)
        return size.count;
    platform::Conversion done = convert(destination, size.count);
    if (done.count == 0) {
        SetLastErrorCode(ConversionError(done.error));
        return 0;
    }
    return size.count;
}

// Returned by Ril_SetAnsiCodePage for a code page it refuses; no code page has this number.
constexpr unsigned kCodePageRefused = 0xFFFFFFFFu;

// Whether `codePage` converts text both ways as a multibyte code page does: a letter and its
// terminator take one byte and one UTF-16 unit each. Unknown numbers fail to convert, and
// UTF-16 takes two bytes per unit.
bool ServesAsAnsiCodePage(unsigned codePage) {
    const std::uint16_t letter[2] = {u'A', 0};
    return platform::MultiByteToWide(codePage, "A", -1, nullptr, 0).count == 2 &&
           platform::WideToMultiByte(codePage, letter, -1, nullptr, 0).count == 2;
}

// Runs a conversion through the guard; anything that escapes it is a failed conversion,
// recorded as the last error only then.
template <typename Body> int GuardedConversion(Body &&body) {
    constexpr int kEscaped = -1; // no conversion returns a negative count
    int converted = core::Guarded<int>(kEscaped, std::forward<Body>(body));
    if (converted != kEscaped)
        return converted;
    SetLastErrorCode(core::kErrConversion);
    return 0;
}

} // namespace
} // namespace ril::api

using namespace ril;
using namespace ril::api;

extern "C" RIL_API int Ril_WcsToMbcs(RIL_WCHAR const *source, char *destination,
                                     unsigned int codePage) {
    return GuardedConversion([&] {
        return ConvertWithSizeQuery(source, destination, [&](void *out, int size) {
            return platform::WideToMultiByte(codePage, source, -1, static_cast<char *>(out), size);
        });
    });
}

extern "C" RIL_API int Ril_MbcsToWcs(char const *source, RIL_WCHAR *destination,
                                     unsigned int codePage) {
    return GuardedConversion([&] {
        return ConvertWithSizeQuery(source, destination, [&](void *out, int size) {
            return platform::MultiByteToWide(codePage, source, -1,
                                             static_cast<std::uint16_t *>(out), size);
        });
    });
}

extern "C" RIL_API unsigned int Ril_GetAnsiCodePage(void) {
    return core::Guarded<unsigned int>(0, [] { return platform::AnsiCodePage(); });
}

extern "C" RIL_API unsigned int Ril_GetChosenAnsiCodePage(void) {
    return core::Guarded<unsigned int>(0, [] { return platform::ChosenAnsiCodePage(); });
}

extern "C" RIL_API unsigned int Ril_SetAnsiCodePage(unsigned int codePage) {
    return core::Guarded<unsigned int>(kCodePageRefused, [&] {
        if (codePage != 0 && !ServesAsAnsiCodePage(codePage))
            return kCodePageRefused;
        return platform::SetAnsiCodePage(codePage);
    });
}
