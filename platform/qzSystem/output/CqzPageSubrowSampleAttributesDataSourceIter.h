#pragma once
// Iterator over a CqzPageSubrowSampleAttributesDataSource (one record per subrow). It stands
// on one line of a row: line 0 is the row's main line, lines 1 ... n its subrows. Next moves to
// the following line, and from a row's last line to the next row's main line. Made by the
// source's CreateIter, owned by the caller; it keeps the source's pages alive. Starts at row 0.

#include "qzSystem/output/CqzPageCursor.h"
#include "qzSystem/output/CqzSampleAttributesDataSourceIter.h"
#include "qzSystem/output/CqzSubrowSampleAttributesPage.h"

#include <memory>

class CqzPageSubrowSampleAttributesDataSourceIter final : public CqzSampleAttributesDataSourceIter
{
public:
    explicit CqzPageSubrowSampleAttributesDataSourceIter(
        std::shared_ptr<CqzSubrowSampleAttributesPageStore> store);

    // Positions at the row's main line.
    bool SetPosition(std::int64_t row) override;
    std::int64_t GetPosition() const override { return m_cursor.GetRow(); }
    bool IsAtEnd() const override { return m_cursor.IsAtEnd(); }
    bool Next() override;

    CqzSampleAttributes GetValue() override;
    bool SetValue(const CqzSampleAttributes& value) override;
    bool AddSubrow() override;
    bool IsPerSubrow() const override { return true; }

    // The current line of the row: 0 the main line, 1 ... GetSubrowCount() its subrows.
    std::int64_t GetLine() const { return m_line; }
    // The number of subrows of the current row; 0 at end.
    std::int64_t GetSubrowCount();
    // Moves to the next row's main line, skipping the rest of the current row.
    bool NextRow();

private:
    // Writes by the producer (access mode 5) never ask for production.
    bool MayProduce() const { return GetAccessMode() != CqzPageTable::ProducerAccessMode; }

    // Kept inline rather than behind a pointer: displays read through it line by line.
    CqzPageCursor<CqzSubrowSampleAttributesPageStore> m_cursor;
    std::int64_t m_line = 0;
};
