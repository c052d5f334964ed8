// Parsing text resource files into the item list: one read into a zero-padded buffer, then
// one scan from keyword to keyword.
#include "text/txt_parser.h"

#include "core/error_report.h"
#include "core/limits.h"
#include "core/messages.h"
#include "platform/codepage_chars.h"
#include "platform/fault.h"
#include "platform/file.h"
#include "text/free_id_pool.h"
#include "text/text_places.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace ril::text {
namespace {

constexpr std::int32_t kFirstPreviousId = 1000;
// Zero bytes behind the file's content: a UTF-16 scan of an odd-length file, and every
// look-ahead of the scanner, stays inside the buffer.
constexpr std::size_t kFilePadding = 6;
constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

// The whole file in memory, read into one heap buffer and viewed as bytes or as 16-bit units
// (the buffer is aligned and padded for either).
struct LoadedText {
    platform::FileView view;
    bool wide = false;

    unsigned char const *Bytes() const { return view.Data(); }
    std::uint16_t const *Units() const {
        return reinterpret_cast<std::uint16_t const *>(view.Data());
    }
};

// One read of the whole file into a padded heap buffer, then the byte-order mark decides the
// flavour.
bool ReadTextFile(char const *path, int wide, char const *logPath, LoadedText &text,
                  TxtParseObserver *observer) {
    int error = 0;
    const platform::ReadStatus status =
        platform::ViewWholeFile(path, kFilePadding, text.view, &error);
    const core::NoticeSite site{.file = path, .systemError = error};
    switch (status) {
    case platform::ReadStatus::Ok:
        break;
    case platform::ReadStatus::CannotOpen:
        core::LogError(logPath, core::catalogue::kCannotOpen, site, path);
        return false;
    case platform::ReadStatus::NoMemory:
        core::LogError(logPath, core::catalogue::kCannotAllocateLoad, site, path);
        return false;
    case platform::ReadStatus::ReadFailed:
        core::LogError(logPath, core::catalogue::kCannotRead, site, path);
        return false;
    }
    unsigned char const *mark = text.Bytes();
    if (observer != nullptr && !observer->Read(mark, text.view.Size()))
        return false;
    if (text.view.Size() < 2) {
        core::LogError(logPath, core::catalogue::kCannotRead, site, path);
        return false;
    }
    if (mark[0] == 0xFE && mark[1] == 0xFF) {
        core::LogError(logPath, core::catalogue::kBigEndianUnicode, site, path);
        return false;
    }
    text.wide = (mark[0] == 0xFF && mark[1] == 0xFE) || wide != 0;
    return true;
}

bool IsBlank(unsigned ch) {
    return ch == ' ' || (ch >= '\t' && ch <= '\r');
}

// Scans the characters of one flavour: bytes (unsigned char) or UTF-16 units.
template <typename Ch> class Scanner {
  public:
    Scanner(items::CRilTxtLoader &list, Ch const *data, std::size_t count, char const *path,
            char const *logPath, ParsedFile const &file, TxtParseObserver *observer)
        : list_(list), data_(data), count_(count), path_(path), log_(logPath), chars_(file.chars),
          file_(file), observer_(observer), places_(file.bytes, file.size, file.wide) {}

    // Where the scan stands: after the last item read.
    std::size_t Position() const { return position_; }

    int Run() {
        for (;;) {
            std::size_t idAt = FindKeyword(position_, kIdKeyword);
            if (idAt == kNotFound)
                break;
            if (!ReadItem(idAt, position_))
                return 0;
        }
        core::LogError(log_, core::catalogue::kGapCount, core::NoticeSite{.file = path_},
                       GapCount());
        return 1;
    }

  private:
    // The byte offset of a character in the file, as messages print it (32 bits).
    std::uint32_t Offset(std::size_t index) const {
        return static_cast<std::uint32_t>(index * sizeof(Ch));
    }
    // The place of a character for a notice: the full byte offset.
    core::NoticeSite At(std::size_t index) const {
        return core::NoticeSite{.file = path_,
                                .offset = static_cast<long long>(index * sizeof(Ch)),
                                .places = &places_};
    }

    // Reads the item whose "RilStringID=" keyword is at `keywordAt`; leaves `position` behind
    // its closing brace.
    bool ReadItem(std::size_t keywordAt, std::size_t &position) {
        const std::size_t at = keywordAt + sizeof kIdKeyword - 1;
        items::CRilTxtLoader::ItemHandle item = list_.NewItem();
        if (!item) {
            core::LogError(log_, core::catalogue::kRecordAllocationFailed, At(keywordAt));
            return false;
        }
        item->SourceOffset = static_cast<std::int64_t>(keywordAt * sizeof(Ch));
        if (!AssignId(*item, ReadNumber(at), at))
            return false;
        std::size_t macroAt = FindKeyword(at, kMacroKeyword);
        if (macroAt == kNotFound) {
            core::LogError(log_, core::catalogue::kMacroNotFound, At(at), item->ID, Offset(at));
            return false;
        }
        std::size_t const macroStart = macroAt + sizeof kMacroKeyword - 1;
        if (!CopyMacro(*item, macroStart, position)) {
            core::LogError(log_, core::catalogue::kRecordAllocationFailed, At(keywordAt));
            return false;
        }
        std::size_t const macroEnd = position;
        long length;
        if constexpr (sizeof(Ch) == 1)
            length = FindBracedText(data_, count_, position, chars_, path_, &places_);
        else
            length = FindBracedText(data_, count_, position, path_, &places_);
        if (length < 0) {
            core::LogError(log_, core::catalogue::kTextNotFound, At(keywordAt), item->ID,
                           item->Macro());
            return false;
        }
        core::HResult built = sizeof(Ch) == 1
                                  ? item->SetTextA(data_ + position, std::size_t(length))
                                  : item->SetTextW(data_ + position, std::size_t(length));
        if (built != core::kSOk) {
            core::LogError(log_, core::catalogue::kRecordAllocationFailed, At(keywordAt));
            return false;
        }
        if (observer_ != nullptr)
            observer_->Item(file_,
                            ParsedItem{keywordAt, at, macroAt, macroStart, macroEnd, macroCut_,
                                       position, position + std::size_t(length), item->ID});
        position += std::size_t(length) + 1;
        if (newId_)
            core::InformCaller(core::catalogue::kNewId, At(keywordAt), item->ID, item->Macro());
        list_.Append(std::move(item));
        return true;
    }

    // Decimal number with optional blanks and sign; no digits give 0. Values beyond 32 bits
    // are clamped to the signed range, so an over-long number asks for a new ID.
    std::int32_t ReadNumber(std::size_t at) const {
        while (IsBlank(data_[at]))
            ++at;
        bool negative = data_[at] == '-';
        if (data_[at] == '-' || data_[at] == '+')
            ++at;
        std::int64_t value = 0;
        for (; data_[at] >= '0' && data_[at] <= '9'; ++at)
            if (value <= std::int64_t{INT32_MAX} + 1)
                value = value * 10 + (data_[at] - '0');
        if (negative)
            return value > std::int64_t{INT32_MAX} ? INT32_MIN : static_cast<std::int32_t>(-value);
        return value > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(value);
    }

    // The gap count: the numbers from 1001 (or the lowest ID, when lower) up to the highest ID
    // that no item takes, each item counted with the ID it was given. A repeated ID, which
    // validation refuses, makes it smaller; it is never negative.
    std::int32_t GapCount() const {
        if (items_ == 0)
            return 0;
        const std::uint32_t low = std::min<std::uint32_t>(lowestId_, kFirstPreviousId + 1);
        const std::uint64_t span = std::uint64_t{highestId_} - low + 1;
        return span <= items_
                   ? 0
                   : static_cast<std::int32_t>(std::min<std::uint64_t>(span - items_, INT32_MAX));
    }

    void CountId(std::uint32_t id) {
        lowestId_ = items_ == 0 ? id : std::min(lowestId_, id);
        highestId_ = items_ == 0 ? id : std::max(highestId_, id);
        ++items_;
    }

    // Keeps the pool of free numbers, in 32-bit wrap-around arithmetic, and gives an item
    // that asks for a new ID the first free number.
    bool AssignId(items::RilStrRes &item, std::int32_t read, std::size_t at) {
        std::uint32_t diff =
            static_cast<std::uint32_t>(read) - static_cast<std::uint32_t>(previousId_);
        if (static_cast<std::int32_t>(diff) >= 2)
            pool_.Append(static_cast<std::uint32_t>(previousId_) + 1, diff - 1);
        previousId_ = read;
        item.ID = static_cast<std::uint32_t>(read);
        newId_ = item.ID >= core::kNewIdThreshold;
        if (newId_) {
            std::optional<std::uint32_t> free = pool_.Take();
            if (!free) {
                core::LogError(log_, core::catalogue::kNoFreeId, At(at), Offset(at));
                return false;
            }
            item.ID = *free;
        }
        CountId(item.ID);
        return true;
    }

    // Copies the macro up to CR, LF or a zero, at most 127 characters, and sets `position`
    // where it ended; false when memory runs out.
    bool CopyMacro(items::RilStrRes &item, std::size_t start, std::size_t &position) {
        std::size_t n = 0;
        for (; n < core::kMacroLimit; ++n) {
            Ch ch = data_[start + n];
            if (ch == '\r' || ch == '\n' || ch == 0)
                break;
        }
        // A macro of 127 characters gets the warning whether or not it was cut (the library's
        // standard behaviour); a lint that reports real cuts itself takes the warning over.
        Ch const next = data_[start + n];
        macroCut_ = n == core::kMacroLimit && next != '\r' && next != '\n' && next != 0;
        if (n == core::kMacroLimit && (observer_ == nullptr || !observer_->ReportsCutMacros())) {
            const std::size_t past = start + core::kMacroLimit + 1;
            core::LogError(log_, core::catalogue::kMacroTooLong, At(start), item.ID, Offset(past));
        }
        position = start + n;
        core::HResult set;
        if constexpr (sizeof(Ch) == 1)
            set = item.SetMacro(reinterpret_cast<char const *>(data_ + start), n);
        else
            set = item.SetMacroW(data_ + start, n);
        return set == core::kSOk;
    }

    // Substring search that ends at the first zero character. A keyword most often comes a few
    // bytes on: the first of them are looked at one by one, sparing a call of strstr.
    std::size_t FindKeyword(std::size_t from, char const *keyword) const {
        if constexpr (sizeof(Ch) == 1) {
            constexpr std::size_t kNear = 16;
            char const *text = reinterpret_cast<char const *>(data_);
            std::size_t const length = std::strlen(keyword);
            for (std::size_t at = from; at < from + kNear; ++at) {
                if (text[at] == '\0')
                    return kNotFound;
                if (text[at] == keyword[0] && std::strncmp(text + at, keyword, length) == 0)
                    return at;
            }
            char const *hit = std::strstr(text + from + kNear, keyword);
            return hit == nullptr ? kNotFound : static_cast<std::size_t>(hit - text);
        } else {
            const Ch first = static_cast<unsigned char>(keyword[0]);
            for (std::size_t i = from; data_[i] != 0; ++i) {
                if (data_[i] != first)
                    continue;
                std::size_t k = 1;
                while (keyword[k] != '\0' && data_[i + k] == static_cast<unsigned char>(keyword[k]))
                    ++k;
                if (keyword[k] == '\0')
                    return i;
            }
            return kNotFound;
        }
    }

    items::CRilTxtLoader &list_;
    Ch const *data_;
    std::size_t count_;
    char const *path_;
    char const *log_;
    platform::CharTable const &chars_; // multibyte files: the ANSI code page's characters
    ParsedFile const &file_;
    TxtParseObserver *observer_;
    TextPlaces places_; // lines and columns for the notices
    std::size_t position_ = 0;
    bool macroCut_ = false; // the current item's macro was cut
    std::int32_t previousId_ = kFirstPreviousId;
    std::uint64_t items_ = 0; // the items numbered so far, and their lowest and highest IDs
    std::uint32_t lowestId_ = 0;
    std::uint32_t highestId_ = 0;
    bool newId_ = false; // the current item asked for a new ID
    FreeIdPool pool_;
};

} // namespace

