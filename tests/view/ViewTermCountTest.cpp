// The rows each term decided, as the tool counts them, against counts worked out from the
// program's CSV exports of each term alone: a term decides the rows it acts on that no earlier
// term acted on. For every shared capture, with a Color, a Hide and a Show term on its labels.

#include "CqzFilterDocument.h"
#include "CqzFilterSummary.h"
#include "CqzHostSession.h"
#include "CqzTermCountText.h"
#include "CqzTermParser.h"
#include "ViewTestSupport.h"

#include <cctype>
#include <set>

namespace
{

struct SqzTermCase
{
    std::string option;
    EqzHostAction action;
    std::string expression;
};

class ViewTermCount : public ::testing::TestWithParam<const char*>
{
protected:
    std::string Capture() const { return std::string(QZ_SHARED_DIR) + "/captures/" + GetParam(); }

    // Color the first label at 1, hide the second at 1, show the third (or first) at 0.
    std::vector<SqzTermCase> Terms(const CqzHostSession& session) const
    {
        std::vector<std::string> names;
        for (const CqzLabel* label : session.GetLabels())
            if (!label->IsType(eqzLabelTime))
                names.push_back("\"" + label->GetName().ToUtf8() + "\"");
        const std::string third = names.size() > 2 ? names[2] : names[0];
        return {{"--color", eqzHostColor, names[0] + " == 1"},
                {"--hide", eqzHostHide, names.at(1) + " == 1"},
                {"--show", eqzHostShow, third + " == 0"}};
    }

    // The rows one term acts on alone, from the program's export.
    std::set<std::size_t> ActedOn(const SqzTermCase& term) const
    {
        const std::vector<std::string> arguments =
            term.action == eqzHostColor
                ? std::vector<std::string>{term.option, "red", term.expression}
                : std::vector<std::string>{term.option, term.expression};
        std::vector<std::string> all = arguments;
        all.push_back(Capture());
        std::set<std::size_t> rows;
        const std::vector<SqzCsvRow> csv = ProgramCsv(folder, all);
        for (std::size_t r = 0; r < csv.size(); ++r)
            if (term.action == eqzHostColor ? !csv[r].color.empty() : csv[r].hidden)
                rows.insert(r);
        return rows;
    }

    HostTestFolder folder;
};

TEST_P(ViewTermCount, EqualsTheCountsOfTheExports)
{
    CqzHostSession session;
    session.LoadCapture(Capture(), {});
    session.StartTool(QZ_PLUGIN_PATH);
    const std::vector<SqzTermCase> terms = Terms(session);
    CqzFilterDocument document;
    for (const SqzTermCase& term : terms)
        document.AddTerm({CString::FromUtf8(term.expression),
                          CqzTermParser(session.GetLabels()).Parse(term.expression), term.action,
                          RGB(230, 60, 60)});
    CqzXMLParser xml(document.GetText());
    ASSERT_TRUE(session.ApplyMarkup(xml));
    session.Run();
    const SqzFilterCounts summary =
        CqzFilterSummary::Count(session.GetData(), session.GetInstanceID(), false);
    const std::optional<SqzTermCounts> counts = CqzTermCountText::Get(session.GetInstanceID());
    ASSERT_TRUE(counts);
    ASSERT_EQ(counts->terms.size(), terms.size());
    EXPECT_EQ(counts->counted, summary.rows);

    std::set<std::size_t> taken;
    std::int64_t decided = 0;
    for (std::size_t t = 0; t < terms.size(); ++t)
    {
        std::int64_t mine = 0;
        for (const std::size_t row : ActedOn(terms[t]))
            mine += taken.insert(row).second ? 1 : 0;
        const SqzTermCount& seen = counts->terms[t];
        EXPECT_EQ(terms[t].action == eqzHostColor ? seen.colored : seen.hidden, mine)
            << terms[t].option << " " << terms[t].expression;
        decided += mine;
    }
    EXPECT_EQ(counts->undecided, summary.rows - decided);
}

INSTANTIATE_TEST_SUITE_P(SharedCaptures, ViewTermCount,
                         ::testing::Values("chronovu_la8_spiflash_read16.vcd",
                                           "ikalogic_scanaplus_spiflash_read16.csv",
                                           "spi_atmega32_00.sr", "tca6408a.sr",
                                           "vectors-integers.vcd"),
                         [](const ::testing::TestParamInfo<const char*>& info)
                         {
                             std::string name = info.param;
                             for (char& c : name)
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

} // namespace
