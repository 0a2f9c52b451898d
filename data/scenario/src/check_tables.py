#!/usr/bin/env python3
"""Checks the scenario source tables of data/scenario/src.

Reads every houses_*.tsv, castles_*.tsv, roads_*.tsv, generals_*.tsv and
alliances_*.tsv found beside this script (or in the folder given as the first
argument), whatever part they belong to, and checks columns, value ranges,
identifiers (unique across all files), Shift-JIS (CP932) byte limits and the
references between the tables.  Prints every problem found and exits with 1
when there is any, 0 otherwise.  Python 3 standard library only.

Usage: check_tables.py [folder] [--summary]
  --summary  also prints the rice yield (koku) per province and per house.
"""

import glob
import os
import re
import sys
from collections import defaultdict

START_YEAR = 1560

COLUMNS = {
    "houses": ["id", "name", "kind", "head", "funds", "navigation", "mining", "musket",
               "warship", "behaviour", "selectable", "description"],
    "castles": ["id", "name", "province", "lat", "lon", "maxsize", "size", "kokudaka",
                "maxeconomy", "economy", "maxmine", "mine", "port", "tradeships",
                "warships", "support", "owner", "description"],
    "roads": ["a", "b", "kind"],
    "generals": ["id", "name", "valour", "politics", "intellect", "field", "naval",
                 "loyalty", "ambition", "cavalry", "foot", "muskets", "birth", "death",
                 "deathtype", "appear", "house", "rank", "location", "comment"],
    "alliances": ["a", "type", "b"],
}
# Columns that may be left empty.
OPTIONAL = {"generals": {"rank", "comment"}}

# The classical provinces (as the province map names them) and the few lands
# outside them that a scenario may use.
PROVINCES = [
    "薩摩", "大隅", "日向", "肥後", "豊後", "筑後", "肥前", "筑前", "豊前", "壱岐", "対馬",
    "長門", "周防", "安芸", "備後", "備中", "美作", "備前", "播磨",
    "石見", "出雲", "伯耆", "隠岐", "因幡", "但馬", "丹後", "丹波",
    "伊予", "土佐", "阿波", "讃岐", "淡路", "紀伊",
    "大和", "河内", "山城", "和泉", "摂津",
    "若狭", "越前", "加賀", "越中", "能登", "越後", "佐渡",
    "志摩", "伊勢", "伊賀", "尾張", "三河", "遠江", "駿河", "伊豆", "甲斐", "相模", "武蔵",
    "下総", "上総", "安房", "常陸",
    "近江", "美濃", "飛騨", "信濃", "上野", "下野", "陸奥", "出羽",
    "琉球", "蝦夷", "蝦夷地",
]
PROVINCE_SET = set(PROVINCES)

# Land masses: roads never cross the sea, and the castles of one land mass
# must form one connected road network.
KYUSHU = {"薩摩", "大隅", "日向", "肥後", "豊後", "筑後", "肥前", "筑前", "豊前"}
SHIKOKU = {"伊予", "土佐", "阿波", "讃岐"}
SMALL_ISLANDS = {"壱岐", "対馬", "隠岐", "佐渡", "淡路", "琉球", "蝦夷", "蝦夷地"}
# Castles standing on an island of their own inside a mainland province.
ISLAND_CASTLES = {
    "S_KATSUODAKE": "平戸島",
}


def land_of(castle_id, province):
    if castle_id in ISLAND_CASTLES:
        return ISLAND_CASTLES[castle_id]
    if province in KYUSHU:
        return "九州"
    if province in SHIKOKU:
        return "四国"
    if province in SMALL_ISLANDS:
        return province
    return "本州"


HOUSE_KINDS = {"NORMAL", "AINU", "RYUUKYUU"}
BEHAVIOURS = {"NORMAL", "STATIC", "NOATTACK"}
YES_NO = {"YES", "NO"}
ROAD_KINDS = {"BROAD", "NARROW", "MOUNTAIN"}
DEATH_TYPES = {"SENSHI", "SHOKEI", "BYOUSHI", "UNKNOWN"}
ALLIANCE_TYPES = {"FUSEN", "JUUZOKU", "SHINJUU", "SHUKUTEKI"}
MAX_LINKS = 10
NAME_BYTES = 20
ID_BYTES = 25
TEXT_BYTES = 255

PREFIX = {"houses": "D_", "castles": "S_", "generals": "B_"}
ID_RE = re.compile(r"^[A-Z][A-Z0-9_]*$")


class Checker:
    def __init__(self):
        self.problems = []

    def bad(self, where, text):
        self.problems.append("%s: %s" % (where, text))


