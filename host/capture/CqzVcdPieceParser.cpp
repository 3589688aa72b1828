#include "capture/CqzVcdPieceParser.h"

#include "capture/CqzCaptureText.h"
#include "capture/CqzCaptureUnit.h"

#include <algorithm>
#include <cstring>
#include <limits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QZ_VCD_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl")))
#endif

namespace
{
using U128 = unsigned __int128;
constexpr std::uint64_t kOnes = 0x0101010101010101ull;

// The first byte at or after p that is at most 0x20 (a blank, a control byte or the padding
// after the text), 16 bytes at a time.
// Without SSE2, eight bytes at a time: a byte below 0x21 sets its high bit in (x - 0x21..) & ~x.
const char* WordEnd(const char* p)
{
#if defined(__SSE2__)
    const __m128i blank = _mm_set1_epi8(0x20);
    while (true)
    {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(bytes, blank), blank));
        if (mask != 0)
            return p + __builtin_ctz(static_cast<unsigned>(mask));
        p += 16;
    }
#else
    while (true)
    {
        std::uint64_t x;
        std::memcpy(&x, p, 8);
        const std::uint64_t low = (x - kOnes * 0x21) & ~x & kOnes * 0x80;
        if (low != 0)
            return p + (__builtin_ctzll(low) >> 3);
        p += 8;
    }
#endif
}

// The newlines among the 64 bytes from p, as bits.
std::uint64_t Newlines(const char* p)
{
#if defined(__SSE2__)
    const __m128i newline = _mm_set1_epi8('\n');
    std::uint64_t mask = 0;
    for (int i = 0; i < 4; ++i)
    {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        mask |= static_cast<std::uint64_t>(static_cast<unsigned>(
                    _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, newline))))
                << (16 * i);
    }
    return mask;
#else
    std::uint64_t mask = 0;
    for (int i = 0; i < 64; ++i)
        mask |= static_cast<std::uint64_t>(p[i] == '\n') << i;
    return mask;
#endif
}

// The bytes '#' (hash) and '0' or '1' (bit) among the 64 bytes from p, as bits.
void Starts(const char* p, std::uint64_t& hash, std::uint64_t& bit)
{
    hash = 0;
    bit = 0;
#if defined(__SSE2__)
    const __m128i sharp = _mm_set1_epi8('#');
    const __m128i one = _mm_set1_epi8('1');
    const __m128i low = _mm_set1_epi8(1);
    for (int i = 0; i < 4; ++i)
    {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        hash |= static_cast<std::uint64_t>(static_cast<unsigned>(
                    _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, sharp))))
                << (16 * i);
        bit |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(
                   _mm_cmpeq_epi8(_mm_or_si128(bytes, low), one))))
               << (16 * i);
    }
#else
    for (int i = 0; i < 64; ++i)
    {
        hash |= static_cast<std::uint64_t>(p[i] == '#') << i;
        bit |= static_cast<std::uint64_t>((p[i] | 1) == '1') << i;
    }
#endif
}

#if defined(QZ_VCD_AVX512)
// The newlines among the 64 bytes from p, as bits, with one comparison.
QZ_VCD_AVX512 std::uint64_t NewlinesVector(const char* p)
{
    return _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(p), _mm512_set1_epi8('\n'));
}

QZ_VCD_AVX512 void StartsVector(const char* p, std::uint64_t& hash, std::uint64_t& bit)
{
    const __m512i bytes = _mm512_loadu_si512(p);
    hash = _mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8('#'));
    const __m512i low = _mm512_or_si512(bytes, _mm512_set1_epi8(1));
    bit = _mm512_cmpeq_epi8_mask(low, _mm512_set1_epi8('1'));
}

// Byte shuffles that move `count` digits to the end of 16 bytes, zeros before them.
struct SqzDigitShuffles
{
    alignas(16) std::uint8_t to[17][16];
    constexpr SqzDigitShuffles() : to()
    {
        for (int count = 0; count <= 16; ++count)
            for (int i = 0; i < 16; ++i)
                to[count][i] = static_cast<std::uint8_t>(i >= 16 - count ? i - (16 - count) : 0x80);
    }
};
constexpr SqzDigitShuffles kDigitShuffles;

