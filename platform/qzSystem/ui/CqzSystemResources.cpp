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

const AFX_RESOURCE_TABLE& Table()
{
    static const AFX_RESOURCE_TABLE table = {
        {
            {IDD_ALPHA_KEYPAD,
             L"Enter Text",
             Dialog,
             L"MS Sans Serif",
             8,
             200,
             52,
             {{L"STATIC", L"", IDC_PROMPT, Label, 7, 7, 186, 10},
              {L"EDIT", L"", IDC_TEXT, Edit, 7, 18, 186, 12},
              {L"BUTTON", L"OK", IDOK, Ok, 89, 34, 50, 14},
              {L"BUTTON", L"Cancel", IDCANCEL, Cancel, 143, 34, 50, 14}}},
            {IDD_FAVORITE_NAME,
             L"Favorite Name",
             Dialog,
             L"MS Sans Serif",
             8,
             200,
             52,
             {{L"STATIC", L"Name of the favorite:", IDC_PROMPT, Label, 7, 7, 186, 10},
              {L"EDIT", L"", IDC_TEXT, Edit, 7, 18, 186, 12},
              {L"BUTTON", L"OK", IDOK, Ok, 89, 34, 50, 14},
              {L"BUTTON", L"Cancel", IDCANCEL, Cancel, 143, 34, 50, 14}}},
            {IDD_FAVORITE_MORE,
             L"Favorites",
             Dialog,
             L"MS Sans Serif",
             8,
             200,
             52,
             {{L"STATIC", L"Favorite:", IDC_PROMPT, Label, 7, 7, 186, 10},
              {L"COMBOBOX", L"", IDC_LIST, Child | WS_TABSTOP | CBS_DROPDOWNLIST, 7, 18, 186, 80},
              {L"BUTTON", L"OK", IDOK, Ok, 89, 34, 50, 14},
              {L"BUTTON", L"Cancel", IDCANCEL, Cancel, 143, 34, 50, 14}}},
            {IDD_FAVORITE_CLEAR,
             L"Delete Favorites",
             Dialog,
             L"MS Sans Serif",
             8,
             200,
             40,
             {{L"STATIC", L"Favorites to delete:", IDC_PROMPT, Label, 7, 7, 186, 10},
              {L"BUTTON", L"OK", IDOK, Ok, 89, 22, 50, 14},
              {L"BUTTON", L"Cancel", IDCANCEL, Cancel, 143, 22, 50, 14}}},
        },
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
