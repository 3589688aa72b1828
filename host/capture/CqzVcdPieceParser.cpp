#include "capture/CqzVcdPieceParser.h"

#include "capture/CqzCaptureText.h"

#include <algorithm>
#include <cstring>
#include <limits>
#if defined(__SSE2__)
#include <emmintrin.h>
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
bool Digits(const char* p, unsigned count, std::uint64_t& value)
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
        if (!values.empty())
            values.resize(index, values.back());
        values.push_back(value);
    }
}

template <typename T> void Hold(std::vector<T>& values, std::size_t count)
{
    if (!values.empty())
        values.resize(count, values.back());
}

// The same for one-bit values, 64 rows a word: rows [bitCount, row] take the last value, and
// the word of `row` becomes the one being written (`word`, kept out of `bits` until the rows
// move on, so that a change loads nothing from `bits`). The word of row bitCount - 1 and the
// next are stored whether the rows move on or not, without a branch: rows at and above
// bitCount do not count. The words grow ahead, twofold, and are kept from piece to piece, so
// nothing is zeroed.
inline void HoldBits(SqzVcdPiece::SqzColumn& c, std::size_t row)
{
    const std::size_t last = c.bitCount - 1;
    const std::uint64_t level = c.level;
    const std::uint64_t kept = (std::uint64_t{2} << (last & 63)) - 1; // rows up to `last`
    const std::uint64_t value = (c.word & kept) | (level & ~kept);
    const std::size_t at = last >> 6;
    const std::size_t word = row >> 6;
    if (c.bits.size() < word + 2)
        c.bits.resize(std::max(word + 2, 2 * c.bits.size()));
    std::uint64_t* bits = c.bits.data();
    bits[at] = value;
    bits[at + 1] = level;
    for (std::size_t w = at + 2; w < word; ++w)
        bits[w] = level;
    const std::uint64_t moved = 0 - static_cast<std::uint64_t>(at != word);
    c.word = (value & ~moved) | (level & moved);
    c.bitCount = std::max(c.bitCount, row + 1);
}

// Row `index` takes `bit` (the first change of a piece is its row 0).
void PutBit(SqzVcdPiece::SqzColumn& c, std::size_t index, bool bit)
{
    const std::uint64_t level = 0 - static_cast<std::uint64_t>(bit);
    if (c.bitCount == 0)
        c.word = 0;
    else
        HoldBits(c, index);
    const std::uint64_t mask = std::uint64_t{1} << (index & 63);
    c.word = (c.word & ~mask) | (level & mask);
    c.level = level;
    c.bitCount = index + 1;
}

// Rows [bitCount, count) take the last value, and the word being written goes into `bits`.
void EndBits(SqzVcdPiece::SqzColumn& c, std::size_t count)
{
    if (c.bitCount == 0)
        return;
    HoldBits(c, count - 1);
    c.bits[(count - 1) >> 6] = c.word;
}
} // namespace

// One piece's reading: false from any step leaves the piece to the plain path.
class CqzVcdPieceParser::Reading
{
public:
    Reading(const CqzVcdPieceParser& parser, SqzVcdPiece& piece)
        : m_parser(parser), m_piece(piece), m_p(piece.Begin()), m_end(piece.End())
    {
    }

    bool Run()
    {
        std::string_view word;
        while (NextWord(word))
            if (!Statement(word))
                return false;
        return m_row >= 0 && m_p == m_end;
    }

    void Finish()
    {
        const auto rows = static_cast<std::size_t>(m_row + 1);
        for (int column : m_piece.changed)
        {
            SqzVcdPiece::SqzColumn& c = m_piece.columns[static_cast<std::size_t>(column)];
            const auto count = rows - static_cast<std::size_t>(c.first);
            EndBits(c, count);
            Hold(c.narrow, count);
            Hold(c.values, count);
            Hold(c.wide, count);
        }
    }

private:
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
        {
            m_piece.times.push_back(time);
            ++m_row;
        }
        m_last = time;
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
        const auto index = static_cast<std::size_t>(m_row - c.first);
        if (t.width == 1)
            PutBit(c, index, (value & 1) != 0);
        else
            PutValue(c, index, value);
    }

    // The column's first change in the piece.
    [[gnu::cold]] void Start(SqzVcdPiece::SqzColumn& c, const SqzTarget& t)
    {
        c.first = m_row;
        c.column = t.column;
        c.width = t.width;
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
        if (!NextWord(code))
            return false;
        const std::vector<SqzTarget>* targets = m_parser.Targets(code);
        if (targets == nullptr)
            return false;
        const std::uint32_t text = TextIndex(value);
        for (const SqzTarget& t : *targets)
        {
            if (t.width != 0)
                return false;
            m_piece.texts.push_back({m_row, t.column, text});
        }
        return true;
    }

    // The number of a text among the piece's distinct texts, made a value when new.
    std::uint32_t TextIndex(std::string_view bytes)
    {
        const auto [it, added] =
            m_texts.try_emplace(bytes, static_cast<std::uint32_t>(m_piece.textValues.size()));
        if (added)
            m_piece.textValues.push_back(CqzCaptureText::Value(bytes));
        return it->second;
    }

    const CqzVcdPieceParser& m_parser;
    SqzVcdPiece& m_piece;
    const char* m_p;
    const char* m_end;
    std::int64_t m_row = -1;
    std::int64_t m_last = 0;
    // The piece's distinct texts by their bytes (which live in the piece).
    std::unordered_map<std::string_view, std::uint32_t> m_texts;
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
        c.bitCount = 0;
        c.narrow.clear();
        c.values.clear();
        c.wide.clear();
    }
    piece.times.clear();
    piece.changed.clear();
    piece.texts.clear();
    piece.textValues.clear();
    Reading reading(*this, piece);
    piece.parsed = piece.endsAtLine && reading.Run();
    if (piece.parsed)
        reading.Finish();
}

std::int64_t CqzVcdPieceParser::CountLines(const char* begin, const char* end)
{
    // Each newline subtracts 1 from its byte lane (255 rounds at most before the lanes are
    // summed).
    std::int64_t lines = 0;
#if defined(__SSE2__)
    const __m128i newline = _mm_set1_epi8('\n');
    while (end - begin >= 16)
    {
        __m128i counts = _mm_setzero_si128();
        for (int round = 0; round < 255 && end - begin >= 16; ++round, begin += 16)
        {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin));
            counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(bytes, newline));
        }
        const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
        lines += _mm_cvtsi128_si64(sums) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums));
    }
#endif
    for (; begin < end; ++begin)
        lines += *begin == '\n';
    return lines;
}
