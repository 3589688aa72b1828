#include "output/CqzFilterEngine.h"

#include "evaluation/CqzFilterObject.h"
#include "evaluation/CqzFilterPageCompare.h"
#include "evaluation/CqzFilterPageEvaluator.h"
#include "model/CqzFilterAction.h"
#include "model/CqzFilterModel.h"
#include "output/CqzAnalysisToolDataProducer.h"
#include "output/CqzFilterHiddenRuns.h"
#include "output/CqzFilterTermCounter.h"
#include "output/SqzFilterOutput.h"
#include "qzSystem/data/CqzData.h"
#include "qzSystem/data/CqzDataColumn.h"
#include "qzSystem/data/CqzDataTable.h"
#include "qzSystem/data/CqzDataTableIter.h"
#include "qzSystem/data/CqzTimeCorrelatedIter.h"
#include "qzSystem/output/CqzDataCacheMgr.h"
#include "qzSystem/output/CqzDataSourceProxy.h"
#include "qzSystem/output/CqzSampleAttributes.h"
#include "qzSystem/search/CqzSearchModel.h"
#include "tool/CqzFilter.h"
#include "tool/CqzFilterIdentifiers.h"

#include <algorithm>
#include <vector>

namespace
{
constexpr int ProducerAccessMode = 5;
constexpr int PageSize = CqzFilterPageMask::Rows;
// A pick is a byte: 0 for no term, else the deciding term's place among the page's.
constexpr int MostPickedTerms = 255;
constexpr int TimeBase = 7;
constexpr int TimeValue = 5;

// A new iterator of the source, of the class the caller expects (null otherwise), in the
// given access mode.
template <class TIter> std::unique_ptr<TIter> NewIter(CqzDataSource& source, int mode)
{
    std::unique_ptr<CqzDataSourceIter> iter(source.CreateIter());
    auto* typed = dynamic_cast<TIter*>(iter.get());
    if (typed == nullptr)
        return nullptr;
    iter.release();
    typed->SetAccessMode(mode);
    return std::unique_ptr<TIter>(typed);
}

CqzSampleAttributes MakeRecord(bool hidden, bool colored)
{
    CqzSampleAttributes record;
    record.SetHidden(hidden);
    record.SetColored(colored);
    return record;
}

// Restores a flag when a scope ends, also by an exception.
class SqzFlagScope
{
public:
    explicit SqzFlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~SqzFlagScope() { m_flag = false; }
    SqzFlagScope(const SqzFlagScope&) = delete;
    SqzFlagScope& operator=(const SqzFlagScope&) = delete;

private:
    bool& m_flag;
};
} // namespace

struct CqzFilterEngine::SqzImp
{
    bool busy = false;
    bool producing = false;
    bool hasStrings = false;
    bool pageWise = true;
    CqzData* data = nullptr;
    CqzFilter* tool = nullptr;
    std::unique_ptr<CqzFilterObject> filter;
    std::unique_ptr<CqzTimeCorrelatedIter> valueIter;
    std::unique_ptr<CqzTimeCorrelatedIter> stringIter;
    std::unique_ptr<CqzFilterPageEvaluator> pages;
    std::vector<CqzPosition> positions = std::vector<CqzPosition>(CqzFilterPageMask::Rows);
    std::vector<CqzSampleAttributes> records =
        std::vector<CqzSampleAttributes>(CqzFilterPageMask::Rows);
    std::vector<CqzSampleAttributes> inputs =
        std::vector<CqzSampleAttributes>(CqzFilterPageMask::Rows);
    // The terms that decided rows of the page being composed: their masks and records.
    std::vector<CqzFilterPageMask> decidedMasks;
    std::vector<std::uint64_t> decidedRecords;
    // The page's rows as picks of those terms (0: no term), and the records picked.
    std::vector<std::uint8_t> picks = std::vector<std::uint8_t>(CqzFilterPageMask::Rows);
    std::vector<CqzSampleAttributes> choices;
    std::vector<std::unique_ptr<SqzFilterOutput>> outputs;
    std::vector<int> valueStatus;
    std::vector<CqzUInt> values;
    std::vector<int> stringStatus;
    std::vector<CString> strings;
    const CqzSampleAttributes hiddenRecord = MakeRecord(true, false);
    CqzSampleAttributes colorRecord = MakeRecord(false, true);
    const CqzSampleAttributes defaultRecord{};
    CqzFilterTermCounter counter;

