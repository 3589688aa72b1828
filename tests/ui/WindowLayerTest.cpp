// The window layer as the editor uses it: dialog units, GDI's pixels, message dispatch,
// accelerators, menus and message boxes.

#include "common/UiDriver.h"
#include "ui/UiTestResources.h"

#include "mfc/AfxResource.h"
#include "mfc/ui/AfxWin.h"
#include "mfc/ui/CBrush.h"
#include "mfc/ui/CColorDialog.h"
#include "mfc/ui/CComboBox.h"
#include "mfc/ui/CDC.h"
#include "mfc/ui/CDialog.h"
#include "mfc/ui/CqzGuardedApplication.h"
#include "mfc/ui/CFont.h"
#include "mfc/ui/CMenu.h"
#include "mfc/ui/CPen.h"
#include "mfc/ui/CScrollView.h"
#include "mfc/ui/CStatic.h"

#include <QImage>
#include <QMessageBox>
#include <QPushButton>

#include <stdexcept>

using namespace testres;

namespace
{
// A window that draws what the test gives it, on white.
class Canvas : public CWnd
{
public:
    explicit Canvas(std::function<void(CDC&)> draw) : m_draw(std::move(draw))
    {
        CreateEx(0,
                 AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, nullptr, CBrush(RGB(255, 255, 255))),
                 L"canvas", WS_POPUP | WS_VISIBLE, CRect(0, 0, 40, 30), nullptr, 0);
    }
    QImage Picture() { return ui::WidgetOf(this)->grab().toImage(); }

protected:
    void OnPaint() override
    {
        CPaintDC dc(this);
        m_draw(dc);
    }

private:
    std::function<void(CDC&)> m_draw;
};

bool Dark(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

// The extent of the dark pixels: left, top, right, bottom (inclusive).
QRect Ink(const QImage& image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Dark(image, x, y))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

const UINT g_registered = 0xC123;

// Records what reaches its handlers.
class Receiver : public CWnd
{
public:
    std::vector<int> calls;

protected:
    DECLARE_MESSAGE_MAP()
    void OnSize(UINT, int cx, int cy) { calls.push_back(cx * 1000 + cy); }
    LRESULT OnApp(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam) * 2; }
    LRESULT OnRegistered(WPARAM, LPARAM) { return 7; }
    void OnRange(UINT id) { calls.push_back(static_cast<int>(id)); }
};

BEGIN_MESSAGE_MAP(Receiver, CWnd)
ON_WM_SIZE()
ON_MESSAGE(WM_APP + 1, OnApp)
ON_REGISTERED_MESSAGE(g_registered, OnRegistered)
ON_COMMAND_RANGE(200, 210, OnRange)
END_MESSAGE_MAP()

// A dialog that translates its accelerators as the filter dialog does.
class AccelDialog : public CDialog
{
public:
    AccelDialog() : CDialog(IDD_FILTERLIKE) {}
    std::vector<UINT> commands;
    HACCEL accelerators = nullptr;

    BOOL OnInitDialog() override
    {
        accelerators = LoadAccelerators(AfxGetResourceHandle(), IDR_ACCEL);
        return CDialog::OnInitDialog();
    }
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
            TranslateAccelerator(m_hWnd, accelerators, msg))
            return TRUE;
        return CDialog::PreTranslateMessage(msg);
    }

protected:
    DECLARE_MESSAGE_MAP()
    void OnTab(UINT id) { commands.push_back(id); }
};

BEGIN_MESSAGE_MAP(AccelDialog, CDialog)
ON_COMMAND_RANGE(ID_TAB, ID_BACKTAB, OnTab)
END_MESSAGE_MAP()
} // namespace

