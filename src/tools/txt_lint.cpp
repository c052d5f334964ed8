// The lint of a text resource file: an observer of the parser that notes, item by item, what
// the import takes silently, then the items' validation, all reported in file order.
#include "tools/txt_lint.h"

#include "core/codepage_characters.h"
#include "core/error_report.h"
#include "core/messages.h"
#include "core/notice.h"
#include "platform/codepage.h"
#include "text/text_places.h"
#include "text/txt_parser.h"
#include "tools/validation.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ril::tools {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr std::size_t kIdTokenLimit = 40; // characters of a malformed ID quoted at most
constexpr unsigned kUtf8CodePage = 65001;

bool StartsWith(unsigned char const *bytes, std::size_t size, char const *mark) {
    std::size_t const length = std::strlen(mark);
    return size >= length && std::memcmp(bytes, mark, length) == 0;
}

bool IsBlank(unsigned ch) {
    return ch == ' ' || (ch >= '\t' && ch <= '\r');
}

char Lower(unsigned ch) {
    return static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
}

// The keyword as UTF-16LE bytes, at any offset (`step` 1) or at unit offsets (`step` 2).
bool HasWideKeyword(unsigned char const *bytes, std::size_t size, std::size_t step) {
    std::size_t const length = std::strlen(text::kIdKeyword);
    for (std::size_t at = 0; at + 2 * length <= size; at += step) {
        std::size_t k = 0;
        while (k < length && bytes[at + 2 * k] == static_cast<unsigned char>(text::kIdKeyword[k]) &&
               bytes[at + 2 * k + 1] == 0)
            ++k;
        if (k == length)
            return true;
    }
    return false;
}

bool EveryOtherByteZero(unsigned char const *bytes, std::size_t size, std::size_t first) {
    for (std::size_t i = first; i < size; i += 2)
        if (bytes[i] != 0)
            return false;
    return true;
}

// Whether the bytes are well-formed UTF-8 and hold at least one non-ASCII character.
bool IsUtf8WithNonAscii(unsigned char const *bytes, std::size_t size) {
    return core::IsUtf8(bytes, size) &&
           std::any_of(bytes, bytes + size, [](unsigned char b) { return b >= 0x80; });
}

// An argument of a finding; `lineOf` asks for the line of the character index `number`.
struct LintArg {
    bool isText = false;
    long long number = 0;
    std::string text;
    bool lineOf = false;
};

LintArg Number(long long number) {
    return LintArg{false, number, {}, false};
}
LintArg Text(std::string text) {
    return LintArg{true, 0, std::move(text), false};
}
LintArg LineOf(std::size_t index) {
    return LintArg{false, static_cast<long long>(index), {}, true};
}

struct Finding {
    core::msg::Message const *message;
    long long offset; // bytes, or -1
    int severity;     // -1: the message's own
    std::vector<LintArg> args;
};

} // namespace

class Linter final : public text::TxtParseObserver {
  public:
    Linter(char const *path, int wide, unsigned flags)
        : path_(path), wideAsked_(wide != 0), flags_(flags), places_(path, wide) {}
    Linter(Linter const &) = delete;
    Linter &operator=(Linter const &) = delete;

    bool Read(unsigned char const *bytes, std::size_t size) override;
    void Item(text::ParsedFile const &file, text::ParsedItem const &item) override;
    void Ended(text::ParsedFile const &file, std::size_t position, bool ok,
               platform::FileView &view) override;
    bool ReportsCutMacros() const override { return HasFlag(flags_, LintFlag::MacroLimitError); }

    core::PlaceFinder const &Places() const { return places_; }
    // Raises the findings in file order (to the log too, when given); true when one of them
    // is an error.
    bool Report(char const *logPath = nullptr);

  private:
    template <typename Ch> struct View {
        Ch const *data;
        std::size_t count;
    };
    template <typename Ch>
    void CheckItem(View<Ch> text, text::ParsedItem const &item, std::size_t next,
                   std::size_t following);
    template <typename Ch> void CheckItemWords(View<Ch> text, text::ParsedItem const &item);
    template <typename Ch>
    std::size_t ScanEquals(View<Ch> text, std::size_t from, std::size_t to, std::size_t keywordFrom,
                           std::size_t keywordTo);
    template <typename Ch> void AddNearKeywords(View<Ch> text);
    template <typename Ch> void CheckId(View<Ch> text, std::size_t at);
    template <typename Ch>
    std::size_t NearKeywordBefore(View<Ch> text, std::size_t from, std::size_t equals, bool &id);
    template <typename Ch> void CheckEnd(View<Ch> text, std::size_t position, bool ok);
    void CheckTextBytes(text::ParsedFile const &file, text::ParsedItem const &item);
    void CheckTextUnits(std::uint16_t const *data, text::ParsedItem const &item);
    void CheckFile(text::ParsedFile const &file);

