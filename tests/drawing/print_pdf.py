"""Printing into a PDF file (a FILE: port in WIN.INI), checked by rendering
the pages with poppler's pdftoppm and finding the drawing where the page
mapping puts it: 640 x 960 program units on 7 1/3 x 11 inches, so at 72
dots per inch one unit is 0.825 dots either way.

Usage: /usr/bin/python3 print_pdf.py PATH/TO/tilmor
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

try:
    from PIL import Image
except ImportError:
    print("python3-pil is not installed (scripts/install-deps.sh installs it)")
    sys.exit(77)
if not shutil.which("pdftoppm") or not shutil.which("pdfinfo"):
    print("poppler-utils is not installed (scripts/install-deps.sh installs it)")
    sys.exit(77)

TILMOR = None
DOT = 72 * 22 / 3 / 640  # dots per program unit at 72 dpi


def run_program(directory, text, code=0):
    windir = os.path.join(directory, "win")
    os.makedirs(windir, exist_ok=True)
    with open(os.path.join(windir, "WIN.INI"), "w", newline="\r\n") as f:
        f.write("[windows]\ndevice=PDF-Drucker,PDF,FILE:job.pdf\n")
    with open(os.path.join(directory, "t.tmf"), "w", encoding="cp1252", newline="\r\n") as f:
        f.write(text)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", TILMOR_WINDIR=windir)
    done = subprocess.run([TILMOR, "--batch", "t.tmf"], cwd=directory, env=env,
                          capture_output=True, timeout=60)
    if done.returncode != code:
        raise AssertionError("exit %d: %s" % (done.returncode, done.stderr.decode()))
    return done


def pdf_info(path):
    out = subprocess.run(["pdfinfo", path], capture_output=True, check=True).stdout.decode()
    return dict(line.split(":", 1) for line in out.splitlines() if ":" in line)


def pages(path, directory):
    """The pages of a PDF at 72 dpi, as RGB images."""
    prefix = os.path.join(directory, "page")
    subprocess.run(["pdftoppm", "-r", "72", "-png", path, prefix], check=True)
    names = sorted(n for n in os.listdir(directory) if n.startswith("page") and n.endswith(".png"))
    result = [Image.open(os.path.join(directory, n)).convert("RGB") for n in names]
    for n in names:
        os.remove(os.path.join(directory, n))
    return result


def dark(pixel):
    return sum(pixel) < 200


def dark_columns(image, y):
    return [x for x in range(image.width) if dark(image.getpixel((x, y)))]


class PrintJob(unittest.TestCase):
    def test_lines_boxes_text_and_pages_where_the_mapping_puts_them(self):
        with tempfile.TemporaryDirectory() as d:
            run_program(d, "STARTPRINT\n"
                           "USEPEN 0, 3, 0\n"
                           "LINE 0,100 - 640,100\n"
                           "USEBRUSH 1, 0\n"
                           "RECTANGLE 100,200 - 300,400\n"
                           "USEFONT \"Arial\", 40, 0, 0, 0, 0\n"
                           "DRAWTEXT 100,500,\"Hallo Drucker\"\n"
                           "NEXTPAGE\n"
                           "LINE 320,0 - 320,960\n"
                           "ENDPRINT\n")
            path = os.path.join(d, "win", "job.pdf")
            info = pdf_info(path)
            self.assertEqual(info["Title"].strip(), "DruckSeite")
            self.assertEqual(info["Pages"].strip(), "2")
            first, second = pages(path, d)
            # The line spans the full 7 1/3 inches, no more.
            cols = dark_columns(first, round(100 * DOT))
            self.assertLessEqual(cols[0], 1)
            self.assertAlmostEqual(cols[-1], 640 * DOT, delta=2)
            self.assertFalse(dark_columns(first, round(100 * DOT) + 6))
            # The filled box between its corners.
            self.assertTrue(dark(first.getpixel((round(200 * DOT), round(300 * DOT)))))
            for x, y in ((95, 300), (305, 300), (200, 195), (200, 405)):
                self.assertFalse(dark(first.getpixel((round(x * DOT), round(y * DOT)))), (x, y))
            # Text 40 units high below y = 500, beginning at x = 100.
            band = [x for y in range(round(500 * DOT), round(540 * DOT)) for x in dark_columns(first, y)]
            self.assertTrue(band)
            self.assertAlmostEqual(min(band), 100 * DOT, delta=4)
            self.assertFalse(dark_columns(first, round(560 * DOT)))
            # The second page has only its vertical line.
            self.assertTrue(dark(second.getpixel((round(320 * DOT), 400))))
            self.assertFalse(dark(second.getpixel((round(200 * DOT), round(300 * DOT)))))

    def test_bitmaps_print_with_their_colours_and_size_times_ten(self):
        with tempfile.TemporaryDirectory() as d:
            Image.new("RGB", (40, 20), (255, 0, 0)).save(os.path.join(d, "red.bmp"))
            out = run_program(d, "STARTPRINT\n"
                           "LOADSIZEDBMP \"red.bmp\", 100,600 - 200,100 ; 0\n"
                           "LOADBMP \"red.bmp\", 400,600 ; 0\n"
                           "ENDPRINT\n"
                           "PRINT %BMPX; \" \"; %BMPY\n").stdout
            self.assertEqual(out.decode().split(), ["40", "20"])
            page, = pages(os.path.join(d, "win", "job.pdf"), d)
            r, g, b = page.getpixel((round(200 * DOT), round(650 * DOT)))
            self.assertTrue(r > 200 and g < 60 and b < 60)
            self.assertEqual(page.getpixel((round(310 * DOT), round(650 * DOT))), (255, 255, 255))
            # A pixel of the file is a program unit.
            r, g, b = page.getpixel((round(420 * DOT), round(610 * DOT)))
            self.assertTrue(r > 200 and g < 60 and b < 60)
            self.assertEqual(page.getpixel((round(450 * DOT), round(610 * DOT))), (255, 255, 255))
            self.assertEqual(page.getpixel((round(420 * DOT), round(630 * DOT))), (255, 255, 255))

    def test_each_job_of_a_run_gets_its_own_file(self):
        with tempfile.TemporaryDirectory() as d:
            run_program(d, "STARTPRINT\nENDPRINT\nSTARTPRINT\nNEXTPAGE\nENDPRINT\nSTARTPRINT\nENDPRINT\n")
            win = os.path.join(d, "win")
            self.assertEqual(sorted(n for n in os.listdir(win) if n.endswith(".pdf")),
                             ["job-2.pdf", "job-3.pdf", "job.pdf"])
            self.assertEqual(pdf_info(os.path.join(win, "job-2.pdf"))["Pages"].strip(), "2")

    def test_a_runtime_error_finishes_the_job_before_the_run_ends(self):
        with tempfile.TemporaryDirectory() as d:
            done = run_program(d, "STARTPRINT\nUSEPEN 0, 3, 0\nLINE 0,100 - 640,100\nCLS\n", code=3)
            self.assertIn("CLS", done.stderr.decode("cp1252"))
            page, = pages(os.path.join(d, "win", "job.pdf"), d)
            self.assertTrue(dark_columns(page, round(100 * DOT)))

    def test_a_job_left_open_is_finished_at_the_end(self):
        with tempfile.TemporaryDirectory() as d:
            run_program(d, "STARTPRINT\nUSEPEN 0, 3, 0\nLINE 0,100 - 640,100\n")
            page, = pages(os.path.join(d, "win", "job.pdf"), d)
            self.assertTrue(dark_columns(page, round(100 * DOT)))


class HardCopies(unittest.TestCase):
    def test_screencopy_prints_the_window_across_the_page(self):
        with tempfile.TemporaryDirectory() as d:
            run_program(d, "CLS\nUSEBRUSH 1, 0\nRECTANGLE 0,240 - 320,480\nSCREENCOPY\nPRINT \"ok\"\n")
            path = os.path.join(d, "win", "job.pdf")
            self.assertEqual(pdf_info(path)["Title"].strip(), "ScreenCopy")
            page, = pages(path, d)
            # 640 window pixels are the 7 1/3 inches; the lower left quarter is black.
            self.assertTrue(dark(page.getpixel((round(160 * DOT), round(360 * DOT)))))
            self.assertFalse(dark(page.getpixel((round(480 * DOT), round(360 * DOT)))))
            self.assertFalse(dark(page.getpixel((round(160 * DOT), round(200 * DOT)))))
            # Nothing below the window's 480 rows.
            self.assertFalse(dark(page.getpixel((round(160 * DOT), round(500 * DOT)))))

    def test_screencopy_of_a_block_prints_only_the_block(self):
        with tempfile.TemporaryDirectory() as d:
            run_program(d, "CLS\nUSEBRUSH 1, 0\nRECTANGLE 0,240 - 640,480\nSCREENCOPY 0,240 - 319,479\n")
            page, = pages(os.path.join(d, "win", "job.pdf"), d)
            self.assertTrue(dark(page.getpixel((round(160 * DOT), round(360 * DOT)))))
            self.assertFalse(dark(page.getpixel((round(480 * DOT), round(360 * DOT)))))

    def test_wincopy_prints_the_window_with_its_controls(self):
        with tempfile.TemporaryDirectory() as d:
            run_program(d, "DECLARE B%\nCLS\nUSEBRUSH 1, 0\nRECTANGLE 0,240 - 640,480\n"
                           "LET B% = @CREATEBUTTON(%HWND, \"&Los\", 300, 100, 80, 24)\n"
                           "WINCOPY %HWND\n")
            path = os.path.join(d, "win", "job.pdf")
            self.assertEqual(pdf_info(path)["Title"].strip(), "WindowCopy")
            page, = pages(path, d)
            # The window's 640 pixels are the page's 7 1/3 inches.
            column = [y for y in range(page.height) if dark(page.getpixel((round(100 * DOT), y)))]
            self.assertAlmostEqual(column[0], 240 * DOT, delta=2)
            self.assertAlmostEqual(column[-1], 480 * DOT, delta=2)
            self.assertTrue(dark(page.getpixel((round(630 * DOT), round(400 * DOT)))))
            self.assertFalse(dark(page.getpixel((round(650 * DOT), round(400 * DOT)))))
            # The button, drawn over the window's surface.
            button = [x for y in range(round(100 * DOT), round(124 * DOT)) for x in dark_columns(page, y)]
            self.assertTrue(button)
            self.assertGreaterEqual(min(button), 299 * DOT)
            self.assertLessEqual(max(button), 381 * DOT)


if __name__ == "__main__":
    TILMOR = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=1)
