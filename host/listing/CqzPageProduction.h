#pragma once
// Makes a filter tool produce the pages of its output that no display asked for yet, one page
// at a time (reading one record of each makes the tool produce it), so that everything
// counted while producing covers every row. Pages already produced are not read again.

#include "qzSystem/data/CqzData.h"

#include <cstdint>
#include <functional>

class CqzPageDataSource;

class CqzPageProduction
{
public:
    // Called with pages done and pages in all; false stops the work.
    using Progress = std::function<bool(std::int64_t done, std::int64_t total)>;

    // The tool's output source of a table (its attribute column), or null.
    static CqzPageDataSource* GetSource(const CqzDataTable& table, const CqzID& instanceID);
    // Pages of every table's output, and how many of them are produced.
    static std::int64_t GetPageCount(const CqzData& data, const CqzID& instanceID);
    static std::int64_t GetProducedCount(const CqzData& data, const CqzID& instanceID);
    // Produces the remaining pages; false when `progress` stopped it.
    static bool ProduceAll(const CqzData& data, const CqzID& instanceID, const Progress& progress);
};
