// The cost of edits, counted by the parser's work counter rather than timed: appends at or near
// the end of a document cost about the same each however long the document grows, and edits
// anywhere keep the index in step with the text.

#include "markup/CqzXMLParser.h"

#include "XMLTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace
{

using xmltest::IndexMatchesText;

// One way of adding an element to a document: writes item i.
using SqzAppend = std::function<void(CqzXMLParser&, int)>;

struct SqzAppendCase
{
    const char* name;
    SqzAppend append;

    friend void PrintTo(const SqzAppendCase& c, std::ostream* out) { *out << c.name; }
};

// The work of n items written into "<r/>" one after the other.
std::uint64_t WorkFor(const SqzAppend& append, int n, CqzXMLParser& xml)
{
    xml = CqzXMLParser(L"<r/>");
    xml.FindNext();
    const std::uint64_t before = xml.GetEditWork();
    for (int i = 0; i < n; ++i)
        append(xml, i);
    return xml.GetEditWork() - before;
}

class AppendCostTest : public testing::TestWithParam<SqzAppendCase>
{
};

TEST_P(AppendCostTest, GrowsLinearlyWithTheCount)
{
    constexpr int n = 500;
    CqzXMLParser small, large;
    const std::uint64_t work = WorkFor(GetParam().append, n, small);
    const std::uint64_t work4 = WorkFor(GetParam().append, 4 * n, large);
    ASSERT_GT(work, 0u);
    // Linear gives 4 times the work; quadratic would give 16.
    EXPECT_LT(work4, 5 * work) << work << " for " << n << ", " << work4 << " for " << 4 * n;
    EXPECT_TRUE(IndexMatchesText(large));
}

// A term as the filter writes it: an element with a name, a search with a few events below it,
// an action after the search.
void AppendTerm(CqzXMLParser& xml, int i)
{
    xml.AppendChild(L"FilterExpression");
    xml.SetChildAttribute(L"Name", CString(std::to_wstring(i)));
    xml.Descend();
    xml.AppendChild(L"Search");
    xml.SetChildAttribute(L"Enabled", true);
    xml.Descend();
    for (int event = 0; event < 3; ++event)
    {
        xml.AppendChild(L"Event");
        xml.SetChildAttribute(L"Value", static_cast<std::int32_t>(event));
    }
    xml.Ascend();
    xml.ClearChild();
    xml.AppendChild(L"FilterAction"); // after the last child, found without a current child
    xml.SetChildAttribute(L"Type", L"Hide");
    xml.Ascend();
}

INSTANTIATE_TEST_SUITE_P(
    Markup, AppendCostTest,
    testing::Values(SqzAppendCase{"Terms", AppendTerm},
                    SqzAppendCase{"AfterTheLastChild",
                                  [](CqzXMLParser& xml, int i)
                                  {
                                      xml.ClearChild();
                                      xml.AppendChild(L"c", CString(std::to_wstring(i)));
                                  }},
                    SqzAppendCase{"BeforeTheLastChild",
                                  [](CqzXMLParser& xml, int i)
                                  {
                                      if (i == 0)
                                          xml.AppendChild(L"last");
                                      xml.InsertChild(L"c");
                                      xml.SetChildAttribute(L"n", static_cast<std::int32_t>(i));
                                      xml.FindNextChild(L"last");
                                  }}),
    [](const testing::TestParamInfo<SqzAppendCase>& info) { return info.param.name; });

// One edit at a place reached from the root element: each hop goes down into the first child
// (true) or on to the next sibling (false).
struct SqzEdit
{
    std::vector<bool> hops;
    int kind;
    CString value;

    void ApplyTo(CqzXMLParser& xml) const
    {
        xml.SetPosition({});
        xml.FindNext();
        for (const bool down : hops)
            if (!(down ? xml.FindNextChild() && xml.Descend() : xml.FindNext()))
                break;
        if (kind == 0)
            xml.AppendChild(L"c");
        else if (kind == 1)
            xml.InsertChild(L"d", value);
        else if (kind == 2)
            xml.SetAttribute(L"x", value);
        else if (xml.FindNextChild())
            xml.SetChildAttribute(L"y", value);
    }
};

// Random edits at random places of a nested document, where records are numbered in the order
// the edits made them rather than in document order. Each edit must write the same text as on a
// fresh parse of the text before it, and the index must match a fresh parse after it.
TEST(XMLEditCost, EditsAnywhereKeepTheIndexInStep)
{
    std::mt19937 random(7);
    CqzXMLParser xml(L"<r>\r\n<a><b/></a>\r\n</r>");
    for (int step = 0; step < 400; ++step)
    {
        SqzEdit edit{{},
                     static_cast<int>(random() % 4),
                     CString(std::wstring(static_cast<std::size_t>(random() % 4), L'v'))};
        for (int hops = static_cast<int>(random() % 6); hops > 0; --hops)
            edit.hops.push_back(random() % 2 == 0);
        CqzXMLParser fresh(xml.GetDocument());
        edit.ApplyTo(fresh);
        edit.ApplyTo(xml);
        ASSERT_EQ(xml.GetDocument(), fresh.GetDocument()) << "step " << step;
        ASSERT_TRUE(IndexMatchesText(xml)) << "step " << step;
    }
}

} // namespace
