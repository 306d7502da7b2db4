#!/usr/bin/env bash
# cmake --install into a temporary prefix: the programs (which then run
# from there, window-system module included), the manual pages, the
# editor's reference, the menu entries, the icons and the file types, each
# checked by the tool that reads it.
#   install.sh BUILDDIR
set -u
build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
for tool in desktop-file-validate xmllint update-mime-database groff; do
  if ! command -v $tool >/dev/null; then
    echo "SKIPPED: $tool is missing (scripts/install-deps.sh installs it)"
    exit 77
  fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  exit 1
fi

fails=0
fail() { echo "--- $*"; fails=$((fails + 1)); }
need() { [ -e "$prefix/$1" ] || fail "not installed: $1"; }

for prog in tilmor shtmcomp tlmrun32 tilmed32; do
  [ -x "$prefix/bin/$prog" ] || fail "not installed: bin/$prog"
  need "share/man/man1/$prog.1"
  need "share/applications/$prog.desktop"
  need "share/icons/hicolor/scalable/apps/$prog.svg"
  # The page renders without a warning.
  warnings=$(groff -ww -z -man -Tutf8 "$prefix/share/man/man1/$prog.1" 2>&1)
  [ -z "$warnings" ] || fail "$prog.1: $warnings"
  # It documents every option the program lists in its help.
  for opt in $("$prefix/bin/$prog" --help | grep -o -- '^  --[a-z]*'); do
    grep -q -- "${opt//-/\\\\-}" "$prefix/share/man/man1/$prog.1" || fail "$prog.1 does not mention $opt"
  done
done
[ "$(readlink "$prefix/bin/shtilmor")" = tilmor ] || fail "bin/shtilmor is no link to tilmor"
module=$(find "$prefix" -name libtilmor_gui.so)
[ -n "$module" ] || fail "the window-system module is not installed"
[ -n "$(find "$prefix" -name libtilmor_sound.so)" ] || fail "the sound module is not installed"
need share/icons/hicolor/scalable/mimetypes/text-x-tilmor-source.svg
need share/icons/hicolor/scalable/mimetypes/application-x-tilmor-program.svg
need share/mime/packages/tilmor.xml
need share/icons/hicolor/scalable/mimetypes/text-x-tilmor-include.svg
need share/icons/hicolor/scalable/mimetypes/application-x-tilmor-project.svg
need share/applications/tilmed32-project.desktop
for page in inhalt editor hilfe referenz; do need "share/tilmor/reference/$page.md"; done

for f in "$prefix"/share/applications/*.desktop; do
  out=$(desktop-file-validate "$f" 2>&1) || fail "$(basename "$f"): $out"
  # The program it starts and its icon are installed.
  exe=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$f")
  [ -x "$prefix/bin/$exe" ] || fail "$(basename "$f"): Exec $exe not installed"
  icon=$(sed -n 's/^Icon=//p' "$f")
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "$(basename "$f"): no icon $icon"
done
for f in "$prefix"/share/icons/hicolor/scalable/*/*.svg "$prefix/share/mime/packages/tilmor.xml"; do
  xmllint --noout "$f" 2>"$work/xml.err" || fail "$(basename "$f"): $(cat "$work/xml.err")"
done

# The MIME database built from the package knows both types, by name and
# (compiled programs) by content; the desktop entries use them.
rm -rf "$work/mime" && mkdir -p "$work/mime/packages"
cp "$prefix/share/mime/packages/tilmor.xml" "$work/mime/packages/"
update-mime-database "$work/mime" 2>"$work/mime.err" || fail "update-mime-database: $(cat "$work/mime.err")"
grep -q ':text/x-tilmor-source:\*\.tmf' "$work/mime/globs2" || fail "no glob *.tmf in the MIME database"
grep -q ':application/x-tilmor-program:\*\.tmc' "$work/mime/globs2" || fail "no glob *.tmc in the MIME database"
grep -q 'application/x-tilmor-program' "$work/mime/magic" || fail "no magic for compiled programs"
grep -q ':text/x-tilmor-include:\*\.inc' "$work/mime/globs2" || fail "no glob *.inc in the MIME database"
grep -q ':application/x-tilmor-project:\*\.prj' "$work/mime/globs2" || fail "no glob *.prj in the MIME database"
grep -q 'application/x-tilmor-project' "$work/mime/magic" || fail "no magic for projects"
grep -q '^MimeType=text/x-tilmor-source;text/x-tilmor-include;' "$prefix/share/applications/tilmed32.desktop" ||
  fail "tilmed32.desktop without the types"