// The `count` (1 to 16) decimal digits at d, all at once: moved to the end of a register,
// then combined in pairs, fours and eights by multiply-adds. False when one is no digit. Reads
// 16 bytes from d.
QZ_VCD_AVX512 bool DigitsVector(const char* d, unsigned count, std::uint64_t& value)
{
    const __m128i digits =
        _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d)), _mm_set1_epi8('0'));
    const auto used = static_cast<__mmask16>((1u << count) - 1);
    if (_mm_mask_cmpgt_epu8_mask(used, digits, _mm_set1_epi8(9)) != 0)
        return false;
    const __m128i aligned = _mm_shuffle_epi8(
        digits, _mm_load_si128(reinterpret_cast<const __m128i*>(kDigitShuffles.to[count])));
    const __m128i pairs = _mm_maddubs_epi16(aligned, _mm_set1_epi16(0x010a));
    const __m128i fours = _mm_madd_epi16(pairs, _mm_set1_epi32(0x00010064));
    const __m128i packed = _mm_packus_epi32(fours, fours);
    const __m128i eights = _mm_madd_epi16(packed, _mm_set1_epi32(0x00012710));
    const auto high = static_cast<std::uint32_t>(_mm_cvtsi128_si32(eights));
    const auto low = static_cast<std::uint32_t>(_mm_extract_epi32(eights, 1));
    value = std::uint64_t{high} * 100000000 + low;
    return true;
}
#endif

// The bits set in x (without a call where the processor's count instruction is not assumed).
int CountBits(std::uint64_t x)
{
    x -= (x >> 1) & 0x5555555555555555ull;
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0full;
    return static_cast<int>((x * kOnes) >> 56);
}

// Binary digits (at most 128 after leading zeros), eight at a time: a byte of '0' or '1'
// differs from '0' in its lowest bit only, and a multiplication gathers the eight bits. The
// digits are followed by a byte that is no digit (a blank, or the padding after the text), so
// eight bytes may be read from any digit on: the leading zeros end at the first nonzero byte,
// and the last few digits are read as the top bytes of a word of eight.
bool Binary(const char* d, const char* e, U128& value, int& bits)
{
    if (d == e)
        return false;
    while (true)
    {
        std::uint64_t x;
        std::memcpy(&x, d, 8);
        x ^= kOnes * '0';
        if (x != 0)
        {
            d += __builtin_ctzll(x) >> 3;
            break;
        }
        d += 8;
    }
    if (e - d > 128)
        return false;
    bits = static_cast<int>(e - d);
    U128 v = 0;
    for (; e - d >= 8; d += 8)
    {
        std::uint64_t x;
        std::memcpy(&x, d, 8);
        x ^= kOnes * '0';
        if ((x & ~kOnes) != 0)
            return false;
        v = v << 8 | ((x * 0x8040201008040201ull) >> 56);
    }
    if (const auto rest = static_cast<unsigned>(e - d); rest != 0)
    {
        std::uint64_t x;
        std::memcpy(&x, d, 8);
        x = (x ^ kOnes * '0') << (64 - 8 * rest);
        if ((x & ~kOnes) != 0)
            return false;
        v = v << rest | ((x * 0x8040201008040201ull) >> 56);
    }
    value = v;
    return true;
}

// The number of `count` (1 to 8) decimal digits at p, read as one word (p may be followed by
// anything readable up to p + 8); false when one of them is no digit. The digits are shifted
// to the top of the word, checked together and combined in pairs, fours and eights by
// multiplications.
[[gnu::always_inline]] inline bool Digits(const char* p, unsigned count, std::uint64_t& value)
{
    std::uint64_t x;
    std::memcpy(&x, p, 8);
    const unsigned drop = 8 * (8 - count);
    x <<= drop;
    const std::uint64_t high = kOnes * 0xf0;
    const std::uint64_t zeros = (kOnes * 0x30) << drop;
    if ((x & high) != zeros || ((x + kOnes * 0x06) & high) != zeros)
        return false;
    x = (x & kOnes * 0x0f) * 2561 >> 8;
    x = (x & 0x00ff00ff00ff00ffull) * 6553601 >> 16;
    value = (x & 0x0000ffff0000ffffull) * 42949672960001ull >> 32;
    return true;
}

bool IsSkippedKeyword(std::string_view word)
{
    return word == "$end" || word == "$dumpvars" || word == "$dumpall" || word == "$dumpon" ||
           word == "$dumpoff";
}

// The value of rows [first, ...) of a column: writing row `index` (counted from its first
// change) holds the last value over the rows since.
template <typename T> void Put(std::vector<T>& values, std::size_t index, const T& value)
{
    if (index < values.size())
        values[index] = value;
    else
    {
        // The rows since the last change hold its value: most often none or a few, which are
        // pushed one by one rather than filled by a call.
        if (index > values.size())
        {
            const T last = values.back();
            if (index - values.size() <= 4)
                while (values.size() < index)
                    values.push_back(last);
            else
                values.resize(index, last);
        }
        values.push_back(value);
    }
}

