#!/usr/bin/env python3
"""Checks the scenario source tables of data/scenario/src.

Reads every houses_*.tsv, castles_*.tsv, roads_*.tsv, generals_*.tsv and
alliances_*.tsv found beside this script (or in the folder given as the first
argument), whatever part they belong to, and checks columns, value ranges,
identifiers (unique across all files), Shift-JIS (CP932) byte limits and the
references between the tables.  When the other data of the scenario is there
(trade*.tsv, muskets*.tsv, snow.tsv, rain.tsv, texts.md, events.snr.txt), it is
checked too (check_extras).  Prints every problem found and exits with 1
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

# What the game itself allows once a game runs. The scenario file takes wider values than the
# game keeps (a castle line takes up to 100 trade ships), and the game's own rules (building,
# events, the computer's planning) then never bring a value back under its cap. Each rule:
# (table, what it says, the test that a row passes).
GAME_CAPS = [
    ("castles", "a port holds at most 10 trade ships", lambda r: int(r["tradeships"]) <= 10),
    ("castles", "a castle holds at most 200 warships", lambda r: int(r["warships"]) <= 200),
    ("castles", "a castle's size is 1 to 10", lambda r: 1 <= int(r["size"]) <= 10),
    ("castles", "a castle's maximum size is 1 to 10", lambda r: 1 <= int(r["maxsize"]) <= 10),
    ("castles", "populace support is 0 to 100", lambda r: 0 <= int(r["support"]) <= 100),
    ("castles", "the town economy fits the castle record (at most 32767)",
     lambda r: int(r["maxeconomy"]) <= 32767),
    ("castles", "the mine output fits the castle record (at most 32767)", lambda r: int(r["maxmine"]) <= 32767),
    ("generals", "a general leads at most 2000 cavalry", lambda r: int(r["cavalry"]) <= 2000),
    ("generals", "a general leads at most 5000 foot soldiers", lambda r: int(r["foot"]) <= 5000),
    ("generals", "a general's muskets never exceed his foot soldiers",
     lambda r: int(r["muskets"]) <= int(r["foot"])),
]


def game_cap_problems(kind, row):
    """The rules of GAME_CAPS that a row of the table kind breaks (a value that is not a number
    is left to the column checks)."""
    broken = []
    for table, rule, passes in GAME_CAPS:
        if table != kind:
            continue
        try:
            ok = passes(row)
        except (KeyError, ValueError):
            continue
        if not ok:
            broken.append(rule)
    return broken
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


# ---------------------------------------------------------------------------
# The other data of the scenario: trade, muskets, weather, texts and events.
# Files: trade.tsv, trade_kuni.tsv, trade_ports.tsv, muskets.tsv,
# muskets_months.tsv, muskets_production.tsv, muskets_settings.tsv, snow.tsv,
# rain.tsv, texts.md, events.snr.txt (README.md, "Trade, muskets, weather,
# texts and events").  check_extras() is called by check() after the checks
# of the main tables; it only adds problems.
# ---------------------------------------------------------------------------

EXTRA_COLUMNS = {
    "trade.tsv": ["id", "name", "note"],
    "trade_kuni.tsv": ["partner", "province", "months", "sales"],
    "trade_ports.tsv": ["partner", "castle", "note"],
    "muskets.tsv": ["id", "name", "start", "price", "price_decrease", "price_floor",
                    "number", "number_increase", "number_cap", "note"],
    "muskets_months.tsv": ["place", "province", "months"],
    "muskets_production.tsv": ["province", "start", "rate", "rate_increase", "rate_cap", "note"],
    "muskets_settings.tsv": ["keyword", "v1", "v2", "v3", "v4"],
    "snow.tsv": ["province"] + ["m%d" % m for m in range(1, 13)],
    "rain.tsv": ["region"] + ["m%d" % m for m in range(1, 13)],
    "bushou_texts.tsv": ["id", "description"],
}
EXTRA_OPTIONAL = {
    "trade.tsv": {"note"},
    "trade_ports.tsv": {"note"},
    "muskets.tsv": {"note"},
    "muskets_production.tsv": {"note"},
    "muskets_settings.tsv": {"v4"},
}
EXTRA_TEXTS = ["texts.md", "events.snr.txt"]

# Regions of the province map (the circuits, and 蝦夷).
REGIONS = {"畿内", "東海道", "東山道", "北陸道", "山陰道", "山陽道", "南海道", "西海道", "蝦夷"}

VOYAGE_COST = 1000          # money per ship of a voyage
MAX_PARTNERS = 100          # declared partners (101 records with the built-in one)
MAX_PURCHASE_PLACES = 10
EVENT_TEXT_BYTES = 200      # data texts of conditions and happenings
EVENT_TITLE_BYTES = 50
SECTION_LINE_BYTES = 10000  # a line of Opening, Ending or Message
TITLE_BYTES = 99            # scenario Title (100-byte token buffer)

PARTNER_ID_RE = re.compile(r"^T_[A-Z0-9_]+$")
PLACE_ID_RE = re.compile(r"^TK_[A-Z0-9_]+$")
EVENT_ID_RE = re.compile(r"^E_[A-Z0-9_]+$")
# A decimal as ParseFloat takes it: sign or digit or point first, digits and one point.
DECIMAL_RE = re.compile(r"^[+-]?[0-9]*\.?[0-9]*$")

# The condition and happening tables of the event rules: keyword -> argument mask.
# Condition mask bits: 0x01 house A, 0x02 house B, 0x04 castle A, 0x10 general A, 0x40 data A, 0x80 data B.
# Happening mask bits: 0x01 house 1, 0x02 house 2, 0x04 castle 1, 0x08 castle 2, 0x10 general 1,
# 0x20 general 2, 0x40 data 1, 0x80 data 2.
CONDITIONS = {
    "CONDITION_EQUAL": 0xC0, "CONDITION_NOT_EQUAL": 0xC0, "CONDITION_LARGE": 0xC0,
    "CONDITION_LARGE_EQUAL": 0xC0, "CONDITION_SMALL": 0xC0, "CONDITION_SMALL_EQUAL": 0xC0,
    "CONDITION_DAINYUU": 0xC0, "CONDITION_DOKURITSU": 0x01,
    "CONDITION_JUUZOKU_SHINJUU_UNSPECIFIC": 0x01, "CONDITION_JUUZOKU_UNSPECIFIC": 0x01,
    "CONDITION_SHINJUU_UNSPECIFIC": 0x01, "CONDITION_JUUZOKU_SHINJUU_SPECIFIC": 0x03,
    "CONDITION_JUUZOKU_SPECIFIC": 0x03, "CONDITION_SHINJUU_SPECIFIC": 0x03,
    "CONDITION_NOT_JUUZOKU_SHINJUU_SPECIFIC": 0x03, "CONDITION_NOT_JUUZOKU_SPECIFIC": 0x03,
    "CONDITION_NOT_SHINJUU_SPECIFIC": 0x03, "CONDITION_TEKITAI": 0x03,
    "CONDITION_NOT_TEKITAI": 0x03, "CONDITION_RINSETSU": 0x03, "CONDITION_NOT_RINSETSU": 0x03,
    "CONDITION_DAIMYOU_METSUBOU": 0x01, "CONDITION_DAIMYOU_EXIST": 0x01,
    "CONDITION_SHIRO_OWNER1": 0x05, "CONDITION_SHIRO_OWNER2": 0x05, "CONDITION_SHIRO_OWNER3": 0x05,
    "CONDITION_SHIRO_NOT_OWNER1": 0x05, "CONDITION_SHIRO_NOT_OWNER2": 0x05,
    "CONDITION_SHIRO_NOT_OWNER3": 0x05, "CONDITION_BUSHOU_EXIST": 0x10,
    "CONDITION_BUSHOU_NOT_APPEAR": 0x10, "CONDITION_BUSHOU_DEAD": 0x10,
    "CONTITION_BUSHOU_SHOZOKU": 0x11, "CONTITION_BUSHOU_TOUSHU_UNSPECIFIC": 0x10,
    "CONTITION_BUSHOU_TOUSHU_SPECIFIC": 0x11, "CONTITION_BUSHOU_AT_SHIRO": 0x14,
    "CONDITION_NOT_PLAYER_DAIMYOU": 0x01, "CONDITION_PLAYER_DAIMYOU": 0x01,
    "CONDITION_NOT_PLAYER_BUSHOU": 0x10, "CONDITION_PLAYER_BUSHOU": 0x10,
    "CONDITION_SHIRO_HOUI": 0x04, "CONDITION_SHIRO_NOT_HOUI": 0x04,
    "CONTITION_BUSHOU_NOT_SHOZOKU": 0x11, "CONTITION_BUSHOU_NOT_TOUSHU_UNSPECIFIC": 0x10,
    "CONTITION_BUSHOU_NOT_TOUSHU_SPECIFIC": 0x11, "CONTITION_BUSHOU_NOT_AT_SHIRO": 0x14,
    "CONDITION_BUSHOU_NOT_EXIST": 0x10, "CONDITION_QUESTION_YES": 0x80,
    "CONDITION_QUESTION_NO": 0x80,
}
HAPPENINGS = {
    "HAPPENING_DAINYUU": 0xC0, "HAPPENING_ADD": 0xC0, "HAPPENING_BUSHOU_KAIMEI": 0x50,
    "HAPPENING_SHIRO_KAIMEI": 0x44, "HAPPENING_DAIMYOU_KAIMEI": 0x41, "HAPPENING_DOKURITSU": 0x01,
    "HAPPENING_SANKA_DOKURITSU": 0x01, "HAPPENING_BUSHOU_DEAD": 0x10,
    "HAPPENING_BUSHOU_APPEAR": 0x10, "HAPPENING_SHUKUTEKI": 0x03,
    "HAPPENING_KYOUSEI_SHUKUTEKI": 0x03, "HAPPENING_NOT_SHUKUTEKI": 0x03,
    "HAPPENING_SHUKUTEKI_ALL": 0x01, "HAPPENING_NOT_SHUKUTEKI_ALL": 0x01,
    "HAPPENING_FUSEN_DOUMEI": 0x03, "HAPPENING_JUUZOKU": 0x03, "HAPPENING_SHINJUU": 0x03,
    "HAPPENING_HEIDON": 0x03, "HAPPENING_HEIDON2": 0x03, "HAPPENING_BUSHOU_ASHIGARU_PLUS": 0x50,
    "HAPPENING_BUSHOU_KIBA_PLUS": 0x50, "HAPPENING_BUSHOU_TEPPOU_PLUS": 0x50,
    "HAPPENING_DAIMYOU_ASHIGARU_PLUS": 0x41, "HAPPENING_DAIMYOU_KIBA_PLUS": 0x41,
    "HAPPENING_DAIMYOU_TEPPOU_PLUS": 0x41, "HAPPENING_BUSHOU_PARAM_COPY": 0x30,
    "HAPPENING_SHIRO_MAX_LEVEL": 0x44, "HAPPENING_SHIRO_MAX_KOKUDAKA": 0x44,
    "HAPPENING_SHIRO_MAX_KEIZAI": 0x44, "HAPPENING_SHIRO_MAX_KOUZAN": 0x44,
    "HAPPENING_SHIRO_LEVEL_PLUS": 0x44, "HAPPENING_SHIRO_KOKUDAKA_PLUS": 0x44,
    "HAPPENING_SHIRO_KEIZAI_PLUS": 0x44, "HAPPENING_SHIRO_KOUZAN_PLUS": 0x44,
    "HAPPENING_SHIRO_MINSHUU_PLUS": 0x44, "HAPPENING_SHIRO_SHUBIHEI_PLUS": 0x44,
    "HAPPENING_SHIRO_HYOUROU_PLUS": 0x44, "HAPPENING_SHIRO_KOUEKISEN_PLUS": 0x44,
    "HAPPENING_DAIMYOU_SHIRO_LEVEL_PLUS": 0x41, "HAPPENING_DAIMYOU_KOKUDAKA_PLUS": 0x41,
    "HAPPENING_DAIMYOU_KEIZAI_PLUS": 0x41, "HAPPENING_DAIMYOU_KOUZAN_PLUS": 0x41,
    "HAPPENING_DAIMYOU_MINSHUU_PLUS": 0x41, "HAPPENING_DAIMYOU_SHUBIHEI_PLUS": 0x41,
    "HAPPENING_DAIMYOU_HYOUROU_PLUS": 0x41, "HAPPENING_DAIMYOU_KOUEKISEN_PLUS": 0x41,
    "HAPPENING_DAIMYO_KOUDOU_TYPE_NORMAL": 0x01, "HAPPENING_DAIMYO_KOUDOU_TYPE_STATIC": 0x01,
    "HAPPENING_DAIMYO_KOUDOU_TYPE_NOATTACK": 0x01, "HAPPENING_BUSHOU_SHOZOKU_CHANGE": 0x11,
    "HAPPENING_SHIRO_SHOZOKU_CHANGE": 0x05, "HAPPENING_SEASON_EVENT": 0x40,
    "HAPPENING_SHIRO_TYPE_CHANGE": 0x44, "HAPPENING_TETTAI1": 0x04, "HAPPENING_TETTAI2": 0x01,
    "HAPPENING_TETTAI3": 0x01, "HAPPENING_BUSHOU_SOUZOKU_DAIMYO": 0x11,
    "HAPPENING_BUSHOU_INIT_SHIRO": 0x14, "HAPPENING_BUSHOU_KEISHOU": 0x50,
    "HAPPENING_TOUSHU_CHANGE": 0x10, "HAPPENING_DAIMYOU_SHIKIN": 0x41,
    "HAPPENING_BUSHOU_MOVE": 0x14, "HAPPENING_GAME_END": 0x00, "HAPPENING_GAME_END2": 0x01,
    "HAPPENING_SUBROUTINE_CALL": 0x40, "HAPPENING_SAVE_READ_ONLY_DATA": 0x00,
    "HAPPENING_QUESTION_MULTI": 0xC0, "HAPPENING_INPUT_NUMBER": 0xC0,
    "HAPPENING_CHANGE_NORMAL_BGM": 0x40, "HAPPENING_CHANGE_BATTLE_BGM": 0x40,
    "HAPPENING_CHANGE_VIEW_AREA": 0x40, "HAPPENING_SHIRO_INFO_ENABLE": 0x44,
    "HAPPENING_CHANGE_TITLE": 0x40, "HAPPENING_HIDE_ROOT": 0x4C,
    "HAPPENING_DAIMYO_NONAGGRESSION": 0x41,
}
# Other spellings the reader accepts.
HAPPENING_ALIASES = {"HAPPEN_DAINYUU": "HAPPENING_DAINYUU", "HAPPEN_ADD": "HAPPENING_ADD",
                     "HAPPENING_HEIGDON": "HAPPENING_HEIDON"}
# Happenings whose data 1 becomes a name of at most 20 bytes.
RENAMES = {"HAPPENING_BUSHOU_KAIMEI", "HAPPENING_SHIRO_KAIMEI", "HAPPENING_DAIMYOU_KAIMEI"}
# Operand fields of the two line kinds: (mask bit, kind of operand) in line order after the keyword.
COND_FIELDS = [(0x01, "house"), (0x02, "house"), (0x04, "castle"), (0x10, "general"),
               (0x40, "text"), (0x80, "text")]
HAPP_FIELDS = [(0x01, "house"), (0x02, "house"), (0x04, "castle"), (0x08, "castle"),
               (0x10, "general"), (0x20, "general"), (0x40, "text"), (0x80, "text")]


def read_tsv(path, columns, optional, chk):
    """Reads one of the other tables; returns a list of (where, row dict) (as read_table does)."""
    rows = []
    name = os.path.basename(path)
    try:
        with open(path, "rb") as f:
            text = f.read().decode("utf-8")
    except (OSError, UnicodeDecodeError) as e:
        chk.bad(name, "cannot read as UTF-8 (%s)" % e)
        return rows
    if text.startswith("\ufeff"):
        chk.bad(name, "starts with a byte-order mark")
        text = text[1:]
    header = None
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
        if len(fields) > len(columns) or (
                len(fields) < len(columns) and not all(c in optional for c in columns[len(fields):])):
            chk.bad(where, "%d fields, expected %d" % (len(fields), len(columns)))
            continue
        fields = fields + [""] * (len(columns) - len(fields))
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


def as_decimal(chk, where, row, col, lo, hi):
    """A decimal as the scenario reader's ParseFloat accepts it (no exponent), within lo..hi."""
    value = row.get(col, "")
    if not value or not DECIMAL_RE.match(value) or not any(ch.isdigit() for ch in value):
        chk.bad(where, "%s %r is not a decimal the scenario reader accepts" % (col, value))
        return None
    x = float(value)
    if x < lo or x > hi:
        chk.bad(where, "%s %s outside %s..%s" % (col, value, lo, hi))
    return x


