#include "CqzFilterSummary.h"

#include "CqzProgress.h"
#include "CqzRowAttributes.h"

namespace
{

std::int64_t TotalRows(const CqzData& data)
{
    std::int64_t total = 0;
    for (int t = 0; t < data.GetTableCount(); ++t)
        total += data.GetTable(t)->GetRowCount();
    return total;
}

// Whether a shown line of the row (its main line or a subrow) is coloured.
bool HasColoredLine(CqzRowAttributes& records, const CqzDataTable& table, std::int64_t row)
{
    for (int subrow = -1; subrow < table.GetSubrowCount(row); ++subrow)
    {
        const CqzSampleAttributes record = records.Get(row, subrow);
        if (record.IsColored() && !record.IsHidden())
            return true;
    }
    return false;
}

} // namespace

SqzFilterCounts CqzFilterSummary::Count(const CqzData& data, const CqzID& instanceID, bool progress)
{
    SqzFilterCounts counts;
    CqzProgress bar("Counting", TotalRows(data), progress);
    for (int t = 0; t < data.GetTableCount(); ++t)
    {
        const CqzDataTable& table = *data.GetTable(t);
        CqzRowAttributes records(table, instanceID);
        for (std::int64_t row = 0; row < records.GetRowCount(); ++row)
        {
            // A row with subrows is hidden when all its lines are, as the listing has it, and
            // coloured when one of its shown lines is.
            if (records.IsRowHidden(row))
                ++counts.hidden;
            else if (HasColoredLine(records, table, row))
                ++counts.colored;
            bar.Update(++counts.rows);
        }
    }
    counts.shown = counts.rows - counts.hidden;
    return counts;
}

std::string CqzFilterSummary::Describe(const SqzFilterCounts& counts)
{
    return std::to_string(counts.rows) + " rows: " + std::to_string(counts.shown) + " shown, " +
           std::to_string(counts.hidden) + " hidden, " + std::to_string(counts.colored) +
           " coloured";
}
