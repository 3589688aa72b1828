#pragma once
// A host for the search-expression editor as the filter editor will host it: a flexible
// dialog whose placeholder area holds a pane; the pane observes the event list and lays the
// editor out again, through its message queue, after every message of the list.

#include "ui/UiTestResources.h"

#include "mfc/ui/AfxWin.h"
#include "mfc/ui/CDC.h"
#include "mvc/IMessage.h"
#include "mvc/IObserver.h"
#include "qzSystem/search/CqzSearchCreateViewParameters.h"
#include "qzSystem/search/CqzSearchEventList.h"
#include "qzSystem/ui/CqzFlexDialog.h"
#include "qzSystem/ui/CqzMenuButton.h"

#include <vector>

constexpr UINT WM_RELAYOUT = 0x81A;

class ExpressionPane : public CWnd, public foundation::IObserver
{
public:
    ExpressionPane(CqzSearchEventList* list, CFont* font, CPoint units, const CqzID& instance)
        : m_list(list), m_font(font), m_units(units), m_instance(instance)
    {
    }
    ~ExpressionPane() override
    {
        m_list->RemoveObserver(this);
        m_list->DestroyView();
    }
    void OnUpdate(foundation::ISubject*, foundation::IMessage* message) override
    {
        messages.push_back(message->GetTypeID());
        PostMessage(WM_RELAYOUT);
    }
    void Layout()
    {
        CDC* dc = GetDC();
        CqzSearchCreateViewParameters p;
        p.SetDC(dc);
        p.SetFont(m_font);
        p.SetParent(this);
        p.SetVCtrl(m_units.y * 12 / 8);
        p.SetVCtrlSpacing(m_units.y * 2 / 8);
        p.SetHDBU(m_units.x);
        p.SetPosition(m_units.x, m_units.y * 2 / 8);
        p.SetInstanceID(m_instance);
        m_list->CreateView(p);
        ReleaseDC(dc);
        ++layouts;
    }
    std::vector<unsigned int> messages;
    int layouts = 0;

protected:
    DECLARE_MESSAGE_MAP()
    LRESULT OnRelayout(WPARAM, LPARAM)
    {
        Layout();
        return 1;
    }

private:
    CqzSearchEventList* m_list;
    CFont* m_font;
    CPoint m_units;
    CqzID m_instance;
};

// The test dialog made flexible as the filter dialog is: the group widens, the placeholder
// grows, the buttons move with the lower right corner.
class FilterLikeDialog : public CqzFlexDialog
{
public:
    FilterLikeDialog() : CqzFlexDialog(L"FilterDlg", testres::IDD_FILTERLIKE)
    {
        AddFlexConstraint(testres::IDC_GROUP, NSFlexExpandRight, NSFlexVerticallyFixed);
        AddFlexConstraint(testres::IDC_PLACE, NSFlexExpandRight, NSFlexExpandDown);
        for (int id : {IDOK, IDCANCEL, testres::IDC_STORE, testres::IDC_RECALL, testres::IDC_HELP})
            AddFlexConstraint(static_cast<UINT>(id), NSFlexShiftRight, NSFlexShiftDown);
    }
    // A control's rectangle in client coordinates.
    CRect ItemRect(int id)
    {
        CRect rect;
        GetDlgItem(id)->GetWindowRect(rect);
        ScreenToClient(rect);
        return rect;
    }
};

class ExpressionHost : public FilterLikeDialog
{
public:
    ExpressionHost(CqzSearchEventList* list, const CqzID& instance)
        : m_list(list), m_instance(instance)
    {
    }
    BOOL OnInitDialog() override
    {
        CqzFlexDialog::OnInitDialog(nullptr);
        CheckDlgButton(testres::IDC_ENABLE, BST_CHECKED);
        store.Bind(testres::IDC_STORE, this, nullptr);
        recall.Bind(testres::IDC_RECALL, this, nullptr);
        CRect units(0, 0, 4, 8);
        MapDialogRect(units);
        pane = std::make_unique<ExpressionPane>(m_list, GetFont(),
                                                CPoint(units.right, units.bottom), m_instance);
        pane->CreateEx(WS_EX_CONTROLPARENT,
                       AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, nullptr,
                                           reinterpret_cast<HBRUSH>(
                                               static_cast<std::uintptr_t>(COLOR_BTNFACE + 1))),
                       L"qzFilterView", WS_CHILD | WS_VISIBLE | WS_BORDER, PlaceRect(), this,
                       0xFFFF);
        m_list->AddObserver(pane.get());
        pane->Layout();
        return TRUE;
    }
    std::unique_ptr<ExpressionPane> pane;
    CqzMenuButton store;
    CqzMenuButton recall;

protected:
    DECLARE_MESSAGE_MAP()
    void OnSize(UINT type, int cx, int cy)
    {
        CqzFlexDialog::OnSize(type, cx, cy);
        if (pane && pane->GetSafeHwnd() != nullptr)
            pane->MoveWindow(PlaceRect());
    }

private:
    CRect PlaceRect()
    {
        CRect rect = ItemRect(testres::IDC_PLACE);
        rect.right += 1;
        rect.bottom += 1;
        return rect;
    }
    CqzSearchEventList* m_list;
    CqzID m_instance;
};
