"""The animated characters: each one a jointed figure drawn by a function here, posed frame by frame
by its table in src/characters/. Frame sizes are chosen for the bodies the game derives from them:
the human's 32 px width gives a 16 x 24 body, the rat's 32 px a body of 8 x 8 (drawn at half scale),
the minotaur's 64 px a 16 x 16 body, the dark lord's 48 px 24 x 24 and the slime's 32 px 16 x 10."""

import math

import pixels
import puppet
import sheets
from puppet import Canvas, step, up

FLASH = {"tan": "bone", "brown": "tan", "brown_dk": "brown", "slate1": "steel", "slate2": "fog", "skin": "white",
         "steel": "pale", "slate3": "fog", "purple_dk": "violet", "purple": "lilac", "violet": "white",
         "slime_dk": "slime_lt", "slime": "slime_hi", "slime_lt": "white", "blood": "red", "fog": "white"}


def limb(c, start, angle, bend, lengths, radii, names):
    """Two-segment limb from start; returns the end point."""
    mid = step(start, angle, lengths[0])
    end = step(mid, angle - bend, lengths[1])
    c.capsule(start, mid, radii[0], names[0])
    c.capsule(mid, end, radii[1], names[1])
    return end


def arm(c, start, angle, bend, lengths, radii, names):
    """Like limb, but the elbow bends forwards."""
    mid = step(start, angle, lengths[0])
    end = step(mid, angle + bend, lengths[1])
    c.capsule(start, mid, radii[0], names[0])
    c.capsule(mid, end, radii[1], names[1])
    return end


def swing_arc(c, centre, radius, a0, a1, name):
    for i in range(13):
        a = a0 + (a1 - a0) * i / 12
        p = step(centre, a, radius)
        c.dot(p[0], p[1], name)
        if i % 2 == 0:
            p = step(centre, a, radius - 1)
            c.dot(p[0], p[1], "pale")


def draw_human(p):
    c = Canvas(32, 32)
    hip = (15.5 + p["hip"][0], 20.5 + p["hip"][1])
    lean = p["lean"]
    shoulder = up(hip, lean, 8)
    neck = up(shoulder, lean, 1.5)
    head = up(shoulder, lean, 4.2)
    coat = p["coat"]

    # Back arm and leg, darker.
    hand_b = arm(c, (shoulder[0] - 1, shoulder[1] + 0.5), p["ab"], p["eb"], (4, 4), (1.3, 1.1), ("brown", "brown"))
    c.dot(hand_b[0], hand_b[1], "tan")
    ankle_b = limb(c, (hip[0] - 1, hip[1]), p["tb"], p["kb"], (5, 5), (1.5, 1.2), ("slate1", "slate1"))
    c.capsule(ankle_b, (ankle_b[0] + 2, ankle_b[1]), 1.0, "brown_dk")

    # Coat tails behind the legs, then the body.
    hem_y = hip[1] + 6
    c.polygon([(shoulder[0] - 3, shoulder[1]), (hip[0] - 3, hip[1]), (hip[0] - 5 - coat, hem_y - coat * 0.6),
               (hip[0] + 1, hem_y - 1), (hip[0] + 2, hip[1])], "brown")
    ankle_f = limb(c, (hip[0] + 0.5, hip[1]), p["tf"], p["kf"], (5, 5), (1.6, 1.3), ("slate2", "slate2"))
    c.capsule(ankle_f, (ankle_f[0] + 2, ankle_f[1]), 1.0, "brown_dk")
    c.polygon([(shoulder[0] - 3.5, shoulder[1] - 0.5), (shoulder[0] + 3, shoulder[1] - 0.5),
               (hip[0] + 3.5, hip[1] + 1), (hip[0] + 3 - coat * 0.3, hem_y - 1.5), (hip[0] - 1, hem_y - 2),
               (hip[0] - 3.5, hip[1] + 1)], "tan")
    c.capsule((shoulder[0] - 2.5, shoulder[1]), (hip[0] - 2.5, hip[1] + 2), 0.6, "brown")
    c.capsule((hip[0] - 3, hip[1]), (hip[0] + 3, hip[1]), 0.5, "brown_dk")

    # Head: face, hat with a band, and the scarf blowing back.
    c.ellipse(head[0] + 0.5, head[1] + 0.5, 2.6, 2.9, "skin")
    c.dot(head[0] + 2, head[1] + 0.5, "ink")
    brim = up(head, lean, 2.2)
    c.capsule((brim[0] - 4, brim[1]), (brim[0] + 4.5, brim[1]), 0.7, "slate1")
    crown = up(head, lean, 3.6)
    c.ellipse(crown[0], crown[1], 3.0, 1.8, "slate1")
    c.capsule((crown[0] - 2.5, crown[1] + 1), (crown[0] + 2.5, crown[1] + 1), 0.5, "blood")
    c.capsule((neck[0] - 1.5, neck[1] + 0.5), (neck[0] + 2, neck[1] + 0.5), 0.9, "red")
    c.capsule((neck[0] - 1.5, neck[1] + 0.5), (neck[0] - 4 - coat * 0.5, neck[1] + 2 - coat * 0.2), 0.7, "red")

    # Front arm with the blade.
    hand_f = arm(c, (shoulder[0] + 0.5, shoulder[1] + 0.5), p["af"], p["ef"], (4, 4), (1.4, 1.2), ("tan", "tan"))
    tip = step(hand_f, p["blade"], 10)
    c.capsule(hand_f, tip, 0.5, "pale")
    c.dot(tip[0], tip[1], "white")
    guard = step(hand_f, p["blade"], 1.2)
    c.capsule(step(guard, p["blade"] + 90, 1.5), step(guard, p["blade"] - 90, 1.5), 0.5, "amber")
    c.dot(hand_f[0], hand_f[1], "skin")
    if p["arc"]:
        start = 150 if p["arc"] == 1 else 100
        swing_arc(c, shoulder, 12, start, start - 100, "white" if p["arc"] == 1 else "fog")
    if p["flash"]:
        c.recolour(FLASH)
    return c.finish()