def new_extra_id(chk, where, ident, pattern, prefix, seen):
    if not pattern.match(ident):
        chk.bad(where, "id %r must be upper-case ASCII starting with %s" % (ident, prefix))
    if len(ident.encode("utf-8")) > ID_BYTES:
        chk.bad(where, "id %r longer than %d bytes" % (ident, ID_BYTES))
    if ident in seen:
        chk.bad(where, "id %s already used at %s" % (ident, seen[ident]))
    else:
        seen[ident] = where


def check_trade(folder, chk, seen, castles):
    partners = {}
    for where, row in read_tsv(os.path.join(folder, "trade.tsv"), EXTRA_COLUMNS["trade.tsv"],
                               EXTRA_OPTIONAL["trade.tsv"], chk):
        new_extra_id(chk, where, row["id"], PARTNER_ID_RE, "T_", seen)
        cp932_text(chk, where, row, "name", NAME_BYTES)
        cp932_text(chk, where, row, "note", TEXT_BYTES)
        partners[row["id"]] = where
    if len(partners) > MAX_PARTNERS:
        chk.bad("trade.tsv", "%d partners (at most %d)" % (len(partners), MAX_PARTNERS))

    kuni = {}
    for where, row in read_tsv(os.path.join(folder, "trade_kuni.tsv"), EXTRA_COLUMNS["trade_kuni.tsv"],
                               set(), chk):
        if row["partner"] not in partners:
            chk.bad(where, "partner %r is not in trade.tsv" % row["partner"])
        if row["province"] not in PROVINCE_SET:
            chk.bad(where, "unknown province %r" % row["province"])
        as_int(chk, where, row, "months", 1, 24)
        as_int(chk, where, row, "sales", VOYAGE_COST + 1, 100000)
        key = (row["partner"], row["province"])
        if key in kuni:
            chk.bad(where, "%s / %s already given at %s" % (key + (kuni[key],)))
        kuni[key] = where

    ports = {}
    for where, row in read_tsv(os.path.join(folder, "trade_ports.tsv"), EXTRA_COLUMNS["trade_ports.tsv"],
                               EXTRA_OPTIONAL["trade_ports.tsv"], chk):
        partner, cid = row["partner"], row["castle"]
        cp932_text(chk, where, row, "note", TEXT_BYTES)
        if partner not in partners:
            chk.bad(where, "partner %r is not in trade.tsv" % partner)
        if cid not in castles:
            chk.bad(where, "castle %r is not a castle" % cid)
            continue
        castle = castles[cid][1]
        if castle["port"] != "YES":
            chk.bad(where, "castle %s has no port" % cid)
        if (partner, castle["province"]) not in kuni:
            chk.bad(where, "no trade_kuni.tsv line for %s from %s (province of %s)"
                    % (partner, castle["province"], cid))
        if (partner, cid) in ports:
            chk.bad(where, "%s / %s already given at %s" % (partner, cid, ports[(partner, cid)]))
        ports[(partner, cid)] = castle["province"]
    port_provinces = set((partner, province) for (partner, _), province in ports.items())
    for (partner, province), where in kuni.items():
        if (partner, province) not in port_provinces:
            chk.bad(where, "no port of %s in %s (trade_ports.tsv)" % (partner, province))
    for partner, where in partners.items():
        if not any(p == partner for p, _ in ports):
            chk.bad(where, "partner %s has no port" % partner)


