#pragma once
// Resources of the window tests, registered by the test program as an extension module: a
// dialog laid out like the filter dialog (309 x 125 units, "MS Sans Serif" 8), a menu with
// two popups and an accelerator table with Tab and Shift+Tab.

#include "win/WinTypes.h"

namespace testres
{
constexpr UINT IDD_FILTERLIKE = 500;
constexpr UINT IDR_MENU = 501;
constexpr UINT IDR_ACCEL = 502;

constexpr int IDC_GROUP = 22814;
constexpr int IDC_ENABLE = 22813;
constexpr int IDC_DISABLE = 22836;
constexpr int IDC_PLACE = 22812;
constexpr int IDC_STORE = 22815;
constexpr int IDC_RECALL = 22816;
constexpr int IDC_HELP = 3;

constexpr UINT ID_TAB = 38800;
constexpr UINT ID_BACKTAB = 38801;
} // namespace testres
