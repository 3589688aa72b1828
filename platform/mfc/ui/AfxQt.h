#pragma once
// Private to the window layer: the bridge between our window records and Qt. Never included
// by code outside platform/.

#include "mfc/ui/GdiTypes.h"

#include <QColor>
#include <QFont>
#include <QPen>
#include <QBrush>

class CWnd;
class CGdiObject;
class QWidget;

// A graphics object record; handles (HGDIOBJ) point at one.
struct HGDIOBJ__
{
    enum Kind
    {
        Font,
        Pen,
        Brush
    } kind;
    QFont font;
    LOGFONT logFont;
    QPen pen = QPen(Qt::NoPen);
    QBrush brush = QBrush(Qt::NoBrush);
    CGdiObject* wrapper = nullptr; // the object that owns the record, or the stock wrapper
};

namespace afxqt
{
// The family of the pinned user-interface font, loaded on first use.
QString UiFamily();
// The pinned font for a font description: every face maps to the pinned family; a negative
// height is the character height in pixels, a positive one the cell height.
QFont MapFont(const LOGFONT& logFont);
// The font description of the dialog font "MS Sans Serif" at a point size.
LOGFONT DialogLogFont(const wchar_t* faceName, int pointSize);

QColor ToQColor(COLORREF color);
COLORREF ToColorRef(const QColor& color);

// The window's outer widget, and the widget its client area and children live in.
QWidget* Outer(const CWnd* wnd);
QWidget* Client(const CWnd* wnd);
// The window a widget belongs to (the widget itself or its nearest ancestor with a window).
CWnd* WndFromWidget(const QWidget* widget);
// Whether a QApplication can be made here (a platform is chosen or a display is there).
bool CanStartApplication();
// Makes sure a QApplication exists with the pinned font and style; false when none can be made.
bool EnsureApplication();
} // namespace afxqt

class QPainter;
namespace afxqt
{
// The painter of the window's paint handler while it runs, else null.
QPainter* CurrentPainter(const CWnd* wnd);
} // namespace afxqt
