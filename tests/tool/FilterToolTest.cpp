#include "ToolFixture.h"

#include "qzSystem/managers/CqzFavoritesMgr.h"
#include "qzSystem/managers/CqzInfoMgr.h"
#include "qzSystem/messages/CqzMessageDeleteConnection.h"
#include "qzSystem/messages/CqzMessagePersistence.h"
#include "qzSystem/messages/CqzMessagePlugInDependsOn.h"
#include "qzSystem/persist/CqzFavorites.h"
#include "qzSystem/persist/CqzPersistenceException.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"

namespace
{

class FilterToolTest : public ToolFixture
{
protected:
    std::vector<std::uint8_t> SaveTool(CqzFilter& target)
    {
        std::vector<std::uint8_t> buffer;
        CqzPersistenceSetup setup(buffer, eqzPersistWrite);
        CqzMessageSave save(&setup);
        target.HandleMessage(&save);
        setup.Close();
        return buffer;
    }

    void LoadTool(CqzFilter& target, std::vector<std::uint8_t>& buffer)
    {
        CqzPersistenceSetup setup(buffer, eqzPersistRead);
        CqzMessageLoad load(&setup);
        target.HandleMessage(&load);
        EXPECT_EQ(setup.GetOpenTagCount(), 0);
    }

    void LabelX()
    {
        builder.AddTable().Time().Integral(L"X", 32).Integral(L"Y", 32);
        builder.Row(0, {1, 2});
    }
};

// The interface is registered under the names a host looks it up by (the plug-in test checks
// the identifiers).
TEST_F(FilterToolTest, LifecycleLogsAndRegistersTheCommandInterface)
{
    const CqzID instance = tool->GetInstanceID();
    EXPECT_EQ(CqzStdCmdIFaceMgr::Instance().Find(instance), tool.get());
    CqzStdAnalysisToolCmdIFace& iface = *tool;
    EXPECT_EQ(iface.GetIFaceName(), CString(L"StandardAnalysisToolCommandIFace"));
    EXPECT_EQ(iface.GetBaseIFaceName(), CString(L"StandardToolCommandIFace"));
    EXPECT_EQ(iface.GetAnalysisToolVersion(), 1);
    tool.reset();
    EXPECT_EQ(CqzStdCmdIFaceMgr::Instance().Find(instance), nullptr);
    const auto& log = CqzInfoMgr::Instance().GetEntries();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].text, CString(L"CqzFilter::CqzFilter()"));
    EXPECT_EQ(log[1].text, CString(L"CqzFilter::~CqzFilter()"));
    for (const auto& entry : log)
    {
        EXPECT_EQ(entry.type, 4);
        EXPECT_EQ(entry.level, 3);
    }
}

TEST_F(FilterToolTest, RunWithValidationDropsInvalidTermsEvenWhenDisabled)
{
    LabelX();
    AddTerm(SearchBuilder().Is(L"X", 1, 1), eqzFilterHide);
    AddTerm(SearchBuilder().Is(L"Y", 1, 2), eqzFilterColor, 5);
    CqzSystemMgr::Instance().SetAvailableLabels(tool->GetInstanceID(), {builder.GetLabelID(L"Y")});
    tool->GetFilterModel().SetEnabled(false);
    Run(nullptr, true);
    EXPECT_EQ(tool->GetFilterModel().GetSize(), 1);
    EXPECT_EQ(Listing(), "no column");
}

// Unknown and null messages are ignored, and so is a known code of another class (refused by
// the checked cast).
TEST_F(FilterToolTest, DependencyAndConnectionMessagesReachTheModelOthersAreIgnored)
{
    LabelX();
    AddTerm(SearchBuilder().Is(L"X", 1, 1).Or().Is(L"Y", 1, 1), eqzFilterHide);
    CqzMessageBase unknown(9999);
    tool->HandleMessage(&unknown);
    tool->HandleMessage(nullptr);
    CqzMessageBase fakeLoad(CqzMessageLoad::TypeID);
    tool->HandleMessage(&fakeLoad);
    EXPECT_EQ(tool->GetFilterModel().GetSize(), 1);
    const CqzLabel* x = CqzLabelMgr::Instance().IDToLabel(builder.GetLabelID(L"X"));
    CqzMessagePlugInDependsOn depends(x->GetSourceID());
    tool->HandleMessage(&depends);
    ASSERT_EQ(depends.GetLabelStatusList().size(), 1u);
    CqzMessageDeleteConnection deleted({builder.GetLabelID(L"X")});
    tool->HandleMessage(&deleted);
    std::vector<CqzSearchModel*> searches;
    tool->GetFilterModel().GetSearchModels(searches);
    EXPECT_EQ(searches[0]->GetIfClause().GetEventList()->GetEventCount(), 1);
}