template <typename T> void Hold(std::vector<T>& values, std::size_t count)
{
    if (!values.empty())
        values.resize(count, values.back());
}

} // namespace

// One piece's reading: false from any step leaves the piece to the plain path.
class CqzVcdPieceParser::Reading
{
public:
    Reading(const CqzVcdPieceParser& parser, SqzVcdPiece& piece)
        : m_parser(parser), m_piece(piece), m_p(piece.Begin()), m_end(piece.End()),
          m_base(piece.Begin()), m_newlines(Newlines(piece.Begin())),
          m_vector(CqzCaptureUnit::Vector()), m_blocks(parser.m_divisor == 1)
    {
        m_piece.newlines = CountBits(m_newlines);
        m_slotOfCode.fill(kUnknownSlot);
    }

    // Line by line: the lines of the common forms (a timestamp, a one-bit change, a vector
    // with a one-character code) are read whole; any other line is read word by word.
    bool Run()
    {
        const char* p = m_p; // where the next line, or the rest of one, starts
        while (true)
        {
            while (m_newlines == 0)
                if (!NextBlock())
                    return Rest(p);
            if (m_blocks && m_row >= 0 && p >= m_base && m_base != m_failedBlock && Block(p))
            {
                p = BlockAfter();
                continue;
            }
            const char* e = m_base + __builtin_ctzll(m_newlines);
            if (p == e || Line(p, e))
            {
                m_newlines &= m_newlines - 1;
                p = e + 1;
                continue;
            }
            if (!ReadWords(p))
                return m_p == m_end && m_row >= 0;
            p = m_p;
            SkipNewlinesBefore(p);
        }
    }

    void Finish()
    {
        const auto rows = static_cast<std::size_t>(m_row + 1);
        while (NextBlock())
        {
        }
        m_piece.lanes.EndRow();
        m_bits.clear();
        for (int column : m_piece.changed)
        {
            SqzVcdPiece::SqzColumn& c = m_piece.columns[static_cast<std::size_t>(column)];
            const auto count = rows - static_cast<std::size_t>(c.first);
            if (c.width == 1)
            {
                c.bitsRow = m_piece.lanes.GetFirstRow(c.slot);
                m_bits.push_back(&c.bits);
            }
            Hold(c.narrow, count);
            Hold(c.values, count);
            Hold(c.wide, count);
        }
        m_piece.lanes.Spread(m_bits.data());
    }

private:
    // The words from p up to the end of the piece, after its last newline.
    bool Rest(const char* p)
    {
        while (p < m_end && !Line(p, m_end))
        {
            if (!ReadWords(p))
                return m_p == m_end && m_row >= 0;
            p = m_p;
        }
        return m_row >= 0;
    }

    // One statement read word by word from p (m_p after it); false at the end of the piece
    // (m_p there) or at anything the plain path must read.
    bool ReadWords(const char* p)
    {
        m_p = p;
        std::string_view word;
        if (!NextWord(word))
            return false;
        if (!Statement(word))
        {
            m_p = nullptr;
            return false;
        }
        return true;
    }

    // Forgets the newlines before q, which a statement read word by word went past. The
    // newlines of the piece are found 64 bytes at a time (the text is followed by as many zero
    // bytes), block after block, and counted.
    void SkipNewlinesBefore(const char* q)
    {
        while (q - m_base >= 64 && NextBlock())
        {
        }
        if (const auto offset = q - m_base; offset > 0)
            m_newlines &= offset >= 64 ? 0 : ~std::uint64_t{0} << offset;
    }

    // After a block read at once, the 64 bytes from the line after its last newline, so that
    // the next block starts at a line too (its newlines are all after the block's).
    const char* BlockAfter()
    {
        const char* p = m_base + (64 - __builtin_clzll(m_newlines));
        m_newlines = 0;
        if (p < m_end)
        {
            m_base = p;
            m_newlines = NewlinesAt(p);
            m_piece.newlines += CountBits(m_newlines);
        }
        return p;
    }

    std::uint64_t NewlinesAt(const char* p) const
    {
#if defined(QZ_VCD_AVX512)
        if (m_vector)
            return NewlinesVector(p);
#endif
        return Newlines(p);
    }

