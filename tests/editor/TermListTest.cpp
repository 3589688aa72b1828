// The term list of the dialog: term menus and what they do to the model and the focus, names,
// disabled terms, the action controls, the boxes, and relayouts per model message.

#include "editor/EditorFixture.h"

#include "FilterResource.h"
#include "mfc/ui/AfxWin.h"
#include "qzSystem/ui/CqzColorWellButton.h"
#include "qzSystem/ui/CqzStatic.h"

#include <QLineEdit>

using namespace qzfilterres;

namespace
{
int RelayoutsIn(const std::vector<AFX_RECORDED_MSG>& log)
{
    return static_cast<int>(std::count_if(log.begin(), log.end(),
                                          [](const AFX_RECORDED_MSG& m)
                                          { return m.message == CqzFilterView::WM_RELAYOUT; }));
}
} // namespace

TEST_F(EditorFixture, PopupIndexFollowsTermCountEnableStateAndShownName)
{
    Edit(
        [](CqzFilterDlg& dialog)
        {
            EXPECT_EQ(Terms(dialog)->GetPopupIndex(0), 0);
            EXPECT_EQ(MenuTexts(Terms(dialog)->GetButton(0)).at(2), "Delete Filter Clause (grey)");
            TermCommand(dialog, 0, "&Show Name");
            EXPECT_EQ(Terms(dialog)->GetPopupIndex(0), 1);
            TermCommand(dialog, 0, "Insert Filter Clause &After");
            EXPECT_EQ(Terms(dialog)->GetPopupIndex(0), 4);
            EXPECT_EQ(Terms(dialog)->GetPopupIndex(1), 3);
            TermCommand(dialog, 1, "D&isable Filter Clause");
            EXPECT_EQ(Terms(dialog)->GetPopupIndex(1), 5);
            const QStringList texts = MenuTexts(Terms(dialog)->GetButton(1));
            EXPECT_TRUE(texts.contains("Hide Name (grey)"));
            EXPECT_TRUE(texts.contains("Enable Filter Clause"));
            TermCommand(dialog, 1, "&Enable Filter Clause");
            EXPECT_EQ(Terms(dialog)->GetPopupIndex(1), 4) << "enabled, name still shown";
        });
}

TEST_F(EditorFixture, InsertKeepsTheFocusOnTheTermItCameFromAndDeleteMovesItToANeighbour)
{
    Edit(
        [](CqzFilterDlg& dialog)
        {
            TermCommand(dialog, 0, "&Show Name");
            dialog.GetFilterModel().SetFilterName(0, L"origin");
            Settle();
            TermCommand(dialog, 0, "Insert Filter Clause &Before");
            ASSERT_EQ(dialog.GetFilterModel().GetSize(), 2);
            EXPECT_EQ(dialog.GetFilterModel().GetFilterName(1), CString(L"origin"));
            EXPECT_TRUE(ui::HasFocus(Terms(dialog)->GetButton(1)));
            TermCommand(dialog, 1, "Insert Filter Clause &After");
            EXPECT_TRUE(ui::HasFocus(Terms(dialog)->GetButton(1)));
            // Deleting the last of three focuses the term above; deleting the first, the new first.
            Terms(dialog)->GetButton(0)->SetFocus();
            TermCommand(dialog, 2, "&Delete Filter Clause");
            EXPECT_TRUE(ui::HasFocus(Terms(dialog)->GetButton(1))) << "the term above";
            TermCommand(dialog, 0, "&Delete Filter Clause");
            EXPECT_EQ(dialog.GetFilterModel().GetSize(), 1);
            EXPECT_TRUE(ui::HasFocus(Terms(dialog)->GetButton(0)));
        });
}

TEST_F(EditorFixture, RenameTakesTheTextOnOkOnly)
{
    Edit(
        [](CqzFilterDlg& dialog)
        {
            for (const bool ok : {false, true})
            {
                auto keypad = ui::AnswerModal(
                    [ok](QWidget* modal)
                    {
                        EXPECT_EQ(modal->windowTitle(), "Rename Filter");
                        modal->findChild<QLineEdit*>()->setText("bus read");
                        if (ok)
                            Press(modal, "OK");
                        else
                            Press(modal, "Cancel");
                    },
                    ui::WidgetOf(&dialog));
                TermCommand(dialog, 0, "&Rename...");
                EXPECT_TRUE(keypad->Done());
                EXPECT_EQ(dialog.GetFilterModel().GetFilterName(0) == CString(L"bus read"), ok);
            }
        });
}

