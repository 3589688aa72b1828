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

int CqzListedTables::Chosen(const SqzHostOptions& options, const CqzHostSession& session)
{
    if (!options.table.empty())
        return session.FindTable(options.table);
    return session.GetDecodedTables().empty() ? -1 : 1;
}

std::string CqzListedTables::Name(const CqzHostSession& session, int table)
{
    const std::vector<std::string>& decoded = session.GetDecodedTables();
    if (table == 0)
        return "capture";
    if (table > 0 && std::size_t(table) <= decoded.size())
        return decoded[std::size_t(table) - 1];
    return "table " + std::to_string(table + 1);
}