    template <typename Ch> static bool Matches(Ch const *data, std::size_t at, char const *word) {
        for (std::size_t k = 0; word[k] != '\0'; ++k)
            if (data[at + k] != static_cast<unsigned char>(word[k]))
                return false;
        return true;
    }
    // The first keyword in [from, to), or kNone.
    template <typename Ch>
    static std::size_t Find(Ch const *data, std::size_t from, std::size_t to, char const *word) {
        for (std::size_t at = NextOf(data, from, to, word[0]); at < to;
             at = NextOf(data, at + 1, to, word[0]))
            if (Matches(data, at, word))
                return at;
        return kNone;
    }
    // The first `ch` in [from, to), or `to`.
    template <typename Ch>
    static std::size_t NextOf(Ch const *data, std::size_t from, std::size_t to, char ch) {
        if (from >= to)
            return to;
        if constexpr (sizeof(Ch) == 1) {
            void const *hit = std::memchr(data + from, ch, to - from);
            return hit != nullptr ? static_cast<std::size_t>(static_cast<Ch const *>(hit) - data)
                                  : to;
        } else {
            while (from < to && data[from] != static_cast<unsigned char>(ch))
                ++from;
            return from;
        }
    }
    // Characters [from, to) as the library's multibyte text (arguments of messages).
    template <typename Ch>
    static std::string Narrow(Ch const *data, std::size_t from, std::size_t to) {
        if constexpr (sizeof(Ch) == 1) {
            return std::string(reinterpret_cast<char const *>(data + from), to - from);
        } else {
            int const length = static_cast<int>(to - from);
            int const size = platform::WideToMultiByte(0, data + from, length, nullptr, 0).count;
            std::string out(static_cast<std::size_t>(std::max(size, 0)), '\0');
            if (size > 0)
                platform::WideToMultiByte(0, data + from, length, out.data(), size);
            return out;
        }
    }
    void Add(core::msg::Message const &message, std::size_t index, std::vector<LintArg> args = {},
             int severity = -1) {
        long long const offset = index == kNone ? -1 : static_cast<long long>(index * unitSize_);
        findings_.push_back(Finding{&message, offset, severity, std::move(args)});
    }
    int StrictSeverity() const {
        return HasFlag(flags_, LintFlag::StrictBytes) ? static_cast<int>(core::msg::Severity::Error)
                                                      : -1;
    }

    char const *path_;
    bool wideAsked_;
    unsigned flags_;
    text::TextPlaces places_;
    std::size_t unitSize_ = 1;
    std::optional<platform::ThreadAnsiCodePage> utf8_; // a file read by its UTF-8 signature
    std::size_t items_ = 0;
    std::size_t nearFrom_ = 0; // where the search for near keywords goes on (after a text)
    struct NearKeyword {
        std::size_t at;     // its first character
        std::size_t equals; // its '='
        bool id;            // "rilstringid=" rather than "rilstringmacro="
    };
    std::vector<NearKeyword> nearKeywords_; // those found in the item at hand, in file order
    std::vector<Finding> findings_;
    std::unique_ptr<core::CodePageCharacters> characters_; // made at the first multibyte item
};

bool Linter::Read(unsigned char const *bytes, std::size_t size) {
    if (size == 0) {
        Add(core::catalogue::kEmptyFile, kNone, {Text(path_)});
        return false;
    }
    if (StartsWith(bytes, size, "\xFF\xFE")) {
        Add(core::catalogue::kReadAsUtf16Mark, kNone);
    } else if (HasFlag(flags_, LintFlag::Utf8Signature) && !wideAsked_ &&
               StartsWith(bytes, size, "\xEF\xBB\xBF")) {
        // For this call and this thread only, until the lint ends.
        utf8_.emplace(kUtf8CodePage);
        Add(core::catalogue::kReadAsUtf8Mark, kNone);
    }
    return true;
}

