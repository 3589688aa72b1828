// The host's widgets driven as a person would: the flexible dialog, menu buttons, the
// drop-down list, the colour well and the text and favourites dialogs.

#include "common/UiDriver.h"
#include "ui/ExpressionHost.h"

#include "mfc/ui/CMenu.h"
#include "qzSystem/commands/CqzValueChangedCmd.h"
#include "qzSystem/managers/CqzHelpMgr.h"
#include "qzSystem/ui/CqzAlphaKeypadDlg.h"
#include "qzSystem/ui/CqzChevronMenuBtn.h"
#include "qzSystem/ui/CqzColorWellButton.h"
#include "qzSystem/ui/CqzComboBox.h"
#include "qzSystem/ui/CqzFavoriteClearDlg.h"
#include "qzSystem/ui/CqzFavoriteMoreDlg.h"
#include "qzSystem/ui/CqzFavoriteNameDlg.h"
#include "qzSystem/ui/CqzStatic.h"
#include "qzSystem/ui/CqzSystemResources.h"

#include <QColorDialog>
#include <QImage>

using namespace testres;

namespace
{
// The owner of a control's command: records each value and source it is called with.
struct Owner
{
    CqzControlCmd* command = nullptr;
    std::vector<std::int32_t> values;
    CWnd* source = nullptr;
    bool OnChanged()
    {
        values.push_back(command->GetValue());
        source = command->GetSource();
        return true;
    }
};

class HostWidgets : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.Create(IDD_FILTERLIKE));
        CqzHelpMgr::Instance().Reset();
        CqzHelpMgr::Instance().SetBrowserEnabled(false);
    }
    FilterLikeDialog dialog;
};
} // namespace

TEST_F(HostWidgets, FlexDialogMovesAndGrowsItsControlsAsConstrained)
{
    std::map<int, CRect> before;
    for (int id : {IDC_GROUP, IDC_PLACE, IDOK, IDC_HELP, IDC_ENABLE})
        before[id] = dialog.ItemRect(id);
    QWidget* window = ui::WidgetOf(&dialog);
    const QSize initial = window->size();
    window->resize(initial + QSize(60, 40));
    QApplication::processEvents();

    auto moved = [&](int id, int dl, int dt, int dr, int db)
    {
        const CRect b = before[id];
        EXPECT_EQ(dialog.ItemRect(id), CRect(b.left + dl, b.top + dt, b.right + dr, b.bottom + db))
            << id;
    };
    moved(IDC_GROUP, 0, 0, 60, 0);
    moved(IDC_PLACE, 0, 0, 60, 40);
    moved(IDOK, 60, 40, 60, 40);
    moved(IDC_HELP, 60, 40, 60, 40);
    moved(IDC_ENABLE, 0, 0, 0, 0);

    window->resize(initial - QSize(100, 100));
    QApplication::processEvents();
    EXPECT_EQ(window->size(), initial) << "never smaller than its template";
    moved(IDOK, 0, 0, 0, 0);
}

TEST_F(HostWidgets, HelpKeyReachesTheDialogsHelpHook)
{
    ui::Key(ui::WidgetOf(&dialog), Qt::Key_F1);
    ASSERT_EQ(CqzHelpMgr::Instance().GetRequestedTopics().size(), 1u);
    EXPECT_EQ(CqzHelpMgr::Instance().GetRequestedTopics()[0], CString(L"FilterDlg.htm"));
    EXPECT_TRUE(CqzHelpMgr::Instance().DisplayHelpTopic(L"To_filter_or_colorize_data.htm"));
    EXPECT_FALSE(CqzHelpMgr::Instance().DisplayHelpTopic(L"No_such_topic.htm"));
}

