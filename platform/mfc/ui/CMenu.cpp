#include "mfc/ui/CMenu.h"

#include "mfc/AfxResource.h"
#include "mfc/ui/AfxMessageScope.h"
#include "mfc/ui/AfxQt.h"
#include "mfc/ui/CWnd.h"

#include <QAction>
#include <QMenu>

#include <memory>
#include <string>
#include <vector>

struct HMENU__
{
    struct Item
    {
        UINT flags;
        UINT id;
        std::wstring text;
        std::unique_ptr<HMENU__> popup;
    };
    std::vector<Item> items;
    CMenu* owner = nullptr;
    std::unique_ptr<CMenu> wrapper; // for handles without an owning object

    Item* Find(UINT item, UINT flags)
    {
        if (flags & MF_BYPOSITION)
            return item < items.size() ? &items[item] : nullptr;
        for (Item& entry : items)
        {
            if (!(entry.flags & (MF_POPUP | MF_SEPARATOR)) && entry.id == item)
                return &entry;
            if (entry.popup)
                if (Item* found = entry.popup->Find(item, flags))
                    return found;
        }
        return nullptr;
    }
};

namespace
{
std::unique_ptr<HMENU__> FromResource(const std::vector<AFX_MENU_ITEM>& items)
{
    auto menu = std::make_unique<HMENU__>();
    for (const AFX_MENU_ITEM& item : items)
    {
        HMENU__::Item entry{item.flags, item.id, item.text ? item.text : L"", nullptr};
        if (item.flags & MF_POPUP)
            entry.popup = FromResource(item.items);
        menu->items.push_back(std::move(entry));
    }
    return menu;
}

void Fill(QMenu* menu, const HMENU__* record)
{
    for (const HMENU__::Item& item : record->items)
    {
        if (item.flags & MF_SEPARATOR)
        {
            menu->addSeparator();
            continue;
        }
        const QString text = QString::fromStdWString(item.text);
        if (item.popup)
        {
            Fill(menu->addMenu(text), item.popup.get());
            continue;
        }
        QAction* action = menu->addAction(text);
        action->setData(item.id);
        action->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
        if (item.flags & MF_CHECKED)
        {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
}
} // namespace

CMenu::~CMenu()
{
    DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU menu)
{
    if (menu == nullptr)
        return nullptr;
    if (menu->owner != nullptr)
        return menu->owner;
    if (!menu->wrapper)
    {
        menu->wrapper = std::make_unique<CMenu>();
        menu->wrapper->m_hMenu = menu;
    }
    return menu->wrapper.get();
}

BOOL CMenu::CreateMenu()
{
    DestroyMenu();
    m_hMenu = new HMENU__;
    m_hMenu->owner = this;
    m_owned = true;
    return TRUE;
}

BOOL CMenu::CreatePopupMenu()
{
    return CreateMenu();
}

BOOL CMenu::LoadMenu(UINT id)
{
    const AFX_MENU_RESOURCE* resource = AfxFindMenuResource(id);
    if (resource == nullptr)
        return FALSE;
    DestroyMenu();
    m_hMenu = FromResource(resource->items).release();
    m_hMenu->owner = this;
    m_owned = true;
    return TRUE;
}

BOOL CMenu::DestroyMenu()
{
    if (m_hMenu == nullptr)
        return FALSE;
    if (m_owned)
        delete m_hMenu;
    else if (m_hMenu->owner == this)
        m_hMenu->owner = nullptr;
    m_hMenu = nullptr;
    m_owned = false;
    return TRUE;
}

BOOL CMenu::Attach(HMENU menu)
{
    if (m_hMenu != nullptr || menu == nullptr)
        return FALSE;
    m_hMenu = menu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU menu = m_hMenu;
    if (menu != nullptr && menu->owner == this)
        menu->owner = nullptr;
    m_hMenu = nullptr;
    m_owned = false;
    return menu;
}

BOOL CMenu::AppendMenu(UINT flags, std::uintptr_t id, LPCTSTR text)
{
    if (m_hMenu == nullptr)
        return FALSE;
    HMENU__::Item entry{flags, static_cast<UINT>(id), text ? text : L"", nullptr};
    if (flags & MF_POPUP)
    {
        auto* popup = reinterpret_cast<HMENU>(id);
        if (popup == nullptr)
            return FALSE;
        // The popup now belongs to this menu; its former owner lets go of it.
        if (CMenu* former = popup->owner)
            former->Detach();
        entry.popup.reset(popup);
        entry.id = 0;
    }
    m_hMenu->items.push_back(std::move(entry));
    return TRUE;
}

UINT CMenu::EnableMenuItem(UINT item, UINT enable)
{
    HMENU__::Item* entry = m_hMenu == nullptr ? nullptr : m_hMenu->Find(item, enable);
    if (entry == nullptr)
        return static_cast<UINT>(-1);
    const UINT previous = entry->flags & (MF_GRAYED | MF_DISABLED);
    entry->flags =
        (entry->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return previous;
}

UINT CMenu::GetMenuState(UINT item, UINT flags) const
{
    HMENU__::Item* entry = m_hMenu == nullptr ? nullptr : m_hMenu->Find(item, flags);
    return entry == nullptr ? static_cast<UINT>(-1) : entry->flags;
}

int CMenu::GetMenuItemCount() const
{
    return m_hMenu == nullptr ? -1 : static_cast<int>(m_hMenu->items.size());
}

UINT CMenu::GetMenuItemID(int position) const
{
    if (m_hMenu == nullptr || position < 0 || position >= GetMenuItemCount())
        return 0;
    const HMENU__::Item& item = m_hMenu->items[static_cast<std::size_t>(position)];
    return item.popup ? static_cast<UINT>(-1) : item.id;
}

int CMenu::GetMenuString(UINT item, CString& text, UINT flags) const
{
    HMENU__::Item* entry = m_hMenu == nullptr ? nullptr : m_hMenu->Find(item, flags);
    text = entry == nullptr ? CString() : CString(entry->text);
    return text.GetLength();
}

CMenu* CMenu::GetSubMenu(int position) const
{
    if (m_hMenu == nullptr || position < 0 || position >= GetMenuItemCount())
        return nullptr;
    return FromHandle(m_hMenu->items[static_cast<std::size_t>(position)].popup.get());
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT) const
{
    if (m_hMenu == nullptr || !afxqt::EnsureApplication())
        return FALSE;
    // The owner counts as handling a message while its menu is open, so it is not destroyed
    // from under the menu.
    const AfxMessageScope scope(afxqt::Outer(owner));
    QMenu menu(afxqt::Outer(owner));
    Fill(&menu, m_hMenu);
    QAction* chosen = menu.exec(QPoint(x, y));
    const UINT id = chosen != nullptr ? chosen->data().toUInt() : 0;
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(id);
    if (id != 0 && owner != nullptr)
        owner->PostMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return id != 0;
}