    bool NextBlock()
    {
        if (m_end - m_base <= 64)
            return false;
        m_base += 64;
        m_newlines = NewlinesAt(m_base);
        m_piece.newlines += CountBits(m_newlines);
        return true;
    }

    // The lines from p to the block's last newline at once, when they are all timestamps
    // and one-bit changes by one-character codes the piece has seen, and every row but the
    // last has a change: the dump's commonest lines, which it mixes at random, so that a loop
    // over lines would branch wrongly on each row. The block's bytes are classed 64 at a
    // time; the timestamps are read in one loop and the changes in another, each change
    // finding its row from the timestamps before it and writing its row's levels in place.
    // False, with nothing read, for any other block: its lines are then read one by one.
    bool Block(const char* p)
    {
        switch (m_piece.lanes.GetLaneCount())
        {
        case 1:
            return BlockOf<1>(p);
        case 2:
            return BlockOf<2>(p);
        case 3:
            return BlockOf<3>(p);
        case 4:
            return BlockOf<4>(p);
        default:
            return false;
        }
    }

    template <std::size_t Lanes> bool BlockOf(const char* p)
    {
        const std::uint64_t newlines = m_newlines;
        const auto last = static_cast<unsigned>(63 - __builtin_clzll(newlines));
        const std::uint64_t lines = ~std::uint64_t{0} >> (63 - last); // bits up to the last newline
        std::uint64_t hash = 0;
        std::uint64_t bit = 0;
#if defined(QZ_VCD_AVX512)
        if (m_vector)
            StartsVector(m_base, hash, bit);
        else
#endif
            Starts(m_base, hash, bit);
        const std::uint64_t starts =
            ((std::uint64_t{1} << (p - m_base)) | (newlines << 1)) & lines;
        const std::uint64_t times = starts & hash;
        const std::uint64_t changes = starts & ~hash;
        // Changes are two bytes, "0" or "1" and the code; no line is empty.
        if ((starts & newlines) != 0 || (changes & ~bit) != 0 ||
            ((changes << 1) & newlines) != 0 || ((changes << 2) & ~newlines) != 0)
            return Fail();
        const std::int64_t first = m_row;
        const std::int64_t lastTime = m_last;
        if (!BlockTimes(times, newlines))
            return Fail(first, lastTime);
        CqzVcdBitLanes& lanes = m_piece.lanes;
        const std::int64_t rows = first + CountBits(times);
        std::uint64_t* words[Lanes];
        std::int64_t laneFirst[Lanes];
        std::uint64_t level[Lanes];
        lanes.Open(rows, words);
        for (std::size_t k = 0; k < Lanes; ++k)
        {
            laneFirst[k] = lanes.GetLaneFirst(k);
            level[k] = lanes.GetLevels()[k];
            words[k][first - laneFirst[k]] = level[k];
        }
        // As no two timestamps follow each other, at most one lies between two changes.
        std::int64_t row = first;
        std::uint64_t later = times; // the timestamps after the last change
        for (std::uint64_t c = changes; c != 0; c &= c - 1)
        {
            const auto at = static_cast<unsigned>(__builtin_ctzll(c));
            const char* q = m_base + at;
            const int slot = m_slotOfCode[static_cast<unsigned char>(q[1])];
            if (slot < 0)
                return Fail(first, lastTime);
            const std::uint64_t before = (std::uint64_t{1} << at) - 1;
            row += (later & before) != 0;
            later &= ~before;
            const std::size_t lane = Lanes == 1 ? 0 : static_cast<std::size_t>(slot) >> 6;
            const std::uint64_t mask = std::uint64_t{1} << (slot & 63);
            const std::uint64_t set = 0 - static_cast<std::uint64_t>(q[0] & 1);
            level[lane] = (level[lane] & ~mask) | (mask & set);
            for (std::size_t k = 0; k < Lanes; ++k)
                words[k][row - laneFirst[k]] = level[k];
        }
        for (std::size_t k = 0; k < Lanes; ++k)
        {
            words[k][rows - laneFirst[k]] = level[k];
            lanes.GetLevels()[k] = level[k];
        }
        lanes.SetRow(rows);
        m_row = rows;
        ++m_blocksRead;
        return true;
    }