TEST_F(HostWidgets, MenuButtonWritesTheChosenIdIntoItsCommand)
{
    CMenu popup;
    popup.CreatePopupMenu();
    popup.AppendMenu(MF_STRING, 22817, L"New...");
    popup.AppendMenu(MF_SEPARATOR);
    popup.AppendMenu(MF_STRING | MF_GRAYED, 22818, L"Delete...");
    popup.AppendMenu(MF_STRING, 22820, L"#1 - Night");
    Owner owner;
    CqzMenuButtonValueChangedCmd<Owner> command(&owner, &Owner::OnChanged);
    owner.command = &command;
    CqzMenuButton store;
    ASSERT_TRUE(store.Bind(IDC_STORE, &dialog, popup, 0, 0));
    store.SetValueChangedCmd(&command);
    store.ShowToolTip(L"Store the setup", -1, -1, -1);
    EXPECT_EQ(ui::WidgetOf(&store)->toolTip(), "Store the setup");
    EXPECT_EQ(ui::Text(&store), "Store Favorite");

    auto choose = ui::ChooseInPopup("#1 - Night");
    ui::Click(&store);
    EXPECT_EQ(owner.values, std::vector<std::int32_t>{22820});
    EXPECT_EQ(owner.source, &store);

    CMenu other;
    other.CreatePopupMenu();
    other.AppendMenu(MF_STRING, 7, L"Last");
    store.SetMenu(other);
    choose = ui::ChooseInPopup("Last");
    ui::Click(&store);
    EXPECT_EQ(owner.values.back(), 7);

    // A chevron button made as a window of its own, and a menu closed without a choice.
    CqzChevronMenuBtn chevron;
    ASSERT_TRUE(chevron.Create(L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(5, 60, 22, 80),
                               &dialog, 8, other));
    chevron.SetValueChangedCmd(&command);
    QStringList texts;
    auto read = ui::ReadPopup(texts);
    ui::Click(&chevron);
    EXPECT_EQ(texts, QStringList{"Last"});
    EXPECT_EQ(owner.values.size(), 2u) << "closing the menu chooses nothing";
}

TEST_F(HostWidgets, StaticShowsItsBackgroundColour)
{
    CqzStatic name;
    ASSERT_TRUE(name.Create(L"Idle", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE,
                            CRect(10, 60, 90, 80), &dialog));
    name.SetBkColor(RGB(255, 0, 0));
    EXPECT_EQ(ui::Text(&name), "Idle");
    const QImage image = ui::WidgetOf(&name)->grab().toImage();
    EXPECT_EQ(image.pixel(2, 2), qRgb(255, 0, 0));
}

TEST_F(HostWidgets, ComboAndColourWellReportTheChoice)
{
    Owner typeOwner;
    CqzComboBoxValueChangedCmd<Owner> typeCommand(&typeOwner, &Owner::OnChanged);
    typeOwner.command = &typeCommand;
    CqzComboBox type;
    ASSERT_TRUE(type.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST,
                            CRect(10, 60, 90, 140), &dialog, 1));
    type.SetValueChangedCmd(&typeCommand);
    for (const wchar_t* text : {L"Show ", L"Hide ", L"Color "})
        type.AddString(text);
    type.SetCurSel(1);
    auto choose = ui::ChooseInList("Color ");
    ui::Click(&type);
    ASSERT_TRUE(choose->Wait());
    EXPECT_EQ(typeOwner.values, std::vector<std::int32_t>{2});
    EXPECT_EQ(typeOwner.source, &type);

    Owner colorOwner;
    CqzColorWellButtonValueChangedCmd<Owner> colorCommand(&colorOwner, &Owner::OnChanged);
    colorOwner.command = &colorCommand;
    CqzColorWellButton well;
    ASSERT_TRUE(well.Create(L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(100, 60, 150, 80),
                            &dialog, 1, 0));
    well.SetValueChangedCmd(&colorCommand);
    auto red = ui::ChooseInPopup("Red");
    ui::Click(&well);
    EXPECT_EQ(well.GetColor(), RGB(255, 0, 0));

    auto more = ui::ChooseInPopup("More...");
    auto chooser = ui::AnswerModal(
        [](QWidget* modal)
        {
            auto* colors = qobject_cast<QColorDialog*>(modal);
            ASSERT_NE(colors, nullptr);
            colors->setCurrentColor(QColor(0x12, 0x34, 0x56));
            colors->accept();
        });
    ui::Click(&well);
    EXPECT_EQ(colorOwner.values, (std::vector<std::int32_t>{0x0000FF, 0x563412}));
    EXPECT_EQ(well.GetColor(), RGB(0x12, 0x34, 0x56));

    // Cancelled chooser: nothing changes.
    more = ui::ChooseInPopup("More...");
    chooser = ui::AnswerModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    ui::Click(&well);
    EXPECT_EQ(colorOwner.values.size(), 2u);
}

