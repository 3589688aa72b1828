// The search-expression editor on a three-event expression, edited as a person would: every
// edit reaches the search model through its own operations, which send their messages.

#include "common/UiDriver.h"
#include "ui/SampleExpression.h"
#include "ui/ExpressionHost.h"

#include "qzSystem/search/CqzSearchEventListMessage.h"
#include "qzSystem/search/CqzSearchEventListView.h"
#include "qzSystem/search/CqzSearchValueText.h"

#include <map>

namespace
{
class SearchEditor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetManagers();
        search = SampleExpression();
        addr = CqzLabelMgr::Instance().NameToLabel(L"ADDR")->GetLabelID();
        stat = CqzLabelMgr::Instance().NameToLabel(L"STAT")->GetLabelID();
        msg = CqzLabelMgr::Instance().NameToLabel(L"MSG")->GetLabelID();
        rw = AddTestLabel(L"RW", eqzLabelDigital, 1);
        list = search.GetIfClause().GetEventList();
        host = std::make_unique<ExpressionHost>(list, instance);
        ASSERT_TRUE(host->Create(testres::IDD_FILTERLIKE));
    }
    void TearDown() override
    {
        host.reset();
        ResetManagers();
    }

    // The editor's windows by row (rows told apart by their top edge), in Tab order.
    std::vector<std::vector<CWnd*>> Rows() const
    {
        std::vector<CWnd*> windows;
        list->GetWindows(windows);
        std::map<int, std::vector<CWnd*>> byTop;
        for (CWnd* w : windows)
            byTop[ui::Rect(w).top()].push_back(w);
        std::vector<std::vector<CWnd*>> rows;
        for (auto& [top, row] : byTop)
            rows.push_back(row);
        return rows;
    }
    // The window at that place, or a recorded failure.
    CWnd* At(int row, int index) const
    {
        const auto rows = Rows();
        if (row < static_cast<int>(rows.size()) &&
            index < static_cast<int>(rows[static_cast<std::size_t>(row)].size()))
            return rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(index)];
        ADD_FAILURE() << "no window " << index << " in row " << row << " of " << rows.size();
        throw std::out_of_range("no such window");
    }
    QStringList Texts(int row) const
    {
        QStringList texts;
        const auto rows = Rows();
        for (CWnd* w : rows[static_cast<std::size_t>(row)])
            texts << ui::Text(w);
        return texts;
    }
    int Last(int row) const
    {
        return static_cast<int>(Rows()[static_cast<std::size_t>(row)].size()) - 1;
    }
    // Lets the posted relayouts run.
    void Settle() const { QTest::qWait(1); }
    std::vector<unsigned int> TakeMessages() const
    {
        Settle();
        auto messages = host->pane->messages;
        host->pane->messages.clear();
        return messages;
    }
    const CqzPatternModel* Pattern(int event) const
    {
        return list->GetEvent(event)->GetEventLabel();
    }
    void Choose(CWnd* combo, const QString& entry)
    {
        auto choose = ui::ChooseInList(entry);
        ui::Click(combo);
        ASSERT_TRUE(choose->Wait());
    }
    void Menu(CWnd* button, const QString& item)
    {
        auto choose = ui::ChooseInPopup(item);
        ui::Click(button);
    }

    CqzID instance;
    CqzID addr, stat, msg, rw;
    CqzSearchModel search;
    CqzSearchEventList* list = nullptr;
    std::unique_ptr<ExpressionHost> host;
};
} // namespace

TEST_F(SearchEditor, ShowsOneRowPerEventInTabOrder)
{
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(Texts(0), (QStringList{"ADDR", "in range", "1000", "1fff", "AND", ""}));
    EXPECT_EQ(Texts(1), (QStringList{"STAT", "=", "3?", "OR", ""}));
    EXPECT_EQ(Texts(2), (QStringList{"MSG", "contains", "err", ""}));
    // The bracketed rows are indented; rows follow one another downwards.
    EXPECT_GT(ui::Rect(rows[1][0]).left(), ui::Rect(rows[0][0]).left());
    EXPECT_LT(ui::Rect(rows[0][0]).bottom(), ui::Rect(rows[1][0]).top());
    EXPECT_EQ(ui::Rect(rows[1][0]).left(), ui::Rect(rows[2][0]).left());
}

