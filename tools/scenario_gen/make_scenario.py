#!/usr/bin/env python3
"""Builds the bundled scenario data/scenario/japan1560.snr from its source tables.

The historical data lives in data/scenario/src/ (tab-separated tables, the texts and the
conditional events; see data/scenario/src/README.md). The province map's own list of provinces
(data/map/provinces.tsv) gives the identifiers of provinces and regions, their bounding boxes
and the castle-map rectangles. This script turns all of it into one scenario file in the
game's format: Shift-JIS (CP932), CR LF line ends, ScenarioVer 11.

Usage (from the repository folder):
    python3 tools/scenario_gen/make_scenario.py            write data/scenario/japan1560.snr
    python3 tools/scenario_gen/make_scenario.py --stdout   write the scenario to standard output
    python3 tools/scenario_gen/make_scenario.py --check    exit 1 when the scenario file (or the test
                                                           scenario) is not what the sources make
    python3 tools/scenario_gen/make_scenario.py --paint-args
        print the --paint arguments of `rymdcli map-render` that colour every province by the
        house holding most of its castles (nothing is written)
    python3 tools/scenario_gen/make_scenario.py --legend
        print the house colours of --paint-args, one house a line
    python3 tools/scenario_gen/make_scenario.py --fixture
        write the test scenario tests/fixtures/scenario/full.snr (and its picture full.bmp)
        from tools/scenario_gen/full_fixture.snr.txt

Options: --src DIR (tables), --provinces FILE, --out FILE.

What the map cannot hold is left out, and every place and name left out is listed on standard
error: castles in a province that is not on the map (琉球), the houses left with no castle, their
generals, relations, trade ports and the trade partners left with no port. A castle whose
projected position falls outside its province's bounding box is reported as well (the scenario is
still written). Python 3 standard library only.
"""

import argparse
import colorsys
import math
import os
import re
import runpy
import sys
from collections import defaultdict

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
DEFAULT_SRC = os.path.join(ROOT, "data", "scenario", "src")
DEFAULT_PROVINCES = os.path.join(ROOT, "data", "map", "provinces.tsv")
DEFAULT_OUT = os.path.join(ROOT, "data", "scenario", "japan1560.snr")
SEA_LANES = os.path.join(ROOT, "tools", "scenario_gen", "sea_lanes.tsv")
MAP_FIT = os.path.join(ROOT, "tools", "scenario_gen", "map_fit.tsv")
CHECK_TABLES = os.path.join(ROOT, "data", "scenario", "src", "check_tables.py")
FIXTURE_SRC = os.path.join(ROOT, "tools", "scenario_gen", "full_fixture.snr.txt")
FIXTURE_DIR = os.path.join(ROOT, "tests", "fixtures", "scenario")

# The map file, named from the scenario's folder (data/scenario/ -> data/default.smp).
MAP_FILE = "../default.smp"
START_YEAR = 1560
START_MONTH = 5  # 永禄三年五月, the month of 桶狭間 (texts.md, events.snr.txt)
HEI_UNIT = 10
# The whole-country map is never drawn narrower than this: small enough that the province switch
# (a map 480 pixels wide and 280 high) shows all of Japan, which is taller than wide, instead of
# a 600-pixel map scrolled to the empty sea of its corner.
MAIN_MAP_MIN_WIDTH = 200
BGM_NORMAL = "Yuugure.mp3"  # made by tools/musicgen, installed beside the program
BGM_BATTLE = "Kassen.mp3"

# The castle map view shows a province's rectangle in a window of this size (pixels); the
# KuniArea type is the largest whole zoom that fits.
VIEW_W, VIEW_H = 560, 400
# The castle view draws each castle about its point (pixels): its name above in a 16-pixel font,
# its mark (20 pixels square, with a boat to its left at a port) and its owner's name below in a
# 14-pixel font. A province whose castles stand too close for these at the zoom that fits it is
# shown magnified until they stand apart (the view scrolls), as long as its picture stays within
# MAX_VIEW_PIXELS a side.
NAME_FONT, OWNER_FONT = 16, 14
LABEL_GAP = 2
MAX_VIEW_PIXELS = 1600
UNIT = 128  # map coordinates per relief sample

# The one castle type of the scenario: the built-in pictures everywhere and the standard drawing
# offsets (castle, castle name, house name, three more pairs, the castle's rectangle, one more
# pair and the overlay size).
SHIRO_TYPE_ID = "ST_NIHON"
SHIRO_TYPE_OFFSETS = [0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -10, -10, 10, 10, 0, 0, 20, 30]

# Houses that the paint of the map gives a fixed colour (the others get spread hues).
HOUSE_COLOURS = {
    "D_ODA": "F2C40F",
    "D_IMAGAWA": "8E44AD",
    "D_TAKEDA": "C0392B",
    "D_HOJO": "16A085",
    "D_NAGAO": "2E86C1",
    "D_MORI": "27AE60",
    "D_AMAGO": "7F8C8D",
    "D_MIYOSHI": "D35400",
    "D_SHIMAZU": "1B2631",
    "D_OTOMO": "E67E22",
    "D_DATE": "5DADE2",
    "D_SAITO": "A04000",
    "D_ASAKURA": "AF7AC5",
    "D_ROKKAKU": "F1948A",
    "D_CHOSOKABE": "117A65",
}


