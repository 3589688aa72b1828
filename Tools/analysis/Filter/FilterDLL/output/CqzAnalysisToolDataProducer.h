#pragma once
// Producers an analysis tool installs on its paged output sources: each page is produced by
// running a clone of the tool's production command over the page's rows. The row kind and the
// subrow kind differ only in their host base.

#include "output/CqzAnalysisToolCmd.h"
#include "qzSystem/output/CqzDataProducer.h"
#include "qzSystem/output/CqzDataSubrowProducer.h"

#include <memory>

// The production shared by both kinds: the command (owned) and the table it serves.
class CqzAnalysisToolProduction
{
public:
    explicit CqzAnalysisToolProduction(const CqzAnalysisToolCmd& command)
        : m_command(static_cast<CqzAnalysisToolCmd*>(command.Clone()))
    {
    }

    bool Produce(const CqzDataPage& page, std::int64_t firstRow)
    {
        m_command->SetTableID(m_tableID);
        m_command->SetRange(static_cast<int>(firstRow),
                            static_cast<int>(firstRow + page.GetRowCount() - 1));
        return m_command->Execute() == 1;
    }

    const CqzID& SetTableID(const CqzID& tableID)
    {
        if (&tableID != &m_tableID)
            m_tableID = tableID;
        return m_tableID;
    }

private:
    std::unique_ptr<CqzAnalysisToolCmd> m_command;
    CqzID m_tableID;
};

// The operations of both producer kinds, on top of the host base TBase.
template <class TBase> class CqzAnalysisToolProducer : public TBase
{
public:
    explicit CqzAnalysisToolProducer(const CqzAnalysisToolCmd& command) : m_production(command) {}
    int GetKind() const override { return 2; }
    bool Produce(const CqzDataPage& page, std::int64_t firstRow) override
    {
        return m_production.Produce(page, firstRow);
    }
    int GetPriority() const override { return 0; }
    const CqzID& SetTableID(const CqzID& tableID) override
    {
        return m_production.SetTableID(tableID);
    }

private:
    CqzAnalysisToolProduction m_production;
};

template <typename T>
class CqzAnalysisToolDataProducer : public CqzAnalysisToolProducer<CqzDataProducer<T>>
{
public:
    using CqzAnalysisToolProducer<CqzDataProducer<T>>::CqzAnalysisToolProducer;
};

template <typename T>
class CqzAnalysisToolDataSubrowProducer : public CqzAnalysisToolProducer<CqzDataSubrowProducer<T>>
{
public:
    using CqzAnalysisToolProducer<CqzDataSubrowProducer<T>>::CqzAnalysisToolProducer;
};