def draw_rat(p):
    c = Canvas(32, 16)
    bx, by = 13 + p["body"][0], 10.5 + p["body"][1]
    tilt = p["tilt"]
    t = math.radians(tilt)
    # Tail: a wave from the rump backwards.
    rump = (bx - 6 * math.cos(t), by - 6 * math.sin(t) + 1)
    prev = rump
    for i in range(1, 9):
        x = rump[0] - i * 1.4
        y = rump[1] - i * 0.35 + math.sin(i * 0.9 + p["tail"] * 1.6) * 1.2
        c.capsule(prev, (x, y), 0.6 if i < 5 else 0.4, "rose")
        prev = (x, y)
    # Far legs, body, near legs.
    for dx, angle in ((4, p["lf"]), (-4, p["lb"])):
        hip = (bx + dx * math.cos(t), by + dx * math.sin(t) + 1)
        foot = step(hip, -angle * 0.7, 3.5)
        c.capsule(hip, foot, 0.8, "slate2")
    c.ellipse(bx, by, 7.5, 4.2, "slate3", tilt)
    c.ellipse(bx + 0.5, by + 1.8, 6, 2.0, "fog", tilt)
    c.ellipse(bx - 1, by - 1.5, 5.5, 2.2, "steel", tilt)
    for dx, angle in ((4, p["lf"]), (-4, p["lb"])):
        hip = (bx + dx * math.cos(t), by + dx * math.sin(t) + 1.5)
        foot = step(hip, angle, 3.5)
        c.capsule(hip, foot, 0.9, "slate3")
        c.capsule(foot, (foot[0] + 1.2, foot[1]), 0.6, "rose")
    # Head with ear, eye, snout and teeth.
    hx = bx + 7.5 * math.cos(t) + p["head"][0]
    hy = by + 7.5 * math.sin(t) - 1 + p["head"][1]
    c.ellipse(hx, hy, 4.2, 3.0, "slate3", tilt * 0.5)
    c.ellipse(hx + 3.5, hy + 0.8 + p["bite"] * 0.5, 2.6, 1.6, "steel", tilt * 0.5)
    c.dot(hx + 6.2, hy + 0.5, "rose")
    c.ellipse(hx - 1.5, hy - 3, 1.6, 1.8, "rose")
    c.dot(hx - 1.5, hy - 3, "slate3")
    c.dot(hx + 1, hy - 1, "red")
    c.dot(hx + 1.5, hy - 1.5, "lamp")
    if p["bite"]:
        c.dot(hx + 4.5, hy + 2.5, "white")
        c.dot(hx + 5.5, hy + 2.5, "white")
        c.dot(hx + 5, hy + 3.5 + p["bite"] * 0.5, "white")
    if p["flash"]:
        c.recolour(FLASH)
    return c.finish()


