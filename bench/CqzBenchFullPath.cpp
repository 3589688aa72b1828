#include "CqzBenchFullPath.h"

#include "CqzBenchMemoryProbe.h"
#include "CqzBenchPlugIn.h"
#include "CqzBenchStopwatch.h"
#include "CqzBenchWorkload.h"

#include "markup/CqzXMLParser.h"
#include "qzSystem/commands/CqzStdAnalysisToolCmdIFace.h"
#include "qzSystem/data/CqzDataColumn.h"
#include "qzSystem/managers/CqzStdCmdIFaceMgr.h"
#include "qzSystem/commands/CqzTermCountIFace.h"
#include "qzSystem/managers/CqzTermCountIFaceMgr.h"
#include "qzSystem/messages/CqzMessageDestroyPlugIn.h"
#include "qzSystem/messages/CqzMessageRun.h"
#include "qzSystem/output/CqzPageDataSource.h"
#include "qzSystem/output/CqzSampleAttributesDataSourceIter.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace
{
void SendSetup(const CqzID& instance, const CString& markup)
{
    auto* iface =
        dynamic_cast<CqzStdAnalysisToolCmdIFace*>(CqzStdCmdIFaceMgr::Instance().Find(instance));
    if (iface == nullptr)
        throw std::runtime_error("the filter tool has no command interface");
    CqzXMLParser xml;
    if (!xml.SetDocument(markup) || !iface->DoCommands(xml))
        throw std::runtime_error("the filter tool refused the benchmark setup");
}

std::unique_ptr<CqzSampleAttributesDataSourceIter> OutputIter(CqzData& data)
{
    CqzDataColumn* column = data.GetTable(0)->GetColumn(eqzRoleAttributes);
    if (column == nullptr || column->GetDataSource() == nullptr)
        throw std::runtime_error("the run gave the table no attribute column");
    std::unique_ptr<CqzDataSourceIter> iter(column->GetDataSource()->CreateIter());
    auto* typed = dynamic_cast<CqzSampleAttributesDataSourceIter*>(iter.get());
    if (typed == nullptr)
        throw std::runtime_error("the attribute column holds no attribute records");
    iter.release();
    return std::unique_ptr<CqzSampleAttributesDataSourceIter>(typed);
}
} // namespace

CqzBenchFullPath::CqzBenchFullPath(const CqzBenchPlugIn& plugIn, CqzBenchWorkload& workload)
    : m_plugIn(plugIn), m_workload(workload)
{
}

std::unique_ptr<CqzPlugInInterface> CqzBenchFullPath::MakeTool(const CqzID& instance) const
{
    std::unique_ptr<CqzPlugInInterface> tool = m_plugIn.CreateTool(instance);
    SendSetup(instance, m_workload.GetSetupMarkup());
    tool->SetData(&m_workload.GetData());
    return tool;
}

double CqzBenchFullPath::RunToFirstRecordSeconds(CqzPlugInInterface& tool) const
{
    const CqzBenchStopwatch clock;
    CqzMessageRun run(true);
    tool.HandleMessage(&run);
    std::unique_ptr<CqzSampleAttributesDataSourceIter> iter = OutputIter(m_workload.GetData());
    iter->SetPosition(0);
    if (!iter->IsAtEnd())
        iter->GetValue();
    return clock.WallSeconds();
}

double CqzBenchFullPath::BestFirstPageSeconds(int repeats) const
{
    const CqzID instance;
    std::unique_ptr<CqzPlugInInterface> tool = MakeTool(instance);
    double best = 0;
    for (int i = 0; i < repeats; ++i)
    {
        const double seconds = RunToFirstRecordSeconds(*tool);
        best = i == 0 ? seconds : std::min(best, seconds);
    }
    Destroy(std::move(tool), instance);
    return best;
}

namespace
{
constexpr std::int64_t Page = 512;
static_assert(sizeof(CqzSampleAttributes) == sizeof(std::uint64_t));

// Reads the records from the iterator's row on to the end, a page at a time into a buffer of
// one page, as a display drawing screenfuls does; answers the sum of the records (so that the
// reads cannot be left out). With `records` every page is also copied there.
std::uint64_t ReadByPage(CqzSampleAttributesDataSourceIter& iter,
                         std::vector<std::uint64_t>* records)
{
    std::vector<CqzSampleAttributes> page(Page);
    std::uint64_t sum = 0;
    for (std::int64_t row = iter.GetPosition(); !iter.IsAtEnd(); row += Page)
    {
        iter.GetValues(page.data(), Page);
        const std::int64_t copy =
            records != nullptr ? std::min<std::int64_t>(Page, std::ssize(*records) - row) : 0;
        if (copy > 0)
            std::memcpy(records->data() + row, page.data(), std::size_t(copy) * sizeof(page[0]));
        for (const CqzSampleAttributes& record : page)
            sum += record.GetRaw();
    }
    return sum;
}
} // namespace

