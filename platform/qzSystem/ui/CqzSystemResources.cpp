// The host framework's resource table, registered while its library is loaded.

#include "qzSystem/ui/CqzSystemResources.h"

#include "mfc/AfxExtensionModule.h"
#include "mfc/AfxResource.h"

using namespace qzres;

namespace
{
constexpr DWORD Dialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
constexpr DWORD Child = WS_CHILD | WS_VISIBLE;
constexpr DWORD Ok = Child | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD Cancel = Child | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD Label = Child | SS_LEFT | SS_CENTERIMAGE;
constexpr DWORD Edit = Child | WS_TABSTOP | ES_AUTOHSCROLL | WS_BORDER;

// A prompt, the field it asks for (none for a dialog that only confirms), and OK and Cancel.
AFX_DIALOG_RESOURCE PromptDialog(UINT id, const wchar_t* caption, const wchar_t* prompt,
                                 const AFX_DIALOG_ITEM* field)
{
    const short buttons = field != nullptr ? 34 : 22;
    AFX_DIALOG_RESOURCE dialog{
        id, caption, Dialog, L"MS Sans Serif", 8, 200, static_cast<short>(buttons + 18), {}};
    dialog.items.push_back({L"STATIC", prompt, IDC_PROMPT, Label, 7, 7, 186, 10});
    if (field != nullptr)
        dialog.items.push_back(*field);
    dialog.items.push_back({L"BUTTON", L"OK", IDOK, Ok, 89, buttons, 50, 14});
    dialog.items.push_back({L"BUTTON", L"Cancel", IDCANCEL, Cancel, 143, buttons, 50, 14});
    return dialog;
}

const AFX_RESOURCE_TABLE& Table()
{
    static const AFX_DIALOG_ITEM text{L"EDIT", L"", IDC_TEXT, Edit, 7, 18, 186, 12};
    static const AFX_DIALOG_ITEM list{
        L"COMBOBOX", L"", IDC_LIST, Child | WS_TABSTOP | CBS_DROPDOWNLIST, 7, 18, 186, 80};
    static const AFX_RESOURCE_TABLE table = {
        {PromptDialog(IDD_ALPHA_KEYPAD, L"Enter Text", L"", &text),
         PromptDialog(IDD_FAVORITE_NAME, L"Favorite Name", L"Name of the favorite:", &text),
         PromptDialog(IDD_FAVORITE_MORE, L"Favorites", L"Favorite:", &list),
         PromptDialog(IDD_FAVORITE_CLEAR, L"Delete Favorites", L"Favorites to delete:", nullptr)},
        {},
        {}};
    return table;
}

HINSTANCE ThisModule()
{
    return AfxModuleOf(reinterpret_cast<const void*>(&ThisModule));
}

// Joins the resource chain while the library is loaded.
struct Module
{
    Module()
    {
        if (AfxInitExtensionModule(state, ThisModule()))
        {
            new CDynLinkLibrary(state);
            AfxRegisterResources(state.hModule, &Table());
        }
    }
    ~Module() { AfxTermExtensionModule(state); }
    AFX_EXTENSION_MODULE state;
};

Module g_module;
} // namespace
