// Navigation by path, Descend/Ascend, saved positions and files.

#include "markup/CqzXMLParser.h"
#include "qzSystem/xml/CqzXMLParserSavePos.h"

#include "XMLTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace
{

const wchar_t* const kTree = L"<r><a><b id='1'/><b id='2'/></a><a><b id='3'/></a>"
                             L"<c><b id='4'/></c><d/></r>";

struct PathCase
{
    const wchar_t* path;
    const wchar_t* child; // expected child tag, nullptr when nothing is found
    const wchar_t* id;    // expected "id" of the child
    const wchar_t* main;  // expected main tag afterwards
};

class PathTest : public testing::TestWithParam<PathCase>
{
};

TEST_P(PathTest, FindNextChildFromTheRoot)
{
    CqzXMLParser xml(kTree);
    const PathCase& c = GetParam();
    const bool found = xml.FindNextChild(c.path);
    ASSERT_EQ(found, c.child != nullptr);
    if (!found)
    {
        EXPECT_EQ(xml.GetTag(), L"r") << "the root became the main position first";
        EXPECT_EQ(xml.GetChildTag(), L"");
        return;
    }
    EXPECT_EQ(xml.GetChildTag(), c.child);
    EXPECT_EQ(xml.GetChildAttribute(L"id"), c.id);
    EXPECT_EQ(xml.GetTag(), c.main);
}

INSTANTIATE_TEST_SUITE_P(
    Markup, PathTest,
    testing::Values(PathCase{L"a/b", L"b", L"1", L"a"}, PathCase{L"*/b", L"b", L"1", L"a"},
                    PathCase{L"c/b", L"b", L"4", L"c"}, PathCase{L"/r/c/b", L"b", L"4", L"c"},
                    PathCase{L"c/", L"b", L"4", L"c"}, PathCase{L"*", L"a", L"", L"r"},
                    PathCase{L"", L"a", L"", L"r"}, PathCase{nullptr, L"a", L"", L"r"},
                    PathCase{L"d", L"d", L"", L"r"}, PathCase{L"a[2]", L"a", L"", L"r"},
                    PathCase{L"/r", L"r", L"", L""}, PathCase{L"x", nullptr, L"", L""},
                    PathCase{L"b", nullptr, L"", L""}, PathCase{L"a/x", nullptr, L"", L""},
                    PathCase{L"d/*", nullptr, L"", L""}, PathCase{L"/x", nullptr, L"", L""}));

TEST(XMLNavigate, FindNextChildContinuesAfterTheCurrentChild)
{
    CqzXMLParser xml(kTree);
    ASSERT_TRUE(xml.FindNextChild(L"a"));
    ASSERT_TRUE(xml.FindNextChild(L"a"));
    ASSERT_TRUE(xml.Descend());
    ASSERT_TRUE(xml.FindNextChild(L"b"));
    EXPECT_EQ(xml.GetChildAttribute(L"id"), L"3");
    ASSERT_TRUE(xml.Ascend());
    EXPECT_FALSE(xml.FindNextChild(L"a"));
    EXPECT_TRUE(xml.FindNextChild(L"c"));
}

TEST(XMLNavigate, FindNextSearchesTheSiblingsOfTheMainElement)
{
    CqzXMLParser xml(kTree);
    ASSERT_TRUE(xml.FindNext(L"r"));
    ASSERT_TRUE(xml.FindNextChild(L"a"));
    ASSERT_TRUE(xml.Descend());
    ASSERT_TRUE(xml.FindNext(L"a"));
    ASSERT_TRUE(xml.FindNextChild(L"b"));
    EXPECT_EQ(xml.GetChildAttribute(L"id"), L"3");
    EXPECT_FALSE(xml.FindNext(L"a"));
    ASSERT_TRUE(xml.FindNext());
    EXPECT_EQ(xml.GetTag(), L"c");
    EXPECT_EQ(xml.GetChildTag(), L"");
    ASSERT_TRUE(xml.FindNext(L"/r"));
    EXPECT_EQ(xml.GetTag(), L"r");
    EXPECT_FALSE(xml.Ascend());
}

TEST(XMLNavigate, DescendAndAscendSwapMainAndChild)
{
    CqzXMLParser xml(kTree);
    EXPECT_FALSE(xml.Descend()) << "no main position yet";
    EXPECT_FALSE(xml.Ascend());
    ASSERT_TRUE(xml.FindNextChild(L"c"));
    ASSERT_TRUE(xml.Descend());
    EXPECT_EQ(xml.GetTag(), L"c");
    EXPECT_EQ(xml.GetChildTag(), L"");
    ASSERT_TRUE(xml.Ascend());
    EXPECT_EQ(xml.GetTag(), L"r");
    EXPECT_EQ(xml.GetChildTag(), L"c");
    // Descending into a position without child leaves no main element.
    xml.ClearChild();
    ASSERT_TRUE(xml.Descend());
    EXPECT_EQ(xml.GetTag(), L"");
    EXPECT_FALSE(xml.Descend());
    ASSERT_TRUE(xml.Ascend());
    EXPECT_EQ(xml.GetTag(), L"r");
}

class SavePosTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(xml.FindNextChild(L"a/b"));
        saved = xml.GetPosition();
    }
    CqzXMLParser xml{kTree};
    SqzXMLParserPos saved;
};

