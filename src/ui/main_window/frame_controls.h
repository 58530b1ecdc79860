#pragma once
// The frame's own controls, shared by the code that makes them (frame.cpp)
// and the code that paints them and takes their input (frame_paint.cpp).

#include "config/language.h"
#include "services/ids.h"

#include <windows.h>

// Menu-bar texts longer than this are cut.
inline constexpr int kMenuTextLimit = 64;

// The tool column, left to right. The screenshot button draws its glyph in
// the text colour. Each glyph has a plain symbol for systems without the
// icon font.
struct ToolButtonInfo {
    int x;
    int id;
    const wchar_t* glyph;
    const wchar_t* symbol;
    COLORREF dark, light;
    const wchar_t* tooltip_key;
    bool text_coloured;
};
inline const ToolButtonInfo kToolButtons[] = {
    {6, kIdPasteButton, L"\uE77F", L"\u21A7", 0x7BC92E, 0x5EB016, tr_key(L"tooltip.paste"), false},
    {36, kIdCopyButton, L"\uE8C8", L"\u2750", 0xEEB03E, 0xD68F00, tr_key(L"tooltip.copy"), false},
    {66, kIdScreenshotButton, L"\uE722", L"\u2B1A", 0, 0, tr_key(L"tooltip.screenshot"), true},
    {96, kIdPinButton, L"\uE718", L"\u2691", 0xE06F8D, 0xC44F6D, tr_key(L"tooltip.pin"), false},
    {144, kIdUpButton, L"\uE70E", L"\u25B2", 0x9AC21F, 0x779B00, tr_key(L"tooltip.move_up"), false},
    {174, kIdDownButton, L"\uE70D", L"\u25BC", 0x9AC21F, 0x779B00, tr_key(L"tooltip.move_down"), false},
    {222, kIdDeleteButton, L"\uE74D", L"\u2715", 0x3A60FC, 0x173BE4, tr_key(L"tooltip.delete"), false},
    {252, kIdClearButton, L"\uE894", L"\u232B", 0xA8A8A8, 0x8A8A8A, tr_key(L"tooltip.clear"), false},
    {300, kIdSidebarButton, L"\uE76B", L"\u25C0", 0xDDA93A, 0xB07C00, tr_key(L"tooltip.cat_toggle"), false},
    {348, kIdSettingsButton, L"\uE713", L"\u2699", 0x9A9A9A, 0x575757, tr_key(L"tooltip.settings"), false},
};

// The subclasses of the menu-bar buttons, the tool and search buttons, and
// the two lists; their reference data is the MainWindow.
LRESULT CALLBACK TextButtonProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR ref);
LRESULT CALLBACK IconButtonProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR ref);
LRESULT CALLBACK ListSubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR ref);
// The preview popup's subclass (preview.cpp); its reference data is the MainWindow.
LRESULT CALLBACK EntryHintProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR ref);
