// The whole mate-problem corpus through the mate thread's search: prints how many mates are found and
// how many lengths equal the true ones, and names each disagreement with the solver rule behind it. Each
// position's SFEN text also goes there and back. Mating lines, as 詰み探索 and "go mate" show them, are
// recovered for a problem of each length.
#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/legality.h"
#include "mate_fixture.h"
#include "support/positions.h"
#include "think/mate_line.h"
#include "support/corpus.h"

using namespace halvane;
using namespace halvane::testing;

namespace {

struct CorpusRow {
  std::string sfen, plies, first_move, all_first_moves, kind;
};

std::vector<std::string> split_tabs(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) out.push_back(field);
  return out;
}

std::vector<CorpusRow> read_corpus() {
  std::vector<CorpusRow> rows;
  std::ifstream in(test_support::corpus_path("tsume/tsume.tsv"));
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    auto f = split_tabs(line);
    if (f.size() < 8) continue;
    rows.push_back({f[0], f[1], f[2], f[4], f[7]});
  }
  return rows;
}

// Whether the solver's own rules allow a mate of at most `len` plies: a ply limit of len + 1 proves one
// then, whatever length its bookkeeping reports.
bool mate_within(const std::string& sfen, int len) { return solve_mate(sfen, len + 1).best_len != NO_MATE_LEN; }

// The shortest mate the solver's rules allow, searching up to `most` plies; -1 when there is none.
int shortest_under_rules(const std::string& sfen, int most) {
  for (int len = 1; len <= most; len += 2)
    if (mate_within(sfen, len)) return len;
  return -1;
}

}  // namespace

// What must hold over the corpus: the solver never misses a mate that the rules allow within 11 plies
// (its defender is offered no more answers than the rules allow), the only way such a mate goes unreported
// is a pawn-drop mate in one kept at the root, and every reported move is a move of the attacker.
// Every row whose reported length differs from the true one is printed with the rule behind it.
TEST(MateCorpus, WholeCorpus) {
  HALVANE_SKIP_WITHOUT_CORPUS(test_support::corpus_path("tsume/tsume.tsv"));
  const auto rows = read_corpus();
  ASSERT_EQ(rows.size(), 100u) << "mate corpus missing or changed";
  int with_mate = 0, found = 0, equal = 0, bookkeeping = 0, futile = 0, pawn_drop = 0;
  for (const CorpusRow& row : rows) {
    SCOPED_TRACE(row.sfen);
    // The SFEN text reads, writes back the same, and turning twice is the identity.
    SfenPosition pos, again;
    std::string error;
    ASSERT_TRUE(parse_sfen(row.sfen, pos, error) && parse_sfen(format_sfen(pos), again, error)) << error;
    EXPECT_EQ(format_sfen(again), format_sfen(pos));
    again = pos;
    rotate_position(again);
    EXPECT_NE(again.side_to_move, pos.side_to_move);
    rotate_position(again);
    EXPECT_EQ(format_sfen(again), format_sfen(pos));
    const MateRun r = solve_mate(row.sfen);
    const bool true_mate = row.plies != "none";
    const int true_len = true_mate ? std::stoi(row.plies) : -1;
    with_mate += true_mate;
    found += r.found;
    if (row.kind == "pawn_drop_mate_only" && !true_mate) {
      EXPECT_FALSE(r.found) << "only a forbidden pawn-drop mate exists";
    }
    if (r.best_len != NO_MATE_LEN) {
      SfenPosition sp;
      MoveRecord move;
      ASSERT_TRUE(parse_sfen(row.sfen, sp, error));
      EXPECT_TRUE(parse_usi_move(r.move, sp, move, error)) << r.move << ": " << error;
    }
    if (r.found && r.len == true_len) {
      ++equal;
      continue;
    }
    std::string reason;
    if (!r.found && r.best_len != NO_MATE_LEN) {
      // The kept shortest root mate is a pawn dropped to mate at once, which the rules forbid.
      EXPECT_EQ(r.best_len, 1);
      EXPECT_EQ(r.move.substr(0, 2), "P*");
      reason = "the shortest root mate is the pawn-drop mate in one " + r.move + ", refused";
      ++pawn_drop;
    } else if (true_mate) {
      // The rules allow every defence the solver offers, so its rules never need more plies than the truth.
      EXPECT_TRUE(r.found) << "a mate the rules allow was missed";
      EXPECT_TRUE(mate_within(row.sfen, true_len)) << "a mate the rules allow was lengthened";
      if (true_len > 1 && mate_within(row.sfen, true_len - 2)) {
        reason = "futile interpositions: drops on cells the defender does not cover are never offered, so the "
                 "solver's rules allow a mate in " + std::to_string(shortest_under_rules(row.sfen, true_len - 2));
        ++futile;
      } else {
        reason = "length bookkeeping: the shortest mate under the solver's rules is " + std::to_string(true_len) +
                 " as true, but below the root the attacker keeps the first mate it proves and a defender node "
                 "the length of its last refuted answer";
        ++bookkeeping;
      }
    } else if (r.found) {
      reason = "futile interpositions: drops on cells the defender does not cover are never offered, so the "
               "solver's rules allow a mate in " + std::to_string(shortest_under_rules(row.sfen, MATE_DEPTH - 1));
      ++futile;
    } else {
      reason = "no mate under the solver's rules either";
    }
    std::printf("  %s\n    true %s, solver %s %s length %d: %s\n", row.sfen.c_str(), row.plies.c_str(),
                r.found ? "mate" : "no mate", r.move.c_str(), r.found ? r.len : r.best_len, reason.c_str());
  }
  std::printf("corpus: %d positions, %d with a mate within 11 plies; solver found %d mates, %d lengths equal to "
              "the true ones; disagreements: %d length bookkeeping, %d futile interpositions, %d pawn-drop "
              "mates in one refused\n",
              int(rows.size()), with_mate, found, equal, bookkeeping, futile, pawn_drop);
}

