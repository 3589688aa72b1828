#include "capture/CqzCsvPieceReader.h"

#include <algorithm>
#include <cstring>

CqzCsvPieceReader::CqzCsvPieceReader(CqzCaptureInput& input, const char* start,
                                     std::size_t pieceBytes, std::size_t maxLine)
    : m_in(input), m_start(start), m_pieceBytes(std::max<std::size_t>(pieceBytes, 16)),
      m_maxLine(maxLine)
{
}

void CqzCsvPieceReader::Append(std::vector<char>& bytes, std::size_t& filled, std::size_t wanted)
{
    if (bytes.size() < filled + wanted)
        bytes.resize(filled + wanted);
    const std::size_t got = m_in.Read(bytes.data() + filled, wanted, m_start);
    m_start = m_in.Begin();
    filled += got;
    m_ended = got < wanted;
}

bool CqzCsvPieceReader::Next(SqzCsvPiece& piece)
{
    std::vector<char>& bytes = piece.bytes;
    std::size_t filled = m_carry.size();
    if (bytes.size() < filled)
        bytes.resize(filled);
    std::copy(m_carry.begin(), m_carry.end(), bytes.begin());
    m_carry.clear();
    std::size_t cut = 0;
    std::size_t searched = 0; // bytes known to hold no line end
    while (true)
    {
        if (!m_ended)
            Append(bytes, filled, std::max(m_pieceBytes, filled));
        if (m_ended)
        {
            cut = filled;
            break;
        }
        if (const void* newline = ::memrchr(bytes.data() + searched, '\n', filled - searched))
        {
            cut = static_cast<std::size_t>(static_cast<const char*>(newline) + 1 - bytes.data());
            break;
        }
        if (filled > m_maxLine)
        {
            cut = filled;
            break;
        }
        searched = filled;
    }
    m_carry.assign(bytes.begin() + static_cast<std::ptrdiff_t>(cut),
                   bytes.begin() + static_cast<std::ptrdiff_t>(filled));
    piece.size = cut;
    return cut != 0;
}
