#include "ui/solid_brush.h"

#include <map>
#include <mutex>

HBRUSH cached_solid_brush(COLORREF color) {
    static std::mutex lock;
    static std::map<COLORREF, HBRUSH> brushes;  // never freed: they live as long as the windows
    std::lock_guard<std::mutex> guard(lock);
    auto it = brushes.find(color);
    if (it != brushes.end()) return it->second;
    HBRUSH brush = CreateSolidBrush(color);
    if (brush) brushes.emplace(color, brush);
    return brush;
}
