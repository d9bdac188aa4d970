#!/usr/bin/env bash
# Each window program opens its window with its own strength in the title: the one entry point is
# compiled once per program, and this checks that each build hands its own strength on. Runs under a
# virtual X display (xvfb-run) and reads the titles with xdotool.
set -u
# Arguments: the programs' folder, then each level as name:word (karakuchi:辛口).
bin=$1
shift
status=0
# A settings folder of its own: a level chosen in a program's window on this machine must not change the
# title this checks.
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
for pair in "$@"; do
  program=halvane-${pair%%:*}
  expected="ハルベイン（${pair#*:}）"
  log=$(mktemp)
  "$bin/$program" 2>"$log" &
  pid=$!
  title=""
  for _ in $(seq 1 300); do   # up to a minute: a cold start builds font caches first
    title=$(xdotool search --onlyvisible --pid "$pid" --name 'ハルベイン' getwindowname 2>/dev/null | head -1)
    [ -n "$title" ] && break
    sleep 0.2
  done
  alive=no
  kill -0 "$pid" 2>/dev/null && alive=yes
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  if [ "$title" = "$expected" ]; then
    echo "$program: $title"
  else
    echo "$program: window title '$title', expected '$expected' (still running: $alive)" >&2
    sed 's/^/  /' "$log" >&2
    status=1
  fi
  rm -f "$log"
done
exit $status