    void Compile();
    void MakeCorrelators();
    std::unique_ptr<SqzFilterOutput> MakeOutput(CqzDataTable& table, CqzFilterEngine* engine);
    void MakeOutputSource(SqzFilterOutput& out, std::int64_t rows);
    void ConnectInput(SqzFilterOutput& out, CqzDataTable& table);
    SqzFilterOutput* Find(const CqzID& table) const;

    bool StartBlock(SqzFilterOutput& out, int first, bool byTime);
    int ProduceRows(SqzFilterOutput& out, int first, int last, bool byTime);
    int ProducePages(SqzFilterOutput& out, int first, int last, bool byTime);
    void EvaluatePage(SqzFilterOutput& out, std::int64_t first, int count, bool byTime);
    CqzFilterPageMask WriteRecords(SqzFilterOutput& out, int count);
    CqzFilterPageMask CollectDecided();
    void MergeInput(SqzFilterOutput& out, int count, CqzFilterPageMask& hidden);
    int ProduceSubrows(SqzFilterOutput& out, int first, int last, bool byTime);
    CqzSampleAttributes RowRecord(SqzFilterOutput& out, bool& hidden, int& term);
    bool WriteLine(SqzFilterOutput& out, std::int64_t row, int line, bool byTime, bool counting);
    void Position(SqzFilterOutput& out, std::int64_t row, int subrow, bool byTime);
    void PositionNextRow(SqzFilterOutput& out, std::int64_t row, bool byTime);
    const CqzFilterAction* EvaluateLine();
    CqzSampleAttributes Decide(const CqzFilterAction* action, const CqzSampleAttributes* input,
                               bool& hidden);
    CqzDataTableFilterCache& GetCache(const SqzFilterOutput& out) const;

    void ResetCounts();
    bool StartCounting(const SqzFilterOutput& out, std::int64_t row);
    void CountPage(const SqzFilterOutput& out, int count);
    int TermOf(const CqzFilterAction* action) const;
};

CqzFilterEngine::CqzFilterEngine(CqzFilter* tool) : m_imp(std::make_unique<SqzImp>())
{
    m_imp->tool = tool;
}

CqzFilterEngine::~CqzFilterEngine()
{
    // Output first: its sources release the producers that call back into the engine.
    m_imp->outputs.clear();
}

void CqzFilterEngine::Prepare(CqzData& data)
{
    m_imp->outputs.clear();
    m_imp->data = &data;
    if (!data.IsDataValid())
        return;
    m_imp->Compile();
    m_imp->MakeCorrelators();

    std::unique_ptr<CqzDataTableIter> tables(data.CreateIter());
    for (tables->First(); !tables->IsDone(); tables->Next())
    {
        CqzDataTable* table = tables->GetCurrentTable();
        if (table->IsTableEmpty())
            continue;
        if (auto out = m_imp->MakeOutput(*table, this))
            m_imp->outputs.push_back(std::move(out));
    }
    m_imp->ResetCounts();
}

void CqzFilterEngine::Discard()
{
    m_imp->outputs.clear();
    m_imp->ResetCounts();
}

void CqzFilterEngine::Refresh()
{
    if (m_imp->data == nullptr || !m_imp->data->IsDataValid())
        return;
    SqzFlagScope busy(m_imp->busy);
    for (auto& out : m_imp->outputs)
    {
        out->GetSource().Invalidate();
        out->outputIter =
            NewIter<CqzSampleAttributesDataSourceIter>(out->GetSource(), ProducerAccessMode);
        if (out->inputSource)
            out->inputIter =
                NewIter<CqzSampleAttributesDataSourceIter>(*out->inputSource, ProducerAccessMode);
    }
    if (m_imp->filter)
    {
        m_imp->Compile();
        m_imp->MakeCorrelators();
    }
    m_imp->ResetCounts();
}

void CqzFilterEngine::ForgetData()
{
    m_imp->data = nullptr;
}

