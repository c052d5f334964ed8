// Pseudo-localisation of a text resource file (Ril_PseudoResTxt): every text accented,
// lengthened and bracketed, so that layouts can be tried before any translation exists.
#pragma once

#include "core/result_codes.h"

namespace ril::tools {

// Options (the public flags).
enum PseudoFlag : unsigned {
    kPseudoUtf8Signature = 0x4, // a multibyte file starting EF BB BF is read and written as UTF-8
};

// Reads the text resource file `inPath` and writes `outPath` in its flavour and code page
// (with its UTF-8 signature): each text between '[' and ']', its ASCII letters accented where
// the code page holds the accented letter (the letter after a single '&', an access key, stays),
// and '~' behind it for at least 30% more characters; placeholders "&0NN" and line breaks
// stay. kSOk; kErrArgument for a null path or an unknown flag; kErrImportParse when the input
// cannot be read or holds no items; kErrOutputWrite when the output is not written (or would
// replace the input).
core::HResult PseudoLocalise(char const *inPath, char const *outPath, int wide, unsigned flags);

} // namespace ril::tools