    // The block's timestamps into the piece's times, each later than the last and each
    // followed by a change (or the block's end).
    bool BlockTimes(std::uint64_t times, std::uint64_t newlines)
    {
#if defined(QZ_VCD_AVX512)
        if (m_vector)
            return BlockTimesVector(times, newlines);
#endif
        return ReadBlockTimes<false>(times, newlines);
    }
#if defined(QZ_VCD_AVX512)
    QZ_VCD_AVX512 bool BlockTimesVector(std::uint64_t times, std::uint64_t newlines)
    {
        return ReadBlockTimes<true>(times, newlines);
    }
#endif

    template <bool Vector>
    [[gnu::always_inline]] bool ReadBlockTimes(std::uint64_t times, std::uint64_t newlines)
    {
        std::int64_t last = m_last;
        for (std::uint64_t t = times; t != 0; t &= t - 1)
        {
            const auto at = static_cast<unsigned>(__builtin_ctzll(t));
            const std::uint64_t after = newlines & (~std::uint64_t{0} << at);
            const auto end = static_cast<unsigned>(__builtin_ctzll(after));
            std::int64_t time = 0;
            if (!BlockTime<Vector>(m_base + at + 1, end - at - 1, time) || time <= last ||
                (end < 63 && ((times >> (end + 1)) & 1) != 0))
                return false;
            m_piece.times.push_back(time);
            last = time;
        }
        m_last = last;
        return true;
    }

    // A timestamp's `count` digits at d as picoseconds (the unit is a whole number of them).
    template <bool Vector>
    [[gnu::always_inline]] bool BlockTime(const char* d, unsigned count, std::int64_t& time) const
    {
        if (count - 1 >= 16)
            return false;
#if defined(QZ_VCD_AVX512)
        if constexpr (Vector)
        {
            std::uint64_t ticks = 0;
            return DigitsVector(d, count, ticks) &&
                   !__builtin_mul_overflow(static_cast<std::int64_t>(ticks), m_parser.m_factor,
                                           &time);
        }
#endif
        return CommonTime(d, d + count, time);
    }

    // A block left to be read line by line: the piece's times and last time as they were
    // (the levels are the lanes' still, and the words the block wrote are written again).
    bool Fail(std::int64_t row, std::int64_t last)
    {
        m_piece.times.resize(static_cast<std::size_t>(row + 1));
        m_last = last;
        return Fail();
    }
    bool Fail()
    {
        m_failedBlock = m_base;
        if (++m_failedBlocks > 64 && m_failedBlocks > m_blocksRead)
            m_blocks = false;
        return false;
    }

    // A line [p, e) of a common form, read; false, with nothing read, for any other line.
    [[gnu::always_inline]] bool Line(const char* p, const char* e)
    {
        switch (*p)
        {
        case '#':
            return NextTime(p + 1, e) ||
                   Timestamp(std::string_view(p + 1, static_cast<std::size_t>(e - p - 1)));
        case '0':
        case '1':
            return e - p == 2 && m_row >= 0 && SingleBit(p[1], *p == '1');
        case 'b':
        case 'B':
            return e - p >= 4 && e[-2] == ' ' && m_row >= 0 && SingleVector(p + 1, e - 2, e[-1]);
        case 'r':
        case 'R':
        case 's':
        case 'S':
            return e - p >= 4 && e[-2] == ' ' && m_row >= 0 && WordEnd(p + 1) == e - 2 &&
                   TextFor(std::string_view(p + 1, static_cast<std::size_t>(e - p - 3)),
                           m_parser.Targets(std::string_view(e - 1, 1)));
        default:
            return false;
        }
    }

    // The common timestamp: up to sixteen digits, later than the last, in whole picoseconds.
    [[gnu::always_inline]] bool NextTime(const char* d, const char* e)
    {
        std::int64_t time = 0;
        if (m_row < 0 || !CommonTime(d, e, time) || time <= m_last)
            return false;
        NewRow(time);
        return true;
    }

    // The digits [d, e) of a timestamp as picoseconds: false unless there are 1 to 16 and
    // the dump's unit is a whole number of picoseconds.
    [[gnu::always_inline]] bool CommonTime(const char* d, const char* e, std::int64_t& time) const
    {
        const auto count = static_cast<unsigned>(e - d);
        const unsigned high = count > 8 ? count - 8 : 0;
        std::uint64_t upper = 0;
        std::uint64_t lower = 0;
        return count - 1 < 16 && m_parser.m_divisor == 1 &&
               (high == 0 || Digits(d, high, upper)) && Digits(d + high, count - high, lower) &&
               !__builtin_mul_overflow(static_cast<std::int64_t>(upper * 100000000 + lower),
                                       m_parser.m_factor, &time);
    }

