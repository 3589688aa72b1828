#include "capture/CqzCsvPieceReader.h"

#include <algorithm>
#include <cstring>

CqzCsvPieceReader::CqzCsvPieceReader(CqzCaptureInput& input, const char* start,
                                     std::size_t pieceBytes, std::size_t maxLine)
    : m_in(input), m_start(start), m_pieceBytes(std::max<std::size_t>(pieceBytes, 16)),
      m_maxLine(maxLine)
{
}

void CqzCsvPieceReader::Append(std::vector<char>& bytes, std::size_t wanted)
{
    const std::size_t old = bytes.size();
    bytes.resize(old + wanted);
    const std::size_t got = m_in.Read(bytes.data() + old, wanted, m_start);
    m_start = m_in.Begin();
    bytes.resize(old + got);
    m_ended = got < wanted;
}

bool CqzCsvPieceReader::Next(SqzCsvPiece& piece)
{
    std::vector<char>& bytes = piece.bytes;
    bytes.assign(m_carry.begin(), m_carry.end());
    m_carry.clear();
    std::size_t cut = 0;
    std::size_t searched = 0; // bytes known to hold no line end
    while (true)
    {
        if (!m_ended)
            Append(bytes, std::max(m_pieceBytes, bytes.size()));
        if (m_ended)
        {
            cut = bytes.size();
            break;
        }
        if (const void* newline =
                ::memrchr(bytes.data() + searched, '\n', bytes.size() - searched))
        {
            cut = static_cast<std::size_t>(static_cast<const char*>(newline) + 1 - bytes.data());
            break;
        }
        if (bytes.size() > m_maxLine)
        {
            cut = bytes.size();
            break;
        }
        searched = bytes.size();
    }
    m_carry.assign(bytes.begin() + static_cast<std::ptrdiff_t>(cut), bytes.end());
    piece.size = cut;
    return cut != 0;
}