def draw_minotaur(p):
    c = Canvas(64, 48)
    hip = (30 + p["hip"][0], 33.5 + p["hip"][1])
    lean = p["lean"]
    shoulder = up(hip, lean, 13)
    head = up(shoulder, lean + 25, 6)

    hand_b = arm(c, (shoulder[0] - 2, shoulder[1] + 1), p["ab"], p["eb"], (7, 7), (2.6, 2.2), ("brown", "brown"))
    c.ellipse(hand_b[0], hand_b[1], 2, 2, "brown_dk")
    ankle_b = limb(c, (hip[0] - 3, hip[1]), p["tb"], p["kb"], (7, 7.5), (3.2, 2.4), ("brown", "brown_dk"))
    c.ellipse(ankle_b[0] + 1, ankle_b[1] + 0.5, 2.5, 1.5, "ink")
    # Torso: a broad chest over narrow hips, with a red loin cloth.
    chest = up(hip, lean, 8)
    c.ellipse(chest[0], chest[1], 8.5, 9.5, "tan", lean)
    c.ellipse(chest[0] + 2, chest[1] - 1, 5, 5.5, "skin", lean)
    c.ellipse(chest[0] - 3, chest[1] + 2, 4, 5, "brown", lean)
    c.polygon([(hip[0] - 6, hip[1] - 2), (hip[0] + 6, hip[1] - 2), (hip[0] + 5, hip[1] + 6), (hip[0] - 3, hip[1] + 5)],
              "blood")
    c.capsule((hip[0] - 6, hip[1] - 2), (hip[0] + 6, hip[1] - 2), 0.8, "amber_dk")
    ankle_f = limb(c, (hip[0] + 2, hip[1]), p["tf"], p["kf"], (7, 7.5), (3.4, 2.6), ("tan", "brown"))
    c.ellipse(ankle_f[0] + 1, ankle_f[1] + 0.5, 2.5, 1.5, "ink")
    # Bull head: skull, muzzle, horns, a ring in the nose and an angry eye.
    c.ellipse(head[0], head[1], 5, 5.5, "brown")
    c.ellipse(head[0] + 4, head[1] + 2.5, 3.5, 2.8, "tan")
    c.dot(head[0] + 6.5, head[1] + 2, "ink")
    c.capsule((head[0] + 5, head[1] + 4.5), (head[0] + 6, head[1] + 5.5), 0.6, "amber")
    horn = (head[0] - 1, head[1] - 4)
    c.capsule(horn, (horn[0] - 4, horn[1] - 2), 1.3, "bone")
    c.capsule((horn[0] - 4, horn[1] - 2), (horn[0] - 5, horn[1] - 6), 0.9, "bone")
    c.capsule((horn[0] + 2, horn[1]), (horn[0] + 6, horn[1] - 2), 1.3, "bone")
    c.capsule((horn[0] + 6, horn[1] - 2), (horn[0] + 7, horn[1] - 5), 0.8, "bone")
    c.dot(head[0] + 2, head[1] - 1, "red")
    c.dot(head[0] + 3, head[1] - 1, "red")
    # Front arm with the double axe.
    hand_f = arm(c, (shoulder[0] + 2, shoulder[1] + 1), p["af"], p["ef"], (7, 7), (2.8, 2.4), ("tan", "tan"))
    end = step(hand_f, p["axe"], 16)
    c.capsule(step(hand_f, p["axe"] + 180, 3), end, 0.8, "amber_dk")
    blade = step(hand_f, p["axe"], 13)
    for side in (90, -90):
        a = step(blade, p["axe"] + side, 1.5)
        b = step(blade, p["axe"] + side, 6.5)
        c.polygon([step(a, p["axe"], 3), step(b, p["axe"], 5), step(b, p["axe"], -4), step(a, p["axe"], -2)], "steel")
        c.capsule(step(b, p["axe"], 5), step(b, p["axe"], -4), 0.6, "pale")
    c.ellipse(hand_f[0], hand_f[1], 2.2, 2.2, "brown_dk")
    if p["arc"]:
        start = 160 if p["arc"] == 1 else 110
        swing_arc(c, shoulder, 22, start, start - 110, "white" if p["arc"] == 1 else "fog")
    if p["flash"]:
        c.recolour(FLASH)
    return c.finish()


