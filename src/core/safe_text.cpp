// Bounded copy, concatenate and format helpers (strsafe character-count semantics), with a
// small printf engine for UTF-16 formats.
#include "core/safe_text.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <new>
#include <utility>

namespace ril {
namespace {

constexpr std::size_t kMaxCapacity = 0x7FFFFFFF;

bool ValidCapacity(std::size_t capacity) {
    return capacity != 0 && capacity <= kMaxCapacity;
}

// Copies at most capacity - 1 characters and a terminator; capacity must be valid.
// A null source counts as an empty text.
template <typename Char>
HResult CopyBounded(Char *destination, std::size_t capacity, const Char *source) {
    std::size_t i = 0;
    for (; source != nullptr && i < capacity && source[i] != 0; ++i)
        destination[i] = source[i];
    if (i == capacity) {
        destination[capacity - 1] = 0;
        return kEInsufficientBuffer;
    }
    destination[i] = 0;
    return kSOk;
}

template <typename Char> HResult Copy(Char *destination, std::size_t capacity, const Char *source) {
    if (destination == nullptr || !ValidCapacity(capacity))
        return kEInvalidArg;
    return CopyBounded(destination, capacity, source);
}

template <typename Char> HResult Cat(Char *destination, std::size_t capacity, const Char *source) {
    if (destination == nullptr || capacity > kMaxCapacity)
        return kEInvalidArg;
    std::size_t length = 0;
    while (length < capacity && destination[length] != 0)
        ++length;
    if (length == capacity) // no terminator within the capacity (capacity 0 included)
        return kEInvalidArg;
    return CopyBounded(destination + length, capacity - length, source);
}

// ---- Wide formatting -------------------------------------------------------------------

// Collects output units, keeping at most capacity - 1 and remembering whether more came.
class WideOutput {
  public:
    WideOutput(std::uint16_t *destination, std::size_t capacity)
        : destination_(destination), limit_(capacity - 1) {}

    bool Overflowed() const { return overflowed_; }
    std::size_t Room() const { return limit_ - count_; }
    void Put(std::uint16_t unit) {
        if (count_ < limit_)
            destination_[count_++] = unit;
        else
            overflowed_ = true;
    }
    void Pad(std::size_t count, std::uint16_t unit) {
        for (std::size_t i = 0; i < count && !overflowed_; ++i)
            Put(unit);
    }
    void PutNarrow(const char *text, std::size_t length) {
        for (std::size_t i = 0; i < length && !overflowed_; ++i)
            Put(static_cast<unsigned char>(text[i]));
    }
    HResult Finish() {
        destination_[count_] = 0;
        return overflowed_ ? kEInsufficientBuffer : kSOk;
    }
    HResult Fail(HResult result) {
        count_ = 0;
        destination_[0] = 0;
        return result;
    }

