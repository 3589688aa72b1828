#pragma once
// Cuts the rows of a CSV file into pieces for the workers (SqzCsvPiece): each at least
// `pieceBytes` long where the file allows, cut after the last line end in it. A piece without
// a line end grows until it has one; past `maxLine` bytes it is cut there (the line is too
// long, and the worker refuses it). Each piece is read from the file straight into its own
// buffer (what follows its cut goes to the next piece), so an import holds a bounded number
// of pieces, never the file.

#include "capture/CqzCaptureInput.h"
#include "capture/SqzCsvPiece.h"

#include <cstddef>
#include <vector>

class CqzCsvPieceReader
{
public:
    // Reads from `start`, a place inside the input's window.
    CqzCsvPieceReader(CqzCaptureInput& input, const char* start, std::size_t pieceBytes,
                      std::size_t maxLine);

    // The next piece's text; false at the end of the input.
    bool Next(SqzCsvPiece& piece);

private:
    // Reads up to `wanted` bytes of the input after the `filled` bytes of the buffer, which
    // only grows (a piece's buffer is used again: its bytes are not zeroed for every piece).
    void Append(std::vector<char>& bytes, std::size_t& filled, std::size_t wanted);

    CqzCaptureInput& m_in;
    const char* m_start;
    std::size_t m_pieceBytes;
    std::size_t m_maxLine;
    std::vector<char> m_carry; // the bytes after the last cut
    bool m_ended = false;
};
