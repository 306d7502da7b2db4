"""Interoperability of the interpreter's tables with an independent
implementation: Debian's python3-dbf reads the tables and memos the
interpreter writes and writes tables the interpreter reads. Index files are
checked against their page layout directly, by a reader and a writer of
their own below.

Usage: /usr/bin/python3 interop_test.py PATH/TO/tilmor
"""

import datetime
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import warnings

warnings.simplefilter("ignore")
try:
    import dbf
except ImportError:
    print("python3-dbf is not installed (scripts/install-deps.sh installs it)")
    sys.exit(77)

TILMOR = None


def run_program(directory, text, expect_code=0):
    """Runs a program in batch mode; returns its standard output lines."""
    path = os.path.join(directory, "prog.tmf")
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", TILMOR_WINDIR=os.path.join(directory, ".windir"))
    os.makedirs(env["TILMOR_WINDIR"], exist_ok=True)
    p = subprocess.run([TILMOR, "--batch", "prog.tmf"], cwd=directory, env=env, capture_output=True,
                       timeout=120)
    out = p.stdout.decode("utf-8")
    if p.returncode != expect_code:
        raise AssertionError("exit %d\nstdout:\n%s\nstderr:\n%s" % (p.returncode, out, p.stderr.decode()))
    return out.splitlines(), p.stderr.decode("utf-8")


# --- index files, read and written from their layout ---------------------

def read_ndx(path):
    """Checks an index file's tree; returns (header, entries in order)."""
    with open(path, "rb") as f:
        data = f.read()
    root, next_free, zero1, key_len, kpp, key_type, entry, zero2 = struct.unpack_from("<IIIHHHHI", data, 0)
    formula = data[24:512].split(b"\0")[0].decode("cp1252")
    assert zero1 == 0 and zero2 == 0
    assert entry == (key_len + 8 + 3) // 4 * 4, (entry, key_len)
    assert kpp == 504 // entry
    assert len(data) == next_free * 512, (len(data), next_free)
    entries = []
    leaf_depths = set()

    def walk(page, depth):
        assert 1 <= page < next_free and depth < 40
        raw = data[page * 512:(page + 1) * 512] + b"\0" * 512
        k, = struct.unpack_from("<I", raw, 0)
        assert k <= kpp

        def at(i):
            child, rec = struct.unpack_from("<II", raw, 4 + i * entry)
            return child, rec, raw[12 + i * entry:12 + i * entry + key_len]
        interior = at(0)[0] != 0
        if not interior:
            leaf_depths.add(depth)
            for i in range(k):
                child, rec, key = at(i)
                assert child == 0
                entries.append((key, rec))
            return at(k - 1)[2] if k else None
        largest = None
        for i in range(k + 1):
            child, rec, key = at(i)
            assert child != 0 and (i == k or rec == 0)
            largest = walk(child, depth + 1)
            if i < k:
                assert key == largest, "separator %r of page %d is not %r" % (key, page, largest)
        return largest

    walk(root, 0)
    assert len(leaf_depths) <= 1, leaf_depths
    header = dict(root=root, next_free=next_free, key_len=key_len, kpp=kpp, key_type=key_type,
                  entry=entry, formula=formula, depth=max(leaf_depths) if leaf_depths else 0)
    return header, entries


def key_order(key, numeric):
    return struct.unpack("<d", key)[0] if numeric else key


def write_ndx(path, formula, keyed, key_len, numeric, fill):
    """Writes an index of (key bytes, record) pairs, leaves `fill` full."""
    entry = (key_len + 8 + 3) // 4 * 4
    kpp = 504 // entry
    keyed = sorted(keyed, key=lambda kr: (key_order(kr[0], numeric), kr[1]))
    pages = []

    def page(entries, count):
        raw = struct.pack("<I", count)
        for child, rec, key in entries:
            raw += struct.pack("<II", child, rec) + key.ljust(entry - 8, b"\0")
        return raw[:512].ljust(512, b"\0")

    level = []
    for i in range(0, len(keyed), fill):
        chunk = keyed[i:i + fill]
        pages.append(page([(0, r, k) for k, r in chunk], len(chunk)))
        level.append((len(pages), chunk[-1][0]))
    while len(level) > 1:
        upper = []
        for i in range(0, len(level), fill + 1):
            group = level[i:i + fill + 1]
            pages.append(page([(c, 0, k) for c, k in group], len(group) - 1))
            upper.append((len(pages), group[-1][1]))
        level = upper
    root = level[0][0]
    header = struct.pack("<IIIHHHHI", root, len(pages) + 1, 0, key_len, kpp, 1 if numeric else 0, entry, 0)
    header = (header + formula.encode("cp1252")).ljust(512, b"\0")
    with open(path, "wb") as f:
        f.write(header + b"".join(pages))


