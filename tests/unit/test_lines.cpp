// The record loop's one-pass split against its definition: the next line, then its fields,
// on lines built to trip it (carriage returns, runs of separators, too many fields).
#include <string>

#include "files/lines.h"
#include "scratch_dir.h"

namespace {

std::string Fields16Plus(int n, const char* sep) {
  std::string s;
  for (int k = 1; k <= n; ++k) s += std::to_string(k) + (k < n ? sep : "");
  return s;
}

// Both ways through the whole text must give the same lines, fields and line numbers.
void ExpectSameSplit(const std::string& text, char sep) {
  LineScan a = ScanLines(text.data(), text.size());
  LineScan b = a;
  TextLine la, lb;
  Fields fa, fb;
  while (true) {
    bool more = NextLine(a, la);
    ASSERT_EQ(NextSplitLine(b, sep, lb, fb), more) << text;
    if (!more) break;
    (sep == '\t' ? SplitTabs : SplitSpaces)(la, fa);
    SCOPED_TRACE("line " + std::to_string(a.number) + " of \"" + text + "\"");
    EXPECT_EQ(a.number, b.number);
    EXPECT_EQ(lb.begin, la.begin);
    EXPECT_EQ(lb.end, la.end);
    EXPECT_EQ(fb.lineEnd, fa.lineEnd);
    ASSERT_EQ(fb.count, fa.count);
    for (int k = 0; k < fa.count; ++k) {
      EXPECT_EQ(fb.start[k], fa.start[k]) << "field " << k;
      EXPECT_EQ(fb.stop[k], fa.stop[k]) << "field " << k;
    }
  }
  EXPECT_EQ(b.pos, a.pos);
}

TEST(Lines, OnePassSplitGivesTheLinesAndFieldsOfNextLineThenSplit) {
  const std::string kTexts[] = {
      "", "\n", "\n\n\n", "v\t1\t-3.00\n", "v\t1\t-3.00", "v\t1\t-3.00\r\n", "v\t1\t-3.00\r",
      "\r\n", "\r", "\r\r\n", "a\r\r\n", "a\t\r\n", "a\t\t\r\n", "\t\ta\t\tb\t\t\n", "\t\r\n",
      "a b\tc d\n", "  a  b  \r\n", "a \r\n", " \r", "a\rb\tc\n", "cue\tname with\ttabs\r\n",
      Fields16Plus(15, "\t") + "\r\n", Fields16Plus(16, "\t") + "\r\n", Fields16Plus(17, "\t"),
      Fields16Plus(20, "\t\t") + "\t\r\n", Fields16Plus(15, "\t") + "\t\r\n", Fields16Plus(15, "\t") + "\t\t\r",
      Fields16Plus(16, " ") + " \r\n", Fields16Plus(18, " ") + "\nnext line\n",
      std::string("nul\0inside\tfield\n", 18), "end\nafter\n",
  };
  for (const std::string& text : kTexts) {
    ExpectSameSplit(text, '\t');
    ExpectSameSplit(text, ' ');
  }
}

TEST(Lines, RecordLoopSkipsBlankLinesStopsAtEndAndNumbersLines) {
  const std::string text = "first\r\n\n\t\t\r\nsecond\tx\r\nend\r\nafter\n";
  LineScan scan = ScanLines(text.c_str());
  std::vector<std::pair<int, std::string>> seen;
  bool ended = ForEachRecord(scan, [&seen](const Record& r) {
    seen.emplace_back(r.number, std::string(r.fields.start[r.fields.count - 1], r.fields.stop[r.fields.count - 1]));
  });
  EXPECT_TRUE(ended);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::make_pair(1, std::string("first")));
  EXPECT_EQ(seen[1], std::make_pair(4, std::string("x")));
}

}  // namespace
