// The audio under the Timeline: peak reduction read through libsndfile, which file a channel
// names, bad files, the peak cache, and the worker's hand-over of changed files.
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "audio/channel_file.h"
#include "audio/peak_cache.h"
#include "audio/peak_worker.h"
#include "audio/read_peaks.h"
#include "logic/lane_peaks.h"
#include "logic/timeline_view.h"
#include "scratch_dir.h"
#include "tones.h"

namespace {

struct Spike {
  int64_t frame;
  int channel;
  float value;
};

// A file of silence with spikes; true when written.
bool WriteSpikes(const char* path, int format, int channels, int64_t frames, std::vector<Spike> spikes) {
  std::vector<float> s(static_cast<size_t>(frames * channels));
  for (const Spike& k : spikes) s[static_cast<size_t>(k.frame * channels + k.channel)] = k.value;
  return WriteSoundFile(path, format, 48000, channels, s.data(), frames);
}

PeakOutcome Read(const char* path, Peaks* p, char* reason, const char* cache = nullptr) {
  PeakControl c{nullptr, nullptr, nullptr, cache, kPeakCacheLimit};
  return ReadPeaks(path, c, p, reason, kReasonSize);
}

constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int kFull = kPeakFullScale;

class Audio : public ScratchDir {};

// Each row: a file, then buckets (level, bucket) with their min and max. A bucket holds 256
// frames at level 0 and 1024 at level 1; a file's last bucket holds what is left.
TEST_F(Audio, PeaksOfEveryBucketAllChannelsTogether) {
  struct Bucket { int level; int64_t index; int lo, hi; };
  struct Row { const char* name; int format, channels; int64_t frames; std::vector<Spike> spikes; std::vector<Bucket> want; };
  const Row rows[] = {
    {"one frame", kWav16, 1, 1, {{0, 0, 0.5f}}, {{0, 0, 16384, 16384}, {7, 0, 16384, 16384}}},
    {"full bucket", kWav16, 1, 256, {{255, 0, -1.f}, {3, 0, 1.f}}, {{0, 0, -kFull, kFull}}},
    {"last frame alone", kWav16, 1, 257, {{256, 0, 0.25f}}, {{0, 0, 0, 0}, {0, 1, 8192, 8192}, {1, 0, 0, 8192}}},
    {"odd length, level 1 edge", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, 1025, {{1023, 1, -0.5f}, {1024, 0, 0.75f}},
     {{0, 3, -16384, 0}, {0, 4, 0, 24576}, {1, 0, -16384, 0}, {1, 1, 0, 24576}, {2, 0, -16384, 24576}}},
    {"eighth channel, last frame", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 8, 777, {{776, 7, -0.125f}}, {{0, 3, -4096, 0}, {0, 2, 0, 0}}},
    {"float, clipped both ways", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 3, 300, {{10, 2, 1.5f}, {299, 0, -7.f}}, {{0, 0, 0, kFull}, {0, 1, -kFull, 0}}},
    {"32-bit integer in AIFF", SF_FORMAT_AIFF | SF_FORMAT_PCM_32, 1, 600, {{512, 0, 1.f}}, {{0, 2, 0, kFull}, {0, 0, 0, 0}}},
    {"RF64", SF_FORMAT_RF64 | SF_FORMAT_PCM_16, 2, 400, {{0, 1, -0.5f}}, {{0, 0, -16384, 0}}},
    {"W64 double", SF_FORMAT_W64 | SF_FORMAT_DOUBLE, 1, 256, {{100, 0, 0.5f}}, {{0, 0, 0, 16384}}},
    {"CAF", SF_FORMAT_CAF | SF_FORMAT_PCM_24, 1, 256, {{1, 0, -0.25f}}, {{0, 0, -8192, 0}}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ASSERT_TRUE(WriteSpikes("a", r.format, r.channels, r.frames, r.spikes));
    Peaks p;
    char why[kReasonSize] = "";
    ASSERT_EQ(Read("a", &p, why), kPeaksBuilt) << why;
    EXPECT_EQ(p.frames, r.frames);
    EXPECT_EQ(p.channels, r.channels);
    for (int l = 0; l < kPeakLevels; ++l) EXPECT_EQ(p.levels[l].buckets(), (r.frames + PeakLevelFrames(l) - 1) / PeakLevelFrames(l));
    for (const Bucket& b : r.want) {
      const std::vector<int16_t>& m = p.levels[b.level].minmax;
      EXPECT_EQ(m[2 * b.index], b.lo) << "level " << b.level << " bucket " << b.index;
      EXPECT_EQ(m[2 * b.index + 1], b.hi) << "level " << b.level << " bucket " << b.index;
    }
  }
  EXPECT_EQ(NearestPeakLevel(100), 0);
  EXPECT_EQ(NearestPeakLevel(1024), 1);
  EXPECT_EQ(NearestPeakLevel(4095), 1);
  EXPECT_EQ(NearestPeakLevel(1e12), kPeakLevels - 1);
}

// Bad files get one line and never block: FIFOs and devices are refused before opening.
TEST_F(Audio, BadFilesSayWhy) {
  ASSERT_TRUE(WriteTone("whole.wav", kWav16, 48000, 2, 1, 440, 0));
  std::string whole = Slurp("whole.wav");
  Spit("truncated.wav", whole.substr(0, whole.size() / 2));
  Spit("text.wav", "faders.txt is not audio\n");
  Spit("empty.wav", "");
  ASSERT_EQ(mkfifo("fifo.wav", 0600), 0);
  ASSERT_EQ(mkdir("dir.wav", 0700), 0);
  ASSERT_EQ(symlink("loop.wav", "loop.wav"), 0);
  ASSERT_EQ(symlink("/dev/zero", "device.wav"), 0);
  // An RF64 header announcing 4 GiB of samples over a few hundred bytes, then the same made
  // whole as a sparse file.
  ASSERT_TRUE(WriteSpikes("huge.wav", SF_FORMAT_RF64 | SF_FORMAT_PCM_16, 2, 100, {}));
  std::string rf = Slurp("huge.wav");
  uint64_t big = uint64_t(4) << 30, frames = big / 4;
  size_t ds64 = rf.find("ds64");
  ASSERT_NE(ds64, std::string::npos);
  memcpy(&rf[ds64 + 16], &big, 8);
  memcpy(&rf[ds64 + 24], &frames, 8);
  Spit("huge.wav", rf);
  Spit("sparse.wav", rf);
  ASSERT_EQ(truncate("sparse.wav", static_cast<off_t>(rf.size() - 400 + big)), 0);
  const std::pair<const char*, const char*> rows[] = {
    {"missing.wav", "no such file"}, {"truncated.wav", "truncated"}, {"text.wav", "not an audio file"},
    {"empty.wav", "an empty file"}, {"fifo.wav", "a FIFO, not an audio file"}, {"dir.wav", "a directory, not an audio file"},
    {"loop.wav", "a loop of symbolic links"}, {"device.wav", "a device, not an audio file"}, {"huge.wav", "truncated"},
    {"sparse.wav", "too large: 4.0 GiB"},
  };
  // A whole file whose writer left both sizes as "unknown" (0xFFFFFFFF) is read, not truncated.
  std::string unknown = whole;
  ASSERT_NE(unknown.find("data"), std::string::npos);
  for (size_t at : {size_t(4), unknown.find("data") + 4}) memset(&unknown[at], 0xff, 4);
  Spit("unknown.wav", unknown);
  Peaks whole_peaks, unknown_peaks;
  char why[kReasonSize] = "";
  ASSERT_EQ(Read("whole.wav", &whole_peaks, why), kPeaksBuilt) << why;
  EXPECT_EQ(Read("unknown.wav", &unknown_peaks, why), kPeaksBuilt) << why;
  EXPECT_EQ(unknown_peaks.frames, whole_peaks.frames);
  for (const auto& [file, why] : rows) {
    Peaks p;
    char reason[kReasonSize] = "";
    EXPECT_EQ(Read(file, &p, reason), kPeaksFailed) << file;
    EXPECT_NE(strstr(reason, why), nullptr) << file << ": " << reason;
    EXPECT_EQ(strchr(reason, '\n'), nullptr);
  }
  if (geteuid() != 0) {  // root reads any file
    ASSERT_EQ(chmod("whole.wav", 0), 0);
    Peaks p;
    char reason[kReasonSize] = "";
    EXPECT_EQ(Read("whole.wav", &p, reason), kPeaksFailed);
    EXPECT_NE(strstr(reason, "Permission denied"), nullptr) << reason;
  }
}

// The name itself when it opens as audio, else with an extension, in the wave-file directory.
TEST_F(Audio, WhichFileAChannelNames) {
  ASSERT_EQ(mkdir("waves", 0700), 0);
  ASSERT_EQ(mkdir("waves/sub", 0700), 0);
  for (const char* f : {"waves/Kick.wav", "waves/Bass.aif", "waves/Keys.aiff", "waves/Vox.flac", "waves/sub/take 2.wav",
                        "waves/Pad.wav.wav", "waves/Both", "waves/Both.wav", "elsewhere.wav"})
    ASSERT_TRUE(WriteTone(f, strstr(f, ".flac") ? SF_FORMAT_FLAC | SF_FORMAT_PCM_16 : strstr(f, ".ai") ? SF_FORMAT_AIFF | SF_FORMAT_PCM_16 : kWav16,
                          8000, 1, 0.1, 440, 0));
  Spit("waves/Pad.wav", "not audio");
  std::string abs = dir_ + "/elsewhere.wav";
  struct Row { int slot; const char* name; const char* wavdir; int want; const char* path; };
  const Row rows[] = {
    {1, "Kick", "waves", kChannelFileFound, "waves/Kick.wav"}, {2, "Bass", "waves/", kChannelFileFound, "waves/Bass.aif"},
    {3, "Keys", "waves", kChannelFileFound, "waves/Keys.aiff"}, {4, "Vox", "waves", kChannelFileFound, "waves/Vox.flac"},
    {5, "sub/take 2.wav", "waves", kChannelFileFound, "waves/sub/take 2.wav"}, {6, "Both", "waves", kChannelFileFound, "waves/Both"},
    {7, "Pad.wav", "waves", kChannelFileFound, "waves/Pad.wav.wav"}, {127, abs.c_str(), "waves", kChannelFileFound, abs.c_str()},
    {8, "elsewhere", "", kChannelFileFound, "elsewhere.wav"}, {9, "Snare", "waves", kChannelFileBad, "waves/Snare"},
    {10, "sub", "waves", kChannelFileBad, "waves/sub"}, {11, "", "waves", kNoChannelFile, ""},
    {12, "----", "waves", kNoChannelFile, ""}, {0, "Kick", "waves", kNoChannelFile, ""},
    {SubSlot(1), "Kick", "waves", kNoChannelFile, ""}, {VcaSlot(8), "Kick", "waves", kNoChannelFile, ""},
  };
  for (const Row& r : rows) {
    char path[4096] = "", why[kReasonSize] = "";
    EXPECT_EQ(ChannelAudioFile(r.slot, r.name, r.wavdir, path, sizeof path, why, sizeof why), r.want) << r.name;
    EXPECT_STREQ(path, r.path) << r.name;
  }
}

}  // namespace

namespace {

int Mode(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

std::vector<std::string> CacheFiles(const std::string& dir) {
  std::vector<std::string> out;
  for (const auto& e : std::filesystem::directory_iterator(dir)) out.push_back(e.path().string());
  return out;
}

// Hit, miss, a changed file read again, a damaged or foreign cache file rebuilt, never used.
TEST_F(Audio, CacheHoldsOnlyTheVersionItWasMadeFrom) {
  setenv("XDG_CACHE_HOME", (dir_ + "/cache").c_str(), 1);
  char dir[4096];
  ASSERT_TRUE(PeakCacheDir(dir, sizeof dir));
  EXPECT_EQ(dir, dir_ + "/cache/tessaro/peaks");
  EXPECT_EQ(Mode(dir_ + "/cache/tessaro"), 0700);
  EXPECT_EQ(Mode(dir), 0700);
  ASSERT_TRUE(WriteSpikes("a.wav", kWav16, 2, 5000, {{4999, 1, 0.5f}}));
  using Damage = void (*)(const std::string& cache_file);
  struct Row { const char* name; Damage damage; PeakOutcome want; int16_t last_max; };
  const Row rows[] = {
    {"first read", nullptr, kPeaksBuilt, 16384},
    {"hit", nullptr, kPeaksCached, 16384},
    {"same size, new content", [](const std::string&) { WriteSpikes("a.wav", kWav16, 2, 5000, {{4999, 1, 0.25f}}); }, kPeaksBuilt, 8192},
    {"hit again", nullptr, kPeaksCached, 8192},
    {"only touched", [](const std::string&) { utimensat(AT_FDCWD, "a.wav", nullptr, 0); }, kPeaksBuilt, 8192},
    {"one bit flipped", [](const std::string& f) { std::string s = Slurp(f.c_str()); s[s.size() / 2] ^= 1; Spit(f.c_str(), s); }, kPeaksBuilt, 8192},
    {"rebuilt", nullptr, kPeaksCached, 8192},
    {"cut short", [](const std::string& f) { ASSERT_EQ(truncate(f.c_str(), 100), 0); }, kPeaksBuilt, 8192},
    {"foreign", [](const std::string& f) { Spit(f.c_str(), std::string(4000, 'x')); }, kPeaksBuilt, 8192},
    {"empty", [](const std::string& f) { Spit(f.c_str(), ""); }, kPeaksBuilt, 8192},
    {"a directory", [](const std::string& f) { unlink(f.c_str()); mkdir(f.c_str(), 0700); }, kPeaksBuilt, 8192},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::vector<std::string> files = CacheFiles(dir);
    if (r.damage) r.damage(files.empty() ? std::string() : files[0]);
    Peaks p;
    char why[kReasonSize] = "";
    ASSERT_EQ(Read("a.wav", &p, why, dir), r.want) << why;
    EXPECT_EQ(p.levels[0].minmax.back(), r.last_max);
    EXPECT_EQ(p.levels[kPeakLevels - 1].minmax.back(), r.last_max);
    files = CacheFiles(dir);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(r.want != kPeaksBuilt || Mode(files[0]) == 0600 || strcmp(r.name, "a directory") == 0);
  }
  // A cache file made for another path or version is a miss even with a sound checksum.
  Peaks p;
  PeakKey key{{1, 2, 3, 4}, "/x.wav"};
  char why[kReasonSize];
  ASSERT_EQ(Read("a.wav", &p, why), kPeaksBuilt);
  std::string bytes = PeakCacheBytes(key, p);
  EXPECT_TRUE(ParsePeakCache(bytes.data(), bytes.size(), key, &p));
  for (PeakKey other : {PeakKey{{1, 2, 3, 5}, "/x.wav"}, PeakKey{{1, 2, 3, 4}, "/x.wa"}, PeakKey{{9, 2, 3, 4}, "/x.wav"}})
    EXPECT_FALSE(ParsePeakCache(bytes.data(), bytes.size(), other, &p)) << other.path;
  // Not ours to use: a cache folder that is a link, or a file.
  ASSERT_EQ(system("rm -rf cache/tessaro/peaks && ln -s /tmp cache/tessaro/peaks"), 0);
  EXPECT_FALSE(PeakCacheDir(dir, sizeof dir));
  std::string home = getenv("HOME");
  setenv("XDG_CACHE_HOME", "relative", 1);
  setenv("HOME", dir_.c_str(), 1);
  EXPECT_TRUE(PeakCacheDir(dir, sizeof dir));
  EXPECT_EQ(dir, dir_ + "/.cache/tessaro/peaks");
  setenv("HOME", home.c_str(), 1);
  unsetenv("XDG_CACHE_HOME");
}

// Over the size limit the least recently used files go first, down to the limit.
TEST_F(Audio, CacheStaysUnderItsLimit) {
  ASSERT_EQ(mkdir("c", 0700), 0);
  Peaks p;
  char why[kReasonSize];
  ASSERT_TRUE(WriteSpikes("a.wav", kWav16, 1, 100000, {}));
  ASSERT_EQ(Read("a.wav", &p, why), kPeaksBuilt);
  const size_t one = PeakCacheBytes(PeakKey{{}, "/0"}, p).size();
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(StoreCachedPeaks("c", PeakKey{{}, "/" + std::to_string(i)}, p, 3 * one));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));  // distinct times of use
    EXPECT_TRUE(i != 2 || LoadCachedPeaks("c", PeakKey{{}, "/0"}, &p));  // /0 is used: /1 is now the oldest
  }
  EXPECT_TRUE(LoadCachedPeaks("c", PeakKey{{}, "/0"}, &p));
  EXPECT_FALSE(LoadCachedPeaks("c", PeakKey{{}, "/1"}, &p));
  EXPECT_TRUE(LoadCachedPeaks("c", PeakKey{{}, "/2"}, &p));
  EXPECT_TRUE(LoadCachedPeaks("c", PeakKey{{}, "/3"}, &p));
  ASSERT_TRUE(StoreCachedPeaks("c", PeakKey{{}, "/4"}, p, 3 * one - 1));
  EXPECT_EQ(CacheFiles("c").size(), 2u);
  ASSERT_TRUE(StoreCachedPeaks("c", PeakKey{{}, "/5"}, p, one - 1));
  EXPECT_EQ(CacheFiles("c").size(), 0u);  // not even the newest, when it alone is over
}

