// The fast number paths against the C library they stand in for: reading as strtod/strtol
// on a 63-byte copy, writing as snprintf with the same format, on values chosen to trip them.
#include <cfloat>
#include <random>

#include "number_checks.h"
#include "scratch_dir.h"

namespace {

using namespace std::string_literals;

TEST(NumberText, TextNumAndTextIntReadAsTheCLibraryOnTheBoundedCopy) {
  // Bytes with a length, NULs and all, as the readers get them.
  const std::string kTexts[] = {
      "-12.25", "-0", "-0.00", "12000", "127", "123456789012345", "12345678901234.5",
      "9007199254740993", "0.30000000000000004", "000000000000000000001.5", "1.", "\t7",
      "+.5", "-.5", "0x1A", "0x1.8p1", "1e5", "1e+", "1e400", "4.9e-324",
      "3.4028236e38", "-inf", "infinity", "-nan", "nan(123)", "12abc", "12\r",
      "1\0" "5"s, "-", "", ".", "3.9", "2147483648", "-2147483649",
      "99999999999999999999", "1000000000000000000000000000000000000000000000000000000000000000000000",
      "                                                                 5",
  };
  for (const std::string& t : kTexts) EXPECT_TRUE(ReadsAsCLibrary(t.data(), t.size())) << '"' << t << '"';
  // Only the first len bytes count, whatever follows them.
  EXPECT_EQ(TextNum("12.75", 2), 12.0);
  EXPECT_EQ(TextNum("1e5", 1), 1.0);
  EXPECT_EQ(TextInt("1234", 2), 12);
}

TEST(NumberText, FieldsAreReadWithinTheirBounds) {
  const char text[] = "v\t12\t-3.25\tx\n";
  TextLine line = {text, text + strlen(text) - 1};
  Fields f;
  SplitTabs(line, f);
  EXPECT_EQ(FieldInt(f, 1), 12);
  EXPECT_EQ(FieldNum(f, 2), -3.25);
  EXPECT_EQ(FieldNum(f, 3), 0.0);
  EXPECT_EQ(FieldNum(f, 4), 0.0);  // missing
  EXPECT_EQ(FieldInt(f, -1), 0);
}

// Exact halves, negative zero and values rounding to it, the float range's ends, the 1e15
// edge of the fast path, infinities and NaNs; then floats as the tables hold them at the
// writers' precisions, every 1/1000 step of a small range (all the halves) and at random
// (the fuzzer takes arbitrary bit patterns).
TEST(NumberText, SinkFixedWritesWhatSnprintfWrites) {
  const double kValues[] = {
      0.125, 2.5, -2.5, -0.0, -0.004, -0.005, 1e-7, 2.675, 1.005, 1e30, 1e15, -1e15, 999999999999999.9,
      1e15 - 0.5, 1e17, FLT_MAX, -FLT_MAX, FLT_TRUE_MIN, DBL_MAX, DBL_TRUE_MIN, static_cast<double>(-12.345f),
      HUGE_VAL, -HUGE_VAL, std::nan(""), -std::nan(""),
  };
  for (double v : kValues)
    for (int precision : {0, 1, 2, 3, 6, 17, 40})
      EXPECT_EQ(Fixed(v, precision), Snprintf(v, precision)) << v << " at precision " << precision;
  std::mt19937 rng(20261206);
  std::vector<float> values;
  for (int k = -2000; k <= 2000; ++k) values.push_back(static_cast<float>(k) / 1000.0f);
  for (int i = 0; i < 20000; ++i) values.push_back(std::uniform_real_distribution<float>(-100, 100)(rng));
  for (float f : values)
    for (int precision : {0, 1, 2, 3}) ASSERT_EQ(Fixed(f, precision), Snprintf(f, precision)) << precision;
}

// The macro keeps the format a literal so both calls get checked at compile time.
#define EXPECT_PRINTS_AS_SNPRINTF(...)                       \
  do {                                                       \
    char sinkText[512] = "", want[512];                      \
    TextSink sink = SinkAppendTo(sinkText, sizeof sinkText); \
    SinkPrintf(sink, __VA_ARGS__);                           \
    snprintf(want, sizeof want, __VA_ARGS__);                \
    EXPECT_EQ(std::string(sinkText), std::string(want));    \
    EXPECT_EQ(sink.len, strlen(want));                       \
  } while (0)

TEST(NumberText, SinkPrintfWritesWhatSnprintfWrites) {
  const char* longName = "a name of more than sixteen bytes that a precision cuts";
  EXPECT_PRINTS_AS_SNPRINTF("v\tG\t%i\t%.2f\n", 8, static_cast<double>(-12.345f));
  EXPECT_PRINTS_AS_SNPRINTF("\nt\t%.0f\t%.3f\t%.0f\n", 2.5, 59.9995, 999.5);
  EXPECT_PRINTS_AS_SNPRINTF("subname\t%i\t%.16s\n", 1, longName);
  EXPECT_PRINTS_AS_SNPRINTF(",%i %.*s %.*s", INT_MIN, 4, "track name", -1, longName);
  EXPECT_PRINTS_AS_SNPRINTF("%d%%\t%f\t%.f", -7, 1.0 / 3, 2.5);
  // Conversions beyond the subset go to vsnprintf whole, even after known ones.
  EXPECT_PRINTS_AS_SNPRINTF("%i\t%5.2f|%-4i|%05i %x %e %g", 1, 2.0, 3, 4, 255, 1e-7, 0.0001);
  EXPECT_PRINTS_AS_SNPRINTF("%.3i|%+.1f|% .1f|%#.0f|%.*f", 7, 2.0, 2.0, 3.0, -3, 0.125);
}

// A line that does not fit leaves nothing of itself (fast path and slow one), and the
// sink takes nothing more; exactly full fits. Every room from none to more than enough.
TEST(NumberText, ALineThatDoesNotFitLeavesNothing) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  for (const char* fmt : {"%s%i\t%.2f\n", "%s%5i\t%.2f\n", "%s%i\t%.0f"})
    for (double v : {4.5, -1e15})  // the second past the fast path
    for (size_t cap = 3; cap <= 32; ++cap) {
      char buf[40], line[32];  // bytes past the room must stay as they are
      memset(buf, '#', sizeof buf);
      memcpy(buf, "ab", 3);
      snprintf(line, sizeof line, fmt, "", 123, v);
      TextSink sink = SinkAppendTo(buf, cap);
      SinkPrintf(sink, fmt, "", 123, v);
      SinkFixed(sink, 7.0, 0);
      std::string want = std::string("ab") + line + "7";
      if (want.size() >= cap) want.pop_back();  // no room for the 7
      if (want.size() >= cap) want = "ab";      // nor for the line
      EXPECT_EQ(buf, want) << fmt << " in " << cap;
      EXPECT_EQ(sink.len, want.size()) << fmt << " in " << cap;
      EXPECT_EQ(std::string(buf + cap, buf + sizeof buf), std::string(sizeof buf - cap, '#')) << fmt << " in " << cap;
      EXPECT_EQ(sink.overflow, want.size() < strlen(line) + 3) << fmt << " in " << cap;
    }
#pragma GCC diagnostic pop
}

}  // namespace