void Linter::Item(text::ParsedFile const &file, text::ParsedItem const &item) {
    unitSize_ = file.wide ? 2 : 1;
    ++items_;
    if (file.wide) {
        View<std::uint16_t> const text{reinterpret_cast<std::uint16_t const *>(file.bytes),
                                       (file.size + 1) / 2};
        CheckItemWords(text, item);
        CheckTextUnits(text.data, item);
    } else {
        View<unsigned char> const text{file.bytes, file.size};
        CheckItemWords(text, item);
        CheckTextBytes(file, item);
    }
    nearFrom_ = item.textEnd + 1;
}

// What stands outside the item's text, from the end of the text before it: the ID, another
// item's keyword where the macro keyword or the text should be, and near keywords. One search
// for '=' finds both kinds of keyword, each of which ends in it; the item's own two keywords
// are left out of it.
template <typename Ch> void Linter::CheckItemWords(View<Ch> text, text::ParsedItem const &item) {
    nearKeywords_.clear();
    ScanEquals(text, nearFrom_, item.keyword, kNone, kNone);
    std::size_t const next =
        ScanEquals(text, item.idStart, item.macroKeyword, item.idStart, item.macroKeyword);
    std::size_t const following =
        ScanEquals(text, item.macroStart, item.textStart, item.macroEnd, item.textStart - 1);
    CheckItem(text, item, next, following);
    AddNearKeywords(text);
}

// Over [from, to): notes the near keywords, and returns the first "RilStringID=" that starts in
// [keywordFrom, keywordTo), or kNone.
template <typename Ch>
std::size_t Linter::ScanEquals(View<Ch> text, std::size_t from, std::size_t to,
                               std::size_t keywordFrom, std::size_t keywordTo) {
    constexpr std::size_t kIdLength = sizeof text::kIdKeyword - 1;
    Ch const *data = text.data;
    std::size_t first = kNone;
    for (std::size_t equals = NextOf(data, from, to, '='); equals < to;
         equals = NextOf(data, equals + 1, to, '=')) {
        std::size_t const start = equals + 1 - kIdLength;
        if (equals + 1 - from >= kIdLength && Matches(data, start, text::kIdKeyword)) {
            if (first == kNone && start >= keywordFrom && start < keywordTo)
                first = start;
            continue;
        }
        bool id = false;
        std::size_t const at = NearKeywordBefore(text, from, equals, id);
        if (at != kNone && !Matches(data, at, text::kMacroKeyword))
            nearKeywords_.push_back(NearKeyword{at, equals, id});
    }
    return first;
}

// `next`: an item keyword between the ID and the macro keyword; `following`: one between the
// macro and the text (kNone: none).
template <typename Ch>
void Linter::CheckItem(View<Ch> text, text::ParsedItem const &item, std::size_t next,
                       std::size_t following) {
    CheckId(text, item.idStart);
    if (next != kNone)
        Add(core::catalogue::kMacroKeywordMissing, item.keyword, {LineOf(next)});
    else if (following != kNone)
        Add(core::catalogue::kTextMissing, item.keyword, {Number(item.id), LineOf(following)});
    if (item.macroCut && HasFlag(flags_, LintFlag::MacroLimitError))
        Add(core::catalogue::kMacroWouldBeCut, item.macroStart, {Number(item.id)});
}

// The ID as the parser reads it: blanks, a sign and decimal digits; the token quoted ends
// at the item's next separator.
template <typename Ch> void Linter::CheckId(View<Ch> text, std::size_t at) {
    Ch const *data = text.data;
    while (at < text.count && IsBlank(data[at]))
        ++at;
    // The common case first: up to ten digits and the separator, a number of 32 bits.
    long long plain = 0;
    std::size_t end = at;
    for (; end < text.count && end - at < 10 && data[end] >= '0' && data[end] <= '9'; ++end)
        plain = plain * 10 + (data[end] - '0');
    if (end > at && end < text.count && data[end] == ';' && plain <= 0xFFFFFFFFLL)
        return;
    end = at;
    while (end < text.count && end - at < kIdTokenLimit && data[end] > ' ' && data[end] != ';' &&
           data[end] != '{' && !Matches(data, end, text::kMacroKeyword))
        ++end;
    std::size_t const digits = at < end && (data[at] == '+' || data[at] == '-') ? at + 1 : at;
    long long value = 0;
    std::size_t k = digits;
    for (; k < end && data[k] >= '0' && data[k] <= '9'; ++k)
        value = std::min(value * 10 + (data[k] - '0'), 1LL << 40);
    long long const signedValue = digits > at && data[at] == '-' ? -value : value;
    long long const read = std::clamp<long long>(signedValue, INT32_MIN, INT32_MAX);
    if (at == end)
        Add(core::catalogue::kIdMissing, at);
    else if (k == digits || k != end)
        Add(core::catalogue::kIdNotANumber, at, {Text(Narrow(data, at, end)), Number(read)});
    else if (value > 0xFFFFFFFFLL)
        Add(core::catalogue::kIdOutOfRange, at, {Text(Narrow(data, at, end))});
}

