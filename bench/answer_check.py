#!/usr/bin/env python3
"""One answer per go, checked from outside: halvane-usi is sent go after go and, the instant each answer
arrives, the next position and isready; an answer line between the answer and readyok is a duplicate.

usage: answer_check.py BIN GOES [LEVEL [BYOYOMI_MS,...]]
Runs GOES gos on late middlegames at byoyomi 100, 300 and 1000 ms (or those given), some stopped at once, some go mate, with
USI_Ponder on; prints the count of gos, answers, duplicates, missing answers, and how many bestmoves
carried a ponder move at each byoyomi.
"""
import random, subprocess, sys, time

POSITIONS = [
    "+L5s2/2+R1S1gb1/2npp1kpp/2p2pp2/9/2n2PP1L/1PNPP4/1SG1G2+r1/2KN5 b G6Pbs2l 101",
    "l4Gbn1/6gkp/1r5p1/2p1Ppp1l/pp1p3N1/2P2BPP1/PP1G1P3/1KG4R1/LN1s5 b S2snl3p 81",
    "+L2g2s2/R1s1k1gb1/2npp2pp/2p2pp2/9/2n2PP1L/1PNPP1S2/1SG1G4/2K3+r2 b BN6P2l 91",
    "l6nl/1r4gk1/3Sbs1ps/2ppgpp2/pp1n4P/2PS2PP1/PP1G1P3/1KGB3R1/LN6L b Pn3p 61",
]
MATE = "9/4k4/9/4P4/9/9/9/9/9 b 2G 1"


def main():
    binary, goes = sys.argv[1], int(sys.argv[2])
    level = sys.argv[3] if len(sys.argv) > 3 else "chuukara"
    byoyomis = [int(b) for b in sys.argv[4].split(",")] if len(sys.argv) > 4 else [100, 300, 1000]
    p = subprocess.Popen([binary], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)

    def send(line):
        p.stdin.write(line + "\n")
        p.stdin.flush()

    def until(*prefixes):
        seen = []
        while True:
            line = p.stdout.readline()
            if not line:
                sys.exit("halvane-usi ended")
            line = line.strip()
            seen.append(line)
            if line.startswith(prefixes):
                return line, seen

    send(f"setoption name Strength value {level}")
    send("setoption name USI_Ponder value true")
    send("isready")
    until("readyok")
    rng = random.Random(22)
    answers = duplicates = 0
    ponder = {}
    for n in range(goes):
        kind = rng.random()
        if kind < 0.1:
            send(f"position sfen {MATE}")
            send("go mate 5000")
            want = "checkmate"
        else:
            byoyomi = rng.choice(byoyomis)
            send(f"position sfen {rng.choice(POSITIONS)}")
            send(f"go btime 0 wtime 0 byoyomi {byoyomi}")
            if kind < 0.25:
                send("stop")
            want = "bestmove"
        line, _ = until("bestmove", "checkmate")
        if line.startswith(want):
            answers += 1
        if want == "bestmove" and kind >= 0.25:
            got = ponder.setdefault(byoyomi, [0, 0])
            got[0] += " ponder " in line
            got[1] += 1
        if want == "checkmate" and not line.startswith("checkmate G*5c"):
            print("wrong mate answer:", line)
        send(f"position sfen {rng.choice(POSITIONS)}")
        send("isready")
        _, seen = until("readyok")
        duplicates += sum(1 for l in seen if l.startswith(("bestmove", "checkmate")))
    send("quit")
    p.wait()
    print(f"goes {goes} answers {answers} duplicates {duplicates} missing {goes - answers}")
    for byoyomi, (got, of) in sorted(ponder.items()):
        print(f"byoyomi {byoyomi}: ponder move on {got} of {of} clocked answers")


main()
