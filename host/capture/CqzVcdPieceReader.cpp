#include "capture/CqzVcdPieceReader.h"

#include <algorithm>
#include <cstring>

CqzVcdPieceReader::CqzVcdPieceReader(CqzCaptureInput& input, const char* start,
                                     std::size_t pieceBytes)
    : m_in(input), m_at(start), m_pieceBytes(std::max<std::size_t>(pieceBytes, 16))
{
}

bool CqzVcdPieceReader::Next(SqzVcdPiece& piece)
{
    while (static_cast<std::size_t>(m_in.End() - m_at) < m_pieceBytes && !m_in.AtEnd())
    {
        m_in.Refill(m_at);
        m_at = m_in.Begin();
    }
    if (m_at == m_in.End())
        return false;
    bool atLine = true;
    const char* cut = m_in.End();
    if (static_cast<std::size_t>(m_in.End() - m_at) > m_pieceBytes || !m_in.AtEnd())
        cut = Cut(m_at + std::min<std::size_t>(m_pieceBytes, m_in.End() - m_at), atLine);
    piece.size = static_cast<std::size_t>(cut - m_at);
    piece.bytes.resize(piece.size + SqzVcdPiece::Padding);
    std::memcpy(piece.bytes.data(), m_at, piece.size);
    std::memset(piece.bytes.data() + piece.size, 0, SqzVcdPiece::Padding);
    piece.endsAtLine = atLine;
    piece.parsed = false;
    m_at = cut;
    return true;
}

// Where a piece ends at or before `limit`: before the last "\n#", else after the last
// newline, else at the limit (then not at a line).
const char* CqzVcdPieceReader::Cut(const char* limit, bool& atLine) const
{
    const char* lastNewline = nullptr;
    for (const char* p = limit; p > m_at + 1;)
    {
        const void* found = ::memrchr(m_at, '\n', static_cast<std::size_t>(p - 1 - m_at));
        if (found == nullptr)
            break;
        const char* newline = static_cast<const char*>(found);
        if (lastNewline == nullptr)
            lastNewline = newline;
        if (newline[1] == '#')
            return newline + 1;
        if (lastNewline - newline > static_cast<std::ptrdiff_t>(m_pieceBytes / 2))
            break;
        p = newline + 1;
    }
    if (lastNewline != nullptr)
        return lastNewline + 1;
    atLine = false;
    return limit;
}