def fail(text):
    print("make_scenario: " + text, file=sys.stderr)
    sys.exit(1)


def note(text):
    print("make_scenario: " + text, file=sys.stderr)


# ---------------------------------------------------------------------------------------------
# Reading the tables


def read_tsv(path):
    """Rows of a tab-separated table as dicts; '#' lines are comments, the first other line
    names the columns."""
    rows = []
    header = None
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split("\t")
            if header is None:
                header = fields
                continue
            if len(fields) > len(header):
                fail("%s:%d: more fields than columns" % (path, number))
            fields += [""] * (len(header) - len(fields))
            row = dict(zip(header, fields))
            row["_where"] = "%s:%d" % (os.path.basename(path), number)
            rows.append(row)
    return rows


def game_caps():
    """The rules of what the game allows once a game runs (check_tables.py, GAME_CAPS):
    a function (table kind, row) -> the rules the row breaks."""
    return runpy.run_path(CHECK_TABLES)["game_cap_problems"]


def read_parts(src, kind):
    """Every part of one table (houses_east.tsv, houses_west.tsv, ...) in file-name order."""
    names = sorted(n for n in os.listdir(src) if n.startswith(kind + "_") and n.endswith(".tsv"))
    if not names:
        fail("no %s_*.tsv in %s" % (kind, src))
    rows = []
    for n in names:
        rows += read_tsv(os.path.join(src, n))
    return rows


def read_fenced_blocks(path):
    """The fenced blocks of texts.md by their '## ' heading."""
    blocks = {}
    heading = None
    inside = False
    lines = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if not inside and line.startswith("## "):
                heading = line[3:].strip()
            elif line.startswith("```"):
                if inside:
                    blocks[heading] = lines
                    lines = []
                inside = not inside
            elif inside:
                lines.append(line)
    return blocks


class Provinces:
    """data/map/provinces.tsv: the map's provinces in the order of their numbers."""

    def __init__(self, path):
        self.rows = read_tsv(path)
        self.by_name = {r["name"]: r for r in self.rows}
        self.region_by_name = {r["region"]: r["region_id"] for r in self.rows}

    def has(self, name):
        return name in self.by_name

    def kid(self, name):
        if name not in self.by_name:
            fail("no province %s on the map" % name)
        return self.by_name[name]["id"]

    def region_id(self, name):
        if name not in self.region_by_name:
            fail("no region %s on the map" % name)
        return self.region_by_name[name]


# ---------------------------------------------------------------------------------------------
# The map's projection (data/map/README.md): longitude and latitude to map coordinates.

R_EARTH = 6371.0
P1, P2, P0, L0 = 33.0, 43.0, 38.0, 137.0
_N = math.log(math.cos(math.radians(P1)) / math.cos(math.radians(P2))) / math.log(
    math.tan(math.pi / 4 + math.radians(P2) / 2) / math.tan(math.pi / 4 + math.radians(P1) / 2))
_F = math.cos(math.radians(P1)) * math.tan(math.pi / 4 + math.radians(P1) / 2) ** _N / _N
_RHO0 = R_EARTH * _F / math.tan(math.pi / 4 + math.radians(P0) / 2) ** _N


def project(lon, lat):
    rho = R_EARTH * _F / math.tan(math.pi / 4 + math.radians(lat) / 2) ** _N
    t = _N * math.radians(lon - L0)
    e = rho * math.sin(t)
    n = _RHO0 - rho * math.cos(t)
    return round((e + 840.0) / 2.0 * UNIT), round((870.0 - n) / 2.0 * UNIT)


def unproject(x, y):
    """Map coordinates back to longitude and latitude (degrees)."""
    e = x / UNIT * 2.0 - 840.0
    n = 870.0 - y / UNIT * 2.0
    rho = math.hypot(e, _RHO0 - n)
    t = math.atan2(e, _RHO0 - n)
    lon = L0 + math.degrees(t / _N)
    lat = math.degrees(2 * math.atan((R_EARTH * _F / rho) ** (1 / _N)) - math.pi / 2)
    return lon, lat


# ---------------------------------------------------------------------------------------------
# Writing


def quoted(text, where):
    if '"' in text:
        fail("%s: a text must not hold a double quote" % where)
    return '"' + text + '"'


def line(*fields):
    return " : ".join(str(f) for f in fields)