TEST_F(FilterToolTest, SaveThenLoadRestoresModelAndFavourites)
{
    LabelX();
    AddTerm(SearchBuilder().Is(L"X", 4, 7), eqzFilterColor, 0x00ff00);
    tool->GetFilterModel().SetName(L"mine");
    tool->StoreFavorite(tool->GetFilterModel(), -1);
    std::vector<std::uint8_t> buffer = SaveTool(*tool);

    std::unique_ptr<CqzFilter> fresh = MakeTool();
    LoadTool(*fresh, buffer);
    CqzFilterModel& model = fresh->GetFilterModel();
    ASSERT_EQ(model.GetSize(), 1);
    EXPECT_EQ(model.GetName(), CString(L"mine"));
    EXPECT_EQ(fresh->GetFavorites().GetCount(), 1);
    EXPECT_EQ(fresh->GetFavoriteName(0), CString(L"mine"));
}

TEST_F(FilterToolTest, FilterTagIsClosedWhenSavingThrows)
{
    std::vector<std::uint8_t> buffer;
    CqzPersistenceSetup setup(buffer, eqzPersistWrite);
    setup.Close();
    CqzMessageSave save(&setup);
    EXPECT_THROW(tool->HandleMessage(&save), CqzPersistenceException);
    EXPECT_EQ(setup.GetOpenTagCount(), 0);
}

TEST_F(FilterToolTest, FavouritesStoreRecallNameAndClear)
{
    LabelX();
    AddTerm(SearchBuilder().Is(L"X", 1, 1), eqzFilterHide);
    CqzFilterModel& model = tool->GetFilterModel();
    model.SetName(L"first");
    EXPECT_TRUE(tool->StoreFavorite(model, -1));
    model.SetName(L"second");
    AddTerm(SearchBuilder().Is(L"Y", 1, 1), eqzFilterShow);
    EXPECT_TRUE(tool->StoreFavorite(model, -1));
    EXPECT_EQ(tool->GetFavoriteName(0), CString(L"first"));
    EXPECT_EQ(tool->GetFavoriteName(1), CString(L"second"));
    EXPECT_EQ(tool->GetFavoriteName(2), CString(L"empty"));

    CqzFilterModel recalled(tool->GetInstanceID());
    EXPECT_TRUE(tool->RecallFavorite(0, recalled));
    EXPECT_EQ(recalled.GetName(), CString(L"first"));
    EXPECT_EQ(recalled.GetSize(), 1);
    EXPECT_FALSE(tool->RecallFavorite(7, recalled));

    tool->ClearFavorites({0});
    EXPECT_EQ(tool->GetFavoriteName(0), CString(L"second"));
    tool->ClearAllFavorites();
    EXPECT_EQ(tool->GetFavoriteName(0), CString(L"empty"));
}

// Each change of the favourites reaches the host by content, and the host may hand back the
// favourites its shared file holds.
TEST_F(FilterToolTest, FavouriteChangesReachTheHostByContent)
{
    std::vector<SqzFavoritesChange> changes;
    CqzFavoritesMgr::Instance().SetHandler(
        [&](CqzFavorites& favorites, const SqzFavoritesChange& change)
        {
            changes.push_back(change);
            if (changes.size() == 1) // the file also holds another session's favourite
            {
                favorites.Clear();
                favorites.StoreFavorite({1, 2, 3}, -1);
                favorites.StoreFavorite(change.stored, -1);
            }
        });
    CqzFilterModel& model = tool->GetFilterModel();
    EXPECT_TRUE(tool->StoreFavorite(model, -1));
    EXPECT_EQ(tool->GetFavorites().GetCount(), 2);
    EXPECT_TRUE(tool->StoreFavorite(model, 0));
    tool->ClearFavorites({1, 1, 9});
    tool->ClearAllFavorites();
    CqzFavoritesMgr::Instance().Reset();
    ASSERT_EQ(changes.size(), 4u);
    const std::vector<std::uint8_t> stored = changes[0].stored;
    EXPECT_TRUE(changes[0].replaced.empty());
    EXPECT_FALSE(stored.empty());
    EXPECT_EQ(changes[1].replaced, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(changes[2].removed, std::vector<std::vector<std::uint8_t>>{stored});
    EXPECT_EQ(changes[3].removed, std::vector<std::vector<std::uint8_t>>{stored});
    EXPECT_EQ(tool->GetFavorites().GetCount(), 0);
}

TEST_F(FilterToolTest, AppliedSetupIsRecalledFromSlotMinusOne)
{
    LabelX();
    CqzFilterModel model(tool->GetInstanceID());
    model.SetName(L"before");
    EXPECT_FALSE(tool->HasAppliedSetup());
    EXPECT_FALSE(tool->RecallFavorite(-1, model));
    EXPECT_EQ(model.GetName(), CString(L"before"));

    std::vector<CqzPlugInAnToolBase*> runs;
    CqzPlugInMgr::Instance().SetRunHandler([&](CqzPlugInAnToolBase* t) { runs.push_back(t); });
    CqzFilterModel accepted(tool->GetInstanceID());
    accepted.SetName(L"accepted");
    tool->ApplySetup(accepted);
    EXPECT_TRUE(tool->HasAppliedSetup());
    EXPECT_EQ(runs, std::vector<CqzPlugInAnToolBase*>{tool.get()});
    EXPECT_TRUE(tool->RecallFavorite(-1, model));
    EXPECT_EQ(model.GetName(), CString(L"accepted"));
}

} // namespace
