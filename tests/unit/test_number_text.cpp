// The fast number paths against the C library they stand in for: reading as strtod/strtol
// on a 63-byte copy, writing as snprintf with the same format, on values chosen to trip them.
#include <cfloat>
#include <climits>
#include <random>

#include "files/lines.h"
#include "scratch_dir.h"

namespace {

// What the readers did before they had a fast path: the C library on a bounded copy.
double ReferenceNum(const std::string& text) { return strtod(text.substr(0, 63).c_str(), nullptr); }

int ReferenceInt(const std::string& text) {
  long v = strtol(text.substr(0, 63).c_str(), nullptr, 10);
  return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

// Equal as the bytes a writer would make of them: same bits, or both NaN of the same sign.
bool SameDouble(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b);
  return memcmp(&a, &b, sizeof a) == 0;
}

std::string Snprintf(const char* fmt, double v, int precision) {
  char buf[512];
  snprintf(buf, sizeof buf, fmt, precision, v);
  return buf;
}

std::string Fixed(double v, int precision) {
  char buf[512] = "";
  TextSink sink = SinkAppendTo(buf, sizeof buf);
  SinkFixed(sink, v, precision);
  EXPECT_FALSE(sink.overflow);
  EXPECT_EQ(sink.len, strlen(buf));
  return buf;
}

// A piece of text as the readers get it: bytes with a length, NULs and all.
struct Piece {
  const char* bytes;
  size_t len;
  std::string Text() const { return std::string(bytes, len); }
};

template <size_t N>
constexpr Piece P(const char (&s)[N]) {
  return {s, N - 1};
}

const Piece kNumberTexts[] = {
    // What the writers produce.
    P("-12.25"), P("0.125"), P("3"), P("-0"), P("-0.00"), P("0.000"), P("12000"), P("-90.000"),
    // Plain decimals at the edge of the fast path: 15 digits, then 16 and 17 (strtod).
    P("123456789012345"), P("12345678901234.5"), P("0.123456789012345"), P("9007199254740993"),
    P("4711.3102150686750"), P("7621545682.4698586"), P("0.30000000000000004"), P("00012.5"),
    P("000000000000000000001.5"), P("1."), P("-1."),
    // Leading blanks, signs, hex, exponents, inf and nan: strtod's own forms.
    P(" 12"), P("\t7"), P("\v-2.5"), P("+3"), P("+.5"), P(".5"), P("-.5"), P("0x1A"), P("-0x1a"),
    P("0X1p3"), P("0x"), P("0x1.8p1"), P("1e5"), P("1E-2"), P("1.e2"), P("1e"), P("1e+"), P("-1e-7"),
    P("1e400"), P("-1e400"), P("1e-400"), P("4.9e-324"), P("2.2250738585072011e-308"),
    P("3.4028235e38"), P("3.4028236e38"), P("1e30"), P("inf"), P("-inf"), P("INF"), P("infinity"),
    P("nan"), P("-nan"), P("NaN"), P("nan(123)"),
    // Trailing junk is ignored, and nothing is read past the piece or a NUL in it.
    P("12abc"), P("1,5"), P("1.5.6"), P("12\r"), P("7 8"), P("1e5x"), P("2x"), P("1\0" "5"), P("-"),
    P("--1"), P(""), P("abc"), P(" "), P("."),
    // Longer than the 63 bytes a number is read from.
    P("1000000000000000000000000000000000000000000000000000000000000000000000"),
    P("0.000000000000000000000000000000000000000000000000000000000000000000001"),
    P("                                                                 5"),
};

TEST(NumberText, TextNumReadsEveryPieceAsStrtodOnItsBoundedCopy) {
  for (const Piece& p : kNumberTexts) {
    double got = TextNum(p.bytes, p.len);
    double want = ReferenceNum(p.Text());
    EXPECT_TRUE(SameDouble(got, want)) << '"' << p.Text() << "\" gave " << got << ", strtod " << want;
  }
  // Only the first len bytes count, whatever follows them.
  EXPECT_EQ(TextNum("12.75", 2), 12.0);
  EXPECT_EQ(TextNum("0x1A", 1), 0.0);
  EXPECT_EQ(TextNum("1e5", 1), 1.0);
  EXPECT_EQ(TextNum("-5", 1), 0.0);
}

TEST(NumberText, TextIntReadsEveryPieceAsStrtolSaturatedToInt) {
  const Piece kIntTexts[] = {
      P("127"), P("-0"), P("0x1A"), P(" 12"), P("+3"), P("12abc"), P("1e5"), P("3.9"), P("-3.9"), P(""),
      P("-"), P("2147483647"), P("2147483648"), P("-2147483648"), P("-2147483649"),
      P("999999999999999999"), P("9999999999999999999"), P("99999999999999999999"),
      P("-99999999999999999999"), P("0000000000000000000000000123"), P("1\0" "2"), P("\t-8")};
  for (const Piece* list : {kIntTexts, kNumberTexts}) {
    size_t n = list == kIntTexts ? sizeof kIntTexts / sizeof *kIntTexts : sizeof kNumberTexts / sizeof *kNumberTexts;
    for (size_t i = 0; i < n; ++i)
      EXPECT_EQ(TextInt(list[i].bytes, list[i].len), ReferenceInt(list[i].Text())) << '"' << list[i].Text() << '"';
  }
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

// Values and the precisions the writers use (and a few they do not) where a fast
// formatter could go wrong: exact halves, negative zero and values rounding to it, the
// ends of the float range, the 1e15 edge of the fast path, infinities and NaNs.
TEST(NumberText, SinkFixedWritesWhatSnprintfWrites) {
  const double kValues[] = {
      0.125, 0.375, 2.5, -2.5, 0.5, 1.5, -0.5, 0.0, -0.0, -0.001, -0.004, -0.005, 0.005, 1e-7, -1e-7,
      2.675, 1.005, 0.045, 1e30, -1e30, 1e15, -1e15, 999999999999999.9, 1e15 - 0.5, 1e17, 123456789.125,
      FLT_MAX, -FLT_MAX, FLT_MIN, -FLT_MIN, FLT_TRUE_MIN, DBL_MAX, DBL_TRUE_MIN,
      static_cast<double>(0.1f), static_cast<double>(-12.345f), static_cast<double>(16777217.0f),
      HUGE_VAL, -HUGE_VAL, std::nan(""), -std::nan(""),
  };
  for (double v : kValues)
    for (int precision : {0, 1, 2, 3, 6, 17, 18, 40})
      EXPECT_EQ(Fixed(v, precision), Snprintf("%.*f", v, precision)) << v << " at precision " << precision;
}

// Floats as the tables hold them, promoted to double as printf gets them, at the writers'
// precisions: many at random, and every 1/1000 step of a small range (all the halves).
TEST(NumberText, SinkFixedMatchesSnprintfOnFloatsAtTheWritersPrecisions) {
  std::mt19937 rng(20261206);
  std::vector<float> values;
  for (int i = 0; i < 20000; ++i) {
    uint32_t bits = rng();
    float f;
    memcpy(&f, &bits, sizeof f);
    values.push_back(f);
    values.push_back(std::uniform_real_distribution<float>(-100, 100)(rng));
  }
  for (int k = -2000; k <= 2000; ++k) values.push_back(static_cast<float>(k) / 1000.0f);
  int mismatches = 0;
  for (float f : values)
    for (int precision : {0, 1, 2, 3}) {
      std::string got = Fixed(f, precision), want = Snprintf("%.*f", f, precision);
      if (got != want && ++mismatches <= 5) ADD_FAILURE() << got << " != " << want << " at precision " << precision;
    }
  EXPECT_EQ(mismatches, 0);
}

// Each call is made twice with the same arguments: once through the sink, once through
// snprintf; the macro keeps the format a literal so both get checked at compile time.
#define EXPECT_PRINTS_AS_SNPRINTF(...)                       \
  do {                                                       \
    char sinkText[512] = "";                                 \
    TextSink sink = SinkAppendTo(sinkText, sizeof sinkText); \
    SinkPrintf(sink, __VA_ARGS__);                           \
    char want[512];                                          \
    snprintf(want, sizeof want, __VA_ARGS__);                \
    EXPECT_FALSE(sink.overflow);                             \
    EXPECT_EQ(std::string(sinkText), std::string(want));    \
    EXPECT_EQ(sink.len, strlen(want));                       \
  } while (0)

TEST(NumberText, SinkPrintfWritesWhatSnprintfWrites) {
  const char* longName = "a name of more than sixteen bytes that a precision cuts";
  // The file formats.
  EXPECT_PRINTS_AS_SNPRINTF("v\t%i\t%.2f\n", 127, -0.0);
  EXPECT_PRINTS_AS_SNPRINTF("v\tG\t%i\t%.2f\n", 8, static_cast<double>(-12.345f));
  EXPECT_PRINTS_AS_SNPRINTF("\nt\t%.0f\t%.3f\t%.0f\n", 2.5, 59.9995, 999.5);
  EXPECT_PRINTS_AS_SNPRINTF("ofs\t%.3f\n", std::nan(""));
  EXPECT_PRINTS_AS_SNPRINTF("shape\t%.3f\n", -HUGE_VAL);
  EXPECT_PRINTS_AS_SNPRINTF("p\tM\t%.0f\n", 1e30);
  EXPECT_PRINTS_AS_SNPRINTF("\ncue\t%.63s\n", longName);
  EXPECT_PRINTS_AS_SNPRINTF("subname\t%i\t%.16s\n", 1, longName);
  EXPECT_PRINTS_AS_SNPRINTF("%s\t%s", "comp", "G\t2");
  EXPECT_PRINTS_AS_SNPRINTF(",%i", INT_MIN);
  EXPECT_PRINTS_AS_SNPRINTF("%i %.*s %s\n", 3, 4, "track name", "solo");
  EXPECT_PRINTS_AS_SNPRINTF("path\t%.*s\n", -1, longName);
  EXPECT_PRINTS_AS_SNPRINTF("path\t%.*s\n", 0, longName);
  EXPECT_PRINTS_AS_SNPRINTF("%d%%\t%f\t%.f", -7, 1.0 / 3, 2.5);
  EXPECT_PRINTS_AS_SNPRINTF("no conversion at all");
  EXPECT_PRINTS_AS_SNPRINTF("%s", "");
  // Conversions beyond the subset go to vsnprintf whole, even after known ones.
  EXPECT_PRINTS_AS_SNPRINTF("%i\t%5.2f|%-4i|%05i", 1, 2.0, 3, 4);
  EXPECT_PRINTS_AS_SNPRINTF("%.2f %li %x %u %c %e %g", 0.125, 5L, 255, 6u, 'z', 1e-7, 0.0001);
  EXPECT_PRINTS_AS_SNPRINTF("%.3i|%+.1f|% .1f|%#.0f", 7, 2.0, 2.0, 3.0);
  EXPECT_PRINTS_AS_SNPRINTF("%.*f", 2, 0.125);
  EXPECT_PRINTS_AS_SNPRINTF("%.*f", -3, 0.125);
  EXPECT_PRINTS_AS_SNPRINTF("%.20f|%.60f", 0.1, 1e-50);
}

// A line that does not fit leaves nothing of itself, on the fast path and the slow one, and
// the sink takes nothing more.
TEST(NumberText, ALineThatDoesNotFitLeavesNothing) {
  for (const char* fmt : {"%s%i\t%.2f\n", "%s%5i\t%.2f\n"}) {
    char buf[16];
    strcpy(buf, "ab");
    TextSink sink = SinkAppendTo(buf, sizeof buf);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    SinkPrintf(sink, fmt, "", 123, 4.5);  // "123\t4.50\n" or "  123\t4.50\n": fits
    EXPECT_FALSE(sink.overflow) << fmt;
    size_t before = sink.len;
    SinkPrintf(sink, fmt, "", 123, 4.5);  // would pass the 15 bytes of room
#pragma GCC diagnostic pop
    EXPECT_TRUE(sink.overflow) << fmt;
    EXPECT_EQ(sink.len, before) << fmt;
    EXPECT_EQ(strlen(buf), before) << fmt;
    SinkPuts(sink, "x");
    EXPECT_EQ(sink.len, before) << fmt;
  }
  // Exactly full: the text and its terminator take every byte.
  char buf[7] = "ab";
  TextSink sink = SinkAppendTo(buf, sizeof buf);
  SinkPrintf(sink, "%i\t%.0f", 12, 3.0);
  EXPECT_FALSE(sink.overflow);
  EXPECT_STREQ(buf, "ab12\t3");
  SinkFixed(sink, 1.0, 0);
  EXPECT_TRUE(sink.overflow);
  EXPECT_STREQ(buf, "ab12\t3");
}

}  // namespace
