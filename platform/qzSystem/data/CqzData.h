#pragma once
// The acquired data set: a list of tables, owned here. The host builds it from a capture and
// hands it to the analysis tools, which read it through the sample iterators and add their
// own columns to its tables.

#include "qzSystem/data/CqzDataTable.h"
#include "qzSystem/data/CqzDataTableIter.h"

#include <memory>

class CqzData
{
public:
    CqzData();
    ~CqzData();
    CqzData(const CqzData&) = delete;
    CqzData& operator=(const CqzData&) = delete;

    // True when the data set holds at least one table and the host has not marked it
    // invalid (for example while a new capture is being loaded).
    bool IsDataValid() const;
    void SetDataValid(bool valid);

    int GetTableCount() const;
    CqzDataTable* GetTable(int index) const;
    CqzDataTable* FindTable(const CqzID& tableID) const;
    // Adds an empty table, or returns the table that already has this identifier.
    CqzDataTable* AddTable(const CqzID& tableID = CqzID());
    void RemoveAllTables();

    // A new iterator over the tables; the caller owns it.
    CqzDataTableIter* CreateIter() const;

    // The first table (in table order) with a column for this label, and that column.
    CqzDataTable* GetTableWithLabelID(const CqzID& labelID) const;
    CqzDataColumn* GetColumnWithLabelID(const CqzID& labelID) const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
