"""BMP files against an independent implementation: Debian's Pillow reads
the files SAVEBMP writes and writes 1-, 8- and 24-bit files that LOADBMP
reads, pixel for pixel (Pillow writes no 4-bit files; the unit tests of the
reader build those).

Usage: /usr/bin/python3 bmp_interop.py PATH/TO/tilmor
"""

import os
import subprocess
import sys
import tempfile
import unittest

try:
    from PIL import Image
except ImportError:
    print("python3-pil is not installed (scripts/install-deps.sh installs it)")
    sys.exit(77)

TILMOR = None


def run_program(directory, text):
    path = os.path.join(directory, "t.tmf")
    with open(path, "w", encoding="cp1252", newline="\r\n") as f:
        f.write(text)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", TILMOR_WINDIR=directory)
    done = subprocess.run([TILMOR, "--batch", "t.tmf"], cwd=directory, env=env,
                          capture_output=True, timeout=60)
    if done.returncode != 0:
        raise AssertionError("exit %d: %s" % (done.returncode, done.stderr.decode()))
    return done.stdout.decode().split("\n")


# Colours as COLORREF: red in the low byte.
def colorref(rgb):
    r, g, b = rgb[:3]
    return r + g * 256 + b * 65536


class SavedFiles(unittest.TestCase):
    def test_pillow_reads_what_savebmp_writes(self):
        with tempfile.TemporaryDirectory() as d:
            # Drawn below the rows of text output.
            run_program(d, "CLS\nSETTRUECOLOR 1\nUSEPEN 0, 1, @RGB(255, 0, 0)\n"
                           "USEBRUSH 1, @RGB(0, 0, 255)\nRECTANGLE 0,300 - 12,310\n"
                           "SETPIXEL 5, 305, @RGB(10, 200, 30)\n"
                           "SAVEBMP \"out.bmp\", 0,300 - 13,10\n")
            path = os.path.join(d, "out.bmp")
            with open(path, "rb") as f:
                data = f.read()
            bits = int.from_bytes(data[28:30], "little")
            row = ((bits * 13 + 31) // 32) * 4
            self.assertEqual(len(data), 58 + row * 10)
            self.assertEqual(int.from_bytes(data[2:6], "little"), len(data))
            image = Image.open(path).convert("RGB")
            self.assertEqual(image.size, (13, 10))
            self.assertEqual(image.getpixel((0, 0)), (255, 0, 0))
            self.assertEqual(image.getpixel((11, 9)), (255, 0, 0))
            self.assertEqual(image.getpixel((3, 3)), (0, 0, 255))
            self.assertEqual(image.getpixel((5, 5)), (10, 200, 30))
            self.assertEqual(image.getpixel((12, 5)), (255, 255, 255))


class LoadedFiles(unittest.TestCase):
    def picture(self):
        image = Image.new("RGB", (7, 5), (255, 255, 255))
        for x in range(7):
            image.putpixel((x, 0), (255, 0, 0))
        for y in range(5):
            image.putpixel((0, y), (0, 0, 255))
        image.putpixel((6, 4), (0, 128, 0))
        return image

    def check(self, image, mode):
        with tempfile.TemporaryDirectory() as d:
            converted = image.convert(mode) if mode != "RGB" else image
            converted.save(os.path.join(d, "in.bmp"))
            expect = converted.convert("RGB")
            points = [(0, 0), (3, 0), (0, 3), (6, 4), (3, 2), (6, 0)]
            reads = "; ".join("@GETPIXEL(%d, %d)" % (100 + x, 300 + y) for x, y in points)
            out = run_program(d, "CLS\nSETTRUECOLOR 1\nLOADBMP \"in.bmp\", 100, 300 ; 0\n"
                                 "PRINT %BMPX; \" \"; %BMPY; \" \"; &BMPCOL\n"
                                 "PRINT " + reads.replace(";", "; \" \";") + "\n")
            size = out[0].split()
            self.assertEqual(size[:2], ["7", "5"], mode)
            self.assertEqual(int(size[2]), 2 ** {"1": 1, "P": 8, "RGB": 24}[mode], mode)
            got = [int(v) for v in out[1].split()]
            self.assertEqual(got, [colorref(expect.getpixel(p)) for p in points], mode)

    def test_every_depth_pillow_writes(self):
        for mode in ("1", "P", "RGB"):
            self.check(self.picture(), mode)


if __name__ == "__main__":
    TILMOR = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=1)
