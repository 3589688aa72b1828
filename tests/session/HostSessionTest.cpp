// The host's session with the real plug-in loaded through dlopen: the markup document the host
// sends for its terms, setups on top of which terms are added, refusals, how the filter
// evaluates and/or as the host writes them, and the listing of rows with subrows.

#include "CqzCsvExporter.h"
#include "CqzFilterDocument.h"
#include "CqzFilterSummary.h"
#include "CqzHostSession.h"
#include "CqzListingWriter.h"
#include "CqzRowAttributes.h"
#include "CqzTermParser.h"
#include "common/HostTestFiles.h"
#include "common/ManagerReset.h"
#include "qzSystem/data/CqzDataBuilder.h"
#include "qzSystem/managers/CqzStdCmdIFaceMgr.h"

#include <sstream>

namespace
{

class HostSessionTest : public ::testing::Test
{
protected:
    // A runs through 0 to 15, so that its four low bits take every combination.
    void SetUp() override
    {
        ResetManagers();
        CqzStdCmdIFaceMgr::Instance().Reset();
        std::vector<SqzTestRow> rows;
        for (int a = 0; a < 16; ++a)
            rows.push_back({a, a % 2, a == 5 ? "err" : "ok"});
        session.LoadCapture(folder.WriteCapture("c.vcd", rows), {});
        session.StartTool(QZ_PLUGIN_PATH);
    }

    void Apply(const std::vector<SqzHostFilterTerm>& terms)
    {
        CqzFilterDocument document;
        for (const SqzHostFilterTerm& term : terms)
            document.AddTerm(term);
        CqzXMLParser xml(document.GetText());
        ASSERT_TRUE(session.ApplyMarkup(xml));
    }

    SqzHostFilterTerm Term(const std::string& text, EqzHostAction action, COLORREF color = 0)
    {
        return {CString::FromUtf8(text), CqzTermParser(session.GetLabels()).Parse(text), action,
                color};
    }

    // Rows 0 to 3 with subrows (X: 1 | 2 3, 2 | 2, 3, 2 | 1), run with the given terms.
    static void RunSubrowTable(CqzHostSession& target,
                               const std::vector<std::pair<std::string, EqzHostAction>>& terms)
    {
        auto data = std::make_unique<CqzData>();
        CqzDataBuilder builder(*data);
        builder.AddTable().Time().Integral(L"X", 32);
        builder.Row(0, {1}).Subrow(1000, {2}).Subrow(2000, {3});
        builder.Row(10000, {2}).Subrow(11000, {2});
        builder.Row(20000, {3}).Row(30000, {2}).Subrow(31000, {1});
        target.SetData(std::move(data));
        target.StartTool(QZ_PLUGIN_PATH);
        CqzFilterDocument document;
        for (const auto& [text, action] : terms)
            document.AddTerm({L"", CqzTermParser(target.GetLabels()).Parse(text), action, 0xff});
        CqzXMLParser xml(document.GetText());
        ASSERT_TRUE(target.ApplyMarkup(xml));
        target.Run();
    }