int CqzFilterEngine::Produce(const CqzID& table, int first, int last)
{
    if (m_imp->busy || m_imp->data == nullptr)
        return 0;
    SqzFilterOutput* out = m_imp->Find(table);
    if (out == nullptr || m_imp->producing || !out->outputIter)
        return 0;
    SqzFlagScope producing(m_imp->producing);
    const bool byTime = m_imp->outputs.size() > 1;
    int hidden = 0;
    if (out->hasSubrows)
        hidden = m_imp->ProduceSubrows(*out, first, last, byTime);
    else if (m_imp->pageWise)
        hidden = m_imp->ProducePages(*out, first, last, byTime);
    else
        hidden = m_imp->ProduceRows(*out, first, last, byTime);
    CqzPageDataSource& source = out->GetSource();
    source.SetDisplayableRowCount(source.GetDisplayableRowCount() - hidden);
    return hidden;
}

void CqzFilterEngine::SetPageWise(bool pageWise)
{
    m_imp->pageWise = pageWise;
}

int CqzFilterEngine::GetOutputCount() const
{
    return static_cast<int>(m_imp->outputs.size());
}

const SqzFilterOutput* CqzFilterEngine::GetOutput(int index) const
{
    return index >= 0 && index < GetOutputCount() ? m_imp->outputs[std::size_t(index)].get()
                                                  : nullptr;
}

CqzFilterTermCounter& CqzFilterEngine::GetTermCounter()
{
    return m_imp->counter;
}

// The counts start over with every compiled filter, one entry per compiled (enabled) term.
void CqzFilterEngine::SqzImp::ResetCounts()
{
    std::vector<SqzTermCount> terms;
    const CqzFilterModel& model = tool->GetFilterModel();
    std::vector<CqzSearchModel*> searches;
    model.GetSearchModels(searches);
    for (int i = 0; i < model.GetSize() && std::size_t(i) < searches.size(); ++i)
        if (searches[std::size_t(i)]->IsEnabled())
        {
            const CqzFilterAction* action = filter ? filter->GetAction(int(terms.size())) : nullptr;
            // A name the person chose not to show is a placeholder: the term goes by number.
            const CString name = model.GetShowFilterName(i)
                                     ? model.GetFilterName(i)
                                     : L"Term " + CString(std::to_wstring(i + 1));
            terms.push_back({name, action ? action->GetType() : 0u,
                             action ? action->GetColor() : 0u});
        }
    std::int64_t rows = 0;
    for (const auto& out : outputs)
        rows += out->GetSource().GetRowCount();
    counter.Reset(std::move(terms), rows);
}

// Whether the rows of the page holding `row` are still to be counted.
bool CqzFilterEngine::SqzImp::StartCounting(const SqzFilterOutput& out, std::int64_t row)
{
    for (std::size_t i = 0; i < outputs.size(); ++i)
        if (outputs[i].get() == &out)
            return counter.StartPage(int(i), row / PageSize);
    return false;
}

// The page-wise counts: each term's first matches, less the rows an earlier tool hid (those
// are not ours; the row-by-row path never evaluates them).
void CqzFilterEngine::SqzImp::CountPage(const SqzFilterOutput& out, int count)
{
    CqzFilterPageMask notOurs;
    if (out.hasInputAttributes)
        for (int row = 0; row < count; ++row)
            if (inputs[std::size_t(row)].IsHidden())
                notOurs.Set(row);
    int decided = 0;
    for (int term = 0; term < pages->GetTermCount(); ++term)
    {
        const int rows = pages->GetFirstMatches(term).Without(notOurs).Count();
        counter.Add(term, rows);
        decided += rows;
    }
    counter.Add(-1, count - decided);
}

int CqzFilterEngine::SqzImp::TermOf(const CqzFilterAction* action) const
{
    if (action == nullptr)
        return -1;
    for (int term = 0; term < filter->GetRootCount(); ++term)
        if (filter->GetAction(term) == action)
            return term;
    return -1;
}

// Compiles the tool's model afresh. The correlators read the old filter's iterators, so they go
// first. The string flag follows every build, so that a refresh that brings the first string
// label also reads the string correlator.
void CqzFilterEngine::SqzImp::Compile()
{
    pages.reset();
    valueIter.reset();
    stringIter.reset();
    if (!filter)
        filter = std::make_unique<CqzFilterObject>();
    filter->Build(*data, tool->GetFilterModel());
    hasStrings = filter->HasStrings();
}

