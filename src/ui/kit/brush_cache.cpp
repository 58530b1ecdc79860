#include "ui/kit/brush_cache.h"

HBRUSH BrushCache::get(COLORREF colour) {
    auto it = brushes_.find(colour);
    if (it != brushes_.end()) return it->second;
    HBRUSH brush = CreateSolidBrush(colour);
    if (brush) brushes_.emplace(colour, brush);
    return brush;
}

void BrushCache::clear() {
    for (auto& [colour, brush] : brushes_) DeleteObject(brush);
    brushes_.clear();
}
