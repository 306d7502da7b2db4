#!/usr/bin/env python3
"""Serial ports against a real pseudo-terminal pair: the program opens the
slave side by its name; this driver sits on the master side, answers, and
looks at the line settings with stty on a descriptor of the slave it opened
before the program took the port exclusively.
    serial_pty.py TILMOR PROGRAM"""
import os
import select
import subprocess
import sys
import tempfile
import time

tilmor, program = sys.argv[1], sys.argv[2]
failures = []


def check(what, ok, detail=""):
    if not ok:
        failures.append(f"{what}: {detail}")


master, slave = os.openpty()
name = os.ttyname(slave)
work = tempfile.mkdtemp()
windir = os.path.join(work, "windir")
os.mkdir(windir)
with open(os.path.join(windir, "WIN.INI"), "wb") as f:
    f.write(b"[Serial]\r\nCOM7=" + name.encode() + b"\r\n")
env = dict(os.environ, TILMOR_WINDIR=windir, TILMOR_PORT=name)
proc = subprocess.Popen([tilmor, "--batch", program], cwd=work, env=env,
                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def read_until(text, seconds=20):
    got = b""
    end = time.time() + seconds
    while text not in got and time.time() < end:
        r, _, _ = select.select([master], [], [], 0.1)
        if r:
            got += os.read(master, 100)
    return got


def stty():
    return subprocess.run(["stty", "-a"], stdin=slave, capture_output=True, text=True).stdout.split()


got = read_until(b"eins")
check("first bytes", got == b"eins", got)
s = stty()
# A pseudo-terminal keeps eight bits without parity whatever it is told;
# the parity check and the stop bits it keeps.
for flag in ["9600", "inpck", "cstopb", "-ixon", "-icanon", "-echo", "-opost"]:
    check("9600,e,7,2", flag in s, flag)
os.write(master, b"zwei")

got = read_until(b"zwei")
check("second bytes", got == b"zwei", got)
s = stty()
for flag in ["19200", "-inpck", "-cstopb", "ixon", "ixoff", "-crtscts"]:
    check("baud=19200 ... xon=on", flag in s, flag)
before = s
os.write(master, b"drei")

got = read_until(b"drei")
check("third bytes", got == b"drei", got)
after = stty()
check("limits only", before == after, " ".join(x for x in after if x not in before))
os.write(master, b"vier")

got = read_until(b"vier")
check("fourth bytes", got == b"vier", got)
s = stty()
for flag in ["crtscts", "-ixon", "-ixoff", "-inpck"]:
    check("flags 5", flag in s, flag)

try:
    out, err = proc.communicate(timeout=60)
except subprocess.TimeoutExpired:
    proc.kill()
    out, err = proc.communicate()
    failures.append("the program did not end")
expected = open(os.path.splitext(program)[0] + ".out", "rb").read()
check("output", out == expected, "\n" + out.decode("utf-8", "replace"))
check("boxes", err == b"", err)
check("exit code", proc.returncode == 0, proc.returncode)
# The port is free again for anyone.
try:
    fd = os.open(name, os.O_RDWR | os.O_NOCTTY)
    os.close(fd)
except OSError as e:
    failures.append(f"port still taken: {e}")

for f in failures:
    print("FAILED", f)
print("serial line checks:", "failed" if failures else "passed")
sys.exit(1 if failures else 0)
