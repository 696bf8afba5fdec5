#!/usr/bin/env python3
"""Writes the files Kelvaro Workstation ships (the folder data/ of the source tree).

    python3 tools/make-data/make_data.py            write data/
    python3 tools/make-data/make_data.py --check    compare data/ with a fresh
                                                    build and re-read every file
    python3 tools/make-data/make_data.py --out DIR  write into DIR instead

Standard library only. The output is deterministic: the same script writes the
same bytes, so the committed files can be checked against it at any time.

Files written:
  KELVARO1.ICO, KELVARO2.ICO   the two window icons of the title animation
  kelvaro-workstation.png      the application icon (64 x 64), for the desktop
  kelvaro-workstation.ico      the same picture for the splash and About windows
  toolbar-open.ico             toolbar images, 16 x 16
  toolbar-delete.ico
  toolbar-help.ico
(The program's own pictures are icons, which it reads with the decoder it
already needs for the window icons: no PNG decoder stays with it.)
  autost1.wav                  start sound
  kelvaroreg.wav               About box sound
  KelvaroWorkStation.html      the help page
  kelvaro-workstation.desktop  the desktop entry
  kelvaro-restore.desktop      the desktop entry of the Restore window
"""

import argparse
import base64
import io
import math
import os
import struct
import sys
import wave
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.normpath(os.path.join(HERE, "..", "..", "data"))


# --------------------------------------------------------------------------
# Pixels
# --------------------------------------------------------------------------

def rgb(hex_text, alpha=255):
    """'#rrggbb' -> (r, g, b, a)."""
    h = hex_text.lstrip("#")
    return (int(h[0:2], 16), int(h[2:4], 16), int(h[4:6], 16), alpha)


class Canvas:
    """An RGBA image with straight (not premultiplied) alpha, drawn with
    anti-aliased shapes (supersampled coverage) and pixel-art stamps."""

    def __init__(self, width, height):
        self.w = width
        self.h = height
        # Each pixel as floats r, g, b in 0..255 and a in 0..1.
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def blend(self, x, y, color, cover=1.0):
        """Paints color over pixel (x, y) with the given coverage (0..1)."""
        if not (0 <= x < self.w and 0 <= y < self.h) or cover <= 0.0:
            return
        sa = color[3] / 255.0 * min(cover, 1.0)
        if sa <= 0.0:
            return
        p = self.px[y * self.w + x]
        da = p[3]
        oa = sa + da * (1.0 - sa)
        for i in range(3):
            p[i] = (color[i] * sa + p[i] * da * (1.0 - sa)) / oa
        p[3] = oa

    def fill(self, inside, color, scale=1.0, ss=8, clip=None):
        """Fills the shape `inside(x, y) -> bool`, given in design units; one
        design unit is `scale` pixels. Each pixel is sampled ss x ss times."""
        step = 1.0 / ss
        for py in range(self.h):
            for px in range(self.w):
                if clip is not None:
                    x0, y0, x1, y1 = clip
                    if px + 1 <= x0 * scale or px >= x1 * scale:
                        continue
                    if py + 1 <= y0 * scale or py >= y1 * scale:
                        continue
                hits = 0
                for j in range(ss):
                    sy = (py + (j + 0.5) * step) / scale
                    for i in range(ss):
                        sx = (px + (i + 0.5) * step) / scale
                        if inside(sx, sy):
                            hits += 1
                if hits:
                    self.blend(px, py, color, hits / (ss * ss))

    def stamp(self, rows, palette, x0=0, y0=0):
        """Paints a pixel-art picture: one string per row, one character per
        pixel; characters missing from the palette are left alone."""
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                if ch in palette:
                    self.blend(x0 + x, y0 + y, palette[ch])

    def rgba_bytes(self):
        """Rows top to bottom, RGBA, 8 bits each."""
        out = bytearray()
        for p in self.px:
            a = p[3]
            if a <= 0.0:
                out += b"\0\0\0\0"
                continue
            out += bytes((clamp8(p[0]), clamp8(p[1]), clamp8(p[2]),
                          clamp8(a * 255.0)))
        return bytes(out)


def clamp8(v):
    return max(0, min(255, int(math.floor(v + 0.5))))


# Shapes: functions (x, y) -> bool in design units.

def rrect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_out, r_in):
    def inside(x, y):
        d = (x - cx) ** 2 + (y - cy) ** 2
        return r_in * r_in <= d <= r_out * r_out
    return inside