void CqzFilterEngine::SqzImp::MakeCorrelators()
{
    pages = std::make_unique<CqzFilterPageEvaluator>(*filter);
    valueIter.reset(filter->CreateValueIter());
    valueStatus.assign(std::size_t(valueIter->GetIterCount()), 0);
    values.assign(std::size_t(valueIter->GetIterCount()), CqzUInt());
    stringIter.reset();
    if (!hasStrings)
        return;
    stringIter.reset(filter->CreateStringIter());
    stringStatus.assign(std::size_t(stringIter->GetIterCount()), 0);
    strings.assign(std::size_t(stringIter->GetIterCount()), CString());
}

std::unique_ptr<SqzFilterOutput> CqzFilterEngine::SqzImp::MakeOutput(CqzDataTable& table,
                                                                     CqzFilterEngine* engine)
{
    auto out = std::make_unique<SqzFilterOutput>(table.GetID(), engine);
    if (CqzDataColumn* subrows = table.GetColumn(eqzRoleSubrowCount))
    {
        out->hasSubrows = true;
        if (CqzDataSource* source = subrows->GetDataSource())
            out->subrowIter = NewIter<CqzIntegralDataSourceIter>(*source, 0);
        if (!out->subrowIter)
            return nullptr;
    }
    MakeOutputSource(*out, table.GetRowCount());
    if (!out->rowSource && !out->subrowSource)
        return nullptr;
    out->outputIter =
        NewIter<CqzSampleAttributesDataSourceIter>(out->GetSource(), ProducerAccessMode);
    ConnectInput(*out, table);
    if (CqzDataColumn* time = table.GetColumn(eqzRoleTime))
        out->timeIter = std::make_unique<CqzSampleTimeIter>(
            *data, CqzLabelChannel(time->GetLabelID(), -1), TimeBase, TimeValue);

    const CqzID& instance = tool->GetInstanceID();
    CqzDataColumn* column = table.AddColumn(instance);
    column->SetAttributes(CqzBitSet{15, 16});
    column->SetDataSource(out->GetSource());
    table.SetAttributeID(eqzRoleAttributes, instance);
    return out;
}

void CqzFilterEngine::SqzImp::MakeOutputSource(SqzFilterOutput& out, std::int64_t rows)
{
    const CString& type = CqzFilterIdentifiers::SampleAttributes();
    if (out.hasSubrows)
    {
        out.subrowSource =
            CqzDataSourceProxy::CreatePageDataSourceWithSubrows(type, rows, PageSize);
        if (!out.subrowSource)
            return;
        auto producer =
            std::make_unique<CqzAnalysisToolDataSubrowProducer<CqzSampleAttributes>>(out.command);
        producer->SetTableID(out.tableID);
        out.subrowSource->SetIDs(out.tableID, tool->GetInstanceID());
        out.subrowSource->SetProducer(std::move(producer));
        return;
    }
    out.rowSource = CqzDataSourceProxy::CreatePageDataSource(type, rows, PageSize, 0);
    if (!out.rowSource)
        return;
    auto producer = std::make_unique<CqzAnalysisToolDataProducer<CqzSampleAttributes>>(out.command);
    producer->SetTableID(out.tableID);
    out.rowSource->SetIDs(out.tableID, tool->GetInstanceID());
    out.rowSource->SetProducer(std::move(producer));
}

// An attribute column already in the table is the input of an earlier tool in the chain. The
// column this tool added on an earlier run is not: it is about to be replaced, and reading it
// would feed the tool its own stale output.
void CqzFilterEngine::SqzImp::ConnectInput(SqzFilterOutput& out, CqzDataTable& table)
{
    CqzDataColumn* attributes = table.GetColumn(eqzRoleAttributes);
    CqzID attributesID;
    if (attributes == nullptr || attributes->GetDataSource() == nullptr ||
        (table.GetAttributeID(eqzRoleAttributes, attributesID) &&
         attributesID == tool->GetInstanceID()))
        return;
    out.inputSource = attributes->GetDataSource()->Clone();
    out.inputIter =
        NewIter<CqzSampleAttributesDataSourceIter>(*out.inputSource, ProducerAccessMode);
    if (!out.inputIter)
    {
        out.inputSource.reset();
        return;
    }
    out.hasInputAttributes = true;
    out.inputPerSubrow = out.inputIter->IsPerSubrow();
}