// The first byte of a text that starts no character of the code page in force.
void Linter::CheckTextBytes(text::ParsedFile const &file, text::ParsedItem const &item) {
    if (!characters_)
        characters_ = std::make_unique<core::CodePageCharacters>(file.chars, 0);
    std::size_t const bad =
        characters_->FirstBad(file.bytes + item.textStart, item.textEnd - item.textStart);
    if (bad != core::CodePageCharacters::kAll)
        Add(core::catalogue::kUnmappableText, item.textStart + bad,
            {Number(item.id), Number(platform::AnsiCodePage())}, StrictSeverity());
}

void Linter::CheckTextUnits(std::uint16_t const *data, text::ParsedItem const &item) {
    for (std::size_t at = item.textStart; at < item.textEnd; ++at) {
        bool const high = data[at] >= 0xD800 && data[at] <= 0xDBFF;
        bool const low = data[at] >= 0xDC00 && data[at] <= 0xDFFF;
        if (high && at + 1 < item.textEnd && data[at + 1] >= 0xDC00 && data[at + 1] <= 0xDFFF) {
            ++at;
        } else if (high || low) {
            Add(core::catalogue::kUnpairedSurrogate, at, {Number(item.id)}, StrictSeverity());
            return;
        }
    }
}

// "rilstringid=" and "rilstringmacro=" in any letter case, with blanks around the words and
// before '=', outside texts, when not the keyword itself: read back from its '=', not before
// `from`. Its first character, or kNone; `id` tells which word it is.
template <typename Ch>
std::size_t Linter::NearKeywordBefore(View<Ch> text, std::size_t from, std::size_t equals,
                                      bool &id) {
    Ch const *data = text.data;
    // Back over blanks before `end`, then the word (in lower case, `length` characters) in any
    // letter case: the word's first character, or kNone.
    auto wordBefore = [&](std::size_t end, char const *lower, std::size_t length) {
        if (end == kNone)
            return kNone;
        while (end > from && (data[end - 1] == ' ' || data[end - 1] == '\t'))
            --end;
        if (end - from < length)
            return kNone;
        for (std::size_t k = 0; k < length; ++k) {
            Ch const ch = data[end - length + k];
            if (ch > 0x7F || Lower(ch) != lower[k])
                return kNone;
        }
        return end - length;
    };
    std::size_t at = wordBefore(equals, "id", 2);
    id = at != kNone;
    at = id ? at : wordBefore(equals, "macro", 5);
    return wordBefore(wordBefore(at, "string", 6), "ril", 3);
}

template <typename Ch> void Linter::AddNearKeywords(View<Ch> text) {
    for (NearKeyword const &near : nearKeywords_)
        Add(core::catalogue::kNearKeyword, near.at,
            {Text(Narrow(text.data, near.at, near.equals + 1)),
             Text(near.id ? text::kIdKeyword : text::kMacroKeyword)});
}

// Near keywords after the last item's text, up to the zero character that ends the search
// for items (those between the texts were looked for item by item); after a successful scan,
// items that such a zero hides.
template <typename Ch> void Linter::CheckEnd(View<Ch> text, std::size_t position, bool ok) {
    std::size_t zero = std::min(position, text.count);
    while (zero < text.count && text.data[zero] != 0)
        ++zero;
    nearKeywords_.clear();
    ScanEquals(text, std::min(nearFrom_, zero), zero, kNone, kNone);
    AddNearKeywords(text);
    if (!ok || zero >= text.count)
        return;
    std::size_t const hidden = Find(text.data, zero + 1, text.count, text::kIdKeyword);
    if (hidden != kNone)
        Add(core::catalogue::kHiddenItems, zero, {LineOf(hidden)});
}

