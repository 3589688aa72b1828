#include "CqzBenchViewCapture.h"

#include "qzSystem/data/CqzDataTable.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace
{
constexpr std::int64_t ChunkRows = 1 << 16;
} // namespace

std::unique_ptr<CqzData> CqzBenchViewCapture::Make(std::int64_t rows)
{
    if (rows < 1)
        throw std::invalid_argument("a capture needs at least one row");
    auto data = std::make_unique<CqzData>();
    CqzDataTable* table = data->AddTable();
    const int time = table->AddLabelColumn(eqzLabelTime, L"Time", 0, CqzID());
    const int bus = table->AddLabelColumn(eqzLabelDigital, L"A", 8, CqzID());
    table->Reserve(rows);
    if (time < 0 || bus < 0 || table->AppendRows(rows) != 0)
        throw std::runtime_error("the view capture refused its rows");
    std::vector<std::uint64_t> values;
    std::vector<std::int64_t> times;
    // Last chunk first: the table refuses times that a later line's time (still 0) would undercut.
    for (std::int64_t first = (rows - 1) / ChunkRows * ChunkRows; first >= 0; first -= ChunkRows)
    {
        const std::int64_t count = std::min(ChunkRows, rows - first);
        values.resize(std::size_t(count));
        times.resize(std::size_t(count));
        for (std::int64_t i = 0; i < count; ++i)
        {
            values[std::size_t(i)] = std::uint64_t(first + i) % 256;
            times[std::size_t(i)] = (first + i) * RowPicoseconds;
        }
        if (!table->SetTimes(first, times.data(), count) ||
            !table->SetValues(bus, first, values.data(), count))
            throw std::runtime_error("the view capture refused its values");
    }
    return data;
}

CString CqzBenchViewCapture::GetSetupMarkup()
{
    return L"<Filter Enabled='T'>"
           L"<FilterExpression Name='Upper half'><Search Enabled='T'>"
           L"<Event Label='A' Op='GreaterEqual' Value='h80'/>"
           L"</Search><FilterAction Type='Hide'/></FilterExpression>"
           L"<FilterExpression Name='Sixteen'><Search Enabled='T'>"
           L"<Event Label='A' Op='Equal' Value='h10'/>"
           L"</Search><FilterAction Type='Color' Color='h0000ff'/></FilterExpression>"
           L"</Filter>";
}
