#pragma once
// Cuts the value changes of a dump into pieces for the workers (SqzVcdPiece): each piece about
// `pieceBytes` long, cut before a line that starts with '#' (a timestamp), else at the start
// of a line, else (a line longer than a piece) anywhere. The first piece is short, as the
// importer reads it on the plain path (it may hold changes before any timestamp). Each piece is read from the file
// straight into its own buffer (what follows its cut goes to the next piece), so an import
// holds a bounded number of pieces, never the file.

#include "capture/CqzCaptureInput.h"
#include "capture/SqzVcdPiece.h"

#include <cstddef>
#include <vector>

class CqzVcdPieceReader
{
public:
    // Reads from `start`, a place inside the input's window.
    CqzVcdPieceReader(CqzCaptureInput& input, const char* start, std::size_t pieceBytes);

    // The next piece's text (its reading cleared); false at the end of the input.
    bool Next(SqzVcdPiece& piece);

private:
    std::size_t Cut(const char* begin, const char* limit, bool& atLine) const;

    CqzCaptureInput& m_in;
    const char* m_start;
    std::size_t m_pieceBytes;
    std::size_t m_nextBytes; // the size of the next piece
    std::vector<char> m_carry; // the bytes after the last cut
    bool m_ended = false;
};