class Scenario:
    def __init__(self, src, provinces):
        self.src = src
        self.prov = provinces
        self.houses = read_parts(src, "houses")
        self.castles = read_parts(src, "castles")
        self._all_castles = list(self.castles)
        self.roads = read_parts(src, "roads")
        self.generals = read_parts(src, "generals")
        self.alliances = read_parts(src, "alliances")
        self.sea_lanes = read_tsv(SEA_LANES) if os.path.exists(SEA_LANES) else []
        self.left_out = []
        self.outside_box = []
        self.crowded = []
        # Castles on a province border that the map's 2 km samples put on the wrong side: the
        # position used instead of the site's (the tables keep the real site).
        self.map_fit = {r["id"]: r for r in read_tsv(MAP_FIT)} if os.path.exists(MAP_FIT) else {}
        castle_ids = {c["id"] for c in self.castles}
        for cid, r in self.map_fit.items():
            if cid not in castle_ids:
                fail("%s: no castle %s" % (r["_where"], cid))
        self.bushou_texts = {}
        texts_path = os.path.join(src, "bushou_texts.tsv")
        for r in read_tsv(texts_path) if os.path.exists(texts_path) else []:
            self.bushou_texts[r["id"]] = r
        self._check_references()
        self._check_game_caps()
        self._leave_out_what_the_map_cannot_hold()
        self._order()

    # --- checks and omissions ----------------------------------------------------------------

    def _check_references(self):
        ids = set()
        for table in (self.houses, self.castles, self.generals):
            for r in table:
                if r["id"] in ids:
                    fail("%s: %s given twice" % (r["_where"], r["id"]))
                ids.add(r["id"])
        house_ids = {h["id"] for h in self.houses}
        castle_ids = {c["id"] for c in self.castles}
        general_ids = {g["id"] for g in self.generals}
        for c in self.castles:
            if c["owner"] not in house_ids:
                fail("%s: no house %s" % (c["_where"], c["owner"]))
        for h in self.houses:
            if h["head"] not in general_ids:
                fail("%s: no general %s" % (h["_where"], h["head"]))
        links = defaultdict(int)
        pairs = set()
        for r in self.roads + self.sea_lanes:
            for k in ("a", "b"):
                if r[k] not in castle_ids:
                    fail("%s: no castle %s" % (r["_where"], r[k]))
                links[r[k]] += 1
            pair = tuple(sorted((r["a"], r["b"])))
            if r["a"] == r["b"] or pair in pairs:
                fail("%s: %s - %s given twice or joins a castle to itself" % (r["_where"], r["a"], r["b"]))
            pairs.add(pair)
        for c, n in links.items():
            if n > 10:
                fail("castle %s has %d roads and sea lanes (at most 10)" % (c, n))
        for g in self.generals:
            if g["house"] != "FREE" and g["house"] not in house_ids:
                fail("%s: no house %s" % (g["_where"], g["house"]))
            if g["appear"] == "0" and g["location"] not in castle_ids:
                fail("%s: no castle %s" % (g["_where"], g["location"]))
        for a in self.alliances:
            for k in ("a", "b"):
                if a[k] not in house_ids:
                    fail("%s: no house %s" % (a["_where"], a[k]))
        for r in self.bushou_texts.values():
            if r["id"] not in general_ids:
                fail("%s: no general %s" % (r["_where"], r["id"]))

    def _check_game_caps(self):
        # A value the scenario file takes but the game's own rules never allow (a port with 20
        # trade ships where the game keeps at most 10) is refused here, not left to the game.
        broken = game_caps()
        for kind, rows in (("castles", self.castles), ("generals", self.generals)):
            for r in rows:
                for rule in broken(kind, r):
                    fail("%s: %s: the game does not allow it (%s)" % (r["_where"], r["id"], rule))

    def _leave_out_what_the_map_cannot_hold(self):
        gone_castles = set()
        for c in self.castles:
            if not self.prov.has(c["province"]):
                gone_castles.add(c["id"])
                self.left_out.append("castle %s %s: %s is not on the map" % (c["id"], c["name"], c["province"]))
        self.castles = [c for c in self.castles if c["id"] not in gone_castles]
        # A house that held castles only where the map does not reach goes with them.
        held = {c["owner"] for c in self.castles}
        gone_houses = {c["owner"] for c in self._all_castles if c["id"] in gone_castles} - held
        for h in self.houses:
            if h["id"] in gone_houses:
                self.left_out.append("house %s %s: no castle left on the map" % (h["id"], h["name"]))
        self.houses = [h for h in self.houses if h["id"] not in gone_houses]
        kept = []
        for g in self.generals:
            why = None
            if g["house"] in gone_houses:
                why = "his house is left out"
            elif g["appear"] == "0" and g["location"] in gone_castles:
                why = "his castle is left out"
            elif g["appear"] != "0" and not self.prov.has(g["location"]):
                why = "he appears in %s, not on the map" % g["location"]
            if why:
                self.left_out.append("general %s %s: %s" % (g["id"], g["name"], why))
            else:
                kept.append(g)
        self._gone_general_ids = {g["id"] for g in self.generals if g not in kept}
        self._gone_house_ids = gone_houses
        self.generals = kept
        for a in self.alliances:
            if a["a"] in gone_houses or a["b"] in gone_houses:
                self.left_out.append("relation %s %s %s" % (a["a"], a["type"], a["b"]))
        self.alliances = [a for a in self.alliances if a["a"] not in gone_houses and a["b"] not in gone_houses]
        for r in self.roads + self.sea_lanes:
            if r["a"] in gone_castles or r["b"] in gone_castles:
                fail("%s: road to a castle left out" % r["_where"])
        self.gone_castles = gone_castles

    # --- order -------------------------------------------------------------------------------

    def _order(self):
        pnum = lambda name: int(self.prov.by_name[name]["number"])
        castle_by_id = {c["id"]: c for c in self.castles}
        # Castles by province (the map's order), in table order within a province.
        self.castles.sort(key=lambda c: pnum(c["province"]))
        # Houses by the province of their head's castle.
        general_by_id = {g["id"]: g for g in self.generals}

        def house_key(h):
            head = general_by_id.get(h["head"])
            if head is None or head["location"] not in castle_by_id:
                fail("%s: the head %s is not at a castle on the map" % (h["_where"], h["head"]))
            return pnum(castle_by_id[head["location"]]["province"])

        self.houses.sort(key=house_key)
        order = {h["id"]: i for i, h in enumerate(self.houses)}
        heads = {h["head"] for h in self.houses}

        def general_key(g):
            house = order.get(g["house"], len(order))
            present = 0 if g["appear"] == "0" else 1
            if g["id"] in heads:
                rank = -1
            elif g["rank"]:
                rank = int(g["rank"])
            else:
                rank = 1000
            return (house, present, rank)

        self.generals.sort(key=general_key)

    # --- derived values ----------------------------------------------------------------------

    def position(self, c):
        fit = self.map_fit.get(c["id"])
        if fit:
            return project(float(fit["lon"]), float(fit["lat"]))
        return project(float(c["lon"]), float(c["lat"]))

    def check_positions(self):
        for c in self.castles:
            x, y = self.position(c)
            p = self.prov.by_name[c["province"]]
            if not (int(p["x_min"]) <= x <= int(p["x_max"]) and int(p["y_min"]) <= y <= int(p["y_max"])):
                self.outside_box.append("%s %s (%s): %d, %d outside %s..%s, %s..%s" % (
                    c["id"], c["name"], c["province"], x, y, p["x_min"], p["x_max"], p["y_min"], p["y_max"]))

    def kuni_area(self, p):
        """The castle map's rectangle of a province (relief samples, left, top, right, bottom,
        right and bottom exclusive) and its zoom: the province's main land, widened to take in
        every castle of the province (islands), within the whole province's box."""
        left, top = int(p["main_left"]), int(p["main_top"])
        right, bottom = int(p["main_right"]), int(p["main_bottom"])
        for c in self.castles:
            if c["province"] != p["name"]:
                continue
            x, y = self.position(c)
            sx, sy = x // UNIT, y // UNIT
            left, top = min(left, sx - 2), min(top, sy - 2)
            right, bottom = max(right, sx + 3), max(bottom, sy + 3)
        left = max(left, int(p["area_left"]))
        top = max(top, int(p["area_top"]))
        right = min(right, int(p["area_right"]))
        bottom = min(bottom, int(p["area_bottom"]))
        w, h = max(1, right - left), max(1, bottom - top)
        zoom = max(1, min(VIEW_W // w, VIEW_H // h))
        castles = [c for c in self.castles if c["province"] == p["name"]]
        while (max(w, h) * (zoom + 1) <= MAX_VIEW_PIXELS and
               self.crowded_castles(castles, zoom)):
            zoom += 1
        if self.crowded_castles(castles, zoom) and p["name"] not in self.crowded:
            self.crowded.append(p["name"])
        return zoom, left, top, right, bottom

    def label_boxes(self, c, zoom):
        """The boxes (left, top, right, bottom in pixels of the castle view at zoom) that a castle's
        name, mark and owner's name take."""
        x, y = self.position(c)
        px, py = x * zoom // UNIT, y * zoom // UNIT
        owner = next((h["name"] for h in self.houses if h["id"] == c["owner"]), "")
        name_w = NAME_FONT * len(c["name"]) + 2
        owner_w = OWNER_FONT * len(owner) + 2
        mark_left = -20 if c["port"] == "YES" else -10
        return [(px - name_w // 2 - 1, py - 25, px + name_w // 2, py - 8),
                (px + mark_left, py - 10, px + 10, py + 10),
                (px - owner_w // 2 - 1, py + 9, px + owner_w // 2, py + 24)]

    def crowded_castles(self, castles, zoom):
        """Whether two of the castles' boxes come closer than LABEL_GAP pixels at zoom."""
        boxes = [self.label_boxes(c, zoom) for c in castles]
        g = LABEL_GAP
        for i in range(len(boxes)):
            for j in range(i + 1, len(boxes)):
                for a in boxes[i]:
                    for b in boxes[j]:
                        if a[0] < b[2] + g and b[0] < a[2] + g and a[1] < b[3] + g and b[1] < a[3] + g:
                            return True
        return False

    def head_ids(self):
        return {h["head"]: h["id"] for h in self.houses}

    # --- sections ----------------------------------------------------------------------------

    def lines(self):
        out = []
        add = out.append
        blocks = read_fenced_blocks(os.path.join(self.src, "texts.md"))
        for needed in ("Title", "Opening", "Ending"):
            if needed not in blocks:
                fail("texts.md has no %s block" % needed)
        title = blocks["Title"][0]

        add("// %s" % title)
        add("// Generated by tools/scenario_gen/make_scenario.py from the tables in data/scenario/src/;")
        add("// correct the tables and run the script again rather than editing this file.")
        add("")
        add(line("ScenarioVer", 11))
        add(line("MapFile", MAP_FILE))
        add(line("Title", quoted(title, "texts.md Title")))
        add(line("StartYear", START_YEAR))
        add(line("StartMonth", START_MONTH))
        add(line("HeiUnit", HEI_UNIT))
        add(line("MainMapMinimumWidth", MAIN_MAP_MIN_WIDTH))
        # The program's own pieces: the standard song in peace, the battle piece in battle.
        add(line("BGM", BGM_NORMAL, BGM_BATTLE))
        add("")
        add("Opening {")
        for t in blocks["Opening"]:
            add(quoted(t, "texts.md Opening"))
        add("}")
        add("Ending {")
        for t in blocks["Ending"]:
            add(quoted(t, "texts.md Ending"))
        add("}")
        add("")
        self._teppou_settings(add)
        self._trading_partners(add)
        self._daimyou(add)
        self._shiro_type(add)
        self._shiro(add)
        self._connect(add)
        self._bushou(add)
        self._doumei(add)
        self._kuni_area(add)
        self._trading(add)
        self._teppou(add)
        self._weather(add)
        self._events(add)
        return out

    def _teppou_settings(self, add):
        settings = {r["keyword"]: r for r in read_tsv(os.path.join(self.src, "muskets_settings.tsv"))}
        add("// Muskets: price curve, share of foot soldiers with muskets, effects")
        for kw, n in (("TeppouCost", 3), ("TeppouSoubiRitsu", 3), ("TeppouKouka", 4)):
            if kw not in settings:
                fail("muskets_settings.tsv has no %s" % kw)
            add(line(kw, *[settings[kw]["v%d" % i] for i in range(1, n + 1)]))
        add("")

    def _trading_partners(self, add):
        partners = read_tsv(os.path.join(self.src, "trade.tsv"))
        kuni = read_tsv(os.path.join(self.src, "trade_kuni.tsv"))
        ports = read_tsv(os.path.join(self.src, "trade_ports.tsv"))
        castle_ids = {c["id"] for c in self.castles}
        self.trade_ports = defaultdict(list)
        for p in ports:
            if p["castle"] in castle_ids:
                self.trade_ports[p["partner"]].append(p["castle"])
            elif p["castle"] in self.gone_castles:
                self.left_out.append("trade port %s of %s" % (p["castle"], p["partner"]))
            else:
                fail("%s: no castle %s" % (p["_where"], p["castle"]))
        self.partners = []
        for p in partners:
            if not self.trade_ports[p["id"]]:
                self.left_out.append("trade partner %s %s: no port left on the map" % (p["id"], p["name"]))
            else:
                self.partners.append(p)
        partner_ids = {p["id"] for p in self.partners}
        self.trade_kuni = []
        for k in kuni:
            if k["partner"] not in partner_ids:
                continue
            if not self.prov.has(k["province"]):
                self.left_out.append("trade of %s from %s" % (k["partner"], k["province"]))
                continue
            self.trade_kuni.append(k)
        add("// Foreign trade partners (each with its voyage months and sales set per province below)")
        add("TradingPartner {")
        for p in self.partners:
            add(line(p["id"], p["name"]))
        add("}")
        add("")

    def _daimyou(self, add):
        add("// Houses: id : name : kind : navigation : mining : funds : musket tendency : warship tendency"
            " : selectable : behaviour : description")
        add("Daimyou {")
        for h in self.houses:
            add(line(h["id"], h["name"], h["kind"], h["navigation"], h["mining"], h["funds"], h["musket"],
                     h["warship"], h["selectable"], h["behaviour"], quoted(h["description"], h["_where"])))
        add("}")
        add("")

    def _shiro_type(self, add):
        add("// Castle type: castle picture, four seasons' field battles, naval battle, seven map icons,"
            " drawing offsets")
        add("ShiroType {")
        add(line(SHIRO_TYPE_ID, *(["NORMAL"] * 13), *SHIRO_TYPE_OFFSETS))
        add("}")
        add("")

    def _shiro(self, add):
        add("// Castles: id : name : province : max size : size : x : y : rice yield : economy : max mine : mine"
            " : port : trade ships : warships : - : support : type : house : description")
        add("// (x, y: the site's longitude and latitude through the map's projection; the economy is that of"
            " 1560, its maximum is set by the event E_KEIZAI_*)")
        add("Shiro {")
        current = None
        for c in self.castles:
            if c["province"] != current:
                current = c["province"]
                add("// %s" % current)
            x, y = self.position(c)
            add(line(c["id"], c["name"], self.prov.kid(c["province"]), c["maxsize"], c["size"], x, y,
                     c["kokudaka"], c["economy"], c["maxmine"], c["mine"], c["port"], c["tradeships"],
                     c["warships"], "-", c["support"], SHIRO_TYPE_ID, c["owner"],
                     quoted(c["description"], c["_where"])))
        add("}")
        add("")

    def _connect(self, add):
        add("// Roads: castle : castle : kind : drawn as a straight line")
        add("ShiroConnect {")
        for r in self.roads:
            add(line(r["a"], r["b"], r["kind"], "LINE"))
        add("// Sea lanes across the straits (tools/scenario_gen/sea_lanes.tsv)")
        for r in self.sea_lanes:
            add(line(r["a"], r["b"], "SEA", "LINE"))
        add("}")
        add("")

    def _bushou(self, add):
        heads = self.head_ids()
        add("// Generals: id : name : valour : politics : intellect : field : naval : loyalty : ambition"
            " : cavalry : foot : muskets : birth : death : death type : appears : house : rank : location"
            " : description")
        add("// (rank 0 is the head in 1560, 1 his heir; a birth year with ? is a guess)")
        add("Bushou {")
        house_name = {h["id"]: h["name"] for h in self.houses}
        current = None
        for g in self.generals:
            if g["house"] != current:
                current = g["house"]
                add("// %s" % (house_name.get(current, "masterless") if current != "FREE" else "masterless"))
            if g["id"] in heads:
                if heads[g["id"]] != g["house"]:
                    fail("%s: the head of %s serves %s" % (g["_where"], heads[g["id"]], g["house"]))
                rank = 0
            elif g["rank"] and g["house"] != "FREE":
                rank = int(g["rank"])
            else:
                rank = -1
            birth = g["birth"]
            if re.search(r"生(没)?年は[^。]*推定", g["comment"]):
                birth += "?"
            house = "D_FREE" if g["house"] == "FREE" else g["house"]
            location = g["location"] if g["appear"] == "0" else self.prov.kid(g["location"])
            add(line(g["id"], g["name"], g["valour"], g["politics"], g["intellect"], g["field"], g["naval"],
                     g["loyalty"], g["ambition"], g["cavalry"], g["foot"], g["muskets"], birth, g["death"],
                     g["deathtype"], g["appear"], house, rank, location, self._bushou_text(g)))
        add("}")
        add("")

    def _bushou_text(self, g):
        text = self.bushou_texts.get(g["id"])
        return quoted(text["description"], text["_where"]) if text else '""'

    def _doumei(self, add):
        # A house can take subordinates only while it is independent itself: the bonds of the
        # houses lowest in the hierarchy come first, then peace and enmity.
        master = {}
        for a in self.alliances:
            if a["type"] in ("JUUZOKU", "SHINJUU"):
                if a["b"] in master:
                    fail("%s: %s has two masters" % (a["_where"], a["b"]))
                master[a["b"]] = a["a"]

        def depth(h):
            d = 0
            while h in master and d < 100:
                h = master[h]
                d += 1
            if d >= 100:
                fail("relations: a circle of masters")
            return d

        bonds = [a for a in self.alliances if a["type"] in ("JUUZOKU", "SHINJUU")]
        bonds.sort(key=lambda a: -depth(a["a"]))
        rest = [a for a in self.alliances if a["type"] == "FUSEN"] + \
               [a for a in self.alliances if a["type"] not in ("JUUZOKU", "SHINJUU", "FUSEN")]
        add("// Relations in 1560: house : JUUZOKU (subordinate) / FUSEN (non-aggression) / SHUKUTEKI (arch-enemies)"
            " : house")
        add("Doumei {")
        for a in bonds + rest:
            add(line(a["a"], a["type"], a["b"]))
        add("}")
        add("")

    def _kuni_area(self, add):
        add("// Castle map rectangle of every province: province : zoom : left : top : right : bottom"
            " (relief samples, right and bottom inclusive)")
        add("KuniArea {")
        for p in self.prov.rows:
            zoom, left, top, right, bottom = self.kuni_area(p)
            add(line(p["id"], zoom, left, top, right - 1, bottom - 1))
        add("}")
        add("")

    def _trading(self, add):
        add("// Only the provinces listed reach a partner: months of a voyage and sales per ship")
        add("TradingMonth {")
        for p in self.partners:
            add(line(p["id"], -1, "K_ALL"))
        add("}")
        add("TradingKuni {")
        for k in self.trade_kuni:
            add(line(k["partner"], k["months"], k["sales"], self.prov.kid(k["province"])))
        add("}")
        add("TradingPort {")
        for p in self.partners:
            add(line(p["id"], *self.trade_ports[p["id"]]))
        add("}")
        add("")

    def _teppou(self, add):
        places = read_tsv(os.path.join(self.src, "muskets.tsv"))
        months = read_tsv(os.path.join(self.src, "muskets_months.tsv"))
        production = read_tsv(os.path.join(self.src, "muskets_production.tsv"))
        add("// Musket purchase places: id : name : from year : price, yearly fall, floor : number, yearly"
            " rise, cap")
        add("TeppouKounyuu {")
        for p in places:
            add(line(p["id"], p["name"], p["start"], p["price"], p["price_decrease"], p["price_floor"],
                     p["number"], p["number_increase"], p["number_cap"]))
        add("}")
        add("// Months for muskets to arrive from a place: place : months (-1 none) : province")
        add("TeppouKounyuuMonth {")
        for p in places:
            add(line(p["id"], -1, "K_ALL"))
        for m in months:
            if m["province"] == "*":
                kuni = "K_ALL"
            elif self.prov.has(m["province"]):
                kuni = self.prov.kid(m["province"])
            else:
                self.left_out.append("musket months of %s for %s" % (m["place"], m["province"]))
                continue
            add(line(m["place"], m["months"], kuni))
        add("}")
        add("// Musket making: province : from year : muskets a month, yearly rise, cap")
        add("TeppouSeisan {")
        for p in production:
            if not self.prov.has(p["province"]):
                self.left_out.append("musket making in %s" % p["province"])
                continue
            add(line(self.prov.kid(p["province"]), p["start"], p["rate"], p["rate_increase"], p["rate_cap"]))
        add("}")
        add("")

    def _weather(self, add):
        add("// Heavy snow by province and heavy rain by region: chance in percent for months 1 to 12")
        add("SnowKakuritsu {")
        for r in read_tsv(os.path.join(self.src, "snow.tsv")):
            if not self.prov.has(r["province"]):
                self.left_out.append("snow in %s" % r["province"])
                continue
            add(line(self.prov.kid(r["province"]), *[r["m%d" % m] for m in range(1, 13)]))
        add("}")
        add("RainKakuritsu {")
        for r in read_tsv(os.path.join(self.src, "rain.tsv")):
            add(line(self.prov.region_id(r["region"]), *[r["m%d" % m] for m in range(1, 13)]))
        add("}")
        add("")

    def _events(self, add):
        with open(os.path.join(self.src, "events.snr.txt"), encoding="utf-8") as f:
            text = f.read()
        gone = self.gone_castles | self._gone_general_ids | self._gone_house_ids
        for ident in re.findall(r"\b[DSB]_[A-Z0-9_]+\b", text):
            if ident in gone:
                fail("events.snr.txt names %s, which is left out" % ident)
        for l in text.split("\n"):
            add(l.rstrip("\r"))
        if not text.endswith("\n"):
            add("")
        self._economy_events(add)

    def _economy_events(self, add):
        # The castle line gives one economy, taken as both the 1560 value and its maximum. The
        # growth room of every town (its maximum above the 1560 value) is set at the first month.
        raised = [c for c in self.castles if int(c["maxeconomy"]) != int(c["economy"])]
        add("// The towns' room to grow: the maximum economy of every castle whose table value is above")
        add("// its economy in 1560, set once in the first month.")
        add("ConditionalEvent {")
        per_event = 50
        for i in range(0, len(raised), per_event):
            chunk = raised[i:i + per_event]
            add("E_KEIZAI_%d {" % (i // per_event + 1))
            add(line("Title", quoted("町の発展余地（%d）" % (i // per_event + 1), "economy event")))
            add(line("PeriodStart", START_YEAR, START_MONTH))
            add(line("PeriodEnd", START_YEAR, START_MONTH))
            add(line("Logic", "AND"))
            add(line("RepeatType", "ONCE"))
            add(line("SubRoutine", "NO"))
            add(line("LoopType", "NONE"))
            add("Happening {")
            for c in chunk:
                add(line("HAPPENING_SHIRO_MAX_KEIZAI", "NONE", "NONE", c["id"], "NONE", "NONE", "NONE",
                         quoted(c["maxeconomy"], c["_where"]), '""'))
            add("}")
            add("}")
        add("}")

    # --- painting the map --------------------------------------------------------------------

    def house_colours(self):
        colours = {}
        free = [h for h in self.houses if h["id"] not in HOUSE_COLOURS]
        for i, h in enumerate(free):
            hue = (i * 0.61803398875) % 1.0
            sat = 0.55 if i % 2 else 0.75
            val = 0.95 if i % 3 else 0.75
            r, g, b = colorsys.hsv_to_rgb(hue, sat, val)
            colours[h["id"]] = "%02X%02X%02X" % (round(r * 255), round(g * 255), round(b * 255))
        for h in self.houses:
            if h["id"] in HOUSE_COLOURS:
                colours[h["id"]] = HOUSE_COLOURS[h["id"]]
        return colours

    def province_holders(self):
        """The house holding most castles of each province (ties: the larger rice yield, then the
        house listed first)."""
        count = defaultdict(lambda: defaultdict(lambda: [0, 0]))
        for c in self.castles:
            v = count[c["province"]][c["owner"]]
            v[0] += 1
            v[1] += int(c["kokudaka"])
        order = {h["id"]: i for i, h in enumerate(self.houses)}
        holders = {}
        for province, houses in count.items():
            best = max(houses.items(), key=lambda kv: (kv[1][0], kv[1][1], -order[kv[0]]))
            holders[province] = best[0]
        return holders

    def paint_args(self):
        colours = self.house_colours()
        args = []
        holders = self.province_holders()
        for p in self.prov.rows:
            if p["name"] in holders:
                args += ["--paint", "%s:%s" % (p["id"], colours[holders[p["name"]]])]
        return args


def tiny_bmp():
    """A 4 x 4 picture (24-bit BMP) in the colours of the season: the test scenario's opening
    and ending picture."""
    w = h = 4
    row = b"".join(bytes((40 + 40 * x, 120, 200 - 40 * x)) for x in range(w))  # blue, green, red
    pixels = row * h  # 12 bytes a row: already a multiple of 4
    header_size = 14 + 40
    file_size = header_size + len(pixels)
    head = b"BM" + file_size.to_bytes(4, "little") + b"\0\0\0\0" + header_size.to_bytes(4, "little")
    info = (40).to_bytes(4, "little") + w.to_bytes(4, "little") + h.to_bytes(4, "little") + \
        (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + bytes(4) + len(pixels).to_bytes(4, "little") + \
        (2835).to_bytes(4, "little") * 2 + bytes(8)
    return head + info + pixels


def write_file(path, data):
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def fixture_bytes():
    with open(FIXTURE_SRC, encoding="utf-8") as f:
        text = f.read()
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def same_as_file(path, data):
    try:
        with open(path, "rb") as f:
            return f.read() == data
    except OSError:
        return False


def write_fixture():
    write_file(os.path.join(FIXTURE_DIR, "full.snr"), fixture_bytes())
    write_file(os.path.join(FIXTURE_DIR, "full.bmp"), tiny_bmp())
    note("%s and full.bmp written" % os.path.relpath(os.path.join(FIXTURE_DIR, "full.snr"), ROOT))


def build(src, provinces_path):
    s = Scenario(src, Provinces(provinces_path))
    s.check_positions()
    return s


def main(argv):
    ap = argparse.ArgumentParser(description="Builds data/scenario/japan1560.snr from data/scenario/src/.")
    ap.add_argument("--src", default=DEFAULT_SRC)
    ap.add_argument("--provinces", default=DEFAULT_PROVINCES)
    ap.add_argument("--out", default=DEFAULT_OUT)
    ap.add_argument("--stdout", action="store_true", help="write the scenario to standard output")
    ap.add_argument("--paint-args", action="store_true",
                    help="print the --paint arguments of rymdcli map-render, one house colour per province")
    ap.add_argument("--legend", action="store_true", help="print the house colours of --paint-args")
    ap.add_argument("--check", action="store_true",
                    help="compare the written files with what the sources make; exit 1 when they differ")
    ap.add_argument("--fixture", action="store_true",
                    help="write tests/fixtures/scenario/full.snr from full_fixture.snr.txt")
    args = ap.parse_args(argv)

    if args.fixture:
        write_fixture()
        return 0
    s = build(args.src, args.provinces)
    if args.paint_args:
        print(" ".join(s.paint_args()))
        return 0
    if args.legend:
        colours = s.house_colours()
        holders = set(s.province_holders().values())
        for h in s.houses:
            mark = "" if h["id"] in holders else "  (holds no province)"
            print("%s\t%s\t%s%s" % (colours[h["id"]], h["id"], h["name"], mark))
        return 0

    lines = s.lines()
    data = ("\r\n".join(lines) + "\r\n").encode("cp932")
    if args.check:
        stale = [p for p, d in ((args.out, data), (os.path.join(FIXTURE_DIR, "full.snr"), fixture_bytes()),
                                (os.path.join(FIXTURE_DIR, "full.bmp"), tiny_bmp())) if not same_as_file(p, d)]
        for p in stale:
            note("%s is not what the sources make" % os.path.relpath(p, ROOT))
        return 1 if stale else 0
    for l in s.left_out:
        note("left out: " + l)
    for l in s.outside_box:
        note("outside its province's box: " + l)
    for l in s.crowded:
        note("castles too close for the castle view of %s at any zoom that fits (tools/scenario_gen/map_fit.tsv)" % l)
    if args.stdout:
        sys.stdout.buffer.write(data)
    else:
        write_file(args.out, data)
        note("%s: %d houses, %d castles, %d roads, %d sea lanes, %d generals, %d relations, %d bytes" % (
            os.path.relpath(args.out, ROOT), len(s.houses), len(s.castles), len(s.roads), len(s.sea_lanes), len(s.generals),
            len(s.alliances), len(data)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
