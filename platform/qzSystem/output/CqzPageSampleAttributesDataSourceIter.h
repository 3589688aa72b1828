#pragma once
// Iterator over a CqzPageSampleAttributesDataSource (one record per row). Made by the source's
// CreateIter, owned by the caller; it keeps the source's pages alive. Starts at row 0.

#include "qzSystem/output/CqzPageCursor.h"
#include "qzSystem/output/CqzSampleAttributesDataSourceIter.h"
#include "qzSystem/output/CqzSampleAttributesPage.h"

#include <memory>

class CqzPageSampleAttributesDataSourceIter final : public CqzSampleAttributesDataSourceIter
{
public:
    explicit CqzPageSampleAttributesDataSourceIter(
        std::shared_ptr<CqzSampleAttributesPageStore> store);

    bool SetPosition(std::int64_t row) override { return m_cursor.SetRow(row); }
    std::int64_t GetPosition() const override { return m_cursor.GetRow(); }
    bool IsAtEnd() const override { return m_cursor.IsAtEnd(); }
    bool Next() override { return m_cursor.NextRow(); }

    CqzSampleAttributes GetValue() override;
    bool SetValue(const CqzSampleAttributes& value) override;
    bool AddSubrow() override { return false; }
    bool IsPerSubrow() const override { return false; }
    // A page at a time.
    void GetValues(CqzSampleAttributes* values, std::int64_t count) override;
    std::int64_t SetValues(const CqzSampleAttributes* values, std::int64_t count) override;
    std::int64_t SetChosenValues(const std::uint8_t* picks, const CqzSampleAttributes* choices,
                                 int choiceCount, std::int64_t count) override;

private:
    // Writes by the producer (access mode 5) never ask for production.
    bool MayProduce() const { return GetAccessMode() != CqzPageTable::ProducerAccessMode; }
    // Hands `count` rows from the current position on to write(page, offset in the page, rows
    // done before, rows), a page at a time, until the end; returns the rows handed.
    template <typename F> std::int64_t WritePages(std::int64_t count, F&& write);

    // Kept inline rather than behind a pointer: displays read through it row by row.
    CqzPageCursor<CqzSampleAttributesPageStore> m_cursor;
};
