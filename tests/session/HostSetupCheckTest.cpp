// Hostile setups against a capture with labels A (8 bits), B (1 bit) and M (text): markup and
// binary setups that name labels the capture lacks, use operators that do not fit, nest too
// deeply, or whose stored counts disagree with what they hold, are refused with exit code 4 and
// a message naming the term, the label and the reason. And the terminal text that messages go
// through.

#include "CqzHostSession.h"
#include "CqzTerminalText.h"
#include "common/HostTestFiles.h"
#include "common/ManagerReset.h"
#include "qzSystem/managers/CqzStdCmdIFaceMgr.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"

namespace
{

class HostSetupCheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetManagers();
        CqzStdCmdIFaceMgr::Instance().Reset();
        session.LoadCapture(folder.WriteCapture("c.vcd", {{1, 0, "ok"}, {2, 1, "err"}}), {});
        session.StartTool(QZ_PLUGIN_PATH);
    }

    HostTestFolder folder;
    CqzHostSession session;
};

struct SqzMarkupCase
{
    std::string search; // the children of the second term's "Search"
    std::string words;
};

std::string Nested(int depth)
{
    std::string text = "<Event Label='A' Op='Equal' Value='h1'/>";
    for (int i = 0; i < depth; ++i)
        text = "<Group>" + text + "</Group>";
    return text;
}

TEST_F(HostSetupCheckTest, MarkupSetupsAreRefusedNamingTermLabelAndReason)
{
    const std::vector<SqzMarkupCase> cases = {
        {"<Event Label='Q' Op='Equal' Value='h1'/>", "term 2 'second': unknown label 'Q'"},
        {"<Event Label='a' Op='Equal' Value='h1'/>", "(did you mean 'A'"},
        {"<Event Label='A' Op='Equals' Value='h1'/>", "label 'A': unknown operator 'Equals'"},
        {"<Event Label='A' Op='Contains' Text='x'/>", "'Contains' is for text labels only"},
        {"<Event Label='M' Op='Equal' Value='h1'/>", "does not apply to a text label"},
        {"<Event Label='A' Op='Equal' Value='h1'/><Blink/>", "unknown element <Blink>"},
        {Nested(65), "groups are nested deeper than 64 levels"},
        {"<Event Label='A' Op='Equal' Value='hzz'/>",
         "term 2 'second': the filter tool refused it"},
        {"<Event Label='B' Op='High' Channel='3'/>", "term 2 'second': the filter tool refused it"},
        {"<Event Label='\x1b[31mQ' Op='Equal' Value='h1'/>", "unknown label '\x1b[31mQ'"},
    };
    for (const SqzMarkupCase& c : cases)
    {
        const std::string file = folder.Write(
            "s.xml", "<Filter Enabled='T'><FilterExpression Name='first'><Search>"
                     "<Event Label='A' Op='Equal' Value='h1'/></Search><FilterAction Type='Hide'/>"
                     "</FilterExpression><FilterExpression Name='second'><Search>" +
                         c.search +
                         "</Search><FilterAction Type='Hide'/></FilterExpression></Filter>");
        const auto [code, message] = Refusal([&] { session.ApplyMarkupFile(file); });
        EXPECT_EQ(code, 4) << c.search;
        EXPECT_NE(message.find(file + ": "), std::string::npos) << message;
        EXPECT_NE(message.find(c.words), std::string::npos) << c.search << "\n" << message;
    }
    // Sixty-four levels are fine.
    folder.Write("deep.xml",
                 "<Filter Enabled='T'><FilterExpression Name='d'><Search>" + Nested(64) +
                     "</Search><FilterAction Type='Hide'/></FilterExpression></Filter>");
    EXPECT_EQ(Refusal([&] { session.ApplyMarkupFile(folder.File("deep.xml")); }).first, 0);
}

// A binary setup of one term, written by hand so that its counts can disagree with its tags.
struct SqzBinaryCase
{
    std::uint32_t termCount = 1;
    int termsStored = 1;
    std::uint32_t componentCount = 3;
    int componentsStored = 3; // event, conjunction, event, ...
    std::uint32_t firstKind = 0;
    bool knownLabel = true;
    const wchar_t* action = L"Hide";
    std::string words;
};