// What the whole file says: no items, or UTF-8 read in a double-byte code page.
void Linter::CheckFile(text::ParsedFile const &file) {
    unsigned char const *bytes = file.bytes;
    std::size_t const size = file.size;
    bool const utf16Mark = StartsWith(bytes, size, "\xFF\xFE");
    std::size_t const mark =
        file.wide ? (utf16Mark ? 2 : 0) : (StartsWith(bytes, size, "\xEF\xBB\xBF") ? 3 : 0);
    if (HasFlag(flags_, LintFlag::NoItemsError) && items_ == 0 && size > mark) {
        if (file.wide && !HasWideKeyword(bytes + mark, size - mark, 2))
            Add(utf16Mark ? core::catalogue::kNoItems : core::catalogue::kNoItemsWideWithoutMark,
                kNone);
        bool const keyword = !file.wide && Find(bytes, 0, size, text::kIdKeyword) != kNone;
        if (!file.wide && !keyword)
            Add(HasWideKeyword(bytes, size, 1) ||
                        (size >= 2 &&
                         (EveryOtherByteZero(bytes, size, 0) || EveryOtherByteZero(bytes, size, 1)))
                    ? core::catalogue::kNoItemsUtf16
                    : core::catalogue::kNoItems,
                kNone);
    }
    bool doubleByte = false;
    for (unsigned byte = 0x80; byte <= 0xFF && !doubleByte; ++byte)
        doubleByte = file.chars.IsLead(static_cast<std::uint8_t>(byte));
    if (!file.wide && doubleByte && IsUtf8WithNonAscii(bytes, size))
        Add(core::catalogue::kUtf8ReadAsDbcs, kNone, {Number(platform::AnsiCodePage())});
}

void Linter::Ended(text::ParsedFile const &file, std::size_t position, bool ok,
                   platform::FileView &view) {
    unitSize_ = file.wide ? 2 : 1;
    if (file.wide)
        CheckEnd(
            View<std::uint16_t>{reinterpret_cast<std::uint16_t const *>(file.bytes), file.size / 2},
            position, ok);
    else
        CheckEnd(View<unsigned char>{file.bytes, file.size}, position, ok);
    CheckFile(file);
    places_.Adopt(std::move(view), file.wide);
}

bool Linter::Report(char const *logPath) {
    std::stable_sort(findings_.begin(), findings_.end(),
                     [](Finding const &a, Finding const &b) { return a.offset < b.offset; });
    bool errors = false;
    for (Finding const &finding : findings_) {
        std::vector<core::NoticeArg> args;
        for (LintArg const &arg : finding.args)
            args.push_back(arg.isText ? core::MakeNoticeArg(arg.text.c_str())
                           : arg.lineOf
                               ? core::MakeNoticeArg(places_.LineOfIndex(std::size_t(arg.number)))
                               : core::MakeNoticeArg(arg.number));
        core::NoticeSite const site{.file = path_,
                                    .offset = finding.offset,
                                    .places = &places_,
                                    .severity = finding.severity};
        core::RaiseNotice(*finding.message, site, logPath, args.data(), args.size());
        int const severity =
            finding.severity >= 0 ? finding.severity : static_cast<int>(finding.message->severity);
        errors = errors || severity == static_cast<int>(core::msg::Severity::Error);
    }
    return errors;
}

TxtLintRun::TxtLintRun(char const *txtPath, int wide, unsigned flags)
    : linter_(std::make_unique<Linter>(txtPath, wide, flags)) {}

TxtLintRun::~TxtLintRun() = default;

text::TxtParseObserver &TxtLintRun::Observer() {
    return *linter_;
}

core::PlaceFinder const &TxtLintRun::Places() const {
    return linter_->Places();
}

bool TxtLintRun::Report(char const *logPath) {
    return linter_->Report(logPath);
}

core::HResult LintTxt(char const *txtPath, int wide, unsigned flags) {
    if (txtPath == nullptr)
        return core::kErrArgument;
    Linter linter(txtPath, wide, flags);
    bool valid = true;
    {
        items::CRilTxtLoader list;
        if (HasFlag(flags, LintFlag::FindingsOnly)) {
            const core::NoticeMute mute; // the import reports the parser's faults itself
            text::LoadTxt(list, txtPath, wide, nullptr, &linter);
        } else {
            valid = text::LoadTxt(list, txtPath, wide, nullptr, &linter) &&
                    Validate(list, nullptr, txtPath, &linter.Places());
        }
    }
    bool const errors = linter.Report();
    return valid && !errors ? core::kSOk : core::kErrImportParse;
}

} // namespace ril::tools