TEST_F(EditorFixture, DisabledTermShowsOnlyItsRedNameAndButton)
{
    Edit(
        [](CqzFilterDlg& dialog)
        {
            TermCommand(dialog, 0, "D&isable Filter Clause");
            auto* label = static_cast<CqzStatic*>(Terms(dialog)->GetLabel(0));
            ASSERT_NE(label, nullptr);
            EXPECT_TRUE(label->HasBkColor());
            EXPECT_EQ(label->GetBkColor(), 0x0000FFu);
            EXPECT_EQ(Action(dialog, 0), nullptr);
            std::vector<CWnd*> windows;
            dialog.GetView()->GetWindows(windows);
            EXPECT_EQ(windows, std::vector<CWnd*>{Terms(dialog)->GetButton(0)});
        });
}

TEST_F(EditorFixture, NameShownMovesTheActionToTheNextRowIndented)
{
    Edit(
        [](CqzFilterDlg& dialog)
        {
            const QRect button = ui::Rect(Terms(dialog)->GetButton(0));
            const QRect before = ui::Rect(Action(dialog, 0)->GetTypeList());
            EXPECT_EQ(before.top(), button.top());
            TermCommand(dialog, 0, "&Show Name");
            const QRect after = ui::Rect(Action(dialog, 0)->GetTypeList());
            EXPECT_GT(after.top(), button.bottom());
            CRect units(0, 0, 4, 8);
            dialog.MapDialogRect(units);
            EXPECT_EQ(after.left(), button.left() + GetSystemMetrics(SM_CXVSCROLL) + units.right);
        });
}

TEST_F(EditorFixture, ColorShowsTheWellBeforeWhenAndAColourNeedsNoRelayout)
{
    Edit(
        [](CqzFilterDlg& dialog)
        {
            CqzFilterActionView* action = Action(dialog, 0);
            EXPECT_EQ(ui::Text(action->GetTypeList()), "Hide ");
            EXPECT_FALSE(action->GetColorWell()->IsWindowVisible());
            const int whenAlone = ui::Rect(action->GetWhenLabel()).left();
            auto pick = ui::ChooseInList("Color ");
            ui::Click(action->GetTypeList());
            ASSERT_TRUE(pick->Wait());
            Settle();
            EXPECT_EQ(dialog.GetFilterModel().GetTerms()[0].action->GetType(), eqzFilterColor);
            ASSERT_TRUE(action->GetColorWell()->IsWindowVisible());
            const QRect well = ui::Rect(action->GetColorWell());
            EXPECT_GT(well.left(), ui::Rect(action->GetTypeList()).right());
            EXPECT_GT(ui::Rect(action->GetWhenLabel()).left(), well.right());
            EXPECT_GT(ui::Rect(action->GetWhenLabel()).left(), whenAlone);
            action->GetTypeList()->SetFocus();
            ui::Key(ui::WidgetOf(&dialog), Qt::Key_Tab);
            EXPECT_TRUE(ui::HasFocus(action->GetColorWell())) << "Tab reaches the well";

            std::vector<AFX_RECORDED_MSG> log;
            dialog.GetView()->RecordMessages(&log);
            const int layouts = dialog.GetView()->GetLayoutCount();
            Choose(action->GetColorWell(),
                   QString::fromWCharArray(CqzColorWellButton::GetCommonColors()[1].name));
            dialog.GetView()->RecordMessages(nullptr);
            EXPECT_EQ(dialog.GetFilterModel().GetTerms()[0].action->GetColor(),
                      CqzColorWellButton::GetCommonColors()[1].color);
            EXPECT_EQ(RelayoutsIn(log), 0);
            EXPECT_EQ(dialog.GetView()->GetLayoutCount(), layouts);
        });
}

TEST_F(EditorFixture, LayoutMessagesShareOneRelayoutAndOthersNeedNone)
{
    Edit(
        [](CqzFilterDlg& dialog)
        {
            CqzFilterModel& model = dialog.GetFilterModel();
            std::vector<AFX_RECORDED_MSG> log;
            dialog.GetView()->RecordMessages(&log);
            model.SetFilterName(0, L"a");
            model.SetShowFilterName(0, true);
            model.InsertAfter(nullptr, nullptr, 0);
            model.GetTerms()[0].action->SetType(eqzFilterShow);
            const int layouts = dialog.GetView()->GetLayoutCount();
            Settle();
            EXPECT_EQ(RelayoutsIn(log), 1) << "one relayout however many messages came first";
            EXPECT_EQ(dialog.GetView()->GetLayoutCount(), layouts + 1);
            model.SetEnabled(false);
            model.SetEnabled(true);
            model.GetTerms()[0].action->SetColor(0x00FF00);
            Settle();
            dialog.GetView()->RecordMessages(nullptr);
            EXPECT_EQ(RelayoutsIn(log), 1);
        });
}

