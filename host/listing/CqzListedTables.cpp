#include "CqzListedTables.h"

std::vector<int> CqzListedTables::Of(const CqzData& data, int chosen)
{
    if (chosen >= 0 && chosen < data.GetTableCount())
        return {chosen};
    std::vector<int> tables;
    for (int t = 0; t < data.GetTableCount(); ++t)
        tables.push_back(t);
    return tables;
}
