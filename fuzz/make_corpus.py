#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
"""Makes the starting inputs of the fuzz targets in fuzz/corpus/<target>/.

Pieces of the CCITT fax pages (Debian's jbigkit-testdata, through jbgtopbm)
and small pages drawn here, as analysis inputs in the format that
la_execute_fuzzer.cpp reads, as TIFF files of every compression and pixel
kind the reader handles (libtiff's ppm2tiff and tiffcp, plus a few files
written here: palette, 16-bit, annotation tag, damaged), and zone tables for
the XML writer, and PNG and netpbm pages of every colour type and depth
for their readers. Every file is tiny; run again to remake them all.
"""
import os
import random
import shutil
import struct
import zlib
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")


# ---- pages as rows of 0/1 (1 = black), first row = top of the page ----------

def ccitt_page(n, tmp):
    jbg = f"/usr/share/jbigkit-testdata/ccitt{n}.jbg"
    pbm = os.path.join(tmp, f"ccitt{n}.pbm")
    subprocess.run(["jbgtopbm", jbg, pbm], check=True)
    with open(pbm, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 3:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    width, height = int(fields[1]), int(fields[2])
    row_bytes = (width + 7) // 8
    return [data[pos + y * row_bytes: pos + (y + 1) * row_bytes] for y in range(height)]


def crop(page, x, y, w, h):
    """Pixels of a piece of a packed page, as rows of 0/1."""
    return [[(row[c >> 3] >> (7 - (c & 7))) & 1 for c in range(x, x + w)]
            for row in page[y:y + h]]


def blank(w, h):
    return [[0] * w for _ in range(h)]


def fill(rows, x, y, w, h, v=1):
    for yy in range(max(y, 0), min(y + h, len(rows))):
        for xx in range(max(x, 0), min(x + w, len(rows[0]))):
            rows[yy][xx] = v


def ruled_table(w, h):
    rows = blank(w, h)
    for r in range(0, h - 8, 24):
        fill(rows, 4, 4 + r, w - 8, 2)
    for c in range(4, w - 4, 40):
        fill(rows, c, 4, 2, h - 12)
    return rows


def inverse_band(rows):
    out = [r[:] for r in rows]
    h = len(out)
    for y in range(h // 3, 2 * h // 3):
        out[y] = [1 - v for v in out[y]]
    return out


def noise(w, h, permille, rnd):
    return [[1 if rnd.randrange(1000) < permille else 0 for _ in range(w)] for _ in range(h)]


def packed_rows(rows, pad_to=4):
    """Bottom-up DIB rows: the last page row first, rows padded to 4 bytes."""
    w = len(rows[0])
    length = (w + 31) // 32 * 4 if pad_to == 4 else (w + 7) // 8
    out = bytearray()
    for r in reversed(rows):
        b = bytearray(length)
        for x, v in enumerate(r):
            if v:
                b[x >> 3] |= 0x80 >> (x & 7)
        out += b
    return bytes(out)


def pbm(rows):
    w, h = len(rows[0]), len(rows)
    out = bytearray(f"P4\n{w} {h}\n".encode())
    for r in rows:
        b = bytearray((w + 7) // 8)
        for x, v in enumerate(r):
            if v:
                b[x >> 3] |= 0x80 >> (x & 7)
        out += b
    return bytes(out)


# ---- analysis inputs -------------------------------------------------------

def analysis_input(rows, flags=0, pipe=(), settings=(), reshape=0):
    w, h = len(rows[0]), len(rows)
    out = bytearray([flags, len(pipe)])
    code_index = {1: 0, 2: 1, 4: 2, 8: 3, 16: 4, 32: 5, 0: 6, 3: 7, 64: 8, -1: 9}
    out += bytes(code_index[c] for c in pipe)
    out.append(len(settings))
    parameter_index = {100: 0, 101: 1, 102: 2, 200: 3, 201: 4, 202: 5, 203: 6, 300: 7,
                       301: 8, 400: 9, 500: 10, 600: 11}
    for pid, value in settings:
        out.append(parameter_index[pid])
        out += struct.pack("<i", value)
    out += struct.pack("<HH", w - 1, h - 1)
    out.append(reshape)
    out += packed_rows(rows)
    return bytes(out)


def raw_dib_input(rows, black_first=False):
    w, h = len(rows[0]), len(rows)
    pixels = packed_rows(rows)
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 1, 0, len(pixels), 7874, 7874, 2, 2)
    palette = (b"\0\0\0\0\xff\xff\xff\0" if black_first else b"\xff\xff\xff\0\0\0\0\0")
    if black_first:
        pixels = bytes(255 - b for b in pixels)
    return bytes([1, 0, 0, 0, 0, 0, 0, 0]) + header + palette + pixels


DEFAULTS = [(100, 80), (101, 120), (102, 3), (400, 9), (300, 80), (301, 120),
            (200, 80)]
EVERY_FUNCTION = (1, 2, 8, 4, 16, 32)


def make_analysis_corpus(pages, rnd):
    out = {}
    text1 = crop(pages[1], 200, 300, 160, 150)
    text2 = crop(pages[2], 900, 1200, 160, 150)
    drawing = crop(pages[3], 600, 900, 120, 120)
    out["ccitt1-text-default"] = analysis_input(text1)
    out["ccitt2-text-every-function"] = analysis_input(text2, flags=4, pipe=EVERY_FUNCTION,
                                                       settings=DEFAULTS)
    out["ccitt3-drawing-pictures"] = analysis_input(drawing, flags=4, pipe=(16, 32),
                                                    settings=[(400, 9)])
    out["inverse-band"] = analysis_input(inverse_band(text1), flags=4, pipe=(8, 32),
                                         settings=[(300, 80)])
    out["ruled-table"] = analysis_input(ruled_table(160, 100), flags=4, pipe=(2, 4, 32),
                                        settings=DEFAULTS)
    out["skew-twice"] = analysis_input(text2, flags=4 | 8, pipe=(1, 1, 32), reshape=0x41)
    out["second-page-keeps-lines"] = analysis_input(ruled_table(120, 80), flags=4 | 8 | 32,
                                                    pipe=(2,), reshape=0x05)
    out["noise-top-down"] = analysis_input(noise(96, 96, 300, rnd), flags=16 | 2)
    out["raw-dib"] = raw_dib_input(crop(pages[4], 300, 400, 64, 64))
    out["raw-dib-black-first"] = raw_dib_input(crop(pages[5], 300, 400, 48, 40), True)
    return out


# ---- TIFF files ---------------------------------------------------------------

def tiff_file(entries, strips, big_endian=False, annotation=None):
    """One-directory classic TIFF; entries: (tag, type, values) with types 3 or 4."""
    e = ">" if big_endian else "<"
    data = bytearray(b"MM\0*" if big_endian else b"II*\0")
    data += struct.pack(e + "I", 0)
    offsets = []
    for strip in strips:
        offsets.append(len(data))
        data += strip
    extra = []
    if annotation is not None:
        extra.append((32932, 7, annotation))
    all_entries = list(entries) + [(273, 4, offsets), (279, 4, [len(s) for s in strips])]
    blobs = {}
    for tag, typ, values in all_entries + extra:
        size = {3: 2, 4: 4, 7: 1}[typ]
        count = len(values)
        if count * size > 4:
            if len(data) % 2:
                data.append(0)
            blobs[tag] = len(data)
            if typ == 7:
                data += bytes(values)
            else:
                data += b"".join(struct.pack(e + ("H" if typ == 3 else "I"), v) for v in values)
    if len(data) % 2:
        data.append(0)
    ifd = len(data)
    struct.pack_into(e + "I", data, 4, ifd)
    items = sorted(all_entries + extra, key=lambda t: t[0])
    data += struct.pack(e + "H", len(items))
    for tag, typ, values in items:
        size = {3: 2, 4: 4, 7: 1}[typ]
        count = len(values)
        data += struct.pack(e + "HHI", tag, typ, count)
        if count * size > 4:
            data += struct.pack(e + "I", blobs[tag])
        else:
            raw = (bytes(values) if typ == 7 else
                   b"".join(struct.pack(e + ("H" if typ == 3 else "I"), v) for v in values))
            data += raw.ljust(4, b"\0")
    data += struct.pack(e + "I", 0)
    return bytes(data)


def written_tiffs(rnd):
    out = {}
    w, h = 16, 8
    grey4 = bytes(rnd.randrange(256) for _ in range(w * h // 2))
    cmap = [i * 4369 for i in range(16)] * 3
    out["palette-4bit.tif"] = tiff_file(
        [(256, 3, [w]), (257, 3, [h]), (258, 3, [4]), (259, 3, [1]), (262, 3, [3]),
         (278, 3, [h]), (320, 3, cmap)], [grey4])
    wide = b"".join(struct.pack("<H", rnd.randrange(65536)) for _ in range(w * h))
    out["grey-16bit.tif"] = tiff_file(
        [(256, 3, [w]), (257, 3, [h]), (258, 3, [16]), (259, 3, [1]), (262, 3, [1]),
         (278, 3, [h])], [wide])
    bits = bytes(rnd.randrange(256) for _ in range(2 * 32))
    out["annotated-bilevel-be.tif"] = tiff_file(
        [(256, 3, [16]), (257, 3, [32]), (258, 3, [1]), (259, 3, [1]), (262, 3, [0]),
         (278, 3, [8])], [bits[i:i + 16] for i in range(0, 64, 16)], big_endian=True,
        annotation=list(b"annotation blob " * 3))
    good = out["annotated-bilevel-be.tif"]
    out["truncated.tif"] = good[: len(good) * 2 // 3]
    looped = bytearray(out["palette-4bit.tif"])
    ifd = struct.unpack_from("<I", looped, 4)[0]
    count = struct.unpack_from("<H", looped, ifd)[0]
    struct.pack_into("<I", looped, ifd + 2 + 12 * count, ifd)  # next directory: itself
    out["directory-loop.tif"] = bytes(looped)
    return out


def tool_tiffs(pages, rnd, tmp):
    out = {}
    text = crop(pages[1], 200, 300, 96, 64)
    pbm_path = os.path.join(tmp, "text.pbm")
    with open(pbm_path, "wb") as f:
        f.write(pbm(text))
    grey_path = os.path.join(tmp, "grey.pgm")
    with open(grey_path, "wb") as f:
        f.write(b"P5\n24 16\n255\n" + bytes((x * 10 + y * 7) % 256 for y in range(16)
                                           for x in range(24)))
    rgb_path = os.path.join(tmp, "rgb.ppm")
    with open(rgb_path, "wb") as f:
        f.write(b"P6\n16 16\n255\n" + bytes(rnd.randrange(256) for _ in range(16 * 16 * 3)))

    def ppm2tiff(source, name, *options):
        target = os.path.join(tmp, name)
        subprocess.run(["ppm2tiff", *options, source, target], check=True)
        return target

    def tiffcp(sources, name, *options):
        target = os.path.join(tmp, name)
        subprocess.run(["tiffcp", *options, *sources, target], check=True)
        return target

    made = [
        ppm2tiff(pbm_path, "bilevel-g4.tif", "-c", "g4", "-R", "200"),
        ppm2tiff(pbm_path, "bilevel-g3-1d.tif", "-c", "g3", "-r", "16"),
        ppm2tiff(pbm_path, "bilevel-g3-2d.tif", "-c", "g3:2d"),
        ppm2tiff(pbm_path, "bilevel-none.tif", "-c", "none", "-r", "20"),
        ppm2tiff(pbm_path, "bilevel-packbits.tif", "-c", "packbits"),
        ppm2tiff(grey_path, "grey-lzw.tif", "-c", "lzw:2"),
        ppm2tiff(grey_path, "grey-deflate.tif", "-c", "zip"),
        ppm2tiff(rgb_path, "rgb-jpeg.tif", "-c", "jpeg:50"),
        ppm2tiff(rgb_path, "rgb-none.tif", "-c", "none"),
    ]
    made.append(tiffcp([made[0], made[5]], "two-pages.tif"))
    made.append(tiffcp([made[3]], "bilevel-tiled-be.tif", "-t", "-w", "16", "-l", "16", "-B"))
    made.append(tiffcp([made[8]], "rgb-planar.tif", "-p", "separate"))
    made.append(tiffcp([made[3]], "bilevel-lsb-first.tif", "-f", "lsb2msb", "-c", "g4"))
    for path in made:
        with open(path, "rb") as f:
            out[os.path.basename(path)] = f.read()
    return out


# ---- zone tables -----------------------------------------------------------------

def zone_table(zones, count=None, flags=0):
    out = bytearray([flags]) + struct.pack("<i", len(zones) if count is None else count)
    for z in zones:
        out += struct.pack("<5i", *z)
    return bytes(out)


def make_xml_corpus(rnd):
    page = [(x, y, x + w, y + h, c) for (x, y, w, h, c) in
            [(100, 80, 1200, 40, 6), (100, 150, 1200, 3, 0), (100, 200, 600, 400, 1),
             (100, 200, 200, 400, 2), (300, 200, 200, 100, 3), (900, 700, 300, 120, 4),
             (900, 900, 300, 300, 5), (40, 2300, 8, 6, 7)]]
    return {
        "page-zones": zone_table(page, flags=1),
        "empty": zone_table([]),
        "count-beyond-table": zone_table(page[:2], count=5),
        "negative-count": zone_table(page[:1], count=-3),
        "extreme-values": zone_table([(-2**31, 2**31 - 1, 0, -1, 99), (0, 0, 0, 0, -7)],
                                     flags=1),
        "random": zone_table([tuple(rnd.randrange(-5000, 5000) for _ in range(4)) +
                              (rnd.randrange(-2, 10),) for _ in range(20)]),
    }


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png_file(width, height, depth, colour, rows, extra=b"", interlace=0):
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace)
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + extra +
            png_chunk(b"IDAT", zlib.compress(raw)) + png_chunk(b"IEND", b""))


def make_png_corpus(rnd):
    def noise(n):
        return bytes(rnd.randrange(256) for _ in range(n))
    phys = png_chunk(b"pHYs", struct.pack(">IIB", 7874, 7874, 1))
    plte = png_chunk(b"PLTE", bytes([0, 0, 0, 255, 255, 255, 200, 100, 50, 10, 20, 30]))
    trns = png_chunk(b"tRNS", struct.pack(">H", 255))
    files = {
        "bilevel.png": png_file(16, 8, 1, 0, [noise(2) for _ in range(8)], phys),
        "grey2.png": png_file(8, 4, 2, 0, [noise(2) for _ in range(4)]),
        "grey16-trns.png": png_file(4, 4, 16, 0, [noise(8) for _ in range(4)],
                                    png_chunk(b"tRNS", struct.pack(">H", 0x1234))),
        "grey-alpha.png": png_file(4, 4, 8, 4, [noise(8) for _ in range(4)]),
        "palette4.png": png_file(8, 4, 4, 3, [noise(4) for _ in range(4)], plte),
        "rgb.png": png_file(4, 4, 8, 2, [noise(12) for _ in range(4)], phys),
        "rgb-trns.png": png_file(4, 4, 8, 2, [noise(12) for _ in range(4)],
                                 png_chunk(b"tRNS", struct.pack(">HHH", 1, 2, 3))),
        "rgba16.png": png_file(3, 3, 16, 6, [noise(24) for _ in range(3)]),
        "interlaced.png": png_file(9, 9, 8, 0, [noise(9) for _ in range(9)], interlace=1),
        "grey-trns-8.png": png_file(4, 2, 8, 0, [noise(4) for _ in range(2)], trns),
    }
    whole = files["rgb.png"]
    files["truncated.png"] = whole[:len(whole) - 20]
    return files


def make_pnm_corpus(rnd):
    def noise(n):
        return bytes(rnd.randrange(256) for _ in range(n))
    return {
        "plain.pbm": b"P1\n# a comment\n5 2\n10101\n0 1 0 1 0\n",
        "raw.pbm": b"P4\n12 3\n" + noise(6),
        "plain.pgm": b"P2\n3 2\n15\n0 7 15\n15 7 0\n",
        "raw16.pgm": b"P5\n2 2\n65535\n" + noise(8),
        "raw.ppm": b"P6\n3 2\n255\n" + noise(18),
        "plain.ppm": b"P3\n1 2\n255\n1 2 3\n4 5 6\n",
        "bw.pam": b"P7\nWIDTH 3\nHEIGHT 2\nDEPTH 1\nMAXVAL 1\nTUPLTYPE BLACKANDWHITE\nENDHDR\n" +
                  bytes([0, 1, 0, 1, 1, 0]),
        "rgba.pam": b"P7\nWIDTH 2\nHEIGHT 1\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" +
                    noise(8),
        "three-images.pnm": b"P1\n1 1\n1\nP2\n2 1\n9\n3 9\nP4\n8 1\n\xaa",
        "truncated.ppm": b"P6\n40 40\n255\n" + noise(30),
        "zero-maxval.pgm": b"P2\n1 1\n0\n0\n",
    }


def write(target, files):
    folder = os.path.join(CORPUS, target)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def main():
    rnd = random.Random(20240611)
    with tempfile.TemporaryDirectory() as tmp:
        pages = {n: ccitt_page(n, tmp) for n in (1, 2, 3, 4, 5)}
        write("la_execute_fuzzer", make_analysis_corpus(pages, rnd))
        tiffs = tool_tiffs(pages, rnd, tmp)
        tiffs.update(written_tiffs(rnd))
        write("tiff_reader_fuzzer", tiffs)
    write("layout_xml_fuzzer", make_xml_corpus(rnd))
    write("png_reader_fuzzer", make_png_corpus(random.Random(17)))
    write("pnm_reader_fuzzer", make_pnm_corpus(random.Random(17)))
    total = sum(os.path.getsize(os.path.join(d, f))
                for d, _, fs in os.walk(CORPUS) for f in fs)
    print(f"corpus: {total} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
