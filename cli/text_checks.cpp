// A scan of a text resource file that follows the import's parser item by item and notes
// what the parser takes silently.
#include "text_checks.h"

#include "Ril4410.h"
#include "code_page.h"
#include "text_output.h"

#include <algorithm>
#include <cstddef>
#include <deque>
#include <iterator>
#include <optional>
#include <string_view>

namespace rilcli {
namespace {

constexpr std::u16string_view kIdKeyword = u"RilStringID=";
constexpr std::u16string_view kMacroKeyword = u"RilStringMacro=";
constexpr std::uint32_t kNewIdThreshold = 0x2FFFF;
constexpr std::size_t kMacroLimit = 127;

// Lead and trail byte ranges of a double-byte code page.
struct DoubleByteRanges {
    bool (*lead)(std::uint16_t);
    bool (*trail)(std::uint16_t);
    bool fourByte; // GB18030: lead, digit, lead, digit
};

bool In(std::uint16_t b, std::uint16_t low, std::uint16_t high) {
    return b >= low && b <= high;
}
bool GbkLead(std::uint16_t b) {
    return In(b, 0x81, 0xFE);
}
bool GbkTrail(std::uint16_t b) {
    return In(b, 0x40, 0xFE) && b != 0x7F;
}
bool SjisLead(std::uint16_t b) {
    return In(b, 0x81, 0x9F) || In(b, 0xE0, 0xFC);
}
bool SjisTrail(std::uint16_t b) {
    return In(b, 0x40, 0x7E) || In(b, 0x80, 0xFC);
}
bool UhcTrail(std::uint16_t b) {
    return In(b, 0x41, 0x5A) || In(b, 0x61, 0x7A) || In(b, 0x81, 0xFE);
}
bool Big5Trail(std::uint16_t b) {
    return In(b, 0x40, 0x7E) || In(b, 0xA1, 0xFE);
}

std::optional<DoubleByteRanges> RangesInForce() {
    unsigned codePage = ChosenCodePage();
    if (codePage == 0)
        codePage = IsDoubleByteInForce() ? 936 : 0; // the default: GBK outside Windows
    switch (codePage) {
    case 936:
        return DoubleByteRanges{&GbkLead, &GbkTrail, false};
    case 54936:
        return DoubleByteRanges{&GbkLead, &GbkTrail, true};
    case 932:
        return DoubleByteRanges{&SjisLead, &SjisTrail, false};
    case 949:
        return DoubleByteRanges{&GbkLead, &UhcTrail, false};
    case 950:
        return DoubleByteRanges{&GbkLead, &Big5Trail, false};
    default:
        return std::nullopt;
    }
}

bool IsDigit(std::uint16_t unit) {
    return unit >= '0' && unit <= '9';
}

char16_t Lower(std::uint16_t unit) {
    return static_cast<char16_t>(unit >= 'A' && unit <= 'Z' ? unit + 32 : unit);
}

// The index of the first byte of `run` (no zero bytes) that a round trip through UTF-16 in
// the code page in force does not bring back, or nothing.
std::optional<std::size_t> FirstUnmappable(std::string const &run) {
    int const units = run.empty() ? 0 : Ril_MbcsToWcs(run.c_str(), nullptr, 0);
    if (units <= 0)
        return std::nullopt;
    std::vector<RIL_WCHAR> wide(static_cast<std::size_t>(units));
    if (Ril_MbcsToWcs(run.c_str(), wide.data(), 0) <= 0)
        return std::nullopt;
    int const size = Ril_WcsToMbcs(wide.data(), nullptr, 0);
    if (size <= 0)
        return std::nullopt;
    std::vector<char> back(static_cast<std::size_t>(size));
    if (Ril_WcsToMbcs(wide.data(), back.data(), 0) <= 0)
        return std::nullopt;
    std::string_view const again(back.data(), back.size() - 1);
    auto const [at, _] = std::mismatch(run.begin(), run.end(), again.begin(), again.end());
    if (at == run.end() && run.size() == again.size())
        return std::nullopt;
    return static_cast<std::size_t>(at - run.begin());
}

// The free-ID pool of the parser, as ranges, in the order the numbers come out.
class FreeIds {
  public:
    // Notes the ID read; returns the ID the item gets, or nothing when the pool is empty.
    std::optional<std::uint32_t> Take(std::uint32_t read) {
        std::int32_t const id = static_cast<std::int32_t>(read);
        std::int64_t const diff = static_cast<std::int64_t>(id) - previous_;
        if (diff >= 2)
            ranges_.push_back({previous_ + 1, static_cast<std::int64_t>(id) - 1});
        previous_ = id;
        if (read < kNewIdThreshold)
            return read;
        if (ranges_.empty())
            return std::nullopt;
        std::int64_t const taken = ranges_.front().first++;
        if (ranges_.front().first > ranges_.front().second)
            ranges_.pop_front();
        return static_cast<std::uint32_t>(taken);
    }