TEST_F(SavePosTest, RestoresThePositionAtTheEndOfTheScope)
{
    {
        CqzXMLParserSavePos keep(&xml);
        ASSERT_TRUE(xml.Descend());
        ASSERT_TRUE(xml.FindNext(L"/r"));
        ASSERT_TRUE(xml.AppendChild(L"e"));
        EXPECT_NE(xml.GetPosition(), saved);
    }
    EXPECT_EQ(xml.GetPosition(), saved);
    EXPECT_EQ(xml.GetChildAttribute(L"id"), L"1");
}

TEST_F(SavePosTest, RestoresThePositionWhenAnExceptionLeavesTheScope)
{
    try
    {
        CqzXMLParserSavePos keep(&xml);
        xml.Ascend();
        xml.Ascend();
        throw std::runtime_error("failed");
    }
    catch (const std::runtime_error&)
    {
    }
    EXPECT_EQ(xml.GetPosition(), saved);
}

TEST_F(SavePosTest, AStalePositionIsRefused)
{
    {
        CqzXMLParserSavePos keep(&xml);
        ASSERT_TRUE(xml.SetDocument(L"<x/>"));
    }
    EXPECT_EQ(xml.GetPosition(), SqzXMLParserPos{});
    EXPECT_FALSE(xml.SetPosition(saved));
}

TEST_F(SavePosTest, PositionsOutsideTheTreeAreRefused)
{
    const SqzXMLParserPos broken[] = {
        {saved.parent, saved.child, saved.child}, // main is not under parent
        {saved.parent, saved.main, saved.main},   // child is not under main
        {saved.main, 0, saved.child},             // child without main below the root
        {0, 0, 1000},                             // beyond the table
        {-1, 0, 0}};
    for (const SqzXMLParserPos& position : broken)
        EXPECT_FALSE(xml.SetPosition(position));
    EXPECT_EQ(xml.GetPosition(), saved);
    EXPECT_TRUE(xml.SetPosition({}));
}

class XMLFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        folder = std::filesystem::path(testing::TempDir()) /
                 ("markup-" +
                  std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    CString PathOf(const char* name) const { return CString((folder / name).string()); }
    std::string Bytes(const char* name) const
    {
        std::ifstream in(folder / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::filesystem::path folder;
};

TEST_F(XMLFileTest, SavesUtf8WithoutByteOrderMarkAndLoadsItBack)
{
    CqzXMLParser xml;
    ASSERT_TRUE(xml.AppendElement(L"Filter"));
    ASSERT_TRUE(xml.SetAttribute(L"Name", CString("Grüße € \xF0\x9D\x84\x9E")));
    ASSERT_TRUE(xml.SaveFile(PathOf("setup.xml")));
    EXPECT_EQ(Bytes("setup.xml"), "<Filter Name='Grüße € \xF0\x9D\x84\x9E'/>\r\n");

    CqzXMLParser loaded;
    ASSERT_TRUE(loaded.LoadFile(PathOf("setup.xml")));
    EXPECT_EQ(loaded.GetDocument(), xml.GetDocument());
    ASSERT_TRUE(loaded.FindNext(L"Filter"));
    EXPECT_EQ(loaded.GetAttribute(L"Name"), CString("Grüße € \xF0\x9D\x84\x9E"));
}

TEST_F(XMLFileTest, UnreadableFilesGiveFalseAndAnErrorText)
{
    CqzXMLParser xml(L"<keep/>");
    EXPECT_FALSE(xml.LoadFile(PathOf("missing.xml")));
    EXPECT_NE(xml.GetParseError().Find(L"missing.xml"), -1);
    EXPECT_FALSE(xml.LoadFile(CString(folder.string())));
    EXPECT_FALSE(xml.GetParseError().IsEmpty());
    EXPECT_EQ(xml.GetDocument(), L"<keep/>") << "a failed open keeps the document";
    EXPECT_TRUE(xml.HasRoot());
    EXPECT_FALSE(xml.SaveFile(PathOf("no/such/folder.xml")));
    EXPECT_FALSE(xml.GetParseError().IsEmpty());
    std::ofstream(folder / "broken.xml") << "<a><b></a>";
    EXPECT_FALSE(xml.LoadFile(PathOf("broken.xml")));
    EXPECT_EQ(xml.GetParseError(), L"End tag does not correspond to b");
}

} // namespace
