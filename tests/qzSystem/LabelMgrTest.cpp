// The label register: lookups by identifier and by name after additions, replacements and
// removals, and the cost of registering and finding many labels (by operation count).

#include "qzSystem/managers/CqzLabelMgr.h"
#include "qzSystem/managers/CqzSystemMgr.h"

#include "common/ManagerReset.h"

#include <gtest/gtest.h>

namespace
{

class LabelMgrTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetManagers(); }
    CqzLabelMgr& labels = CqzLabelMgr::Instance();
};

TEST_F(LabelMgrTest, NamesAnswerTheEarliestLabelAlsoAfterRenamesAndRemovals)
{
    const CqzID first = AddTestLabel(L"A"), second = AddTestLabel(L"B"), third = AddTestLabel(L"A");
    EXPECT_EQ(labels.NameToLabel(L"A")->GetLabelID(), first);
    // Renaming the first label to B puts it before the later B, by order of first addition.
    labels.AddLabel(CqzLabel(first, L"B", CqzBitSet{eqzLabelDigital}, 4, CqzID()));
    EXPECT_EQ(labels.NameToLabel(L"A")->GetLabelID(), third);
    EXPECT_EQ(labels.NameToLabel(L"B")->GetLabelID(), first);
    EXPECT_EQ(labels.IDToLabel(first)->GetWidth(), 4);
    EXPECT_TRUE(labels.RemoveLabel(first));
    EXPECT_FALSE(labels.RemoveLabel(first));
    EXPECT_EQ(labels.NameToLabel(L"B")->GetLabelID(), second);
    EXPECT_EQ(labels.IDToLabel(first), nullptr);
    ASSERT_EQ(labels.GetLabels().size(), 2u);
    EXPECT_EQ(labels.GetLabelAt(0)->GetLabelID(), second);
    EXPECT_TRUE(labels.RemoveLabel(third));
    EXPECT_EQ(labels.NameToLabel(L"A"), nullptr);
}

// Registering n labels, finding each by identifier and by name, asking which are available
// to a restricted instance and removing half of them looks at each label a few times, not n
// times.
TEST_F(LabelMgrTest, ManyLabelsCostInProportionToTheirNumber)
{
    for (const int n : {1000, 20000})
    {
        ResetManagers();
        std::vector<CqzID> ids;
        for (int i = 0; i < n; ++i)
        {
            CString name;
            name.Format(L"s%d", i);
            ids.push_back(AddTestLabel(name.Str().c_str()));
        }
        CqzID instance;
        CqzSystemMgr::Instance().SetAvailableLabels(instance, ids);
        int found = 0;
        for (int i = 0; i < n; ++i)
            found +=
                labels.IDToLabel(ids[static_cast<std::size_t>(i)]) ==
                labels.NameToLabel(labels.IDToLabel(ids[static_cast<std::size_t>(i)])->GetName());
        ASSERT_EQ(found, n);
        ASSERT_EQ(CqzSystemMgr::Instance().GetAvailableLabels(instance).size(),
                  static_cast<std::size_t>(n));
        EXPECT_EQ(CqzSystemMgr::Instance().GetFirstAvailableLabel(instance), ids.front());
        for (std::size_t i = 0; i < ids.size(); i += 2)
            labels.RemoveLabel(ids[i]);
        ASSERT_EQ(labels.GetLabelCount(), n / 2);
        EXPECT_EQ(labels.GetLabelAt(0)->GetLabelID(), ids[1]);
        EXPECT_EQ(labels.GetLabels().back()->GetLabelID(), ids.back());
        EXPECT_LE(labels.GetVisitCount(), 6u * static_cast<unsigned>(n)) << n << " labels";
    }
}

} // namespace