SqzFilterOutput* CqzFilterEngine::SqzImp::Find(const CqzID& table) const
{
    for (const auto& out : outputs)
        if (out->tableID == table)
            return out.get();
    return nullptr;
}

CqzDataTableFilterCache& CqzFilterEngine::SqzImp::GetCache(const SqzFilterOutput& out) const
{
    return CqzDataCacheMgr::Instance().GetSystemFilterCache().AddCache(tool->GetInstanceID(),
                                                                       out.tableID);
}

// Positions the iterators at the block's first row; false when the output has no such row.
bool CqzFilterEngine::SqzImp::StartBlock(SqzFilterOutput& out, int first, bool byTime)
{
    if (out.inputIter)
        out.inputIter->SetPosition(first);
    out.outputIter->SetPosition(first);
    if (out.outputIter->IsAtEnd())
        return false;
    if (byTime && out.timeIter)
        out.timeIter->SetIndex(first);
    return true;
}

int CqzFilterEngine::SqzImp::ProduceRows(SqzFilterOutput& out, int first, int last, bool byTime)
{
    CqzFilterHiddenRuns runs(GetCache(out), first);
    if (!StartBlock(out, first, byTime))
        return 0;

    int hiddenRows = 0;
    std::int64_t row = first;
    Position(out, row, -1, byTime);
    bool counting = false;
    for (; row <= last && !out.outputIter->IsAtEnd(); ++row)
    {
        if (row == first || row % PageSize == 0)
            counting = StartCounting(out, row);
        bool hidden = false;
        int term = -1;
        out.outputIter->SetValue(RowRecord(out, hidden, term));
        if (counting)
            counter.Add(term);
        runs.AddRow(row, hidden);
        hiddenRows += hidden ? 1 : 0;
        if (row == last)
            continue;
        out.outputIter->Next();
        if (out.inputIter)
            out.inputIter->Next();
        PositionNextRow(out, row + 1, byTime);
    }
    runs.Finish(row);
    out.GetSource().NotifyBlockDone(first, 1);
    return hiddenRows;
}

// The page-wise form of ProduceRows, with the same records, counts and filter cache ranges.
int CqzFilterEngine::SqzImp::ProducePages(SqzFilterOutput& out, int first, int last, bool byTime)
{
    CqzFilterHiddenRuns runs(GetCache(out), first);
    if (!StartBlock(out, first, byTime))
        return 0;
    const std::int64_t end =
        std::min<std::int64_t>(std::int64_t{last} + 1, out.GetSource().GetRowCount());
    int hiddenRows = 0;
    std::int64_t row = first;
    while (row < end)
    {
        const int count = static_cast<int>(std::min<std::int64_t>(PageSize, end - row));
        EvaluatePage(out, row, count, byTime);
        const CqzFilterPageMask hidden = WriteRecords(out, count);
        if (StartCounting(out, row))
            CountPage(out, count);
        runs.AddRows(row, hidden, count);
        hiddenRows += hidden.Count();
        row += count;
    }
    runs.Finish(row);
    out.GetSource().NotifyBlockDone(first, 1);
    return hiddenRows;
}

void CqzFilterEngine::SqzImp::EvaluatePage(SqzFilterOutput& out, std::int64_t first, int count,
                                           bool byTime)
{
    if (!byTime)
        return pages->EvaluateRows(first, count);
    // The time iterator was set to the block's first row; it walks on row by row.
    for (int i = 0; i < count; ++i)
    {
        positions[std::size_t(i)] =
            out.timeIter ? out.timeIter->GetPosition() : CqzPosition::Invalid();
        if (out.timeIter)
            out.timeIter->Next();
    }
    pages->EvaluatePositions(positions.data(), count);
}