grep -q '^Exec=tilmed32 @%f' "$prefix/share/applications/tilmed32-project.desktop" || fail "projects do not open as projects"
grep -q '^MimeType=text/x-tilmor-source;' "$prefix/share/applications/tilmor.desktop" || fail "tilmor.desktop without the type"
grep -q '^MimeType=application/x-tilmor-program;' "$prefix/share/applications/tlmrun32.desktop" || fail "tlmrun32.desktop without the type"

# The installed programs run, and find the module where it was put.
cd "$work"
mkdir .windir
export TILMOR_WINDIR=$work/.windir QT_QPA_PLATFORM=offscreen
printf 'PRINT "ohne Fenster"\n' > plain.tmf
printf 'WAITKEY\nPRINT %%KEY\n' > key.tmf
printf 'type "a"\n' > key.script
[ "$("$prefix/bin/tilmor" --batch plain.tmf 2>&1)" = "ohne Fenster" ] || fail "installed tilmor does not run"
out=$("$prefix/bin/tilmor" --batch --script key.script key.tmf 2>&1)
[ "$out" = 97 ] || fail "installed tilmor cannot load the window system: $out"
"$prefix/bin/shtmcomp" --batch key.tmf >/dev/null 2>&1 || fail "installed shtmcomp does not compile"
out=$("$prefix/bin/tlmrun32" --batch --script key.script key.tmc 2>&1)
[ "$out" = 97 ] || fail "installed tlmrun32 cannot load the window system: $out"
cp "$here/../e2e/sound/chime.wav" .
printf 'PRINT @MCISEND$("open chime.wav alias c"); " "; @MCISEND$("status c length")\n' > sound.tmf
out=$("$prefix/bin/tilmor" --batch sound.tmf 2>&1)
[ "$out" = "1 250" ] || fail "installed tilmor cannot load the sound module: $out"

[ "$("$prefix/bin/tilmed32" --version)" = "tilmed32 (TILMOR for Linux) 5.0a-32" ] || fail "installed tilmed32 does not answer"

# A stand-alone program made from the installed runtime module runs
# elsewhere and finds the window-system module in the library directory.
printf 'PRINT "eigenständig"\nWAITKEY\nPRINT %%KEY\n' > alone.tmf
"$prefix/bin/shtmcomp" --batch alone.tmf >/dev/null 2>&1 || fail "installed shtmcomp does not compile"
mkdir elsewhere
/usr/bin/python3 - "$prefix/bin/tlmrun32" alone.tmc "$prefix/bin" elsewhere/alone <<'PY' || fail "cannot write the stand-alone program"
import struct, sys
runtime, program, moduledir, out = sys.argv[1:]
rt = open(runtime, 'rb').read()
prog = open(program, 'rb').read()
d = moduledir.encode()
trailer = b'TILMOR-PROGRAMM\0' + struct.pack('<QIIII', len(rt), len(prog), 0, len(d), 0)
open(out, 'wb').write(rt + prog + d + trailer)
PY
chmod +x elsewhere/alone
out=$(cd elsewhere && ./alone --batch --script ../key.script 2>&1)
[ "$out" = "$(printf 'eigenst\xc3\xa4ndig\n97')" ] || fail "the stand-alone program does not run: $out"

if [ "$fails" -gt 0 ]; then echo "$fails failed"; exit 1; fi
exit 0
