// The dialog "Filter" opened through the tool's editor command: OK and Cancel, the enable
// radio buttons, Tab order, help, the favourite menus and what their items do.

#include "editor/EditorFixture.h"

#include "FilterResource.h"
#include "mfc/ui/CMenu.h"
#include "qzSystem/ui/CqzMenuButton.h"
#include "qzSystem/managers/CqzHelpMgr.h"
#include "qzSystem/persist/CqzFavorites.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>

#include <cstdlib>

using namespace qzfilterres;

TEST_F(EditorFixture, ToolListsOneEditorCommandOfKindFiveOnly)
{
    EXPECT_TRUE(tool->GetUICmds(4).empty());
    const std::vector<CqzUICmdBase*> commands = tool->GetUICmds(CqzUICmdBase::TypeID);
    ASSERT_EQ(commands.size(), 1u);
    CString text;
    commands[0]->Sprint(text);
    EXPECT_EQ(text, CString(L"CqzFilterUICmd"));
}

TEST_F(EditorFixture, CancelLeavesTheModelAndOkAppliesTheEditedCopy)
{
    EXPECT_EQ(Edit(
                  [](CqzFilterDlg& dialog)
                  {
                      EXPECT_EQ(dialog.GetFilterModel().GetSize(), 1) << "a default term";
                      TermCommand(dialog, 0, "Insert Filter Clause &After");
                      ui::Click(dialog.GetDlgItem(IDCANCEL));
                  }),
              1);
    EXPECT_EQ(tool->GetFilterModel().GetSize(), 0);
    EXPECT_FALSE(tool->HasAppliedSetup());

    // The radio buttons follow the whole filter's state.
    Edit(
        [](CqzFilterDlg& dialog)
        {
            TermCommand(dialog, 0, "Insert Filter Clause &After");
            EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_ENABLE), BST_CHECKED);
            ui::Click(dialog.GetDlgItem(IDC_DISABLE));
            EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_ENABLE), BST_UNCHECKED);
            EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_DISABLE), BST_CHECKED);
            EXPECT_FALSE(dialog.GetFilterModel().IsEnabled());
            ui::Click(dialog.GetDlgItem(IDC_ENABLE));
            EXPECT_TRUE(dialog.GetFilterModel().IsEnabled());
            ui::Click(dialog.GetDlgItem(IDC_DISABLE));
            ui::Click(dialog.GetDlgItem(IDOK));
        });
    EXPECT_EQ(tool->GetFilterModel().GetSize(), 2);
    EXPECT_FALSE(tool->GetFilterModel().IsEnabled());
    EXPECT_TRUE(tool->HasAppliedSetup());
}

TEST_F(EditorFixture, TabWrapsBothWaysAndSkipsADisabledRecallButton)
{
    Edit(
        [](CqzFilterDlg& dialog)
        {
            ASSERT_FALSE(dialog.GetDlgItem(IDC_RECALL)->IsWindowEnabled());
            QWidget* any = ui::WidgetOf(&dialog);
            dialog.GetDlgItem(IDC_HELP_BUTTON)->SetFocus();
            ui::Key(any, Qt::Key_Tab);
            EXPECT_TRUE(ui::HasFocus(dialog.GetDlgItem(IDC_ENABLE)));
            ui::Key(any, Qt::Key_Backtab, Qt::ShiftModifier);
            EXPECT_TRUE(ui::HasFocus(dialog.GetDlgItem(IDC_HELP_BUTTON)));
            dialog.GetDlgItem(IDC_STORE)->SetFocus();
            ui::Key(any, Qt::Key_Tab);
            EXPECT_TRUE(ui::HasFocus(dialog.GetDlgItem(IDOK))) << "Recall is disabled";
            // Through the term: its menu button, then its type list.
            dialog.GetDlgItem(IDC_DISABLE)->SetFocus();
            ui::Key(any, Qt::Key_Tab);
            EXPECT_TRUE(ui::HasFocus(Terms(dialog)->GetButton(0)));
            ui::Key(any, Qt::Key_Tab);
            EXPECT_TRUE(ui::HasFocus(Action(dialog, 0)->GetTypeList()));
        });
}