// Writes the records of an evaluated page, as Decide gives them row by row; answers the rows
// that count as hidden. Without an earlier tool's records to merge, each row is written as the
// pick of its deciding term (a byte a row), else as its record.
CqzFilterPageMask CqzFilterEngine::SqzImp::WriteRecords(SqzFilterOutput& out, int count)
{
    const CqzFilterPageMask hidden = CollectDecided();
    const int terms = static_cast<int>(decidedMasks.size());
    if (!out.hasInputAttributes && terms <= MostPickedTerms)
    {
        CqzFilterPageCompare::Pick(decidedMasks.data(), terms, picks.data(), count);
        choices.assign(1, defaultRecord);
        for (const std::uint64_t record : decidedRecords)
            choices.emplace_back(record);
        out.outputIter->SetChosenValues(picks.data(), choices.data(), terms + 1, count);
        return hidden;
    }
    CqzFilterPageCompare::Select(decidedMasks.data(), decidedRecords.data(), terms,
                                 defaultRecord.GetRaw(), records.data(), count);
    CqzFilterPageMask all = hidden;
    if (out.hasInputAttributes)
        MergeInput(out, count, all);
    out.outputIter->SetValues(records.data(), count);
    return all;
}

// The terms that decided rows of the page, their first-match masks and records; answers the
// rows they hide.
CqzFilterPageMask CqzFilterEngine::SqzImp::CollectDecided()
{
    CqzFilterPageMask hidden;
    decidedMasks.clear();
    decidedRecords.clear();
    for (int term = 0; term < pages->GetTermCount(); ++term)
    {
        const CqzFilterPageMask& rows = pages->GetFirstMatches(term);
        if (rows.IsEmpty())
            continue;
        const CqzFilterAction* action = filter->GetAction(term);
        CqzSampleAttributes record = hiddenRecord;
        if (action->GetType() == eqzFilterColor)
        {
            record = colorRecord;
            record.SetColor(static_cast<std::uint32_t>(action->GetColor()));
        }
        else
            hidden |= rows;
        decidedMasks.push_back(rows);
        decidedRecords.push_back(record.GetRaw());
    }
    return hidden;
}

// An earlier tool's hidden rows stay as it wrote them; its colour wins over ours. Without a
// branch per row: the input replaces our record where it is hidden or coloured, keeping our
// hidden bit.
void CqzFilterEngine::SqzImp::MergeInput(SqzFilterOutput& out, int count, CqzFilterPageMask& hidden)
{
    out.inputIter->GetValues(inputs.data(), count);
    constexpr std::uint64_t hiddenBit = std::uint64_t{1} << CqzSampleAttributes::HiddenBit;
    constexpr std::uint64_t coloredBit = std::uint64_t{1} << CqzSampleAttributes::ColoredBit;
    std::uint8_t inputHidden[CqzFilterPageMask::Rows];
    for (int row = 0; row < count; ++row)
    {
        const std::uint64_t input = inputs[std::size_t(row)].GetRaw();
        const std::uint64_t ours = records[std::size_t(row)].GetRaw();
        const bool isHidden = (input & hiddenBit) != 0;
        const bool taken = (input & (hiddenBit | coloredBit)) != 0;
        inputHidden[row] = isHidden ? 1 : 0;
        const std::uint64_t keepHidden = ours & hiddenBit;
        records[std::size_t(row)].SetRaw(taken ? input | keepHidden : ours);
    }
    hidden |= CqzFilterPageMask::FromFlags(inputHidden, count);
}

// A row hidden by an earlier tool stays as that tool wrote it and is not evaluated. The
// correlators already stand at the row.
CqzSampleAttributes CqzFilterEngine::SqzImp::RowRecord(SqzFilterOutput& out, bool& hidden,
                                                       int& term)
{
    CqzSampleAttributes input;
    if (out.hasInputAttributes)
    {
        input = out.inputIter->GetValue();
        if (input.IsHidden())
        {
            hidden = true;
            return input;
        }
    }
    const CqzFilterAction* action = EvaluateLine();
    term = TermOf(action);
    return Decide(action, out.hasInputAttributes ? &input : nullptr, hidden);
}