// Columns of a lane: 10 s at 1 kHz, silent but for 2.0 .. 3.0 s at half scale; 0:00.000 at
// column 40. Each zoom reads its nearest level, whose buckets may reach a little beyond a
// loud stretch, never less.
TEST_F(Audio, LaneColumnsFallAtTheirTimes) {
  Peaks p;
  PeakBuilder b;
  StartPeaks(&b, &p, 1000, 1, 10000);
  std::vector<float> s(10000);
  std::fill(s.begin() + 2000, s.begin() + 3000, 0.5f);
  AddPeakFrames(&b, s.data(), 10000);
  ASSERT_TRUE(FinishPeaks(&b));
  enum { kNone, kQuiet, kLoud };
  struct Row { double pixels_per_second; double at_seconds; int want; };
  const Row rows[] = {
    {100, -0.01, kNone}, {100, 0, kQuiet}, {100, 1.7, kQuiet}, {100, 2.0, kLoud}, {100, 2.99, kLoud}, {100, 3.1, kQuiet},
    {100, 9.99, kQuiet}, {100, 10.0, kNone}, {1, 2, kLoud}, {1, 5, kQuiet}, {1, 9, kQuiet}, {1, 10, kNone},
    {0.01, 0, kLoud}, {10000, 1.7, kQuiet}, {10000, 2.5, kLoud}, {10000, 9.9999, kQuiet}, {10000, 10.0, kNone},
  };
  for (const Row& r : rows) {
    LaneColumn c;
    LaneWaveform(p, 40, r.pixels_per_second, static_cast<int>(std::floor(40 + r.at_seconds * r.pixels_per_second)), 1, &c);
    int got = c.lo > c.hi ? kNone : c.hi == 16384 ? kLoud : c.lo == 0 && c.hi == 0 ? kQuiet : -1;
    EXPECT_EQ(got, r.want) << r.pixels_per_second << " px/s at " << r.at_seconds << " s: " << c.lo << ".." << c.hi;
  }
}