namespace {

// Braces among bytes: a brace byte is a brace only where a character of the code page starts
// (elsewhere it trails a double-byte character).
class ByteBraces {
  public:
    ByteBraces(unsigned char const *data, std::size_t count, platform::CharTable const &chars)
        : data_(data), count_(count), chars_(chars) {}

    unsigned At(std::size_t at) const { return data_[at]; }
    std::size_t CharLength(std::size_t at) const { return chars_.CharLength(data_, at, count_); }
    // The first brace in [from, count), or count; `from` starts a character.
    std::size_t Find(std::size_t from) const {
        for (std::size_t boundary = from;;) {
            std::size_t at = NextBraceByte(from);
            if (at >= count_ || chars_.StartsCharacter(data_, boundary, at))
                return at;
            boundary = from = at + 1; // the trail byte ended its character
        }
    }

  private:
    // The first '{' or '}' byte in [from, count), or count. Where the compiler offers vectors,
    // sixteen bytes are tested at once up to the block that holds a brace: the braces lie
    // some fifty to two hundred bytes apart, too near for a library search to pay its call.
    std::size_t NextBraceByte(std::size_t from) const {
        if (from >= count_)
            return count_;
        std::size_t at = from;
#if defined(__GNUC__)
        using Block = unsigned char __attribute__((vector_size(16)));
        for (; count_ - at >= sizeof(Block); at += sizeof(Block)) {
            Block block;
            std::memcpy(&block, data_ + at, sizeof block);
            auto const hits = (block == '{') | (block == '}');
            std::uint64_t halves[2];
            std::memcpy(halves, &hits, sizeof halves);
            if ((halves[0] | halves[1]) != 0)
                break;
        }
#endif
        for (; at < count_; ++at)
            if (data_[at] == '{' || data_[at] == '}')
                return at;
        return count_;
    }

