#!/usr/bin/env python3
"""Draws the program's icons and writes them as PNG files, the notebook also as
SVG (and a Windows .ico).

Standard library only, so anyone can regenerate them: run this script from any
folder and it rewrites the files next to itself. The shapes are described in a
32-unit square and rasterised with 8 x 8 supersampling; the 16-pixel notebook
has its own simpler outline so that it stays legible at that size.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SUPERSAMPLE = 8


# ---------------------------------------------------------------- shapes ---
# Each shape is called as (x, y) -> bool in icon units; y grows downwards.
# The notebook's shapes also write themselves as SVG, so the scalable icon is
# the same drawing as the pixel ones.

def svg_number(value):
    return f"{value:g}"


class rounded_rect:
    def __init__(self, x0, y0, x1, y1, r):
        self.x0, self.y0, self.x1, self.y1, self.r = x0, y0, x1, y1, r

    def __call__(self, x, y):
        if x < self.x0 or x > self.x1 or y < self.y0 or y > self.y1:
            return False
        cx = min(max(x, self.x0 + self.r), self.x1 - self.r)
        cy = min(max(y, self.y0 + self.r), self.y1 - self.r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= self.r * self.r

    def svg(self, fill):
        return (f'<rect x="{svg_number(self.x0)}" y="{svg_number(self.y0)}" '
                f'width="{svg_number(self.x1 - self.x0)}" height="{svg_number(self.y1 - self.y0)}" '
                f'rx="{svg_number(self.r)}" {fill}/>')


class rect(rounded_rect):
    def __init__(self, x0, y0, x1, y1):
        super().__init__(x0, y0, x1, y1, 0.0)

    def svg(self, fill):
        return (f'<rect x="{svg_number(self.x0)}" y="{svg_number(self.y0)}" '
                f'width="{svg_number(self.x1 - self.x0)}" height="{svg_number(self.y1 - self.y0)}" {fill}/>')


class disc:
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r

    def __call__(self, x, y):
        return (x - self.cx) ** 2 + (y - self.cy) ** 2 <= self.r * self.r

    def svg(self, fill):
        return f'<circle cx="{svg_number(self.cx)}" cy="{svg_number(self.cy)}" r="{svg_number(self.r)}" {fill}/>'


def arc_band(cx, cy, r_in, r_out, start_deg, end_deg):
    """Part of a ring; angles counted anticlockwise from 3 o'clock, y up."""
    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if d2 < r_in * r_in or d2 > r_out * r_out:
            return False
        a = math.degrees(math.atan2(cy - y, x - cx))
        return start_deg <= a <= end_deg
    return inside


class capsule:
    def __init__(self, ax, ay, bx, by, r):
        self.ax, self.ay, self.bx, self.by, self.r = ax, ay, bx, by, r

    def __call__(self, x, y):
        vx, vy = self.bx - self.ax, self.by - self.ay
        t = ((x - self.ax) * vx + (y - self.ay) * vy) / (vx * vx + vy * vy)
        t = min(max(t, 0.0), 1.0)
        px, py = self.ax + t * vx, self.ay + t * vy
        return (x - px) ** 2 + (y - py) ** 2 <= self.r * self.r

    def svg(self, fill):
        # A line as wide as the capsule with round ends is the capsule.
        stroke = fill.replace("fill=", "stroke=").replace("fill-opacity=", "stroke-opacity=")
        return (f'<line x1="{svg_number(self.ax)}" y1="{svg_number(self.ay)}" x2="{svg_number(self.bx)}" '
                f'y2="{svg_number(self.by)}" stroke-width="{svg_number(2 * self.r)}" stroke-linecap="round" {stroke}/>')


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


# ------------------------------------------------------------- raster -----

def hex_colour(text, alpha=255):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha)


def render(size, layers, units=32.0, supersample=SUPERSAMPLE):
    """layers: list of (shape, colour) painted in order, source-over."""
    scale = units / size
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0  # premultiplied
            for shape, colour in layers:
                hits = 0
                for sy in range(supersample):
                    for sx in range(supersample):
                        x = (px + (sx + 0.5) / supersample) * scale
                        y = (py + (sy + 0.5) / supersample) * scale
                        if shape(x, y):
                            hits += 1
                if not hits:
                    continue
                ca = colour[3] / 255.0 * hits / (supersample * supersample)
                r = colour[0] * ca + r * (1 - ca)
                g = colour[1] * ca + g * (1 - ca)
                b = colour[2] * ca + b * (1 - ca)
                a = ca + a * (1 - ca)
            if a > 0:
                row.append((round(r / a), round(g / a), round(b / a), round(a * 255)))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def png_bytes(pixels):
    height, width = len(pixels), len(pixels[0])
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for p in row:
            raw.extend(p)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def svg_text(layers, units=32):
    """The layers as an SVG drawing in icon units, painted in the same order."""
    lines = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{units}" height="{units}" viewBox="0 0 {units} {units}">']
    for shape, colour in layers:
        fill = 'fill="#%02X%02X%02X"' % colour[:3]
        if colour[3] != 255:
            fill += f' fill-opacity="{colour[3] / 255:.3f}"'
        lines.append("  " + shape.svg(fill))
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


