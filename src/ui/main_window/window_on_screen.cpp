#include "ui/main_window/window_on_screen.h"

namespace {

ScreenRect screen_rect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// Where workspace coordinates, those of a window's placement, start on the
// screen: the corner of the primary monitor's work area, which a taskbar at
// the top or the left moves away from the monitor's own.
POINT workspace_origin() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info)) return {0, 0};
    return {info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top};
}

}  // namespace

std::vector<ScreenRect> monitor_work_areas() {
    std::vector<ScreenRect> areas;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM param) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoW(monitor, &info))
                reinterpret_cast<std::vector<ScreenRect>*>(param)->push_back(screen_rect(info.rcWork));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&areas));
    return areas;
}

int title_strip_height() {
    return GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CXPADDEDBORDER);
}

void keep_on_work_area(HWND window) {
    WINDOWPLACEMENT place{};
    place.length = sizeof place;
    if (!window || !GetWindowPlacement(window, &place)) return;
    const std::vector<ScreenRect> areas = monitor_work_areas();
    const POINT origin = workspace_origin();
    RECT normal = place.rcNormalPosition;
    OffsetRect(&normal, origin.x, origin.y);
    const bool minimised = IsIconic(window) != FALSE, maximised = IsZoomed(window) != FALSE;

    // A minimised window stands nowhere: where it comes back to counts.
    RECT shown = normal;
    if (!minimised) GetWindowRect(window, &shown);
    const std::optional<ScreenRect> moved = onto_nearest_work_area(screen_rect(shown), title_strip_height(), areas);
    if (!moved) return;
    if (!minimised && !maximised) {
        SetWindowPos(window, nullptr, moved->left, moved->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    // The rectangle it is restored to comes onto a work area, and the system
    // maximises a window on the monitor of that rectangle.
    const ScreenRect to =
        minimised
            ? *moved
            : onto_nearest_work_area(screen_rect(normal), title_strip_height(), areas).value_or(screen_rect(normal));
    place.rcNormalPosition = RECT{to.left - origin.x, to.top - origin.y, to.right - origin.x, to.bottom - origin.y};
    place.showCmd = minimised ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL;
    SetWindowPlacement(window, &place);
    if (maximised) ShowWindow(window, SW_SHOWMAXIMIZED);
}