  private:
    std::uint16_t *destination_;
    std::size_t limit_;
    std::size_t count_ = 0;
    bool overflowed_ = false;
};

// A va_list that helpers can consume in turn.
struct Args {
    va_list list;
};

enum class Length { None, Char, Short, Long, LongLong, IntMax, Size, PtrDiff, LongDouble };

struct Directive {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alt = false;
    bool zero = false;
    int width = 0;
    int precision = -1; // negative: none
    Length length = Length::None;
    std::uint16_t conversion = 0;
};

bool IsDigit(std::uint16_t unit) {
    return unit >= '0' && unit <= '9';
}

// Reads decimal digits, saturating at INT_MAX.
int ParseNumber(const std::uint16_t *&p) {
    long long value = 0;
    for (; IsDigit(*p); ++p) {
        value = value * 10 + (*p - '0');
        if (value > INT_MAX)
            value = INT_MAX;
    }
    return static_cast<int>(value);
}

void ParseFlags(const std::uint16_t *&p, Directive &directive) {
    for (;; ++p) {
        switch (*p) {
        case '-':
            directive.left = true;
            break;
        case '+':
            directive.plus = true;
            break;
        case ' ':
            directive.space = true;
            break;
        case '#':
            directive.alt = true;
            break;
        case '0':
            directive.zero = true;
            break;
        default:
            return;
        }
    }
}

void ParseWidth(const std::uint16_t *&p, Directive &directive, Args &args) {
    if (*p != '*') {
        directive.width = ParseNumber(p);
        return;
    }
    ++p;
    int width = va_arg(args.list, int);
    if (width < 0) { // a negative width from the arguments means left alignment
        directive.left = true;
        width = width == INT_MIN ? INT_MAX : -width;
    }
    directive.width = width;
}

void ParsePrecision(const std::uint16_t *&p, Directive &directive, Args &args) {
    if (*p != '.')
        return;
    ++p;
    if (*p == '*') {
        ++p;
        int precision = va_arg(args.list, int);
        directive.precision = precision < 0 ? -1 : precision;
    } else {
        directive.precision = ParseNumber(p);
    }
}

// Length modifiers of C99 plus Microsoft's I64, I32 and I.
void ParseLength(const std::uint16_t *&p, Directive &directive) {
    switch (*p) {
    case 'h':
        directive.length = p[1] == 'h' ? Length::Char : Length::Short;
        p += directive.length == Length::Char ? 1 : 0;
        break;
    case 'l':
        directive.length = p[1] == 'l' ? Length::LongLong : Length::Long;
        p += directive.length == Length::LongLong ? 1 : 0;
        break;
    case 'j':
        directive.length = Length::IntMax;
        break;
    case 'z':
        directive.length = Length::Size;
        break;
    case 't':
        directive.length = Length::PtrDiff;
        break;
    case 'L':
        directive.length = Length::LongDouble;
        break;
    case 'I':
        if (p[1] == '6' && p[2] == '4') {
            directive.length = Length::LongLong;
            p += 3;
        } else if (p[1] == '3' && p[2] == '2') {
            p += 3;
        } else {
            directive.length = Length::Size;
            ++p;
        }
        return;
    default:
        return;
    }
    ++p;
}

long long SignedArg(const Directive &directive, Args &args) {
    switch (directive.length) {
    case Length::Char:
        return static_cast<signed char>(va_arg(args.list, int));
    case Length::Short:
        return static_cast<short>(va_arg(args.list, int));
    case Length::Long:
        return va_arg(args.list, long);
    case Length::LongLong:
        return va_arg(args.list, long long);
    case Length::IntMax:
        return va_arg(args.list, std::intmax_t);
    case Length::Size:
    case Length::PtrDiff:
        return va_arg(args.list, std::ptrdiff_t);
    default:
        return va_arg(args.list, int);
    }
}

unsigned long long UnsignedArg(const Directive &directive, Args &args) {
    switch (directive.length) {
    case Length::Char:
        return static_cast<unsigned char>(va_arg(args.list, unsigned));
    case Length::Short:
        return static_cast<unsigned short>(va_arg(args.list, unsigned));
    case Length::Long:
        return va_arg(args.list, unsigned long);
    case Length::LongLong:
        return va_arg(args.list, unsigned long long);
    case Length::IntMax:
        return va_arg(args.list, std::uintmax_t);
    case Length::Size:
    case Length::PtrDiff:
        return va_arg(args.list, std::size_t);
    default:
        return va_arg(args.list, unsigned);
    }
}

// The narrow printf format "%<flags>*.*<modifier><conversion>" for one conversion.
struct NarrowSpec {
    char text[24]; // "%" + 5 flags + "*.*" + a modifier of at most 3 + conversion + zero
};

NarrowSpec MakeNarrowSpec(const Directive &directive, const char *modifier) {
    NarrowSpec narrow{};
    std::size_t n = 0;
    narrow.text[n++] = '%';
    for (auto [on, flag] : {std::pair{directive.left, '-'}, std::pair{directive.plus, '+'},
                            std::pair{directive.space, ' '}, std::pair{directive.alt, '#'},
                            std::pair{directive.zero, '0'}})
        if (on)
            narrow.text[n++] = flag;
    for (const char *c = "*.*"; *c != 0; ++c)
        narrow.text[n++] = *c;
    for (; *modifier != 0; ++modifier)
        narrow.text[n++] = *modifier;
    narrow.text[n++] = static_cast<char>(directive.conversion);
    return narrow;
}

// Formats one value with the C runtime's narrow printf and appends it unit by unit.
template <typename Value>
HResult PutFormatted(WideOutput &out, const Directive &directive, const char *modifier,
                     Value value) {
    const NarrowSpec narrow = MakeNarrowSpec(directive, modifier);
    char small[128];
    int length = std::snprintf(small, sizeof small, narrow.text, directive.width,
                               directive.precision, value);
    if (length < 0)
        return kEInvalidArg;
    if (static_cast<std::size_t>(length) < sizeof small) {
        out.PutNarrow(small, static_cast<std::size_t>(length));
        return kSOk;
    }
    // A wide field: only what can still fit (and one more unit to detect overflow) matters.
    std::size_t keep = std::min(static_cast<std::size_t>(length), out.Room() + 1);
    std::unique_ptr<char[]> large(new (std::nothrow) char[keep + 1]);
    if (!large)
        return kEOutOfMemory;
    std::snprintf(large.get(), keep + 1, narrow.text, directive.width, directive.precision, value);
    out.PutNarrow(large.get(), keep);
    return kSOk;
}

std::size_t BoundedLength(const std::uint16_t *text, int precision) {
    std::size_t length = 0;
    while ((precision < 0 || length < static_cast<std::size_t>(precision)) && text[length] != 0)
        ++length;
    return length;
}

// Appends `length` units of `text` padded with blanks to the field width.
void PutField(WideOutput &out, const Directive &directive, const std::uint16_t *text,
              std::size_t length) {
    std::size_t width = static_cast<std::size_t>(directive.width);
    std::size_t padding = width > length ? width - length : 0;
    if (!directive.left)
        out.Pad(padding, ' ');
    for (std::size_t i = 0; i < length && !out.Overflowed(); ++i)
        out.Put(text[i]);
    if (directive.left)
        out.Pad(padding, ' ');
}

void PutString(WideOutput &out, const Directive &directive, Args &args) {
    static const std::uint16_t kNull[] = {'(', 'n', 'u', 'l', 'l', ')', 0};
    const auto *text = va_arg(args.list, const std::uint16_t *);
    if (text == nullptr)
        text = kNull;
    PutField(out, directive, text, BoundedLength(text, directive.precision));
}

void PutChar(WideOutput &out, const Directive &directive, Args &args) {
    const auto unit = static_cast<std::uint16_t>(va_arg(args.list, int));
    PutField(out, directive, &unit, 1);
}

// Appends one conversion; kEInvalidArg for a conversion that is not supported (%n included).
HResult PutConversion(WideOutput &out, const Directive &directive, Args &args) {
    switch (directive.conversion) {
    case '%':
        out.Put('%');
        return kSOk;
    case 'c':
    case 's':
        // Both take wide units; %hc and %hs (narrow in Microsoft's wide printf) are refused.
        if (directive.length != Length::None && directive.length != Length::Long)
            return kEInvalidArg;
        if (directive.conversion == 'c')
            PutChar(out, directive, args);
        else
            PutString(out, directive, args);
        return kSOk;
    case 'd':
    case 'i':
        return PutFormatted(out, directive, "ll", SignedArg(directive, args));
    case 'u':
    case 'o':
    case 'x':
    case 'X':
        return PutFormatted(out, directive, "ll", UnsignedArg(directive, args));
    case 'e':
    case 'E':
    case 'f':
    case 'F':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
        if (directive.length == Length::LongDouble)
            return PutFormatted(out, directive, "L", va_arg(args.list, long double));
        return PutFormatted(out, directive, "", va_arg(args.list, double));
    case 'p':
        return PutFormatted(out, directive, "", va_arg(args.list, void *));
    default:
        return kEInvalidArg;
    }
}

// Parses the conversion after a '%' and appends its output; advances `p` past it.
HResult PutDirective(WideOutput &out, const std::uint16_t *&p, Args &args) {
    Directive directive;
    ParseFlags(p, directive);
    ParseWidth(p, directive, args);
    ParsePrecision(p, directive, args);
    ParseLength(p, directive);
    directive.conversion = *p;
    if (directive.conversion == 0)
        return kEInvalidArg;
    ++p;
    return PutConversion(out, directive, args);
}

HResult FormatWide(WideOutput &out, const std::uint16_t *format, Args &args) {
    for (const std::uint16_t *p = format; *p != 0 && !out.Overflowed();) {
        if (*p != '%') {
            out.Put(*p++);
            continue;
        }
        ++p;
        HResult result = PutDirective(out, p, args);
        if (result != kSOk)
            return out.Fail(result);
    }
    return out.Finish();
}

} // namespace

HResult SafeCopyA(char *destination, std::size_t capacity, const char *source) {
    return Copy(destination, capacity, source);
}

HResult SafeCopyW(std::uint16_t *destination, std::size_t capacity, const std::uint16_t *source) {
    return Copy(destination, capacity, source);
}

HResult SafeCatA(char *destination, std::size_t capacity, const char *source) {
    return Cat(destination, capacity, source);
}

HResult SafeCatW(std::uint16_t *destination, std::size_t capacity, const std::uint16_t *source) {
    return Cat(destination, capacity, source);
}

HResult SafeFormatA(char *destination, std::size_t capacity, const char *format, ...) {
    va_list args;
    va_start(args, format);
    HResult result = SafeFormatVA(destination, capacity, format, args);
    va_end(args);
    return result;
}

HResult SafeFormatVA(char *destination, std::size_t capacity, const char *format, va_list args) {
    if (destination == nullptr || format == nullptr || !ValidCapacity(capacity))
        return kEInvalidArg;
    // vsnprintf keeps at most capacity - 1 bytes and terminates; it returns the full length,
    // or a negative count when it cannot format.
    int length = std::vsnprintf(destination, capacity, format, args);
    if (length < 0 || static_cast<std::size_t>(length) > capacity - 1) {
        destination[capacity - 1] = 0;
        return kEInsufficientBuffer;
    }
    return kSOk;
}

HResult SafeFormatW(std::uint16_t *destination, std::size_t capacity, const std::uint16_t *format,
                    ...) {
    va_list args;
    va_start(args, format);
    HResult result = SafeFormatVW(destination, capacity, format, args);
    va_end(args);
    return result;
}

// Unsupported conversions leave an empty text and give kEInvalidArg; a field too large for
// a scratch buffer that cannot be allocated leaves an empty text and gives kEOutOfMemory.
HResult SafeFormatVW(std::uint16_t *destination, std::size_t capacity, const std::uint16_t *format,
                     va_list args) {
    if (destination == nullptr || format == nullptr || !ValidCapacity(capacity))
        return kEInvalidArg;
    WideOutput out(destination, capacity);
    Args own;
    va_copy(own.list, args);
    HResult result = FormatWide(out, format, own);
    va_end(own.list);
    return result;
}

} // namespace ril
