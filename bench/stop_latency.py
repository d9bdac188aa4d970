#!/usr/bin/env python3
"""Stop latency of halvane-usi: `go infinite` on real middlegame positions, `stop` after a random 0.2-1.5 s,
the time from writing stop to reading bestmove. usage: stop_latency.py BIN LEVEL STOPS"""
import random, subprocess, sys, time

SFENS = [
    "ln1g3nl/1r1s1kg2/p2pppspp/2p3p2/1p7/2P2PPP1/PPSPPS2P/2G4R1/LN2KG1NL b Bb 21",
    "lr4knl/3g2g2/p1nsppsp1/3b2p1p/Pppp1P1P1/2P1P1P1P/1PSP1SN2/2GK1G3/LN5RL b B 41",
    "ln4sn1/r1s1k2bl/1ppggpppp/pP1p5/9/4p1GPP/P1PPPPP1N/1BG3R2/LNS2KS1L b - 31",
    "l2g2s1l/2s1k1gb1/2npppnp1/p1p3R1p/5P3/PrP5P/3PP1P2/1BGK2S2/LNS2G1NL b 3Pp 41",
    "+L2g2s2/2s1k1gb1/2npp2pp/2p2pp2/5nL2/6P1L/1PNPP4/+pBGK2S2/2S2G1N1 b RL5Prp 71",
    "l6nl/1r4gk1/3sbgspp/2pp1pp2/pp1nS3P/2PS2PP1/PP1G1PN2/1KGB3R1/LN6L b P2p 51",
    "l6n1/1r4gk1/4b2p1/2ppspp1l/pp1nP4/2PS2PP1/PP1G1P3/1KGB3R1/LN7 b G2snl4p 71",
    "l5kn1/5l2p/1r5p1/2pBPpp1l/pp1p3N1/1sP3PP1/PKSg1P3/2R6/LN1S5 b GSNb2g4p 101",
]

binary, level, stops = sys.argv[1], sys.argv[2], int(sys.argv[3])
p = subprocess.Popen([binary], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)
def send(l):
    p.stdin.write(l + "\n"); p.stdin.flush()
def wait(prefix):
    while True:
        l = p.stdout.readline()
        if l.startswith(prefix): return l
send(f"setoption name Strength value {level}"); send("isready"); wait("readyok")
random.seed(1)
lat = []
for i in range(stops):
    send("position sfen " + SFENS[i % len(SFENS)])
    send("go infinite")
    time.sleep(random.uniform(0.2, 1.5))
    t0 = time.monotonic()
    send("stop")
    wait("bestmove")
    lat.append((time.monotonic() - t0) * 1000)
send("quit")
lat.sort()
print(f"{level}: {len(lat)} stops, median {lat[len(lat)//2]:.1f} ms, 90th {lat[int(len(lat)*0.9)]:.1f} ms, max {lat[-1]:.1f} ms")