def check_muskets(folder, chk, seen):
    places = {}
    for where, row in read_tsv(os.path.join(folder, "muskets.tsv"), EXTRA_COLUMNS["muskets.tsv"],
                               EXTRA_OPTIONAL["muskets.tsv"], chk):
        new_extra_id(chk, where, row["id"], PLACE_ID_RE, "TK_", seen)
        cp932_text(chk, where, row, "name", NAME_BYTES)
        cp932_text(chk, where, row, "note", TEXT_BYTES)
        as_int(chk, where, row, "start", 1500, 1700)
        price = as_decimal(chk, where, row, "price", 1, 10000)
        as_decimal(chk, where, row, "price_decrease", 0, 1000)
        floor = as_decimal(chk, where, row, "price_floor", 0, 10000)
        number = as_decimal(chk, where, row, "number", 1, 100000)
        as_decimal(chk, where, row, "number_increase", 0, 10000)
        cap = as_decimal(chk, where, row, "number_cap", 1, 100000)
        if price is not None and floor is not None and floor > price:
            chk.bad(where, "price floor %s above the price %s" % (floor, price))
        if number is not None and cap is not None and number > cap:
            chk.bad(where, "number %s above its cap %s" % (number, cap))
        places[row["id"]] = where
    if len(places) > MAX_PURCHASE_PLACES:
        chk.bad("muskets.tsv", "%d purchase places (at most %d)" % (len(places), MAX_PURCHASE_PLACES))

    given = {}
    reachable = defaultdict(int)
    for where, row in read_tsv(os.path.join(folder, "muskets_months.tsv"),
                               EXTRA_COLUMNS["muskets_months.tsv"], set(), chk):
        place, province = row["place"], row["province"]
        if place not in places:
            chk.bad(where, "place %r is not in muskets.tsv" % place)
        if province != "*" and province not in PROVINCE_SET:
            chk.bad(where, "unknown province %r" % province)
        months = as_int(chk, where, row, "months", -1, 12)
        if months == 0:
            chk.bad(where, "months 0: use 1..12, or -1 for none")
        if province == "*" and any(p == place for p, _ in given):
            chk.bad(where, "the * line of %s must come before its other lines" % place)
        if (place, province) in given:
            chk.bad(where, "%s / %s already given at %s" % (place, province, given[(place, province)]))
        given[(place, province)] = where
        if months is not None and months > 0:
            reachable[place] += 1
    for place, where in places.items():
        if not reachable[place]:
            chk.bad(where, "%s cannot be reached from any province (muskets_months.tsv)" % place)

    provinces = {}
    for where, row in read_tsv(os.path.join(folder, "muskets_production.tsv"),
                               EXTRA_COLUMNS["muskets_production.tsv"],
                               EXTRA_OPTIONAL["muskets_production.tsv"], chk):
        if row["province"] not in PROVINCE_SET:
            chk.bad(where, "unknown province %r" % row["province"])
        if row["province"] in provinces:
            chk.bad(where, "%s already given at %s" % (row["province"], provinces[row["province"]]))
        provinces[row["province"]] = where
        cp932_text(chk, where, row, "note", TEXT_BYTES)
        as_int(chk, where, row, "start", 1500, 1700)
        rate = as_decimal(chk, where, row, "rate", 0.001, 10000)
        as_decimal(chk, where, row, "rate_increase", 0, 1000)
        cap = as_decimal(chk, where, row, "rate_cap", 0.001, 10000)
        if rate is not None and cap is not None and rate > cap:
            chk.bad(where, "rate %s above its cap %s" % (rate, cap))

    settings = {}
    for where, row in read_tsv(os.path.join(folder, "muskets_settings.tsv"),
                               EXTRA_COLUMNS["muskets_settings.tsv"],
                               EXTRA_OPTIONAL["muskets_settings.tsv"], chk):
        key = row["keyword"]
        if key in settings:
            chk.bad(where, "%s already given at %s" % (key, settings[key]))
        settings[key] = where
        if key == "TeppouKouka":
            for col in ("v1", "v2", "v3", "v4"):
                as_int(chk, where, row, col, 0, 100)
        elif key in ("TeppouCost", "TeppouSoubiRitsu"):
            start = as_decimal(chk, where, row, "v1", 0, 10000)
            as_decimal(chk, where, row, "v2", 0, 1000)
            limit = as_decimal(chk, where, row, "v3", 0, 10000)
            if row["v4"]:
                chk.bad(where, "%s takes three values" % key)
            if start is not None and limit is not None:
                if key == "TeppouCost" and limit > start:
                    chk.bad(where, "cost floor %s above the start %s" % (limit, start))
                if key == "TeppouSoubiRitsu" and (start > limit or limit > 100):
                    chk.bad(where, "ratio start %s above its cap %s, or cap above 100" % (start, limit))
        else:
            chk.bad(where, "unknown keyword %r" % key)
    for key in ("TeppouCost", "TeppouSoubiRitsu", "TeppouKouka"):
        if key not in settings:
            chk.bad("muskets_settings.tsv", "%s is missing" % key)


