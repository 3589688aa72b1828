// The host's session with the real plug-in loaded through dlopen: the markup document the host
// sends for its terms, setups on top of which terms are added, and refusals.

#include "CqzFilterDocument.h"
#include "CqzHostError.h"
#include "CqzHostSession.h"
#include "CqzTermParser.h"
#include "HostTestFiles.h"
#include "common/ManagerReset.h"
#include "qzSystem/managers/CqzStdCmdIFaceMgr.h"

namespace
{

class HostSessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetManagers();
        CqzStdCmdIFaceMgr::Instance().Reset();
        session.LoadCapture(folder.WriteCapture("c.vcd", {{1, 0, "ok"}, {0x20, 1, "err"}}), {});
        session.StartTool(QZ_PLUGIN_PATH);
    }

    SqzHostFilterTerm Term(const std::string& text, EqzHostAction action, COLORREF color = 0)
    {
        return {CString::FromUtf8(text), CqzTermParser(session.GetLabels()).Parse(text), action,
                color};
    }

    int ErrorCode(const std::function<void()>& step)
    {
        try
        {
            step();
        }
        catch (const CqzHostError& error)
        {
            return error.GetExitCode();
        }
        return 0;
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
    CqzFilterDocument document;
    document.AddTerm(Term("A > 3", eqzHostHide));
    CqzXMLParser xml(document.GetText());
    ASSERT_TRUE(session.ApplyMarkup(xml));
    const std::string file = folder.File("s.qzs");
    session.SaveSetupFile(file);
    CqzXMLParser empty(CqzFilterDocument().GetText());
    ASSERT_TRUE(session.ApplyMarkup(empty));
    EXPECT_EQ(session.LoadSetupFile(file), 1);
    EXPECT_EQ(session.GetSetupMarkup(), document.GetText());
}

TEST_F(HostSessionTest, BadFilesAndLibrariesAreRefusedWithTheirExitCodes)
{
    EXPECT_EQ(ErrorCode([&] { session.ApplyMarkupFile(folder.File("none.xml")); }), 4);
    EXPECT_EQ(ErrorCode([&] { session.ApplyMarkupFile(folder.Write("o.xml", "<Other/>")); }), 4);
    EXPECT_EQ(ErrorCode(
                  [&]
                  {
                      session.ApplyMarkupFile(folder.Write(
                          "u.xml", "<Filter Enabled='T'><FilterExpression Name='x'>"
                                   "<Search Enabled='T'><Event Label='NOPE' Op='Equal' "
                                   "Value='h1'/></Search></FilterExpression></Filter>"));
                  }),
              4);
    EXPECT_EQ(ErrorCode([&] { session.LoadSetupFile(folder.Write("bad.qzs", "garbage")); }), 4);
    EXPECT_EQ(ErrorCode([&] { CqzHostSession().StartTool(folder.File("none.so")); }), 3);
    EXPECT_EQ(ErrorCode([&] { CqzHostSession().LoadCapture(folder.Write("x.vcd", "$var"), {}); }),
              2);
}

} // namespace
