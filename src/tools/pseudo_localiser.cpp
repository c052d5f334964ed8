// Pseudo-localisation: the texts of a text resource file rewritten through the one parser and
// the text writer, in the file's own flavour and code page.
#include "tools/pseudo_localiser.h"

#include "core/byte_cursor.h"
#include "core/error_report.h"
#include "core/messages.h"
#include "core/own_input.h"
#include "platform/codepage.h"
#include "platform/codepage_chars.h"
#include "text/txt_writer.h"
#include "tools/table_file.h"

#include <array>
#include <string>

namespace ril::tools {

// This file works across the layers below: their names unqualified.
using namespace core;
using namespace items;
using namespace table;
using namespace text;
namespace {

// The accented form of each ASCII letter, a to z.
constexpr char16_t kAccentedLower[] = u"\u00E1b\u00E7\u010F\u00E9\u0192\u011D\u0125\u00ED\u0135"
                                      u"\u0137\u013Am\u00F1\u00F3pq\u0155\u0161\u0163\u00FAv\u0175x"
                                      u"\u00FD\u017E";
constexpr char16_t kAccentedUpper[] = u"\u00C1B\u00C7\u010E\u00C9F\u011C\u0124\u00CD\u0134"
                                      u"\u0136\u0139M\u00D1\u00D3PQ\u0154\u0160\u0162\u00DAV\u0174X"
                                      u"\u00DD\u017D";
static_assert(sizeof kAccentedLower / 2 == 27 && sizeof kAccentedUpper / 2 == 27);
constexpr std::size_t kGrowthPercent = 30;

bool IsAsciiLetter(unsigned ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

// The characters written in place of ASCII letters and around the texts, in the flavour:
// UTF-16LE units, or the bytes of the ANSI code page in force where it holds the accented
// letter (the plain letter where it does not).
class Spelling {
  public:
    explicit Spelling(bool wide) : wide_(wide) {
        for (unsigned i = 0; i < 26; ++i) {
            letters_['a' + i] = Form('a' + i, kAccentedLower[i]);
            letters_['A' + i] = Form('A' + i, kAccentedUpper[i]);
        }
    }
    std::string const &Letter(unsigned ascii) const { return letters_[ascii]; }
    std::string Ascii(char ch, std::size_t count = 1) const {
        std::string out;
        for (std::size_t i = 0; i < count; ++i)
            out += wide_ ? std::string{ch, '\0'} : std::string(1, ch);
        return out;
    }

  private:
    std::string Form(char letter, char16_t accented) const {
        auto const unit = static_cast<std::uint16_t>(accented);
        if (wide_)
            return std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        char bytes[8];
        int const size = platform::WideToMultiByte(0, &unit, 1, bytes, sizeof bytes).count;
        std::uint16_t back[4] = {};
        int const units = size > 0 ? platform::MultiByteToWide(0, bytes, size, back, 4).count : 0;
        return units == 1 && back[0] == unit ? std::string(bytes, std::size_t(size))
                                             : std::string(1, letter);
    }

    bool wide_;
    std::array<std::string, 128> letters_;
};

// The pseudo-localised text of one item, in the flavour's bytes.
std::string Pseudo(std::span<std::uint8_t const> text, bool wide, platform::CharTable const &chars,
                   Spelling const &spelling) {
    std::string out = spelling.Ascii('[');
    std::size_t characters = 0;
    bool accessKey = false; // the character follows a single '&'
    for (std::size_t at = 0; at < text.size(); ++characters) {
        std::size_t const length = wide ? 2 : chars.CharLength(text.data(), at, text.size());
        unsigned const ch = wide ? LoadU16(text.data() + at) : length == 1 ? text[at] : 0x100;
        if (IsAsciiLetter(ch) && !accessKey)
            out += spelling.Letter(ch);
        else
            out.append(reinterpret_cast<char const *>(text.data() + at), length);
        accessKey = ch == '&' && !accessKey; // "&&" is an ampersand
        at += length;
    }
    out += spelling.Ascii('~', (characters * kGrowthPercent + 99) / 100);
    return out + spelling.Ascii(']');
}

} // namespace

HResult PseudoLocalise(char const *inPath, char const *outPath, int wide, unsigned flags) {
    if (inPath == nullptr || outPath == nullptr || (flags & ~unsigned{kPseudoUtf8Signature}) != 0)
        return kErrArgument;
    TableFile table; // keeps UTF-8 in force for a file read by its signature, to the write
    TableRead const how{
        .wide = wide, .utf8Signature = (flags & kPseudoUtf8Signature) != 0, .textOnly = true};
    if (!ReadTableFile(inPath, how, table))
        return kErrImportParse;
    if (table.items.Count() == 0) {
        ErrorBox(catalogue::kNoItems, NoticeSite{.file = inPath});
        return kErrImportParse;
    }
    if (WritesOwnInput(outPath, inPath))
        return kErrOutputWrite;
    platform::CharTable const chars = platform::CharTableFor(0);
    Spelling const spelling(table.wide);
    for (CRilTxtLoader::ItemHandle &item : table.items.List()) {
        std::string const text = Pseudo(ItemText(*item, table.wide), table.wide, chars, spelling);
        HResult const set = table.wide ? item->SetTextW(text.data(), text.size() / 2)
                                       : item->SetTextA(text.data(), text.size());
        if (set != kSOk) {
            ErrorBox(catalogue::kRecordAllocationFailed, NoticeSite{.file = inPath});
            return kErrOutputWrite;
        }
    }
    return SaveTxt(table.items, outPath, table.wide ? 1 : 0, table.utf8Mark) ? kSOk
                                                                             : kErrOutputWrite;
}

} // namespace ril::tools