int CqzFilterEngine::SqzImp::ProduceSubrows(SqzFilterOutput& out, int first, int last, bool byTime)
{
    CqzFilterHiddenRuns runs(GetCache(out), first);
    out.subrowIter->SetPosition(first);
    if (!StartBlock(out, first, byTime))
        return 0;

    std::int64_t row = first;
    bool counting = false;
    for (; row <= last && !out.outputIter->IsAtEnd(); ++row)
    {
        if (row == first || row % PageSize == 0)
            counting = StartCounting(out, row);
        const int subrows = static_cast<int>(out.subrowIter->GetValue().GetLow());
        for (int i = 0; i < subrows; ++i)
            out.outputIter->AddSubrow();
        bool rowShown = false;
        for (int line = 0; line <= subrows; ++line)
        {
            rowShown = WriteLine(out, row, line, byTime, counting) || rowShown;
            if (row == last && line == subrows)
                break;
            out.outputIter->Next();
            if (byTime && out.timeIter)
                out.timeIter->Next();
            if (out.inputIter && out.inputPerSubrow)
                out.inputIter->Next();
        }
        runs.AddRow(row, !rowShown);
        out.subrowIter->Next();
        if (out.inputIter && !out.inputPerSubrow)
            out.inputIter->Next();
    }
    runs.Finish(row);
    out.GetSource().NotifyBlockDone(first, 1);
    return 0;
}

// Writes one line of a row with subrows (line 0 is the main line); answers whether the line
// keeps its row shown.
bool CqzFilterEngine::SqzImp::WriteLine(SqzFilterOutput& out, std::int64_t row, int line,
                                        bool byTime, bool counting)
{
    const bool hasInput = out.inputIter && !out.inputIter->IsAtEnd();
    CqzSampleAttributes input;
    if (hasInput)
    {
        input = out.inputIter->GetValue();
        if (input.IsHidden())
        {
            out.outputIter->SetValue(hiddenRecord);
            if (counting)
                counter.Add(-1);
            return false;
        }
    }
    Position(out, row, line - 1, byTime);
    bool hidden = false;
    const CqzFilterAction* action = EvaluateLine();
    if (counting)
        counter.Add(TermOf(action));
    out.outputIter->SetValue(Decide(action, hasInput ? &input : nullptr, hidden));
    return !hidden || (hasInput && input.IsColored());
}

void CqzFilterEngine::SqzImp::Position(SqzFilterOutput& out, std::int64_t row, int subrow,
                                       bool byTime)
{
    if (!byTime)
    {
        valueIter->SetIndex(row, subrow);
        if (hasStrings)
            stringIter->SetIndex(row, subrow);
        return;
    }
    const CqzPosition position =
        out.timeIter ? out.timeIter->GetPosition() : CqzPosition::Invalid();
    valueIter->SetPosition(position);
    if (hasStrings)
        stringIter->SetPosition(position);
}

// Moves the correlators from one row to the next of a table without subrows: by time when
// several tables are correlated, else one line on, which is that row.
void CqzFilterEngine::SqzImp::PositionNextRow(SqzFilterOutput& out, std::int64_t row, bool byTime)
{
    if (byTime)
    {
        if (out.timeIter)
            out.timeIter->Next();
        Position(out, row, -1, byTime);
        return;
    }
    valueIter->Next();
    if (hasStrings)
        stringIter->Next();
}

const CqzFilterAction* CqzFilterEngine::SqzImp::EvaluateLine()
{
    valueIter->GetValue(values, valueStatus);
    if (hasStrings)
        stringIter->GetValue(strings, stringStatus);
    return filter->Evaluate(&values, &valueStatus, &strings, &stringStatus);
}

// The record of a line from the first matching term's action and the input record, if any. A
// Show action comes from an inverted term and hides like Hide. An earlier tool's colour wins.
CqzSampleAttributes CqzFilterEngine::SqzImp::Decide(const CqzFilterAction* action,
                                                    const CqzSampleAttributes* input, bool& hidden)
{
    const bool inputColored = input != nullptr && input->IsColored();
    hidden = false;
    if (action == nullptr)
        return inputColored ? *input : defaultRecord;
    if (action->GetType() == eqzFilterColor)
    {
        if (inputColored)
            return *input;
        colorRecord.SetColor(static_cast<std::uint32_t>(action->GetColor()));
        return colorRecord;
    }
    hidden = true;
    if (!inputColored)
        return hiddenRecord;
    CqzSampleAttributes record = *input;
    record.SetHidden(true);
    return record;
}
