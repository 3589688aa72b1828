#include "capture/CqzVcdPieceReader.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr std::size_t kFirstPieceBytes = 4096;
}

CqzVcdPieceReader::CqzVcdPieceReader(CqzCaptureInput& input, const char* start,
                                     std::size_t pieceBytes)
    : m_in(input), m_start(start), m_pieceBytes(std::max<std::size_t>(pieceBytes, 16)),
      m_nextBytes(std::min(m_pieceBytes, kFirstPieceBytes))
{
}

bool CqzVcdPieceReader::Next(SqzVcdPiece& piece)
{
    const std::size_t carried = m_carry.size();
    const std::size_t wanted = std::max(m_nextBytes, carried + m_nextBytes / 2);
    piece.bytes.resize(wanted + SqzVcdPiece::Padding);
    char* text = piece.bytes.data();
    if (carried != 0)
        std::memcpy(text, m_carry.data(), carried);
    m_carry.clear();
    std::size_t size = carried;
    if (!m_ended)
    {
        size += m_in.Read(text + carried, wanted - carried, m_start);
        m_start = m_in.Begin();
        m_ended = size < wanted;
    }
    if (size == 0)
        return false;
    bool atLine = true;
    const std::size_t cut = m_ended ? size : Cut(text, text + size, atLine);
    m_nextBytes = m_pieceBytes;
    m_carry.assign(text + cut, text + size);
    piece.size = cut;
    std::memset(text + cut, 0, SqzVcdPiece::Padding);
    piece.endsAtLine = atLine;
    piece.parsed = false;
    return true;
}

// Where a piece of [begin, limit) ends: before the last "\n#", else after the last newline,
// else at the limit (then not at a line).
std::size_t CqzVcdPieceReader::Cut(const char* begin, const char* limit, bool& atLine) const
{
    const char* lastNewline = nullptr;
    for (const char* p = limit; p > begin + 1;)
    {
        const void* found = ::memrchr(begin, '\n', static_cast<std::size_t>(p - 1 - begin));
        if (found == nullptr)
            break;
        const char* newline = static_cast<const char*>(found);
        if (lastNewline == nullptr)
            lastNewline = newline;
        if (newline[1] == '#')
            return static_cast<std::size_t>(newline + 1 - begin);
        if (lastNewline - newline > static_cast<std::ptrdiff_t>(m_nextBytes / 2))
            break;
        p = newline + 1;
    }
    if (lastNewline != nullptr)
        return static_cast<std::size_t>(lastNewline + 1 - begin);
    atLine = false;
    return static_cast<std::size_t>(limit - begin);
}
