#!/usr/bin/env python3
"""A small USI referee: two halvane-usi processes play games from the initial position under a byoyomi.

usage: referee.py BIN LEVEL_A LEVEL_B GAMES BYOYOMI_MS OUT_PREFIX
LEVEL_A plays sente in even games, gote in odd ones. A move later than the byoyomi (measured from the
go line written to the bestmove line read) loses on time. Draw at 4-fold repetition or 320 plies.
Prints one line per game and a summary; writes each game's moves and per-move times to OUT_PREFIX.log.
"""
import subprocess, sys, time

FILES = "987654321"


class Board:
    def __init__(self):
        rows = ["lnsgkgsnl", ".r.....b.", "ppppppppp", ".........", ".........", ".........",
                "PPPPPPPPP", ".B.....R.", "LNSGKGSNL"]
        self.sq = {}
        for r, row in enumerate(rows):
            for f, ch in enumerate(row):
                if ch != ".":
                    self.sq[(9 - f, r + 1)] = ch
        self.hands = {"b": {}, "w": {}}
        self.side = "b"

    def key(self):
        return (tuple(sorted(self.sq.items())), tuple(sorted(self.hands["b"].items())),
                tuple(sorted(self.hands["w"].items())), self.side)

    def play(self, mv):
        def at(s):
            return (int(s[0]), ord(s[1]) - ord("a") + 1)
        if mv[1] == "*":
            p = mv[0] if self.side == "b" else mv[0].lower()
            self.hands[self.side][mv[0]] -= 1
            self.sq[at(mv[2:4])] = p
        else:
            fr, to = at(mv[0:2]), at(mv[2:4])
            p = self.sq.pop(fr)
            cap = self.sq.get(to)
            if cap:
                k = cap.replace("+", "").upper()
                self.hands[self.side][k] = self.hands[self.side].get(k, 0) + 1
            if mv.endswith("+"):
                p = "+" + p
            self.sq[to] = p
        self.side = "w" if self.side == "b" else "b"


class Engine:
    def __init__(self, binary, level):
        self.p = subprocess.Popen([binary], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)
        self.send(f"setoption name Strength value {level}")
        self.send("isready")
        self.wait("readyok")

    def send(self, line):
        self.p.stdin.write(line + "\n")
        self.p.stdin.flush()

    def wait(self, prefix):
        while True:
            line = self.p.stdout.readline()
            if not line:
                raise RuntimeError("engine exited")
            if line.startswith(prefix):
                return line.strip()

    def close(self):
        try:
            self.send("quit")
            self.p.wait(timeout=10)
        except Exception:
            self.p.kill()


def play_game(binary, sente_level, gote_level, byoyomi, log):
    engines = {"b": Engine(binary, sente_level), "w": Engine(binary, gote_level)}
    board, moves, seen = Board(), [], {}
    result, reason, times = None, "", []
    try:
        for e in engines.values():
            e.send("usinewgame")
        while True:
            e = engines[board.side]
            e.send("position startpos" + (" moves " + " ".join(moves) if moves else ""))
            t0 = time.monotonic()
            e.send(f"go btime 0 wtime 0 byoyomi {byoyomi}")
            line = e.wait("bestmove")
            ms = (time.monotonic() - t0) * 1000
            times.append((board.side, ms))
            mv = line.split()[1]
            if ms > byoyomi:
                result, reason = ("w" if board.side == "b" else "b"), f"time {ms:.0f} ms"
                break
            if mv in ("resign", "win"):
                result, reason = ("w" if board.side == "b" else "b"), "resign"
                break
            board.play(mv)
            moves.append(mv)
            k = board.key()
            seen[k] = seen.get(k, 0) + 1
            if seen[k] >= 4:
                result, reason = "d", "repetition"
                break
            if len(moves) >= 320:
                result, reason = "d", "320 plies"
                break
    finally:
        for e in engines.values():
            e.close()
    log.write(f"{sente_level} vs {gote_level}: {result} {reason} plies {len(moves)}\n")
    log.write("moves " + " ".join(moves) + "\n")
    log.write("times " + " ".join(f"{s}{ms:.0f}" for s, ms in times) + "\n")
    log.flush()
    return result, reason, len(moves), times


def main():
    binary, a, b, games, byoyomi, out = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5]), sys.argv[6]
    score = {"win": 0, "loss": 0, "draw": 0}
    all_times = {a: [], b: []}
    with open(out + ".log", "w") as log:
        for g in range(games):
            sente, gote = (a, b) if g % 2 == 0 else (b, a)
            r, reason, plies, times = play_game(binary, sente, gote, byoyomi, log)
            a_side = "b" if sente == a else "w"
            for s, ms in times:
                all_times[a if s == a_side else b].append(ms)
            outcome = "draw" if r == "d" else ("win" if r == a_side else "loss")
            score[outcome] += 1
            print(f"game {g + 1}: {sente} (sente) vs {gote}: {a} {outcome} by {reason}, {plies} plies", flush=True)
    for lv, ts in all_times.items():
        ts.sort()
        if ts:
            print(f"{lv}: {len(ts)} moves, median {ts[len(ts) // 2]:.0f} ms, max {ts[-1]:.0f} ms", flush=True)
    print(f"{a} vs {b}: {score['win']} wins, {score['loss']} losses, {score['draw']} draws", flush=True)


if __name__ == "__main__":
    main()