def ico_bytes(images):
    """images: list of (size, png data); Windows reads PNG-compressed entries."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return out


# -------------------------------------------------------------- icons -----

LAVENDER = hex_colour("C7B3EC")
LAVENDER_DARK = hex_colour("9C84CF")
OUTLINE = hex_colour("5B4691")
PAPER = hex_colour("FFFFFF")
INK = hex_colour("A9A3B8")
WIRE = hex_colour("6E6E7A")
WIRE_LIGHT = hex_colour("D4D4DC")


def notebook_32():
    layers = [
        (rounded_rect(6.5, 2.5, 28.5, 29.5, 2.5), OUTLINE),
        (rounded_rect(7.5, 3.5, 27.5, 28.5, 1.8), LAVENDER),
        (rect(7.5, 3.5, 10.5, 28.5), LAVENDER_DARK),
        (rect(13.0, 8.0, 25.0, 16.0), OUTLINE),
        (rect(14.0, 9.0, 24.0, 15.0), PAPER),
        (rect(15.5, 10.8, 22.5, 11.6), INK),
        (rect(15.5, 12.8, 20.5, 13.6), INK),
    ]
    for y in (6.0, 10.0, 14.0, 18.0, 22.0, 26.0):
        layers.append((disc(9.0, y, 1.1), OUTLINE))  # punched hole
        layers.append((capsule(3.5, y, 9.0, y, 1.25), WIRE))
        layers.append((capsule(4.0, y - 0.45, 8.2, y - 0.45, 0.45), WIRE_LIGHT))
    return layers


def notebook_16():
    # Units are pixels here (units=16), so every edge falls on a pixel line.
    return [
        (rect(3.0, 1.0, 15.0, 15.0), OUTLINE),
        (rect(4.0, 2.0, 14.0, 14.0), LAVENDER),
        (rect(4.0, 2.0, 5.0, 14.0), LAVENDER_DARK),
        (rect(7.0, 4.0, 13.0, 8.0), OUTLINE),
        (rect(8.0, 5.0, 12.0, 7.0), PAPER),
    ] + [(rect(1.0, y, 5.0, y + 1.0), WIRE) for y in (3.0, 6.0, 9.0, 12.0)]


def help_32():
    # The disc leaves a transparent rim so the picture sits inside a small
    # button's frame without being cut.
    cx, cy = 16.0, 16.0
    hook_cy, r_mid = 12.0, 4.6
    end = math.radians(-50.0)
    end_x, end_y = cx + r_mid * math.cos(end), hook_cy - r_mid * math.sin(end)
    return [
        (disc(cx, cy, 13.5), hex_colour("1F4FB4")),
        (disc(cx, cy, 12.6), hex_colour("2F6FE0")),
        (minus(disc(cx - 2.5, cy - 3.0, 9.0), disc(cx + 1.5, cy + 2.0, 11.5)), hex_colour("5B93F0")),
        (arc_band(cx, hook_cy, 2.8, 6.4, -50.0, 165.0), PAPER),
        (disc(cx + 5.5 * math.cos(math.radians(165)), hook_cy - 4.6 * math.sin(math.radians(165)), 1.8), PAPER),
        (capsule(end_x, end_y, cx, 17.5, 1.8), PAPER),
        (capsule(cx, 17.5, cx, 19.0, 1.8), PAPER),
        (disc(cx, 23.6, 2.1), PAPER),
    ]


def main():
    outputs = {
        "sumlark-32.png": png_bytes(render(32, notebook_32())),
        "sumlark-16.png": png_bytes(render(16, notebook_16(), units=16.0)),
        "help-32.png": png_bytes(render(32, help_32())),
        # For large fonts and high-density screens, where the button grows.
        "help-64.png": png_bytes(render(64, help_32())),
        # For the desktop's menus and software centres (the hicolor theme).
        "sumlark-48.png": png_bytes(render(48, notebook_32())),
        # Each pixel already spans eight drawing units' worth of detail.
        "sumlark-256.png": png_bytes(render(256, notebook_32(), supersample=2)),
        "sumlark.svg": svg_text(notebook_32()).encode("utf-8"),
    }
    outputs["sumlark.ico"] = ico_bytes([(16, outputs["sumlark-16.png"]), (32, outputs["sumlark-32.png"])])
    for name, data in outputs.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)
        print(name, len(data), "bytes")


if __name__ == "__main__":
    main()
