"""Drawing of jointed figures at pixel scale, and the pose tables that animate them.

A figure is drawn from primitives (capsules for limbs, ellipses, polygons) without anti-aliasing; the
pose of every frame comes from a table in src/characters/. Angles are in degrees: 0 points straight
down, positive turns towards the facing side (+x)."""

import math

from PIL import Image, ImageDraw

import pixels
from pixels import colour


def direction(angle):
    a = math.radians(angle)
    return math.sin(a), math.cos(a)


def step(point, angle, length):
    dx, dy = direction(angle)
    return point[0] + dx * length, point[1] + dy * length


def up(point, angle, length):
    """From point upwards, leaning angle degrees towards the facing side."""
    a = math.radians(angle)
    return point[0] + math.sin(a) * length, point[1] - math.cos(a) * length


class Canvas:
    def __init__(self, width, height):
        self.img = Image.new("RGBA", (width, height), pixels.TRANSPARENT)
        self.px = self.img.load()
        self.w, self.h = width, height

    def dot(self, x, y, name):
        x, y = int(math.floor(x)), int(math.floor(y))
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[x, y] = colour(name) if isinstance(name, str) else name

    def capsule(self, p0, p1, radius, name):
        """Every pixel whose centre lies within radius of the segment p0-p1."""
        x0 = int(math.floor(min(p0[0], p1[0]) - radius))
        x1 = int(math.ceil(max(p0[0], p1[0]) + radius))
        y0 = int(math.floor(min(p0[1], p1[1]) - radius))
        y1 = int(math.ceil(max(p0[1], p1[1]) + radius))
        vx, vy = p1[0] - p0[0], p1[1] - p0[1]
        length2 = vx * vx + vy * vy
        for y in range(max(0, y0), min(self.h, y1 + 1)):
            for x in range(max(0, x0), min(self.w, x1 + 1)):
                cx, cy = x + 0.5, y + 0.5
                t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((cx - p0[0]) * vx + (cy - p0[1]) * vy) / length2))
                dx, dy = cx - (p0[0] + t * vx), cy - (p0[1] + t * vy)
                if dx * dx + dy * dy <= radius * radius:
                    self.dot(x, y, name)

    def ellipse(self, cx, cy, rx, ry, name, angle=0.0):
        a = math.radians(angle)
        ca, sa = math.cos(a), math.sin(a)
        r = max(rx, ry) + 1
        for y in range(max(0, int(cy - r)), min(self.h, int(cy + r) + 1)):
            for x in range(max(0, int(cx - r)), min(self.w, int(cx + r) + 1)):
                dx, dy = x + 0.5 - cx, y + 0.5 - cy
                u, v = dx * ca + dy * sa, -dx * sa + dy * ca
                if (u / rx) ** 2 + (v / ry) ** 2 <= 1.0:
                    self.dot(x, y, name)

    def polygon(self, points, name):
        mask = Image.new("1", (self.w, self.h), 0)
        ImageDraw.Draw(mask).polygon([(round(x - 0.5), round(y - 0.5)) for x, y in points], fill=1)
        m = mask.load()
        for y in range(self.h):
            for x in range(self.w):
                if m[x, y]:
                    self.dot(x, y, name)

    def blit(self, img, x, y):
        self.img.alpha_composite(img, (int(x), int(y)))
        self.px = self.img.load()

    def recolour(self, mapping):
        """Replaces palette colours by others (a hit flash, a darker back limb)."""
        table = {colour(a): colour(b) for a, b in mapping.items()}
        for y in range(self.h):
            for x in range(self.w):
                c = self.px[x, y]
                if c in table:
                    self.px[x, y] = table[c]

    def finish(self, outline_name="ink"):
        return pixels.outline(self.img, colour(outline_name))


def parse_poses(path):
    """Reads a pose table file: {animation: [(duration ms, {column: value})]} in file order.

        anim NAME
        cols NAME NAME ...        (column names for the rows below; "ms" is the frame time)
        VALUE VALUE ...           (one frame; a value is a number or "x,y")
        repeat N                  (the frames of this animation so far, N more times)
    """
    animations = {}
    order = []
    columns = []
    current = None
    for number, raw in enumerate(pixels.read_lines(path), 1):
        line = raw.split("#", 1)[0].strip()
        if not line:
            continue
        words = line.split()
        if words[0] == "anim":
            current = words[1]
            animations[current] = []
            order.append(current)
        elif words[0] == "cols":
            columns = words[1:]
        elif words[0] == "repeat":
            animations[current] = animations[current] * (int(words[1]) + 1)
        else:
            if len(words) != len(columns):
                raise ValueError("%s:%d: %d values for %d columns" % (path, number, len(words), len(columns)))
            values = {}
            for name, word in zip(columns, words):
                if "," in word:
                    a, b = word.split(",")
                    values[name] = (float(a), float(b))
                else:
                    values[name] = float(word)
            animations[current].append((int(values.pop("ms")), values))
    return [(name, animations[name]) for name in order]