    unsigned char const *data_;
    std::size_t count_;
    platform::CharTable const &chars_;
};

// Braces among UTF-16 units: every unit is a character.
class UnitBraces {
  public:
    UnitBraces(std::uint16_t const *data, std::size_t count) : data_(data), count_(count) {}

    unsigned At(std::size_t at) const { return data_[at]; }
    std::size_t CharLength(std::size_t) const { return 1; }
    std::size_t Find(std::size_t from) const {
        for (std::size_t i = from; i < count_; ++i)
            if (data_[i] == '{' || data_[i] == '}')
                return i;
        return count_;
    }

  private:
    std::uint16_t const *data_;
    std::size_t count_;
};

// The character at the start is tested only for a closing brace; after it, the first brace
// decides: an opening one starts the text, a closing one is an error. Inside the text the
// first brace decides again: a closing one ends it, an opening one is an error.
template <typename Braces>
long FindBracedTextIn(Braces &braces, std::size_t count, std::size_t &position,
                      std::size_t unitSize, char const *path, core::PlaceFinder const *places) {
    auto const site = [&](std::size_t at) {
        return core::NoticeSite{
            .file = path, .offset = static_cast<long long>(at * unitSize), .places = places};
    };
    std::size_t at = position;
    if (at >= count)
        return kBracedTextNotFound;
    if (braces.At(at) != '}')
        at = braces.Find(at + braces.CharLength(at));
    if (at >= count)
        return kBracedTextNotFound;
    if (braces.At(at) == '}') {
        core::ErrorBox(core::catalogue::kCloseBraceFirst, site(at),
                       static_cast<std::uint32_t>(at * unitSize));
        return kBracedTextError;
    }
    std::size_t start = at + 1;
    position = start;
    std::size_t end = braces.Find(start);
    if (end >= count) {
        // The place of a text that never ends is its opening brace.
        core::ErrorBox(core::catalogue::kEndInsideText, site(at));
        return kBracedTextError;
    }
    if (braces.At(end) == '{') {
        core::ErrorBox(core::catalogue::kOpenBraceInText, site(end),
                       static_cast<std::uint32_t>(end * unitSize));
        return kBracedTextError;
    }
    return static_cast<long>(end - start);
}

} // namespace

