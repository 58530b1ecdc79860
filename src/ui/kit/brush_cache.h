#pragma once
// Solid brushes handed out for WM_CTLCOLOR* answers. The system keeps using a
// returned brush after the handler returns, so it cannot be deleted there;
// one brush per colour lives until clear() (the window's WM_DESTROY).

#include <windows.h>

#include <map>

class BrushCache {
public:
    BrushCache() = default;
    ~BrushCache() { clear(); }
    BrushCache(const BrushCache&) = delete;
    BrushCache& operator=(const BrushCache&) = delete;

    // The brush of this colour; the same handle for every call until clear().
    HBRUSH get(COLORREF colour);
    // Deletes every brush handed out.
    void clear();
    size_t size() const { return brushes_.size(); }

private:
    std::map<COLORREF, HBRUSH> brushes_;
};