def check_weather(folder, chk):
    for name, col, allowed in (("snow.tsv", "province", PROVINCE_SET), ("rain.tsv", "region", REGIONS)):
        places = {}
        for where, row in read_tsv(os.path.join(folder, name), EXTRA_COLUMNS[name], set(), chk):
            place = row[col]
            if place not in allowed:
                chk.bad(where, "unknown %s %r" % (col, place))
            if place in places:
                chk.bad(where, "%s already given at %s" % (place, places[place]))
            places[place] = where
            for m in range(1, 13):
                as_int(chk, where, row, "m%d" % m, 0, 100)


def cp932_bytes(chk, where, what, text, limit):
    """Checks that text is all CP932 and at most limit bytes; returns its size or None."""
    try:
        size = len(text.encode("cp932"))
    except UnicodeEncodeError as e:
        chk.bad(where, "%s has a character outside CP932 (%s)" % (what, e.object[e.start:e.end]))
        return None
    if size > limit:
        chk.bad(where, "%s is %d bytes in CP932 (at most %d)" % (what, size, limit))
    return size


def read_text_file(path, chk):
    name = os.path.basename(path)
    try:
        with open(path, "rb") as f:
            text = f.read().decode("utf-8")
    except (OSError, UnicodeDecodeError) as e:
        chk.bad(name, "cannot read as UTF-8 (%s)" % e)
        return None
    if text.startswith("\ufeff"):
        chk.bad(name, "starts with a byte-order mark")
        text = text[1:]
    return text


