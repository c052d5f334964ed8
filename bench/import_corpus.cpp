// The import benchmarks' corpus: generation from a fixed seed and the three file layouts.
#include "import_corpus.h"

#include "support/random_table.h"

#include <cstdio>
#include <deque>
#include <iterator>

namespace ril_bench {
namespace {

constexpr std::uint64_t kSeed = 0x52494C34343130ull;
constexpr std::int32_t kFirstId = 1001;
constexpr std::int32_t kNewId = -1;

using ril::test::Random;

// Common Chinese characters, simplified and traditional, and their GBK codes. Every code
// is a valid GBK character; some have a trail byte in the ASCII range (0x40-0x7E), none has
// a brace or a backslash as its trail byte.
constexpr char16_t kHanzi[] = u"的一是在不了有和人这中大为上个国我以要他"
                              u"时来用们生到作地于出就分对成会可主发年动"
                              u"同工也能下过子说产种面而方后多定行学法所"
                              u"民得经十三之进着等部度家电力里如水化高自"
                              u"二理起小物现实加量都两体制机当使点从业本"
                              u"去把性好应开它合还因由其些然前外天政四日"
                              u"那社义事平形相全表间样与关各重新线内数正"
                              u"心反你明看原又么利比或但质气第向道命此变"
                              u"条只没结解问意建月公无系军很情者最立代想"
                              u"已通并提直题党程展五果料象员革位入常文总"
                              u"次品式活设及管特件长求老头基资边流路级少"
                              u"图山统接知较将组见计别她手角期根论运农指"
                              u"几九区强放决西被干做必战先回则任取据处府"
                              u"研打保存闭编辑查帮助错误警告确消请输名称"
                              u"读写失败功完载置选项窗口們說這個時國來對"
                              u"開發後實業權點從質氣體區強條沒結問內數應"
                              u"與關間樣變據處電視檔案錯誤確認設選載寫讀";
constexpr std::uint16_t kHanziGbk[] = {
    0xB5C4, 0xD2BB, 0xCAC7, 0xD4DA, 0xB2BB, 0xC1CB, 0xD3D0, 0xBACD, 0xC8CB, 0xD5E2, 0xD6D0, 0xB4F3,
    0xCEAA, 0xC9CF, 0xB8F6, 0xB9FA, 0xCED2, 0xD2D4, 0xD2AA, 0xCBFB, 0xCAB1, 0xC0B4, 0xD3C3, 0xC3C7,
    0xC9FA, 0xB5BD, 0xD7F7, 0xB5D8, 0xD3DA, 0xB3F6, 0xBECD, 0xB7D6, 0xB6D4, 0xB3C9, 0xBBE1, 0xBFC9,
    0xD6F7, 0xB7A2, 0xC4EA, 0xB6AF, 0xCDAC, 0xB9A4, 0xD2B2, 0xC4DC, 0xCFC2, 0xB9FD, 0xD7D3, 0xCBB5,
    0xB2FA, 0xD6D6, 0xC3E6, 0xB6F8, 0xB7BD, 0xBAF3, 0xB6E0, 0xB6A8, 0xD0D0, 0xD1A7, 0xB7A8, 0xCBF9,
    0xC3F1, 0xB5C3, 0xBEAD, 0xCAAE, 0xC8FD, 0xD6AE, 0xBDF8, 0xD7C5, 0xB5C8, 0xB2BF, 0xB6C8, 0xBCD2,
    0xB5E7, 0xC1A6, 0xC0EF, 0xC8E7, 0xCBAE, 0xBBAF, 0xB8DF, 0xD7D4, 0xB6FE, 0xC0ED, 0xC6F0, 0xD0A1,
    0xCEEF, 0xCFD6, 0xCAB5, 0xBCD3, 0xC1BF, 0xB6BC, 0xC1BD, 0xCCE5, 0xD6C6, 0xBBFA, 0xB5B1, 0xCAB9,
    0xB5E3, 0xB4D3, 0xD2B5, 0xB1BE, 0xC8A5, 0xB0D1, 0xD0D4, 0xBAC3, 0xD3A6, 0xBFAA, 0xCBFC, 0xBACF,
    0xBBB9, 0xD2F2, 0xD3C9, 0xC6E4, 0xD0A9, 0xC8BB, 0xC7B0, 0xCDE2, 0xCCEC, 0xD5FE, 0xCBC4, 0xC8D5,
    0xC4C7, 0xC9E7, 0xD2E5, 0xCAC2, 0xC6BD, 0xD0CE, 0xCFE0, 0xC8AB, 0xB1ED, 0xBCE4, 0xD1F9, 0xD3EB,
    0xB9D8, 0xB8F7, 0xD6D8, 0xD0C2, 0xCFDF, 0xC4DA, 0xCAFD, 0xD5FD, 0xD0C4, 0xB7B4, 0xC4E3, 0xC3F7,
    0xBFB4, 0xD4AD, 0xD3D6, 0xC3B4, 0xC0FB, 0xB1C8, 0xBBF2, 0xB5AB, 0xD6CA, 0xC6F8, 0xB5DA, 0xCFF2,
    0xB5C0, 0xC3FC, 0xB4CB, 0xB1E4, 0xCCF5, 0xD6BB, 0xC3BB, 0xBDE1, 0xBDE2, 0xCECA, 0xD2E2, 0xBDA8,
    0xD4C2, 0xB9AB, 0xCEDE, 0xCFB5, 0xBEFC, 0xBADC, 0xC7E9, 0xD5DF, 0xD7EE, 0xC1A2, 0xB4FA, 0xCFEB,
    0xD2D1, 0xCDA8, 0xB2A2, 0xCCE1, 0xD6B1, 0xCCE2, 0xB5B3, 0xB3CC, 0xD5B9, 0xCEE5, 0xB9FB, 0xC1CF,
    0xCFF3, 0xD4B1, 0xB8EF, 0xCEBB, 0xC8EB, 0xB3A3, 0xCEC4, 0xD7DC, 0xB4CE, 0xC6B7, 0xCABD, 0xBBEE,
    0xC9E8, 0xBCB0, 0xB9DC, 0xCCD8, 0xBCFE, 0xB3A4, 0xC7F3, 0xC0CF, 0xCDB7, 0xBBF9, 0xD7CA, 0xB1DF,
    0xC1F7, 0xC2B7, 0xBCB6, 0xC9D9, 0xCDBC, 0xC9BD, 0xCDB3, 0xBDD3, 0xD6AA, 0xBDCF, 0xBDAB, 0xD7E9,
    0xBCFB, 0xBCC6, 0xB1F0, 0xCBFD, 0xCAD6, 0xBDC7, 0xC6DA, 0xB8F9, 0xC2DB, 0xD4CB, 0xC5A9, 0xD6B8,
    0xBCB8, 0xBEC5, 0xC7F8, 0xC7BF, 0xB7C5, 0xBEF6, 0xCEF7, 0xB1BB, 0xB8C9, 0xD7F6, 0xB1D8, 0xD5BD,
    0xCFC8, 0xBBD8, 0xD4F2, 0xC8CE, 0xC8A1, 0xBEDD, 0xB4A6, 0xB8AE, 0xD1D0, 0xB4F2, 0xB1A3, 0xB4E6,
    0xB1D5, 0xB1E0, 0xBCAD, 0xB2E9, 0xB0EF, 0xD6FA, 0xB4ED, 0xCEF3, 0xBEAF, 0xB8E6, 0xC8B7, 0xCFFB,
    0xC7EB, 0xCAE4, 0xC3FB, 0xB3C6, 0xB6C1, 0xD0B4, 0xCAA7, 0xB0DC, 0xB9A6, 0xCDEA, 0xD4D8, 0xD6C3,
    0xD1A1, 0xCFEE, 0xB4B0, 0xBFDA, 0x8283, 0xD566, 0xDF40, 0x8280, 0x9572, 0x87F8, 0x81ED, 0x8CA6,
    0xE95F, 0xB06C, 0xE1E1, 0x8C8D, 0x9849, 0x99E0, 0xFC63, 0x8FC4, 0xD97C, 0x9AE2, 0xF377, 0x855E,
    0x8F8A, 0x976C, 0x9B5D, 0xBD59, 0x8696, 0x83C8, 0x94B5, 0x91AA, 0xC563, 0xEA50, 0xE967, 0x98D3,
    0xD783, 0x93FE, 0xCC8E, 0xEB8A, 0xD295, 0x996E, 0xB0B8, 0xE565, 0xD560, 0xB45F, 0xD54A, 0xD44F,
    0xDF78, 0xDD64, 0x8C91, 0xD778,
};
static_assert(std::size(kHanzi) - 1 == std::size(kHanziGbk));

struct Punctuation {
    char16_t wide;
    std::uint16_t gbk;
};
constexpr Punctuation kPunctuation[] = {
    {u'\uFF0C', 0xA3AC}, // fullwidth comma
    {u'\u3002', 0xA1A3}, // ideographic full stop
    {u'\uFF1A', 0xA3BA}, // fullwidth colon
    {u'\u3001', 0xA1A2}, // ideographic comma
    {u'\uFF01', 0xA3A1}, // fullwidth exclamation mark
};

// ASCII pieces of UI text: words, format placeholders, quotes, backslashes and a tab.
constexpr char const *kWords[] = {
    "File",
    "Open",
    "Save",
    "Save As",
    "Error",
    "Warning",
    "OK",
    "Cancel",
    "Retry",
    "Ril4410",
    "%s",
    "%d",
    "%u",
    "(%d)",
    "\"%s\"",
    "'%s'",
    "100%",
    "C:\\Temp\\",
    "\\\\server\\share",
    "v1.2.3",
    "e.g.",
    "name=value",
    "[x]",
    "<b>",
    "it's",
    "a\tb",
    "0x1F",
    "#42",
    "UTF-8",
    "GBK",
    "...",
    "-",
    "&File",
    "Ctrl+S",
};

class TextBuilder {
  public:
    void Ascii(char const *text) {
        for (; *text != '\0'; ++text) {
            gbk_.push_back(*text);
            wide_.push_back(static_cast<unsigned char>(*text));
        }
    }
    void Character(char16_t wide, std::uint16_t gbk) {
        gbk_.push_back(static_cast<char>(gbk >> 8));
        gbk_.push_back(static_cast<char>(gbk & 0xFF));
        wide_.push_back(wide);
    }
    void MoveTo(CorpusItem &item) {
        item.gbk = std::move(gbk_);
        item.wide = std::move(wide_);
    }