def read_table(path, kind, chk):
    """Returns a list of (where, row dict) for one table file."""
    rows = []
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        chk.bad(path, "cannot read (%s)" % e)
        return rows
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as e:
        chk.bad(path, "not UTF-8 (%s)" % e)
        return rows
    if text.startswith("\ufeff"):
        chk.bad(path, "starts with a byte-order mark")
        text = text[1:]
    header = None
    columns = COLUMNS[kind]
    optional = OPTIONAL.get(kind, set())
    name = os.path.basename(path)
    for number, line in enumerate(text.split("\n"), 1):
        line = line.rstrip("\r")
        where = "%s:%d" % (name, number)
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.split("\t")
        if header is None:
            header = fields
            if header != columns:
                chk.bad(where, "columns are %s, expected %s" % (header, columns))
                return rows
            continue
        if len(fields) > len(columns):
            chk.bad(where, "%d fields, expected %d" % (len(fields), len(columns)))
            continue
        if len(fields) < len(columns):
            missing = columns[len(fields):]
            if not all(c in optional for c in missing):
                chk.bad(where, "%d fields, expected %d" % (len(fields), len(columns)))
                continue
            fields = fields + [""] * len(missing)
        row = {}
        for col, value in zip(columns, fields):
            if value != value.strip():
                chk.bad(where, "%s has spaces around %r" % (col, value))
                value = value.strip()
            if value == "" and col not in optional:
                chk.bad(where, "%s is empty" % col)
            row[col] = value
        rows.append((where, row))
    if header is None:
        chk.bad(name, "no column line")
    return rows


def as_int(chk, where, row, col, lo, hi):
    value = row.get(col, "")
    try:
        n = int(value)
    except ValueError:
        chk.bad(where, "%s %r is not an integer" % (col, value))
        return None
    if n < lo or n > hi:
        chk.bad(where, "%s %d outside %d..%d" % (col, n, lo, hi))
    return n


def as_float(chk, where, row, col, lo, hi):
    value = row.get(col, "")
    try:
        x = float(value)
    except ValueError:
        chk.bad(where, "%s %r is not a number" % (col, value))
        return None
    if x < lo or x > hi:
        chk.bad(where, "%s %s outside %s..%s" % (col, value, lo, hi))
    return x


def one_of(chk, where, row, col, allowed):
    if row.get(col) not in allowed:
        chk.bad(where, "%s %r is not one of %s" % (col, row.get(col), sorted(allowed)))


def cp932_text(chk, where, row, col, limit):
    value = row.get(col, "")
    try:
        size = len(value.encode("cp932"))
    except UnicodeEncodeError as e:
        chk.bad(where, "%s %r has a character outside CP932 (%s)" % (col, value, e.object[e.start:e.end]))
        return
    if size > limit:
        chk.bad(where, "%s %r is %d bytes in CP932 (at most %d)" % (col, value, size, limit))


