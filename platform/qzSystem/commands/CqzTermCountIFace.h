#pragma once
// What an analysis tool tells the host about the fate of its rows, term by term: for every
// enabled term (in the order they are tried) the rows it decided, hidden or coloured, and the
// rows no term decided. The tool counts rows while it produces its pages, so the counts cover
// the pages produced so far (each page once); a host that wants every row reads every page
// first. A tool registers its interface with CqzTermCountIFaceMgr under its instance
// identifier for its life.

#include "mfc/CString.h"
#include "win/WinTypes.h"

#include <cstdint>
#include <vector>

struct SqzTermCount
{
    CString name;
    // The term's action: 0 Show, 1 Hide, 2 Color, with the colour as display records hold it.
    unsigned int action = 0;
    std::uint32_t color = 0;
    std::int64_t hidden = 0;
    std::int64_t colored = 0;
};

struct SqzTermCounts
{
    std::vector<SqzTermCount> terms;
    // Rows no term decided (an earlier tool's hidden rows among them).
    std::int64_t undecided = 0;
    // Rows (lines, in tables with subrows) counted so far, and the rows of the data set.
    std::int64_t counted = 0;
    std::int64_t rows = 0;
};

class CqzTermCountIFace
{
public:
    virtual ~CqzTermCountIFace() = default;
    virtual SqzTermCounts GetTermCounts() const = 0;
};
