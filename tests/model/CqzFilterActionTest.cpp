#include "model/CqzFilterAction.h"

#include "common/MessageRecorder.h"
#include "model/CqzFilterMessages.h"

#include <gtest/gtest.h>
#include <memory>

namespace
{

TEST(CqzFilterAction, TypeChangesAreAnnouncedOnceAndClonesKeepIdentityButNotObservers)
{
    CqzFilterAction action;
    MessageRecorder recorder;
    action.AddObserver(&recorder);
    EXPECT_TRUE(recorder.ids.empty()) << "adding an observer sends nothing";

    action.SetType(eqzFilterHide);
    action.SetColor(0x00FF00);
    EXPECT_TRUE(recorder.ids.empty()) << "an unchanged type and any colour change send nothing";

    action.SetType(eqzFilterColor);
    action.SetType(7); // not range-checked
    EXPECT_EQ(recorder.ids, (std::vector<unsigned>{203, 203}));
    EXPECT_EQ(action.GetType(), 7u);
    EXPECT_EQ(action.GetColor(), 0x00FF00u);

    std::unique_ptr<CqzFilterAction> clone(static_cast<CqzFilterAction*>(action.Clone()));
    EXPECT_EQ(clone->GetID(), action.GetID());
    EXPECT_EQ(clone->GetType(), 7u);
    EXPECT_EQ(clone->GetColor(), 0x00FF00u);
    EXPECT_EQ(clone->GetObserverCount(), 0);
    clone->SetType(eqzFilterShow);
    EXPECT_EQ(recorder.ids.size(), 2u);
    EXPECT_NE(CqzFilterAction().GetID(), action.GetID());
}

TEST(CqzFilterAction, TypeNames)
{
    EXPECT_STREQ(CqzFilterAction::GetTypeName(0), L"Show");
    EXPECT_STREQ(CqzFilterAction::GetTypeName(1), L"Hide");
    EXPECT_STREQ(CqzFilterAction::GetTypeName(2), L"Color");
    EXPECT_STREQ(CqzFilterAction::GetTypeName(3), L"");
}

} // namespace
