#include "ToolFixture.h"

#include "markup/CqzXMLParser.h"

namespace
{

class CommandIFaceTest : public ToolFixture
{
protected:
    void SetUp() override
    {
        ToolFixture::SetUp();
        builder.AddTable().Time().Integral(L"ADDR", 32).Digital(L"STAT", 8).String(L"MSG");
        builder.Row(0, {1, 2, L"x"});
    }

    CString Setup(CqzFilter& target)
    {
        CString reply;
        EXPECT_TRUE(target.ExecuteQuery(L"GetSetup", reply));
        return reply;
    }
};

TEST_F(CommandIFaceTest, QueriesAreExactCaseAndReplyEmptyOtherwise)
{
    tool->GetFilterModel().Reset();
    CString reply = L"stale";
    EXPECT_FALSE(tool->ExecuteQuery(L"getsetup", reply));
    EXPECT_TRUE(reply.IsEmpty());
    EXPECT_FALSE(tool->ExecuteQuery(L"GetSomething", reply));
    EXPECT_TRUE(tool->ExecuteQuery(L"GetAllSetup", reply));
    EXPECT_EQ(reply.Find(L"<Filter Enabled='T'>"), 0);
}

TEST_F(CommandIFaceTest, SetupSentToAnotherToolReproducesItself)
{
    AddTerm(SearchBuilder().Is(L"ADDR", 7, 0x1000, 0x1fff).And().Text(L"MSG", 1, L"e"),
            eqzFilterHide);
    AddTerm(SearchBuilder().Is(L"ADDR", 3, 0x8000), eqzFilterColor, 0x00ff00);
    AddTerm(SearchBuilder().Is(L"STAT", 2, 0), eqzFilterShow);
    const CString text = Setup(*tool);

    std::unique_ptr<CqzFilter> other = MakeTool();
    CqzXMLParser xml;
    ASSERT_TRUE(xml.SetDocument(text));
    EXPECT_TRUE(other->DoCommands(xml));
    EXPECT_EQ(other->GetFilterModel().GetSize(), 3);
    EXPECT_EQ(Setup(*other), text);
}

TEST_F(CommandIFaceTest, DocumentWithoutFilterChangesNothingAndBadMarkupKeepsWhatWasRead)
{
    AddTerm(SearchBuilder().Is(L"ADDR", 1, 1), eqzFilterHide);
    const CString before = Setup(*tool);
    CqzXMLParser xml;
    ASSERT_TRUE(xml.SetDocument(L"<Other><Thing/></Other>"));
    EXPECT_TRUE(tool->DoCommands(xml));
    EXPECT_EQ(Setup(*tool), before);

    ASSERT_TRUE(xml.SetDocument(L"<Filter Enabled='T'>"
                                L"<FilterExpression Name='good'><Search Enabled='T'>"
                                L"<Event Label='ADDR' Op='Less' Value='d10'/></Search>"
                                L"<FilterAction Type='Hide'/></FilterExpression>"
                                L"<FilterExpression Name='bad'/></Filter>"));
    EXPECT_FALSE(tool->DoCommands(xml));
    ASSERT_EQ(tool->GetFilterModel().GetSize(), 1);
    EXPECT_EQ(tool->GetFilterModel().GetFilterName(0), CString(L"good"));
}

TEST_F(CommandIFaceTest, FilterIsFoundAsAChildAndThePositionIsKept)
{
    CqzXMLParser xml;
    ASSERT_TRUE(xml.SetDocument(L"<Tools><Filter Enabled='F'><FilterExpression Name='n'>"
                                L"<Search Enabled='T'><Event Label='ADDR' Op='Equal' Value='h5'/>"
                                L"</Search><FilterAction Type='Show'/></FilterExpression></Filter>"
                                L"</Tools>"));
    ASSERT_TRUE(xml.FindNext(L"Tools"));
    const SqzXMLParserPos position = xml.GetPosition();
    EXPECT_TRUE(tool->DoCommands(xml));
    EXPECT_EQ(xml.GetPosition(), position);
    EXPECT_FALSE(tool->IsEnabled());
    ASSERT_EQ(tool->GetFilterModel().GetSize(), 1);
    EXPECT_EQ(tool->GetFilterModel().GetFilterName(0), CString(L"n"));

    EXPECT_TRUE(tool->QueryCommand(L"GetSetup", xml));
    EXPECT_EQ(xml.GetPosition(), position);
}

TEST_F(CommandIFaceTest, LabelDescriptionNamesTheOwner)
{
    const CqzID owner;
    CqzPlugInMgr::Instance().Register(owner, L"Probe A", nullptr);
    const CqzID plain = AddTestLabel(L"P", eqzLabelDigital, 1, owner);
    CqzID described;
    CqzLabelMgr::Instance().AddLabel(
        CqzLabel(described, L"D", CqzBitSet{eqzLabelDigital}, 1, owner, L"decoded bytes"));
    EXPECT_EQ(tool->GetLabelDescription(plain), CString(L"Created by Probe A"));
    EXPECT_EQ(tool->GetLabelDescription(described), CString(L"Created by Probe A\ndecoded bytes"));
    EXPECT_TRUE(tool->GetLabelDescription(CqzID()).IsEmpty());
}

TEST_F(ToolFixture, LevelPatternsFromMarkupTestTheirLevel)
{
    builder.AddTable().Time().Digital(L"B");
    builder.Row(0, {1}).Row(1, {0});
    CqzXMLParser xml;
    ASSERT_TRUE(xml.SetDocument(L"<Filter Enabled='T'>"
                                L"<FilterExpression Name='high'><Search Enabled='T'>"
                                L"<Event Label='B' Op='High'/></Search>"
                                L"<FilterAction Type='Hide'/></FilterExpression>"
                                L"<FilterExpression Name='low'><Search Enabled='T'>"
                                L"<Event Label='B' Op='Low'/></Search>"
                                L"<FilterAction Type='Color' Color='h000011'/></FilterExpression>"
                                L"</Filter>"));
    ASSERT_TRUE(tool->DoCommands(xml));
    Run();
    EXPECT_EQ(Listing(), "h c11");
}

} // namespace
