#include "model/CqzFilterModel.h"

#include "common/ManagerReset.h"
#include "common/FilterTerms.h"
#include "markup/CqzXMLParser.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{

// Models written into a setup buffer and read back, and setups written by hand to see how
// loading treats what is missing or wrong.
class FilterSetupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetManagers();
        x = AddTestLabel(L"X", eqzLabelDigital, 8);
        AddTestLabel(L"MSG", eqzLabelString, 0);
    }

    std::vector<std::uint8_t> Write(const std::function<void(CqzPersistenceSetup&)>& write)
    {
        std::vector<std::uint8_t> buffer;
        CqzPersistenceSetup setup(buffer, eqzPersistWrite);
        write(setup);
        setup.Close();
        return buffer;
    }

    void Load(std::vector<std::uint8_t>& buffer)
    {
        CqzPersistenceSetup setup(buffer, eqzPersistRead);
        model_.Load(&setup);
        EXPECT_EQ(setup.GetOpenTagCount(), 0);
    }

    CString Markup() const
    {
        CqzXMLParser xml;
        model_.QueryCommand(L"GetSetup", xml);
        return xml.GetDocument();
    }

    // A hand-written model block holding the given terms' tags.
    std::vector<std::uint8_t> ModelBlock(std::uint32_t count, int terms,
                                         const std::function<void(CqzPersistenceSetup&)>& term)
    {
        return Write(
            [&](CqzPersistenceSetup& s)
            {
                s.OpenTag(L"FilterModel");
                s.Write(L"Name", L"hand");
                s.Write(L"Enabled", true);
                s.Write(L"NumberOfFilterTerms", count);
                s.OpenTag(L"FilterTerms");
                for (int i = 0; i < terms; ++i)
                {
                    s.OpenTag(CString(L"FilterTerm") + CString(std::to_wstring(i).c_str()));
                    term(s);
                    s.CloseTag();
                }
                s.CloseTag();
                s.CloseTag();
            });
    }

    // A term block whose expression is X = 1 and whose action block is given.
    std::function<void(CqzPersistenceSetup&)>
    TermWithAction(const std::function<void(CqzPersistenceSetup&)>& action)
    {
        return [this, action](CqzPersistenceSetup& s)
        {
            s.Write(L"FilterName", L"t");
            SearchBuilder().Is(L"X", 1, 1).Build().Save(&s);
            s.OpenTag(L"FilterAction");
            action(s);
            s.CloseTag();
        };
    }

    CqzID x;
    CqzFilterModel model_{CqzID()};
};

TEST_F(FilterSetupTest, SaveThenLoadReproducesEveryTerm)
{
    AddTerm(model_,
            SearchBuilder()
                .Is(L"X", 7, 0x10, 0x20)
                .And()
                .Open()
                .Is(L"X", 1, 0x30, 0x0f)
                .Or()
                .Text(L"MSG", 2, L"a<b>&'c'")
                .Close(),
            eqzFilterHide);
    AddTerm(model_, SearchBuilder().Edge(L"X", 5), eqzFilterColor, 0x0000ff);
    AddTerm(model_, SearchBuilder().Is(L"X", 8, 1, 2), eqzFilterShow);
    model_.SetFilterName(1, L"second");
    model_.SetName(L"setup name");
    model_.SetEnabled(false);
    const CString before = Markup();
    auto buffer = Write([&](CqzPersistenceSetup& s) { model_.Save(&s); });

    model_.Reset();
    Load(buffer);
    EXPECT_EQ(Markup(), before);
    EXPECT_EQ(model_.GetName(), CString(L"setup name"));
    EXPECT_FALSE(model_.IsEnabled());
    CqzPersistenceSetup reader(buffer, eqzPersistRead);
    EXPECT_EQ(CqzFilterModel::ReadName(&reader), CString(L"setup name"));
    // The term tags are numbered from zero under their count.
    CqzPersistenceSetup tags(buffer, eqzPersistRead);
    ASSERT_TRUE(tags.OpenTag(L"FilterModel", false));
    std::uint32_t count = 0;
    EXPECT_TRUE(tags.Read(L"NumberOfFilterTerms", count));
    EXPECT_EQ(count, 3u);
    tags.OpenTag(L"FilterTerms");
    EXPECT_EQ(tags.GetTagNames(),
              (std::vector<CString>{L"FilterTerm0", L"FilterTerm1", L"FilterTerm2"}));
}

