"""Writes the seed inputs of the dBase fuzz target into dbase_corpus/:
tables, memos and indexes made by the interpreter, packed in the target's
input layout. Usage: python3 dbase_seeds.py PATH/TO/tilmor"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile

PROGRAMS = {
    "memo_index": ("NAME;C;8\nNUM;N;5;1\nNOTE;M\n", """
DECLARE I%, K%
DBCREATE "f.def" > "F"
PRINT @DBOPEN(#1,"F")
LET I% = 0
WHILE @LT(I%,40)
  LET K% = @MOD(@MUL(I%,13),40)
  @DBAPPENDBLANK()
  @DBPUT("NAME",@ADD$("k",@STR$(K%)))
  @DBPUT("NUM",@SUB(K%,20))
  IF @EQU(@MOD(I%,5),0)
    CLEARLIST
    ADDSTRING @ADD$("memo ",@STR$(I%))
    @DBPUTMEMO("NOTE")
  ENDIF
  @DBPUTREC(0)
  INC I%
WEND
DBCREATEINDEX "NAME" > "F"
"""),
    "numeric_index": ("D;D\nN;N;6;2\nL;L\n", """
DECLARE I%
DBCREATE "f.def" > "F"
PRINT @DBOPEN(#1,"F")
LET I% = 0
WHILE @LT(I%,70)
  @DBPUT("N",@SUB(35,I%))
  @DBPUT("D","20240101")
  @DBPUTREC(-1)
  INC I%
WEND
DBCREATEINDEX "N" > "F"
"""),
    "small": ("A;C;3\nB;C;2\n", """
DBCREATE "f.def" > "F"
PRINT @DBOPEN(#1,"F")
@DBPUT("A","x")
@DBPUTREC(0)
DBCREATEINDEX "A+B" > "F"
"""),
}


def main():
    tilmor = os.path.abspath(sys.argv[1])
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "dbase_corpus")
    os.makedirs(out, exist_ok=True)
    for name, (definition, program) in PROGRAMS.items():
        work = tempfile.mkdtemp()
        try:
            with open(os.path.join(work, "f.def"), "w") as f:
                f.write(definition)
            with open(os.path.join(work, "p.tmf"), "w") as f:
                f.write(program)
            env = dict(os.environ, QT_QPA_PLATFORM="offscreen", TILMOR_WINDIR=work)
            subprocess.run([tilmor, "--batch", "p.tmf"], cwd=work, env=env, check=True, capture_output=True)

            def read(n):
                p = os.path.join(work, n)
                return open(p, "rb").read() if os.path.exists(p) else b""
            table, memo, index = read("F.DBF"), read("F.DBT"), read("F.NDX")
            with open(os.path.join(out, name), "wb") as f:
                f.write(struct.pack("<HH", len(table), len(memo)) + table + memo + index)
        finally:
            shutil.rmtree(work)


if __name__ == "__main__":
    main()