  private:
    std::string gbk_;
    std::u16string wide_;
};

// About 40 GBK bytes: two to eight runs of Chinese characters or ASCII words; one text in
// eight spans two or three lines (CR LF).
void BuildText(Random &random, CorpusItem &item) {
    TextBuilder text;
    const std::uint32_t segments = 2 + random.Below(7);
    std::uint32_t breakAt[2] = {0, 0};
    if (random.Below(8) == 0) {
        breakAt[0] = 1 + random.Below(segments - 1);
        if (random.Below(2) == 0)
            breakAt[1] = 1 + random.Below(segments - 1);
    }
    bool previousChinese = false;
    for (std::uint32_t s = 0; s < segments; ++s) {
        bool const chinese = random.Below(100) < 55;
        if (s > 0) {
            if (s == breakAt[0] || s == breakAt[1])
                text.Ascii("\r\n");
            else if (chinese && previousChinese) {
                Punctuation const &p = kPunctuation[random.Below(std::size(kPunctuation))];
                text.Character(p.wide, p.gbk);
            } else {
                text.Ascii(" ");
            }
        }
        if (chinese) {
            for (std::uint32_t n = 2 + random.Below(6); n > 0; --n) {
                std::uint32_t k = random.Below(std::size(kHanziGbk));
                text.Character(kHanzi[k], kHanziGbk[k]);
            }
        } else {
            text.Ascii(kWords[random.Below(std::size(kWords))]);
        }
        previousChinese = chinese;
    }
    if (previousChinese && random.Below(3) == 0)
        text.Character(kPunctuation[1].wide, kPunctuation[1].gbk);
    text.MoveTo(item);
}

// A mirror of the importer's pool of free IDs, so that every -1 is sure to be numbered from a
// real gap: the gaps that an ID after a -1 leaves run from 0 and are not real ones.
struct PoolRange {
    std::uint32_t count;
    bool real;
};

void PutUtf8(std::string &out, char16_t unit) {
    if (unit < 0x80) {
        out.push_back(static_cast<char>(unit));
    } else if (unit < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (unit >> 6)));
        out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    } else { // the corpus holds no surrogates
        out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
        out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    }
}