TEST(WindowLayer, DialogUnitsComeFromThePinnedDialogFont)
{
    CDialog dialog(IDD_FILTERLIKE);
    ASSERT_TRUE(dialog.Create(IDD_FILTERLIKE));
    // DejaVu Sans at 11 pixels: 7 pixels per average character, 13 per line.
    CRect units(0, 0, 4, 8);
    dialog.MapDialogRect(units);
    EXPECT_EQ(units, CRect(0, 0, 7, 13));

    CRect client;
    dialog.GetClientRect(client);
    EXPECT_EQ(client.Size(), CSize(541, 203));
    CRect ok;
    dialog.GetDlgItem(IDOK)->GetWindowRect(ok);
    dialog.ScreenToClient(ok);
    EXPECT_EQ(ok, CRect(256, 169, 343, 192));
    EXPECT_FALSE(dialog.GetDlgItem(IDC_PLACE)->IsWindowVisible());
    EXPECT_TRUE(dialog.GetDlgItem(IDC_GROUP)->IsWindowVisible());
}

TEST(WindowLayer, LinesAndRectanglesLeaveOutTheirLastPixel)
{
    Canvas canvas(
        [](CDC& dc)
        {
            dc.SelectStockObject(BLACK_PEN);
            dc.MoveTo(2, 2);
            dc.LineTo(10, 2);
            dc.MoveTo(2, 20);
            dc.LineTo(2, 26);
            dc.SelectStockObject(NULL_BRUSH);
            dc.Rectangle(12, 4, 20, 10);
            CBrush red(RGB(255, 0, 0));
            dc.SelectObject(&red);
            dc.Rectangle(24, 4, 30, 10);
        });
    const QImage image = canvas.Picture();
    EXPECT_TRUE(Dark(image, 2, 2));
    EXPECT_TRUE(Dark(image, 9, 2));
    EXPECT_FALSE(Dark(image, 10, 2)) << "LineTo draws its end point";
    EXPECT_TRUE(Dark(image, 2, 25));
    EXPECT_FALSE(Dark(image, 2, 26));
    // Outline on 12..19 x 4..9, hollow inside.
    EXPECT_TRUE(Dark(image, 12, 4));
    EXPECT_TRUE(Dark(image, 19, 9));
    EXPECT_FALSE(Dark(image, 20, 9));
    EXPECT_FALSE(Dark(image, 19, 10));
    EXPECT_FALSE(Dark(image, 15, 7));
    // Filled inside the outline only.
    EXPECT_EQ(image.pixel(26, 6), qRgb(255, 0, 0));
    EXPECT_TRUE(Dark(image, 29, 9));
    EXPECT_EQ(image.pixel(30, 6), qRgb(255, 255, 255));
}

TEST(WindowLayer, TextIsAnchoredAtItsTopAndCentredAsDrawTextSays)
{
    CSize extent;
    Canvas top(
        [&](CDC& dc)
        {
            dc.SetBkMode(TRANSPARENT);
            dc.TextOut(1, 0, L"T");
        });
    const QRect topInk = Ink(top.Picture());
    ASSERT_FALSE(topInk.isEmpty());
    EXPECT_GE(topInk.top(), 0);
    EXPECT_LE(topInk.top(), 4) << "the text hangs from its top, not its baseline";

    Canvas centred(
        [&](CDC& dc)
        {
            CRect box(0, 0, 40, 30);
            extent = dc.GetTextExtent(L"H");
            dc.SetBkMode(TRANSPARENT);
            dc.DrawText(L"H", box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        });
    const QRect ink = Ink(centred.Picture());
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.center().x(), 20, 1);
    EXPECT_NEAR(ink.center().y(), 15, 2);
    EXPECT_GT(extent.cx, 0);
    EXPECT_EQ(extent.cy, 13);

    // A measuring device context by handle, with a font selected and put back.
    HDC dc = GetDC(centred.m_hWnd);
    CFont bold;
    LOGFONT description;
    static_cast<CFont*>(CGdiObject::FromHandle(GetStockObject(DEFAULT_GUI_FONT)))
        ->GetLogFont(&description);
    description.lfWeight = FW_BOLD;
    bold.CreateFontIndirect(&description);
    HGDIOBJ previous = SelectObject(dc, bold);
    TEXTMETRIC metrics;
    ASSERT_TRUE(GetTextMetrics(dc, &metrics));
    EXPECT_EQ(metrics.tmWeight, FW_BOLD);
    EXPECT_EQ(metrics.tmHeight, metrics.tmAscent + metrics.tmDescent);
    EXPECT_EQ(SelectObject(dc, previous), bold.GetSafeHandle());
    EXPECT_EQ(ReleaseDC(centred.m_hWnd, dc), 1);
    EXPECT_EQ(ReleaseDC(centred.m_hWnd, dc), 0) << "given back once";
}

