#pragma once
// Cuts the value changes of a dump into pieces for the workers (SqzVcdPiece): each piece about
// `pieceBytes` long, cut before a line that starts with '#' (a timestamp), else at the start
// of a line, else (a line longer than a piece) anywhere. Each piece is a copy; the input keeps
// a window of about one piece, so an import holds a bounded number of pieces, never the file.

#include "capture/CqzCaptureInput.h"
#include "capture/SqzVcdPiece.h"

#include <cstddef>

class CqzVcdPieceReader
{
public:
    // Reads from `start`, a place inside the input's window.
    CqzVcdPieceReader(CqzCaptureInput& input, const char* start, std::size_t pieceBytes);

    // The next piece's text (its reading cleared); false at the end of the input.
    bool Next(SqzVcdPiece& piece);

private:
    const char* Cut(const char* limit, bool& atLine) const;

    CqzCaptureInput& m_in;
    const char* m_at;
    std::size_t m_pieceBytes;
};