std::string Utf8(std::u16string const &text) {
    std::string out;
    for (char16_t unit : text)
        PutUtf8(out, unit);
    return out;
}

enum class Encoding { kGbk, kUtf8, kUtf16 };

// The file layout, the same as the round-trip test's random tables.
std::string TextFile(std::vector<CorpusItem> const &items, Encoding encoding) {
    bool const wide = encoding == Encoding::kUtf16;
    std::u16string units = wide ? u"\uFEFF" : u"";
    units += ril::test::TableBanner(wide);
    for (CorpusItem const &item : items) {
        std::u16string text = item.wide;
        if (!wide) { // the multibyte text's bytes as units below 0x100
            text.clear();
            for (unsigned char byte : encoding == Encoding::kGbk ? item.gbk : Utf8(item.wide))
                text.push_back(byte);
        }
        units += ril::test::TableBlock({std::to_string(item.id), item.macro, text});
    }
    return ril::test::EncodeUnits(units, wide);
}

// One PO string: escapes quotes, backslashes and control characters, and starts a new
// quoted line after each newline, as gettext's own tools do.
void PutPoString(std::string &out, std::u16string const &text) {
    bool const multiLine = text.find(u'\n') != std::u16string::npos;
    out += multiLine ? "\"\"\n\"" : "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t const unit = text[i];
        switch (unit) {
        case u'"':
            out += "\\\"";
            break;
        case u'\\':
            out += "\\\\";
            break;
        case u'\r':
            out += "\\r";
            break;
        case u'\t':
            out += "\\t";
            break;
        case u'\n':
            out += "\\n";
            if (i + 1 < text.size())
                out += "\"\n\"";
            break;
        default:
            PutUtf8(out, unit);
        }
    }
    out += "\"\n";
}

} // namespace

