#!/usr/bin/env python3
"""The scenario tables are refused when they hold a value that the game itself does not allow
once a game runs, both by the table check and by the generator; and the bundled scenario file is
what its tables make.

    python3 tools/scenario_gen/test_game_caps.py
"""
import os
import runpy
import shutil
import subprocess
import sys
import tempfile
import types
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
SRC = os.path.join(ROOT, "data", "scenario", "src")
GENERATOR = os.path.join(HERE, "make_scenario.py")
CHECKER = os.path.join(SRC, "check_tables.py")


def load_checker():
    return types.SimpleNamespace(**runpy.run_path(CHECKER))


CASTLE = {"id": "S_X", "maxsize": "6", "size": "4", "maxeconomy": "600", "economy": "500", "maxmine": "0",
          "mine": "0", "port": "YES", "tradeships": "5", "warships": "5", "support": "60"}
GENERAL = {"id": "B_X", "cavalry": "300", "foot": "2500", "muskets": "100"}

# (table, column, highest value the game keeps or None, a value it refuses, the rule's words)
CASES = [
    ("castles", "tradeships", "10", "11", "10 trade ships"),
    ("castles", "tradeships", None, "20", "10 trade ships"),
    ("castles", "warships", "200", "201", "200 warships"),
    ("castles", "size", "10", "0", "size is 1 to 10"),
    ("castles", "maxsize", "10", "11", "maximum size is 1 to 10"),
    ("castles", "support", "100", "101", "support is 0 to 100"),
    ("castles", "maxeconomy", "32767", "32768", "economy"),
    ("castles", "maxmine", "32767", "32768", "mine"),
    ("generals", "cavalry", "2000", "2001", "2000 cavalry"),
    ("generals", "foot", "5000", "5001", "5000 foot"),
    ("generals", "muskets", "2500", "2501", "muskets never exceed"),
]


class GameCaps(unittest.TestCase):
    def test_each_cap_keeps_its_highest_value_and_refuses_the_next(self):
        broken = load_checker().game_cap_problems
        for table, column, allowed, refused, words in CASES:
            base = CASTLE if table == "castles" else GENERAL
            with self.subTest(table=table, column=column, value=refused):
                self.assertEqual(broken(table, base), [])
                if allowed is not None:
                    self.assertEqual(broken(table, dict(base, **{column: allowed})), [])
                rules = broken(table, dict(base, **{column: refused}))
                self.assertEqual(len(rules), 1, rules)
                self.assertIn(words, rules[0])

    def test_the_bundled_tables_keep_every_cap(self):
        done = subprocess.run([sys.executable, CHECKER, SRC], capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)

    def test_the_bundled_scenario_is_what_its_tables_make(self):
        done = subprocess.run([sys.executable, GENERATOR, "--check"], capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)


class RefusedTables(unittest.TestCase):
    """A copy of the tables with one value the game refuses: the check and the generator both
    name the row and the rule, and the generator writes nothing."""

    def fresh_copy(self):
        self.dir = tempfile.mkdtemp(prefix="rymd_caps_")
        self.addCleanup(shutil.rmtree, self.dir, True)
        self.src = os.path.join(self.dir, "src")
        shutil.copytree(SRC, self.src)

    def set_value(self, file, ident, column, value):
        path = os.path.join(self.src, file)
        with open(path, encoding="utf-8") as f:
            lines = f.read().split("\n")
        header = next(l for l in lines if l and not l.startswith("#")).split("\t")
        col = header.index(column)
        for i, line in enumerate(lines):
            fields = line.split("\t")
            if fields[0] == ident:
                fields[col] = value
                lines[i] = "\t".join(fields)
                break
        else:
            self.fail("no %s in %s" % (ident, file))
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(lines))

    def test_a_refused_value_stops_the_check_and_the_generator(self):
        for file, ident, column, value, words in [
            ("castles_east.tsv", "S_NAGOYA", "tradeships", "20", "10 trade ships"),
            ("generals_east.tsv", "B_ODA_NOBUNAGA", "muskets", "2600", "muskets never exceed"),
        ]:
            with self.subTest(ident=ident):
                self.fresh_copy()
                self.set_value(file, ident, column, value)
                check = subprocess.run([sys.executable, os.path.join(self.src, "check_tables.py"), self.src],
                                       capture_output=True, text=True)
                self.assertEqual(check.returncode, 1)
                self.assertIn(ident, check.stdout)
                self.assertIn(words, check.stdout)
                out = os.path.join(self.dir, "out.snr")
                made = subprocess.run([sys.executable, GENERATOR, "--src", self.src, "--out", out],
                                      capture_output=True, text=True)
                self.assertEqual(made.returncode, 1)
                self.assertIn(ident, made.stderr)
                self.assertIn(words, made.stderr)
                self.assertFalse(os.path.exists(out))


if __name__ == "__main__":
    unittest.main()
