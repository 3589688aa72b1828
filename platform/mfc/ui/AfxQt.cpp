#include "mfc/ui/AfxQt.h"

#include "mfc/ui/AfxWndImp.h"
#include "mfc/ui/CqzGuardedApplication.h"
#include "mfc/ui/CDC.h"

#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionComplex>

#include <algorithm>

#include <memory>

namespace
{
// Fusion without icons on buttons, so that every desktop draws the same pixels.
class PlainStyle : public QProxyStyle
{
public:
    PlainStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
    // A drop-down list is laid out as the window system lays it out: the button as wide as a
    // scroll bar at the right, the text in the rest, two pixels of edge each side. Windows
    // size their lists by that rule (text width + scroll bar + 4 edges).
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override
    {
        if (control != CC_ComboBox || (sub != SC_ComboBoxArrow && sub != SC_ComboBoxEditField))
            return QProxyStyle::subControlRect(control, option, sub, widget);
        const QRect r = option->rect;
        const int button = pixelMetric(PM_ScrollBarExtent, option, widget);
        if (sub == SC_ComboBoxArrow)
            return QRect(r.right() - button - 1, r.top() + 1, button, r.height() - 2);
        return QRect(r.left() + 3, r.top() + 2, std::max(0, r.width() - button - 6),
                     r.height() - 4);
    }
};

// Hands key presses to PreTranslateMessage before the focus widget sees them.
class KeyHook : public QObject
{
public:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !object->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(object);
        QWidget* focus = QApplication::focusWidget();
        // Key events travel up the parents; translate once, where they start.
        if (focus != nullptr ? widget != focus : !widget->isWindow())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        return afxqt::PreTranslateKey(WndInSameWindow(widget), key->key(), key->modifiers());
    }

private:
    // The window of the widget, looked for only up to its top-level widget: keys in the
    // toolkit's own dialogs and popups (colour chooser, message box, menus) are theirs.
    static CWnd* WndInSameWindow(const QWidget* widget)
    {
        for (const QWidget* w = widget; w != nullptr; w = w->parentWidget())
        {
            if (w->property("qzWnd").isValid())
                return afxqt::WndFromWidget(w);
            if (w->isWindow())
                break;
        }
        return nullptr;
    }
};

std::unique_ptr<QApplication>& OwnApplication()
{
    static std::unique_ptr<QApplication> app;
    return app;
}
} // namespace

namespace afxqt
{
// Without a chosen platform or a display the toolkit would end the process.
bool CanStartApplication()
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

QString UiFamily()
{
    static const QString family = []
    {
        const int id = QFontDatabase::addApplicationFont(
            QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QStringLiteral("DejaVu Sans") : families.front();
    }();
    return family;
}

QFont MapFont(const LOGFONT& logFont)
{
    QFont font(UiFamily());
    // A cell height holds the character height plus the internal leading, about a fifth.
    const int pixels = logFont.lfHeight < 0   ? -logFont.lfHeight
                       : logFont.lfHeight > 0 ? std::max(1, logFont.lfHeight * 5 / 6)
                                              : 11;
    font.setPixelSize(pixels);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    font.setBold(logFont.lfWeight >= FW_BOLD);
    font.setItalic(logFont.lfItalic != 0);
    font.setUnderline(logFont.lfUnderline != 0);
    return font;
}

LOGFONT DialogLogFont(const wchar_t* faceName, int pointSize)
{
    LOGFONT logFont;
    logFont.lfHeight = -MulDiv(pointSize, 96, 72);
    const CString face(faceName != nullptr ? faceName : L"MS Sans Serif");
    for (int i = 0; i < face.GetLength() && i < LF_FACESIZE - 1; ++i)
        logFont.lfFaceName[i] = face[i];
    return logFont;
}

QColor ToQColor(COLORREF color)
{
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

COLORREF ToColorRef(const QColor& color)
{
    return RGB(static_cast<BYTE>(color.red()), static_cast<BYTE>(color.green()),
               static_cast<BYTE>(color.blue()));
}

QWidget* Outer(const CWnd* wnd)
{
    return wnd == nullptr ? nullptr : wnd->GetImp()->widget.data();
}

QWidget* Client(const CWnd* wnd)
{
    return wnd == nullptr ? nullptr : wnd->GetImp()->client.data();
}

QPainter* CurrentPainter(const CWnd* wnd)
{
    return wnd == nullptr ? nullptr : wnd->GetImp()->painter;
}

CWnd* WndFromWidget(const QWidget* widget)
{
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget())
    {
        const QVariant value = w->property("qzWnd");
        if (value.isValid())
            return static_cast<CWnd*>(value.value<void*>());
    }
    return nullptr;
}

bool EnsureApplication()
{
    static bool styled = false;
    if (QApplication::instance() == nullptr)
    {
        if (!CanStartApplication())
            return false;
        static int argc = 1;
        static char name[] = "qzfilter";
        static char* argv[] = {name, nullptr};
        OwnApplication() = std::make_unique<CqzGuardedApplication>(argc, argv);
    }
    if (qobject_cast<QApplication*>(QApplication::instance()) == nullptr)
        return false;
    if (!styled)
    {
        styled = true;
        auto* style = new PlainStyle;
        QApplication::setStyle(style);
        QApplication::setPalette(style->standardPalette());
        QApplication::setFont(MapFont(DialogLogFont(L"MS Sans Serif", 8)));
        auto* hook = new KeyHook;
        hook->setParent(QApplication::instance());
        QApplication::instance()->installEventFilter(hook);
    }
    return true;
}
} // namespace afxqt
