#pragma once
// Numbers of the plug-in's resources (FilterResources.cpp) and of the controls and commands
// of the filter editor.

#include "win/WinTypes.h"

namespace qzfilterres
{
constexpr UINT IDD_FILTER = 6800;
constexpr UINT IDR_FILTER_ACCEL = 6803;
constexpr UINT IDR_FILTER_MENU = 6804;

// Controls of the dialog "Filter".
constexpr UINT IDC_ALIGNMENT = 22812;
constexpr UINT IDC_ENABLE = 22813;
constexpr UINT IDC_GROUP = 22814;
constexpr UINT IDC_STORE = 22815;
constexpr UINT IDC_RECALL = 22816;
constexpr UINT IDC_DISABLE = 22836;
constexpr UINT IDC_HELP_BUTTON = 3;

// Favourite menu items are numbered from here.
constexpr UINT ID_FAVORITE_FIRST = 22817;
constexpr UINT ID_STORE_NEW = 22817;
constexpr UINT ID_STORE_DELETE = 22818;
constexpr UINT ID_STORE_DELETE_ALL = 22819;

// Accelerator commands.
constexpr UINT ID_TAB = 38800;
constexpr UINT ID_SHIFT_TAB = 38801;

// Commands of a term's menu.
constexpr UINT ID_INSERT_BEFORE = 38802;
constexpr UINT ID_DELETE_TERM = 38803;
constexpr UINT ID_INSERT_AFTER = 38806;
constexpr UINT ID_SHOW_NAME = 38807;
constexpr UINT ID_HIDE_NAME = 38808;
constexpr UINT ID_RENAME = 38809;
constexpr UINT ID_DISABLE_TERM = 38811;
constexpr UINT ID_ENABLE_TERM = 38812;
} // namespace qzfilterres
