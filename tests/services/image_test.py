"""Image conversion against an outside oracle: ImageMagick makes the PNGs we
decode and reads the PNGs we encode; Python builds the DIBs byte by byte."""

import os
import shutil
import struct
import subprocess
import unittest
import zlib

from korvane_harness import helper, temp_dir, wine, win_path

PROBE = helper("image_probe")
CONVERT = shutil.which("convert") or "/usr/bin/convert"


def magick_rgba(path):
    """(width, height, RGBA bytes) as ImageMagick reads the file."""
    size = subprocess.run([CONVERT, path, "-format", "%w %h", "info:"], capture_output=True, check=True).stdout
    w, h = map(int, size.split())
    rgba = subprocess.run([CONVERT, path, "-depth", "8", "rgba:-"], capture_output=True, check=True).stdout
    return w, h, rgba


def parse_dib32(data):
    """(width, height, top-down RGBA bytes) of a 32-bit bottom-up DIB as we write them."""
    size, w, h, planes, bits, comp, image_size = struct.unpack_from("<IiiHHII", data, 0)
    assert (size, planes, bits, comp) == (40, 1, 32, 0), (size, planes, bits, comp)
    assert h > 0 and image_size == w * h * 4 and len(data) == 40 + image_size
    rows = [data[40 + y * w * 4: 40 + (y + 1) * w * 4] for y in range(h)]
    out = bytearray()
    for row in reversed(rows):
        for x in range(w):
            b, g, r, a = row[4 * x: 4 * x + 4]
            out += bytes((r, g, b, a))
    return w, h, bytes(out)


def rgb_of(rgba):
    return bytes(b for i, b in enumerate(rgba) if i % 4 != 3)