TEST_F(EditorFixture, HelpShowsTheFilterTopic)
{
    CqzHelpMgr::Instance().Reset();
    CqzHelpMgr::Instance().SetBrowserEnabled(false);
    Edit([](CqzFilterDlg& dialog) { ui::Click(dialog.GetDlgItem(IDC_HELP_BUTTON)); });
    ASSERT_EQ(CqzHelpMgr::Instance().GetRequestedTopics().size(), 1u);
    EXPECT_EQ(CqzHelpMgr::Instance().GetRequestedTopics()[0],
              CString(L"To_filter_or_colorize_data.htm"));
}

TEST_F(EditorFixture, ResizingKeepsTheListOnePixelLargerThanThePlaceholder)
{
    Edit(
        [](CqzFilterDlg& dialog)
        {
            QWidget* top = ui::WidgetOf(&dialog);
            top->resize(top->width() + 120, top->height() + 80);
            Settle();
            CRect place;
            dialog.GetDlgItem(IDC_ALIGNMENT)->GetWindowRect(place);
            CRect list;
            dialog.GetView()->GetWindowRect(list);
            EXPECT_EQ(list.left, place.left);
            EXPECT_EQ(list.top, place.top);
            EXPECT_EQ(list.Width(), place.Width() + 1);
            EXPECT_EQ(list.Height(), place.Height() + 1);
        });
}

// Menu contents at depth 4 by number of favourites and whether a setup was applied.
struct MenuCase
{
    int favorites;
    bool applied;
    bool recallEnabled;
    QStringList store;
    QStringList recall;
};

class FavoriteMenus : public EditorFixture, public ::testing::WithParamInterface<MenuCase>
{
};

TEST_P(FavoriteMenus, ListItemsGreyingAndIdentifiers)
{
    AddFavorites(GetParam().favorites);
    if (GetParam().applied)
        tool->ApplySetup(tool->GetFilterModel());
    Edit(
        [](CqzFilterDlg& dialog)
        {
            EXPECT_EQ(MenuTexts(dialog.GetDlgItem(IDC_STORE)), GetParam().store);
            CWnd* recall = dialog.GetDlgItem(IDC_RECALL);
            ASSERT_EQ(recall->IsWindowEnabled() != FALSE, GetParam().recallEnabled);
            if (GetParam().recallEnabled)
            {
                EXPECT_EQ(MenuTexts(recall), GetParam().recall);
            }
        });
}

INSTANTIATE_TEST_SUITE_P(
    Depth4, FavoriteMenus,
    ::testing::Values(
        MenuCase{0, false, false, {"New...", "-", "Delete... (grey)", "Delete All (grey)"}, {}},
        MenuCase{0,
                 true,
                 true,
                 {"New...", "-", "Delete... (grey)", "Delete All (grey)"},
                 {"Last", "-", "Delete... (grey)", "Delete All (grey)"}},
        MenuCase{1,
                 false,
                 true,
                 {"New...", "-", "Delete...", "Delete All", "-", "#1 - Fav1"},
                 {"#1 - Fav1", "-", "Last (grey)", "-", "Delete...", "Delete All"}},
        MenuCase{6,
                 true,
                 true,
                 {"New...", "-", "Delete...", "Delete All", "-", "#1 - Fav1", "#2 - Fav2",
                  "#3 - Fav3", "#4 - Fav4", "-", "More..."},
                 {"#1 - Fav1", "#2 - Fav2", "#3 - Fav3", "#4 - Fav4", "-", "More...", "-", "Last",
                  "-", "Delete...", "Delete All"}}));