TEST_F(EditorFixture, OneBoxPerTermEndingAtWidthPlusUnitPlusOne)
{
    Edit(
        [](CqzFilterDlg& dialog)
        {
            TermCommand(dialog, 0, "Insert Filter Clause &After");
            TermCommand(dialog, 0, "&Show Name");
            const std::vector<CPoint>& levels = dialog.GetView()->GetLevels();
            ASSERT_EQ(levels.size(), 3u);
            CRect units(0, 0, 4, 8);
            dialog.MapDialogRect(units);
            for (const CPoint& level : levels)
                EXPECT_EQ(level.x, units.right);
            EXPECT_LT(levels[0].y, levels[1].y);
            EXPECT_LT(levels[1].y, levels[2].y);
            // The first button starts two spacings below the first box's top.
            EXPECT_EQ(ui::Rect(Terms(dialog)->GetButton(0)).top(),
                      levels[0].y + 2 * ((units.bottom * 2) / 8));
            // A box's right edge, as drawn: the grabbed list has a black pixel there.
            const QImage picture = ui::WidgetOf(dialog.GetView())->grab().toImage();
            // Just below the box's top edge only its two sides are drawn; the list's border
            // shifts everything by one pixel.
            const int y = levels[0].y + 2;
            int black = -1;
            for (int x = levels[0].x + 2; x < picture.width() && black < 0; ++x)
                if (picture.pixelColor(x, y) == Qt::black)
                    black = x;
            EXPECT_EQ(black, dialog.GetView()->GetExtent().cx + units.right + 1);
        });
}

TEST_F(EditorFixture, EmptyListInvitesAClickThatInsertsATerm)
{
    Edit(
        [](CqzFilterDlg& dialog)
        {
            dialog.GetFilterModel().Remove(0, true);
            Settle();
            EXPECT_TRUE(dialog.GetView()->GetLevels().empty());
            ui::Click(dialog.GetView());
            Settle();
            EXPECT_EQ(dialog.GetFilterModel().GetSize(), 1);
            EXPECT_EQ(dialog.GetView()->GetLevels().size(), 2u);
        });
}

TEST_F(EditorFixture, EnlargingUntilTheTermsFitScrollsBackToTheTop)
{
    Edit(
        [](CqzFilterDlg& dialog)
        {
            QWidget* top = ui::WidgetOf(&dialog);
            top->resize(top->width(), top->height() - 320);
            TermCommand(dialog, 0, "Insert Filter Clause &After");
            TermCommand(dialog, 0, "Insert Filter Clause &After");
            Settle();
            CqzFilterView* view = dialog.GetView();
            view->ScrollToPosition(CPoint(0, 40));
            ASSERT_EQ(view->GetDeviceScrollPosition().y, 40);
            top->resize(top->width(), top->height() + 400);
            Settle();
            EXPECT_EQ(view->GetDeviceScrollPosition().y, 0);
        });
}

// What a layout costs, counted: with the names shown, a second layout of unchanged terms makes
// no window and changes no font, and the first one changes no font of a row's controls either
// (a font change makes a drop-down list build its popup list, with a timer of its own pending:
// the toolkit's cost per timer then grows with the number of terms).
TEST_F(EditorFixture, RelayoutOfUnchangedTermsMakesNoWindowAndSetsNoFont)
{
    Edit(
        [](CqzFilterDlg& dialog)
        {
            struct Counter : QObject
            {
                int made = 0;
                int fonts = 0;
                bool eventFilter(QObject*, QEvent* event) override
                {
                    made += event->type() == QEvent::ChildAdded ? 1 : 0;
                    fonts += event->type() == QEvent::FontChange ? 1 : 0;
                    return false;
                }
            } counter;
            CqzFilterModel& model = dialog.GetFilterModel();
            qApp->installEventFilter(&counter);
            for (int i = 0; i < 30; ++i)
            {
                model.InsertAfter(nullptr, nullptr, i);
                model.SetShowFilterName(i + 1, true);
            }
            Settle();
            EXPECT_GT(counter.made, 30 * 5);
            EXPECT_EQ(counter.fonts, 0);
            counter.made = 0;
            dialog.GetView()->Layout();
            Settle();
            qApp->removeEventFilter(&counter);
            EXPECT_EQ(counter.made, 0);
            EXPECT_EQ(counter.fonts, 0);
            ASSERT_NE(Terms(dialog)->GetLabel(30), nullptr);
        });
}