    // A row at `time`, after the last (whose levels are kept).
    [[gnu::always_inline]] void NewRow(std::int64_t time)
    {
        if (m_row >= 0)
            m_piece.lanes.EndRow();
        m_piece.times.push_back(time);
        ++m_row;
        m_last = time;
    }

    // A change of the one-bit column a one-character code alone writes; false for any other
    // code. The code's slot is looked up once a piece.
    [[gnu::always_inline]] bool SingleBit(char code, bool bit)
    {
        int slot = m_slotOfCode[static_cast<unsigned char>(code)];
        if (slot < 0 && (slot = FirstBit(code)) < 0)
            return false;
        m_piece.lanes.Set(slot, bit);
        return true;
    }

    // The slot of a one-character code's one-bit column, made at its first change in the
    // piece and kept in m_slotOfCode; kNoSlot for a code that writes no such column alone.
    [[gnu::cold]] int FirstBit(char code)
    {
        std::int16_t& known = m_slotOfCode[static_cast<unsigned char>(code)];
        if (known != kUnknownSlot)
            return known;
        known = kNoSlot;
        const SqzTarget* t = Single(code);
        if (t == nullptr || t->width != 1 || m_piece.lanes.GetSlotCount() >= 0x7fff)
            return kNoSlot;
        SqzVcdPiece::SqzColumn& c = m_piece.columns[static_cast<std::size_t>(t->column)];
        if (c.first < 0)
            Start(c, *t);
        known = static_cast<std::int16_t>(c.slot);
        return c.slot;
    }

    bool SingleVector(const char* digits, const char* end, char code)
    {
        U128 value = 0;
        int bits = 0;
        const SqzTarget* t = Single(code);
        if (t == nullptr || !Binary(digits, end, value, bits) || bits > t->width)
            return false;
        Set(*t, value);
        return true;
    }

    // The column a one-character code alone writes (null when it writes none or more).
    const SqzTarget* Single(char code) const
    {
        const auto k = static_cast<unsigned char>(code);
        if (k >= m_parser.m_single.size() || m_parser.m_single[k].column < 0)
            return nullptr;
        return &m_parser.m_single[k];
    }

    // The next word; false at the end of the piece or at a control byte.
    bool NextWord(std::string_view& word)
    {
        if (*m_p == '\n' && static_cast<unsigned char>(m_p[1]) > ' ')
            ++m_p; // most often one newline (the padding after the text is zeros)
        else if (!SkipBlanks())
            return Stop();
        if (m_p == m_end)
            return false;
        const char* q = WordEnd(m_p);
        if (q > m_end || static_cast<std::size_t>(q - m_p) > m_parser.m_maxWord)
            return Stop();
        word = std::string_view(m_p, static_cast<std::size_t>(q - m_p));
        m_p = q;
        return true;
    }
    // Past blanks; false at a control byte.
    bool SkipBlanks()
    {
        while (m_p < m_end && static_cast<unsigned char>(*m_p) <= ' ')
        {
            const auto c = static_cast<unsigned char>(*m_p++);
            if (c != ' ' && c != '\n' && c != '\r' && c != '\t' && c != '\v' && c != '\f')
                return false;
        }
        return true;
    }
    bool Stop()
    {
        m_p = nullptr; // not at the end: the piece stays unparsed
        return false;
    }

    bool Statement(std::string_view word)
    {
        switch (word[0])
        {
        case '#':
            return Timestamp(word.substr(1));
        case '0':
        case '1':
            return m_row >= 0 && Bits(word.substr(1), static_cast<U128>(word[0] - '0'), 1);
        case 'b':
        case 'B':
            return m_row >= 0 && Vector(word.substr(1));
        case 'r':
        case 'R':
        case 's':
        case 'S':
            return m_row >= 0 && Text(word.substr(1));
        case '$':
            return IsSkippedKeyword(word);
        default:
            return false;
        }
    }

    bool Timestamp(std::string_view digits)
    {
        std::int64_t time = 0;
        if (!m_parser.Time(digits, time) || (m_row >= 0 && time < m_last))
            return false;
        if (m_row < 0 || time != m_last)
            NewRow(time);
        return true;
    }

    bool Vector(std::string_view digits)
    {
        U128 value = 0;
        int bits = 0;
        std::string_view code;
        return Binary(digits.data(), digits.data() + digits.size(), value, bits) &&
               Code(code) && Bits(code, value, bits);
    }