namespace
{
// The command identifiers of a menu button's popup, separators left out.
std::vector<UINT> MenuIDs(CqzFilterDlg& dialog, UINT button)
{
    CMenu* menu =
        CMenu::FromHandle(static_cast<CqzMenuButton*>(dialog.GetDlgItem(button))->GetMenu());
    std::vector<UINT> ids;
    for (int i = 0; i < menu->GetMenuItemCount(); ++i)
        if (menu->GetMenuItemID(i) != 0)
            ids.push_back(menu->GetMenuItemID(i));
    return ids;
}
} // namespace

TEST_F(EditorFixture, SixFavoritesUseTheListedIdentifiers)
{
    AddFavorites(6);
    tool->ApplySetup(tool->GetFilterModel());
    Edit(
        [](CqzFilterDlg& dialog)
        {
            const std::vector<UINT> expected = {22817, 22818, 22819, 22820,
                                                22821, 22822, 22823, 22824};
            EXPECT_EQ(MenuIDs(dialog, IDC_STORE), expected);
            EXPECT_EQ(MenuIDs(dialog, IDC_RECALL), expected);
        });
}

TEST_F(EditorFixture, StoringANewFavoriteWithABlankNameUsesTheNumberedDefault)
{
    AddFavorites(1);
    Edit(
        [](CqzFilterDlg& dialog)
        {
            auto name = ui::AnswerModal(
                [](QWidget* modal)
                {
                    modal->findChild<QLineEdit*>()->setText("   ");
                    Press(modal, "OK");
                },
                ui::WidgetOf(&dialog));
            Choose(dialog.GetDlgItem(IDC_STORE), "New...");
            EXPECT_TRUE(name->Done());
            EXPECT_EQ(MenuTexts(dialog.GetDlgItem(IDC_STORE)).mid(5),
                      (QStringList{"#1 - Fav1", "#2 - MyFavorite #2"}));
        });
    EXPECT_EQ(tool->GetFavorites().GetSize(), 2);
}

TEST_F(EditorFixture, StoringOverAFavoriteKeepsItsNameAndRecallReplacesTheWorkingCopy)
{
    AddFavorites(2);
    Edit(
        [](CqzFilterDlg& dialog)
        {
            TermCommand(dialog, 0, "Insert Filter Clause &After");
            ASSERT_EQ(dialog.GetFilterModel().GetSize(), 2);
            Choose(dialog.GetDlgItem(IDC_STORE), "#2 - Fav2");
            EXPECT_EQ(dialog.GetFilterModel().GetName(), CString(L"Fav2"));
            Choose(dialog.GetDlgItem(IDC_RECALL), "#1 - Fav1");
            EXPECT_EQ(dialog.GetFilterModel().GetName(), CString(L"Fav1"));
            EXPECT_NE(Terms(dialog)->GetButton(0), nullptr) << "the list was laid out again";
        });
    EXPECT_EQ(tool->GetFavoriteName(1), CString(L"Fav2"));
    EXPECT_EQ(tool->GetFilterModel().GetSize(), 0) << "cancelled";
}

TEST_F(EditorFixture, RecallLastBringsBackTheAppliedSetup)
{
    CqzFilterModel applied(tool->GetFilterModel());
    applied.Reset();
    applied.InsertAfter(nullptr, nullptr, -1);
    tool->ApplySetup(applied);
    Edit(
        [](CqzFilterDlg& dialog)
        {
            TermCommand(dialog, 0, "&Delete Filter Clause");
            ASSERT_EQ(dialog.GetFilterModel().GetSize(), 1);
            Choose(dialog.GetDlgItem(IDC_RECALL), "Last");
            EXPECT_EQ(dialog.GetFilterModel().GetSize(), 2);
        });
}

// "Delete All" from either menu, answered No and then Yes.
class DeleteAllFavorites : public EditorFixture, public ::testing::WithParamInterface<UINT>
{
};

