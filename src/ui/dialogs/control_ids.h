#pragma once
// Control ids of the dialog boxes and the quick menu.

#include <windows.h>

inline constexpr int kConfirmGlyphId = 11;
inline constexpr int kInputFieldId = 100;
inline constexpr int kViewFitId = 1;
inline constexpr int kViewCloseId = 2;
inline constexpr int kQuickMenuListId = 1;
