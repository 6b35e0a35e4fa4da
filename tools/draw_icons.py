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


def printer():  # print the text: a printer with a sheet coming out
    c = Canvas(S, S)
    c.frame(12, 3, 44, 20, 3)
    c.frame(3, 18, 53, 40, 4)
    c.disc(45, 25, 2)
    c.frame(12, 33, 44, 54, 3)
    for y in (39, 45):
        c.rect(17, y, 39, y + 2)
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
}
SINGLE = {
    "EXIT.VOK": exit_vok,
    "HELP.ICN": help_icn,
    "LOGO.ICN": logo,
    "PRINTER.VOK": printer,
    "SEARCH.ICN": search,
    "DEBUG_ON.VOK": debug_on,
    "DEBUG_OFF.VOK": debug_off,
    "STEST_STATUS.VOK": stest_status,
}


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "demo/tree/def_data/icon"
    os.makedirs(out, exist_ok=True)
    files = {}
    for name, draw in ICONS.items():
        c = draw()
        files[name + ".VOK"] = c
        files[name + ".MSK"] = c.stippled()
    for name, draw in SINGLE.items():
        files[name] = draw()
    for name, c in sorted(files.items()):
        with open(os.path.join(out, name), "w") as f:
            f.write(c.xbm(name))


if __name__ == "__main__":
    main()
