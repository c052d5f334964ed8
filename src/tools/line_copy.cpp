// The block copies of a header's definition line, sixteen bytes at a time with SSE2 where the
// compiler offers it (elsewhere the same steps test one byte at a time).
#include "tools/line_copy.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ril::tools {
namespace {

constexpr std::size_t kBlock = 16;

// One bit per byte of a block, the first byte in the lowest bit.
struct BlockBits {
    std::uint32_t zero;      // the zero bytes
    std::uint32_t lineBreak; // CR and LF
    std::uint32_t outside;   // the bytes outside the wide run
};

#if defined(__SSE2__)

class BlockScanner {
  public:
    // Without a wide run the range is [1, 0], which holds no byte but zero (that ends a text).
    explicit BlockScanner(platform::CharTable::ByteRange run)
        : low_(_mm_set1_epi8(static_cast<char>(run.first != 0 ? run.first : 1))),
          high_(_mm_set1_epi8(static_cast<char>(run.first != 0 ? run.last : 0))) {}

    BlockBits operator()(char const *from) const {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<__m128i const *>(from));
        const __m128i lineBreak = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')),
                                               _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
        const __m128i inside =
            _mm_cmpeq_epi8(_mm_min_epu8(_mm_max_epu8(bytes, low_), high_), bytes);
        return BlockBits{Bits(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())), Bits(lineBreak),
                         Bits(inside) ^ 0xFFFFu};
    }

    // The bytes that can stand in a C identifier.
    static std::uint32_t IdentifierBits(std::uint8_t const *from) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<__m128i const *>(from));
        const __m128i lower = _mm_or_si128(bytes, _mm_set1_epi8(0x20)); // A-Z to a-z
        const __m128i identifier =
            _mm_or_si128(_mm_or_si128(Within(lower, 'a', 'z'), Within(bytes, '0', '9')),
                         _mm_cmpeq_epi8(bytes, _mm_set1_epi8('_')));
        return Bits(identifier);
    }

  private:
    static __m128i Within(__m128i bytes, char first, char last) {
        return _mm_cmpeq_epi8(
            _mm_min_epu8(_mm_max_epu8(bytes, _mm_set1_epi8(first)), _mm_set1_epi8(last)), bytes);
    }
    static std::uint32_t Bits(__m128i mask) {
        return static_cast<std::uint32_t>(_mm_movemask_epi8(mask));
    }

    __m128i low_;
    __m128i high_;
};

#else

// Without SSE2: byte by byte, the same bits.
class BlockScanner {
  public:
    explicit BlockScanner(platform::CharTable::ByteRange run) : run_(run) {}

    BlockBits operator()(char const *from) const {
        BlockBits bits{0, 0, 0};
        for (std::size_t at = 0; at < kBlock; ++at) {
            auto const byte = static_cast<std::uint8_t>(from[at]);
            bool const inside = run_.first != 0 && byte >= run_.first && byte <= run_.last;
            bits.zero |= std::uint32_t{byte == 0} << at;
            bits.lineBreak |= std::uint32_t{byte == '\r' || byte == '\n'} << at;
            bits.outside |= std::uint32_t{!inside} << at;
        }
        return bits;
    }

  private:
    platform::CharTable::ByteRange run_;
};

#endif

char OnOneLine(char c) {
    return c == '\r' || c == '\n' ? '_' : c;
}

void MarkLineBreaks(char *to, std::uint64_t lineBreaks) {
    for (; lineBreaks != 0; lineBreaks &= lineBreaks - 1)
        to[std::countr_zero(lineBreaks)] = '_';
}

// Past the last set bit of `bits`, counted from `at`; `wideFrom` when there is none.
std::size_t PastLast(std::uint64_t bits, std::size_t at, std::size_t wideFrom) {
    return bits == 0 ? wideFrom : at + 64 - static_cast<std::size_t>(std::countl_zero(bits));
}

// The first step of a comment's copy: four blocks, one bit per byte as in BlockBits.
constexpr std::size_t kFirstStep = 4 * kBlock;

struct ChunkBits {
    std::uint64_t zero;
    std::uint64_t lineBreak;
    std::uint64_t outside;
};

