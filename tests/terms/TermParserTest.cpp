// The command-line expression syntax: what each expression becomes in the search model, and
// where and why a bad one is refused.

#include "CqzTermError.h"
#include "CqzTermParser.h"
#include "qzSystem/search/CqzSearchEventBracket.h"
#include "qzSystem/search/CqzSearchEventList.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

namespace
{

// Labels made here, not registered anywhere: the parser only needs their descriptions.
class TermLabels
{
public:
    TermLabels()
    {
        Add(L"ADDR", eqzLabelDigital, 16);
        Add(L"DATA", eqzLabelDigital, 16);
        Add(L"STAT", eqzLabelDigital, 8);
        Add(L"WR", eqzLabelDigital, 1);
        Add(L"COUNT", eqzLabelIntegral, 32);
        Add(L"MSG", eqzLabelString, 0);
        Add(L"top.cpu.D[7:0]", eqzLabelDigital, 8);
        Add(L"my label", eqzLabelDigital, 4);
        Add(L"Time", eqzLabelTime, 64);
    }
    std::vector<const CqzLabel*> Pointers() const
    {
        std::vector<const CqzLabel*> out;
        for (const CqzLabel& label : m_labels)
            out.push_back(&label);
        return out;
    }
    std::wstring NameOf(const CqzID& id) const
    {
        for (const CqzLabel& label : m_labels)
            if (label.GetLabelID() == id)
                return label.GetName().Str();
        return L"?";
    }

private:
    void Add(const wchar_t* name, EqzLabelType type, int width)
    {
        m_labels.emplace_back(CqzID(), name, CqzBitSet{type}, width, CqzID());
    }
    std::vector<CqzLabel> m_labels;
};

std::string Hex(const CqzUInt& value)
{
    std::ostringstream out;
    out << std::hex;
    if (value.GetHigh() != 0)
        out << value.GetHigh() << std::setw(16) << std::setfill('0');
    out << value.GetLow();
    return out.str();
}

// A compact spelling of an event list: "NAME[.bit] =choice v<value> d<dontcare>" for
// comparisons, "h<high>" for ranges, "'text'" for text, "sN" for single-bit choices, and
// & | ( ) for conjunctions and brackets.
std::string Render(const CqzSearchEventList& events, const TermLabels& labels)
{
    std::string out;
    for (int i = 0; i < events.GetComponentCount(); ++i)
    {
        const CqzSearchComponentModel* component = events.GetComponentAt(i);
        std::string item;
        if (auto* conj = dynamic_cast<const CqzSearchEventConj*>(component))
            item = conj->GetType() == eqzConjOr ? "|" : "&";
        else if (auto* bracket = dynamic_cast<const CqzSearchEventBracket*>(component))
            item = bracket->IsOpening() ? "(" : ")";
        else if (auto* event = dynamic_cast<const CqzSearchEventLabel*>(component))
        {
            const CqzPatternModel& p = *event->GetEventLabel();
            item = CString(labels.NameOf(p.GetLabelInfo().GetLabelID())).ToUtf8();
            if (p.GetLabelInfo().GetChannel() >= 0)
                item += "." + std::to_string(p.GetLabelInfo().GetChannel());
            CqzUInt value, second;
            p.GetValue(value, second);
            CString text;
            p.GetValue(text);
            if (!p.IsMultiBitMode())
                item += " s" + std::to_string(p.GetSingleBitChoice());
            else if (!text.IsEmpty())
                item += " =" + std::to_string(p.GetMultiBitChoice()) + " '" + text.ToUtf8() + "'";
            else
            {
                const bool range = p.GetMultiBitChoice() >= eqzMultiInRange;
                item += " =" + std::to_string(p.GetMultiBitChoice()) + " v" + Hex(value);
                if (!second.IsZero())
                    item += (range ? " h" : " d") + Hex(second);
            }
        }
        out += (out.empty() ? "" : " ") + item;
    }
    return out;
}

class TermParserTest : public ::testing::Test
{
protected:
    TermLabels labels;
    CqzTermParser parser{labels.Pointers()};
};

struct GoodTerm
{
    const char* expression;
    const char* events;
};

class GoodTermTest : public TermParserTest, public ::testing::WithParamInterface<GoodTerm>
{
};

TEST_P(GoodTermTest, BecomesTheseEvents)
{
    const CqzSearchModel search = parser.Parse(GetParam().expression);
    const CqzSearchEventList& events = *search.GetIfClause().GetEventList();
    EXPECT_EQ(Render(events, labels), GetParam().events);
    EXPECT_TRUE(events.IsWellFormed());
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, GoodTermTest,
    ::testing::Values(
        GoodTerm{"STAT == 0x3?", "STAT =1 v30 df"}, GoodTerm{"STAT != 0b1x0?", "STAT =2 v8 d5"},
        GoodTerm{"ADDR >= 0XFFFF", "ADDR =6 vffff"}, GoodTerm{"COUNT <= 1_000", "COUNT =5 v3e8"},
        GoodTerm{"ADDR<10&&DATA>0xff", "ADDR =3 va & DATA =4 vff"},
        GoodTerm{"ADDR in 0x1000..0x1fff", "ADDR =7 v1000 h1fff"},
        GoodTerm{"ADDR NOT IN 1..2 or WR high", "ADDR =8 v1 h2 | WR =1 v1"},
        GoodTerm{"WR low", "WR =1 v0"}, GoodTerm{"STAT[2] high", "STAT.2 =1 v1"},
        GoodTerm{"MSG ~ \"err\"", "MSG =1 'err'"},
        GoodTerm{"MSG !~ 'say \\'hi\\''", "MSG =2 'say 'hi''"},
        GoodTerm{"top.cpu.D[7:0] < 7", "top.cpu.D[7:0] =3 v7"},
        GoodTerm{"\"my label\" == 0b1111", "my label =1 vf"},
        // 'and' runs next to an 'or' get brackets of their own; the brackets written stay.
        GoodTerm{"ADDR == 1 or DATA == 2 and WR high", "ADDR =1 v1 | ( DATA =1 v2 & WR =1 v1 )"},
        GoodTerm{"WR high and WR low or WR high and ADDR == 1",
                 "( WR =1 v1 & WR =1 v0 ) | ( WR =1 v1 & ADDR =1 v1 )"},
        GoodTerm{"WR high and WR low and ADDR == 1", "WR =1 v1 & WR =1 v0 & ADDR =1 v1"},
        GoodTerm{"ADDR == 1 and (DATA == 2 or (MSG ~ \"x\"))",
                 "ADDR =1 v1 & ( DATA =1 v2 | ( MSG =1 'x' ) )"},
        GoodTerm{"(WR high or WR low and ADDR == 1) and DATA == 2 or WR low",
                 "( ( WR =1 v1 | ( WR =1 v0 & ADDR =1 v1 ) ) & DATA =1 v2 ) | WR =1 v0"}));

struct BadTerm
{
    const char* expression;
    int column;
    const char* message;
};

class BadTermTest : public TermParserTest, public ::testing::WithParamInterface<BadTerm>
{
};

TEST_P(BadTermTest, IsRefusedAtItsColumn)
{
    try
    {
        parser.Parse(GetParam().expression);
        FAIL() << "accepted: " << GetParam().expression;
    }
    catch (const CqzTermError& error)
    {
        EXPECT_EQ(error.GetColumn(), GetParam().column) << error.what();
        EXPECT_NE(error.GetReason().find(GetParam().message), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, BadTermTest,
    ::testing::Values(
        BadTerm{"ADDR <> 3", 6, "unknown operator '<>'"},
        BadTerm{"ADRR == 1", 1, "unknown label 'ADRR' (did you mean ADDR?)"},
        BadTerm{"addr == 1", 1, "did you mean ADDR"},
        BadTerm{"Time == 0", 1, "unknown label 'Time'"},
        BadTerm{"WR high || WR rising", 15, "'WR rising': the filter does not evaluate edges"},
        BadTerm{"MSG ~ \"\"", 7, "the text to look for is empty"},
        BadTerm{"D[7:0] == 1", 1, "did you mean top.cpu.D[7:0]"},
        BadTerm{"STAT[9] high", 1, "unknown label 'STAT[9]'"},
        BadTerm{"ADDR == 0x1ffff", 9, "does not fit in the 16 bits of 'ADDR'"},
        BadTerm{"STAT[1] == 2", 12, "does not fit in the 1 bit"},
        BadTerm{"ADDR in 3..1", 10, "runs backwards"}, BadTerm{"ADDR in 1 2", 11, "expected '..'"},
        BadTerm{"ADDR < 0x1?", 8, "don't-care digits only go with == and !="},
        BadTerm{"ADDR in 0x?..3", 9, "no don't-care digits"}, BadTerm{"MSG == 1", 5, "holds text"},
        BadTerm{"ADDR ~ \"x\"", 6, "holds numbers"},
        BadTerm{"ADDR high", 6, "needs a one-bit label"},
        BadTerm{"WR sideways", 4, "unknown operator 'sideways'"},
        BadTerm{"(ADDR == 1", 1, "'(' without ')'"}, BadTerm{"ADDR == 1)", 10, "')' without '('"},
        BadTerm{"()", 2, "expected a label name, found ')'"},
        BadTerm{"ADDR == 1 DATA", 11, "expected 'and', 'or' or the end"},
        BadTerm{"ADDR ==", 8, "expected a number after '=='"},
        BadTerm{"ADDR == 1 and", 14, "expected a label name, found the end"},
        BadTerm{"ADDR == 1 and or WR high", 15, "expected a label name, found 'or'"},
        BadTerm{"WR high or WR low and (ADDR == 1 or)", 36, "expected a label name, found ')'"},
        BadTerm{"WR high or DATA == 1 and ADDR <> 2", 31, "unknown operator '<>'"},
        BadTerm{"ADDR not 1", 10, "expected 'in' after 'not'"},
        BadTerm{"MSG ~ \"abc", 7, "text without its closing quote"},
        BadTerm{"MSG ~ abc", 7, "expected a quoted text"}, BadTerm{"   ", 1, "empty"},
        BadTerm{"ADDR == 0xg", 9, "not a hexadecimal number"},
        BadTerm{"ADDR == 0b102", 9, "not a binary number"},
        BadTerm{"ADDR == 12?", 9, "need the 0x or 0b form"},
        BadTerm{"ADDR == 0x1_0000_0000_0000_0000_0000_0000_0000_0000", 9, "more than 128 bits"},
        BadTerm{"ADDR @ 1", 6, "unexpected character '@'"},
        BadTerm{"top.cpu.D[7:x] == 1", 13, "only digits and ':'"}));

TEST_F(TermParserTest, BracketsNestOnlySoDeep)
{
    const std::string inner = "ADDR == 1";
    const auto nested = [&](int depth)
    { return std::string(depth, '(') + inner + std::string(depth, ')'); };
    EXPECT_NO_THROW(parser.Parse(nested(CqzTermParser::MaxDepth)));
    EXPECT_THROW(parser.Parse(nested(CqzTermParser::MaxDepth + 1)), CqzTermError);
}

} // namespace