def segment(x0, y0, x1, y1, width):
    """A stroke with round ends from (x0, y0) to (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy
    half = width / 2.0

    def inside(x, y):
        t = ((x - x0) * dx + (y - y0) * dy) / ll if ll else 0.0
        t = min(1.0, max(0.0, t))
        qx, qy = x0 + t * dx - x, y0 + t * dy - y
        return qx * qx + qy * qy <= half * half
    return inside


def polygon(points):
    """Even-odd rule."""
    pts = list(points)

    def inside(x, y):
        c = False
        n = len(pts)
        for i in range(n):
            xa, ya = pts[i]
            xb, yb = pts[(i + 1) % n]
            if (ya > y) != (yb > y):
                xc = xa + (y - ya) * (xb - xa) / (yb - ya)
                if x < xc:
                    c = not c
        return c
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


# --------------------------------------------------------------------------
# File formats
# --------------------------------------------------------------------------

def png_bytes(canvas):
    """A truecolour-with-alpha PNG, no ancillary chunks (so no time stamp)."""
    def chunk(kind, data):
        body = kind + data
        return (struct.pack(">I", len(data)) + body
                + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF))

    raw = canvas.rgba_bytes()
    stride = canvas.w * 4
    lines = bytearray()
    for y in range(canvas.h):
        lines.append(0)  # filter type None
        lines += raw[y * stride:(y + 1) * stride]
    ihdr = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(bytes(lines), 9))
            + chunk(b"IEND", b""))


def dib_icon_image(canvas):
    """One icon image in the classic DIB form: BITMAPINFOHEADER (height
    doubled), 32-bit BGRA rows bottom-up, then the 1-bit AND mask."""
    w, h = canvas.w, canvas.h
    raw = canvas.rgba_bytes()
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = raw[(y * w + x) * 4:(y * w + x) * 4 + 4]
            xor += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(w):
            if raw[(y * w + x) * 4 + 3] < 128:  # transparent for old readers
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def ico_bytes(canvases):
    """ICONDIR, one ICONDIRENTRY per image, then the images."""
    images = [dib_icon_image(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, img in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32,
                           len(img), offset)
        offset += len(img)
    return out + b"".join(images)


RATE = 22050


def wav_bytes(samples):
    """16-bit mono PCM at RATE from floats in -1..1."""
    frames = b"".join(struct.pack("<h", max(-32767, min(32767,
                      int(math.floor(s * 32767.0 + 0.5))))) for s in samples)
    buf = io.BytesIO()
    with wave.open(buf, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)
    return buf.getvalue()


# --------------------------------------------------------------------------
# Pictures
# --------------------------------------------------------------------------

OUTLINE = rgb("#1b1f27")
BODY = rgb("#465062")
BODY_LIGHT = rgb("#5d687d")
WINDOW = rgb("#1e222b")
TAPE = rgb("#7a4a2a")
REEL = rgb("#f4f1ea")
HUB = rgb("#2a2f3a")
WRITING = rgb("#ffffff", 200)
HOLE = rgb("#101318")

# The label colour is what swaps between the two animation frames.
LABEL = {1: rgb("#3d86da"), 2: rgb("#f19a2e")}
LABEL_DARK = {1: rgb("#2a64ad"), 2: rgb("#c9761a")}


def cassette_vector(size, frame):
    """The tape cassette drawn with smooth shapes on a 32-unit design grid,
    for the 32 x 32 icon and the 64 x 64 application icon. Frame 2 turns the
    reels by 60 degrees and changes the label colour."""
    c = Canvas(size, size)
    s = size / 32.0
    # Body with its dark rim.
    c.fill(rrect(0.5, 5.5, 31.5, 26.5, 2.6), OUTLINE, s)
    c.fill(rrect(1.5, 6.5, 30.5, 25.5, 1.8), BODY, s)
    # A lighter top edge gives some depth.
    c.fill(minus(rrect(1.5, 6.5, 30.5, 25.5, 1.8),
                 rrect(1.5, 7.5, 30.5, 26.5, 1.8)), BODY_LIGHT, s)
    # Label.
    c.fill(rrect(3.5, 8.0, 28.5, 20.5, 1.2), LABEL_DARK[frame], s)
    c.fill(rrect(4.0, 8.5, 28.0, 20.0, 0.9), LABEL[frame], s)
    # A written line on the label.
    c.fill(rrect(6.0, 9.6, 26.0, 10.6, 0.5), WRITING, s)
    # Window with the tape packs and the two reels.
    win = (7.0, 11.3, 25.0, 19.3)
    c.fill(rrect(win[0], win[1], win[2], win[3], 2.0), WINDOW, s)
    c.fill(disc(11.5, 15.3, 3.9), TAPE, s, clip=win)
    c.fill(disc(20.5, 15.3, 3.4), TAPE, s, clip=win)
    # Each reel is a light disc with three dark spokes, a "Y" in the first
    # frame and an upside-down "Y" in the second, so the reels seem to turn.
    base = -90.0 if frame == 1 else 90.0
    for cx in (11.5, 20.5):
        c.fill(disc(cx, 15.3, 3.0), REEL, s)
        for k in range(3):
            a = math.radians(base + 120.0 * k)
            c.fill(segment(cx, 15.3, cx + 2.2 * math.cos(a),
                           15.3 + 2.2 * math.sin(a), 1.0), HUB, s)
        c.fill(disc(cx, 15.3, 0.85), HUB, s)
    # The head opening at the bottom edge, with its two holes.
    c.fill(polygon([(6.0, 26.5), (8.2, 21.8), (23.8, 21.8), (26.0, 26.5)]),
           OUTLINE, s)
    c.fill(polygon([(7.3, 26.5), (9.0, 22.8), (23.0, 22.8), (24.7, 26.5)]),
           BODY_LIGHT, s)
    c.fill(disc(11.0, 24.6, 0.9), HOLE, s)
    c.fill(disc(21.0, 24.6, 0.9), HOLE, s)
    c.fill(rrect(14.8, 23.8, 17.2, 25.4, 0.3), HOLE, s)
    # Screws in the corners.
    for sx, sy in ((3.0, 8.0), (29.0, 8.0), (3.0, 23.9), (29.0, 23.9)):
        c.fill(disc(sx, sy, 0.75), OUTLINE, s)
    return c


# 16 x 16: drawn pixel by pixel, so that every line falls on a pixel.
def cassette_16(frame):
    # Each reel is three by three pixels: a "+" in the first frame and an
    # "x" in the second, so the reels seem to turn.
    reel = (["dHd", "HHH", "dHd"] if frame == 1 else ["HdH", "dHd", "HdH"])
    rows = [
        "................",
        "................",
        ".kkkkkkkkkkkkkk.",
        "kbbbbbbbbbbbbbbk",
        "kbMLLLLLLLLLLMbk",
        "kbLwwwwwwwwwwLbk",
        "kbLddddddddddLbk",
        "kbL" + "d" + reel[0] + "dd" + reel[0] + "d" + "Lbk",
        "kbL" + "d" + reel[1] + "dd" + reel[1] + "d" + "Lbk",
        "kbL" + "d" + reel[2] + "dd" + reel[2] + "d" + "Lbk",
        "kbMLLLLLLLLLLMbk",
        "kbbbkkkkkkkkbbbk",
        "kbbkllllllllkbbk",
        "kbkllhllllhllkbk",
        ".kkkkkkkkkkkkkk.",
        "................",
    ]
    for r in rows:
        assert len(r) == 16, r
    palette = {
        "k": OUTLINE, "b": BODY, "l": BODY_LIGHT, "h": HOLE,
        "L": LABEL[frame], "M": LABEL_DARK[frame], "w": rgb("#ffffff", 230),
        "d": WINDOW, "H": REEL,
    }
    c = Canvas(16, 16)
    c.stamp(rows, palette)
    return c


def toolbar_open():
    """An open yellow folder with a sheet of paper in it."""
    c = Canvas(16, 16)
    edge = rgb("#8a6410")
    back = rgb("#e2b23c")
    front = rgb("#f8d56a")
    # Back of the folder with its tab.
    c.fill(polygon([(0, 3), (6, 3), (7, 5), (14, 5), (14, 15), (0, 15)]), edge)
    c.fill(polygon([(1, 4), (5.4, 4), (6.4, 6), (13, 6), (13, 14), (1, 14)]),
           back)
    # A sheet of paper sticking out, with lines of text.
    c.fill(rrect(3, 1, 12, 10, 0), rgb("#6f7682"))
    c.fill(rrect(4, 2, 11, 10, 0), rgb("#ffffff"))
    for y in (4, 6):
        c.fill(rrect(5, y, 10, y + 1, 0), rgb("#8d9bb3"))
    # The front flap, tilted open.
    c.fill(polygon([(3, 8), (16, 8), (13.4, 15), (0, 15)]), edge)
    c.fill(polygon([(3.7, 9), (14.6, 9), (12.7, 14), (1.4, 14)]), front)
    return c


def toolbar_delete():
    """A red cross."""
    c = Canvas(16, 16)
    a, b = 3.4, 12.6
    dark = rgb("#7a0b0b")
    red = rgb("#e02424")
    c.fill(union(segment(a, a, b, b, 4.6), segment(b, a, a, b, 4.6)), dark)
    c.fill(union(segment(a, a, b, b, 2.9), segment(b, a, a, b, 2.9)), red)
    return c


QUESTION = [
    "..####..",
    ".######.",
    ".##..##.",
    ".....##.",
    "....##..",
    "...##...",
    "...##...",
    "........",
    "...##...",
    "...##...",
]


def toolbar_help():
    """A white question mark on a blue disc."""
    c = Canvas(16, 16)
    c.fill(disc(8.0, 8.0, 7.6), rgb("#103c8c"))
    c.fill(disc(8.0, 8.0, 6.7), rgb("#2f6fd6"))
    # A soft highlight at the top.
    c.fill(minus(disc(8.0, 8.0, 6.7), disc(8.0, 9.6, 6.7)), rgb("#6a9cf0"))
    c.stamp(QUESTION, {"#": rgb("#ffffff")}, x0=4, y0=3)
    return c


# --------------------------------------------------------------------------
# Sounds
# --------------------------------------------------------------------------

def chime(duration, notes, peak=0.55, fade_in=0.004, fade_out=0.05):
    """Bell-like notes: each (start s, frequency Hz, loudness, decay s).
    Every note starts with a short raised-cosine attack; the whole sound
    fades in and out so that neither end clicks."""
    n = int(round(duration * RATE))
    partials = ((1.0, 1.0), (2.0, 0.32), (3.0, 0.10), (4.16, 0.05))
    attack = 0.006
    out = [0.0] * n
    for start, freq, loud, decay in notes:
        i0 = int(round(start * RATE))
        for i in range(i0, n):
            t = (i - i0) / RATE
            env = loud * math.exp(-t / decay)
            if t < attack:
                env *= 0.5 - 0.5 * math.cos(math.pi * t / attack)
            v = 0.0
            for mult, amp in partials:
                # Higher partials die away sooner, as on a real bell.
                v += amp * math.exp(-t * (mult - 1.0) * 3.0) * math.sin(
                    2.0 * math.pi * freq * mult * t)
            out[i] += env * v
    top = max(abs(v) for v in out) or 1.0
    fi, fo = int(fade_in * RATE), int(fade_out * RATE)
    for i in range(n):
        g = peak / top
        if i < fi:
            g *= 0.5 - 0.5 * math.cos(math.pi * i / fi)
        if i >= n - fo:
            g *= 0.5 - 0.5 * math.cos(math.pi * (n - 1 - i) / fo)
        out[i] *= g
    return out


def start_sound():
    # Two tones a fourth apart: G5, then C6.
    return chime(0.6, [(0.0, 783.99, 1.0, 0.20), (0.16, 1046.50, 1.0, 0.24)])


def about_sound():
    # A quick rising arpeggio, A5 - C#6 - E6, shorter and softer.
    return chime(0.4, [(0.0, 880.00, 0.8, 0.10), (0.07, 1108.73, 0.8, 0.10),
                       (0.14, 1318.51, 1.0, 0.12)], peak=0.45)


# --------------------------------------------------------------------------
# Texts
# --------------------------------------------------------------------------

DESKTOP = """\
[Desktop Entry]
Type=Application
Version=1.4
Name=Kelvaro Workstation
GenericName=Backup Scheduler
Comment=Start NTBackup on a schedule, after a 30-second countdown
Exec=kelvaro-workstation
TryExec=kelvaro-workstation
Icon=kelvaro-workstation
Terminal=false
Categories=Utility;Archiving;
Keywords=backup;tape;schedule;scheduler;NTBackup;
"""

# The backup program's own entry: started with no operation it opens Restore.
RESTORE_DESKTOP = """\
[Desktop Entry]
Type=Application
Version=1.4
Name=Restore Files
GenericName=Backup Restore
Comment=Restore files from the backup sets NTBackup wrote
Exec=NTBackup.exe
TryExec=NTBackup.exe
Icon=kelvaro-workstation
Terminal=false
Categories=Utility;Archiving;
Keywords=restore;backup;tape;NTBackup;
"""


def data_uri(png):
    return "data:image/png;base64," + base64.b64encode(png).decode("ascii")


HELP_TEMPLATE = r"""<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Kelvaro Workstation Help</title>
<style>
  body { font-family: "DejaVu Sans", Verdana, Arial, sans-serif; font-size: 15px;
         line-height: 1.5; color: #1d2330; background: #f4f5f7; margin: 0; }
  header { background: #2a3342; color: #fff; padding: 18px 28px; }
  header h1 { margin: 0; font-size: 26px; }
  header p { margin: 4px 0 0; color: #c9d3e3; }
  nav { background: #e3e7ee; padding: 8px 28px; font-size: 14px; }
  nav a { margin-right: 14px; color: #2a5da8; text-decoration: none; }
  nav a:hover { text-decoration: underline; }
  main { max-width: 900px; margin: 0 auto; padding: 8px 28px 40px; background: #fff; }
  h2 { color: #2a3342; border-bottom: 2px solid #3d86da; padding-bottom: 3px; margin-top: 34px; }
  h3 { color: #2a5da8; margin-bottom: 4px; }
  table { border-collapse: collapse; margin: 8px 0 14px; width: 100%; }
  th, td { border: 1px solid #cfd5df; padding: 5px 8px; text-align: left; vertical-align: top; }
  th { background: #eef1f6; }
  code, kbd, pre { font-family: "DejaVu Sans Mono", "Courier New", monospace; font-size: 13.5px; }
  code { background: #eef1f6; padding: 0 3px; border-radius: 3px; }
  kbd { border: 1px solid #9aa3b2; border-bottom-width: 2px; border-radius: 3px;
        padding: 0 4px; background: #fafafa; }
  pre { background: #1f2530; color: #e8ecf2; padding: 10px 12px; border-radius: 4px;
        overflow-x: auto; }
  .note { background: #fff7e0; border-left: 4px solid #f19a2e; padding: 8px 12px; margin: 12px 0; }
  .tip { background: #e8f2ff; border-left: 4px solid #3d86da; padding: 8px 12px; margin: 12px 0; }
  img.tb { width: 16px; height: 16px; vertical-align: text-bottom; image-rendering: pixelated; }
  footer { color: #6b7485; font-size: 13px; margin-top: 30px; }
</style>
</head>
<body>
<header>
  <h1>Kelvaro Workstation</h1>
  <p>A resident backup scheduler that starts NTBackup at the time you choose</p>
</header>
<nav>
  <a href="#about">What it does</a>
  <a href="#start">Getting started</a>
  <a href="#window">Main window</a>
  <a href="#tabs">The tabs</a>
  <a href="#drives">Drives</a>
  <a href="#countdown">Countdown</a>
  <a href="#menus">Menus and toolbar</a>
  <a href="#files">Settings and drive map</a>
  <a href="#messages">Messages</a>
</nav>
<main>

<h2 id="about">What Kelvaro Workstation does</h2>
<p>Kelvaro Workstation keeps a backup schedule and a set of backup options, and stays
running in the background, usually minimised. When the scheduled time comes it shows a
window that counts down <b>30 seconds</b>, and then starts the backup program
<code>NTBackup.exe</code> with a command line built from your options.</p>
<p>Kelvaro Workstation copies no data itself. It does not wait for NTBackup or watch it,
and it does not learn how the backup ended: NTBackup does the backup and writes the log
file when you ask for one.</p>
<p>There is no Save button. Every change you make in the main window is saved at once
and is used again the next time the program starts.</p>

<h2 id="start">Getting started</h2>
<p>On the first start the schedule is <b>DAILY</b> at <b>19:00</b> on all seven days,
the backup type is <b>Incremental</b>, no log file is written, tape drive 1 is used and
no drives are selected. To make it useful:</p>
<ol>
  <li>Double-click each drive to back up in <b>Available Drives</b> (see
      <a href="#drives">Drives</a>).</li>
  <li>On the <b>Current Settings</b> tab, enter the run time and choose the days, or a
      single date.</li>
  <li>Choose the backup type, the log file and the other options on the other tabs.</li>
  <li>Minimise the window with <b>File &rsaquo; Minimize</b> and leave the program
      running.</li>
</ol>
<p>To test your settings straight away, use <b>File &rsaquo; Start Backup</b>
(<kbd>F12</kbd>), which starts NTBackup at once, without the countdown.</p>

<h2 id="window">The main window</h2>
<ul>
  <li><b>Current Time</b> (on the right): the clock, <code>HH:MM:SS</code>.</li>
  <li>The panel at the bottom of the <b>Current Settings</b> tab shows the saved
      settings: the selected drives, the backup type, the switches and the tape drive
      on its first line, and <code>Log File:</code> with the log part of the command
      line on its second.</li>
  <li>The two drive lists along the bottom: <b>Available Drives</b> and <b>Selected
      Drives for Backup</b>.</li>
  <li>When a run has been snoozed, a small red and blue marker and the new run time
      appear at the lower right.</li>
  <li>The status bar shows a short hint for the control under the mouse pointer, and
      the date and time.</li>
  <li>The window title and icon change once a second between
      <i>Running...</i> and <i>Kelvaro Workstation...</i>. This only shows that the
      scheduler is running; it does not mean that a backup is in progress.</li>
</ul>
<p>The window has no close button of its own: use <b>File &rsaquo; Close</b> or
<b>File &rsaquo; Minimize</b>.</p>

<h2 id="tabs">The tabs</h2>

<h3>Current Settings</h3>
<table>
  <tr><th>Control</th><th>Meaning</th></tr>
  <tr><td><b>Run Date:</b></td>
      <td>The date of a single run, typed as <code>MM/DD/YY</code>, exactly eight
      characters (for example <code>12/31/25</code>, not <code>1/2/25</code>). It
      shows <code>DAILY</code> while the DAILY box is checked. The entry is checked
      when you leave the box.</td></tr>
  <tr><td><b>DAILY</b></td>
      <td>Checked: a backup runs at the run time on every day whose box is checked,
      and the run date shows <code>DAILY</code>. Cleared: the run date becomes today's
      date, which you can change, and the backup runs once, on that date. Checking
      DAILY again checks all seven days.</td></tr>
  <tr><td><b>Run Time:</b></td>
      <td>The time of the run, <code>HH:MM</code> on the 24-hour clock, exactly five
      characters with the leading zero: <code>07:30</code>, <code>19:00</code>,
      <code>23:15</code>. A time written any other way never starts a backup.</td></tr>
  <tr><td><b>M T W T F S S</b></td>
      <td>The days of the week, Monday to Sunday, on which a DAILY schedule runs. They
      can be changed only while DAILY is checked. At least one day stays checked: if
      you clear the last one, Monday is checked again.</td></tr>
</table>
<p>A run time or date that has already passed is not caught up later. In date mode,
once the date has passed nothing runs again until you enter a new date.</p>

<h3>Backup Type</h3>
<p>Choose one: <b>Normal</b>, <b>Copy</b>, <b>Incremental</b>, <b>Differential</b> or
<b>Daily</b>. The choice is passed to NTBackup as <code>/T Normal</code>,
<code>/T Copy</code>, <code>/T Incremental</code>, <code>/T Differential</code> or
<code>/T Daily</code>.</p>

<h3>Log File</h3>
<table>
  <tr><th>Option</th><th>What NTBackup is asked to do</th></tr>
  <tr><td><b>Full Detail</b></td><td>Write a full log to the named file
      (<code>/L "name"</code>).</td></tr>
  <tr><td><b>Summary Only</b></td><td>Write only a summary to the named file
      (<code>/L "name" /E</code>).</td></tr>
  <tr><td><b>No Log File</b></td><td>Write no log. The name box then shows
      <code>No Log File.</code></td></tr>
</table>
<p><b>Log File Name:</b> the file NTBackup writes. When you choose Full Detail or
Summary Only and no name is set, the name <code>C:\KELVARO.LOG</code> is used. Names are
written the Windows way, with a drive letter (see <a href="#files">the drive map</a>);
a name that does not begin with a drive letter, a colon and a backslash is taken as
relative to the folder the program was started in, and that folder is put in front of
it when you leave the box. After choosing No Log File the earlier name is not
remembered.</p>

<h3>Other Settings</h3>
<table>
  <tr><th>Setting</th><th>Switch passed to NTBackup</th></tr>
  <tr><td><b>Append Tape</b> &ndash; add this backup after those already on the tape</td>
      <td><code>/A</code></td></tr>
  <tr><td><b>Verify after Backup</b></td><td><code>/V</code></td></tr>
  <tr><td><b>Hardware Compression</b></td>
      <td><code>/HC:on</code> when checked, <code>/HC:off</code> when cleared</td></tr>
  <tr><td><b>Restrict Access</b></td><td><code>/R</code></td></tr>
  <tr><td><b>Backup Local Registry</b></td><td><code>/B</code></td></tr>
  <tr><td><b>Run Backup on Tape Drive Number:</b> Tape Drive:0 to Tape Drive:9</td>
      <td><code>/tape:</code> and the number</td></tr>
  <tr><td><b>Minimized at startup</b></td>
      <td>Not a switch: the program starts minimised. It takes effect at the next
      start; the main window also returns to this state each time a backup starts and
      after Snooze in the countdown window.</td></tr>
</table>

<h2 id="drives">Drives</h2>
<p><b>Available Drives</b> lists the drives C: to Z: that exist, each with the folder it
stands for, for example <code>c: [/home/alice]</code>. <b>Selected Drives for
Backup</b> lists the drives passed to NTBackup, in the order shown.</p>
<ul>
  <li><b>Double-click</b> a drive in Available Drives to add it to the selection.</li>
  <li><b>Double-click</b> a drive in Selected Drives for Backup to remove it.</li>
  <li>Up to <b>24</b> drives can be selected; only the first 24 are kept. Nothing
      stops you from adding the same drive twice, and it is then backed up twice, so
      add each drive once.</li>
  <li><b>File &rsaquo; Refresh</b> (<kbd>F5</kbd>) looks for the drives again, for
      example after you have added one to the drive map.</li>
  <li><b>Utilities &rsaquo; Clear Current Drive Selection</b> empties the
      selection.</li>
</ul>
<p>The drives come from the drive map described under
<a href="#files">Settings and drive map</a>.</p>

<h2 id="countdown">When a backup is due</h2>
<p>At the run time (on a checked day, or on the run date) a countdown window appears
on top of the other windows and counts down from 30. When it reaches the end, the backup
starts. You can also use its buttons:</p>
<table>
  <tr><th>Button</th><th>Effect</th></tr>
  <tr><td><b>OK</b></td><td>Start the backup now.</td></tr>
  <tr><td><b>Cancel</b></td><td>Drop this run. Nothing is started. With a DAILY
      schedule the next checked day runs as usual.</td></tr>
  <tr><td><b>Snooze</b></td><td>After you confirm <i>Snooze For 15 minutes</i> with
      Yes, the run moves to 15 minutes from now and the countdown appears again then.
      The new time is shown at the lower right of the main window; the Run Time box
      keeps your configured time. You can snooze again. The configured time comes
      back when the backup starts. If you answer No, the countdown window closes
      and nothing is started, as with Cancel.</td></tr>
</table>
<p>When the backup starts, Kelvaro Workstation puts the main window back into its
start-up state (minimised or normal, see <b>Minimized at startup</b>) and starts
NTBackup minimised, without taking the focus. If a window titled <i>Backup</i> is
already open, it starts nothing and says that NTBackup is already running.</p>
<p>The command line has this form (the extra blanks between its parts are left out
here):</p>
<pre>NTBackup.exe Backup c: d: /A /V /D "Kelvaro Tape" /HC:off /T Normal /L "C:\KELVARO.LOG" /tape:1</pre>
<p>The parts always come in this order: the selected drives, Append, Verify,
Restrict, the tape description <code>/D "Kelvaro Tape"</code>, Registry, Hardware
Compression, the backup type, the log, and the tape drive. Switches you have not checked
are left out, except Hardware Compression, which is then passed as
<code>/HC:off</code>.</p>
<div class="tip"><code>NTBackup.exe</code> is looked up on your <code>PATH</code> under
exactly that name. The program started receives the arguments, and also the whole
command line in the environment variable <code>KELVARO_COMMAND_LINE</code> and the
window state in <code>KELVARO_SHOW_STATE</code> (7 = minimised without the focus). If
no program of that name can be found or run, an error message is shown.</div>

<h2 id="menus">Menus and toolbar</h2>
<table>
  <tr><th>Menu</th><th>Entry</th><th>What it does</th></tr>
  <tr><td rowspan="4"><b>File</b></td>
      <td>Refresh <kbd>F5</kbd></td><td>Looks for the available drives again.</td></tr>
  <tr><td>Start Backup <kbd>F12</kbd></td>
      <td>Starts NTBackup now, without the countdown.</td></tr>
  <tr><td>Close</td><td>Asks <i>Quit Kelvaro</i>: Yes ends the program, No minimises
      it and the schedule keeps running.</td></tr>
  <tr><td>Minimize</td><td>Minimises the main window.</td></tr>
  <tr><td rowspan="4"><b>Utilities</b></td>
      <td>Sound</td><td>Turns the sounds on or off (a check mark shows they are on):
      the chime at start-up and the one of the About box.</td></tr>
  <tr><td>Clear Current Drive Selection</td><td>Empties the list of drives to back
      up.</td></tr>
  <tr><td>View Log File</td><td>Opens the log file in the desktop's viewer.</td></tr>
  <tr><td>Delete Log File</td><td>Deletes the log file, after you confirm.</td></tr>
  <tr><td rowspan="2"><b>Help</b></td>
      <td>Help</td><td>Opens this page.</td></tr>
  <tr><td>About</td><td>Shows the program version. Click anywhere in it to close
      it.</td></tr>
</table>
<p>The toolbar offers three of these commands:</p>
<table>
  <tr><th>Button</th><th>Tooltip</th><th>Same as</th></tr>
  <tr><td><img class="tb" src="@OPEN@" alt="Open"></td><td>Open Log File</td>
      <td>Utilities &rsaquo; View Log File</td></tr>
  <tr><td><img class="tb" src="@DELETE@" alt="Delete"></td><td>Delete Log File</td>
      <td>Utilities &rsaquo; Delete Log File</td></tr>
  <tr><td><img class="tb" src="@HELP@" alt="Help"></td><td>Help</td>
      <td>Help &rsaquo; Help</td></tr>
</table>
<p>The toolbar buttons do not report a failure (for example when the log file to
delete does not exist); use the menu entries to see the error.</p>

<h2 id="files">Settings and drive map</h2>
<p>The settings are kept in one file:</p>
<pre>$XDG_CONFIG_HOME/Kelvaro Workstation/settings.ini</pre>
<p>When <code>XDG_CONFIG_HOME</code> is not set this is
<code>~/.config/Kelvaro Workstation/settings.ini</code>. The file is rewritten after
every change; you do not need to edit it.</p>
<h3>The drive map</h3>
<p>Kelvaro Workstation and NTBackup speak of drives C: to Z:. On Linux these drives
are symbolic links in the folder <code>dosdevices/</code> beside the settings file,
named <code>c:</code> to <code>z:</code>, each pointing to a folder. On the first start
two drives are created:</p>
<table>
  <tr><th>Link</th><th>Points to</th></tr>
  <tr><td><code>c:</code></td><td>your home folder</td></tr>
  <tr><td><code>z:</code></td><td><code>/</code>, the whole file system</td></tr>
</table>
<p>A drive exists when its link points to a folder that exists. With the links above,
<code>C:\KELVARO.LOG</code> is the file <code>KELVARO.LOG</code> in your home folder. To
add a drive, make a link with the new letter, for example for <code>D:</code>:</p>
<pre>ln -s /mnt/data ~/.config/"Kelvaro Workstation"/dosdevices/d:</pre>
<p>Then choose <b>File &rsaquo; Refresh</b> (<kbd>F5</kbd>), and the drive appears in
Available Drives. To remove a drive, delete its link.</p>

<h2 id="messages">Messages</h2>
<table>
  <tr><th>Message</th><th>Meaning</th></tr>
  <tr><td>Please Enter a Valid Date. MM/DD/YY</td>
      <td>The run date is not a real date. Type it as <code>MM/DD/YY</code>.</td></tr>
  <tr><td>You did not enter a valid Date. MM/DD/YY</td>
      <td>The run date is not eight characters long: use two digits for the month,
      the day and the year.</td></tr>
  <tr><td>You did not enter a valid time. HH:MM</td>
      <td>The run time is not five characters long: use <code>HH:MM</code> with the
      leading zero.</td></tr>
  <tr><td>Please Pick the day(s) of the week to run backup.</td>
      <td>You cleared the last day box; Monday is checked for you.</td></tr>
  <tr><td>No Log File Set.</td>
      <td>View or Delete Log File was chosen while No Log File is selected.</td></tr>
  <tr><td>NTBackup is already running. Can not continue.</td>
      <td>A window titled <i>Backup</i> is open. Close NTBackup; this run is not
      repeated.</td></tr>
  <tr><td>Error Loading NTBackup.exe.</td>
      <td>The backup program could not be started, for example because no
      <code>NTBackup.exe</code> is on your <code>PATH</code>.</td></tr>
  <tr><td>Do you really want to end this session?</td>
      <td>The desktop asked the program to close, for example when you log out. Yes
      ends it, No keeps it running.</td></tr>
</table>

<footer>Kelvaro Workstation &ndash; help</footer>
</main>
</body>
</html>
"""


def help_page(open_png, delete_png, help_png):
    return (HELP_TEMPLATE.replace("@OPEN@", data_uri(open_png))
            .replace("@DELETE@", data_uri(delete_png))
            .replace("@HELP@", data_uri(help_png)))


# --------------------------------------------------------------------------
# Building and checking
# --------------------------------------------------------------------------

def build():
    """All files, as a dict name -> bytes."""
    files = {}
    for frame in (1, 2):
        files["KELVARO%d.ICO" % frame] = ico_bytes(
            [cassette_16(frame), cassette_vector(32, frame)])
    program = cassette_vector(64, 1)
    files["kelvaro-workstation.png"] = png_bytes(program)
    files["kelvaro-workstation.ico"] = ico_bytes([program])
    toolbar = {"open": toolbar_open(), "delete": toolbar_delete(),
               "help": toolbar_help()}
    for name, canvas in toolbar.items():
        files["toolbar-%s.ico" % name] = ico_bytes([canvas])
    files["autost1.wav"] = wav_bytes(start_sound())
    files["kelvaroreg.wav"] = wav_bytes(about_sound())
    # The help page shows the toolbar images inline, as PNG.
    files["KelvaroWorkStation.html"] = help_page(
        png_bytes(toolbar["open"]), png_bytes(toolbar["delete"]),
        png_bytes(toolbar["help"])).encode("utf-8")
    files["kelvaro-workstation.desktop"] = DESKTOP.encode("utf-8")
    files["kelvaro-restore.desktop"] = RESTORE_DESKTOP.encode("utf-8")
    return files


def read_png(data):
    """Decodes an 8-bit RGBA PNG written above (filter type None) and
    returns (width, height, pixels)."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "PNG signature"
    pos, idat, w = 8, b"", None
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        (crc,) = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
        assert zlib.crc32(kind + body) & 0xFFFFFFFF == crc, "CRC of %r" % kind
        if kind == b"IHDR":
            w, h, depth, ctype = struct.unpack(">IIBB", body[:10])
            assert (depth, ctype) == (8, 6), "RGBA 8-bit"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    assert len(raw) == h * (w * 4 + 1), "image data size"
    return w, h, raw


def check_ico(data):
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    assert (reserved, kind) == (0, 1), "ICONDIR"
    sizes = []
    for i in range(count):
        w, h, _, _, planes, bpp, size, off = struct.unpack(
            "<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        img = data[off:off + size]
        assert len(img) == size, "image inside the file"
        hdr = struct.unpack("<IiiHHIIiiII", img[:40])
        assert hdr[0] == 40 and hdr[1] == w and hdr[2] == 2 * h, "DIB header"
        assert hdr[4] == 32 and bpp == 32, "32 bits per pixel"
        mask_stride = ((w + 31) // 32) * 4
        assert size == 40 + w * h * 4 + mask_stride * h, "DIB size"
        opaque = sum(1 for p in range(w * h) if img[40 + p * 4 + 3] > 0)
        assert 0 < opaque < w * h, "has drawn and transparent pixels"
        sizes.append("%dx%d" % (w, h))
    return ", ".join(sizes)


def check_wav(data):
    with wave.open(io.BytesIO(data), "rb") as w:
        assert (w.getnchannels(), w.getsampwidth(), w.getframerate()) == \
            (1, 2, RATE), "16-bit mono %d Hz" % RATE
        n = w.getnframes()
        frames = w.readframes(n)
    vals = struct.unpack("<%dh" % n, frames)
    assert abs(vals[0]) < 200 and abs(vals[-1]) < 200, "quiet ends"
    return "%.3f s, peak %d" % (n / RATE, max(abs(v) for v in vals))


def check(out_dir):
    fresh = build()
    ok = True
    for name, data in sorted(fresh.items()):
        path = os.path.join(out_dir, name)
        try:
            with open(path, "rb") as f:
                have = f.read()
        except OSError as e:
            print("MISSING  %s (%s)" % (name, e))
            ok = False
            continue
        same = "same" if have == data else "DIFFERS"
        ok = ok and have == data
        if name.endswith(".png"):
            w, h, _ = read_png(have)
            what = "PNG %dx%d" % (w, h)
        elif name.lower().endswith(".ico"):
            what = "ICO " + check_ico(have)
        elif name.endswith(".wav"):
            what = "WAV " + check_wav(have)
        else:
            what = "text, %d lines" % have.count(b"\n")
        print("%-8s %-28s %7d bytes  %s" % (same, name, len(have), what))
    extra = sorted(set(os.listdir(out_dir)) - set(fresh))
    for name in extra:
        print("EXTRA    %s (not written by this script)" % name)
    return ok and not extra


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=DEFAULT_OUT, help="folder to write")
    ap.add_argument("--check", action="store_true",
                    help="compare the folder with a fresh build; write nothing")
    args = ap.parse_args(argv)
    if args.check:
        return 0 if check(args.out) else 1
    os.makedirs(args.out, exist_ok=True)
    for name, data in sorted(build().items()):
        with open(os.path.join(args.out, name), "wb") as f:
            f.write(data)
        print("wrote %s (%d bytes)" % (os.path.join(args.out, name), len(data)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