ChunkBits ScanChunk(BlockScanner const &scan, char const *from) {
    ChunkBits chunk{0, 0, 0};
    for (std::size_t block = 0; block < kFirstStep / kBlock; ++block) {
        const BlockBits bits = scan(from + block * kBlock);
        chunk.zero |= std::uint64_t{bits.zero} << block * kBlock;
        chunk.lineBreak |= std::uint64_t{bits.lineBreak} << block * kBlock;
        chunk.outside |= std::uint64_t{bits.outside} << block * kBlock;
    }
    return chunk;
}

bool IsIdentifierByte(std::uint8_t byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9') || byte == '_';
}

} // namespace

std::size_t CopyIdentifier(char *to, std::uint8_t const *from, std::size_t limit,
                           std::size_t readable) {
    std::size_t length = 0;
#if defined(__SSE2__)
    for (; readable - length >= kBlock && length < limit; length += kBlock) {
        std::memcpy(to + length, from + length, kBlock);
        const std::uint32_t others = BlockScanner::IdentifierBits(from + length) ^ 0xFFFFu;
        if (others != 0 || limit - length <= kBlock)
            return std::min(limit, length + static_cast<std::size_t>(std::countr_zero(others)));
    }
#endif
    for (; length < limit && IsIdentifierByte(from[length]); ++length)
        to[length] = static_cast<char>(from[length]);
    return length;
}

CopiedComment CopyComment(char *to, char const *from, std::size_t size, std::size_t readable,
                          platform::CharTable const &chars) {
    auto const *bytes = reinterpret_cast<std::uint8_t const *>(from);
    const BlockScanner scan(chars.WideRun());
    std::size_t wideFrom = 0;
    std::size_t i = 0;
    if (readable >= kFirstStep) { // most texts end within it: no branch per block
        const ChunkBits bits = ScanChunk(scan, from);
        std::memcpy(to, from, kFirstStep);
        std::uint64_t stop = bits.zero;
        if (size < kFirstStep)
            stop |= std::uint64_t{1} << size;
        if (stop != 0) {
            auto const end = static_cast<std::size_t>(std::countr_zero(stop));
            MarkLineBreaks(to, bits.lineBreak & ((std::uint64_t{1} << end) - 1));
            if (chars.LeadsAreWideRun()) // the run of lead bytes that ends the text is odd
                return CopiedComment{
                    end, end > 0 && (std::countl_one(~bits.outside << (64 - end)) & 1) != 0};
            const std::uint64_t beforeLast = end > 0 ? (std::uint64_t{1} << (end - 1)) - 1 : 0;
            return CopiedComment{
                end, chars.EndsInLoneLead(bytes, end, PastLast(bits.outside & beforeLast, 0, 0))};
        }
        MarkLineBreaks(to, bits.lineBreak);
        wideFrom = PastLast(bits.outside, 0, 0);
        i = kFirstStep;
    }
    for (; readable - i >= kBlock; i += kBlock) {
        const BlockBits bits = scan(from + i);
        std::memcpy(to + i, from + i, kBlock);
        std::uint32_t stop = bits.zero;
        if (size - i < kBlock)
            stop |= 1u << (size - i);
        if (stop == 0) {
            MarkLineBreaks(to + i, bits.lineBreak);
            wideFrom = PastLast(bits.outside, i, wideFrom);
            continue;
        }
        // The text ends in this block, at its first zero byte or at `size`; its last byte is
        // left out of `wideFrom`.
        unsigned const end = static_cast<unsigned>(std::countr_zero(stop));
        MarkLineBreaks(to + i, bits.lineBreak & ((1u << end) - 1));
        const std::uint32_t beforeLast = end > 0 ? (1u << (end - 1)) - 1 : 0;
        wideFrom = PastLast(bits.outside & beforeLast, i, wideFrom);
        return CopiedComment{i + end, chars.EndsInLoneLead(bytes, i + end, wideFrom)};
    }
    // Fewer than sixteen bytes can be read: one at a time.
    const platform::CharTable::ByteRange wideRun = chars.WideRun();
    for (; i < size && from[i] != '\0'; ++i) {
        auto const byte = static_cast<std::uint8_t>(from[i]);
        to[i] = OnOneLine(from[i]);
        if (wideRun.first == 0 || byte < wideRun.first || byte > wideRun.last)
            wideFrom = i + 1;
    }
    return CopiedComment{i, chars.EndsInLoneLead(bytes, i, wideFrom)};
}

} // namespace ril::tools