TEST_F(SearchEditor, EditsGoThroughTheSearchModel)
{
    // Label: STAT becomes the one-bit RW.
    Choose(At(1, 0), "RW");
    EXPECT_EQ(Pattern(1)->GetLabelInfo().GetLabelID(), rw);
    EXPECT_EQ(TakeMessages(), std::vector<unsigned int>{eqzSearchPatternChanged});

    // Operator: the one-bit label offers levels.
    Choose(At(1, 1), "high");
    EXPECT_FALSE(Pattern(1)->IsMultiBitMode());
    EXPECT_EQ(Pattern(1)->GetSingleBitChoice(), eqzSingleHigh);
    EXPECT_EQ(TakeMessages(), std::vector<unsigned int>{eqzSearchPatternChanged});
    EXPECT_EQ(Texts(1), (QStringList{"RW", "high", "OR", ""})) << "a level has no value field";

    // Value: the range's lower bound.
    // (Enter would also press the dialog's default button; a person leaves the field with Tab.)
    ui::TypeInto(At(0, 2), "2000");
    ui::Key(ui::WidgetOf(At(0, 2)), Qt::Key_Tab);
    CqzUInt low, high;
    Pattern(0)->GetValue(low, high);
    EXPECT_EQ(low, CqzUInt(0x2000));
    EXPECT_EQ(high, CqzUInt(0x1fff));
    EXPECT_EQ(TakeMessages(), std::vector<unsigned int>{eqzSearchPatternChanged});

    // A value that is no number is refused: the field keeps it, marked with the reason, until
    // it is mended.
    ui::TypeInto(At(0, 3), "zz");
    ui::Key(ui::WidgetOf(At(0, 3)), Qt::Key_Tab);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(ui::Text(At(0, 3)), "zz");
    int row = -1;
    CString reason;
    ASSERT_TRUE(list->GetView()->FindProblem(row, reason));
    EXPECT_EQ(row, 0);
    EXPECT_NE(reason.Str().find(L"not a hexadecimal number"), std::wstring::npos);
    ui::TypeInto(At(0, 3), "1fff");
    ui::Key(ui::WidgetOf(At(0, 3)), Qt::Key_Tab);
    EXPECT_FALSE(list->GetView()->FindProblem(row, reason));

    // Conjunction.
    Choose(At(0, 4), "OR");
    EXPECT_EQ(list->GetConjAfter(0)->GetType(), eqzConjOr);
    EXPECT_EQ(TakeMessages(), std::vector<unsigned int>{eqzSearchConjChanged});
    EXPECT_EQ(host->pane->layouts, 5) << "one layout at the start and one per message";
}

TEST_F(SearchEditor, EventsAndBracketsAreAddedAndRemovedFromTheRowMenu)
{
    Menu(At(2, Last(2)), "Add Event After");
    ASSERT_EQ(list->GetEventCount(), 4);
    EXPECT_EQ(TakeMessages(), std::vector<unsigned int>{eqzSearchEventAdded});
    EXPECT_EQ(Pattern(3)->GetLabelInfo().GetLabelID(), msg);
    EXPECT_EQ(Rows().size(), 4u);
    EXPECT_TRUE(list->IsWellFormed());
    EXPECT_EQ(list->GetDepth(3), 1) << "added inside the group of the event it follows";

    Menu(At(0, Last(0)), "Remove Event");
    EXPECT_EQ(list->GetEventCount(), 3);
    EXPECT_EQ(TakeMessages(), std::vector<unsigned int>{eqzSearchEventRemoved});
    EXPECT_EQ(Pattern(0)->GetLabelInfo().GetLabelID(), stat);
    EXPECT_TRUE(list->IsWellFormed());

    Menu(At(0, Last(0)), "Remove Brackets");
    EXPECT_EQ(list->GetDepth(0), 0);
    EXPECT_EQ(TakeMessages(), std::vector<unsigned int>{eqzSearchEventChanged});
    Menu(At(1, Last(1)), "Bracket With Next");
    EXPECT_EQ(list->GetDepth(1), 1);
    EXPECT_EQ(list->GetDepth(2), 1);
    EXPECT_EQ(list->GetDepth(0), 0);
    EXPECT_TRUE(list->IsWellFormed());

    QStringList texts;
    auto read = ui::ReadPopup(texts);
    ui::Click(At(2, Last(2)));
    EXPECT_EQ(texts, (QStringList{"Add Event After", "Add Event Before", "Remove Event", "-",
                                  "Bracket With Next (grey)", "Remove Brackets"}));
}