    // The word of a vector's code: most often one character after one blank (NextWord when
    // not).
    bool Code(std::string_view& code)
    {
        const auto next = static_cast<unsigned char>(m_p[1]);
        if (m_p[0] != ' ' || next <= ' ' || static_cast<unsigned char>(m_p[2]) > ' ' ||
            m_parser.m_maxWord == 0)
            return NextWord(code);
        code = std::string_view(m_p + 1, 1);
        m_p += 2;
        return true;
    }

    bool Bits(std::string_view code, U128 value, int bits)
    {
        if (code.size() == 1 && static_cast<unsigned char>(code[0]) < m_parser.m_single.size())
            if (const SqzTarget& t = m_parser.m_single[static_cast<unsigned char>(code[0])]; t.column >= 0)
            {
                if (bits > t.width)
                    return false;
                Set(t, value);
                return true;
            }
        const std::vector<SqzTarget>* targets = m_parser.Targets(code);
        if (targets == nullptr)
            return false;
        for (const SqzTarget& t : *targets)
        {
            if (t.width == 0 || bits > t.width)
                return false;
            Set(t, value);
        }
        return true;
    }

    // Small enough to be inlined where a change is read: one-bit changes are most of many
    // dumps; first changes and wider values go out of line.
    void Set(const SqzTarget& t, U128 value)
    {
        SqzVcdPiece::SqzColumn& c = m_piece.columns[static_cast<std::size_t>(t.column)];
        if (c.first < 0)
            Start(c, t);
        if (t.width == 1)
            m_piece.lanes.Set(c.slot, (value & 1) != 0);
        else
            PutValue(c, static_cast<std::size_t>(m_row - c.first), value);
    }

    // The column's first change in the piece.
    [[gnu::cold]] void Start(SqzVcdPiece::SqzColumn& c, const SqzTarget& t)
    {
        c.first = m_row;
        c.column = t.column;
        c.width = t.width;
        if (t.width == 1)
            c.slot = m_piece.lanes.Add(m_row);
        m_piece.changed.push_back(t.column);
    }

    [[gnu::noinline]] static void PutValue(SqzVcdPiece::SqzColumn& c, std::size_t index, U128 value)
    {
        if (c.width <= 8)
            Put(c.narrow, index, static_cast<std::uint8_t>(value));
        else if (c.width <= 64)
            Put(c.values, index, static_cast<std::uint64_t>(value));
        else
            Put(c.wide, index,
                CqzUInt(static_cast<std::uint64_t>(value >> 64), static_cast<std::uint64_t>(value)));
    }

    bool Text(std::string_view value)
    {
        std::string_view code;
        return NextWord(code) && TextFor(value, m_parser.Targets(code));
    }

    // A text for a code's columns; false, with nothing read, unless they are all text columns.
    bool TextFor(std::string_view value, const std::vector<SqzTarget>* targets)
    {
        if (targets == nullptr ||
            std::any_of(targets->begin(), targets->end(), [](const SqzTarget& t) { return t.width != 0; }))
            return false;
        const std::uint32_t text = TextIndex(value);
        for (const SqzTarget& t : *targets)
            m_piece.texts.push_back({m_row, t.column, text});
        return true;
    }

    // The number of a text among the piece's distinct texts, made a value when new. A dump
    // repeats a few texts, so the last text of each of 64 classes (by length and ends) is
    // looked at first.
    std::uint32_t TextIndex(std::string_view bytes)
    {
        const std::size_t k =
            bytes.empty() ? 0
                          : (bytes.size() * 7 + static_cast<unsigned char>(bytes.front()) +
                             static_cast<unsigned char>(bytes.back()) * 3) & 63;
        SqzRecentText& recent = m_recent[k];
        if (recent.text.size() == bytes.size() && recent.text == bytes)
            return recent.index;
        const auto [it, added] =
            m_texts.try_emplace(bytes, static_cast<std::uint32_t>(m_piece.textValues.size()));
        if (added)
            m_piece.textValues.push_back(CqzCaptureText::Value(bytes));
        recent = {bytes, it->second};
        return it->second;
    }