def check_texts(folder, chk):
    """texts.md: the fenced block under each of the headings Title, Opening and Ending."""
    text = read_text_file(os.path.join(folder, "texts.md"), chk)
    if text is None:
        return
    blocks = {}
    heading = None
    inside = None
    for number, line in enumerate(text.split("\n"), 1):
        line = line.rstrip("\r")
        if inside is not None:
            if line.startswith("```"):
                blocks[heading] = inside
                inside = None
                heading = None
            else:
                inside.append(("texts.md:%d" % number, line))
            continue
        if line.startswith("## "):
            heading = line[3:].strip()
        elif line.startswith("```") and heading in ("Title", "Opening", "Ending") and heading not in blocks:
            inside = []
    if inside is not None:
        chk.bad("texts.md", "a fenced block is not closed")
    for key in ("Title", "Opening", "Ending"):
        if key not in blocks:
            chk.bad("texts.md", "no fenced block under the heading '## %s'" % key)
    title = [(w, l) for w, l in blocks.get("Title", []) if l.strip()]
    if len(title) != 1:
        chk.bad("texts.md", "the title must be one line")
    for where, line in title:
        cp932_bytes(chk, where, "the title", line, TITLE_BYTES)
        if line != line.strip() or " " in line or any(c in line for c in '",:/'):
            chk.bad(where, "the title must not hold ASCII blanks, quotes, commas, colons or slashes")
    for key in ("Opening", "Ending"):
        lines = blocks.get(key, [])
        if not any(l.strip() for _, l in lines):
            chk.bad("texts.md", "the %s text is empty" % key)
        for where, line in lines:
            cp932_bytes(chk, where, "a line of the %s" % key, line, SECTION_LINE_BYTES)
            if '"' in line:
                chk.bad(where, "a double quote in the %s" % key)
            if line.rstrip().endswith("&+"):
                chk.bad(where, "a line must not end in &+ (the reader's continuation mark)")
    for where, line in blocks.get("Ending", []):
        for mark in re.findall(r"%[^%\s]*%", line):
            if mark not in ("%Year%", "%year%", "%Month%", "%month%", "%Player%", "%Daimyou%",
                            "%daimyou%", "%Toushu%", "%toushu%"):
                chk.bad(where, "unknown placeholder %s in the ending" % mark)


