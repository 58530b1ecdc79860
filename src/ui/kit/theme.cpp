#include "ui/kit/theme.h"

#include "services/proc_address.h"

#include <commctrl.h>

#include <array>

namespace {

struct ColorPair {
    COLORREF dark;
    COLORREF light;
};

// Indexed by UiColor; keep the order of the enumeration.
constexpr std::array<ColorPair, 25> kPalette = {{
    {0x202020, 0xF3F3F3},  // WindowBackground
    {0x2B2B2B, 0xFFFFFF},  // FieldBackground
    {0x272727, 0xFBFBFB},  // PopupSurface
    {0x2C2A2A, 0xF0F0F0},  // Card
    {0xF2F2F2, 0x141414},  // Text
    {0xC7C7C7, 0x606060},  // SecondaryText
    {0x4A4A4A, 0xD5D5D5},  // Border
    {0xD06B0A, 0xCC6600},  // Accent
    {0x332E2E, 0xE8E5E5},  // MenuBarHover
    {0x2B2B2B, 0xE9E9E9},  // ToolButtonHover
    {0xD06B0A, 0xF7E7D6},  // PopupMenuHover
    {0xCC6600, 0xBFBFBF},  // PopupMenuOutline
    {0xE0E0E0, 0x505050},  // ArrowGlyph
    {0x3D3939, 0xC0C4C4},  // ToggleTrackOff
    {0xD06B0A, 0xD06B0A},  // ToggleTrackOn
    {0xFFFFFF, 0xFFFFFF},  // ToggleKnob
    {0xB0B0B0, 0x808080},  // ToggleKnobPressed
    {0xFFC24C, 0xCC6600},  // Highlight
    {0xFFFFFF, 0xFFFFFF},  // SelectedText
    {0xA499FF, 0x1C2BC4},  // ErrorText
    {0x2C2A2A, 0xE8E8E8},  // ScrollTrack
    {0x8A8A8A, 0xA0A0A0},  // ScrollThumb
    {0x333333, 0xE9E9E9},  // NavSelected
    {0x2D2D2D, 0xEFEFEF},  // NavHovered
    {0x6E4E1E, 0xF7E7D6},  // ToolbarHover
}};
static_assert(kPalette.size() == static_cast<size_t>(UiColor::ToolbarHover) + 1);

// The Windows version as RtlGetVersion reports it; false when it cannot.
bool read_windows_version(unsigned& major, unsigned& build) {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return false;
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto fn = proc_address<RtlGetVersionFn>(ntdll, "RtlGetVersion");
    if (!fn) return false;
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (fn(&info) != 0) return false;
    major = info.dwMajorVersion;
    build = info.dwBuildNumber;
    return true;
}

// uxtheme exports its dark-mode functions only by ordinal on the Windows
// builds that have them (10 1809, build 17763, and later), where the ordinal
// numbers are stable; on older builds the same ordinals mean other things.
FARPROC uxtheme_function(HMODULE uxtheme, const char* name, WORD ordinal) {
    if (FARPROC fn = GetProcAddress(uxtheme, name)) return fn;
    unsigned major = 0, build = 0;
    if (!read_windows_version(major, build)) return nullptr;
    if (major < 10 || (major == 10 && build < 17763)) return nullptr;
    return GetProcAddress(uxtheme, MAKEINTRESOURCEA(ordinal));
}

template <typename Fn>
Fn as_function(FARPROC proc) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

ScopedFont make_font(const wchar_t* face, int pixels, int weight) {
    return ScopedFont(CreateFontW(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, face));
}

}  // namespace

COLORREF ui_color(UiColor role, bool dark) {
    const ColorPair& pair = kPalette[static_cast<size_t>(role)];
    return dark ? pair.dark : pair.light;
}

COLORREF text_color_for_fill(COLORREF fill) {
    const double luminance = 0.299 * GetRValue(fill) + 0.587 * GetGValue(fill) + 0.114 * GetBValue(fill);
    return luminance > 160.0 ? COLORREF(0x141414) : COLORREF(0xFFFFFF);
}

ScopedFont make_ui_font(int pixels, int weight) { return make_font(L"Segoe UI Variable Text", pixels, weight); }

ScopedFont make_icon_font(int pixels) { return make_font(L"Segoe MDL2 Assets", pixels, FW_NORMAL); }

bool is_windows11_version(unsigned major, unsigned build) { return major > 10 || (major == 10 && build >= 22000); }

bool is_windows11_22h2_version(unsigned major, unsigned build) { return major > 10 || (major == 10 && build >= 22621); }

bool is_windows11() {
    unsigned major = 0, build = 0;
    return read_windows_version(major, build) && is_windows11_version(major, build);
}

bool is_windows11_22h2() {
    unsigned major = 0, build = 0;
    return read_windows_version(major, build) && is_windows11_22h2_version(major, build);
}

void set_dark_title_bar(HWND window, bool dark) {
    if (!window) return;
    ScopedModule dwmapi(LoadLibraryW(L"dwmapi.dll"));
    if (!dwmapi) return;
    using SetAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    auto set_attribute = proc_address<SetAttributeFn>(dwmapi.get(), "DwmSetWindowAttribute");
    if (!set_attribute) return;
    const BOOL value = dark ? TRUE : FALSE;
    // 20 is the attribute's number since Windows 10 20H1; earlier builds used 19.
    if (FAILED(set_attribute(window, 20, &value, sizeof value))) set_attribute(window, 19, &value, sizeof value);
}

void allow_dark_mode(HWND window, bool dark) {
    if (!window) return;
    ScopedModule uxtheme(LoadLibraryW(L"uxtheme.dll"));
    if (!uxtheme) return;
    using AllowDarkFn = BOOL(WINAPI*)(HWND, BOOL);
    if (auto allow = as_function<AllowDarkFn>(uxtheme_function(uxtheme.get(), "AllowDarkModeForWindow", 133)))
        allow(window, TRUE);
    using SetThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    if (auto set_theme = proc_address<SetThemeFn>(uxtheme.get(), "SetWindowTheme"))
        set_theme(window, dark ? L"DarkMode_Explorer" : L"Explorer", nullptr);
}

void init_common_controls() {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS |
                ICC_PROGRESS_CLASS | ICC_HOTKEY_CLASS | ICC_ANIMATE_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&icc);
}

bool set_preferred_app_mode(int mode) {
    ScopedModule uxtheme(LoadLibraryW(L"uxtheme.dll"));
    if (!uxtheme) return false;
    using SetModeFn = int(WINAPI*)(int);
    auto set_mode = as_function<SetModeFn>(uxtheme_function(uxtheme.get(), "SetPreferredAppMode", 135));
    if (!set_mode) return false;
    set_mode(mode);
    return true;
}
