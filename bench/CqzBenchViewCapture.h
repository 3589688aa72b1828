#pragma once
// A deep generated capture for the view window's benchmark and tests: one table with a time
// column (10 ns a row) and A, an 8-bit bus counting 0 to 255 over and over, so that the term
// "hide A >= 0x80" hides runs of 128 rows and "colour A == 0x10" colours one row in 256.
// The caller owns the data set; its labels stay registered with CqzLabelMgr.

#include "mfc/CString.h"
#include "qzSystem/data/CqzData.h"

#include <cstdint>
#include <memory>

class CqzBenchViewCapture
{
public:
    static constexpr std::int64_t RowPicoseconds = 10000;

    static std::unique_ptr<CqzData> Make(std::int64_t rows);
    // The filter above as markup for the tool's command interface.
    static CString GetSetupMarkup();
};
