// The settings file read back: what the window writes, and what Qt's settings store wrote before, reads
// as written; any value other than those written means that setting's default.
#include <gtest/gtest.h>

#include "app/settings_file.h"

using namespace halvane;

namespace {

TEST(SettingsFile, ValuesOtherThanThoseWrittenMeanTheDefault) {
  Settings chosen = {0,     false, true, "/home/棋士/my \"records\", 2024\\old", false, {-1, 0, 2},
                     {true, {{600000, 30000, 0}, {0, 10000, 0}}}},
           defaults;
  UsiOption hash{"Hash", OPTION_SPIN, "16", 1, 1024, {}, "256"};
  chosen.engines.engines[0].options.push_back({"Strength", OPTION_COMBO, "gekikara", 0, 0, {"chuukara", "gekikara"}, "chuukara"});
  register_engine(chosen.engines, {"/usr/games/fairy-stockfish", "Fairy-Stockfish 14", {hash}});
  chosen.engines.analyst = 1;
  chosen.mate_search_seconds = 600;
  Settings analyst_only = defaults;
  register_engine(analyst_only.engines, {"/opt/engine two", "二", {}});
  Settings fischer;
  fischer.clock = {false, {{60000, 0, 2000}, {60000, 0, 2000}}};
  const struct {
    const char* what;
    std::string text;
    Settings expected;
  } rows[] = {
      {"written", format_settings(chosen), chosen},
      {"as Qt wrote it", "[kif_files]\nfolder=/k\n\n[play]\nallow_illegal=true\n\n[think]\nahead=false\nlimit_ms=0\n",
       {0, false, true, "/k"}},
      {"CR LF and blanks", "[think]\r\n limit_ms = 10000 \r\n", {10000, true, false, ""}},
      {"bad values", "[kif_files]\nfolder=a,b\n[play]\nallow_illegal=2\n[think]\nahead=maybe\nlimit_ms=-5000\n", defaults},
      {"huge limit", "[think]\nlimit_ms=99999999999\n", defaults},
      {"a limit not offered, half a number", "[think]\nlimit_ms=12345\nlimit_ms=5000ms\n", defaults},
      {"keys in another section, an open quote", "[play]\nlimit_ms=0\nahead=false\n[kif_files]\nfolder=\"/k\n", defaults},
      {"levels", "[strength]\nchuukara=karakuchi\ngekikara=chuukara\n", {30000, true, false, "", true, {1, -1, 0}}},
      {"a level no program has, a program none is", "[strength]\nkarakuchi=amakuchi\nhalvane=gekikara\n", defaults},
      {"binary junk", std::string("\0\xff[think\n=\n", 11), defaults},
      {"engines: a damaged line, another own path, an analyst beyond the list",
       "[engines]\nanalyst=7\nengine=usi-engine 1 relative x 0\nengine=" + format_registered_engine({"/opt/engine two", "二", {}}) +
           "\nown=" + format_registered_engine({"/elsewhere/halvane-usi", "ハルベイン", {}}) + "\n",
       analyst_only},
      {"a folder no line can hold", format_settings({30000, true, false, "/two\nlines"}), defaults},
      {"a time control, なし keeping the times last chosen", format_settings(fischer), fischer},
      {"詰み探索's time, then times beyond those offered", "[study]\nmate_search_seconds=60\nmate_search_seconds=0\n"
       "mate_search_seconds=601\nmate_search_seconds=9s\n", [] { Settings s; s.mate_search_seconds = 60; return s; }()},
      {"times beyond those offered, half a control", "[clock]\nlimited=true\nblack=10860000,0,0\nwhite=60000,61000,0\n"
       "black=60000,1000\nwhite=1,2,3,4\n", [] { Settings s; s.clock.limited = true; return s; }()},
  };
  for (const auto& row : rows) EXPECT_TRUE(parse_settings(row.text) == row.expected) << row.what;
}

}  // namespace
