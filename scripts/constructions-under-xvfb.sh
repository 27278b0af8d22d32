#!/usr/bin/env bash
# Does the three worksheet constructions (perpendicular bisector of a 60 mm
# segment, hexagon in a 40 mm circle, a 35 degree angle and its bisector) in
# the real program under Xvfb, as a user would with the mouse and the
# one-key shortcuts of the "Direkt" tool, counts the actions, saves each
# drawing with Ctrl+S and measures what the saved file holds.
#
# One action: one press-drag-release, one click, one key press, one menu
# pick; typing a file name and Enter counts as one. Making the window fill
# the screen counts as one (a double click on the title bar with a window
# manager).
#
# Usage: scripts/constructions-under-xvfb.sh [BUILD_DIR]   (default: build)
# Needs Xvfb, xdotool, ImageMagick (import, convert) and python3.
set -euo pipefail

HERE="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$(realpath "${1:-$HERE/build}")"
APP="$BUILD/src/app/quirindo"
shift || true
[ -x "$APP" ] || { echo "no program at $APP (build it first)" >&2; exit 1; }

WORK="$(mktemp -d /tmp/constructions.XXXXXX)"
XVFB_PID=""
cleanup() {
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT

export DISPLAY="${CONSTRUCTIONS_DISPLAY:-:91}"
if ! xdpyinfo >/dev/null 2>&1; then
  Xvfb "$DISPLAY" -screen 0 1400x1000x24 >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi

APP="$APP" WORK="$WORK" python3 - "$@" <<'PYTHON'
import math
import os
import struct
import subprocess
import sys
import time

APP = os.environ["APP"]
WORK = os.environ["WORK"]
MM_PER_INCH = 25.39995
S = 96 / MM_PER_INCH  # pixels per mm at 100 % on a 96 dpi screen
TOL_MM, TOL_DEG = 0.001, 0.001
SEEN_BOTTOM_PX = 940  # the view of the full-screen window reaches below this row


def xdo(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


class Session:
    """One fresh run of the program, its window filling the screen."""

    def __init__(self, name):
        self.name = name
        self.actions = 0
        cfg, state = (os.path.join(WORK, name, d) for d in ("config", "state"))
        os.makedirs(cfg)
        os.makedirs(state)
        env = dict(os.environ, XDG_CONFIG_HOME=cfg, XDG_STATE_HOME=state)
        env.pop("QT_QPA_PLATFORM", None)
        self.proc = subprocess.Popen([APP], cwd=os.path.join(WORK, name), env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(300):
            found = subprocess.run(["xdotool", "search", "--name", "Quirindo [0-9]"],
                                   capture_output=True, text=True).stdout.split()
            if found:
                break
            time.sleep(0.1)
        else:
            sys.exit("the program's window did not appear")
        self.window = found[0]
        time.sleep(0.5)
        # What a window manager does: the new window gets the keyboard and
        # the user makes it fill the screen (one action).
        xdo("windowfocus", "--sync", self.window)
        xdo("windowsize", "--sync", self.window, 1400, 1000)
        self.actions += 1
        time.sleep(0.8)
        self.origin = self.find_page_corner()

    def shot(self, name):
        png = os.path.join(WORK, self.name, name + ".png")
        subprocess.run(["import", "-window", "root", png], check=True)
        return png

    def find_page_corner(self):
        """The screen pixel of the page's top-left corner: where its black
        border starts, running right and down."""
        ppm = os.path.join(WORK, self.name, "start.ppm")
        subprocess.run(["convert", self.shot("start"), ppm], check=True)
        data = open(ppm, "rb").read()
        head = data.split(b"\n", 3)
        w, h = map(int, head[1].split())
        pix = head[3]
        black = lambda x, y: pix[3 * (y * w + x): 3 * (y * w + x) + 3] == b"\0\0\0"
        for y in range(h - 100):
            for x in range(w - 100):
                if black(x, y) and all(black(x + k, y) and black(x, y + k) for k in range(1, 100, 3)):
                    # The border's width checks the scale: round(210 mm * S) pixels.
                    xx = x
                    while black(xx + 1, y):
                        xx += 1
                    if abs((xx - x + 1) - round(210 * S)) > 1:
                        sys.exit(f"page {xx - x + 1} px wide, expected {round(210 * S)}")
                    return x, y
        sys.exit("no page found on the screen")

    def seen_part(self, zero, deg):
        """The stretch [lo, hi] (mm from the zero point) of the ruler's edge
        that lies on the page inside the part of the view on the screen."""
        bottom = min(297.0, (SEEN_BOTTOM_PX - self.origin[1]) / S)
        a = math.radians(deg)
        u = (math.cos(a), math.sin(a))
        lo, hi = 0.0, 1000.0
        for p, d, top in ((zero[0], u[0], 210.0), (zero[1], u[1], bottom)):
            if abs(d) < 1e-12:
                continue
            t1, t2 = sorted(((0.0 - p) / d, (top - p) / d))
            lo, hi = max(lo, t1), min(hi, t2)
        return lo, hi

    def at(self, p):
        return self.origin[0] + round(p[0] * S), self.origin[1] + round(p[1] * S)

    # What the user does -------------------------------------------------
    def key(self, *keys):
        xdo("key", *keys)
        self.actions += 1
        time.sleep(0.3)
        self.step_shot()

    def drag(self, path, off=(2, -1)):
        """One press, moves through the points of `path` (mm), release. The
        pointer lands `off` pixels beside each aimed point, as a hand does."""
        pts = [self.at(p) for p in path]
        pts = [(x + off[0], y + off[1]) for x, y in pts]
        xdo("mousemove", *pts[0])
        time.sleep(0.2)
        xdo("mousedown", 1)
        for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
            for k in range(1, 7):
                xdo("mousemove", round(x0 + (x1 - x0) * k / 6), round(y0 + (y1 - y0) * k / 6))
                time.sleep(0.03)
        time.sleep(0.2)
        xdo("mouseup", 1)
        self.actions += 1
        time.sleep(0.3)
        self.step_shot()

    def step_shot(self):
        # CONSTRUCTIONS_SHOTS=1 keeps a screenshot after every action.
        if os.environ.get("CONSTRUCTIONS_SHOTS"):
            self.shot(f"action{self.actions:02d}")

    def save(self, path):
        self.key("ctrl+s")
        time.sleep(1.0)
        xdo("type", "--delay", 20, path)
        xdo("key", "Return")
        self.actions += 1
        for _ in range(50):
            if os.path.exists(path):
                break
            time.sleep(0.1)
        time.sleep(0.5)
        self.shot("done")
        self.proc.terminate()
        self.proc.wait(timeout=10)
        return read_qrd(path)


def read_qrd(path):
    data = open(path, "rb").read()
    (n,) = struct.unpack_from("<i", data, 0)
    objs = []
    for i in range(n):
        kind, _, width, *c = struct.unpack_from("<iid8d", data, 4 + 88 * i)
        objs.append((kind, c))
    return objs


# Geometry of the stored objects -------------------------------------------
def dist(a, b):
    return math.hypot(b[0] - a[0], b[1] - a[1])


def ends(o):
    c = o[1]
    return (c[0], c[1]), (c[2], c[3])


def centre(o):
    c = o[1]
    return ((c[0] + c[2]) / 2, (c[1] + c[3]) / 2), (c[2] - c[0]) / 2


def direction(a, b):
    """Degrees counter-clockwise on screen, as a user measures."""
    return math.degrees(math.atan2(-(b[1] - a[1]), b[0] - a[0]))


def angle_between(u, v):
    d = (u - v) % 360.0
    return min(d, 360.0 - d)


failures = []


def check(label, value, want, tol):
    ok = abs(value - want) <= tol
    print(f"    {label:<44} {value:12.6f}  (want {want}, {'ok' if ok else 'OFF'})")
    if not ok:
        failures.append(label)


# Default instruments: ruler zero (10, 90) to the right, scale edge at
# y = 90, body below; protractor centre (50, 50), rim radius 40; compass
# needle (150, 50), pencil leg at 45 degrees, span 40.
RULER_BODY = 5.0  # mm across from the scale edge: the body


def ruler_point(zero, deg, along, across=0.0):
    a = math.radians(deg)
    return (zero[0] + along * math.cos(a) - across * math.sin(a),
            zero[1] + along * math.sin(a) + across * math.cos(a))


def compass_grips(needle, span, leg):
    a = math.radians(leg)
    tip = (needle[0] + span * math.cos(a), needle[1] + span * math.sin(a))
    return tip, ((needle[0] + tip[0]) / 2, (needle[1] + tip[1]) / 2)


class Hand:
    """Keeps where the instruments lie, so the script presses on their
    grips as a user looking at the screen would."""

    def __init__(self, s):
        self.s = s
        self.zero, self.deg = (10.0, 90.0), 0.0
        self.prot = (50.0, 50.0)
        self.needle, self.span, self.leg = (150.0, 50.0), 40.0, 45.0

    def along(self, a, b):
        self.s.drag([a, ((a[0] + b[0]) / 2, (a[1] + b[1]) / 2), b], off=(1, 1))

    def ruler_to(self, p, grab=25.0):
        """Drags the ruler's body so that its zero point lands on p."""
        g = ruler_point(self.zero, self.deg, grab, RULER_BODY)
        self.s.drag([g, (g[0] + p[0] - self.zero[0], g[1] + p[1] - self.zero[1])])
        self.zero = p

    def ruler_through(self, q):
        """Turns the ruler by its far end until the pointer rests on q: the
        scale edge then runs through q. The far end is taken where the user
        sees the ruler leave the page or the view."""
        lo, hi = self.s.seen_part(self.zero, self.deg)
        # The far third of what is seen turns it; the user takes it where no
        # other instrument lies on top.
        far = hi - 2.0
        while far > lo + 0.7 * (hi - lo) and not self.clear(
                ruler_point(self.zero, self.deg, far, RULER_BODY)):
            far -= 1.0
        if far <= lo + 0.7 * (hi - lo):
            sys.exit(f"{self.s.name}: the ruler's far end is covered")
        start = ruler_point(self.zero, self.deg, far, RULER_BODY)
        target = math.degrees(math.atan2(q[1] - self.zero[1], q[0] - self.zero[0]))
        turn = (target - self.deg + 180) % 360 - 180
        r0, r1 = math.hypot(far, RULER_BODY), dist(self.zero, q)
        a0 = math.degrees(math.atan2(start[1] - self.zero[1], start[0] - self.zero[0]))
        path = [start]
        for k in range(1, 7):
            a = math.radians(a0 + turn * k / 6)
            r = r0 + (r1 - r0) * k / 6
            path.append((self.zero[0] + r * math.cos(a), self.zero[1] + r * math.sin(a)))
        path[-1] = q
        self.s.drag(path)
        self.deg = target

    def clear(self, p):
        """No protractor or compass over p (with a couple of mm to spare)."""
        if dist(p, self.prot) < 42.0:
            return False
        tip, _ = compass_grips(self.needle, self.span, self.leg)
        n, t = self.needle, tip
        l2 = dist(n, t) ** 2
        k = 0.0 if l2 == 0 else max(0.0, min(1.0, ((p[0] - n[0]) * (t[0] - n[0]) +
                                                   (p[1] - n[1]) * (t[1] - n[1])) / l2))
        return dist(p, (n[0] + k * (t[0] - n[0]), n[1] + k * (t[1] - n[1]))) > 6.0

    def needle_to(self, p):
        self.s.drag([self.needle, p])
        self.needle = p

    def tip_to(self, p):
        """Opens the compass by its hinge until the pencil tip is on p."""
        tip, hinge = compass_grips(self.needle, self.span, self.leg)
        self.s.drag([hinge, (hinge[0] + p[0] - tip[0], hinge[1] + p[1] - tip[1])])
        self.span = dist(self.needle, p)
        self.leg = math.degrees(math.atan2(p[1] - self.needle[1], p[0] - self.needle[0]))

    def protractor_to(self, p, grab=None):
        g = grab or self.prot
        self.s.drag([g, (g[0] + p[0] - self.prot[0], g[1] + p[1] - self.prot[1])])
        self.prot = p

    def circle(self):
        self.s.key("k")


results = []


def bisector():
    s = Session("bisector")
    h = Hand(s)
    s.key("d")
    a, b = (110.0, 90.0), (170.0, 90.0)  # the scale's 100 and 160 mm
    h.along(a, b)
    h.needle_to(a)
    h.tip_to(b)
    h.circle()
    h.needle_to(b)
    h.circle()
    k = 60 * math.sqrt(3) / 2
    p, q = (140.0, 90 - k), (140.0, 90 + k)
    h.ruler_to(p)
    h.ruler_through(q)
    h.along(p, q)
    objs = s.save(os.path.join(WORK, "bisector.qrd"))
    print(f"Perpendicular bisector of a 60 mm segment: {s.actions} actions (goal 19)")
    ab, bis = objs[0], objs[-1]
    A, B = ends(ab)
    P, Q = ends(bis)
    check("AB length (mm)", dist(A, B), 60, TOL_MM)
    check("P: distance to A minus distance to B (mm)", dist(P, A) - dist(P, B), 0, TOL_MM)
    check("Q: distance to A minus distance to B (mm)", dist(Q, A) - dist(Q, B), 0, TOL_MM)
    check("angle between AB and the bisector (deg)",
          angle_between(direction(A, B), direction(P, Q)), 90, TOL_DEG)
    M = ((A[0] + B[0]) / 2, (A[1] + B[1]) / 2)
    cross = ((Q[0] - P[0]) * (M[1] - P[1]) - (Q[1] - P[1]) * (M[0] - P[0])) / dist(P, Q)
    check("midpoint of AB off the bisector (mm)", cross, 0, TOL_MM)
    results.append(("bisector", s.actions, 19))


def hexagon():
    s = Session("hexagon")
    h = Hand(s)
    s.key("d")
    o = (150.0, 90.0)
    d, a = (110.0, 90.0), (190.0, 90.0)  # the scale's 100, 140 and 180 mm
    h.along(d, o)
    h.along(o, a)
    h.needle_to(o)
    h.tip_to(a)
    h.circle()
    # The circles about A and D, radius 40, cut the first circle in the
    # other four corners.
    h.needle_to(a)
    h.circle()
    h.needle_to(d)
    h.circle()
    k = 40 * math.sqrt(3) / 2
    A, B, C = a, (170.0, 90 - k), (130.0, 90 - k)
    D, E, F = d, (130.0, 90 + k), (170.0, 90 + k)
    # Two sides from every other corner: the ruler laid on the corner, turned
    # through one neighbour, a stroke, turned through the other, a stroke.
    for corner, first, second in ((A, B, F), (C, B, D), (E, D, F)):
        h.ruler_to(corner, grab=10.0)
        h.ruler_through(first)
        h.along(corner, first)
        h.ruler_through(second)
        h.along(corner, second)
    objs = s.save(os.path.join(WORK, "hexagon.qrd"))
    print(f"Hexagon in a 40 mm circle: {s.actions} actions (goal 48)")
    sides = [o_ for o_ in objs if o_[0] == 0][2:]
    circle = [o_ for o_ in objs if o_[0] == 2][0]
    centre_, radius = centre(circle)
    check("circle radius (mm)", radius, 40, TOL_MM)
    for i, side in enumerate(sides):
        p, q = ends(side)
        check(f"side {i + 1} length (mm)", dist(p, q), 40, TOL_MM)
        check(f"side {i + 1} ends off the circle (mm)",
              max(abs(dist(p, centre_) - 40), abs(dist(q, centre_) - 40)), 0, TOL_MM)
    # The corners meet: every end of a side is the end of another side.
    pts = [e for side in sides for e in ends(side)]
    worst = max(min(dist(p, q) for j, q in enumerate(pts) if j != i) for i, p in enumerate(pts))
    check("corners: largest gap between side ends (mm)", worst, 0, TOL_MM)
    results.append(("hexagon", s.actions, 48))


def angle():
    s = Session("angle")
    h = Hand(s)
    s.key("d")
    o, b = (190.0, 90.0), (110.0, 90.0)  # the scale's 180 and 100 mm
    h.along(o, b)
    h.protractor_to(o)
    # The 35 tick of the protractor lies 35 degrees above the base ray (to
    # the left); pressed on the rim, drawn in to the centre and out to 80 mm.
    rim = ruler_point(o, 180 + 35, 37)
    far = ruler_point(o, 180 + 35, 80)
    # Resting there first, the status bar names the degree a press marks.
    x, y = s.at(rim)
    xdo("mousemove", x + 1, y + 1)
    time.sleep(0.4)
    s.shot("aiming-at-35")
    s.drag([rim, ruler_point(o, 215, 20), o, ruler_point(o, 215, 50), far], off=(1, 1))
    # Done with it, the protractor goes out of the way of the ruler.
    h.protractor_to((60.0, 130.0), grab=(o[0] + 5, o[1] + 10))
    # The bisector: circles of one span about O, B and F, and the line from
    # O through the far crossing of the last two.
    h.needle_to(o)
    h.tip_to(b)
    h.circle()
    h.needle_to(b)
    h.circle()
    h.needle_to(far)
    h.circle()
    g = (b[0] + far[0] - o[0], b[1] + far[1] - o[1])
    h.ruler_to(o, grab=20.0)
    h.ruler_through(g)
    h.along(o, g)
    objs = s.save(os.path.join(WORK, "angle.qrd"))
    print(f"35 degree angle and its bisector: {s.actions} actions (goal 27)")
    lines = [o_ for o_ in objs if o_[0] == 0]
    base, mark, bis = lines[0], lines[1], lines[-1]
    (b1, b2), (m1, m2), (g1, g2) = ends(base), ends(mark), ends(bis)
    # The vertex: the end of the base ray the bisector starts from.
    vertex, b2 = (b1, b2) if dist(b1, g1) < dist(b2, g1) else (b2, b1)
    mark_far = m1 if dist(m1, vertex) > dist(m2, vertex) else m2
    mark_near = m2 if mark_far is m1 else m1
    check("mark starts at the vertex (mm)", dist(mark_near, vertex), 0, TOL_MM)
    check("bisector starts at the vertex (mm)", dist(g1, vertex), 0, TOL_MM)
    angle_ = angle_between(direction(vertex, b2), direction(vertex, mark_far))
    check("angle between base and mark (deg)", angle_, 35, TOL_DEG)
    check("bisector to base (deg)", angle_between(direction(vertex, b2), direction(g1, g2)),
          17.5, TOL_DEG)
    check("bisector to mark (deg)",
          angle_between(direction(vertex, mark_far), direction(g1, g2)), 17.5, TOL_DEG)
    results.append(("angle", s.actions, 27))


for name in sys.argv[1:] or ["bisector", "hexagon", "angle"]:
    {"bisector": bisector, "hexagon": hexagon, "angle": angle}[name]()

print()
for name, n, goal in results:
    print(f"{name:<10} {n:3d} actions, goal at most {goal}: {'ok' if n <= goal else 'TOO MANY'}")
    if n > goal:
        failures.append(name)
print(f"Screenshots and files in {WORK}")
sys.exit(1 if failures else 0)
PYTHON
