// Code-page conversion on POSIX through iconv, with Windows code page numbers mapped to
// iconv's names. One converter per code page and direction, opened once and reused.
#include "platform/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

namespace ril::platform {
namespace {

constexpr unsigned kDefaultAnsiCodePage = 936;

struct Settings {
    std::mutex lock;
    unsigned ansiCodePage = 0; // 0: the default
    std::map<std::pair<unsigned, bool>, iconv_t> converters;

    ~Settings() {
        for (auto &entry : converters)
            if (entry.second != reinterpret_cast<iconv_t>(-1))
                iconv_close(entry.second);
    }
};

Settings &TheSettings() {
    static Settings settings;
    return settings;
}

char const *IconvName(unsigned codePage) {
    switch (codePage) {
    case 936:
        return "CP936";
    case 54936:
        return "GB18030";
    case 65001:
        return "UTF-8";
    case 1200:
        return "UTF-16LE";
    case 874:
        return "CP874";
    case 932:
        return "CP932";
    case 949:
        return "CP949";
    case 950:
        return "CP950";
    case 20127:
        return "ASCII";
    case 1250:
        return "CP1250";
    case 1251:
        return "CP1251";
    case 1252:
        return "CP1252";
    case 1253:
        return "CP1253";
    case 1254:
        return "CP1254";
    case 1255:
        return "CP1255";
    case 1256:
        return "CP1256";
    case 1257:
        return "CP1257";
    case 1258:
        return "CP1258";
    case 28591:
        return "ISO-8859-1";
    case 28592:
        return "ISO-8859-2";
    case 28593:
        return "ISO-8859-3";
    case 28594:
        return "ISO-8859-4";
    case 28595:
        return "ISO-8859-5";
    case 28596:
        return "ISO-8859-6";
    case 28597:
        return "ISO-8859-7";
    case 28598:
        return "ISO-8859-8";
    case 28599:
        return "ISO-8859-9";
    default:
        return nullptr;
    }
}

// The converter for `codePage` towards UTF-16LE (toWide) or from it; -1 when none exists.
// What code page 0 stands for in the calling thread. Must be called with the settings locked.
unsigned AnsiCodePageLocked(Settings const &settings) {
    if (unsigned const own = ThreadCodePage(); own != 0)
        return own;
    return settings.ansiCodePage != 0 ? settings.ansiCodePage : kDefaultAnsiCodePage;
}

// Must be called with the settings locked.
iconv_t Converter(Settings &settings, unsigned codePage, bool toWide) {
    if (codePage == 0)
        codePage = AnsiCodePageLocked(settings);
    auto key = std::make_pair(codePage, toWide);
    auto found = settings.converters.find(key);
    if (found != settings.converters.end())
        return found->second;
    char const *name = IconvName(codePage);
    iconv_t cd = reinterpret_cast<iconv_t>(-1);
    if (name != nullptr)
        cd = toWide ? iconv_open("UTF-16LE", name) : iconv_open(name, "UTF-16LE");
    settings.converters.emplace(key, cd);
    return cd;
}

// Collects converted bytes either into the caller's buffer or, for a size query, into a
// scratch area that is counted and reused.
class Output {
  public:
    Output(char *destination, std::size_t capacity)
        : counting_(destination == nullptr), cursor_(counting_ ? scratch_ : destination),
          left_(counting_ ? sizeof scratch_ : capacity), start_(cursor_) {}

    char *&cursor() { return cursor_; }
    std::size_t &left() { return left_; }
    // Makes room after E2BIG; false when the caller's buffer is full.
    bool MakeRoom() {
        if (!counting_)
            return false;
        counted_ += static_cast<std::size_t>(cursor_ - scratch_);
        cursor_ = scratch_;
        left_ = sizeof scratch_;
        return true;
    }
    bool Put(char const *bytes, std::size_t size) {
        if (left_ < size && !MakeRoom())
            return false;
        std::memcpy(cursor_, bytes, size);
        cursor_ += size;
        left_ -= size;
        return true;
    }
    std::size_t Produced() const {
        return counted_ + static_cast<std::size_t>(cursor_ - (counting_ ? scratch_ : start_));
    }