long FindBracedText(unsigned char const *data, std::size_t count, std::size_t &position,
                    platform::CharTable const &chars, char const *path,
                    core::PlaceFinder const *places) {
    ByteBraces braces(data, count, chars);
    return FindBracedTextIn(braces, count, position, 1, path, places);
}

long FindBracedText(std::uint16_t const *data, std::size_t count, std::size_t &position,
                    char const *path, core::PlaceFinder const *places) {
    UnitBraces braces(data, count);
    return FindBracedTextIn(braces, count, position, 2, path, places);
}

int LoadTxt(items::CRilTxtLoader &list, char const *txtPath, int wide, char const *logPath,
            TxtParseObserver *observer) {
    LoadedText text;
    if (!ReadTextFile(txtPath, wide, logPath, text, observer))
        return 0;
    const std::size_t bytes = text.view.Size();
    list.Expect(bytes);
    const platform::CharTable chars = text.wide ? platform::CharTable() : platform::CharTableFor(0);
    const ParsedFile file{text.Bytes(), bytes, text.wide, chars};
    auto run = [&](auto &&scanner) {
        const int loaded = scanner.Run();
        if (observer != nullptr)
            observer->Ended(file, scanner.Position(), loaded != 0, text.view);
        return loaded;
    };
    if (text.wide)
        return run(Scanner<std::uint16_t>(list, text.Units(), (bytes + 1) / 2, txtPath, logPath,
                                          file, observer));
    return run(Scanner<unsigned char>(list, text.Bytes(), bytes, txtPath, logPath, file, observer));
}

} // namespace ril::text