// The whole line of the first problem of each length: every move legal where it is played, every
// attacker's move a check, the defender left without a move at the end. No mate is proven where only a
// forbidden pawn-drop mate exists.
TEST(MateCorpus, MatingLinesAreLegalAndEndInMate) {
  HALVANE_SKIP_WITHOUT_CORPUS(test_support::corpus_path("tsume/tsume.tsv"));
  auto engine = make_engine();
  std::vector<std::string> lengths_seen;
  for (const CorpusRow& row : read_corpus()) {
    if (row.plies == "none" && row.kind != "pawn_drop_mate_only") continue;   // some are mates beyond the limit
    if (std::find(lengths_seen.begin(), lengths_seen.end(), row.plies) != lengths_seen.end()) continue;
    lengths_seen.push_back(row.plies);
    SCOPED_TRACE(row.sfen + " (" + row.plies + ")");
    SfenPosition pos = parse(row.sfen);
    const MateLine line = solve_mate_line(*engine, pos);
    EXPECT_FALSE(line.stopped || line.cut);
    if (row.plies == "none") {
      EXPECT_FALSE(line.found);
      continue;
    }
    ASSERT_TRUE(line.found);
    EXPECT_TRUE(line.mated);
    const int attacker = pos.side_to_move;
    for (const MoveRecord& move : line.moves) {
      const std::string usi = move_to_usi(move);
      ASSERT_EQ(judge_move(pos, move), MOVE_OK) << usi;
      apply_move(pos, move);
      if (pos.side_to_move != attacker) {
        EXPECT_TRUE(king_in_check(pos, pos.side_to_move)) << usi << " is no check";
      }
    }
    EXPECT_TRUE(legal_moves(pos).empty()) << "the line ends without mate";
    EXPECT_NE(pos.side_to_move, attacker);
  }
  EXPECT_GE(lengths_seen.size(), 6u) << "lengths 1 to 11 and none";
}