TEST_F(SearchEditor, AnEmptyExpressionOffersToAddAnEvent)
{
    while (list->GetEventCount() > 0)
        list->RemoveEvent(0, true, true);
    EXPECT_EQ(list->GetComponentCount(), 0);
    Settle();
    std::vector<CWnd*> windows;
    list->GetWindows(windows);
    ASSERT_EQ(windows.size(), 1u);
    Menu(windows[0], "Add Event");
    EXPECT_EQ(list->GetEventCount(), 1);
    EXPECT_EQ(Pattern(0)->GetLabelInfo().GetLabelID(), addr);
}

TEST(SearchValueText, HexadecimalWithDontCareDigits)
{
    CqzUInt value, mask;
    ASSERT_TRUE(CqzSearchValueText::Parse(L"3?", value, mask));
    EXPECT_EQ(value, CqzUInt(0x30));
    EXPECT_EQ(mask, CqzUInt(0x0f));
    EXPECT_EQ(CqzSearchValueText::Format(value, mask), CString(L"3?"));
    ASSERT_TRUE(CqzSearchValueText::Parse(L"b1x0", value, mask));
    EXPECT_EQ(CqzSearchValueText::Format(value, mask), CString(L"b01x0"));
    ASSERT_TRUE(CqzSearchValueText::Parse(L"0xDEAD", value, mask));
    EXPECT_EQ(CqzSearchValueText::Format(value, mask), CString(L"dead"));
    ASSERT_TRUE(CqzSearchValueText::Parse(L"d42", value, mask));
    EXPECT_EQ(value, CqzUInt(42));
    for (const wchar_t* bad : {L"", L"0x", L"3g", L"b102", L"h123456789012345678901234567890123"})
        EXPECT_FALSE(CqzSearchValueText::Parse(bad, value, mask)) << CString(bad).ToUtf8();
    EXPECT_EQ(value, CqzUInt(42)) << "a refused text leaves the value";
}

TEST_F(SearchEditor, ReportsItsExtentAndRemovesItsWindowsOnRequest)
{
    // Laid out again from a position further down and scrolled by (0, 10).
    CqzSearchCreateViewParameters p;
    CDC* dc = host->pane->GetDC();
    p.SetDC(dc);
    p.SetFont(host->GetFont());
    p.SetParent(host->pane.get());
    p.SetVCtrl(19);
    p.SetVCtrlSpacing(3);
    p.SetHDBU(7);
    p.SetPosition(7, 40);
    p.SetOffsetPosition(0, 10);
    p.SetMaxPosition(50, 0);
    p.SetInstanceID(instance);
    list->CreateView(p);
    host->pane->ReleaseDC(dc);

    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(ui::Rect(rows[0][0]).top(), 30) << "placed at the position less the offset";
    EXPECT_EQ(p.GetPosition(), CPoint(7, 40 + 3 * 19 + 2 * 3)) << "left below the last row";
    int right = 0;
    for (const auto& row : rows)
        right = std::max(right, ui::Rect(row.back()).right() + 1);
    EXPECT_EQ(p.GetMaxPosition().x, right) << "widened to the right end of the widest row";

    list->DestroyView();
    std::vector<CWnd*> windows;
    list->GetWindows(windows);
    EXPECT_TRUE(windows.empty());
    EXPECT_TRUE(host->pane->GetChildren().empty());
}