// Without a count one default term is loaded; a huge count reads only the terms there are.
TEST_F(FilterSetupTest, TheCountBoundsTheTermsRead)
{
    auto buffer = ModelBlock(0, 0, [](CqzPersistenceSetup&) {});
    Load(buffer);
    EXPECT_EQ(model_.GetSize(), 1);
    EXPECT_EQ(model_.GetFilterName(0), CString(L"Your name goes here"));

    buffer = ModelBlock(0xFFFFFFFFu, 2,
                        TermWithAction([](CqzPersistenceSetup& s) { s.Write(L"Type", L"Hide"); }));
    Load(buffer);
    EXPECT_EQ(model_.GetSize(), 2);
}

struct ActionCase
{
    const char* name;
    std::function<void(CqzPersistenceSetup&)> write;
    unsigned type;
    unsigned color;
};

class ActionBlock : public FilterSetupTest, public ::testing::WithParamInterface<ActionCase>
{
};

TEST_P(ActionBlock, LoadsWithTheRulesForMissingAndUnknownValues)
{
    auto buffer = ModelBlock(1, 1, TermWithAction(GetParam().write));
    Load(buffer);
    std::vector<CqzFilterAction*> actions;
    ASSERT_EQ(model_.GetActions(actions), 1);
    EXPECT_EQ(actions[0]->GetType(), GetParam().type);
    EXPECT_EQ(actions[0]->GetColor(), GetParam().color);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ActionBlock,
    ::testing::Values(ActionCase{"LowerCaseShowIsHide", [](auto& s) { s.Write(L"Type", L"show"); },
                                 eqzFilterHide, 0xFF},
                      ActionCase{"ColorWithoutColourValue",
                                 [](auto& s) { s.Write(L"Type", L"Color"); }, eqzFilterColor, 0xFF},
                      ActionCase{"MissingTypeIsHide",
                                 [](auto& s) { s.Write(L"Color", std::uint32_t{7}); },
                                 eqzFilterHide, 7},
                      ActionCase{"ShowKeepsItsColour",
                                 [](auto& s)
                                 {
                                     s.Write(L"Color", std::uint32_t{0x123456});
                                     s.Write(L"Type", L"Show");
                                 },
                                 eqzFilterShow, 0x123456}),
    [](const ::testing::TestParamInfo<ActionCase>& info) { return info.param.name; });

TEST_F(FilterSetupTest, TermsOnLabelsNoLongerOfferedDisappear)
{
    AddTerm(model_, SearchBuilder().Is(L"X", 1, 1), eqzFilterColor, 3);
    auto buffer = Write([&](CqzPersistenceSetup& s) { model_.Save(&s); });
    CqzLabelMgr::Instance().RemoveLabel(x);
    Load(buffer);
    ASSERT_EQ(model_.GetSize(), 1);
    std::vector<CqzFilterAction*> actions;
    model_.GetActions(actions);
    EXPECT_EQ(actions[0]->GetType(), unsigned(eqzFilterHide)); // the default term
}

TEST_F(FilterSetupTest, ReadNameWithoutModelBlockIsEmpty)
{
    auto buffer = Write([](CqzPersistenceSetup& s) { s.Write(L"Other", true); });
    CqzPersistenceSetup setup(buffer, eqzPersistRead);
    EXPECT_TRUE(CqzFilterModel::ReadName(&setup).IsEmpty());
}

} // namespace
