#include "mfc/ui/CDC.h"

#include "mfc/ui/AfxQt.h"
#include "mfc/ui/CBrush.h"
#include "mfc/ui/CFont.h"
#include "mfc/ui/CPen.h"
#include "mfc/ui/CWnd.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

#include <cstdlib>

struct CDC::SqzImp
{
    QPainter* painter = nullptr;
    CWnd* window = nullptr;
    HGDIOBJ font = nullptr;
    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
    int bkMode = OPAQUE;
    COLORREF bkColor = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);
    CPoint position;
    CPoint origin;

    QFont Font() const
    {
        return font != nullptr ? font->font : GetStockObject(DEFAULT_GUI_FONT)->font;
    }
    QPoint Map(int x, int y) const { return QPoint(x + origin.x, y + origin.y); }
};

CDC::CDC() : m_imp(new SqzImp)
{
    m_imp->pen = GetStockObject(BLACK_PEN);
    m_imp->brush = GetStockObject(WHITE_BRUSH);
    m_hDC = reinterpret_cast<HDC>(this);
    m_hAttribDC = m_hDC;
}

CDC::~CDC()
{
    delete m_imp;
}

void CDC::Begin(QPainter* painter, CWnd* window)
{
    m_imp->painter = painter;
    m_imp->window = window;
    if (window != nullptr && window->GetFont() != nullptr)
        m_imp->font = window->GetFont()->GetSafeHandle();
}

bool CDC::CanDraw() const
{
    return m_imp->painter != nullptr;
}

HGDIOBJ CDC::SelectObject(HGDIOBJ object)
{
    if (object == nullptr)
        return nullptr;
    HGDIOBJ* slot = object->kind == HGDIOBJ__::Font  ? &m_imp->font
                    : object->kind == HGDIOBJ__::Pen ? &m_imp->pen
                                                     : &m_imp->brush;
    HGDIOBJ previous = *slot;
    *slot = object;
    return previous != nullptr ? previous : GetStockObject(DEFAULT_GUI_FONT);
}

CFont* CDC::SelectObject(CFont* font)
{
    return font == nullptr ? nullptr : CFont::FromHandle(SelectObject(font->GetSafeHandle()));
}

CPen* CDC::SelectObject(CPen* pen)
{
    return pen == nullptr
               ? nullptr
               : static_cast<CPen*>(CGdiObject::FromHandle(SelectObject(pen->GetSafeHandle())));
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    return brush == nullptr
               ? nullptr
               : static_cast<CBrush*>(CGdiObject::FromHandle(SelectObject(brush->GetSafeHandle())));
}

CGdiObject* CDC::SelectStockObject(int index)
{
    return CGdiObject::FromHandle(SelectObject(GetStockObject(index)));
}

CFont* CDC::GetCurrentFont() const
{
    return CFont::FromHandle(m_imp->font != nullptr ? m_imp->font
                                                    : GetStockObject(DEFAULT_GUI_FONT));
}

int CDC::SetBkMode(int mode)
{
    const int previous = m_imp->bkMode;
    m_imp->bkMode = mode;
    return previous;
}

int CDC::GetBkMode() const
{
    return m_imp->bkMode;
}

COLORREF CDC::SetBkColor(COLORREF color)
{
    const COLORREF previous = m_imp->bkColor;
    m_imp->bkColor = color;
    return previous;
}

COLORREF CDC::SetTextColor(COLORREF color)
{
    const COLORREF previous = m_imp->textColor;
    m_imp->textColor = color;
    return previous;
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    const CPoint previous = m_imp->origin;
    m_imp->origin = CPoint(x, y);
    return previous;
}

CPoint CDC::GetViewportOrg() const
{
    return m_imp->origin;
}

CPoint CDC::MoveTo(int x, int y)
{
    const CPoint previous = m_imp->position;
    m_imp->position = CPoint(x, y);
    return previous;
}

BOOL CDC::LineTo(int x, int y)
{
    const CPoint from = m_imp->position;
    m_imp->position = CPoint(x, y);
    QPainter* painter = m_imp->painter;
    if (painter == nullptr || m_imp->pen->pen.style() == Qt::NoPen || (from.x == x && from.y == y))
        return TRUE;
    // The end point is left out: stop one step short along the major axis.
    const int dx = x - from.x;
    const int dy = y - from.y;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    const int endX = from.x + MulDiv(dx, steps - 1, steps);
    const int endY = from.y + MulDiv(dy, steps - 1, steps);
    painter->setPen(m_imp->pen->pen);
    painter->drawLine(m_imp->Map(from.x, from.y), m_imp->Map(endX, endY));
    return TRUE;
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom)
{
    QPainter* painter = m_imp->painter;
    if (painter == nullptr || right <= left || bottom <= top)
        return TRUE;
    const QPoint origin = m_imp->Map(left, top);
    const int width = right - left;
    const int height = bottom - top;
    const bool outline = m_imp->pen->pen.style() != Qt::NoPen;
    if (m_imp->brush->brush.style() != Qt::NoBrush)
    {
        // Without a pen the filled area is one pixel smaller at the right and bottom.
        const QRect fill = outline ? QRect(origin.x() + 1, origin.y() + 1, width - 2, height - 2)
                                   : QRect(origin.x(), origin.y(), width - 1, height - 1);
        painter->fillRect(fill, m_imp->brush->brush);
    }
    if (outline)
    {
        painter->setPen(m_imp->pen->pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRect(origin.x(), origin.y(), width - 1, height - 1));
    }
    return TRUE;
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color)
{
    if (m_imp->painter == nullptr || rect == nullptr)
        return;
    const CRect r(*rect);
    m_imp->painter->fillRect(QRect(m_imp->Map(r.left, r.top), QSize(r.Width(), r.Height())),
                             afxqt::ToQColor(color));
}