TEST(WindowLayer, MessagesGoThroughTheMessageMapSentAtOncePostedLater)
{
    Receiver window;
    std::vector<AFX_RECORDED_MSG> log;
    window.RecordMessages(&log);
    ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), L"receiver", WS_POPUP | WS_VISIBLE,
                                CRect(0, 0, 50, 40), nullptr, 0));
    window.MoveWindow(0, 0, 120, 60);
    QApplication::processEvents();
    ASSERT_FALSE(window.calls.empty());
    EXPECT_EQ(window.calls.back(), 120060);

    window.calls.clear();
    log.clear();
    EXPECT_EQ(window.SendMessage(WM_APP + 1, 21), 42);
    EXPECT_EQ(window.SendMessage(g_registered), 7);
    EXPECT_TRUE(window.PostMessage(WM_COMMAND, 205));
    EXPECT_TRUE(window.calls.empty()) << "a posted message waits for the queue";
    QApplication::processEvents();
    EXPECT_EQ(window.calls, std::vector<int>{205});
    const std::vector<AFX_RECORDED_MSG> expected = {
        {WM_APP + 1, 21, 0}, {g_registered, 0, 0}, {WM_COMMAND, 205, 0}};
    EXPECT_EQ(log, expected);
}

TEST(WindowLayer, ControlsAnswerTheirStandardMessages)
{
    CDialog dialog(IDD_FILTERLIKE);
    ASSERT_TRUE(dialog.Create(IDD_FILTERLIKE));
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(10, 10, 100, 110),
                             &dialog, 77));
    EXPECT_EQ(combo.AddString(L"Show "), 0);
    EXPECT_EQ(combo.AddString(L"Hide "), 1);
    EXPECT_EQ(combo.SetCurSel(1), 1);
    EXPECT_EQ(combo.SetCurSel(5), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), -1);
    CRect rect;
    combo.GetWindowRect(rect);
    EXPECT_LT(rect.Height(), 40) << "the window keeps the closed field's height";

    CWnd* enable = dialog.GetDlgItem(IDC_ENABLE);
    enable->SendMessage(BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(enable->SendMessage(BM_GETCHECK), BST_CHECKED);
    std::vector<AFX_RECORDED_MSG> log;
    dialog.RecordMessages(&log);
    ui::Click(dialog.GetDlgItem(IDC_DISABLE));
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_DISABLE), 0u) << "radio buttons are not automatic";
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_ENABLE), 1u);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].message, WM_COMMAND);
    EXPECT_EQ(log[0].wParam, MAKEWPARAM(IDC_DISABLE, BN_CLICKED));
    EXPECT_EQ(dialog.GetDlgItem(IDC_ENABLE)->GetFont(), dialog.GetFont());
}

