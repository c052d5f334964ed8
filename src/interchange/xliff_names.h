// The XLIFF 1.2 names the writer and the reader share.
#pragma once

namespace ril::interchange {

inline constexpr char kNamespace[] = "urn:oasis:names:tc:xliff:document:1.2";
inline constexpr char kUnit[] = "trans-unit";
inline constexpr char kSource[] = "source";
inline constexpr char kTarget[] = "target";
inline constexpr char kPlaceholder[] = "ph";
inline constexpr char kPlaceholderType[] = "x-ril4410-placeholder";
// Target states: "new" has no translation, "needs-review-translation" a fuzzy one.
inline constexpr char kNew[] = "new";
inline constexpr char kTranslated[] = "translated";
inline constexpr char kNeedsReview[] = "needs-review-translation";

} // namespace ril::interchange
