#include "ui/kit/window_decoration.h"

#include "services/handles.h"
#include "services/proc_address.h"
#include "ui/kit/theme.h"

namespace {

using DwmSetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);

// DWM is looked up on every call: the program must start on systems (and
// under emulators) without it.
HRESULT dwm_set_attribute(HWND window, DWORD attribute, DWORD value) {
    ScopedModule dwm(LoadLibraryW(L"dwmapi.dll"));
    if (!dwm) return E_NOTIMPL;
    auto fn = proc_address<DwmSetWindowAttributeFn>(dwm.get(), "DwmSetWindowAttribute");
    if (!fn) return E_NOTIMPL;
    return fn(window, attribute, &value, sizeof value);
}

constexpr DWORD kAttrCornerPreference = 33;
constexpr DWORD kAttrSystemBackdrop = 38;
constexpr DWORD kCornerRound = 2;
constexpr DWORD kBackdropMainWindow = 2;

}  // namespace

void apply_round_corners(HWND window) {
    if (!window || !is_windows11()) return;
    dwm_set_attribute(window, kAttrCornerPreference, kCornerRound);
}

void apply_dark_title_bar(HWND window, bool dark) { set_dark_title_bar(window, dark); }

bool apply_system_backdrop(HWND window) {
    if (!window || !is_windows11_22h2()) return false;
    return SUCCEEDED(dwm_set_attribute(window, kAttrSystemBackdrop, kBackdropMainWindow));
}