TEST(WindowLayer, AcceleratorsReachTheDialogAndFocusMovesByHandle)
{
    AccelDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FILTERLIKE));
    ASSERT_NE(dialog.accelerators, nullptr);
    QWidget* widget = ui::WidgetOf(&dialog);
    ui::Key(widget, Qt::Key_Tab);
    ui::Key(widget, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(dialog.commands, (std::vector<UINT>{ID_TAB, ID_BACKTAB}));

    // Keys in a dialog of the toolkit's own (here the colour chooser) stay its own.
    auto chooser = ui::AnswerModal(
        [](QWidget* modal)
        {
            ui::Activate(modal);
            QTest::keyClick(modal->focusWidget() != nullptr ? modal->focusWidget() : modal,
                            Qt::Key_Tab);
            static_cast<QDialog*>(modal)->reject();
        });
    CColorDialog(0, 0, &dialog).DoModal();
    EXPECT_EQ(dialog.commands.size(), 2u);

    CWnd* help = dialog.GetDlgItem(IDC_HELP);
    ui::Activate(widget);
    dialog.SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(help->m_hWnd), TRUE);
    EXPECT_EQ(CWnd::GetFocus(), help);
}

TEST(WindowLayer, MenusLoadFromResourcesAndReturnTheChosenCommand)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_MENU));
    EXPECT_FALSE(CMenu().LoadMenu(9999));
    CMenu* first = menu.GetSubMenu(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetMenuItemCount(), 3);
    EXPECT_EQ(first->GetMenuItemID(0), 101u);
    EXPECT_TRUE(first->GetMenuState(102, MF_BYCOMMAND) & MF_GRAYED);
    first->EnableMenuItem(102, MF_BYCOMMAND | MF_ENABLED);
    first->AppendMenu(MF_STRING, 104, L"&Delta");

    CDialog dialog(IDD_FILTERLIKE);
    ASSERT_TRUE(dialog.Create(IDD_FILTERLIKE));
    QStringList texts;
    auto read = ui::ReadPopup(texts);
    first->TrackPopupMenu(TPM_RETURNCMD, 100, 100, &dialog);
    EXPECT_EQ(texts, (QStringList{"Alpha", "-", "Beta", "Delta"}));

    auto choose = ui::ChooseInPopup("Delta");
    EXPECT_EQ(first->TrackPopupMenu(TPM_RETURNCMD, 100, 100, &dialog), 104);
}

TEST(WindowLayer, MessageBoxBelongsToTheMainWindowAndReturnsTheAnswer)
{
    CDialog main(IDD_FILTERLIKE);
    ASSERT_TRUE(main.Create(IDD_FILTERLIKE));
    AfxSetMainWnd(&main);
    QWidget* owner = nullptr;
    auto answer = ui::AnswerModal(
        [&owner](QWidget* box)
        {
            owner = box->parentWidget();
            for (auto* button : box->findChildren<QPushButton*>())
                if (ui::Plain(button->text()) == "No")
                    button->click();
        });
    EXPECT_EQ(
        MessageBox(nullptr, L"Delete All Favorites?", L"Are You Sure?", MB_YESNO | MB_ICONQUESTION),
        IDNO);
    EXPECT_TRUE(answer->Done());
    EXPECT_EQ(owner, ui::WidgetOf(&main));
    AfxSetMainWnd(nullptr);
}

namespace
{
// A view larger than its window, with one control far down in it.
class Sheet : public CScrollView
{
public:
    explicit Sheet(bool* deleted) : m_deleted(deleted) {}
    ~Sheet() override { *m_deleted = true; }
    void OnDraw(CDC* dc) override
    {
        origins.push_back(dc->GetViewportOrg());
        dc->Rectangle(0, 0, 300, 300);
    }
    std::vector<CPoint> origins;

private:
    bool* m_deleted;
};
} // namespace

