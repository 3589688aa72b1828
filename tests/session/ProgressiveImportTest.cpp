// A capture imported on a worker while the tool runs on the rows that have arrived gives, once
// complete, the same table and the same records of the tool as the capture imported whole: the
// shared captures and the bundled sample, each cut into pages at random points (seeded), with
// pages of the tool's output read between the pieces. Also a failure after the first rows.

#include "CqzFilterDocument.h"
#include "CqzHostError.h"
#include "CqzHostSession.h"
#include "CqzRowAttributes.h"
#include "CqzSessionOpener.h"
#include "CqzTableText.h"
#include "CqzTermParser.h"
#include "common/HostTestFiles.h"
#include "common/ManagerReset.h"
#include "qzSystem/managers/CqzStdCmdIFaceMgr.h"

#include <chrono>
#include <random>
#include <thread>

namespace
{

// Every row's record of the tool and every line's texts, one string per row.
std::vector<std::string> Records(const CqzHostSession& session)
{
    const CqzDataTable& table = *session.GetData().GetTable(0);
    const CqzTableText text(table);
    CqzRowAttributes records(table, session.GetInstanceID());
    std::vector<std::string> rows;
    for (std::int64_t row = 0; row < table.GetRowCount(); ++row)
    {
        std::string line = std::to_string(records.Get(row).GetRaw()) + " " + text.TimeOfLine(row);
        for (int c = 0; c < text.GetColumnCount(); ++c)
            line += " " + text.ValueOfLine(row, c);
        rows.push_back(line);
    }
    return rows;
}

// The sample's own setup, or terms on the capture's first labels that take numbers.
void ApplyFilter(CqzHostSession& session, const std::string& capture)
{
    if (capture == CqzSessionOpener::SampleCapture())
    {
        session.ApplyMarkupFile(CqzSessionOpener::SampleSetup());
        return;
    }
    const std::vector<std::pair<std::string, EqzHostAction>> forms = {
        {" == 0", eqzHostHide}, {" != 0", eqzHostColor}, {" == 1", eqzHostShow}};
    CqzFilterDocument document;
    std::size_t form = 0;
    for (const CqzLabel* label : session.GetLabels())
        if (form < forms.size() && !label->IsType(eqzLabelTime) && !label->IsType(eqzLabelString))
        {
            const std::string term = label->GetName().ToUtf8() + forms[form].first;
            try
            {
                document.AddTerm({CString::FromUtf8(term),
                                  CqzTermParser(session.GetLabels()).Parse(term),
                                  forms[form].second, 0x3366cc});
                ++form;
            }
            catch (const std::exception&)
            {
            }
        }
    CqzXMLParser xml(document.GetText());
    ASSERT_TRUE(session.ApplyMarkup(xml));
}

std::vector<std::string> Complete(const std::string& capture)
{
    CqzHostSession session;
    session.LoadCapture(capture, {});
    session.StartTool(QZ_PLUGIN_PATH);
    ApplyFilter(session, capture);
    session.Run();
    return Records(session);
}

// Imported in pages of 1 to 97 rows, read in blocks of 64 to 4096 bytes (so that the pieces
// the workers read are small too); between the pieces, the tool's records of random rows
// that have arrived are read (so pages are produced, then grown and produced again).
// `pieces`: how many times rows arrived while the tool already ran.
std::vector<std::string> Progressive(const std::string& capture, std::mt19937& random,
                                     int& pieces)
{
    CqzHostSession session;
    SqzCaptureOptions options;
    options.readBlockBytes = std::size_t{64} << std::uniform_int_distribution<int>(0, 6)(random);
    session.StartCapture(capture, options, std::uniform_int_distribution<int>(1, 97)(random));
    session.StartTool(QZ_PLUGIN_PATH);
    ApplyFilter(session, capture);
    session.Run();
    for (pieces = 0; session.IsLoading(); ++pieces)
    {
        session.WaitForRows(session.GetArrivedRows() +
                            std::uniform_int_distribution<int>(1, 300)(random));
        const CqzDataTable& table = *session.GetData().GetTable(0);
        CqzRowAttributes records(table, session.GetInstanceID());
        for (int i = 0; i < 3 && table.GetRowCount() > 0; ++i)
            records.Get(std::uniform_int_distribution<std::int64_t>(0, table.GetRowCount() - 1)(
                random));
    }
    session.FinishCapture();
    return Records(session);
}

class ProgressiveImportTest : public ::testing::TestWithParam<std::string>
{
protected:
    void SetUp() override
    {
        ResetManagers();
        CqzStdCmdIFaceMgr::Instance().Reset();
    }
};

TEST_P(ProgressiveImportTest, GivesTheRecordsOfACompleteImport)
{
    const std::string capture = GetParam().empty() ? CqzSessionOpener::SampleCapture()
                                                   : std::string(QZ_SHARED_DIR) + "/captures/" +
                                                         GetParam();
    const std::vector<std::string> whole = Complete(capture);
    ASSERT_FALSE(whole.empty());
    std::mt19937 random(static_cast<unsigned>(whole.size()));
    for (int run = 0; run < 3; ++run)
    {
        int pieces = 0;
        EXPECT_EQ(Progressive(capture, random, pieces), whole) << "run " << run;
        EXPECT_GT(pieces, whole.size() > 1000 ? 1 : -1) << "run " << run;
    }
}

INSTANTIATE_TEST_SUITE_P(Captures, ProgressiveImportTest,
                         ::testing::Values("", "chronovu_la8_spiflash_read16.vcd",
                                           "vectors-integers.vcd", "spi_atmega32_00.sr",
                                           "tca6408a.sr", "hello_world_8n1_115200.sr",
                                           "ikalogic_scanaplus_spiflash_read16.csv"));

// A reader that asks for rows already there takes the gate again at once, maybe before the
// worker moved on; the worker must not then wait at those rows for it when it asks for the end
// (the view hung so after a refused script step).
TEST_F(ProgressiveImportTest, AskingForRowsAlreadyThereThenForTheEndFinishes)
{
    for (int run = 0; run < 5; ++run)
    {
        CqzHostSession session;
        session.StartCapture(CqzSessionOpener::SampleCapture(), {}, 1);
        session.WaitForRows(1);
        session.WaitForRows(1);
        // The worker goes on alone for a while before the reader asks for the end.
        session.ReleaseCapture();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        session.FinishCapture();
        EXPECT_FALSE(session.IsLoading());
    }
}

// A capture that breaks after its first rows reports the importer's place and reason, when
// the session starts or at the end (whichever sees the failure first).
TEST_F(ProgressiveImportTest, FailureAfterTheFirstRowsIsReported)
{
    HostTestFolder folder;
    std::string text = "$timescale 1 ns $end\n$var wire 1 ! a $end\n$enddefinitions $end\n";
    for (int t = 0; t < 100; ++t)
        text += "#" + std::to_string(t) + "\n" + std::to_string(t % 2) + "!\n";
    const std::string path = folder.Write("broken.vcd", text + "#5\n");
    CqzHostSession session;
    try
    {
        session.StartCapture(path, {}, 8);
        session.FinishCapture();
        FAIL() << "the import did not fail";
    }
    catch (const CqzHostError& error)
    {
        EXPECT_EQ(std::string(error.what()).rfind(path + ":204: timestamp", 0), 0u) << error.what();
        EXPECT_EQ(error.GetExitCode(), eqzExitCapture);
    }
}

} // namespace