    HostTestFolder folder;
    CqzHostSession session;
};

TEST_F(HostSessionTest, TermsDocumentIsTakenByTheToolAsWritten)
{
    CqzFilterDocument document;
    document.AddTerm(Term("A in 0x10..0x1f and (B high or M ~ \"e\")", eqzHostHide));
    document.AddTerm(Term("A == 0b1x", eqzHostColor, RGB(0x12, 0x34, 0x56)));
    document.AddTerm(Term("M !~ \"ok\"", eqzHostShow));
    const CString text = document.GetText();
    EXPECT_NE(text.Find(L"<FilterAction Type='Color' Color='h563412'/>"), -1);
    EXPECT_NE(text.Find(L"<Event Label='A' Op='Equal' Value='h2' DontCare='h1'/>"), -1);
    CqzXMLParser xml(text);
    ASSERT_TRUE(session.ApplyMarkup(xml));
    EXPECT_EQ(session.GetSetupMarkup(), text);
    EXPECT_EQ(session.GetTermCount(), 3);
}

TEST_F(HostSessionTest, TermsFollowTheTermsOfASetup)
{
    session.ApplyMarkupFile(folder.Write(
        "s.xml", "<Filter Enabled='F'><FilterExpression Name='first'><Search Enabled='T'>"
                 "<Event Label='B' Op='Equal' Value='h1'/></Search><FilterAction Type='Hide'/>"
                 "</FilterExpression></Filter>"));
    CqzFilterDocument document;
    ASSERT_TRUE(document.SetBase(session.GetSetupMarkup()));
    document.AddTerm(Term("A == 1", eqzHostShow));
    CqzXMLParser xml(document.GetText());
    ASSERT_TRUE(session.ApplyMarkup(xml));
    const CString setup = session.GetSetupMarkup();
    EXPECT_EQ(setup.Find(L"<Filter Enabled='F'>"), 0);
    EXPECT_LT(setup.Find(L"Name='first'"), setup.Find(L"Name='A == 1'"));
    EXPECT_EQ(session.GetTermCount(), 2);
}

TEST_F(HostSessionTest, BinarySetupSavedAndLoadedInOneRunKeepsTheTerms)
{
    Apply({Term("A > 3", eqzHostHide)});
    const CString setup = session.GetSetupMarkup();
    const std::string file = folder.File("s.qzs");
    session.SaveSetupFile(file);
    CqzXMLParser empty(CqzFilterDocument().GetText());
    ASSERT_TRUE(session.ApplyMarkup(empty));
    session.LoadSetupFile(file);
    EXPECT_EQ(session.GetTermCount(), 1);
    EXPECT_EQ(session.GetSetupMarkup(), setup);
}

TEST_F(HostSessionTest, BadFilesAndLibrariesAreRefusedWithTheirExitCodes)
{
    const std::string unknownLabel = folder.Write(
        "u.xml", "<Filter Enabled='T'><FilterExpression Name='x'><Search Enabled='T'><Event "
                 "Label='NOPE' Op='Equal' Value='h1'/></Search></FilterExpression></Filter>");
    const std::pair<int, std::function<void()>> cases[] = {
        {4, [&] { session.ApplyMarkupFile(folder.File("none.xml")); }},
        {4, [&] { session.ApplyMarkupFile(folder.Write("o.xml", "<Other/>")); }},
        {4, [&] { session.ApplyMarkupFile(unknownLabel); }},
        {4, [&] { session.LoadSetupFile(folder.Write("bad.qzs", "garbage")); }},
        {3, [&] { CqzHostSession().StartTool(folder.File("none.so")); }},
        {2, [&] { CqzHostSession().LoadCapture(folder.Write("x.vcd", "$var"), {}); }},
    };
    for (const auto& [code, step] : cases)
        EXPECT_EQ(Refusal(step).first, code);
}

// A reference evaluator of the four low bits of A, with and binding tighter than or (as C++
// has it), against the rows the filter hides.
struct SqzPrecedenceCase
{
    const char* expression;
    bool (*expected)(bool p, bool q, bool r, bool s);
};

TEST_F(HostSessionTest, TheFilterComputesAndBeforeOr)
{
    const SqzPrecedenceCase cases[] = {
        {"A[0] high or A[1] high and A[2] high",
         [](bool p, bool q, bool r, bool) { return p || (q && r); }},
        {"A[0] high and A[1] high or A[2] high and A[3] high",
         [](bool p, bool q, bool r, bool s) { return (p && q) || (r && s); }},
        {"A[0] high || A[1] high && A[2] high || A[3] high",
         [](bool p, bool q, bool r, bool s) { return p || (q && r) || s; }},
        {"A[0] low and A[1] high and A[2] high or A[3] high",
         [](bool p, bool q, bool r, bool s) { return (!p && q && r) || s; }},
        {"(A[0] high or A[1] high) and A[2] high",
         [](bool p, bool q, bool r, bool) { return (p || q) && r; }},
        {"A[0] low and (A[1] high or A[2] high and A[3] low) or A not in 2..13",
         [](bool p, bool q, bool r, bool s)
         {
             const int a = p + 2 * q + 4 * r + 8 * s;
             return (!p && (q || (r && !s))) || a < 2 || a > 13;
         }},
    };
    for (const SqzPrecedenceCase& c : cases)
    {
        Apply({Term(c.expression, eqzHostHide)});
        session.Run();
        CqzRowAttributes records(*session.GetData().GetTable(0), session.GetInstanceID());
        for (int a = 0; a < 16; ++a)
            EXPECT_EQ(records.Get(a).IsHidden(), c.expected(a & 1, a & 2, a & 4, a & 8))
                << c.expression << ", A = " << a;
    }
}

// The listing of a table with subrows shows every line that is not hidden, subrows numbered
// ROW.N, and a row whose lines are all hidden not at all.
TEST_F(HostSessionTest, SubrowLinesAreListedLikeRows)
{
    CqzHostSession subrows;
    RunSubrowTable(subrows, {{"X == 2", eqzHostHide}});

    std::ostringstream out;
    CqzListingWriter(out, {}).Write(subrows.GetData(), subrows.GetInstanceID());
    EXPECT_EQ(out.str(), "  Row      Time (ns)     X\n"
                         "        0         0.000  1\n"
                         "      0.2         2.000  3\n"
                         "  \u2026 1 hidden row \u2026\n"
                         "        2        20.000  3\n"
                         "      3.1        31.000  1\n");
    std::ostringstream range;
    CqzListingWriter(range, {-1, true, false, 1, 2})
        .Write(subrows.GetData(), subrows.GetInstanceID());
    EXPECT_EQ(range.str(), "  Row      Time (ns)     X\n"
                           "h       1        10.000  2\n"
                           "h     1.1        11.000  2\n"
                           "        2        20.000  3\n");

    const std::string csv = folder.File("subrows.csv");
    CqzCsvExporter::Export(csv, subrows.GetData(), subrows.GetInstanceID(), false);
    EXPECT_EQ(ReadText(csv),
              "Row,Time (ps),X,Hidden,Color\n0,0,1,0,\n0.1,1000,2,1,\n0.2,2000,3,0,\n"
              "1,10000,2,1,\n1.1,11000,2,1,\n2,20000,3,0,\n3,30000,2,1,\n3.1,31000,1,0,\n");
}

// A text column is as wide as the longest text anywhere in it, not only in the first rows.
TEST_F(HostSessionTest, TextColumnsFitTheirLongestText)
{
    CqzHostSession wide;
    std::vector<SqzTestRow> rows;
    for (int a = 0; a < 100; ++a)
        rows.push_back({a, 0, a == 90 ? "a_much_longer_text" : "ok"});
    wide.LoadCapture(folder.WriteCapture("wide.vcd", rows), {});
    wide.StartTool(QZ_PLUGIN_PATH);
    wide.Run();
    std::ostringstream out;
    CqzListingWriter(out, {-1, true, false, 90, 90}).Write(wide.GetData(), wide.GetInstanceID());
    EXPECT_NE(out.str().find(" a_much_longer_text\n"), std::string::npos) << out.str();
}

// A row counts as coloured when one of its shown lines is, even if its main line is hidden.
TEST_F(HostSessionTest, SummaryCountsRowsByTheirShownLines)
{
    CqzHostSession subrows;
    RunSubrowTable(subrows, {{"X == 1", eqzHostColor}, {"X == 2", eqzHostHide}});
    const SqzFilterCounts counts =
        CqzFilterSummary::Count(subrows.GetData(), subrows.GetInstanceID(), false);
    EXPECT_EQ(CqzFilterSummary::Describe(counts), "4 rows: 3 shown, 1 hidden, 2 coloured");
}

} // namespace
