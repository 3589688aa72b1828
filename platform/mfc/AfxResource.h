#pragma once
// Resource tables: dialog templates (in dialog units), menus and accelerator tables written as
// C++ tables by a module and registered under its module handle, usually when the module
// initialises as an extension module. Look-ups by number walk the modules of the resource
// chain (CDynLinkLibrary), most recently added first, so a module's resources are found only
// while it is loaded.

#include "win/WinUser.h"

#include <vector>

// One control of a dialog template: its window class ("BUTTON", "STATIC", "COMBOBOX", "EDIT"),
// text, identifier, styles and rectangle in dialog units.
struct AFX_DIALOG_ITEM
{
    const wchar_t* windowClass;
    const wchar_t* text;
    int id;
    DWORD style;
    short x, y, cx, cy;
    DWORD exStyle = 0;
};

struct AFX_DIALOG_RESOURCE
{
    UINT id;
    const wchar_t* caption;
    DWORD style;
    const wchar_t* faceName;
    WORD pointSize;
    short cx, cy;
    std::vector<AFX_DIALOG_ITEM> items;
};

// A menu item: MF_POPUP items hold their own items; MF_SEPARATOR items have no text.
struct AFX_MENU_ITEM
{
    const wchar_t* text;
    UINT id;
    UINT flags;
    std::vector<AFX_MENU_ITEM> items;
};

struct AFX_MENU_RESOURCE
{
    UINT id;
    std::vector<AFX_MENU_ITEM> items;
};

struct ACCEL
{
    BYTE fVirt;
    WORD key;
    WORD cmd;
};

struct AFX_ACCEL_RESOURCE
{
    UINT id;
    std::vector<ACCEL> entries;
};

struct AFX_RESOURCE_TABLE
{
    std::vector<AFX_DIALOG_RESOURCE> dialogs;
    std::vector<AFX_MENU_RESOURCE> menus;
    std::vector<AFX_ACCEL_RESOURCE> accelerators;
};

// The table must outlive the registration; registering a module again replaces its table.
void AfxRegisterResources(HINSTANCE module, const AFX_RESOURCE_TABLE* table);
void AfxUnregisterResources(HINSTANCE module);

// Null when no module of the resource chain has a resource of that number.
const AFX_DIALOG_RESOURCE* AfxFindDialogResource(UINT id);
const AFX_MENU_RESOURCE* AfxFindMenuResource(UINT id);
const AFX_ACCEL_RESOURCE* AfxFindAccelResource(UINT id);
