#include "CqzFilterSummary.h"

#include "CqzListedTables.h"
#include "CqzProgress.h"
#include "CqzRowAttributes.h"

namespace
{

std::int64_t TotalRows(const CqzData& data, int table)
{
    std::int64_t total = 0;
    for (int t : CqzListedTables::Of(data, table))
        total += data.GetTable(t)->GetRowCount();
    return total;
}

} // namespace

SqzFilterCounts CqzFilterSummary::Count(const CqzData& data, const CqzID& instanceID, bool progress,
                                        int table)
{
    SqzFilterCounts counts;
    CqzProgress bar("Counting", TotalRows(data, table), progress);
    for (int t : CqzListedTables::Of(data, table))
    {
        CqzRowAttributes records(*data.GetTable(t), instanceID);
        for (std::int64_t row = 0; row < records.GetRowCount(); ++row)
        {
            // A row with subrows is hidden when all its lines are, as the listing has it, and
            // coloured when one of its shown lines is.
            if (records.IsRowHidden(row))
                ++counts.hidden;
            else if (records.IsRowColored(row))
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