def dissolve(c, share, seed):
    """Removes a share of the opaque pixels, the lower ones first, in a fixed scattered order."""
    if share <= 0:
        return
    for y in range(c.h):
        for x in range(c.w):
            if c.px[x, y][3] == 0:
                continue
            height = 1 - y / c.h
            if (pixels.hash2(x, y, seed) % 1000) / 1000.0 * 0.6 + height * 0.6 < share * 1.2:
                c.px[x, y] = pixels.TRANSPARENT


def draw_darklord(p):
    c = Canvas(48, 48)
    base = (24 + p["bob"][0], 47.5 + p["bob"][1] * 0.3)
    lean = p["lean"]
    sink = p["bob"][1] if p["fade"] else 0
    waist = (base[0], 34 + p["bob"][1])
    shoulder = up(waist, lean, 10)
    head = up(shoulder, lean, 5)
    # Far arm holding nothing, cloak, feet.
    wave = p["wave"]
    hem = []
    for i in range(9):
        x = base[0] - 9 + i * 2.4 - lean * 0.1
        y = min(47.5, base[1] - 1 + sink * 0.2 + math.sin(i * 1.3 + wave * 1.05) * 1.2)
        hem.append((x, y))
    if p["step"]:
        foot = (base[0] + 3 * p["step"], 46.5)
        c.capsule(foot, (foot[0] + 3, foot[1]), 1.2, "ink")
    c.polygon([(shoulder[0] - 5, shoulder[1] - 1), (shoulder[0] + 4, shoulder[1] - 1)] + hem[::-1] +
              [(hem[0][0] - 3, hem[0][1] - 3)], "purple")
    c.polygon([(shoulder[0] - 1, shoulder[1]), (shoulder[0] + 4, shoulder[1])] +
              [(h[0], h[1] - 1) for h in hem[5:][::-1]], "violet")
    for i in range(0, 9, 2):
        c.capsule(hem[i], (hem[i][0] + 0.5, hem[i][1] - 6), 0.5, "purple_dk" if i < 5 else "purple")
    for h in hem:
        c.dot(h[0], h[1] - 0.5, "lilac")
    c.capsule((shoulder[0] - 4, shoulder[1]), (shoulder[0] + 4, shoulder[1]), 1.0, "purple_dk")
    # Hood with glowing eyes and a crown of spikes.
    c.ellipse(head[0], head[1], 4.2, 4.8, "purple", lean)
    c.ellipse(head[0] - 1, head[1] - 1, 2.5, 3, "violet", lean)
    c.ellipse(head[0] + 1.5, head[1] + 0.5, 2.5, 3, "ink", lean)
    c.dot(head[0] + 2, head[1], "red")
    c.dot(head[0] + 3.2, head[1], "red")
    crown = up(head, lean, 4.5)
    for dx in (-3, -1, 1, 3):
        tip = up((crown[0] + dx, crown[1]), lean, 2 + (dx in (-1, 1)))
        c.capsule((crown[0] + dx, crown[1]), tip, 0.5, "amber")
    c.capsule((crown[0] - 3.5, crown[1] + 0.5), (crown[0] + 3.5, crown[1] + 0.5), 0.6, "amber")
    # Staff with an orb in the near hand.
    hand = step(shoulder, 40 - lean * 0.5, 7)
    c.capsule(shoulder, hand, 1.4, "purple")
    top = step(hand, p["staff"], 13)
    bottom = step(hand, p["staff"] + 180, 9)
    c.capsule(bottom, top, 0.8, "amber_dk")
    c.capsule(step(hand, p["staff"], 2), top, 0.4, "amber")
    c.ellipse(top[0], top[1], 2.8, 2.8, "violet")
    c.ellipse(top[0] - 0.3, top[1] - 0.3, 1.6, 1.6, "lilac")
    c.dot(top[0] - 0.5, top[1] - 0.5, "white")
    c.ellipse(hand[0], hand[1], 1.3, 1.3, "pale")
    if p["flash"]:
        c.recolour(FLASH)
    img = c.finish()
    if p["fade"]:
        c = Canvas(48, 48)
        c.blit(img, 0, 0)
        dissolve(c, p["fade"], 5)
        # Smoke left behind on the floor.
        width = 4 + p["fade"] * 10
        c.ellipse(24, 46.5, width, 1.5 + p["fade"], "purple_dk")
        c.ellipse(24, 46.8, width * 0.6, 1, "purple")
        img = c.img
    return img


