#!/usr/bin/env python3
"""Draws the icons of the demo install tree as X bitmaps (XBM).

Each icon is a one-bit drawing: set bits take the style's foreground, clear
bits its background. The insensitive looks (.MSK) are the same drawings
through a 50 % stipple. Run from the repository root:

    python3 tools/draw_icons.py demo/tree/def_data/icon
"""

import math
import os
import sys

# A 5 x 7 font, only the glyphs the icons use.
FONT = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "?": ["01110", "10001", "00001", "00110", "00100", "00000", "00100"],
    " ": ["00000"] * 7,
}


class Canvas:
    def __init__(self, width, height):
        self.w, self.h = width, height
        self.bits = [[0] * width for _ in range(height)]

    def set(self, x, y, on=1):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.bits[y][x] = on

    def each(self, test, on=1):
        """Sets (or clears) every pixel whose centre passes test(x, y)."""
        for y in range(self.h):
            for x in range(self.w):
                if test(x + 0.5, y + 0.5):
                    self.bits[y][x] = on

    def rect(self, x0, y0, x1, y1, on=1):
        self.each(lambda x, y: x0 <= x < x1 and y0 <= y < y1, on)

    def frame(self, x0, y0, x1, y1, t):
        self.rect(x0, y0, x1, y1)
        self.rect(x0 + t, y0 + t, x1 - t, y1 - t, 0)

    def line(self, ax, ay, bx, by, t, on=1):
        def near(x, y):
            dx, dy = bx - ax, by - ay
            k = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / float(dx * dx + dy * dy)))
            return math.hypot(x - ax - k * dx, y - ay - k * dy) <= t / 2.0
        self.each(near, on)

    def disc(self, cx, cy, r, on=1):
        self.each(lambda x, y: math.hypot(x - cx, y - cy) <= r, on)

    def ring(self, cx, cy, r, t, gap=None):
        """A ring of thickness t; gap = (centre angle, half width) in degrees,
        0 pointing up, left open."""
        def on(x, y):
            d = math.hypot(x - cx, y - cy)
            if not r - t <= d <= r:
                return False
            if gap:
                a = math.degrees(math.atan2(x - cx, cy - y))
                if abs((a - gap[0] + 180) % 360 - 180) < gap[1]:
                    return False
            return True
        self.each(on)

    def polygon(self, points, on=1):
        def inside(x, y):
            c = False
            n = len(points)
            for i in range(n):
                (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
                if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                    c = not c
            return c
        self.each(inside, on)

    def text(self, x, y, s, scale):
        for ch in s:
            for row, bits in enumerate(FONT[ch]):
                for col, b in enumerate(bits):
                    if b == "1":
                        self.rect(x + col * scale, y + row * scale,
                                  x + (col + 1) * scale, y + (row + 1) * scale)
            x += 6 * scale

    def stippled(self):
        c = Canvas(self.w, self.h)
        for y in range(self.h):
            for x in range(self.w):
                c.bits[y][x] = self.bits[y][x] & ((x + y) % 2 == 0)
        return c

    def xbm(self, name):
        ident = "".join(ch if ch.isalnum() else "_" for ch in name.lower())
        data = []
        for row in self.bits:
            for x0 in range(0, self.w, 8):
                byte = 0
                for i in range(8):
                    if x0 + i < self.w and row[x0 + i]:
                        byte |= 1 << i
                data.append("0x%02x" % byte)
        lines = ["   " + ", ".join(data[i:i + 12]) for i in range(0, len(data), 12)]
        return ("#define %s_width %d\n#define %s_height %d\n"
                "static unsigned char %s_bits[] = {\n%s};\n"
                % (ident, self.w, ident, self.h, ident, ",\n".join(lines)))


S = 56  # main-menu and choice buttons are 66 x 66


def power():
    c = Canvas(S, S)
    c.ring(28, 30, 21, 6, gap=(0, 38))
    c.rect(25, 4, 31, 30)
    return c


def initialize():  # home the machine: a house
    c = Canvas(S, S)
    c.polygon([(28, 5), (52, 27), (45, 27), (28, 12), (11, 27), (4, 27)])
    c.rect(11, 27, 45, 51)
    c.rect(16, 27, 40, 46, 0)
    c.rect(23, 33, 33, 51)
    c.rect(37, 8, 43, 20)
    return c


def load_prog():  # a folder with an arrow into it
    c = Canvas(S, S)
    c.frame(4, 22, 52, 51, 4)
    c.rect(4, 17, 24, 24)
    c.rect(25, 4, 31, 30)
    c.polygon([(16, 26), (40, 26), (28, 41)])
    return c


def execute():
    c = Canvas(S, S)
    c.polygon([(12, 6), (48, 28), (12, 50)])
    return c


def pause():
    c = Canvas(S, S)
    c.rect(13, 8, 24, 48)
    c.rect(32, 8, 43, 48)
    return c


def status():  # an "i" in a ring
    c = Canvas(S, S)
    c.ring(28, 28, 25, 5)
    c.disc(28, 16, 4)
    c.rect(25, 23, 32, 42)
    c.rect(21, 40, 36, 44)
    return c


def help_vok():  # a "?" in a ring
    c = Canvas(S, S)
    c.ring(28, 28, 25, 5)
    c.text(16, 11, "?", 5)
    return c


def utilities():  # a gear
    c = Canvas(S, S)
    for k in range(8):
        a = math.radians(k * 45)
        c.line(28 + 13 * math.sin(a), 28 - 13 * math.cos(a),
               28 + 24 * math.sin(a), 28 - 24 * math.cos(a), 8)
    c.disc(28, 28, 18)
    c.disc(28, 28, 7, 0)
    return c


def file_util():  # two sheets of paper
    c = Canvas(S, S)
    c.frame(4, 4, 34, 42, 3)
    c.rect(18, 14, 52, 53, 0)
    c.polygon([(18, 14), (42, 14), (52, 24), (52, 53), (18, 53)])
    c.polygon([(21, 17), (40, 17), (49, 26), (49, 50), (21, 50)], 0)
    c.polygon([(40, 14), (52, 26), (40, 26)])
    for y in (30, 36, 42):
        c.rect(25, y, 45, y + 2)
    return c


def prog_funct():  # a flow chart: step, decision, step
    c = Canvas(S, S)
    c.frame(14, 2, 42, 14, 3)
    c.rect(26, 14, 30, 19)
    c.polygon([(28, 18), (44, 28), (28, 38), (12, 28)])
    c.polygon([(28, 23), (36, 28), (28, 33), (20, 28)], 0)
    c.rect(26, 37, 30, 42)
    c.frame(14, 42, 42, 54, 3)
    c.rect(44, 27, 52, 30)
    c.rect(49, 8, 52, 30)
    c.rect(42, 7, 52, 10)
    return c


def run():  # execute the part program: a play sign in a ring
    c = Canvas(S, S)
    c.ring(28, 28, 26, 4)
    c.polygon([(20, 14), (42, 28), (20, 42)])
    return c


def step():  # one step: play sign and bar
    c = Canvas(S, S)
    c.polygon([(8, 10), (36, 28), (8, 46)])
    c.rect(39, 10, 47, 46)
    return c


def exit_vok():  # a door with an arrow out of it
    c = Canvas(S, S)
    c.frame(4, 4, 30, 52, 4)
    c.disc(22, 29, 2)
    c.rect(26, 25, 44, 32)
    c.polygon([(40, 17), (53, 28), (40, 40)])
    return c


def up_arrow():  # scroll up one entry
    c = Canvas(S, S)
    c.polygon([(28, 10), (48, 34), (8, 34)])
    c.rect(23, 34, 33, 48)
    return c


def down_arrow():
    c = Canvas(S, S)
    c.polygon([(28, 46), (48, 22), (8, 22)])
    c.rect(23, 8, 33, 22)
    return c


def page_up():  # a page up: two chevrons under a bar
    c = Canvas(S, S)
    c.rect(8, 6, 48, 11)
    c.polygon([(28, 14), (48, 32), (8, 32)])
    c.polygon([(28, 30), (48, 48), (8, 48)])
    return c


def page_down():
    c = Canvas(S, S)
    c.rect(8, 45, 48, 50)
    c.polygon([(28, 42), (48, 24), (8, 24)])
    c.polygon([(28, 26), (48, 8), (8, 8)])
    return c


def sheet(c):  # a sheet of paper with a folded corner
    c.polygon([(10, 4), (36, 4), (46, 14), (46, 52), (10, 52)])
    c.polygon([(13, 7), (34, 7), (43, 16), (43, 49), (13, 49)], 0)
    c.polygon([(34, 4), (46, 16), (34, 16)])


def make_part():  # a new part folder: a folder with a plus
    c = Canvas(S, S)
    c.frame(4, 16, 52, 50, 4)
    c.rect(4, 11, 24, 18)
    c.rect(25, 22, 31, 44)
    c.rect(17, 30, 39, 36)
    return c


def learn():  # a new program: a sheet with a pencil across it
    c = Canvas(S, S)
    sheet(c)
    for y in (22, 29, 36):
        c.rect(18, y, 38, y + 2)
    c.line(50, 20, 28, 46, 6)
    c.polygon([(25, 44), (29, 49), (22, 52)])
    return c


def append():  # a sheet with an arrow into its end
    c = Canvas(S, S)
    sheet(c)
    for y in (20, 26):
        c.rect(18, y, 38, y + 2)
    c.rect(25, 30, 31, 40)
    c.polygon([(18, 39), (38, 39), (28, 48)])
    return c


def inspect():  # a magnifying glass
    c = Canvas(S, S)
    c.ring(23, 23, 17, 5)
    c.line(35, 35, 50, 50, 8)
    return c


def datapage():  # a page of a data table
    c = Canvas(S, S)
    c.frame(6, 6, 50, 50, 3)
    for y in (17, 28, 39):
        c.rect(6, y, 50, y + 2)
    c.rect(22, 6, 24, 50)
    return c


def help_icn():  # the fallback: a "?" in a square
    c = Canvas(40, 40)
    c.frame(1, 1, 39, 39, 3)
    c.text(13, 10, "?", 3)
    return c


def logo():
    c = Canvas(215, 44)
    # a bridge measuring machine: table, two legs, beam, probe
    c.rect(0, 38, 46, 42)
    c.polygon([(5, 38), (8, 8), (12, 8), (12, 38)])
    c.polygon([(34, 38), (34, 8), (38, 8), (41, 38)])
    c.rect(3, 3, 43, 8)
    c.rect(16, 8, 30, 14)
    c.rect(22, 14, 24, 27)
    c.disc(23, 29, 3)
    c.text(49, 11, "VOK", 3)
    c.text(107, 6, "MEASURING", 2)
    c.text(107, 24, "STATION", 2)
    return c


def small_sheet(c, x, y, on=1):  # a sheet 22 x 28 with a folded corner at (x, y)
    c.polygon([(x, y), (x + 15, y), (x + 22, y + 7), (x + 22, y + 28), (x, y + 28)], on)
    c.polygon([(x + 3, y + 3), (x + 14, y + 3), (x + 19, y + 8), (x + 19, y + 25),
               (x + 3, y + 25)], 0)
    c.polygon([(x + 14, y), (x + 22, y + 8), (x + 14, y + 8)], on)


def arrow_right(c, x0, x1, y):  # a thick arrow pointing right
    c.rect(x0, y - 3, x1 - 8, y + 3)
    c.polygon([(x1 - 10, y - 9), (x1, y), (x1 - 10, y + 9)])


def file_copy():  # a sheet, an arrow, the same sheet again
    c = Canvas(S, S)
    small_sheet(c, 2, 4)
    small_sheet(c, 32, 24)
    arrow_right(c, 14, 34, 42)
    c.rect(11, 32, 17, 42)
    return c


def file_print():  # a printer with a sheet coming out
    c = Canvas(S, S)
    c.frame(14, 4, 42, 22, 3)
    c.frame(4, 20, 52, 40, 4)
    c.rect(40, 25, 46, 29)
    c.frame(14, 34, 42, 53, 3)
    for y in (41, 46):
        c.rect(19, y, 37, y + 2)
    return c


def file_delete():  # a sheet struck through
    c = Canvas(S, S)
    sheet(c)
    c.line(8, 8, 48, 48, 6)
    c.line(48, 8, 8, 48, 6)
    return c


def block_edit():  # a block of lines with a cursor bar
    c = Canvas(S, S)
    c.frame(4, 6, 52, 50, 3)
    for y in (14, 22, 30, 38):
        c.rect(10, y, 34, y + 4)
    c.rect(40, 12, 44, 44)
    return c


def text_edit():  # a sheet with lines and a caret
    c = Canvas(S, S)
    sheet(c)
    for y in (20, 27, 34, 41):
        c.rect(18, y, 38, y + 2)
    c.polygon([(22, 47), (28, 38), (34, 47), (31, 47), (28, 43), (25, 47)])
    return c


def contour_edit():  # a curve through three points
    c = Canvas(S, S)
    c.frame(2, 2, 54, 54, 2)
    for k in range(24):
        x0, x1 = 6 + k * 2, 6 + (k + 1) * 2
        y0 = 30 - 18 * math.sin(math.radians(x0 * 7.5))
        y1 = 30 - 18 * math.sin(math.radians(x1 * 7.5))
        c.line(x0, y0, x1, y1, 3)
    for x in (8, 26, 44):
        c.disc(x, 30 - 18 * math.sin(math.radians(x * 7.5)), 4)
    return c


def file_backup():  # a sheet going down onto a tape
    c = Canvas(S, S)
    small_sheet(c, 17, 1)
    c.rect(25, 30, 31, 36)
    c.polygon([(18, 34), (38, 34), (28, 42)])
    c.frame(4, 42, 52, 55, 3)
    c.disc(16, 48, 3)
    c.disc(40, 48, 3)
    return c


def file_restore():  # a sheet coming up out of a tape
    c = Canvas(S, S)
    small_sheet(c, 17, 12)
    c.rect(25, 3, 31, 10)
    c.polygon([(18, 10), (38, 10), (28, 1)])
    c.frame(4, 42, 52, 55, 3)
    c.disc(16, 48, 3)
    c.disc(40, 48, 3)
    return c


def up_one():  # a folder with an arrow up out of it
    c = Canvas(S, S)
    c.frame(4, 26, 52, 52, 4)
    c.rect(4, 21, 24, 28)
    c.rect(25, 12, 31, 40)
    c.polygon([(16, 14), (40, 14), (28, 2)])
    return c


def entire_dir():  # a folder holding folders
    c = Canvas(S, S)
    c.frame(2, 12, 54, 54, 4)
    c.rect(2, 7, 22, 14)
    c.frame(12, 26, 44, 46, 3)
    c.rect(12, 22, 24, 27)
    return c


def all_but_depend():  # a folder: one sheet kept, the rest struck out
    c = Canvas(S, S)
    c.frame(2, 12, 54, 54, 4)
    c.rect(2, 7, 22, 14)
    c.line(9, 22, 25, 46, 4)
    c.line(25, 22, 9, 46, 4)
    small_sheet(c, 29, 19)
    return c


def search():  # find in the text: a magnifying glass
    c = Canvas(40, 40)
    c.ring(16, 16, 13, 4)
    c.line(25, 25, 36, 36, 6)
    return c


def debug_on():  # the controller's debug mode: a bug
    c = Canvas(S, S)
    c.line(24, 14, 17, 3, 3)
    c.line(32, 14, 39, 3, 3)
    for y, dy in ((27, -7), (36, 0), (45, 7)):
        c.line(5, y + dy, 28, y, 3)
        c.line(28, y, 51, y + dy, 3)
    c.disc(28, 36, 14)
    c.disc(28, 18, 7)
    c.rect(27, 24, 29, 50, 0)
    return c


def debug_off():  # back to normal mode: the bug struck through
    c = debug_on()
    c.line(4, 54, 54, 20, 5, 0)
    c.line(6, 52, 52, 22, 3)
    return c


def stest_status():  # read the controller status: a "?" on a panel of lights
    c = Canvas(S, S)
    c.frame(3, 3, 53, 53, 4)
    for x in (12, 22, 32, 42):
        c.disc(x, 13, 3)
    c.text(21, 22, "?", 4)
    return c


# --- the service tools ---------------------------------------------------------


def gear(c, cx, cy, r, teeth=8, hole=None):
    for k in range(teeth):
        a = math.radians(k * 360.0 / teeth)
        c.line(cx + (r - 4) * math.sin(a), cy - (r - 4) * math.cos(a),
               cx + (r + 5) * math.sin(a), cy - (r + 5) * math.cos(a), 6)
    c.disc(cx, cy, r)
    c.disc(cx, cy, hole if hole else r // 3, 0)


def wrench(c, ax, ay, bx, by):
    """A spanner from (ax, ay) to (bx, by), open jaws at a."""
    c.line(ax, ay, bx, by, 7)
    c.disc(ax, ay, 9)
    c.disc(bx, by, 6)
    dx, dy = bx - ax, by - ay
    n = math.hypot(dx, dy)
    c.disc(ax - 6 * dx / n, ay - 6 * dy / n, 5, 0)
    c.disc(bx, by, 2, 0)


def syspgen():  # controller parameters: a cabinet with three sliders
    c = Canvas(S, S)
    c.frame(6, 4, 50, 52, 4)
    for x in (16, 28, 40):
        c.rect(x - 1, 12, x + 1, 44)
    for x, y in ((16, 34), (28, 18), (40, 28)):
        c.rect(x - 5, y - 3, x + 5, y + 3)
    return c


def service():  # the service screen: a spanner
    c = Canvas(S, S)
    wrench(c, 16, 16, 44, 44)
    return c


def port_config():  # a plug with its pins and cable
    c = Canvas(S, S)
    c.polygon([(4, 10), (52, 10), (46, 34), (10, 34)])
    c.polygon([(9, 14), (47, 14), (43, 30), (13, 30)], 0)
    for x in (16, 24, 32, 40):
        c.disc(x, 19, 2)
    for x in (20, 28, 36):
        c.disc(x, 25, 2)
    c.rect(24, 34, 32, 54)
    return c


def media():  # a tape cartridge
    c = Canvas(S, S)
    c.frame(3, 10, 53, 46, 4)
    c.disc(17, 28, 8)
    c.disc(17, 28, 3, 0)
    c.disc(39, 28, 8)
    c.disc(39, 28, 3, 0)
    c.rect(17, 36, 39, 40)
    return c


def sysgen():  # system generation: SYS under a gear
    c = Canvas(S, S)
    gear(c, 28, 18, 11)
    c.text(10, 39, "SYS", 2)
    return c


def passgen():  # the password program: a key
    c = Canvas(S, S)
    c.ring(17, 28, 13, 5)
    c.rect(29, 25, 54, 31)
    c.rect(42, 31, 46, 40)
    c.rect(50, 31, 54, 38)
    return c


def avail():  # the available options: a list with check marks
    c = Canvas(S, S)
    for y in (8, 24, 40):
        c.line(4, y + 3, 9, y + 8, 3)
        c.line(9, y + 8, 17, y - 1, 3)
        c.rect(22, y + 1, 52, y + 6)
    return c


def sys_backup():  # the system onto a tape: a cabinet, an arrow down, a tape
    c = Canvas(S, S)
    c.frame(14, 2, 42, 22, 3)
    c.rect(25, 22, 31, 30)
    c.polygon([(18, 29), (38, 29), (28, 38)])
    c.frame(4, 40, 52, 54, 3)
    c.disc(16, 47, 3)
    c.disc(40, 47, 3)
    return c


def sys_restore():  # the system from a tape: a tape, an arrow up, a cabinet
    c = Canvas(S, S)
    c.frame(14, 32, 42, 52, 3)
    c.rect(25, 22, 31, 32)
    c.polygon([(18, 23), (38, 23), (28, 14)])
    c.frame(4, 0, 52, 13, 3)
    c.disc(16, 6, 3)
    c.disc(40, 6, 3)
    return c


def service_script():  # the service script: a sheet with a gear
    c = Canvas(S, S)
    sheet(c)
    for y in (14, 20):
        c.rect(18, y, 38, y + 2)
    gear(c, 28, 37, 6, 6, 2)
    return c


def stest():  # the controller self test: a trace on a screen
    c = Canvas(S, S)
    c.frame(3, 6, 53, 44, 4)
    pts = [(8, 30), (16, 30), (20, 14), (26, 38), (31, 20), (36, 30), (48, 30)]
    for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
        c.line(x0, y0, x1, y1, 3)
    c.rect(20, 44, 36, 49)
    c.rect(12, 49, 44, 53)
    return c


B = 44  # the OK and Escape buttons of the port boxes are 54 x 54


def ok_icn():  # a check mark
    c = Canvas(B, B)
    c.line(6, 24, 17, 35, 7)
    c.line(17, 35, 38, 9, 7)
    return c


def esc_icn():  # a cross
    c = Canvas(B, B)
    c.line(8, 8, 36, 36, 7)
    c.line(36, 8, 8, 36, 7)
    return c


SERVICE_ICONS = {
    "STEST": stest,
}
SERVICE_SINGLE = {
    "SYSPGEN.VOK": syspgen,
    "SERVICE.VOK": service,
    "PORT_CONFIG.VOK": port_config,
    "MEDIA.VOK": media,
    "SYSGEN.VOK": sysgen,
    "PASSGEN.VOK": passgen,
    "AVAIL.VOK": avail,
    "SYS_BACKUP.VOK": sys_backup,
    "SYS_RESTORE.VOK": sys_restore,
    "SERVICE_SCRIPT.VOK": service_script,
    "OK.ICN": ok_icn,
    "ESC.ICN": esc_icn,
}


def format_medium():  # format the medium: a diskette
    c = Canvas(S, S)
    c.polygon([(4, 4), (46, 4), (52, 10), (52, 52), (4, 52)])
    c.polygon([(8, 8), (44, 8), (48, 12), (48, 48), (8, 48)], 0)
    c.frame(16, 4, 40, 20, 3)
    c.rect(30, 8, 35, 16)
    c.frame(12, 28, 44, 52, 3)
    for y in (34, 40):
        c.rect(17, y, 39, y + 2)
    return c


def backup_plus():  # a part with the files it needs: a folder, a sheet, a plus
    c = Canvas(S, S)
    c.frame(2, 20, 38, 52, 4)
    c.rect(2, 15, 18, 22)
    small_sheet(c, 10, 24)
    c.rect(44, 4, 49, 26)
    c.rect(36, 13, 57, 18)
    return c


def restore_all():  # every member coming up out of a tape
    c = Canvas(S, S)
    small_sheet(c, 6, 12)
    small_sheet(c, 28, 12)
    c.rect(25, 3, 31, 10)
    c.polygon([(18, 10), (38, 10), (28, 1)])
    c.frame(4, 42, 52, 55, 3)
    c.disc(16, 48, 3)
    c.disc(40, 48, 3)
    return c


ICONS = {
    "PWR_ON_OFF": power,
    "INITIALIZE": initialize,
    "LOAD_PROG": load_prog,
    "EXECUTE": execute,
    "PAUSE": pause,
    "STATUS": status,
    "HELP": help_vok,
    "UTILITIES": utilities,
    "FILE_UTIL": file_util,
    "PROG_FUNCT": prog_funct,
    "RUN": run,
    "STEP": step,
    "LEARN": learn,
    "APPEND": append,
    "CHECK_RUN": inspect,
}
SINGLE = {
    "EXIT.VOK": exit_vok,
    "HELP.ICN": help_icn,
    "LOGO.ICN": logo,
    "UP_ARROW.VOK": up_arrow,
    "DOWN_ARROW.VOK": down_arrow,
    "PAGE_UP.VOK": page_up,
    "PAGE_DOWN.VOK": page_down,
    "MAKE_PART.VOK": make_part,
    "DATAPAGE.VOK": datapage,
    "FILE_COPY.VOK": file_copy,
    "FILE_PRINT.VOK": file_print,
    "FILE_DELETE.VOK": file_delete,
    "BLOCK_EDIT.VOK": block_edit,
    "TEXT_EDIT.VOK": text_edit,
    "CONTOUR_EDIT.VOK": contour_edit,
    "FILE_BACKUP.VOK": file_backup,
    "FILE_RESTORE.VOK": file_restore,
    "UP_ONE.VOK": up_one,
    "ENTIRE_DIR.VOK": entire_dir,
    "ALL_BUT_DEPEND.VOK": all_but_depend,
    "PRINTER.VOK": file_print,
    "SEARCH.ICN": search,
    "DEBUG_ON.VOK": debug_on,
    "DEBUG_OFF.VOK": debug_off,
    "STEST_STATUS.VOK": stest_status,
    "FORMAT.VOK": format_medium,
    "BACKUP_PLUS.VOK": backup_plus,
    "RESTORE_ALL.VOK": restore_all,
}


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "demo/tree/def_data/icon"
    os.makedirs(out, exist_ok=True)
    files = {}
    for name, draw in list(ICONS.items()) + list(SERVICE_ICONS.items()):
        c = draw()
        files[name + ".VOK"] = c
        files[name + ".MSK"] = c.stippled()
    for name, draw in list(SINGLE.items()) + list(SERVICE_SINGLE.items()):
        files[name] = draw()
    for name, c in sorted(files.items()):
        with open(os.path.join(out, name), "w") as f:
            f.write(c.xbm(name))


if __name__ == "__main__":
    main()
