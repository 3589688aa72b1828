#include "FilterResources.h"

#include "FilterResource.h"

using namespace qzfilterres;

namespace
{
constexpr DWORD Child = WS_CHILD | WS_VISIBLE;
constexpr DWORD Radio = Child | BS_RADIOBUTTON | WS_GROUP;
constexpr DWORD Push = Child | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD MenuButton = Child | WS_TABSTOP | BS_OWNERDRAW;

AFX_DIALOG_RESOURCE FilterDialog()
{
    return {IDD_FILTER,
            L"Filter",
            WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER,
            L"MS Sans Serif",
            8,
            309,
            125,
            {{L"BUTTON", L"Filter/Color Operation", IDC_GROUP, Child | BS_GROUPBOX, 7, 7, 295, 36},
             {L"BUTTON", L"&Enable", IDC_ENABLE, Radio, 12, 18, 38, 10},
             {L"BUTTON", L"&Disable", IDC_DISABLE, Radio, 12, 30, 40, 10},
             {L"STATIC", L"Aligment", IDC_ALIGNMENT, WS_CHILD, 7, 47, 295, 51},
             {L"BUTTON", L"Store Favorite", IDC_STORE, MenuButton, 12, 104, 64, 14},
             {L"BUTTON", L"Recall Favorite", IDC_RECALL, MenuButton, 79, 104, 64, 14},
             {L"BUTTON", L"OK", IDOK, Child | WS_TABSTOP | BS_DEFPUSHBUTTON, 146, 104, 50, 14},
             {L"BUTTON", L"Cancel", IDCANCEL, Push, 199, 104, 50, 14},
             {L"BUTTON", L"&Help", IDC_HELP_BUTTON, Push, 252, 104, 50, 14}}};
}

AFX_MENU_ITEM Item(const wchar_t* text, UINT id, bool greyed = false)
{
    return {text, id, greyed ? MF_STRING | MF_GRAYED : MF_STRING, {}};
}

AFX_MENU_ITEM Separator()
{
    return {nullptr, 0, MF_SEPARATOR, {}};
}

// One popup of the term menu: "Show Name" or "Hide Name" (greyed for a disabled term, whose
// name is always shown), "Delete" greyed while the model has one term, "Disable" or "Enable".
AFX_MENU_ITEM TermPopup(const wchar_t* title, bool many, bool hide, bool disabled)
{
    return {title,
            0,
            MF_POPUP,
            {Item(L"Insert Filter Clause &After", ID_INSERT_AFTER),
             Item(L"Insert Filter Clause &Before", ID_INSERT_BEFORE),
             Item(L"&Delete Filter Clause", ID_DELETE_TERM, !many), Separator(),
             hide ? Item(L"&Hide Name", ID_HIDE_NAME, disabled) : Item(L"&Show Name", ID_SHOW_NAME),
             Item(L"&Rename...", ID_RENAME), Separator(),
             disabled ? Item(L"&Enable Filter Clause", ID_ENABLE_TERM)
                      : Item(L"D&isable Filter Clause", ID_DISABLE_TERM)}};
}

AFX_MENU_RESOURCE TermMenu()
{
    return {IDR_FILTER_MENU,
            {TermPopup(L"OneFilterShow", false, false, false),
             TermPopup(L"OneFilterHide", false, true, false),
             TermPopup(L"OneFilterShowEnable", false, true, true),
             TermPopup(L"ManyFiltersShow", true, false, false),
             TermPopup(L"ManyFilterHide", true, true, false),
             TermPopup(L"ManyFilterShowEnable", true, true, true)}};
}
} // namespace

const AFX_RESOURCE_TABLE& FilterResourceTable()
{
    static const AFX_RESOURCE_TABLE table = {
        {FilterDialog()},
        {TermMenu()},
        {{IDR_FILTER_ACCEL,
          {{FVIRTKEY, VK_TAB, static_cast<WORD>(ID_TAB)},
           {FVIRTKEY | FSHIFT, VK_TAB, static_cast<WORD>(ID_SHIFT_TAB)}}}}};
    return table;
}