  private:
    std::int64_t previous_ = 1000;
    std::deque<std::pair<std::int64_t, std::int64_t>> ranges_;
};

class Scanner {
  public:
    explicit Scanner(TextPositions const &file) : file_(file) {
        std::vector<std::uint8_t> const &bytes = file.Bytes();
        unitSize_ = file.Wide() ? 2 : 1;
        for (std::size_t at = 0; at + unitSize_ <= bytes.size(); at += unitSize_)
            units_.push_back(file.Wide()
                                 ? static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8)
                                 : bytes[at]);
        auto const zero = std::find(units_.begin(), units_.end(), 0);
        searchEnd_ = static_cast<std::size_t>(zero - units_.begin());
        if (!file.Wide())
            ranges_ = RangesInForce();
    }

    std::vector<TextFinding> Run();

  private:
    bool Item(std::size_t &position);
    void CheckId(std::size_t at);
    std::optional<std::size_t> FindOpening(std::size_t from) const;
    std::optional<std::size_t> FindClosing(std::size_t textStart) const;
    void CheckTextCharacters(std::size_t from, std::size_t to, std::uint32_t id);
    void CheckNearKeywords();
    void CheckHiddenItems();

    std::size_t Find(std::u16string_view keyword, std::size_t from) const;
    bool Matches(std::u16string_view keyword, std::size_t at) const;
    std::size_t CharLength(std::size_t at) const;
    std::string Utf8(std::size_t from, std::size_t to) const;
    std::string LineOf(std::size_t at) const {
        return "line " + std::to_string(file_.At(at * unitSize_).line);
    }
    void Add(Severity severity, std::size_t at, char const *id, std::string text) {
        findings_.push_back({severity, at * unitSize_, id, std::move(text)});
    }
    // Texts are noted in file order, so a binary search finds the one that may hold `at`.
    bool InText(std::size_t at) const {
        auto const after = std::upper_bound(
            texts_.begin(), texts_.end(), at,
            [](std::size_t offset, auto const &text) { return offset < text.first; });
        return after != texts_.begin() && at < std::prev(after)->second;
    }