std::vector<CorpusItem> BuildCorpus() {
    Random random(kSeed);
    std::vector<CorpusItem> items(kCorpusItems);
    std::deque<PoolRange> pool;
    std::int32_t next = kFirstId;
    std::int32_t previous = kFirstId - 1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        CorpusItem &item = items[i];
        char macro[32];
        std::snprintf(macro, sizeof macro, "MSG_%06zu", i + 1);
        item.macro = macro;
        // After the first fifth, one item in 2000 asks for a new ID while a real gap is free.
        if (i >= items.size() / 5 && random.Below(2000) == 0 && !pool.empty() &&
            pool.front().real) {
            item.id = kNewId;
            if (--pool.front().count == 0)
                pool.pop_front();
            previous = kNewId;
        } else {
            if (random.Below(400) == 0)
                next += 1 + static_cast<std::int32_t>(random.Below(8));
            item.id = next++;
            if (item.id - previous >= 2)
                pool.push_back(PoolRange{static_cast<std::uint32_t>(item.id - previous - 1),
                                         previous != kNewId});
            previous = item.id;
        }
        BuildText(random, item);
    }
    return items;
}

std::string MbcsTextFile(std::vector<CorpusItem> const &items) {
    return TextFile(items, Encoding::kGbk);
}

std::string Utf8TextFile(std::vector<CorpusItem> const &items) {
    return TextFile(items, Encoding::kUtf8);
}

std::string WcsTextFile(std::vector<CorpusItem> const &items) {
    return TextFile(items, Encoding::kUtf16);
}

std::string PoFile(std::vector<CorpusItem> const &items) {
    std::string out;
    out.reserve(items.size() * 100);
    out += "# The import comparison corpus: one message per item, keyed by its macro.\n"
           "msgid \"\"\n"
           "msgstr \"\"\n"
           "\"Project-Id-Version: ril4410-bench 1.0\\n\"\n"
           "\"MIME-Version: 1.0\\n\"\n"
           "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
           "\"Content-Transfer-Encoding: 8bit\\n\"\n"
           "\"Language: zh_CN\\n\"\n";
    for (CorpusItem const &item : items) {
        out += "\nmsgid \"" + item.macro + "\"\nmsgstr ";
        PutPoString(out, item.wide);
    }
    return out;
}

bool WriteWholeFile(std::string const &path, std::string const &bytes) {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool WriteCorpusFiles(std::string const &folder) {
    const std::vector<CorpusItem> items = BuildCorpus();
    return WriteWholeFile(folder + "/strings.txt", MbcsTextFile(items)) &&
           WriteWholeFile(folder + "/strings_utf8.txt", Utf8TextFile(items)) &&
           WriteWholeFile(folder + "/strings_wide.txt", WcsTextFile(items)) &&
           WriteWholeFile(folder + "/strings.po", PoFile(items));
}

} // namespace ril_bench
