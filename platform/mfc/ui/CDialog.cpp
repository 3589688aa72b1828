#include "mfc/ui/CDialog.h"

#include "mfc/AfxResource.h"
#include "mfc/ui/AfxWin.h"
#include "mfc/ui/AfxWndImp.h"
#include "mfc/ui/CFont.h"

#include <QDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include <memory>

struct CDialog::SqzImp
{
    SqzImp(UINT id, CWnd* parentWnd) : templateID(id), parent(parentWnd) {}
    UINT templateID;
    CWnd* parent;
    int result = -1;
    int baseX = 6;
    int baseY = 13;
    CFont font;
    // Windows of the template's controls that no object of the program has bound.
    std::vector<std::unique_ptr<CWnd>> items;
};

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateID, CWnd* parent) : m_imp(new SqzImp(templateID, parent)) {}

CDialog::~CDialog()
{
    m_imp->items.clear();
    delete m_imp;
}

UINT CDialog::GetTemplateID() const
{
    return m_imp->templateID;
}

bool CDialog::Build(CWnd* parent)
{
    const AFX_DIALOG_RESOURCE* resource = AfxFindDialogResource(m_imp->templateID);
    if (resource == nullptr || m_hWnd != nullptr || !afxqt::EnsureApplication())
        return false;
    CWnd* owner = parent != nullptr ? parent : AfxGetMainWnd();
    QWidget* ownerWidget = afxqt::Outer(owner);
    auto* dialog = new QzDialog(this, ownerWidget != nullptr ? ownerWidget->window() : nullptr);
    GetImp()->style = resource->style;
    GetImp()->Bind(dialog, nullptr);

    const LOGFONT logFont = afxqt::DialogLogFont(resource->faceName, resource->pointSize);
    m_imp->font.CreateFontIndirect(&logFont);
    const QFontMetrics metrics(m_imp->font.GetSafeHandle()->font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_imp->baseX = (letters / 26 + 1) / 2;
    m_imp->baseY = metrics.height();
    SetFont(&m_imp->font, FALSE);

    dialog->setWindowTitle(QString::fromWCharArray(resource->caption));
    CRect size(0, 0, resource->cx, resource->cy);
    MapDialogRect(size);
    dialog->resize(size.Width(), size.Height());
    if (!(resource->style & WS_THICKFRAME))
        dialog->setFixedSize(size.Width(), size.Height());
    for (const AFX_DIALOG_ITEM& item : resource->items)
    {
        CRect rect(item.x, item.y, item.x + item.cx, item.y + item.cy);
        MapDialogRect(rect);
        auto control = std::make_unique<CWnd>();
        if (control->CreateEx(item.exStyle, item.windowClass, item.text, item.style | WS_CHILD,
                              rect, this, static_cast<UINT>(item.id)))
        {
            control->SetFont(&m_imp->font, FALSE);
            m_imp->items.push_back(std::move(control));
        }
    }
    if (resource->style & DS_CENTER)
    {
        const QRect area = ownerWidget != nullptr
                               ? ownerWidget->window()->geometry()
                               : QGuiApplication::primaryScreen()->availableGeometry();
        dialog->move(area.center() - QPoint(size.Width() / 2, size.Height() / 2));
    }
    if (OnInitDialog())
        for (CWnd* child : GetChildren())
            if ((child->GetStyle() & WS_TABSTOP) && child->IsWindowEnabled() &&
                afxqt::Outer(child)->isVisibleTo(dialog))
            {
                child->SetFocus();
                break;
            }
    return true;
}

int CDialog::DoModal()
{
    if (!Build(m_imp->parent))
        return -1;
    auto* dialog = static_cast<QDialog*>(afxqt::Outer(this));
    m_imp->result = IDCANCEL;
    dialog->exec();
    DestroyWindow();
    m_imp->items.clear();
    return m_imp->result;
}

BOOL CDialog::Create(UINT templateID, CWnd* parent)
{
    m_imp->templateID = templateID;
    if (!Build(parent))
        return FALSE;
    afxqt::Outer(this)->show();
    return TRUE;
}

void CDialog::EndDialog(int result)
{
    m_imp->result = result;
    if (auto* dialog = static_cast<QDialog*>(afxqt::Outer(this)))
        dialog->done(result);
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CDialog::MapDialogRect(LPRECT rect) const
{
    if (rect == nullptr)
        return;
    rect->left = MulDiv(rect->left, m_imp->baseX, 4);
    rect->right = MulDiv(rect->right, m_imp->baseX, 4);
    rect->top = MulDiv(rect->top, m_imp->baseY, 8);
    rect->bottom = MulDiv(rect->bottom, m_imp->baseY, 8);
}

void CDialog::CheckDlgButton(int id, UINT check)
{
    if (CWnd* item = GetDlgItem(id))
        item->SendMessage(BM_SETCHECK, check);
}

UINT CDialog::IsDlgButtonChecked(int id) const
{
    CWnd* item = GetDlgItem(id);
    return item == nullptr ? 0 : static_cast<UINT>(item->SendMessage(BM_GETCHECK));
}

void CDialog::SetResizable(CSize minimum)
{
    if (QWidget* dialog = afxqt::Outer(this))
    {
        dialog->setMinimumSize(minimum.cx, minimum.cy);
        dialog->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

void CDialog::SetClientSize(CSize size)
{
    QWidget* dialog = afxqt::Outer(this);
    if (dialog == nullptr)
        return;
    if (dialog->minimumSize() == dialog->maximumSize())
        dialog->setFixedSize(size.cx, size.cy);
    else
        dialog->resize(size.cx, size.cy);
}
