#pragma once
// Solid brushes kept for the life of the process, one per colour, for the
// WM_CTLCOLOR* answers: a control keeps using the brush it was given, so the
// brush must outlive the message, and a fresh brush per message would pile
// up. The palette has a handful of colours, so the cache stays tiny.

#include <windows.h>

HBRUSH cached_solid_brush(COLORREF color);