def scenario_tokens(line, keep):
    """Splits one line as the scenario reader's tokenizer does, for one line only.

    keep: the keep-separators-in-quotes mode.  Returns the tokens, quotes removed."""
    tokens = []
    i, n = 0, len(line)
    while True:
        while i < n and line[i] in " \t\r":
            i += 1
        if i >= n:
            break
        if line[i] == "/":
            break
        token = []
        quoting = False
        sep = False
        while i < n:
            c = line[i]
            if c in ":," and (not keep or not quoting):
                sep = True
                i += 1
                break
            if not quoting and c in " \t\r":
                break
            if c == '"':
                quoting = not quoting
            else:
                token.append(c)
            i += 1
        tokens.append("".join(token))
        if sep:
            continue
        # After a blank: a separator right after the blanks belongs to this token.
        while i < n and line[i] in " \t\r":
            i += 1
        if i < n and line[i] in ":,":
            i += 1
    return tokens


def check_events(folder, chk, seen, houses, castles, generals):
    """events.snr.txt: the ConditionalEvent section."""
    text = read_text_file(os.path.join(folder, "events.snr.txt"), chk)
    if text is None:
        return
    events = {}          # id -> dict(where, subroutine, calls, title)
    assigned = set()     # script variables that some line assigns
    compared = []        # (where, variable) read by a condition
    state = "outside"
    ev = None
    block = None
    sections = 0
    for number, raw in enumerate(text.split("\n"), 1):
        where = "events.snr.txt:%d" % number
        line = raw.rstrip("\r")
        if line.rstrip().endswith("&+"):
            chk.bad(where, "a line must not end in &+ (the reader's continuation mark)")
        keep = state in ("Condition", "Happening", "Message") or (state == "event" and line.split(":")[0].strip() == "Title")
        tokens = scenario_tokens(line, keep)
        if not tokens:
            continue
        if state == "outside":
            if tokens == ["ConditionalEvent", "{"]:
                state = "section"
                sections += 1
            else:
                chk.bad(where, "expected 'ConditionalEvent {' , found %r" % line)
            continue
        if state == "section":
            if tokens == ["}"]:
                state = "outside"
            elif len(tokens) == 2 and tokens[1] == "{":
                ident = tokens[0]
                new_extra_id(chk, where, ident, EVENT_ID_RE, "E_", seen)
                ev = {"where": where, "id": ident, "subroutine": False, "calls": [], "title": "",
                      "start": None, "end": None, "conditions": 0, "happenings": 0}
                if ident in events:
                    chk.bad(where, "event %s defined twice" % ident)
                events[ident] = ev
                state = "event"
            else:
                chk.bad(where, "expected an event id and '{', found %r" % line)
            continue
        if state == "event":
            key = tokens[0]
            values = tokens[1:]
            if key == "}" and not values:
                if not ev["title"]:
                    chk.bad(ev["where"], "event %s has no title" % ev["id"])
                if ev["start"] and ev["end"] and ev["start"] > ev["end"]:
                    chk.bad(ev["where"], "event %s ends before it starts" % ev["id"])
                state = "section"
            elif key in ("Condition", "Happening", "Message") and values == ["{"]:
                state = key
            elif key == "Title" and len(values) == 1:
                ev["title"] = values[0]
                cp932_bytes(chk, where, "the title", values[0], EVENT_TITLE_BYTES)
                if any(c in values[0] for c in ":,"):
                    chk.bad(where, "a colon or comma in a title cuts it")
            elif key in ("PeriodStart", "PeriodEnd"):
                if values == ["NONE"]:
                    pass
                elif len(values) == 2 and all(re.match(r"^[+-]?[0-9]+$", v) for v in values):
                    year, month = int(values[0]), int(values[1])
                    if not 1 <= month <= 12 or not 1400 <= year <= 1700:
                        chk.bad(where, "%s %d/%d is not a date of the game" % (key, year, month))
                    ev["start" if key == "PeriodStart" else "end"] = (year, month)
                else:
                    chk.bad(where, "%s takes NONE or a year and a month" % key)
            elif key == "Logic" and values in (["AND"], ["OR"]):
                pass
            elif key == "RepeatType" and values in (["ONCE"], ["REPEATABLE"]):
                pass
            elif key == "SubRoutine" and values in (["YES"], ["NO"]):
                ev["subroutine"] = values == ["YES"]
            elif key == "LoopType" and values in (["NONE"], ["DAIMYOU"], ["SHIRO"], ["BUSHOU"]):
                pass
            elif key == "LoopVariable" and len(values) == 1:
                assigned.add(values[0])
            else:
                chk.bad(where, "unknown event line %r" % line)
            continue
        # Inside a block of an event.
        if tokens == ["}"]:
            state = "event"
            continue
        if state == "Message":
            if len(tokens) != 1:
                chk.bad(where, "a message line must be one token (quote it)")
            for t in tokens:
                cp932_bytes(chk, where, "a message line", t, SECTION_LINE_BYTES)
            continue
        table = CONDITIONS if state == "Condition" else HAPPENINGS
        fields = COND_FIELDS if state == "Condition" else HAPP_FIELDS
        keyword = HAPPENING_ALIASES.get(tokens[0], tokens[0]) if state == "Happening" else tokens[0]
        if keyword not in table:
            chk.bad(where, "unknown %s keyword %r" % (state.lower(), tokens[0]))
            continue
        if len(tokens) != 1 + len(fields):
            chk.bad(where, "%s line has %d fields, expected %d" % (keyword, len(tokens), 1 + len(fields)))
            continue
        count_key = "conditions" if state == "Condition" else "happenings"
        ev[count_key] += 1
        if ev[count_key] > 50:
            chk.bad(where, "more than 50 %s in event %s" % (count_key, ev["id"]))
        mask = table[keyword]
        for (bit, kind), value in zip(fields, tokens[1:]):
            used = bool(mask & bit)
            if kind == "text":
                cp932_bytes(chk, where, "a text of %s" % keyword, value, EVENT_TEXT_BYTES)
                if used and value == "" and keyword not in ("HAPPENING_CHANGE_VIEW_AREA",):
                    chk.bad(where, "%s needs its data %s" % (keyword, "A/1" if bit == 0x40 else "B/2"))
                if not used and value != "":
                    chk.bad(where, "%s does not use data %s (%r)" % (keyword, "A/1" if bit == 0x40 else "B/2", value))
                continue
            if value == "NONE":
                if used:
                    chk.bad(where, "%s needs its %s operand (mask 0x%02X)" % (keyword, kind, mask))
                continue
            if not used:
                chk.bad(where, "%s does not use a %s operand, found %s" % (keyword, kind, value))
            if value == "VARIABLE":
                continue
            known = {"house": houses, "castle": castles, "general": generals}[kind]
            if value not in known:
                chk.bad(where, "%s %r is not in the tables" % (kind, value))
        data1, data2 = tokens[-2], tokens[-1]
        if keyword in ("HAPPENING_DAINYUU", "HAPPENING_ADD", "HAPPENING_QUESTION_MULTI",
                       "HAPPENING_INPUT_NUMBER", "CONDITION_DAINYUU"):
            if not re.match(r"^[A-Za-z]", data1):
                chk.bad(where, "variable name %r must begin with an ASCII letter" % data1)
            assigned.add(data1)
        if keyword == "HAPPENING_QUESTION_MULTI" and "/" not in data2:
            chk.bad(where, "the question has no choices (prompt/choice/choice)")
        if keyword in RENAMES:
            cp932_bytes(chk, where, "the new name", data1, NAME_BYTES)
        if keyword == "HAPPENING_SUBROUTINE_CALL":
            ev["calls"].append((where, data1))
        if keyword in ("CONDITION_EQUAL", "CONDITION_NOT_EQUAL", "CONDITION_LARGE",
                       "CONDITION_LARGE_EQUAL", "CONDITION_SMALL", "CONDITION_SMALL_EQUAL"):
            for d in (data1, data2):
                if re.match(r"^[A-Za-z][A-Za-z0-9_]*$", d):
                    compared.append((where, d))
    if state != "outside":
        chk.bad("events.snr.txt", "the file ends inside a block (missing '}')")
    if sections == 0:
        chk.bad("events.snr.txt", "no ConditionalEvent section")
    if len(events) > 2000:
        chk.bad("events.snr.txt", "%d events (at most 2000)" % len(events))
    called = set()
    for ev in events.values():
        for where, target in ev["calls"]:
            called.add(target)
            if target not in events:
                chk.bad(where, "subroutine %r is not an event of this file" % target)
            elif not events[target]["subroutine"]:
                chk.bad(where, "event %s is not a subroutine (SubRoutine : YES)" % target)
    for ev in events.values():
        if ev["subroutine"] and ev["id"] not in called:
            chk.bad(ev["where"], "subroutine %s is never called" % ev["id"])
        if not ev["subroutine"] and ev["start"] is None:
            chk.bad(ev["where"], "event %s has no PeriodStart" % ev["id"])
    for where, name in compared:
        if name not in assigned:
            chk.bad(where, "variable %s is read but never assigned" % name)
    return len(events)