class Interop(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="dbase_interop_")

    def tearDown(self):
        shutil.rmtree(self.dir)

    def path(self, name):
        return os.path.join(self.dir, name)

    def open_table(self, name):
        t = dbf.Table(self.path(name), codepage="cp1252")
        t.open(dbf.READ_ONLY)
        self.addCleanup(t.close)
        return t

    def test_python_reads_what_the_interpreter_writes(self):
        with open(self.path("s.def"), "w") as f:
            f.write("name;C;12;0\nprice;N;8;2\ncount;N;5;0\nborn;D;8;0\nactive;L;1;0\nnote;M;10;0\n")
        lines, _ = run_program(self.dir, """
DBCREATE "s.def" > "SHOP"
PRINT @DBOPEN(#1,"SHOP")
@DBPUT("NAME","Müller")
@DBPUT("PRICE","   12.50")
@DBPUT("COUNT","7")
@DBPUT("BORN","19991231")
@DBPUT("ACTIVE","T")
CLEARLIST
ADDSTRING "Zeile eins"
ADDSTRING ""
ADDSTRING "Zeile drei, äöü"
@DBPUTMEMO("NOTE")
@DBPUTREC(0)
@DBAPPENDBLANK()
@DBPUT("NAME","Gelöscht")
@DBPUT("ACTIVE","F")
@DBPUTREC(0)
@DBDELETE()
@DBAPPENDBLANK()
@DBPUT("NAME","Leer")
@DBPUT("PRICE","-0.5")
@DBPUTREC(0)
PRINT &DBRECCOUNT
END
""")
        self.assertEqual(lines, ["0", "3"])
        t = self.open_table("SHOP.DBF")
        self.assertEqual(t.field_names, ["name", "price", "count", "born", "active", "note"])
        self.assertEqual([t.field_info(n)[:3] for n in t.field_names],
                         [(67, 12, 0), (78, 8, 2), (78, 5, 0), (68, 8, 0), (76, 1, 0), (77, 10, 0)])
        self.assertEqual(len(t), 3)  # END closed the table: the count is on disk
        self.assertEqual(t.last_update, datetime.date.today())
        r = t[0]
        self.assertEqual(r.name.rstrip(), "Müller")
        self.assertEqual(r.price, 12.5)
        self.assertEqual(r.count, 7)
        self.assertEqual(r.born, datetime.date(1999, 12, 31))
        self.assertIs(r.active, True)
        self.assertEqual(r.note, "Zeile eins\r\n\r\nZeile drei, äöü\r\n")
        self.assertFalse(dbf.is_deleted(r))
        self.assertTrue(dbf.is_deleted(t[1]))
        self.assertIs(t[1].active, False)
        self.assertEqual(t[2].price, -0.5)
        self.assertIsNone(t[2].born)
        self.assertEqual(t[2].note, "")

    def test_tables_stay_complete_after_a_runtime_error(self):
        with open(self.path("s.def"), "w") as f:
            f.write("N;N;6;0\n")
        lines, err = run_program(self.dir, """
DECLARE I%
DBCREATE "s.def" > "RUNS"
PRINT @DBOPEN(#3,"RUNS")
LET I% = 0
WHILE @LT(I%,250)
  @DBPUT("N",I%)
  @DBPUTREC(-1)
  INC I%
WEND
PRINT @DIV(1,0)
""", expect_code=3)
        self.assertIn("[Division durch 0!]", err)
        t = self.open_table("RUNS.DBF")
        self.assertEqual(len(t), 250)
        self.assertEqual([r.n for r in t][:3], [0, 1, 2])
        self.assertEqual(t[249].n, 249)

    def test_interpreter_reads_what_python_writes(self):
        t = dbf.Table(self.path("py.dbf"), "title C(20); amount N(9,3); day D; flag L; text M", dbf_type="db3",
                      codepage="cp1252")
        t.open(dbf.READ_WRITE)
        rows = [("Straße", 1234.5, datetime.date(2020, 2, 29), True, "erste Zeile\r\nzweite Zeile"),
                ("Nummer zwei", -0.125, None, False, ""),
                ("gelöscht", 0, datetime.date(1970, 1, 1), None, "weg"),
                ("lang", 99999.999, datetime.date(2038, 1, 19), True, "x" * 85 + "\r\nEnde")]
        for row in rows:
            t.append(row)
        dbf.delete(t[2])
        t.close()
        lines, _ = run_program(self.dir, """
DECLARE M%
PRINT @DBOPEN(#1,"PY"); " "; %DBFCOUNT; " "; %DBRECSIZE; " "; %DBMEMO
WHILENOT %DBEOF
  PRINT &DBRECNO; "|"; @DBGET$("TITLE"); "|"; @DBGET$("AMOUNT"); "|"; @DBGET$("DAY"); "|"; @DBGET$("FLAG"); "|"; %DBDELETED
  LET M% = @DBGETMEMO("TEXT")
  PRINT "lines "; %GETCOUNT
  IF @GT(%GETCOUNT,-1)
    PRINT "0:"; @LISTBOXITEM$(0)
  ENDIF
  IF @GT(%GETCOUNT,0)
    PRINT "1:"; @LISTBOXITEM$(1)
  ENDIF
  IF @GT(%GETCOUNT,1)
    PRINT "2:"; @LISTBOXITEM$(2)
  ENDIF
  @DBGO("NEXT")
WEND
""")
        self.assertEqual(lines, [
            "4 5 49 1",
            "1|Straße              | 1234.500|20200229|T|0", "lines 1", "0:erste Zeile", "1:zweite Zeile",
            "2|Nummer zwei         |   -0.125|        |F|0", "lines -1",
            "3|gelöscht            |    0.000|19700101|?|1", "lines 0", "0:weg",
            "4|lang                |99999.999|20380119|T|0", "lines 2", "0:" + "x" * 80, "1:xxxxx", "2:Ende",
        ])

    def test_both_write_the_same_table(self):
        with open(self.path("s.def"), "w") as f:
            f.write("K;C;4;0\nV;N;4;0\n")
        run_program(self.dir, """
DBCREATE "s.def" > "BOTH"
PRINT @DBOPEN(#1,"BOTH")
@DBPUT("K","a")
@DBPUT("V",1)
@DBPUTREC(0)
PRINT @DBCLOSE(#1)
""")
        t = dbf.Table(self.path("BOTH.DBF"))
        t.open(dbf.READ_WRITE)
        t.append(("b", 2))
        with t[0] as r:
            r.v = 10
        t.close()
        lines, _ = run_program(self.dir, """
PRINT @DBOPEN(#1,"BOTH")
PRINT @DBGET$("K"); @DBGET$("V")
@DBGO("NEXT")
PRINT @DBGET$("K"); @DBGET$("V")
@DBAPPENDBLANK()
@DBPUT("K","c")
@DBPUTREC(0)
""")
        self.assertEqual(lines, ["2", "a     10", "b      2"])
        t = self.open_table("BOTH.DBF")
        self.assertEqual([(r.k.strip(), r.v) for r in t], [("a", 10), ("b", 2), ("c", None)])

    def make_numbers_table(self, count):
        t = dbf.Table(self.path("nums.dbf"), "name C(10); num N(8,2)", dbf_type="db3")
        t.open(dbf.READ_WRITE)
        for i in range(count):
            t.append(("n%05d" % ((i * 7919) % count), ((i * 37) % 101) - 50.25))
        t.close()

    def test_index_pages_follow_the_format(self):
        count = 1500
        self.make_numbers_table(count)
        lines, _ = run_program(self.dir, """
PRINT @DBOPEN(#1,"NUMS")
DBCREATEINDEX "NAME" > "BYNAME"
DBCREATEINDEX "NUM" > "BYNUM"
PRINT @DBINDEX("BYNAME BYNUM")
""")
        self.assertEqual(lines, [str(count), "1"])
        t = self.open_table("nums.dbf")
        names = {i + 1: r.name.encode() for i, r in enumerate(t)}
        values = {i + 1: r.num for i, r in enumerate(t)}

        h, entries = read_ndx(self.path("BYNAME.NDX"))
        self.assertEqual((h["key_len"], h["kpp"], h["key_type"], h["entry"], h["formula"]), (10, 25, 0, 20, "NAME"))
        self.assertGreaterEqual(h["depth"], 2)
        self.assertEqual(entries, sorted(((names[r], r) for r in names)))

        h, entries = read_ndx(self.path("BYNUM.NDX"))
        self.assertEqual((h["key_len"], h["kpp"], h["key_type"], h["entry"]), (8, 31, 1, 16))
        got = [(struct.unpack("<d", k)[0], r) for k, r in entries]
        # Equal values keep the order of their records.
        self.assertEqual(got, sorted(((values[r], r) for r in values)))

    def test_root_split(self):
        self.make_numbers_table(25)
        run_program(self.dir, """
PRINT @DBOPEN(#1,"NUMS")
DBCREATEINDEX "NAME" > "IX"
""")
        h, entries = read_ndx(self.path("IX.NDX"))
        self.assertEqual((h["root"], h["next_free"], len(entries)), (1, 2, 25))
        run_program(self.dir, """
PRINT @DBOPEN(#1,"NUMS")
PRINT @DBINDEX("IX")
@DBAPPENDBLANK()
@DBPUT("NAME","zzz")
@DBPUTREC(0)
""")
        h, entries = read_ndx(self.path("IX.NDX"))
        self.assertEqual((h["root"], h["next_free"], h["depth"], len(entries)), (3, 4, 1, 26))
        with open(self.path("IX.NDX"), "rb") as f:
            data = f.read()
        # The root holds one key, the largest of the new left page, and the
        # old page as its last child. @DBAPPENDBLANK first appended a copy
        # of record 1 (26 keys: split 13/13); the key change then took that
        # copy out of the left page.
        k, left, rec, key = struct.unpack_from("<III10s", data, 3 * 512)
        right, = struct.unpack_from("<I", data, 3 * 512 + 4 + 20)
        self.assertEqual((k, left, rec, right), (1, 2, 0, 1))
        left_count, = struct.unpack_from("<I", data, 2 * 512)
        right_count, = struct.unpack_from("<I", data, 1 * 512)
        self.assertEqual((left_count, right_count), (12, 14))
        self.assertEqual(key, entries[11][0])

    def test_interpreter_uses_indexes_written_here(self):
        count = 900
        self.make_numbers_table(count)
        t = self.open_table("nums.dbf")
        keyed = [(r.name.encode().ljust(10), i + 1) for i, r in enumerate(t)]
        numeric = [(struct.pack("<d", r.num), i + 1) for i, r in enumerate(t)]
        t.close()
        write_ndx(self.path("PYNAME.NDX"), "NAME", keyed, 10, False, fill=17)
        write_ndx(self.path("PYNUM.NDX"), "NUM", numeric, 8, True, fill=31)
        lines, _ = run_program(self.dir, """
DECLARE I%
PRINT @DBOPEN(#1,"NUMS")
PRINT @DBINDEX("PYNUM")
@DBGO("TOP")
WHILENOT %DBEOF
  PRINT &DBRECNO
  @DBGO("NEXT")
WEND
PRINT "find "; @DBFIND("-50.25",1); " "; @DBFIND("49.75",1); " "; @DBFIND("3",1)
PRINT @DBINDEX("PYNAME")
PRINT "find "; @DBFIND("n00042",1); " "; @DBFIND("n0089",0); " "; @DBFIND("n9",0)
@DBGO("BOTTOM")
PRINT "last "; @DBGET$("NAME")
REM A key change moves the entry inside the file written by Python.
@DBFIND("n00000",1)
@DBPUT("NAME","zz")
@DBPUTREC(0)
PRINT @DBCLOSE(#1)
""")
        order = [int(x) for x in lines[2:2 + count]]
        want = [r for _, r in sorted(numeric, key=lambda kr: (struct.unpack("<d", kr[0])[0], kr[1]))]
        self.assertEqual(order, want)
        name_rec = {k.decode().strip(): r for k, r in keyed}
        first_minus = min(r for k, r in numeric if struct.unpack("<d", k)[0] == -50.25)
        first_plus = min(r for k, r in numeric if struct.unpack("<d", k)[0] == 49.75)
        self.assertEqual(lines[2 + count:], [
            "find %d %d 0" % (first_minus, first_plus), "1",
            "find %d %d 0" % (name_rec["n00042"], name_rec["n00890"]),
            "last n00899    ", str(count)])
        _, entries = read_ndx(self.path("PYNAME.NDX"))
        self.assertEqual(len(entries), count)
        self.assertEqual(entries[-1], (b"zz        ", name_rec["n00000"]))
        self.assertEqual(entries[0][0], b"n00001    ")


if __name__ == "__main__":
    TILMOR = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