void WriteBinary(const std::string& path, const SqzBinaryCase& c, const CqzID& label)
{
    CqzPersistenceSetup setup(CString::FromUtf8(path), eqzPersistWrite);
    setup.OpenTag(L"Filter");
    setup.OpenTag(L"FilterModel");
    setup.Write(L"NumberOfFilterTerms", c.termCount);
    setup.OpenTag(L"FilterTerms");
    for (int t = 0; t < c.termsStored; ++t)
    {
        setup.OpenTag(L"FilterTerm" + CString(std::to_wstring(t).c_str()));
        setup.Write(L"FilterName", L"T" + CString(std::to_wstring(t).c_str()));
        setup.OpenTag(L"SearchModel");
        setup.Write(L"NumberOfComponents", c.componentCount);
        for (int i = 0; i < c.componentsStored; ++i)
        {
            setup.OpenTag(L"Component" + CString(std::to_wstring(i).c_str()));
            const std::uint32_t kind = i == 0 ? c.firstKind : i % 2;
            setup.Write(L"Kind", kind);
            setup.Write(L"Label", (c.knownLabel ? label : CqzID()).ToString());
            setup.CloseTag();
        }
        setup.CloseTag();
        setup.OpenTag(L"FilterAction");
        setup.Write(L"Type", c.action);
        setup.CloseTag();
        setup.CloseTag();
    }
    setup.CloseTag();
    setup.CloseTag();
    setup.CloseTag();
    setup.Close();
}

TEST_F(HostSetupCheckTest, BinarySetupsWhoseContentDisagreesAreRefused)
{
    const CqzID a = session.GetLabels()[1]->GetLabelID();
    const std::vector<SqzBinaryCase> cases = {
        {.termCount = 2, .words = "the setup says it holds 2 terms but 1 are stored"},
        {.termCount = 1, .termsStored = 2, .words = "holds 1 terms but 2 are stored"},
        {.termCount = 0, .words = "holds 0 terms but 1 are stored"},
        {.componentCount = 5,
         .words = "term 1 'T0': the expression says it has 5 components but 3"},
        {.componentCount = 1, .words = "says it has 1 components but 3 are stored"},
        {.firstKind = 9, .words = "term 1 'T0': the expression does not read back"},
        {.componentCount = 2, .componentsStored = 2, .words = "does not read back"},
        {.componentCount = 0, .componentsStored = 0, .words = "the expression is empty"},
        {.knownLabel = false, .words = "event 1 names the label {"},
        {.action = L"Blink", .words = "term 1 'T0': unknown action 'Blink'"},
    };
    for (const SqzBinaryCase& c : cases)
    {
        const std::string file = folder.File("s.qzs");
        WriteBinary(file, c, a);
        const auto [code, message] = Refusal([&] { session.LoadSetupFile(file); });
        EXPECT_EQ(code, 4) << c.words;
        EXPECT_NE(message.find(c.words), std::string::npos) << c.words << "\n" << message;
    }
    // A setup of something else (no Filter element) never loads as the default filter.
    {
        CqzPersistenceSetup other(CString::FromUtf8(folder.File("o.qzs")), eqzPersistWrite);
        other.Write(L"Value", std::uint32_t{1});
    }
    const auto [code, message] = Refusal([&] { session.LoadSetupFile(folder.File("o.qzs")); });
    EXPECT_EQ(code, 4);
    EXPECT_NE(message.find("no Filter element"), std::string::npos) << message;
    WriteBinary(folder.File("good.qzs"), {}, a);
    EXPECT_EQ(Refusal([&] { session.LoadSetupFile(folder.File("good.qzs")); }).first, 0);
    EXPECT_EQ(session.GetTermCount(), 1);
}

TEST(CqzTerminalText, ControlBytesAndBrokenUtf8AreEscaped)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain text: \xC3\xA9t\xC3\xA9 \xE2\x80\xA6",
         "plain text: \xC3\xA9t\xC3\xA9 \xE2\x80\xA6"},
        {"\x1b[2J\x07\r\n\t\x7f", "\\x1b[2J\\x07\\x0d\\x0a\\x09\\x7f"},
        {"c1 \xC2\x9B"
         "31m",
         "c1 \\xc2\\x9b31m"},
        {"cut \xE2\x80", "cut \\xe2\\x80"},
        {"overlong \xC0\xAF surrogate \xED\xA0\x80",
         "overlong \\xc0\\xaf surrogate \\xed\\xa0\\x80"},
        {"four \xF0\x9F\x98\x80 beyond \xF4\x90\x80\x80",
         "four \xF0\x9F\x98\x80 beyond \\xf4\\x90\\x80\\x80"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(CqzTerminalText::Sanitize(in), out);
}

} // namespace
