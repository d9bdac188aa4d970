// "bench": every bench position thought at the current strength with a fixed random seed, with the time,
// nodes and move of each and the totals. With the seed fixed, the node counts repeat from run to run
// wherever the mate thread finds nothing (its own count depends on when the search stops it).
// "bench games [N]": the same on the first N (default all) positions from real games, with the median and
// 90th percentile of the time and nodes besides the totals. Either runs as a job on the worker thread, so
// "isready" is answered while it runs and "stop" ends it between two of its searches or inside one.
#include "usi/bench.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

#include "think/strength.h"
#include "usi/think_answer.h"
#include "usi/usi_session.h"

namespace halvane {

const char* const BENCH_POSITION_TEXT[BENCH_POSITIONS] = {
    "startpos",
    "startpos moves 7g7f 3c3d 2g2f 4c4d 2f2e 2b3c 3i4h 3a3b 5i6h 8b4b 6h7h 5a6b 4i5h",
    "startpos moves 7g7f 3c3d 8h2b+ 3a2b 2g2f 8c8d 3i3h 8d8e 2f2e 4a3b 7i7h 7a6b",
    "sfen ln1g3nl/1r1s1kg2/p1ppppsp1/1p4p1p/7P1/2P3P2/PPSPPP2P/2G1K2R1/LN3GSNL b Bb 1",
    "sfen 4k4/9/4P4/9/9/9/9/9/4K4 b G 1",
};

const char* const GAME_BENCH_SFEN[GAME_BENCH_POSITIONS] = {
    // A title match, plies 10 to 50.
    "lnsgk1snl/1r4g2/p1pppp1pp/6p2/1p7/2P4P1/PP+bPPPP1P/2GS3R1/LN2KGSNL b b 11",
    "ln1g3nl/1r1s1kg2/p2pppspp/2p3p2/1p7/2P2PPP1/PPSPPS2P/2G4R1/LN2KG1NL b Bb 21",
    "l6nl/1r1g1kg2/p1nsppsp1/2pp2p1p/1p5P1/2P2PP1P/PPSPPSN2/2GK1G1R1/LN6L b Bb 31",
    "lr4knl/3g2g2/p1nsppsp1/3b2p1p/Pppp1P1P1/2P1P1P1P/1PSP1SN2/2GK1G3/LN5RL b B 41",
    "lr4knl/3g2g2/p1ns1psp1/3bp3p/PpPp1PpP1/2S1P3P/1PGPBSN2/3K1G3/LN5RL b 2p 51",
    // An amateur game, plies 10 to 50.
    "lns1kgsn1/r2g3bl/ppp2pppp/3pp4/9/1P7/P1PPPPPPP/1B4G1R/LNSGK1SNL b - 11",
    "lns2ksn1/r4g1bl/pppg1pppp/3p5/1P2p4/6GP1/P1PPPPP1P/1B6R/LNSG1KSNL b - 21",
    "ln4sn1/r1s1k2bl/1ppggpppp/pP1p5/9/4p1GPP/P1PPPPP1N/1BG3R2/LNS2KS1L b - 31",
    "ln3k1n1/1r3s1bl/1spggpppp/p2p5/9/2PP2GPP/P1B1pPP1N/2G3R1L/LNS2KS2 b P2p 41",
    "1n4kn1/1r3s1bl/lsp1gpp1p/pp1pg2p1/7P1/2PP1PG1P/P1B1p1P1N/2G3R1L/LNS1K1S2 b Pp 51",
    // A title match, plies 10 to 100.
    "ln1gk1snl/1rs3gb1/2ppppppp/p8/1p5P1/P8/1PPPPPP1P/1BG3SR1/LNS1KG1NL b - 11",
    "ln1g2snl/1rs1k1gb1/2pppp1p1/p5p1p/1p7/P6RP/1PPPPPP2/1BGK2S2/LNS2G1NL b P 21",
    "ln1g2snl/2s1k1gb1/2pppp1p1/pr4p1p/9/P1P4RP/1P1PPPP2/1BGK2S2/LNS2G1NL b Pp 31",
    "l2g2s1l/2s1k1gb1/2npppnp1/p1p3R1p/5P3/PrP5P/3PP1P2/1BGK2S2/LNS2G1NL b 3Pp 41",
    "l2g2s2/2s1k1gb1/2npp1npl/2p2pR2/9/p1r6/1P1PP1P2/1BGK2S2/LNS2G1NL b 3P5p 51",
    "+L2g2s2/2s1k1gb1/2npp1np1/2p2p2R/9/2r6/1P1PP1P2/+pBGK2S2/1NS2G1NL b 2L4P4p 61",
    "+L2g2s2/2s1k1gb1/2npp2pp/2p2pp2/5nL2/6P1L/1PNPP4/+pBGK2S2/2S2G1N1 b RL5Prp 71",
    "+L2g2s2/R1s1k1gb1/2npp2pp/2p2pp2/9/5PP1L/1PNPP1+n2/1SGK2S2/5G3 b 2L6Prbn 81",
    "+L2g2s2/R1s1k1gb1/2npp2pp/2p2pp2/9/2n2PP1L/1PNPP1S2/1SG1G4/2K3+r2 b BN6P2l 91",
    "+L5s2/2+R1S1gb1/2npp1kpp/2p2pp2/9/2n2PP1L/1PNPP4/1SG1G2+r1/2KN5 b G6Pbs2l 101",
    // A professional game, plies 10 to 110 but 90, where even the lightest level searches for minutes.
    "ln1gkg1nl/1r1s1s1b1/p1pp1p1pp/1p2p1p2/9/2P4P1/PPSPPPP1P/1B3S1R1/LN1GKG1NL b - 11",
    "ln3kbnl/1r1sg1g2/p1pp1pspp/1p2p1p2/9/2P1P1PP1/PPSP1P2P/1BG1GS1R1/LN1K3NL b - 21",
    "ln4knl/1r1s2g2/p2p1gspp/1ppbppp2/9/2PPP1PP1/PPSG1PS1P/2GB3R1/LN1K3NL b - 31",
    "l6nl/1r1s2gk1/2npbgspp/1pp1ppp2/p2P4P/2P1P1PP1/PPSG1PS2/1KGB3R1/LN5NL b - 41",
    "l6nl/1r4gk1/3sbgspp/2pp1pp2/pp1nS3P/2PS2PP1/PP1G1PN2/1KGB3R1/LN6L b P2p 51",
    "l6nl/1r4gk1/3Sbs1ps/2ppgpp2/pp1n4P/2PS2PP1/PP1G1P3/1KGB3R1/LN6L b Pn3p 61",
    "l6n1/1r4gk1/4b2p1/2ppspp1l/pp1nP4/2PS2PP1/PP1G1P3/1KGB3R1/LN7 b G2snl4p 71",
    "l4Gbn1/6gkp/1r5p1/2p1Ppp1l/pp1p3N1/2P2BPP1/PP1G1P3/1KG4R1/LN1s5 b S2snl3p 81",
    "l5kn1/5l2p/1r5p1/2pBPpp1l/pp1p3N1/1sP3PP1/PKSg1P3/2R6/LN1S5 b GSNb2g4p 101",
    "l5kn1/5l2p/7p1/b1pbPpp1l/pKNp3N1/2P3PP1/P2g1P3/2R6/LN1S5 b RG2S2P2gs3p 111",
};

namespace {

struct BenchFigure {
  long long ms;
  uint64_t nodes;
  uint64_t search_nodes;   // the main search's and the reply checks'
  // A mate on the board: the mate thread and the search race for it, so the search's nodes depend on
  // which is first (a busy machine may hold the mate thread back until the search has ended).
  bool mate_race;
  std::string move;
};

// What became of one bench position.
enum class BenchOutcome { DONE, REFUSED, STOPPED };

// Thinks on one position with the fixed seed and writes its line. A think cut by "stop" writes nothing:
// its figures would be those of part of a search.
BenchOutcome bench_one(UsiSession& s, int number, const std::string& position, BenchFigure& figure) {
  Engine& e = *s.engine;
  GamePosition game;
  std::string error;
  if (!parse_position_command(e, position, game, error)) {
    usi_write(s, "info string bench position " + std::to_string(number) + " refused: " + error);
    return BenchOutcome::REFUSED;
  }
  // A stop that came before the clear is seen here; one after it reaches the think.
  clear_stop(e);
  if (usi_stop_seen(s)) return BenchOutcome::STOPPED;
  ThinkRequest options;
  options.fixed_seed = true;
  options.seed = BENCH_SEED;
  const ThinkAnswer a = answer_think(e, game, options);
  if (a.stopped) return BenchOutcome::STOPPED;
  figure = {a.ms, a.nodes, a.nodes - a.mate_nodes, a.mate_used || score_words(a.score).find("mate") != std::string::npos,
            a.resign ? std::string("resign") : move_to_usi(a.move)};
  usi_write(s, "bench " + std::to_string(number) + ": time " + std::to_string(a.ms) + " ms, nodes " +
                   std::to_string(a.nodes) + " (search " + std::to_string(a.nodes - a.mate_nodes) +
                   ", mate thread " + std::to_string(a.mate_nodes) + "), move " +
                   (a.resign ? std::string("resign") : move_to_usi(a.move)) + ", " + score_words(a.score));
  return BenchOutcome::DONE;
}

// Thinks on each position in turn; false when "stop" ended the run (after saying so).
bool bench_all(UsiSession& s, const std::vector<std::string>& positions, std::vector<BenchFigure>& figures) {
  for (size_t i = 0; i < positions.size(); ++i) {
    BenchFigure f;
    const BenchOutcome outcome = bench_one(s, static_cast<int>(i) + 1, positions[i], f);
    if (outcome == BenchOutcome::STOPPED) {
      usi_write(s, "info string bench stopped: " + std::to_string(i) + " of " + std::to_string(positions.size()) +
                       " positions thought, no totals");
      return false;
    }
    if (outcome == BenchOutcome::DONE) figures.push_back(f);
  }
  return true;
}

std::string total_line(const std::vector<BenchFigure>& figures) {
  long long total_ms = 0;
  uint64_t total_nodes = 0;
  for (const BenchFigure& f : figures) {
    total_ms += f.ms;
    total_nodes += f.nodes;
  }
  const long long nps = total_ms > 0 ? static_cast<long long>(total_nodes * 1000 / total_ms) : 0;
  return "bench total: time " + std::to_string(total_ms) + " ms, nodes " + std::to_string(total_nodes) +
         ", nps " + std::to_string(nps);
}

// The signature: the search's nodes wherever they repeat (no mate on the board, so the mate thread never
// ended the search at a moment of its own) and every move. Any change to the search's behaviour shows.
std::string signature_line(const Strength& level, const std::vector<BenchFigure>& figures) {
  uint64_t nodes = 0;
  std::string moves;
  for (const BenchFigure& f : figures) {
    if (!f.mate_race) nodes += f.search_nodes;
    moves += (moves.empty() ? "" : ",") + f.move;
  }
  return "bench signature: " + std::string(level.name) + " nodes " + std::to_string(nodes) + " moves " + moves;
}

// The value at fraction q of the sorted values (nearest rank: the smallest value with at least q of them
// at or below it).
template <class T>
T quantile(std::vector<T> values, double q) {
  std::sort(values.begin(), values.end());
  size_t rank = static_cast<size_t>(q * static_cast<double>(values.size()) + 0.999999);
  rank = std::clamp<size_t>(rank, 1, values.size());
  return values[rank - 1];
}

std::string spread_line(const char* what, double q, const std::vector<BenchFigure>& figures) {
  std::vector<long long> ms;
  std::vector<uint64_t> nodes;
  for (const BenchFigure& f : figures) {
    ms.push_back(f.ms);
    nodes.push_back(f.nodes);
  }
  return std::string("bench ") + what + ": time " + std::to_string(quantile(ms, q)) + " ms, nodes " +
         std::to_string(quantile(nodes, q));
}

void run_game_bench(UsiSession& s, int count) {
  const Strength& level = *STRENGTHS[s.strength];
  usi_write(s, std::string("bench games: Halvane ") + level.word_utf8 + " (" + level.name + "), " +
                   std::to_string(count) + " of " + std::to_string(GAME_BENCH_POSITIONS) + " positions");
  std::vector<std::string> positions;
  for (int i = 0; i < count; ++i) positions.push_back(std::string("sfen ") + GAME_BENCH_SFEN[i]);
  std::vector<BenchFigure> figures;
  if (!bench_all(s, positions, figures) || figures.empty()) return;
  usi_write(s, spread_line("median", 0.5, figures));
  usi_write(s, spread_line("90th percentile", 0.9, figures));
  usi_write(s, total_line(figures));
}

}  // namespace

void run_bench(UsiSession& s, std::string_view args) {
  const std::string_view set = next_word(args);
  if (set == "games") {
    const std::string_view n = next_word(args);
    int count = GAME_BENCH_POSITIONS;
    if (!n.empty()) {
      const auto [end, ec] = std::from_chars(n.data(), n.data() + n.size(), count);
      if (ec != std::errc() || end != n.data() + n.size() || count < 1) {
        usi_write(s, "info string bench games wants a count of positions, not '" + std::string(n) + "'");
        return;
      }
      count = std::min(count, GAME_BENCH_POSITIONS);
    }
    run_game_bench(s, count);
    return;
  }
  if (!set.empty()) {
    usi_write(s, "info string unknown bench set '" + std::string(set) + "'; use bench or bench games [N]");
    return;
  }
  const Strength& level = *STRENGTHS[s.strength];
  usi_write(s, std::string("bench: Halvane ") + level.word_utf8 + " (" + level.name + "), " +
                   std::to_string(BENCH_POSITIONS) + " positions");
  const std::vector<std::string> positions(BENCH_POSITION_TEXT, BENCH_POSITION_TEXT + BENCH_POSITIONS);
  std::vector<BenchFigure> figures;
  if (!bench_all(s, positions, figures)) return;
  usi_write(s, signature_line(level, figures));
  usi_write(s, total_line(figures));
}

}  // namespace halvane
