#include "ui/kit/hotkey_field.h"

#include "services/hotkey.h"
#include "ui/kit/draw_util.h"
#include "ui/kit/theme.h"
#include "ui/kit/window_class.h"
#include "ui/kit/window_state.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr int kTextInset = 8;
constexpr int kCapInsetY = 4;

struct HotkeyChipState {
    HotkeyFieldState field;
    HotkeyValidator validator;
    HFONT font = nullptr;  // given by WM_SETFONT, not owned
    bool dark = false;
    bool told_recording = false;  // what the parent last heard
};

void notify_parent(HWND chip, WORD code) {
    if (HWND parent = GetParent(chip))
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(chip), code), reinterpret_cast<LPARAM>(chip));
}

// The parent hears when the field starts and stops listening: it may free
// its own global hotkeys meanwhile, since a registered combination never
// reaches the field, and must have them back before a combination is
// judged (the validator's probe) or applied.
void tell_recording(HWND chip, HotkeyChipState& s) {
    if (s.told_recording == s.field.recording) return;
    s.told_recording = s.field.recording;
    notify_parent(chip, s.told_recording ? kHotkeyFieldRecordingStarted : kHotkeyFieldRecordingEnded);
}

HFONT font_of(const HotkeyChipState& s) {
    return s.font ? s.font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void draw_caps(HDC dc, const RECT& client, const std::vector<std::wstring>& caps, bool dark) {
    std::vector<int> widths;
    for (const std::wstring& cap : caps) {
        SIZE size{};
        GetTextExtentPoint32W(dc, cap.c_str(), static_cast<int>(cap.size()), &size);
        widths.push_back(size.cx);
    }
    const std::vector<CapSpan> spans = hotkey_cap_spans(widths, client.left, client.right);
    ScopedBrush fill(CreateSolidBrush(ui_color(UiColor::PopupSurface, dark)));
    ScopedPen border(CreatePen(PS_SOLID, 1, ui_color(UiColor::Border, dark)));
    ScopedSelect keep_brush(dc, fill.get());
    ScopedSelect keep_pen(dc, border.get());
    SetTextColor(dc, ui_color(UiColor::Text, dark));
    for (size_t i = 0; i < spans.size(); ++i) {
        RECT cap{spans[i].left, client.top + kCapInsetY, spans[i].right, client.bottom - kCapInsetY};
        RoundRect(dc, cap.left, cap.top, cap.right, cap.bottom, 6, 6);
        DrawTextW(dc, caps[i].c_str(), -1, &cap, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

void paint_chip(HWND chip, const HotkeyChipState& s, HDC target) {
    RECT client;
    GetClientRect(chip, &client);
    MemoryCanvas canvas(target, client.right, client.bottom);
    HDC dc = canvas.dc() ? canvas.dc() : target;
    const bool dark = s.dark;
    const bool active = s.field.recording || GetFocus() == chip;
    const HotkeyFieldFace face = hotkey_field_face(s.field);

    COLORREF border = active ? ui_color(UiColor::Highlight, dark) : ui_color(UiColor::Border, dark);
    if (face.is_message) border = ui_color(UiColor::ErrorText, dark);
    fill_solid(dc, client, ui_color(UiColor::FieldBackground, dark));
    {
        ScopedPen pen(CreatePen(PS_SOLID, s.field.recording ? 2 : 1, border));
        ScopedSelect keep_pen(dc, pen.get());
        ScopedSelect keep_brush(dc, GetStockObject(NULL_BRUSH));
        RoundRect(dc, client.left, client.top, client.right, client.bottom, 8, 8);
    }

    ScopedSelect keep_font(dc, font_of(s));
    SetBkMode(dc, TRANSPARENT);
    if (!face.caps.empty()) {
        draw_caps(dc, client, face.caps, dark);
    } else {
        RECT text = client;
        text.left += kTextInset;
        text.right -= kTextInset;
        COLORREF colour = s.field.recording ? ui_color(UiColor::Text, dark) : ui_color(UiColor::SecondaryText, dark);
        if (face.is_message) colour = ui_color(UiColor::ErrorText, dark);
        SetTextColor(dc, colour);
        DrawTextW(dc, face.text.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (canvas.dc()) canvas.copy_to(target);
}

// Each field makes its own state, unlike the program's other windows, whose
// state belongs to an object that outlives them.
LRESULT on_nccreate(HWND chip) {
    bind_state(chip, new HotkeyChipState());
    return TRUE;
}

void on_ncdestroy(HWND chip) {
    std::unique_ptr<HotkeyChipState> state(state_of<HotkeyChipState>(chip));
    clear_state(chip);
}

// Copies the value into the caller's buffer, cut to fit, and answers with
// the number of characters copied, as WM_GETTEXT does for any window.
LRESULT on_get_text(const HotkeyChipState& s, WPARAM size, LPARAM buffer) {
    auto* out = reinterpret_cast<wchar_t*>(buffer);
    if (size == 0 || !out) return 0;
    const size_t n = std::min<size_t>(s.field.value.size(), size - 1);
    std::copy_n(s.field.value.c_str(), n, out);
    out[n] = L'\0';
    return static_cast<LRESULT>(n);
}

LRESULT on_set_text(HWND chip, HotkeyChipState& s, LPARAM text) {
    const auto* value = reinterpret_cast<const wchar_t*>(text);
    s.field.value = value ? value : L"";
    s.field.message.clear();
    repaint(chip);
    return TRUE;
}

// Tab and Shift+Tab still move on while recording, so leaving the field
// ends a recording without a change; every other key is recorded.
LRESULT on_get_dlg_code(const HotkeyChipState& s, LPARAM lparam) {
    const auto* msg = reinterpret_cast<const MSG*>(lparam);
    const bool key_down = msg && msg->message == WM_KEYDOWN;
    if (s.field.recording) {
        const bool moves_on =
            key_down && msg->wParam == VK_TAB && (current_hotkey_modifiers() & (kModControl | kModAlt)) == 0;
        return moves_on ? DLGC_WANTARROWS | DLGC_WANTCHARS : DLGC_WANTALLKEYS;
    }
    if (key_down && (msg->wParam == VK_RETURN || msg->wParam == VK_SPACE)) return DLGC_WANTALLKEYS;
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

LRESULT on_key_down(HWND chip, HotkeyChipState& s, UINT message, WPARAM wparam, LPARAM lparam) {
    const bool repeat = (lparam & (1 << 30)) != 0;
    const HotkeyValidator judge = [chip, &s](const std::wstring& candidate) {
        tell_recording(chip, s);
        return s.validator ? s.validator(candidate) : std::wstring();
    };
    const HotkeyKeyOutcome outcome = hotkey_key_down(s.field, static_cast<std::uint32_t>(wparam), repeat,
                                                     message == WM_SYSKEYDOWN, current_hotkey_modifiers(), judge);
    tell_recording(chip, s);
    switch (outcome) {
    case HotkeyKeyOutcome::PassOn: return DefWindowProcW(chip, message, wparam, lparam);
    case HotkeyKeyOutcome::Swallow: return 0;
    case HotkeyKeyOutcome::Changed: notify_hotkey_changed(chip); break;
    case HotkeyKeyOutcome::Repaint: break;
    }
    repaint(chip);
    return 0;
}

// Releasing Alt alone comes as a system key: taken while recording so that
// it does not open the window menu.
LRESULT on_key_up(HWND chip, HotkeyChipState& s, UINT message, WPARAM wparam, LPARAM lparam) {
    if (hotkey_key_up(s.field, static_cast<std::uint32_t>(wparam), current_hotkey_modifiers()) ==
        HotkeyKeyOutcome::PassOn)
        return DefWindowProcW(chip, message, wparam, lparam);
    repaint(chip);
    return 0;
}

void on_kill_focus(HWND chip, HotkeyChipState& s) {
    if (s.field.recording) stop_hotkey_recording(s.field);
    tell_recording(chip, s);
    repaint(chip);
}

// A field closed with its window while listening stops listening.
void on_destroy(HWND chip, HotkeyChipState& s) {
    stop_hotkey_recording(s.field);
    tell_recording(chip, s);
}

void on_left_button_down(HWND chip, HotkeyChipState& s) {
    SetFocus(chip);
    if (!s.field.recording) start_hotkey_recording(s.field);
    tell_recording(chip, s);
    repaint(chip);
}

void on_paint(HWND chip, const HotkeyChipState& s) {
    ScopedPaint paint(chip);
    paint_chip(chip, s, paint.get());
}

// While a shortcut is recorded its keys type nothing.
LRESULT on_char(HWND chip, const HotkeyChipState& s, UINT message, WPARAM wparam, LPARAM lparam) {
    if (s.field.recording) return 0;
    return DefWindowProcW(chip, message, wparam, lparam);
}

}  // namespace

bool register_hotkey_chip_class() {
    return register_window_class({.name = kHotkeyFieldClass, .procedure = hotkey_chip_proc, .cursor = IDC_HAND});
}

HWND create_hotkey_chip(HWND parent, int id, int x, int y, int width, int height, HFONT font, const std::wstring& value,
                        bool dark, HotkeyValidator validator) {
    if (!register_hotkey_chip_class()) return nullptr;
    HWND chip =
        CreateWindowExW(0, kHotkeyFieldClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y, width, height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!chip) return nullptr;
    SendMessageW(chip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(chip, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
    set_hotkey_chip_dark(chip, dark);
    set_hotkey_chip_validator(chip, std::move(validator));
    return chip;
}

void set_hotkey_chip_dark(HWND chip, bool dark) {
    if (auto* s = chip ? state_of<HotkeyChipState>(chip) : nullptr) {
        s->dark = dark;
        repaint(chip);
    }
}

void set_hotkey_chip_validator(HWND chip, HotkeyValidator validator) {
    if (auto* s = chip ? state_of<HotkeyChipState>(chip) : nullptr) s->validator = std::move(validator);
}

void set_hotkey_chip_message(HWND chip, const std::wstring& message) {
    if (auto* s = chip ? state_of<HotkeyChipState>(chip) : nullptr) {
        s->field.message = message;
        repaint(chip);
    }
}

void notify_hotkey_changed(HWND chip) { notify_parent(chip, kHotkeyFieldChanged); }

std::uint32_t current_hotkey_modifiers() {
    std::uint32_t modifiers = 0;
    if (GetKeyState(VK_CONTROL) < 0) modifiers |= kModControl;
    if (GetKeyState(VK_SHIFT) < 0) modifiers |= kModShift;
    if (GetKeyState(VK_MENU) < 0) modifiers |= kModAlt;
    return modifiers;
}

LRESULT CALLBACK hotkey_chip_proc(HWND chip, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) return on_nccreate(chip);
    auto* state = state_of<HotkeyChipState>(chip);
    if (!state) return DefWindowProcW(chip, message, wparam, lparam);
    HotkeyChipState& s = *state;
    switch (message) {
    case WM_DESTROY: on_destroy(chip, s); break;
    case WM_NCDESTROY: on_ncdestroy(chip); break;
    case WM_SETTEXT: return on_set_text(chip, s, lparam);
    case WM_GETTEXT: return on_get_text(s, wparam, lparam);
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(s.field.value.size());
    case WM_SETFONT: s.font = reinterpret_cast<HFONT>(wparam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font);
    case WM_SETCURSOR: SetCursor(LoadCursorW(nullptr, IDC_HAND)); return TRUE;
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE: return on_get_dlg_code(s, lparam);
    case WM_SETFOCUS: repaint(chip); return 0;
    case WM_KILLFOCUS: on_kill_focus(chip, s); return 0;
    case WM_LBUTTONDOWN: on_left_button_down(chip, s); return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: return on_key_down(chip, s, message, wparam, lparam);
    case WM_KEYUP:
    case WM_SYSKEYUP: return on_key_up(chip, s, message, wparam, lparam);
    case WM_CHAR:
    case WM_SYSCHAR: return on_char(chip, s, message, wparam, lparam);
    case WM_PAINT: on_paint(chip, s); return 0;
    default: break;
    }
    return DefWindowProcW(chip, message, wparam, lparam);
}