    const CqzVcdPieceParser& m_parser;
    SqzVcdPiece& m_piece;
    const char* m_p;
    const char* m_end;
    std::int64_t m_row = -1;
    std::int64_t m_last = 0;
    // The newlines at or after the next line in the 64 bytes from m_base.
    const char* m_base;
    std::uint64_t m_newlines;
    bool m_vector; // whether the vector unit reads the blocks
    // Blocks read at once (Block): whether they are tried, the last that was not, and counts.
    bool m_blocks;
    const char* m_failedBlock = nullptr;
    std::int64_t m_failedBlocks = 0;
    std::int64_t m_blocksRead = 0;
    std::vector<std::vector<std::uint64_t>*> m_bits; // the bits of each slot (Finish)
    // The slot of each one-character code's one-bit column (FirstBit).
    static constexpr std::int16_t kUnknownSlot = -1;
    static constexpr std::int16_t kNoSlot = -2;
    std::array<std::int16_t, 256> m_slotOfCode;
    // The piece's distinct texts by their bytes (which live in the piece).
    std::unordered_map<std::string_view, std::uint32_t> m_texts;
    struct SqzRecentText
    {
        std::string_view text;
        std::uint32_t index = 0;
    };
    std::array<SqzRecentText, 64> m_recent{};
};

void CqzVcdPieceParser::SetTime(std::int64_t factor, std::int64_t divisor)
{
    m_factor = factor;
    m_divisor = divisor;
}

void CqzVcdPieceParser::SetCodes(const CodeMap& codes, const std::array<int, 128>& fast,
                                 std::vector<std::vector<SqzTarget>> targets, int columns)
{
    m_codes = &codes;
    m_fast = fast;
    m_targets = std::move(targets);
    m_single.fill({-1, 0});
    for (std::size_t k = 0; k < m_fast.size(); ++k)
        if (const int index = m_fast[k]; index >= 0)
            if (const auto& t = m_targets[static_cast<std::size_t>(index)]; t.size() == 1 && t[0].width > 0)
                m_single[k] = t[0];
    m_widths.assign(static_cast<std::size_t>(columns), 0);
}

const std::vector<CqzVcdPieceParser::SqzTarget>* CqzVcdPieceParser::Targets(std::string_view code) const
{
    int index = -1;
    if (code.size() == 1 && static_cast<unsigned char>(code[0]) < m_fast.size())
        index = m_fast[static_cast<unsigned char>(code[0])];
    else if (auto it = m_codes->find(code); it != m_codes->end())
        index = it->second;
    return index < 0 ? nullptr : &m_targets[static_cast<std::size_t>(index)];
}

bool CqzVcdPieceParser::Time(std::string_view digits, std::int64_t& time) const
{
    if (digits.empty() || digits.size() > 20)
        return false;
    // The first 1 to 8 digits, then eight at a time (the word ends in a blank or the padding).
    std::uint64_t ticks = 0;
    for (auto count = static_cast<unsigned>((digits.size() - 1) % 8 + 1); !digits.empty(); count = 8)
    {
        std::uint64_t part = 0;
        if (!Digits(digits.data(), count, part) || __builtin_mul_overflow(ticks, 100000000u, &ticks) ||
            __builtin_add_overflow(ticks, part, &ticks))
            return false;
        digits.remove_prefix(count);
    }
    return Scale(ticks, time);
}

bool CqzVcdPieceParser::Scale(std::uint64_t ticks, std::int64_t& time) const
{
    std::uint64_t ps = 0;
    if (m_divisor == 1 && !__builtin_mul_overflow(ticks, static_cast<std::uint64_t>(m_factor), &ps))
    {
        time = static_cast<std::int64_t>(ps);
        return ps <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    }
    const U128 scaled = static_cast<U128>(ticks) * static_cast<std::uint64_t>(m_factor);
    const auto divisor = static_cast<std::uint64_t>(m_divisor);
    if (scaled % divisor != 0 ||
        scaled / divisor > static_cast<U128>(std::numeric_limits<std::int64_t>::max()))
        return false;
    time = static_cast<std::int64_t>(scaled / divisor);
    return true;
}

void CqzVcdPieceParser::Parse(SqzVcdPiece& piece) const
{
    if (piece.columns.size() != m_widths.size())
        piece.columns.assign(m_widths.size(), SqzVcdPiece::SqzColumn());
    for (int column : piece.changed)
    {
        SqzVcdPiece::SqzColumn& c = piece.columns[static_cast<std::size_t>(column)];
        c.first = -1;
        c.slot = -1;
        c.narrow.clear();
        c.values.clear();
        c.wide.clear();
    }
    piece.times.clear();
    piece.changed.clear();
    piece.texts.clear();
    piece.textValues.clear();
    piece.lanes.Clear();
    Reading reading(*this, piece);
    piece.parsed = piece.endsAtLine && reading.Run();
    if (piece.parsed)
        reading.Finish();
}
