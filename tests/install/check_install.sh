#!/usr/bin/env bash
# Installs the build tree into a temporary prefix, checks every file a desktop installation needs, and
# starts the installed strongest program from an unrelated directory: it must find its pictures there.
set -u
build=$1
shift
strengths=("$@")   # the strength levels' names, weakest first
prefix=$(mktemp -d)
elsewhere=$(mktemp -d)
trap 'rm -rf "$prefix" "$elsewhere"' EXIT
failures=0
check() {   # check "what" command...
  local what=$1; shift
  if "$@" >/dev/null 2>&1; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAILED: cmake --install"; exit 1; }

for program in "${strengths[@]/#/halvane-}" halvane-usi halvane-kif; do
  check "bin/$program" test -x "$prefix/bin/$program"
done
check "share/halvane/wallpaper.jpg" test -s "$prefix/share/halvane/wallpaper.jpg"
for name in hu kyo kei gin kin kaku hi gyoku tokin nkyo nkei ngin uma ryu; do
  for side in 1 2; do check "koma/$name$side.gif" test -s "$prefix/share/halvane/koma/$name$side.gif"; done
done
for strength in "${strengths[@]}"; do
  desktop="$prefix/share/applications/halvane-$strength.desktop"
  check "halvane-$strength.desktop" test -s "$desktop"
  check "halvane-$strength.desktop is valid" desktop-file-validate "$desktop"
  check "halvane-$strength.desktop starts halvane-$strength" grep -qx "Exec=halvane-$strength" "$desktop"
done
for size in 16 32 48 64 128 256; do
  check "hicolor ${size}x${size} icon" test -s "$prefix/share/icons/hicolor/${size}x${size}/apps/halvane.png"
done
for page in halvane halvane-usi halvane-kif; do check "man page $page.6" test -s "$prefix/share/man/man6/$page.6"; done

# The installed engine answers the protocol.
answer=$(printf 'usi\nquit\n' | timeout 20 "$prefix/bin/halvane-usi")
check "installed halvane-usi says usiok" grep -q '^usiok' <<<"$answer"

# Runs a window program offscreen from $elsewhere for a few seconds, then closes it with SIGTERM; its
# standard error goes to the file named, and its exit code is the function's.
run_briefly() {
  local program=$1 errors=$2 pid
  (cd "$elsewhere" && QT_QPA_PLATFORM=offscreen HOME="$elsewhere" exec "$program" 2>"$errors") &
  pid=$!
  sleep 3
  kill -TERM "$pid" 2>/dev/null
  wait "$pid"
}

# The installed window program, started from elsewhere, opens without a missing-picture complaint and
# closes with exit code 0 on SIGTERM.
run_briefly "$prefix/bin/halvane-gekikara" "$elsewhere/stderr.txt"
check "installed halvane-gekikara exits with 0" test $? -eq 0
if grep -q 'missing pictures' "$elsewhere/stderr.txt"; then
  echo "FAILED: the installed program did not find its pictures:"; cat "$elsewhere/stderr.txt"
  failures=$((failures + 1))
else
  echo "ok: the installed program found its pictures from $elsewhere"
fi
# And the same program without any pictures says so.
mkdir -p "$elsewhere/bare/bin" && cp "$prefix/bin/halvane-gekikara" "$elsewhere/bare/bin/"
run_briefly "$elsewhere/bare/bin/halvane-gekikara" "$elsewhere/bare.txt"
check "a program without pictures exits with 0" test $? -eq 0
check "a program without pictures says which are missing" grep -q "missing pictures: wallpaper.jpg 28 of the 28" "$elsewhere/bare.txt"

echo "$failures failed"
exit $((failures > 0))
