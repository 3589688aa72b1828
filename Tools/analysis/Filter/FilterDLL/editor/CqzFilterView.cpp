#include "editor/CqzFilterView.h"

#include "editor/CqzSelectBkMode.h"
#include "editor/CqzSelectDC.h"
#include "editor/CqzSelectFont.h"
#include "editor/CqzSelectPen.h"
#include "editor/CqzSelectStock.h"
#include "mfc/ui/AfxWin.h"
#include "mfc/ui/CDC.h"
#include "mfc/ui/CFont.h"
#include "model/CqzFilterMessages.h"
#include "model/CqzFilterModel.h"
#include "mvc/IMessage.h"
#include "qzSystem/search/CqzSearchCreateViewParameters.h"

#include <algorithm>

namespace
{
const wchar_t* const EmptyText = L"Click here to insert new filter";

// Messages after which the controls may have to move: the search models' (passed on by the
// filter model) and the filter model's own.
bool ChangesLayout(unsigned int type)
{
    static const unsigned int types[] = {102, 103, 104, 114, 201, 202, 203, 204, 205, 4306};
    return std::find(std::begin(types), std::end(types), type) != std::end(types);
}
} // namespace

struct CqzFilterView::SqzImp
{
    int rowHeight = 0;
    int gap = 0;
    int h = 0;
    int v = 0;
    CFont font;
    int width = 0;
    int height = 0;
    std::vector<CPoint> levels;
    int layouts = 0;
    // A relayout is posted and has not run yet: more messages need no second one.
    bool relayoutPosted = false;
};

BEGIN_MESSAGE_MAP(CqzFilterView, CScrollView)
ON_WM_SIZE()
ON_WM_MOUSEACTIVATE()
ON_WM_LBUTTONDOWN()
ON_MESSAGE(CqzFilterView::WM_RELAYOUT, OnRelayout)
ON_MESSAGE(CqzFilterView::WM_HOST_RELAYOUT, OnRelayout)
END_MESSAGE_MAP()

CqzFilterView::CqzFilterView() : m_imp(std::make_unique<SqzImp>()) {}

CqzFilterView::~CqzFilterView()
{
    m_imp->levels.clear();
}

void CqzFilterView::SetMetrics(int v, int h, const LOGFONT* font)
{
    m_imp->rowHeight = (v * 12) / 8;
    m_imp->gap = (v * 2) / 8;
    m_imp->h = h;
    m_imp->v = v;
    m_imp->font.DeleteObject();
    m_imp->font.CreateFontIndirect(font);
}

CqzFilterModel* CqzFilterView::GetFilterModel() const
{
    return dynamic_cast<CqzFilterModel*>(GetMvcModel());
}

void CqzFilterView::GetWindows(std::vector<CWnd*>& windows)
{
    if (CqzFilterModel* model = GetFilterModel())
        model->UpdateView(windows);
}

const std::vector<CPoint>& CqzFilterView::GetLevels() const
{
    return m_imp->levels;
}

CSize CqzFilterView::GetExtent() const
{
    return CSize(m_imp->width, m_imp->height);
}

int CqzFilterView::GetLayoutCount() const
{
    return m_imp->layouts;
}

void CqzFilterView::Layout()
{
    CqzFilterModel* model = GetFilterModel();
    if (model == nullptr)
        return;
    CqzSelectDC dc(this);
    CqzSelectFont font(dc.GetDC(), &m_imp->font);
    CqzSearchCreateViewParameters parameters;
    const CPoint scroll = GetDeviceScrollPosition();
    LockWindowUpdate();
    parameters.SetDC(dc.GetDC());
    parameters.SetFont(&m_imp->font);
    parameters.SetParent(this);
    parameters.SetVCtrl(m_imp->rowHeight);
    parameters.SetVCtrlSpacing(m_imp->gap);
    parameters.SetPosition(m_imp->h, m_imp->gap);
    parameters.SetOffsetPosition(scroll);
    parameters.SetHDBU(m_imp->h);
    parameters.SetInstanceID(model->GetID());
    model->AttachView(parameters);
    m_imp->levels = parameters.GetLevels();
    m_imp->width = parameters.GetMaxPosition().x;
    m_imp->height = parameters.GetMaxPosition().y;
    ++m_imp->layouts;
    UpdateScrollSizes();
    UnlockWindowUpdate();
}

void CqzFilterView::UpdateScrollSizes()
{
    CPoint pos = GetDeviceScrollPosition();
    CRect client;
    GetClientRect(client);
    const CSize total(m_imp->width + 2 * m_imp->h, m_imp->height);
    if (client.Width() + pos.x > m_imp->width)
        pos.x = std::max(0, total.cx - client.Width() - 1);
    if (client.Height() + pos.y > m_imp->height)
        pos.y = std::max(0, m_imp->height - client.Height() - 1);
    SetScrollSizes(MM_TEXT, total, sizeDefault, CSize(client.Width() >> 2, m_imp->v + m_imp->gap));
    ScrollToPosition(pos);
}

void CqzFilterView::OnSize(UINT type, int cx, int cy)
{
    CScrollView::OnSize(type, cx, cy);
    UpdateScrollSizes();
}

void CqzFilterView::OnDraw(CDC* dc)
{
    const std::vector<CPoint>& levels = m_imp->levels;
    if (!levels.empty())
    {
        CqzSelectStock brush(dc, NULL_BRUSH);
        CqzSelectPen pen(dc, PS_SOLID, 0, RGB(0, 0, 0));
        for (std::size_t i = 0; i + 1 < levels.size(); ++i)
            dc->Rectangle(levels[i].x, levels[i].y, m_imp->width + m_imp->h + 1,
                          levels[i + 1].y + 1);
        return;
    }
    CqzSelectBkMode mode(dc, TRANSPARENT);
    CqzSelectStock pen(dc, BLACK_PEN);
    CqzSelectFont font(dc, &m_imp->font);
    CRect client;
    GetClientRect(client);
    dc->DrawText(EmptyText, client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CqzFilterView::OnUpdate(foundation::ISubject*, foundation::IMessage* message)
{
    if (message == nullptr || GetSafeHwnd() == nullptr)
        return;
    const unsigned int type = message->GetTypeID();
    if (type == CqzFilterModelAttachedMessage::TypeID)
    {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_imp->font.GetSafeHandle()), FALSE);
        PostRelayout();
    }
    else if (ChangesLayout(type))
        PostRelayout();
}

void CqzFilterView::PostRelayout()
{
    if (!m_imp->relayoutPosted)
        m_imp->relayoutPosted = PostMessage(WM_RELAYOUT) != FALSE;
}

LRESULT CqzFilterView::OnRelayout(WPARAM, LPARAM)
{
    m_imp->relayoutPosted = false;
    Layout();
    Invalidate(TRUE);
    return 1;
}

void CqzFilterView::OnLButtonDown(UINT, CPoint)
{
    if (CWnd::GetFocus() != this)
        SetFocus();
    if (CqzFilterModel* model = GetFilterModel(); model != nullptr && model->GetSize() == 0)
        model->Reset();
}

int CqzFilterView::OnMouseActivate(CWnd*, UINT, UINT)
{
    return MA_NOACTIVATE;
}

void CqzFilterView::OnInitialUpdate()
{
    CqzMvcViewport::Create(this, nullptr);
    SetScrollSizes(MM_TEXT, CSize(0, 0));
}