    TextPositions const &file_;
    std::vector<std::uint16_t> units_;
    std::size_t unitSize_ = 1;
    std::size_t searchEnd_ = 0; // keywords are searched up to the first zero character
    std::optional<DoubleByteRanges> ranges_;
    std::vector<std::pair<std::size_t, std::size_t>> texts_;
    std::vector<TextFinding> findings_;
    FreeIds freeIds_;
    std::uint32_t idRead_ = 0;
};

bool Scanner::Matches(std::u16string_view keyword, std::size_t at) const {
    if (at > searchEnd_ || searchEnd_ - at < keyword.size())
        return false;
    return std::equal(keyword.begin(), keyword.end(),
                      units_.begin() + static_cast<std::ptrdiff_t>(at));
}

std::size_t Scanner::Find(std::u16string_view keyword, std::size_t from) const {
    for (std::size_t at = from; at < searchEnd_; ++at)
        if (Matches(keyword, at))
            return at;
    return std::u16string_view::npos;
}

std::size_t Scanner::CharLength(std::size_t at) const {
    if (!ranges_ || !ranges_->lead(units_[at]) || at + 1 >= units_.size())
        return 1;
    if (ranges_->trail(units_[at + 1]))
        return 2;
    bool const four = ranges_->fourByte && at + 3 < units_.size() && IsDigit(units_[at + 1]) &&
                      ranges_->lead(units_[at + 2]) && IsDigit(units_[at + 3]);
    return four ? 4 : 1;
}

std::string Scanner::Utf8(std::size_t from, std::size_t to) const {
    std::u16string units(units_.begin() + static_cast<std::ptrdiff_t>(from),
                         units_.begin() + static_cast<std::ptrdiff_t>(to));
    if (file_.Wide())
        return Utf16ToUtf8(units);
    return AnsiToUtf8(std::string(units.begin(), units.end()));
}

// The ID after the keyword: blanks, then a sign and decimal digits up to the item's next
// separator. Notes the value the parser reads.
void Scanner::CheckId(std::size_t at) {
    while (at < searchEnd_ && (units_[at] == ' ' || units_[at] == '\t'))
        ++at;
    std::size_t end = at;
    while (end < searchEnd_ && end - at < 40 && units_[end] > ' ' && units_[end] != ';' &&
           units_[end] != '{' && !Matches(kMacroKeyword, end))
        ++end;
    std::size_t digits = at < end && (units_[at] == '+' || units_[at] == '-') ? at + 1 : at;
    std::uint64_t value = 0;
    std::size_t k = digits;
    for (; k < end && IsDigit(units_[k]); ++k)
        value = std::min<std::uint64_t>(value * 10 + (units_[k] - '0'), 1ull << 40);
    bool const negative = digits > at && units_[at] == '-';
    idRead_ = static_cast<std::uint32_t>(negative ? 0 - value : value);
    if (at == end) {
        Add(Severity::kWarning, at, "id-missing", "no ID after 'RilStringID=': it reads as 0");
    } else if (k == digits || k != end) {
        Add(Severity::kWarning, at, "id-not-a-number",
            "ID '" + Utf8(at, end) + "' is not a decimal number: it reads as " +
                std::to_string(static_cast<std::int32_t>(idRead_)));
    } else if (value > 0xFFFFFFFFull) {
        Add(Severity::kWarning, at, "id-out-of-range",
            "ID '" + Utf8(at, end) + "' does not fit in 32 bits");
    }
}

// The brace search of the parser, over whole characters: the position of the opening
// brace, or nothing when the parser fails (a closing brace first, or none at all).
std::optional<std::size_t> Scanner::FindOpening(std::size_t at) const {
    while (at < units_.size()) {
        if (units_[at] == '}')
            return std::nullopt;
        at += CharLength(at);
        if (at < units_.size() && units_[at] == '{')
            return at;
    }
    return std::nullopt;
}

std::optional<std::size_t> Scanner::FindClosing(std::size_t textStart) const {
    if (textStart < units_.size() && units_[textStart] == '}')
        return textStart;
    for (std::size_t at = textStart; at < units_.size();) {
        if (units_[at] == '{')
            return std::nullopt;
        at += CharLength(at);
        if (at < units_.size() && units_[at] == '}')
            return at;
    }
    return std::nullopt;
}

void Scanner::CheckTextCharacters(std::size_t from, std::size_t to, std::uint32_t id) {
    char const *const kId = "unmappable-text";
    if (file_.Wide()) {
        for (std::size_t at = from; at < to; ++at) {
            bool const high = units_[at] >= 0xD800 && units_[at] <= 0xDBFF;
            bool const low = units_[at] >= 0xDC00 && units_[at] <= 0xDFFF;
            bool const paired =
                high && at + 1 < to && units_[at + 1] >= 0xDC00 && units_[at + 1] <= 0xDFFF;
            if (paired) {
                ++at;
            } else if (high || low) {
                Add(Severity::kWarning, at, kId,
                    "the text of ID " + std::to_string(id) + " holds an unpaired surrogate");
                return;
            }
        }
        return;
    }
    // Runs between zero bytes, each converted to UTF-16 and back: the first byte where the
    // round trip differs starts a sequence that is no character of the code page.
    for (std::size_t start = from; start < to;) {
        std::size_t end = start;
        while (end < to && units_[end] != 0)
            ++end;
        std::string const run(units_.begin() + static_cast<std::ptrdiff_t>(start),
                              units_.begin() + static_cast<std::ptrdiff_t>(end));
        std::optional<std::size_t> const bad = FirstUnmappable(run);
        if (bad) {
            Add(Severity::kWarning, start + *bad, kId,
                "the text of ID " + std::to_string(id) + " holds bytes that are no character of " +
                    CodePageInForce() + " (they read as U+FFFD)");
            return;
        }
        start = end + 1;
    }
}

// One item from `position` on; false when there is none or the parser would fail on it.
bool Scanner::Item(std::size_t &position) {
    std::size_t const keyword = Find(kIdKeyword, position);
    if (keyword == std::u16string_view::npos)
        return false;
    std::size_t const idStart = keyword + kIdKeyword.size();
    CheckId(idStart);
    std::optional<std::uint32_t> const id = freeIds_.Take(idRead_);
    std::size_t const macroKeyword = Find(kMacroKeyword, idStart);
    if (!id || macroKeyword == std::u16string_view::npos)
        return false;
    std::size_t const nextItem = Find(kIdKeyword, idStart);
    if (nextItem < macroKeyword)
        Add(Severity::kWarning, keyword, "macro-keyword-missing",
            "no 'RilStringMacro=' before the next item: this item takes the macro and text of "
            "the item at " +
                LineOf(nextItem) + ", which is lost");
    std::size_t const macroStart = macroKeyword + kMacroKeyword.size();
    std::size_t macroEnd = macroStart;
    while (macroEnd < searchEnd_ && macroEnd - macroStart < kMacroLimit &&
           units_[macroEnd] != '\r' && units_[macroEnd] != '\n')
        ++macroEnd;
    std::optional<std::size_t> const opening = FindOpening(macroEnd);
    if (!opening)
        return false;
    std::size_t const followingItem = Find(kIdKeyword, macroEnd);
    if (followingItem < *opening && nextItem >= macroKeyword)
        Add(Severity::kWarning, keyword, "text-missing",
            "no text before the next item: this item (ID " + std::to_string(*id) +
                ") takes the text of the item at " + LineOf(followingItem) + ", which is lost");
    std::optional<std::size_t> const closing = FindClosing(*opening + 1);
    if (!closing)
        return false;
    texts_.emplace_back(*opening + 1, *closing);
    CheckTextCharacters(*opening + 1, *closing, *id);
    position = *closing + 1;
    return true;
}

// "rilstringid=" and "rilstringmacro=" in any letter case, with blanks around the words and
// before '=', outside texts, when not the keyword itself.
void Scanner::CheckNearKeywords() {
    auto skipBlanks = [&](std::size_t at) {
        while (at < searchEnd_ && (units_[at] == ' ' || units_[at] == '\t'))
            ++at;
        return at;
    };
    auto word = [&](std::size_t at, std::u16string_view lower) -> std::size_t {
        for (char16_t const c : lower)
            if (at >= searchEnd_ || Lower(units_[at++]) != c)
                return std::u16string_view::npos;
        return at;
    };
    for (std::size_t at = 0; at < searchEnd_; ++at) {
        if (Lower(units_[at]) != u'r' || InText(at) || Matches(kIdKeyword, at) ||
            Matches(kMacroKeyword, at))
            continue;
        std::size_t end = word(at, u"ril");
        end = end == std::u16string_view::npos ? end : word(skipBlanks(end), u"string");
        if (end == std::u16string_view::npos)
            continue;
        end = skipBlanks(end);
        std::size_t const afterId = word(end, u"id");
        std::size_t const afterMacro = word(end, u"macro");
        end = afterId != std::u16string_view::npos ? afterId : afterMacro;
        if (end == std::u16string_view::npos)
            continue;
        end = skipBlanks(end);
        if (end >= searchEnd_ || units_[end] != '=')
            continue;
        std::u16string_view const keyword =
            afterId != std::u16string_view::npos ? kIdKeyword : kMacroKeyword;
        Add(Severity::kWarning, at, "near-keyword",
            "'" + Utf8(at, end + 1) + "' is not the keyword '" + Utf16ToUtf8(keyword) +
                "' (letter case and blanks matter): it is ignored");
    }
}

void Scanner::CheckHiddenItems() {
    if (searchEnd_ >= units_.size())
        return;
    std::u16string_view const keyword = kIdKeyword;
    auto const later = std::search(units_.begin() + static_cast<std::ptrdiff_t>(searchEnd_),
                                   units_.end(), keyword.begin(), keyword.end());
    if (later != units_.end() && !InText(searchEnd_))
        Add(Severity::kWarning, searchEnd_, "hidden-items",
            "a zero character outside a text: the items after it (from " +
                LineOf(static_cast<std::size_t>(later - units_.begin())) + ") are not read");
}

std::vector<TextFinding> Scanner::Run() {
    std::size_t position = 0;
    while (Item(position)) {
    }
    CheckNearKeywords();
    CheckHiddenItems();
    std::stable_sort(
        findings_.begin(), findings_.end(),
        [](TextFinding const &a, TextFinding const &b) { return a.offset < b.offset; });
    return findings_;
}

} // namespace

std::vector<TextFinding> CheckText(TextPositions const &file) {
    return Scanner(file).Run();
}

} // namespace rilcli