TEST(WindowLayer, ScrollViewScrollsItsContentAndDeletesItself)
{
    CDialog dialog(IDD_FILTERLIKE);
    ASSERT_TRUE(dialog.Create(IDD_FILTERLIKE));
    bool deleted = false;
    auto* sheet = new Sheet(&deleted);
    ASSERT_TRUE(sheet->CreateEx(WS_EX_CONTROLPARENT, AfxRegisterWndClass(0), L"sheet",
                                WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 110, 90), &dialog,
                                5));
    sheet->OnInitialUpdate();
    CStatic label;
    ASSERT_TRUE(label.Create(L"far down", WS_CHILD | WS_VISIBLE, CRect(0, 150, 60, 165), sheet));

    sheet->SetScrollSizes(MM_TEXT, CSize(300, 300));
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    CRect client;
    sheet->GetClientRect(client);
    EXPECT_EQ(client.Size(), CSize(100 - 2 - bar, 80 - 2 - bar))
        << "both scroll bars take their room";

    sheet->ScrollToPosition(CPoint(50, 120));
    EXPECT_EQ(sheet->GetDeviceScrollPosition(), CPoint(50, 120));
    EXPECT_EQ(ui::Rect(&label).topLeft(), QPoint(-50, 30)) << "children move with the content";
    ui::WidgetOf(sheet)->grab();
    ASSERT_FALSE(sheet->origins.empty());
    EXPECT_EQ(sheet->origins.back(), CPoint(-50, -120));

    sheet->ScrollToPosition(CPoint(1000, 1000));
    EXPECT_EQ(sheet->GetDeviceScrollPosition(),
              CPoint(300 - client.Width(), 300 - client.Height()));

    sheet->SetScrollSizes(MM_TEXT, CSize(50, 50), CScrollView::sizeDefault,
                          CScrollView::sizeDefault);
    EXPECT_EQ(sheet->GetDeviceScrollPosition(), CPoint(0, 0))
        << "content that fits is not scrolled";
    EXPECT_EQ(ui::Rect(&label).topLeft(), QPoint(0, 150));
    sheet->GetClientRect(client);
    EXPECT_EQ(client.Size(), CSize(98, 78));

    sheet->DestroyWindow();
    EXPECT_TRUE(deleted) << "a view deletes itself when its window goes";
    EXPECT_EQ(label.GetSafeHwnd(), nullptr);
}

TEST(WindowLayer, OneWindowAtATimeIsLockedForDrawing)
{
    CDialog first(IDD_FILTERLIKE);
    CDialog second(IDD_FILTERLIKE);
    ASSERT_TRUE(first.Create(IDD_FILTERLIKE));
    ASSERT_TRUE(second.Create(IDD_FILTERLIKE));
    EXPECT_TRUE(first.LockWindowUpdate());
    EXPECT_FALSE(ui::WidgetOf(&first)->updatesEnabled());
    EXPECT_FALSE(LockWindowUpdate(second.m_hWnd));
    EXPECT_TRUE(LockWindowUpdate(nullptr));
    EXPECT_TRUE(ui::WidgetOf(&first)->updatesEnabled());
    EXPECT_TRUE(LockWindowUpdate(second.m_hWnd));
    second.UnlockWindowUpdate();
}

// An error thrown while an event is handled ends that event, not the program, and is said.
TEST(WindowLayer, AnErrorInAnEventIsSaidAndTheEventLoopGoesOn)
{
    auto* app = dynamic_cast<CqzGuardedApplication*>(QApplication::instance());
    ASSERT_NE(app, nullptr);
    struct SqzThrower : QObject
    {
        bool event(QEvent*) override { throw std::runtime_error("the page was refused"); }
    } thrower;
    QString said;
    ui::Answer box([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
                   [&said](QWidget* widget)
                   {
                       said = static_cast<QMessageBox*>(widget)->text();
                       static_cast<QMessageBox*>(widget)->accept();
                   },
                   "message box");
    const int before = app->GetCaughtCount();
    QEvent event(QEvent::User);
    EXPECT_FALSE(QApplication::sendEvent(&thrower, &event));
    EXPECT_FALSE(QApplication::sendEvent(&thrower, &event));
    EXPECT_EQ(app->GetCaughtCount(), before + 2);
    ASSERT_TRUE(box.Wait());
    EXPECT_EQ(said, QStringLiteral("the page was refused"));
}