  private:
    bool counting_;
    char scratch_[1024];
    char *cursor_;
    std::size_t left_;
    char *start_;
    std::size_t counted_ = 0;
};

// How many input bytes to pass over at an invalid or unmappable spot.
std::size_t BadInputLength(bool toWide, char const *in, std::size_t inLeft) {
    if (toWide || inLeft < 4)
        return toWide ? 1 : (inLeft >= 2 ? 2 : inLeft);
    std::uint16_t first = static_cast<std::uint8_t>(in[0]) | static_cast<std::uint8_t>(in[1]) << 8;
    std::uint16_t second = static_cast<std::uint8_t>(in[2]) | static_cast<std::uint8_t>(in[3]) << 8;
    bool pair = first >= 0xD800 && first < 0xDC00 && second >= 0xDC00 && second < 0xE000;
    return pair ? 4 : 2;
}

// Whether the input that a failed call stopped at is itself what cannot be converted. Some
// converters consume a sequence before refusing it (glibc's UHC does with A2 E8): then what
// follows converts, and nothing must be skipped. Called with the converter reset; leaves it so.
bool StartsBadInput(iconv_t cd, char *input, std::size_t inLeft) {
    if (inLeft == 0)
        return false;
    char scratch[16];
    char *probe = input;
    std::size_t probeLeft = std::min<std::size_t>(inLeft, 4);
    char *probeOut = scratch;
    std::size_t probeRoom = sizeof scratch;
    iconv(cd, &probe, &probeLeft, &probeOut, &probeRoom);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return probe == input;
}

Conversion Convert(unsigned codePage, bool toWide, char const *in, std::size_t inLeft,
                   char *destination, std::size_t capacity, std::size_t unit) {
    Settings &settings = TheSettings();
    std::lock_guard<std::mutex> guard(settings.lock);
    iconv_t cd = Converter(settings, codePage, toWide);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return Conversion{0, kErrorInvalidParameter};
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

    static char const kWideReplacement[2] = {'\xFD', '\xFF'};
    Output out(destination, capacity);
    char *input = const_cast<char *>(in);
    while (inLeft > 0) {
        if (iconv(cd, &input, &inLeft, &out.cursor(), &out.left()) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            if (!out.MakeRoom())
                return Conversion{0, kErrorInsufficientBuffer};
            continue;
        }
        if (errno != EILSEQ && errno != EINVAL)
            return Conversion{0, kErrorNoUnicodeTranslation};
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        std::size_t skip =
            StartsBadInput(cd, input, inLeft) ? BadInputLength(toWide, input, inLeft) : 0;
        input += skip;
        inLeft -= skip;
        bool put = toWide ? out.Put(kWideReplacement, 2) : out.Put("?", 1);
        if (!put)
            return Conversion{0, kErrorInsufficientBuffer};
    }
    // Flush any shift state the target encoding keeps.
    while (iconv(cd, nullptr, nullptr, &out.cursor(), &out.left()) == static_cast<size_t>(-1)) {
        if (errno != E2BIG || !out.MakeRoom())
            return Conversion{0, kErrorInsufficientBuffer};
    }
    std::size_t produced = out.Produced() / unit;
    if (produced > static_cast<std::size_t>(INT32_MAX))
        return Conversion{0, kErrorNoUnicodeTranslation};
    return Conversion{static_cast<int>(produced), 0};
}

std::size_t WideLength(std::uint16_t const *text) {
    std::size_t n = 0;
    while (text[n] != 0)
        ++n;
    return n;
}

} // namespace

Conversion MultiByteToWide(unsigned codePage, char const *source, int sourceLength,
                           std::uint16_t *destination, int destinationSize) {
    if (source == nullptr || sourceLength == 0 || sourceLength < -1 || destinationSize < 0 ||
        (destination == nullptr && destinationSize != 0))
        return Conversion{0, kErrorInvalidParameter};
    std::size_t length = sourceLength == -1 ? std::strlen(source) + 1 : std::size_t(sourceLength);
    char *out = destinationSize == 0 ? nullptr : reinterpret_cast<char *>(destination);
    return Convert(codePage, true, source, length, out, std::size_t(destinationSize) * 2, 2);
}

Conversion WideToMultiByte(unsigned codePage, std::uint16_t const *source, int sourceLength,
                           char *destination, int destinationSize) {
    if (source == nullptr || sourceLength == 0 || sourceLength < -1 || destinationSize < 0 ||
        (destination == nullptr && destinationSize != 0))
        return Conversion{0, kErrorInvalidParameter};
    std::size_t units = sourceLength == -1 ? WideLength(source) + 1 : std::size_t(sourceLength);
    char *out = destinationSize == 0 ? nullptr : destination;
    return Convert(codePage, false, reinterpret_cast<char const *>(source), units * 2, out,
                   std::size_t(destinationSize), 1);
}

unsigned SetAnsiCodePage(unsigned codePage) {
    Settings &settings = TheSettings();
    std::lock_guard<std::mutex> guard(settings.lock);
    return std::exchange(settings.ansiCodePage, codePage);
}

unsigned AnsiCodePage() {
    Settings &settings = TheSettings();
    std::lock_guard<std::mutex> guard(settings.lock);
    return AnsiCodePageLocked(settings);
}

unsigned ChosenAnsiCodePage() {
    Settings &settings = TheSettings();
    std::lock_guard<std::mutex> guard(settings.lock);
    return settings.ansiCodePage;
}

} // namespace ril::platform