// The lanes view: each shown strip of bank 1 a lane of its own, top down, its entries drawn
// and read on its own scale (so a drag still reaches every 0.01 dB); the audio's scale.
TEST_F(Audio, LanesStackTheShownStripsEachOnItsOwnScale) {
  for (int i = 0; i < 3; ++i) {
    IndexActiveArray[i] = 1;
    IndexSec[i] = 10.f + 20 * i;  // 10, 30 and 50 s
    for (int strip = 1; strip <= kBankStrips; ++strip) ChanActive[AutoAt(BankStripSlot(1, strip), i)] = 1;
    Volume[AutoAt(BankStripSlot(1, 1), i)] = kTimelineTopDb;
  }
  static Timeline t;
  TimelineSpan span;
  span.lanes = true;
  span.hidden = 1u << 1;  // strip 2
  LayOutTimeline(&t, 900, 439, 1, 0, span);
  int bottom = t.plot.y;
  for (int l = 0; l < t.line_count; ++l) {
    const TimelineLine& line = t.lines[l];
    SCOPED_TRACE(line.strip);
    if (line.hidden) continue;
    EXPECT_GE(line.area.y, bottom);
    EXPECT_GE(line.area.h, (t.plot.h / 12) - 2);
    bottom = line.area.y + line.area.h;
    for (int k = 0; k < line.count; ++k) {
      EXPECT_EQ(line.points[k].y, TimelineY(t, line.points[k].volume, l));
      EXPECT_EQ(TimelineLaneAt(t, line.points[k].y), l);
    }
    const int y0 = TimelineY(t, 0, l);
    EXPECT_NEAR(TimelineDb(t, y0, l), 0, 0.5 * 72 / (line.area.h - 1) + 1e-9);  // half a row
    for (int k = 1; k <= 12; ++k) {  // a lane's row is more than 1 dB: each step a row
      ASSERT_DOUBLE_EQ(TimelineDragVolume(t, 0, y0, y0 - k, 0.01, l), k / 100.0);
      ASSERT_DOUBLE_EQ(TimelineDragVolume(t, 0, y0, y0 - k, 1, l), k);
    }
  }
  EXPECT_EQ(t.lines[0].points[0].y, t.plot.y);  // +12 dB on the first lane's top row
  EXPECT_LE(bottom, t.plot.y + t.plot.h);
  double x_zero, pps;
  ASSERT_TRUE(TimelineAudioScale(t, &x_zero, &pps));
  EXPECT_NEAR(x_zero + 10 * pps, t.cues[0].x, 0.5);
  EXPECT_NEAR(x_zero + 50 * pps, t.cues[2].x, 0.5);
  span.audio_seconds = 120;  // audio from 0:00.000 to 2:00.000 around the cues: all in reach
  LayOutTimeline(&t, 900, 439, 1, 0, span);
  ASSERT_TRUE(TimelineAudioScale(t, &x_zero, &pps));
  EXPECT_NEAR(x_zero, TimelineX(t, 0), 1e-9);
  EXPECT_NEAR(x_zero + 120 * pps, TimelineX(t, 1), 1e-9);
  EXPECT_NEAR(x_zero + 30 * pps, t.cues[1].x, 0.5);
  span.audio_seconds = 0;
  span.lanes = false;
  LayOutTimeline(&t, 900, 439, 1, 0, span);
  EXPECT_EQ(TimelineLaneAt(t, t.plot.y + 10), -1);
  EXPECT_EQ(t.lines[2].area.h, t.plot.h);
  for (int i = 0; i < 3; ++i) IndexMin[i] = IndexSec[i] = 1 + i;  // bars and beats
  LayOutTimeline(&t, 900, 439, 1, 0, span);
  EXPECT_FALSE(TimelineAudioScale(t, &x_zero, &pps));
}

bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 500 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return done();
}

// The worker fills the wanted lanes, reads a replaced file again, and drops what is no longer
// wanted without finishing it.
TEST_F(Audio, WorkerReadsWantedLanesAndChangedFiles) {
  setenv("XDG_CACHE_HOME", (dir_ + "/cache").c_str(), 1);
  ASSERT_TRUE(WriteSpikes("Kick.wav", kWav16, 1, 1000, {{999, 0, 0.5f}}));
  ASSERT_TRUE(WriteTone("Long.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 8, 60, 100, 0));
  // Long.wav is cancelled from the worker's own first news of reading it: a poll from here
  // could come too late on a fast machine and find it read already.
  static std::atomic<bool> cancelLong{false};
  StartPeakWorker([](void*) {
    char now[200];
    PeakProgress(now, sizeof now);
    if (cancelLong && strstr(now, "Reading Long.wav: ")) cancelLong = false, CancelPeakWork();
  }, nullptr);
  const int slots[] = {1, 2, SubSlot(1)};
  const char* names[] = {"Kick", "Missing", "Kick"};
  WantPeaks(slots, names, 3, "");
  ASSERT_TRUE(WaitFor([] { return PeakLaneOf(1).state == kLaneReady && PeakLaneOf(2).state == kLaneFailed; }));
  EXPECT_EQ(PeakLaneOf(1).peaks->levels[0].minmax.back(), 16384);
  EXPECT_EQ(PeakLaneOf(SubSlot(1)).state, kLaneNone);
  ASSERT_TRUE(WriteSpikes("Kick.wav.new", kWav16, 1, 1000, {{999, 0, -0.5f}}));
  ASSERT_EQ(rename("Kick.wav.new", "Kick.wav"), 0);
  ASSERT_TRUE(WaitFor([] { return PeakLaneOf(1).peaks->levels[0].minmax.back() == 0; }));

  const char* longName[] = {"Long"};
  cancelLong = true;
  WantPeaks(slots, longName, 1, "");
  char progress[200] = "";
  ASSERT_TRUE(WaitFor([&] { PeakProgress(progress, sizeof progress); return !cancelLong && progress[0] == '\0'; }));
  EXPECT_NE(PeakLaneOf(1).state, kLaneReady);
  EXPECT_EQ(CacheFiles(dir_ + "/cache/tessaro/peaks").size(), 1u);  // Kick's: Long.wav was never finished
  StopPeakWorker();
  unsetenv("XDG_CACHE_HOME");
}

}  // namespace
