#include "output/CqzAnalysisToolDataProducer.h"
#include "output/CqzFilterCmd.h"
#include "output/CqzFilterEngine.h"
#include "qzSystem/output/CqzSampleAttributes.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

// A production command that records what it was asked to produce.
class RecordingCmd : public CqzAnalysisToolCmd
{
public:
    struct Log
    {
        int first = -1;
        int last = -1;
        CqzID table;
        int executions = 0;
    };
    explicit RecordingCmd(Log& log, int result = 1) : m_log(log), m_result(result) {}
    int Execute() override
    {
        ++m_log.executions;
        m_log.first = m_first;
        m_log.last = m_last;
        m_log.table = m_table;
        return m_result;
    }
    CqzMvcCommand* Clone() const override { return new RecordingCmd(*this); }
    void SetRange(int first, int last) override
    {
        m_first = first;
        m_last = last;
    }
    const CqzID& SetTableID(const CqzID& tableID) override { return m_table = tableID; }

private:
    Log& m_log;
    int m_result;
    int m_first = 0;
    int m_last = 0;
    CqzID m_table;
};

TEST(Production, APageRunsTheCommandOverItsRowsForItsTable)
{
    RecordingCmd::Log log;
    CqzAnalysisToolDataProducer<CqzSampleAttributes> producer{RecordingCmd(log)};
    const CqzID table;
    EXPECT_EQ(producer.SetTableID(table), table);
    EXPECT_EQ(producer.GetKind(), 2);
    EXPECT_EQ(producer.GetPriority(), 0);
    EXPECT_TRUE(producer.Produce(CqzDataPage(2, 1024, 512), 1024));
    EXPECT_EQ(log.first, 1024);
    EXPECT_EQ(log.last, 1535);
    EXPECT_EQ(log.table, table);

    // A short last page, and a command reporting failure, through the subrow kind.
    CqzAnalysisToolDataSubrowProducer<CqzSampleAttributes> subrows{RecordingCmd(log, 0)};
    EXPECT_FALSE(subrows.Produce(CqzDataPage(3, 1536, 10), 1536));
    EXPECT_EQ(log.last, 1545);
    EXPECT_EQ(log.executions, 2);
}

TEST(Production, FilterCommandClonesCarryRangeTableAndEngine)
{
    CqzFilterEngine engine(nullptr);
    CqzFilterCmd command(&engine);
    command.SetRange(10, 20);
    const CqzID table;
    command.SetTableID(table);
    std::unique_ptr<CqzMvcCommand> clone(command.Clone());
    auto* copy = dynamic_cast<CqzFilterCmd*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetFirst(), 10);
    EXPECT_EQ(copy->GetLast(), 20);
    EXPECT_EQ(copy->GetTableID(), table);
    // The engine has no output for the table and no data: nothing is produced, yet the command
    // reports that it ran.
    EXPECT_EQ(copy->Execute(), 1);
}

} // namespace
