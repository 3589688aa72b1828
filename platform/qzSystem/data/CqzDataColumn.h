#pragma once
// One numbered column of a CqzDataTable, which owns it. A label column holds the label's
// samples (CqzSampleDataSource); other columns, such as an analysis tool's attribute column,
// hold whatever data source their maker sets.

#include "qzSystem/data/CqzDataColumnComponent.h"

class CqzDataColumn : public CqzDataColumnComponent
{
public:
    CqzDataColumn(const CqzID& labelID, int index);
    ~CqzDataColumn() override;

    // The column's number in its table.
    int GetIndex() const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
