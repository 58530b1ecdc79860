#pragma once
// The two forms images take: PNG files (screenshots, saved pictures) and
// DIBs (the clipboard, drawing). Conversions go through the Windows Imaging
// Component. Pictures whose pixels would exceed kMaxImagePixelBytes (dib.h)
// are refused, so a small hostile file cannot exhaust memory.

#include "services/encoding.h"

// COM initialised (apartment-threaded) on the calling thread, once per
// thread; true when it is usable there.
bool ensure_com();

// Starts with the eight-byte PNG signature.
bool is_png(const Bytes& data);

// A PNG decoded into a 32-bit bottom-up DIB (40-byte header, alpha 255).
// False, with dib empty, on any failure.
bool png_to_dib(const Bytes& png, Bytes& dib);

// A DIB of 1, 4, 8, 24 or 32 bits (rows either way up) encoded as PNG,
// opaque. False, with png empty, on any failure.
bool dib_to_png(const Bytes& dib, Bytes& png);
