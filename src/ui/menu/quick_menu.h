#pragma once
// The quick menu "KorvaneQuickMenu": a small top-most popup that the fixed
// hotkey opens at the mouse cursor over whatever program is in front. It
// lists the ten newest history entries (pinned first), numbered, one line
// each; Enter or a double click puts the chosen one on the clipboard, brings
// back the program that was in front and pastes it there. Esc, a click
// elsewhere or any other loss of activation hides it. UI thread only.

#include "services/handles.h"
#include "storage/history_records.h"
#include "ui/kit/brush_cache.h"

#include <windows.h>

#include <vector>

struct AppParts;

class QuickMenu {
public:
    QuickMenu() = default;
    ~QuickMenu();
    QuickMenu(const QuickMenu&) = delete;
    QuickMenu& operator=(const QuickMenu&) = delete;

    HWND hwnd = nullptr;  // the popup; null until create
    HWND list = nullptr;  // the LISTBOX that fills it
    HINSTANCE instance = nullptr;
    AppParts* app = nullptr;
    std::vector<HistoryEntry> entries;  // the rows shown, in list order: ids and the start of each text
    HWND target = nullptr;              // where a choice pastes (quick_menu_target)
    ScopedFont font;
    int font_size = 14;  // Settings.font_size, 10..18
    int row_height = 40;
    // Where the last showing put the popup, while one late move away from it
    // may still be undone (see on_moved).
    POINT placed_at{};
    bool holding_place = false;

    // Creates the hidden popup; false (and no window) when it cannot.
    bool create(HINSTANCE module, AppParts* owner);
    // Chooses where a choice will paste and fills the rows with the newest entries.
    void populate();
    // Shows the popup at the mouse cursor, inside that monitor's work area,
    // and gives the list the keyboard focus.
    void show_at_cursor();
    void hide();
    // Pastes row index into the remembered window; outside the rows, nothing.
    void on_activate(int index);
    // Follows a change of the font size setting.
    void set_font_size(int size);

    // For the window procedure.
    // WM_WINDOWPOSCHANGED: the popup may have moved. A move away from where the showing put
    // it, which only the window system makes, is undone once: under Wine a
    // window manager's notice about the popup's first frame, handled late,
    // can report the frame's starting corner as the popup's place.
    void on_moved(const WINDOWPOS& pos);
    LRESULT on_list_key(WORD key);
    void on_list_double_click();
    LRESULT color_list(HDC dc);
    void draw_row(const DRAWITEMSTRUCT& item);
    LRESULT erase_background(HDC dc);

private:
    bool dark() const;
    SIZE popup_size() const;
    void resize_keeping_place();
    void apply_font();

    BrushCache brushes_;
};

LRESULT CALLBACK QuickMenuProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
