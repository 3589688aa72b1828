#pragma once
// Numbers of the host framework's own dialog resources and of their controls. The framework
// registers its resource table as an extension module when its library is loaded.

#include "win/WinTypes.h"

namespace qzres
{
constexpr UINT IDD_ALPHA_KEYPAD = 30100;
constexpr UINT IDD_FAVORITE_NAME = 30101;
constexpr UINT IDD_FAVORITE_MORE = 30102;
constexpr UINT IDD_FAVORITE_CLEAR = 30103;

constexpr int IDC_TEXT = 1000;
constexpr int IDC_LIST = 1001;
constexpr int IDC_PROMPT = 1002;
// The check boxes of the clear dialog: one per favourite from this number on.
constexpr int IDC_FIRST_CHECK = 1100;
} // namespace qzres