def draw_sneaker(p):
    c = Canvas(32, 24)
    sx, sy = p["sx"], p["sy"]
    rx, ry = 9.5 * sx, 6.5 * sy
    cx, cy = 15.5, 23.8 - ry
    lean = p["lean"]
    melt = p["melt"]
    # The blob: a dark rim, the body, a lighter top leaning forwards and a shine.
    c.ellipse(cx, cy, rx, ry, "slime_dk")
    c.ellipse(cx + lean * 0.3, cy - 0.5, rx - 1, ry - 1, "slime")
    c.ellipse(cx + lean * 0.6 - 1, cy - ry * 0.35, rx * 0.6, ry * 0.45, "slime_lt")
    c.ellipse(cx + lean * 0.6 - rx * 0.45, cy - ry * 0.55, 1.3, 1.0, "slime_hi")
    # Puddle base.
    c.ellipse(cx, 23.3, rx + 1.5, 1.2, "slime_dk")
    if melt < 0.75:
        ex, ey = cx + 3 + lean * 0.6 + p["eye"][0], cy - ry * 0.2 + p["eye"][1]
        for dx in (0, 3.5):
            c.ellipse(ex + dx, ey, 1.2, 1.6 * (1 - melt * 0.8), "ink")
            c.dot(ex + dx + 0.4, ey - 0.6, "white")
    for i, x in enumerate((cx - rx * 0.6, cx + rx * 0.3)):
        drip = 1 + (i + int(lean)) % 2
        c.capsule((x, cy + ry - 1), (x, cy + ry + drip), 0.6, "slime")
    if p["flash"]:
        c.recolour(FLASH)
    img = c.finish("night")
    if melt:
        c = Canvas(32, 24)
        c.blit(img, 0, 0)
        dissolve(c, melt * 0.8, 9)
        img = c.img
    return img


