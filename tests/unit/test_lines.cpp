// The record loop's one-pass split against its definition: the next line, then its fields,
// on lines built to trip it (carriage returns, runs of separators, too many fields).
#include <string>

#include "files/lines.h"
#include "scratch_dir.h"

namespace {

std::string Numbers(int n, const char* sep) {
  std::string s;
  for (int k = 1; k <= n; ++k) s += std::to_string(k) + (k < n ? sep : "");
  return s;
}

// Both ways through the whole text must give the same lines, fields and line numbers.
void ExpectSameSplit(const std::string& text, char sep) {
  LineScan a = ScanLines(text.data(), text.size()), b = a;
  TextLine la, lb;
  Fields fa, fb;
  while (true) {
    bool more = NextLine(a, la);
    ASSERT_EQ(NextSplitLine(b, sep, lb, fb), more) << text;
    if (!more) break;
    (sep == '\t' ? SplitTabs : SplitSpaces)(la, fa);
    SCOPED_TRACE("line " + std::to_string(a.number) + " of \"" + text + "\" split at '" + sep + "'");
    EXPECT_EQ(a.number, b.number);
    EXPECT_TRUE(lb.begin == la.begin && lb.end == la.end && fb.lineEnd == fa.lineEnd);
    ASSERT_EQ(fb.count, fa.count);
    for (int k = 0; k < fa.count; ++k) EXPECT_TRUE(fb.start[k] == fa.start[k] && fb.stop[k] == fa.stop[k]) << k;
  }
  EXPECT_EQ(b.pos, a.pos);
}

TEST(Lines, OnePassSplitGivesTheLinesAndFieldsOfNextLineThenSplit) {
  const std::string kTexts[] = {
      "", "\n\n\n", "v\t1\t-3.00", "v\t1\t-3.00\r\n", "v\t1\t-3.00\r", "\r\r\n", "a\t\t\r\n",
      "\t\ta\t\tb\t\t\n", "  a  b  \r\n", " \r", "a\rb\tc\n", Numbers(16, "\t") + "\r\n", Numbers(17, "\t"),
      Numbers(20, "\t\t") + "\t\r\n", Numbers(15, "\t") + "\t\t\r", Numbers(16, " ") + " \r\n",
      Numbers(18, " ") + "\nnext line\n", std::string("nul\0inside\tfield\n", 18), "end\nafter\n",
  };
  for (const std::string& text : kTexts) {
    ExpectSameSplit(text, '\t');
    ExpectSameSplit(text, ' ');
  }
  // Both share the field cap, so check it outright: the last field keeps the rest.
  const std::string many = Numbers(18, "\t") + "\r\n";
  LineScan scan = ScanLines(many.data(), many.size());
  TextLine line;
  Fields f;
  ASSERT_TRUE(NextSplitLine(scan, '\t', line, f));
  ASSERT_EQ(f.count, kMaxFields);
  EXPECT_EQ(std::string(f.start[kMaxFields - 1], f.stop[kMaxFields - 1]), "16\t17\t18");
}

}  // namespace