TEST(HostDialogs, TextAndFavouritesDialogsReturnWhatWasChosen)
{
    const std::vector<CString> names = {L"Idle", L"Errors", L"DMA"};
    CqzFavoriteNameDlg name;
    name.SetName(L"MyFavorite #4");
    auto typed = ui::AnswerModal(
        [&](QWidget*)
        {
            ui::TypeInto(name.GetDlgItem(qzres::IDC_TEXT), "Bursts");
            ui::Click(name.GetDlgItem(IDOK));
        });
    EXPECT_EQ(name.DoModal(), IDOK);
    EXPECT_EQ(name.GetName(), CString(L"Bursts"));

    CqzAlphaKeypadDlg keypad(2, false);
    keypad.SetCaption(L"Rename Filter");
    keypad.SetData(L"Idle");
    QString caption;
    auto renamed = ui::AnswerModal(
        [&](QWidget* modal)
        {
            caption = modal->windowTitle();
            ui::TypeInto(keypad.GetDlgItem(qzres::IDC_TEXT), "Idle bus");
            ui::Key(modal, Qt::Key_Return);
        });
    EXPECT_EQ(keypad.DoModal(), IDOK);
    EXPECT_EQ(caption, "Rename Filter");
    EXPECT_EQ(keypad.GetData(), CString(L"Idle bus"));

    CqzFavoriteMoreDlg more(names, false);
    auto picked = ui::AnswerModal(
        [&](QWidget*)
        {
            auto choose = ui::ChooseInList("#3 - DMA");
            ui::Click(more.GetDlgItem(qzres::IDC_LIST));
            ASSERT_TRUE(choose->Wait());
            ui::Click(more.GetDlgItem(IDOK));
        });
    EXPECT_EQ(more.DoModal(), IDOK);
    EXPECT_EQ(more.GetRecallIndex(), 2);

    CqzFavoriteClearDlg clear(names);
    auto ticked = ui::AnswerModal(
        [&](QWidget*)
        {
            ui::Click(clear.GetDlgItem(qzres::IDC_FIRST_CHECK));
            ui::Click(clear.GetDlgItem(qzres::IDC_FIRST_CHECK + 2));
            ui::Click(clear.GetDlgItem(IDOK));
        });
    EXPECT_EQ(clear.DoModal(), IDOK);
    EXPECT_EQ(clear.GetClearIndicies(), (std::vector<int>{0, 2}));
}

TEST(HostDialogs, CancelReturnsNothing)
{
    const std::vector<CString> names = {L"Idle", L"Errors"};
    auto escape = [](QWidget* modal) { ui::Key(modal, Qt::Key_Escape); };

    CqzFavoriteNameDlg name;
    name.SetName(L"MyFavorite #3");
    auto answer = ui::AnswerModal(
        [&](QWidget* modal)
        {
            ui::TypeInto(name.GetDlgItem(qzres::IDC_TEXT), "Changed");
            escape(modal);
        });
    EXPECT_EQ(name.DoModal(), IDCANCEL);
    EXPECT_EQ(name.GetName(), CString(L"MyFavorite #3"));

    CqzFavoriteMoreDlg more(names, true);
    answer = ui::AnswerModal(escape);
    EXPECT_EQ(more.DoModal(), IDCANCEL);
    EXPECT_LT(more.GetRecallIndex(), 0);

    CqzFavoriteClearDlg clear(names);
    answer = ui::AnswerModal(
        [&](QWidget* modal)
        {
            ui::Click(clear.GetDlgItem(qzres::IDC_FIRST_CHECK));
            ui::Click(clear.GetDlgItem(IDCANCEL));
            (void)modal;
        });
    EXPECT_EQ(clear.DoModal(), IDCANCEL);
    EXPECT_TRUE(clear.GetClearIndicies().empty());
}