def draw_wolf(p):
    c = Canvas(80, 48)
    bx, by = 38 + p["bob"][0], 25 + p["bob"][1]
    tilt = p["tilt"]
    t = math.radians(tilt)
    shoulder = (bx + 11 * math.cos(t), by + 11 * math.sin(t))
    haunch = (bx - 11 * math.cos(t), by - 11 * math.sin(t))

    def leg(start, angle, bend, near):
        name = "steel" if near else "slate2"
        mid = step(start, angle, 8)
        end = step(mid, angle + bend, 8)
        c.capsule(start, mid, 2.2 if near else 1.8, name)
        c.capsule(mid, end, 1.4, name)
        c.capsule(end, step(end, angle + bend + 70, 2.5), 1.0, "slate3" if near else "slate1")

    leg((shoulder[0] - 2, shoulder[1] + 2), p["ff"] - 15, p["fk"], False)
    leg((haunch[0] + 2, haunch[1] + 2), p["bf"] - 15, p["bk"], False)
    # Tail, body, chest and head.
    tail_root = (haunch[0] - 3, haunch[1] - 3)
    tail_tip = step(tail_root, -90 + p["tail"] * 0.3 - 20, 13)
    c.capsule(tail_root, tail_tip, 2.6, "slate3")
    c.capsule(step(tail_root, -110, 7), tail_tip, 1.6, "steel")
    c.ellipse(bx, by, 15, 6.5, "slate3", tilt)
    c.ellipse(bx + 1, by - 2.5, 12, 3, "steel", tilt)
    c.ellipse(shoulder[0] + 1, shoulder[1] + 1, 6.5, 7.5, "steel", tilt)
    c.ellipse(shoulder[0] + 3, shoulder[1] + 3, 3.5, 4.5, "fog", tilt)
    neck = (shoulder[0] + 5, shoulder[1] - 4)
    head = step(neck, 130 + p["head"], 5)
    c.capsule(neck, head, 4, "steel")
    c.ellipse(head[0] + 1, head[1], 4.5, 3.8, "steel")
    snout = step(head, 105 + p["head"], 6)
    c.capsule(head, snout, 2.0, "fog")
    c.dot(snout[0] + 1, snout[1] - 0.5, "ink")
    c.polygon([(head[0] - 3, head[1] - 2), (head[0] - 1, head[1] - 8), (head[0] + 1, head[1] - 2)], "slate3")
    c.dot(head[0] - 1, head[1] - 5, "slate1")
    c.dot(head[0] + 2, head[1] - 1, "lamp")
    leg((shoulder[0] + 1, shoulder[1] + 3), p["ff"], p["fk"], True)
    leg((haunch[0] - 1, haunch[1] + 3), p["bf"], p["bk"], True)
    return c.finish("night")


def draw_logo(p):
    c = Canvas(64, 48)
    rng = pixels.Rng(4)
    stars = [(rng.below(62) + 1, rng.below(20) + 1) for _ in range(12)]
    for i, (x, y) in enumerate(stars[:int(p["stars"])]):
        c.dot(x, y, "pale" if i % 3 else "white")
    moon = p["moon"]
    if moon:
        cx, cy, r = 32, 17, 10
        # A shadow disc slides off the moon: dark at 0, a crescent at 1.
        sx, sy, sr = cx + 6 * moon, cy - 3 * moon, r * (1.05 - 0.25 * moon)
        for y in range(c.h):
            for x in range(c.w):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if d <= r and math.hypot(x + 0.5 - sx, y + 0.5 - sy) > sr:
                    c.dot(x, y, "moon" if d < r - 1.5 else "pale")
        if p["glow"]:
            for i in range(24):
                a = i * 15
                q = step((cx, cy), a, r + 1 + p["glow"])
                c.dot(q[0], q[1], "lamp" if i % 2 else "amber")
    letters = int(p["letters"])
    if letters:
        glyphs = pixels.load_grids(pixels.src_path("images", "logo_letters.txt"))
        x = 32 - sum(glyphs[g].width + 1 for g in LOGO_LETTERS) // 2
        for i, g in enumerate(LOGO_LETTERS):
            if i < letters:
                c.blit(glyphs[g], x, 33)
            x += glyphs[g].width + 1
    return c.img


LOGO_LETTERS = ["Q", "amp", "T"]


def build_sheet(out_dir, key, draw):
    animations = []
    for name, frames in puppet.parse_poses(pixels.src_path("characters", key + ".txt")):
        animations.append((name, [(draw(pose), ms) for ms, pose in frames]))
    return sheets.write_sheet(out_dir, key if key in ("logo_anim", "80x48Wolf") else "animated/" + key, animations)


DRAWINGS = {"player": draw_human, "rat": draw_rat, "minotaur": draw_minotaur, "darklord": draw_darklord,
            "sneaker": draw_sneaker, "80x48Wolf": draw_wolf, "logo_anim": draw_logo}


def build(out_dir):
    """Writes every sprite sheet; returns {key: sheet image}."""
    return {key: build_sheet(out_dir, key, draw) for key, draw in DRAWINGS.items()}