TEST_P(DeleteAllFavorites, AsksFirst)
{
    AddFavorites(2);
    Edit(
        [this](CqzFilterDlg& dialog)
        {
            for (const bool yes : {false, true})
            {
                auto box = ui::AnswerModal(
                    [yes](QWidget* modal)
                    {
                        EXPECT_EQ(modal->windowTitle(), "Are You Sure?");
                        Press(modal, yes ? "Yes" : "No");
                    },
                    ui::WidgetOf(&dialog));
                Choose(dialog.GetDlgItem(GetParam()), "Delete All");
                EXPECT_TRUE(box->Done());
                EXPECT_EQ(tool->GetFavorites().GetSize(), yes ? 0 : 2);
            }
        });
    EXPECT_EQ(tool->GetFavorites().GetSize(), 0);
}

INSTANTIATE_TEST_SUITE_P(StoreAndRecall, DeleteAllFavorites,
                         ::testing::Values(IDC_STORE, IDC_RECALL));

TEST_F(EditorFixture, DeleteRemovesTheTickedFavoritesAndMoreReachesTheUnlisted)
{
    AddFavorites(6);
    Edit(
        [this](CqzFilterDlg& dialog)
        {
            auto clear = ui::AnswerModal(
                [](QWidget* modal)
                {
                    modal->findChildren<QCheckBox*>().at(0)->setChecked(true);
                    Press(modal, "OK");
                },
                ui::WidgetOf(&dialog));
            Choose(dialog.GetDlgItem(IDC_RECALL), "Delete...");
            EXPECT_TRUE(clear->Done());
            ASSERT_EQ(tool->GetFavorites().GetSize(), 5);
            EXPECT_EQ(tool->GetFavoriteName(0), CString(L"Fav2"));

            dialog.GetFilterModel().SetName(L"changed");
            auto more = ui::AnswerModal(
                [](QWidget* modal)
                {
                    modal->findChild<QComboBox*>()->setCurrentIndex(4);
                    Press(modal, "OK");
                },
                ui::WidgetOf(&dialog));
            Choose(dialog.GetDlgItem(IDC_RECALL), "More...");
            EXPECT_TRUE(more->Done());
            EXPECT_EQ(dialog.GetFilterModel().GetName(), CString(L"Fav6"));
        });
}

// Tabbing once round the dialog (a Color term, so its colour well is a stop too): each stop
// looks different with the focus than after the focus has left it, so a person sees where the
// focus is. QZ_PICTURE_DIR=DIR writes the dialog at every stop as DIR/focus-NN.png.
TEST_F(EditorFixture, EveryTabStopDrawsAFocusMark)
{
    Edit(
        [](CqzFilterDlg& dialog)
        {
            auto pick = ui::ChooseInList("Color ");
            ui::Click(Action(dialog, 0)->GetTypeList());
            ASSERT_TRUE(pick->Wait());
            Settle();
            // Active before the first Tab, as for a person: a late activation hides the mark.
            QWidget* top = ui::WidgetOf(&dialog);
            ui::Activate(top);
            Settle();
            const char* pictures = std::getenv("QZ_PICTURE_DIR");
            std::vector<QWidget*> stops;
            std::vector<QImage> images;
            for (int i = 0; i < 80; ++i)
            {
                ui::Key(top, Qt::Key_Tab);
                Settle();
                QWidget* focus = QApplication::focusWidget();
                ASSERT_NE(focus, nullptr);
                if (!stops.empty() && focus == stops.front())
                    break;
                stops.push_back(focus);
                images.push_back(top->grab().toImage());
                if (pictures != nullptr)
                    images.back().save(
                        QString("%1/focus-%2.png").arg(pictures).arg(i, 2, 10, QChar('0')));
            }
            ASSERT_GE(stops.size(), 10u);
            for (std::size_t i = 0; i < stops.size(); ++i)
            {
                const QRect area(stops[i]->mapTo(top, QPoint(0, 0)), stops[i]->size());
                const QImage& next = images[(i + 1) % images.size()];
                EXPECT_NE(images[i].copy(area), next.copy(area))
                    << "stop " << i << " (" << stops[i]->metaObject()->className()
                    << ") draws no focus mark";
            }
        });
}