def png_chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def make_dib(width, height, bits, pixels, palette=(), clr_used=0, top_down=False, header_size=40,
             compression=0, masks=b""):
    """A DIB from rows of pixel values (palette indices, or (r, g, b) tuples), listed top-down."""
    row_bytes = (bits * width + 31) // 32 * 4
    rows = []
    for values in pixels:
        row = bytearray(row_bytes)
        for x, v in enumerate(values):
            if bits == 1:
                row[x // 8] |= v << (7 - x % 8)
            elif bits == 4:
                row[x // 2] |= v << 4 if x % 2 == 0 else v
            elif bits == 8:
                row[x] = v
            elif bits == 24:
                row[3 * x: 3 * x + 3] = bytes((v[2], v[1], v[0]))
            else:
                row[4 * x: 4 * x + 4] = bytes((v[2], v[1], v[0], 0x11))  # the fourth byte must not matter
        rows.append(bytes(row))
    if not top_down:
        rows.reverse()
    header = struct.pack("<IiiHHIIiiII", header_size, width, -height if top_down else height, 1, bits,
                         compression, row_bytes * height, 0, 0, clr_used, 0)
    header += bytes(header_size - 40)
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    return header + masks + table + b"".join(rows)


def expected_rgba(pixels, palette=()):
    out = bytearray()
    for values in pixels:
        for v in values:
            r, g, b = palette[v] if isinstance(v, int) else v
            out += bytes((r, g, b, 255))
    return bytes(out)


class ImageConversion(unittest.TestCase):
    def setUp(self):
        self.tmp = temp_dir()

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, name):
        return os.path.join(self.tmp.name, name)

    def probe(self, command, src, dst, expect_ok=True):
        proc = wine(PROBE, command, win_path(src), win_path(dst), check=False)
        if expect_ok:
            self.assertEqual(proc.returncode, 0, f"{command} failed: {proc.stderr.decode(errors='replace')}")
        else:
            self.assertEqual(proc.returncode, 1, f"{command} should fail quietly")
            self.assertFalse(os.path.exists(dst))

    def decode(self, png_path):
        self.probe("png2dib", png_path, self.path("out.dib"))
        with open(self.path("out.dib"), "rb") as f:
            return parse_dib32(f.read())

    def encode(self, dib):
        with open(self.path("in.dib"), "wb") as f:
            f.write(dib)
        self.probe("dib2png", self.path("in.dib"), self.path("out.png"))
        return magick_rgba(self.path("out.png"))

    def test_pngs_made_by_imagemagick_decode_to_their_pixels(self):
        cases = {
            "rgb": ["-size", "7x5", "gradient:red-blue", "-type", "TrueColor", "PNG24:{}"],
            "rgba": ["-size", "6x4", "gradient:#ff000080-#00ff00ff", "PNG32:{}"],
            "gray": ["-size", "5x3", "gradient:", "-type", "Grayscale", "PNG8:{}"],
            "palette": ["-size", "9x2", "plasma:fractal", "-colors", "5", "PNG8:{}"],
            "deep": ["-size", "4x4", "gradient:#123456-#abcdef", "-depth", "16", "PNG48:{}"],
            "interlaced": ["-size", "11x13", "gradient:yellow-navy", "-interlace", "PNG", "PNG24:{}"],
            "one_pixel": ["-size", "1x1", "xc:#0a141e", "PNG24:{}"],
        }
        for name, args in cases.items():
            with self.subTest(name):
                png = self.path(name + ".png")
                subprocess.run([CONVERT, *[a.format(png) for a in args]], check=True)
                w, h, rgba = magick_rgba(png)
                dw, dh, drgba = self.decode(png)
                self.assertEqual((dw, dh), (w, h))
                self.assertTrue(all(drgba[i] == 255 for i in range(3, len(drgba), 4)), "alpha is made opaque")
                if name == "deep":
                    # 16 bits a channel are rounded to 8, possibly each their own way.
                    diffs = [abs(a - b) for a, b in zip(rgb_of(drgba), rgb_of(rgba))]
                    self.assertLessEqual(max(diffs), 1)
                else:
                    self.assertEqual(rgb_of(drgba), rgb_of(rgba))

    def test_dibs_of_every_depth_encode_to_pngs_imagemagick_reads_back(self):
        gray16 = [(i * 17, i * 17, i * 17) for i in range(16)]
        colours = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (10, 20, 30), (200, 150, 100)]
        true_rows = [[((x * 37) % 256, (y * 91) % 256, (x * y * 13) % 256) for x in range(5)] for y in range(3)]
        cases = {
            "1bit": (9, 3, 1, [[(x + y) % 2 for x in range(9)] for y in range(3)], [(0, 0, 0), (255, 255, 255)], 0),
            "4bit": (5, 2, 4, [[(x * 3 + y) % 16 for x in range(5)] for y in range(2)], gray16, 0),
            "8bit_used": (3, 2, 8, [[0, 1, 2], [4, 3, 2]], colours, 5),
            # biClrUsed 0 at 8 bits: a full table of 256 entries sits before the pixels.
            "8bit_full": (3, 1, 8, [[0, 255, 128]], [(i, 255 - i, i // 2) for i in range(256)], 0),
            "24bit": (5, 3, 24, true_rows, (), 0),
            "32bit": (5, 3, 32, true_rows, (), 0),
        }
        for name, (w, h, bits, rows, palette, used) in cases.items():
            for top_down in (False, True):
                with self.subTest(name, top_down=top_down):
                    dib = make_dib(w, h, bits, rows, palette, used, top_down)
                    mw, mh, rgba = self.encode(dib)
                    self.assertEqual((mw, mh), (w, h))
                    self.assertEqual(rgba, expected_rgba(rows, palette))

    def test_dib_headers_beyond_the_plain_one(self):
        rows = [[(1, 2, 3), (250, 128, 7)], [(9, 8, 7), (0, 0, 0)]]
        # A V5 header (124 bytes) with the standard masks inside it.
        v5 = bytearray(make_dib(2, 2, 32, rows, header_size=124, compression=3))
        struct.pack_into("<III", v5, 40, 0xFF0000, 0xFF00, 0xFF)
        self.assertEqual(self.encode(bytes(v5))[2], expected_rgba(rows))
        # BI_BITFIELDS after a plain header: three masks before the pixels.
        masked = make_dib(2, 2, 32, rows, compression=3, masks=struct.pack("<III", 0xFF0000, 0xFF00, 0xFF))
        self.assertEqual(self.encode(masked)[2], expected_rgba(rows))

    def test_we_encode_and_decode_consistently(self):
        rows = [[((x * 29) % 256, (y * 53) % 256, 77) for x in range(17)] for y in range(9)]
        self.encode(make_dib(17, 9, 24, rows))
        w, h, rgba = self.decode(self.path("out.png"))
        self.assertEqual((w, h, rgba), (17, 9, expected_rgba(rows)))

    def test_bad_input_fails_quietly(self):
        src = self.path("bad.bin")
        good = make_dib(4, 4, 24, [[(1, 2, 3)] * 4] * 4)
        ihdr = lambda w, h: png_chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
        idat = png_chunk(b"IDAT", zlib.compress(b"\0" * 64))
        sig = b"\x89PNG\r\n\x1a\n"
        cases = {
            "dib2png": {
                "empty": b"",
                "short header": good[:39],
                "truncated pixels": good[:-1],
                "16 bits": struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 16, 0, 8, 0, 0, 0, 0) + bytes(8),
                "zero height": struct.pack("<IiiHHIIiiII", 40, 4, 0, 1, 24, 0, 0, 0, 0, 0, 0),
                "negative width": struct.pack("<IiiHHIIiiII", 40, -4, 4, 1, 24, 0, 0, 0, 0, 0, 0) + bytes(64),
                "absurd size": struct.pack("<IiiHHIIiiII", 40, 0x7FFFFFFF, 0x7FFFFFFF, 1, 32, 0, 0, 0, 0, 0, 0),
                "header size past end": struct.pack("<IiiHHIIiiII", 0x7FFFFFFF, 1, 1, 1, 24, 0, 0, 0, 0, 0, 0) + bytes(4),
                "huge table": struct.pack("<IiiHHIIiiII", 40, 1, 1, 1, 8, 0, 0, 0, 0, 0xFFFFFFFF, 0) + bytes(8),
                "run-length": struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 8, 1, 0, 0, 0, 0, 0) + bytes(1100),
            },
            "png2dib": {
                "not a png": b"GIF89a" + bytes(100),
                "signature only": sig,
                "truncated": self._small_png()[:40],
                # A few hundred bytes that promise 60000 x 60000 pixels (14 GB).
                "huge dimensions": sig + ihdr(60000, 60000) + idat + png_chunk(b"IEND", b""),
                "zero width": sig + ihdr(0, 5) + idat + png_chunk(b"IEND", b""),
            },
        }
        for command, inputs in cases.items():
            for name, data in inputs.items():
                with self.subTest(command=command, case=name):
                    with open(src, "wb") as f:
                        f.write(data)
                    self.probe(command, src, self.path("never.out"), expect_ok=False)

    def _small_png(self):
        path = self.path("small.png")
        subprocess.run([CONVERT, "-size", "8x8", "gradient:red-blue", "PNG24:" + path], check=True)
        with open(path, "rb") as f:
            return f.read()


if __name__ == "__main__":
    unittest.main()
