#include "mfc/ui/CScrollView.h"

#include "mfc/ui/AfxWin.h"
#include "mfc/ui/AfxWndImp.h"
#include "mfc/ui/CDC.h"

#include <QEvent>
#include <QScrollBar>

#include <algorithm>
#include <functional>

const SIZE CScrollView::sizeDefault = {0, 0};

namespace
{
// Lays the scroll bars and the client area out whenever the outer window changes size.
class Frame : public QObject
{
public:
    Frame(QObject* parent, std::function<void()> layout)
        : QObject(parent), m_layout(std::move(layout))
    {
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            m_layout();
        return false;
    }

private:
    std::function<void()> m_layout;
};
} // namespace

struct CScrollView::SqzImp
{
    CSize total;
    CSize page;
    CSize line;
    CPoint position;
    QScrollBar* horizontal = nullptr;
    QScrollBar* vertical = nullptr;
};

BEGIN_MESSAGE_MAP(CScrollView, CView)
ON_WM_SIZE()
END_MESSAGE_MAP()

CScrollView::CScrollView() : m_imp(new SqzImp) {}

CScrollView::~CScrollView()
{
    delete m_imp;
}

BOOL CScrollView::CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style,
                           const RECT& rect, CWnd* parent, UINT id, void*)
{
    if (!CView::CreateEx(exStyle, className, windowName, style, rect, parent, id))
        return FALSE;
    QWidget* outer = afxqt::Outer(this);
    auto* client = new QzWindow(this, outer);
    client->setPalette(outer->palette());
    client->setAutoFillBackground(outer->autoFillBackground());
    client->show();
    GetImp()->SetClient(client);
    m_imp->horizontal = new QScrollBar(Qt::Horizontal, outer);
    m_imp->vertical = new QScrollBar(Qt::Vertical, outer);
    QObject::connect(m_imp->horizontal, &QScrollBar::valueChanged,
                     [this](int x) { ScrollTo(x, m_imp->position.y); });
    QObject::connect(m_imp->vertical, &QScrollBar::valueChanged,
                     [this](int y) { ScrollTo(m_imp->position.x, y); });
    outer->installEventFilter(new Frame(outer, [this] { UpdateBars(); }));
    UpdateBars();
    return TRUE;
}

void CScrollView::SetScrollSizes(int, SIZE total, const SIZE& page, const SIZE& line)
{
    m_imp->total =
        CSize(std::max(0, static_cast<int>(total.cx)), std::max(0, static_cast<int>(total.cy)));
    m_imp->page = page;
    m_imp->line = line;
    UpdateBars();
}

CSize CScrollView::GetTotalSize() const
{
    return m_imp->total;
}

CPoint CScrollView::GetDeviceScrollPosition() const
{
    return m_imp->position;
}

void CScrollView::ScrollToPosition(POINT position)
{
    const int maxX = m_imp->horizontal ? m_imp->horizontal->maximum() : 0;
    const int maxY = m_imp->vertical ? m_imp->vertical->maximum() : 0;
    ScrollTo(std::clamp(static_cast<int>(position.x), 0, maxX),
             std::clamp(static_cast<int>(position.y), 0, maxY));
}

void CScrollView::OnPrepareDC(CDC* dc)
{
    dc->SetViewportOrg(-m_imp->position.x, -m_imp->position.y);
}

void CScrollView::OnSize(UINT, int, int) {}

void CScrollView::UpdateBars()
{
    QWidget* outer = afxqt::Outer(this);
    QWidget* client = afxqt::Client(this);
    if (outer == nullptr || client == nullptr || client == outer)
        return;
    const int border = (GetStyle() & WS_BORDER) ? 1 : 0;
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    const int width = outer->width() - 2 * border;
    const int height = outer->height() - 2 * border;
    bool needV = m_imp->total.cy > height;
    const bool needH = m_imp->total.cx > width - (needV ? bar : 0);
    needV = m_imp->total.cy > height - (needH ? bar : 0);
    const int clientW = std::max(0, width - (needV ? bar : 0));
    const int clientH = std::max(0, height - (needH ? bar : 0));

    QScrollBar* h = m_imp->horizontal;
    QScrollBar* v = m_imp->vertical;
    const QSignalBlocker blockH(h);
    const QSignalBlocker blockV(v);
    h->setVisible(needH);
    v->setVisible(needV);
    h->setGeometry(border, border + clientH, clientW, bar);
    v->setGeometry(border + clientW, border, bar, clientH);
    h->setRange(0, std::max(0, static_cast<int>(m_imp->total.cx) - clientW));
    v->setRange(0, std::max(0, static_cast<int>(m_imp->total.cy) - clientH));
    h->setPageStep(m_imp->page.cx > 0 ? m_imp->page.cx : std::max(1, clientW));
    v->setPageStep(m_imp->page.cy > 0 ? m_imp->page.cy : std::max(1, clientH));
    h->setSingleStep(m_imp->line.cx > 0 ? m_imp->line.cx : std::max(1, clientW / 10));
    v->setSingleStep(m_imp->line.cy > 0 ? m_imp->line.cy : std::max(1, clientH / 10));
    client->setGeometry(border, border, clientW, clientH);
    ScrollTo(std::min(static_cast<int>(m_imp->position.x), h->maximum()),
             std::min(static_cast<int>(m_imp->position.y), v->maximum()));
}

void CScrollView::ScrollTo(int x, int y)
{
    const int dx = m_imp->position.x - x;
    const int dy = m_imp->position.y - y;
    m_imp->position = CPoint(x, y);
    {
        const QSignalBlocker blockH(m_imp->horizontal);
        const QSignalBlocker blockV(m_imp->vertical);
        m_imp->horizontal->setValue(x);
        m_imp->vertical->setValue(y);
    }
    if (dx == 0 && dy == 0)
        return;
    // The children move with the content.
    for (CWnd* child : GetChildren())
        if (QWidget* widget = afxqt::Outer(child))
            widget->move(widget->pos() + QPoint(dx, dy));
    Invalidate();
}