def check(folder, summary):
    chk = Checker()
    tables = {kind: [] for kind in COLUMNS}
    files = 0
    for kind in COLUMNS:
        for path in sorted(glob.glob(os.path.join(folder, kind + "_*.tsv"))):
            files += 1
            tables[kind].extend(read_table(path, kind, chk))
    if files == 0:
        chk.bad(folder, "no table files found")

    # Identifiers: ASCII, prefixed, short, unique across every file.
    seen = {}
    for kind in ("houses", "castles", "generals"):
        for where, row in tables[kind]:
            ident = row["id"]
            if not ID_RE.match(ident) or not ident.startswith(PREFIX[kind]):
                chk.bad(where, "id %r must be upper-case ASCII starting with %s" % (ident, PREFIX[kind]))
            if len(ident.encode("utf-8")) > ID_BYTES:
                chk.bad(where, "id %r longer than %d bytes" % (ident, ID_BYTES))
            if ident in seen:
                chk.bad(where, "id %s already used at %s" % (ident, seen[ident]))
            else:
                seen[ident] = where
            cp932_text(chk, where, row, "name", NAME_BYTES)

    houses = {row["id"]: (where, row) for where, row in tables["houses"]}
    castles = {row["id"]: (where, row) for where, row in tables["castles"]}
    generals = {row["id"]: (where, row) for where, row in tables["generals"]}

    # Houses.
    for where, row in tables["houses"]:
        one_of(chk, where, row, "kind", HOUSE_KINDS)
        as_int(chk, where, row, "funds", 0, 10000)
        as_int(chk, where, row, "navigation", 0, 10000)
        as_int(chk, where, row, "mining", 0, 500)
        as_int(chk, where, row, "musket", 0, 100)
        as_int(chk, where, row, "warship", 0, 10)
        one_of(chk, where, row, "behaviour", BEHAVIOURS)
        one_of(chk, where, row, "selectable", YES_NO)
        cp932_text(chk, where, row, "description", TEXT_BYTES)

    # Castles.
    castles_of = defaultdict(list)
    for where, row in tables["castles"]:
        if row["province"] not in PROVINCE_SET:
            chk.bad(where, "unknown province %r" % row["province"])
        as_float(chk, where, row, "lat", 24.0, 46.0)
        as_float(chk, where, row, "lon", 122.0, 146.0)
        maxsize = as_int(chk, where, row, "maxsize", 1, 10)
        size = as_int(chk, where, row, "size", 0, 10)
        if maxsize is not None and size is not None and size > maxsize:
            chk.bad(where, "size %d above maxsize %d" % (size, maxsize))
        as_int(chk, where, row, "kokudaka", 0, 1000000)
        maxeco = as_int(chk, where, row, "maxeconomy", 50, 1000)
        eco = as_int(chk, where, row, "economy", 50, 1000)
        if maxeco is not None and eco is not None and eco > maxeco:
            chk.bad(where, "economy %d above maxeconomy %d" % (eco, maxeco))
        maxmine = as_int(chk, where, row, "maxmine", 0, 1000)
        mine = as_int(chk, where, row, "mine", 0, 1000)
        if maxmine is not None and mine is not None and mine > maxmine:
            chk.bad(where, "mine %d above maxmine %d" % (mine, maxmine))
        one_of(chk, where, row, "port", YES_NO)
        trade = as_int(chk, where, row, "tradeships", 0, 100)
        war = as_int(chk, where, row, "warships", 0, 200)
        if row["port"] == "NO" and ((trade or 0) > 0 or (war or 0) > 0):
            chk.bad(where, "ships in a castle without a port")
        as_int(chk, where, row, "support", 0, 100)
        if row["owner"] not in houses:
            chk.bad(where, "owner %r is not a house" % row["owner"])
        else:
            castles_of[row["owner"]].append(row["id"])
        cp932_text(chk, where, row, "description", TEXT_BYTES)

    # Roads.
    links = defaultdict(set)
    pairs = {}
    for where, row in tables["roads"]:
        one_of(chk, where, row, "kind", ROAD_KINDS)
        a, b = row["a"], row["b"]
        ok = True
        for end in (a, b):
            if end not in castles:
                chk.bad(where, "road end %r is not a castle" % end)
                ok = False
        if a == b:
            chk.bad(where, "road from %s to itself" % a)
            ok = False
        key = tuple(sorted((a, b)))
        if key in pairs:
            chk.bad(where, "road %s - %s already given at %s" % (a, b, pairs[key]))
            ok = False
        pairs[key] = where
        if not ok:
            continue
        land_a = land_of(a, castles[a][1]["province"])
        land_b = land_of(b, castles[b][1]["province"])
        if land_a != land_b:
            chk.bad(where, "road %s (%s) - %s (%s) crosses the sea" % (a, land_a, b, land_b))
            continue
        links[a].add(b)
        links[b].add(a)

    lands = defaultdict(list)
    for cid, (where, row) in castles.items():
        lands[land_of(cid, row["province"])].append(cid)
    for land, members in sorted(lands.items()):
        for cid in members:
            n = len(links[cid])
            if n > MAX_LINKS:
                chk.bad(castles[cid][0], "%s has %d roads (at most %d)" % (cid, n, MAX_LINKS))
            if n == 0 and len(members) > 1:
                chk.bad(castles[cid][0], "%s has no road" % cid)
        # One connected network per land mass (links never leave the land mass).
        parts = []
        left = set(members)
        while left:
            s = min(left)
            comp = {s}
            todo = [s]
            while todo:
                c = todo.pop()
                for d in links[c]:
                    if d in left and d not in comp:
                        comp.add(d)
                        todo.append(d)
            left -= comp
            parts.append(sorted(comp))
        if len(parts) > 1:
            parts.sort(key=len)
            shown = "; ".join(", ".join(p) for p in parts[:-1])
            chk.bad("roads", "%s is split into %d networks; cut off: %s" % (land, len(parts), shown))

    # Generals.
    ranks = defaultdict(dict)
    for where, row in tables["generals"]:
        for col in ("valour", "politics", "intellect", "field", "naval", "loyalty", "ambition"):
            as_int(chk, where, row, col, 0, 10)
        as_int(chk, where, row, "cavalry", 0, 2000)
        as_int(chk, where, row, "foot", 0, 5000)
        as_int(chk, where, row, "muskets", 0, 5000)
        birth = as_int(chk, where, row, "birth", 1400, 1650)
        death = as_int(chk, where, row, "death", 1400, 1700)
        one_of(chk, where, row, "deathtype", DEATH_TYPES)
        appear = as_int(chk, where, row, "appear", 0, 1650)
        cp932_text(chk, where, row, "comment", TEXT_BYTES)
        if birth is not None and death is not None and death < birth:
            chk.bad(where, "death %d before birth %d" % (death, birth))
        house = row["house"]
        if house != "FREE" and house not in houses:
            chk.bad(where, "house %r is not a house (nor FREE)" % house)
        if row["rank"]:
            try:
                r = int(row["rank"])
                if r < 1:
                    raise ValueError
                if r in ranks[house]:
                    chk.bad(where, "rank %d in %s already held by %s" % (r, house, ranks[house][r]))
                ranks[house][r] = row["id"]
            except ValueError:
                chk.bad(where, "rank %r is not a positive integer" % row["rank"])
            if house == "FREE":
                chk.bad(where, "a rank without a house")
            if appear is not None and appear != 0:
                chk.bad(where, "a rank for a general still to appear")
        loc = row["location"]
        if appear is None:
            continue
        if appear == 0:
            if death is not None and death < START_YEAR:
                chk.bad(where, "active in %d but died in %d" % (START_YEAR, death))
            if birth is not None and START_YEAR - birth < 12:
                chk.bad(where, "active in %d but born in %d" % (START_YEAR, birth))
            if loc not in castles:
                chk.bad(where, "location %r of an active general is not a castle" % loc)
            elif house != "FREE" and castles[loc][1]["owner"] != house:
                chk.bad(where, "stationed in %s, a castle of %s, not of his house %s"
                        % (loc, castles[loc][1]["owner"], house))
        else:
            if appear <= START_YEAR:
                chk.bad(where, "appear %d is not after the start year %d" % (appear, START_YEAR))
            if loc not in PROVINCE_SET:
                chk.bad(where, "location %r of a general still to appear is not a province" % loc)
            if death is not None and death < appear:
                chk.bad(where, "appears in %d after his death in %d" % (appear, death))
            if birth is not None and appear < birth:
                chk.bad(where, "appears in %d before his birth in %d" % (appear, birth))

    # Succession ranks run 1, 2, ... without gaps.
    for house, held in ranks.items():
        if house != "FREE" and sorted(held) != list(range(1, len(held) + 1)):
            chk.bad(house, "succession ranks %s do not run from 1 without gaps" % sorted(held))

    # House heads.
    for hid, (where, row) in houses.items():
        head = row["head"]
        if head not in generals:
            chk.bad(where, "head %r is not a general" % head)
            continue
        gw, g = generals[head]
        if g["house"] != hid:
            chk.bad(where, "head %s belongs to %s" % (head, g["house"]))
        if g["rank"]:
            chk.bad(gw, "the head of %s has a succession rank" % hid)
        if castles_of.get(hid):
            if g["appear"] != "0" or g["location"] not in castles_of[hid]:
                chk.bad(where, "head %s is not in a castle of %s" % (head, hid))

    # Alliances.
    seen_pairs = {}
    for where, row in tables["alliances"]:
        one_of(chk, where, row, "type", ALLIANCE_TYPES)
        a, b = row["a"], row["b"]
        for end in (a, b):
            if end not in houses:
                chk.bad(where, "%r is not a house" % end)
        if a == b:
            chk.bad(where, "%s allied with itself" % a)
        key = tuple(sorted((a, b)))
        if key in seen_pairs:
            chk.bad(where, "pair %s / %s already given at %s" % (a, b, seen_pairs[key]))
        seen_pairs[key] = where

    counts = {kind: len(rows) for kind, rows in tables.items()}
    print("tables: " + ", ".join("%s %d" % (k, counts[k]) for k in COLUMNS))
    no_castle = sorted(h for h in houses if not castles_of.get(h))
    if no_castle:
        print("note: houses without a castle: " + ", ".join(no_castle))

    if summary:
        koku = defaultdict(int)
        by_house = defaultdict(int)
        for where, row in tables["castles"]:
            try:
                k = int(row["kokudaka"])
            except ValueError:
                continue
            koku[row["province"]] += k
            by_house[row["owner"]] += k
        print("koku per province:")
        for p in PROVINCES:
            if p in koku:
                print("  %s %d" % (p, koku[p]))
        print("koku per house:")
        for h, k in sorted(by_house.items(), key=lambda x: -x[1]):
            print("  %s %d (%d castles)" % (h, k, len(castles_of.get(h, []))))

    for p in chk.problems:
        print(p)
    if chk.problems:
        print("%d problems" % len(chk.problems))
        return 1
    print("no problems")
    return 0


def main(argv):
    summary = "--summary" in argv
    args = [a for a in argv[1:] if a != "--summary"]
    folder = args[0] if args else os.path.dirname(os.path.abspath(__file__))
    return check(folder, summary)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