def check_bushou_texts(folder, chk, generals):
    """The generals' texts: one line per general of the tables, at most 255 bytes of CP932."""
    seen = {}
    for where, row in read_tsv(os.path.join(folder, "bushou_texts.tsv"), EXTRA_COLUMNS["bushou_texts.tsv"],
                               set(), chk):
        if row["id"] not in generals:
            chk.bad(where, "%r is not a general" % row["id"])
        if row["id"] in seen:
            chk.bad(where, "%s already has a text at %s" % (row["id"], seen[row["id"]]))
        seen[row["id"]] = where
        cp932_text(chk, where, row, "description", TEXT_BYTES)


def check_extras(folder, chk, seen, houses, castles, generals):
    """Checks the other data of the scenario when its files are there. Returns a summary line."""
    names = list(EXTRA_COLUMNS) + EXTRA_TEXTS
    present = [n for n in names if os.path.exists(os.path.join(folder, n))]
    if not present:
        return None
    for n in names:
        if n not in present:
            chk.bad(n, "missing (the other files of the scenario's data are there)")
    if all(n in present for n in ("trade.tsv", "trade_kuni.tsv", "trade_ports.tsv")):
        check_trade(folder, chk, seen, castles)
    if all(n in present for n in ("muskets.tsv", "muskets_months.tsv", "muskets_production.tsv",
                                  "muskets_settings.tsv")):
        check_muskets(folder, chk, seen)
    if "snow.tsv" in present and "rain.tsv" in present:
        check_weather(folder, chk)
    if "texts.md" in present:
        check_texts(folder, chk)
    if "bushou_texts.tsv" in present:
        check_bushou_texts(folder, chk, generals)
    n_events = None
    if "events.snr.txt" in present:
        n_events = check_events(folder, chk, seen, houses, castles, generals)
    return "other data: %d files, conditional events %s" % (len(present), n_events)


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
        as_int(chk, where, row, "funds", -1, 10000)
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

    # The game's caps.
    for kind in ("castles", "generals"):
        for where, row in tables[kind]:
            for rule in game_cap_problems(kind, row):
                chk.bad(where, "%s: the game does not allow it (%s)" % (row["id"], rule))

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

    extras = check_extras(folder, chk, seen, houses, castles, generals)

    counts = {kind: len(rows) for kind, rows in tables.items()}
    print("tables: " + ", ".join("%s %d" % (k, counts[k]) for k in COLUMNS))
    if extras:
        print(extras)
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
