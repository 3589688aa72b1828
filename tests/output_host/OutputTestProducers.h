#pragma once
// Producers for the output data tests: they log each request and write the page through an
// iterator in access mode 5, as analysis tools do. Each record encodes its row (and line), so a
// test can tell produced records from default ones.

#include "qzSystem/output/CqzDataProducer.h"
#include "qzSystem/output/CqzDataSubrowProducer.h"
#include "qzSystem/output/CqzPageDataSource.h"
#include "qzSystem/output/CqzSampleAttributesDataSourceIter.h"

#include <functional>
#include <memory>
#include <vector>

namespace qztest
{

inline CqzSampleAttributes RowRecord(std::int64_t row, std::int64_t line = 0)
{
    return CqzSampleAttributes((static_cast<std::uint64_t>(row) << 20) |
                               (static_cast<std::uint64_t>(line) << 4) | 1u);
}

// A new iterator of any source, checked down to the attribute iterator (null if it is not one).
inline std::unique_ptr<CqzSampleAttributesDataSourceIter> AttributeIter(CqzDataSource& source)
{
    std::unique_ptr<CqzDataSourceIter> any(source.CreateIter());
    auto* iter = dynamic_cast<CqzSampleAttributesDataSourceIter*>(any.get());
    if (iter != nullptr)
        any.release();
    return std::unique_ptr<CqzSampleAttributesDataSourceIter>(iter);
}

struct ProductionLog
{
    std::vector<std::int64_t> firstRows;
    std::vector<std::int64_t> rowCounts;
    bool producerDestroyed = false;
};

// What a test producer does for a page: the writing iterator (mode 5) and the page.
using PageBody = std::function<bool(CqzSampleAttributesDataSourceIter&, const CqzDataPage&)>;

// Writes RowRecord(row) to every row of the page, or runs the given body.
template <class TBase> class TestProducer : public TBase
{
public:
    TestProducer(CqzPageDataSource& source, ProductionLog& log, PageBody body = {})
        : m_source(source), m_log(log), m_body(std::move(body))
    {
    }
    ~TestProducer() override { m_log.producerDestroyed = true; }

    int GetKind() const override { return 2; }
    int GetPriority() const override { return 0; }
    const CqzID& SetTableID(const CqzID& id) override { return m_table = id; }

    bool Produce(const CqzDataPage& page, std::int64_t firstRow) override
    {
        m_log.firstRows.push_back(firstRow);
        m_log.rowCounts.push_back(page.GetRowCount());
        auto out = AttributeIter(m_source);
        if (!out)
            return false;
        out->SetAccessMode(5);
        out->SetPosition(firstRow);
        if (m_body)
            return m_body(*out, page);
        for (std::int64_t row = firstRow; row <= page.GetLastRow(); ++row, out->Next())
            out->SetValue(RowRecord(row));
        return true;
    }

private:
    CqzPageDataSource& m_source;
    ProductionLog& m_log;
    PageBody m_body;
    CqzID m_table;
};

using RowProducer = TestProducer<CqzDataProducer<CqzSampleAttributes>>;
using SubrowProducer = TestProducer<CqzDataSubrowProducer<CqzSampleAttributes>>;

} // namespace qztest