double CqzBenchFullPath::FirstPageAfterFullReadSeconds() const
{
    const CqzID instance;
    std::unique_ptr<CqzPlugInInterface> tool = MakeTool(instance);
    CqzMessageRun run(true);
    tool->HandleMessage(&run);
    std::unique_ptr<CqzSampleAttributesDataSourceIter> iter = OutputIter(m_workload.GetData());
    iter->SetPosition(0);
    ReadByPage(*iter, nullptr);
    iter.reset();
    const double seconds = RunToFirstRecordSeconds(*tool);
    Destroy(std::move(tool), instance);
    return seconds;
}

// The tool is deleted and its output column loses its source, as when the host drops a deleted
// tool's output: the next tool on the same data set must not take it for an earlier tool's
// records (its input).
void CqzBenchFullPath::Destroy(std::unique_ptr<CqzPlugInInterface> tool, const CqzID& instance) const
{
    CqzMessageDestroyPlugIn destroy;
    tool->HandleMessage(&destroy);
    tool.reset();
    CqzData& data = m_workload.GetData();
    for (int t = 0; t < data.GetTableCount(); ++t)
        if (CqzDataColumn* column = data.GetTable(t)->GetColumnWithLabelID(instance))
            column->SetDataSource(std::unique_ptr<CqzDataSource>());
}

CqzBenchFullPath::SqzResult CqzBenchFullPath::Run(std::vector<std::uint64_t>* records,
                                                  bool byPage) const
{
    CqzData& data = m_workload.GetData();
    const CqzID instance;
    std::unique_ptr<CqzPlugInInterface> tool = MakeTool(instance);
    if (records != nullptr)
        records->assign(static_cast<std::size_t>(m_workload.GetRowCount()), 0);

    SqzResult result;
    result.rssBefore = CqzBenchMemoryProbe::GetResidentBytesTrimmed();
    const CqzBenchStopwatch clock;
    CqzMessageRun run(true);
    tool->HandleMessage(&run);
    result.runSeconds = clock.WallSeconds();

    std::unique_ptr<CqzSampleAttributesDataSourceIter> iter = OutputIter(data);
    iter->SetPosition(0);
    std::uint64_t first = iter->IsAtEnd() ? 0 : iter->GetValue().GetRaw();
    result.firstPageSeconds = clock.WallSeconds();
    result.pageBytes = CqzBenchMemoryProbe::GetPageBytes(data);
    result.pagesAfterFirst = CqzBenchMemoryProbe::GetAllocatedPages(data);
    result.rssAfterFirst = CqzBenchMemoryProbe::GetResidentBytes();

    const std::int64_t capacity = records != nullptr ? m_workload.GetRowCount() : 0;
    std::int64_t row = 0;
    if (byPage)
        result.checksum = ReadByPage(*iter, nullptr);
    for (; !byPage && !iter->IsAtEnd(); iter->Next(), ++row)
    {
        const std::uint64_t raw = row == 0 ? first : iter->GetValue().GetRaw();
        if (row < capacity)
            (*records)[static_cast<std::size_t>(row)] = raw;
    }
    result.totalSeconds = clock.WallSeconds();
    result.totalCpuSeconds = clock.CpuSeconds();
    if (byPage)
    {
        row = iter->GetPosition();
        // Read once more, untimed, from the pages now produced, for the record-by-record check.
        if (iter->SetPosition(0) && records != nullptr)
            ReadByPage(*iter, records);
    }
    result.rowsRead = row;
    result.pagesAfterAll = CqzBenchMemoryProbe::GetAllocatedPages(data);
    result.rssAfterAll = CqzBenchMemoryProbe::GetResidentBytes();

    Destroy(std::move(tool), instance);
    return result;
}

double CqzBenchFullPath::RunCountAll(std::int64_t& counted) const
{
    CqzData& data = m_workload.GetData();
    const CqzID instance;
    std::unique_ptr<CqzPlugInInterface> tool = MakeTool(instance);
    const CqzBenchStopwatch clock;
    CqzMessageRun run(true);
    tool->HandleMessage(&run);
    std::unique_ptr<CqzSampleAttributesDataSourceIter> iter = OutputIter(data);
    const auto* source = dynamic_cast<const CqzPageDataSource*>(
        data.GetTable(0)->GetColumn(eqzRoleAttributes)->GetDataSource());
    if (source == nullptr)
        throw std::runtime_error("the attribute column is not paged");
    for (std::int64_t page = 0; page < source->GetPageCount(); ++page)
    {
        iter->SetPosition(page * source->GetPageSize());
        iter->GetValue();
    }
    const CqzTermCountIFace* counts = CqzTermCountIFaceMgr::Instance().Find(instance);
    counted = counts != nullptr ? counts->GetTermCounts().counted : 0;
    const double seconds = clock.WallSeconds();
    Destroy(std::move(tool), instance);
    return seconds;
}