BOOL CDC::TextOut(int x, int y, const CString& text)
{
    QPainter* painter = m_imp->painter;
    if (painter == nullptr)
        return TRUE;
    const QFont font = m_imp->Font();
    const QFontMetrics metrics(font);
    const QString string = QString::fromWCharArray(text.GetString(), text.GetLength());
    const QPoint topLeft = m_imp->Map(x, y);
    if (m_imp->bkMode == OPAQUE)
        painter->fillRect(
            QRect(topLeft, QSize(metrics.horizontalAdvance(string), metrics.height())),
            afxqt::ToQColor(m_imp->bkColor));
    painter->setFont(font);
    painter->setPen(afxqt::ToQColor(m_imp->textColor));
    painter->drawText(topLeft + QPoint(0, metrics.ascent()), string);
    return TRUE;
}

int CDC::DrawText(const CString& text, LPRECT rect, UINT format)
{
    if (rect == nullptr)
        return 0;
    const CSize extent = GetTextExtent(text);
    CRect box(*rect);
    if (format & DT_CALCRECT)
    {
        rect->right = rect->left + extent.cx;
        rect->bottom = rect->top + extent.cy;
        return extent.cy;
    }
    int x = box.left;
    if (format & DT_CENTER)
        x = box.left + (box.Width() - extent.cx) / 2;
    else if (format & DT_RIGHT)
        x = box.right - extent.cx;
    int y = box.top;
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
        y = box.top + (box.Height() - extent.cy) / 2;
    else if ((format & DT_SINGLELINE) && (format & DT_BOTTOM))
        y = box.bottom - extent.cy;
    if (QPainter* painter = m_imp->painter)
    {
        painter->save();
        painter->setClipRect(
            QRect(m_imp->Map(box.left, box.top), QSize(box.Width(), box.Height())));
        TextOut(x, y, text);
        painter->restore();
    }
    return extent.cy;
}

void CDC::DrawButtonFace(LPCRECT rect, bool pressed, bool focused, bool enabled)
{
    QPainter* painter = m_imp->painter;
    QWidget* widget = afxqt::Outer(m_imp->window);
    if (painter == nullptr || rect == nullptr || widget == nullptr)
        return;
    const CRect r(*rect);
    QStyleOptionButton option;
    option.initFrom(widget);
    option.rect = QRect(m_imp->Map(r.left, r.top), QSize(r.Width(), r.Height()));
    // Whether the keyboard moved the focus (the style then marks it) comes from the widget.
    option.state &= QStyle::State_KeyboardFocusChange;
    option.state |= pressed ? QStyle::State_Sunken : QStyle::State_Raised;
    if (enabled)
        option.state |= QStyle::State_Enabled;
    if (focused)
        option.state |= QStyle::State_HasFocus;
    widget->style()->drawControl(QStyle::CE_PushButtonBevel, &option, painter, widget);
}

void CDC::DrawFocusRect(LPCRECT rect)
{
    if (m_imp->painter == nullptr || rect == nullptr)
        return;
    const CRect r(*rect);
    m_imp->painter->setPen(QPen(Qt::black, 0, Qt::DotLine));
    m_imp->painter->setBrush(Qt::NoBrush);
    m_imp->painter->drawRect(
        QRect(m_imp->Map(r.left, r.top), QSize(r.Width() - 1, r.Height() - 1)));
}

CSize CDC::GetTextExtent(const CString& text) const
{
    const QFontMetrics metrics(m_imp->Font());
    return CSize(
        metrics.horizontalAdvance(QString::fromWCharArray(text.GetString(), text.GetLength())),
        metrics.height());
}

BOOL CDC::GetTextMetrics(LPTEXTMETRIC metrics) const
{
    if (metrics == nullptr)
        return FALSE;
    const QFont font = m_imp->Font();
    const QFontMetrics fm(font);
    metrics->tmHeight = fm.height();
    metrics->tmAscent = fm.ascent();
    metrics->tmDescent = fm.descent();
    metrics->tmInternalLeading = std::max(0, fm.height() - font.pixelSize());
    metrics->tmExternalLeading = std::max(0, fm.leading());
    metrics->tmAveCharWidth = fm.averageCharWidth();
    metrics->tmMaxCharWidth = fm.maxWidth();
    metrics->tmWeight = font.bold() ? FW_BOLD : FW_NORMAL;
    return TRUE;
}

CPaintDC::CPaintDC(CWnd* window)
{
    Begin(afxqt::CurrentPainter(window), window);
}

CClientDC::CClientDC(CWnd* window)
{
    Begin(nullptr, window);
}

HDC GetDC(HWND window)
{
    CWnd* wnd = CWnd::FromHandle(window);
    return wnd == nullptr ? nullptr : wnd->GetDC()->GetSafeHdc();
}

int ReleaseDC(HWND window, HDC dc)
{
    CWnd* wnd = CWnd::FromHandle(window);
    return wnd == nullptr ? 0 : wnd->ReleaseDC(CDC::FromHandle(dc));
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    return dc == nullptr ? nullptr : CDC::FromHandle(dc)->SelectObject(object);
}

BOOL GetTextMetrics(HDC dc, LPTEXTMETRIC metrics)
{
    return dc == nullptr ? FALSE : CDC::FromHandle(dc)->GetTextMetrics(metrics);
}
