// The sound-effect bank: the WAVE chunk walk, loading into voices, playing in turn, release, and
// the built-in effects themselves.
#include "sound/sound_bank.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>
#include <vector>

#include "platform/fake/fake_platform.h"

namespace {
using Bytes = std::vector<uint8_t>;

void PutLe(Bytes& b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; i++) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A chunk with its contents; the stated length is the contents' unless given.
struct Chunk {
  const char* id;
  Bytes contents;
  int64_t stated = -1;
  bool pad = true;  // write the pad byte after odd contents
};

Bytes Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t align, uint16_t bits,
          size_t length = 16) {
  Bytes b;
  PutLe(b, tag, 2);
  PutLe(b, channels, 2);
  PutLe(b, rate, 4);
  PutLe(b, rate * align, 4);
  PutLe(b, align, 2);
  PutLe(b, bits, 2);
  b.resize(length, 0);
  return b;
}

Bytes Pcm8Mono() { return Fmt(1, 1, 22050, 1, 8); }

// A RIFF image of the chunks; the RIFF length covers them unless given.
Bytes Riff(const std::vector<Chunk>& chunks, const char* form = "WAVE", int64_t riffLength = -1) {
  Bytes body;
  for (const Chunk& c : chunks) {
    body.insert(body.end(), c.id, c.id + 4);
    PutLe(body, static_cast<uint32_t>(c.stated >= 0 ? c.stated : c.contents.size()), 4);
    body.insert(body.end(), c.contents.begin(), c.contents.end());
    if (c.pad && c.contents.size() % 2 == 1) body.push_back(0);
  }
  Bytes image = {'R', 'I', 'F', 'F'};
  PutLe(image, static_cast<uint32_t>(riffLength >= 0 ? riffLength : 4 + body.size()), 4);
  image.insert(image.end(), form, form + 4);
  image.insert(image.end(), body.begin(), body.end());
  return image;
}

Bytes Ramp(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; i++) b[i] = static_cast<uint8_t>(128 + (i % 64));
  return b;
}

Bytes Truncated(Bytes b, size_t keep) {
  b.resize(keep);
  return b;
}

TEST(ParseWave, FindsFormatAndSamplesAndRefusesDamagedImages) {
  struct Case {
    const char* what;
    Bytes image;
    int64_t formatAt;  // offset of the format contents; -1: refused
    int64_t samplesAt;
    uint32_t sampleBytes;
  };
  const Bytes good = Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(4)}});
  const Case cases[] = {
      {"data before fmt", Riff({{"data", Ramp(10)}, {"fmt ", Pcm8Mono()}}), 38, 20, 10},
      // The 3-byte chunk is followed by a pad byte, so 'fmt ' starts at 12 + 8 + 4.
      {"odd chunk then pad", Riff({{"LIST", Ramp(3)}, {"fmt ", Pcm8Mono()}, {"data", Ramp(5)}}), 32,
       56, 5},
      {"odd chunk without its pad byte",
       Riff({{"LIST", Ramp(3), -1, false}, {"fmt ", Pcm8Mono()}, {"data", Ramp(5)}}), -1, -1, 0},
      {"13-byte fmt", Riff({{"fmt ", Fmt(1, 1, 22050, 1, 8, 13)}, {"data", Ramp(4)}}), -1, -1, 0},
      {"14-byte fmt", Riff({{"fmt ", Fmt(1, 1, 22050, 1, 8, 14)}, {"data", Ramp(4)}}), 20, 42, 4},
      {"not WAVE", Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(4)}}, "AVI "), -1, -1, 0},
      {"nothing after the header", Riff({}), -1, -1, 0},
      {"shorter than a header", Truncated(good, 10), -1, -1, 0},
      {"fmt only", Riff({{"fmt ", Pcm8Mono()}}), -1, -1, 0},
      {"data only", Riff({{"data", Ramp(8)}}), -1, -1, 0},
      {"empty data waits for a later one",
       Riff({{"data", {}}, {"fmt ", Pcm8Mono()}, {"data", Ramp(6)}}), 28, 52, 6},
      {"data cut short is clamped to the image",
       Truncated(Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(100)}}), 74), 20, 44, 30},
      {"data stated past the RIFF end is clamped",
       Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(8), 5000}}), 20, 44, 8},
      {"fmt cut short", Truncated(Riff({{"data", Ramp(4)}, {"fmt ", Pcm8Mono()}}), 42), -1, -1, 0},
      {"huge chunk before fmt",
       Riff({{"junk", Ramp(4), 0xFFFFFFF0}, {"fmt ", Pcm8Mono()}, {"data", Ramp(4)}}), -1, -1, 0},
      {"RIFF length ends the walk", Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(4)}}, "WAVE", 28), -1,
       -1, 0},
  };
  for (const Case& c : cases) {
    const uint8_t* format = c.image.data();
    const uint8_t* samples = c.image.data();
    uint32_t formatBytes = 99, sampleBytes = 99;
    const int32_t r = ParseWave(c.image.data(), static_cast<uint32_t>(c.image.size()), &format,
                                &formatBytes, &samples, &sampleBytes);
    EXPECT_EQ(r, c.formatAt >= 0 ? 1 : 0) << c.what;
    if (r == 0) continue;
    EXPECT_EQ(format - c.image.data(), c.formatAt) << c.what;
    EXPECT_EQ(samples - c.image.data(), c.samplesAt) << c.what;
    EXPECT_EQ(sampleBytes, c.sampleBytes) << c.what;
  }
}

// Every test starts with the device closed, no record loaded and no scripted failures.
class SoundBankTest : public testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override {
    Reset();
    FakeRemoveResource("TEST", "WAVE");
  }
  static void Reset() {
    FakeAudioReset();
    SoundReady = false;
    for (SoundRecord& r : SoundBank) r = SoundRecord{};
  }
  static void Install(const Bytes& image) { FakeSetResource("TEST", "WAVE", image); }
  // Opens the device and installs a mono 8-bit effect of `samples` bytes as "TEST".
  static void Ready(size_t samples = 10) {
    ASSERT_EQ(SoundInit(nullptr), 1);
    Install(Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(samples)}}));
  }
  static std::vector<FakeSoundCall> CallsOf(FakeSoundOp op) {
    std::vector<FakeSoundCall> out;
    for (const FakeSoundCall& c : FakeSoundCalls()) {
      if (c.op == op) out.push_back(c);
    }
    return out;
  }
  static std::vector<FakeSoundOp> Ops() {
    std::vector<FakeSoundOp> out;
    for (const FakeSoundCall& c : FakeSoundCalls()) out.push_back(c.op);
    return out;
  }
};

TEST_F(SoundBankTest, NothingLoadsBeforeInitWhichNeedsADeviceAndOpensItOnce) {
  Install(Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(10)}}));
  SoundRecord r{};
  EXPECT_EQ(SoundLoad(&r, "TEST", 1), 1);
  EXPECT_EQ(SoundPlay(&r), nullptr);
  EXPECT_TRUE(FakeSoundCalls().empty());
  FakeAudioFailures f;
  f.open = true;
  FakeAudioFail(f);
  EXPECT_EQ(SoundInit(nullptr), 0);
  FakeAudioFail(FakeAudioFailures{});
  EXPECT_EQ(SoundInit(nullptr), 1);
  EXPECT_EQ(SoundInit(nullptr), 0);
  EXPECT_EQ(FakeAudioOpenCount(), 1);
}

TEST_F(SoundBankTest, VoicesShareOneBufferAndPlayInTurnCuttingTheOldest) {
  Ready(22050);
  SoundRecord r{};
  r.next = 5;
  ASSERT_EQ(SoundLoad(&r, "TEST", 2), 1);
  EXPECT_EQ(std::tuple(r.count, r.next), std::tuple(2, 0));
  EXPECT_EQ(Ops(), (std::vector<FakeSoundOp>{FSOUND_CREATE, FSOUND_LOCK, FSOUND_UNLOCK,
                                             FSOUND_DUPLICATE}));
  EXPECT_EQ(CallsOf(FSOUND_CREATE)[0].value, 22050);
  FakeClearSoundCalls();
  EXPECT_EQ(SoundPlay(&r), r.voices[0]);
  EXPECT_EQ(Ops(),
            (std::vector<FakeSoundOp>{FSOUND_STATUS, FSOUND_PAN, FSOUND_VOLUME, FSOUND_PLAY}));
  EXPECT_EQ(SoundPlay(&r), r.voices[1]);
  EXPECT_NE(r.voices[0], r.voices[1]);
  FakeAudioRender(441);  // 10 ms: both still sounding
  FakeClearSoundCalls();
  EXPECT_EQ(SoundPlay(&r), r.voices[0]);
  EXPECT_EQ(Ops(), (std::vector<FakeSoundOp>{FSOUND_STATUS, FSOUND_STOP, FSOUND_POSITION,
                                             FSOUND_PAN, FSOUND_VOLUME, FSOUND_PLAY}));
  EXPECT_EQ(CallsOf(FSOUND_POSITION)[0].value, 0) << "restarted from its beginning";
}

TEST_F(SoundBankTest, VoiceCountsOutsideTheRecordAndUnplayableFormatsAreRefused) {
  Ready();
  for (int32_t voices : {-1, SOUND_MAX_VOICES + 1, 33}) {
    SoundRecord r{};
    EXPECT_EQ(SoundLoad(&r, "TEST", voices), 0) << voices;
    EXPECT_EQ(r.count, 0);
  }
  EXPECT_TRUE(CallsOf(FSOUND_CREATE).empty());
  SoundRecord full{}, none{};
  EXPECT_EQ(SoundLoad(&full, "TEST", SOUND_MAX_VOICES), 1);
  EXPECT_EQ(full.count, SOUND_MAX_VOICES);
  ASSERT_EQ(SoundLoad(&none, "TEST", 0), 1);
  FakeClearSoundCalls();
  EXPECT_EQ(SoundPlay(&none), nullptr);
  EXPECT_TRUE(FakeSoundCalls().empty());

  const std::pair<const char*, Bytes> formats[] = {
      {"no channels", Fmt(1, 0, 22050, 1, 8)},
      {"no rate", Fmt(1, 1, 0, 1, 8)},
      {"12-bit", Fmt(1, 1, 22050, 2, 12)},
      {"block alignment", Fmt(1, 1, 22050, 7, 8)},
      {"compressed", Fmt(2, 1, 22050, 1, 8)},
      {"six channels", Fmt(1, 6, 22050, 6, 8)},
      {"short, no width: none", Fmt(1, 0, 22050, 1, 0, 14)}};
  FakeClearSoundCalls();
  for (const auto& [what, fmt] : formats) {
    Install(Riff({{"fmt ", fmt}, {"data", Ramp(16)}}));
    SoundRecord r{};
    EXPECT_EQ(SoundLoad(&r, "TEST", 1), 0) << what;
  }
  EXPECT_TRUE(CallsOf(FSOUND_CREATE).empty());
  // A 14-byte format has no sample width: it comes from the alignment.
  Install(Riff({{"fmt ", Fmt(1, 2, 11025, 4, 0, 14)}, {"data", Ramp(16)}}));
  SoundRecord r{};
  ASSERT_EQ(SoundLoad(&r, "TEST", 1), 1);
  PlatformWaveFormat f{};
  ASSERT_TRUE(FakeSoundFormat(r.voices[0], &f));
  EXPECT_EQ(std::tuple(f.bitsPerSample, f.channels), std::tuple(16, 2));
}

TEST_F(SoundBankTest, LoadFailuresLeaveNothingBehind) {
  Ready();
  SoundRecord r{};
  EXPECT_EQ(SoundLoad(&r, nullptr, 1), 0);
  EXPECT_EQ(SoundLoad(&r, "NO_SUCH_EFFECT", 1), 0);
  for (const bool lock : {false, true}) {
    FakeAudioFailures f;
    f.create = !lock;
    f.lock = lock;
    FakeAudioFail(f);
    EXPECT_EQ(SoundLoad(&r, "TEST", 1), 0) << lock;
    EXPECT_EQ(FakeSoundBuffersAlive(), 0) << "the unfilled buffer is given back";
    EXPECT_EQ(std::tuple(r.count, r.voices[0]), std::tuple(0, nullptr));
  }
  // A failed duplicate leaves the first voice, which still plays.
  FakeAudioFailures dup;
  dup.duplicate = true;
  FakeAudioFail(dup);
  EXPECT_EQ(SoundLoad(&r, "TEST", 2), 0);
  ASSERT_NE(r.voices[0], nullptr);
  EXPECT_EQ(SoundPlay(&r), r.voices[0]);
  EXPECT_EQ(SoundPlay(&r), r.voices[0]);
  EXPECT_EQ(FillSoundBuffer(r.voices[0], Ramp(10).data(), 11), 0) << "more than the buffer";
}

TEST_F(SoundBankTest, FileIsTriedWhenNoResourceHasTheName) {
  ASSERT_EQ(SoundInit(nullptr), 1);
  const char* path = "sound_bank_test_effect.wav";
  // A file cut short inside its data chunk still loads what it holds; an empty one does not.
  for (const Bytes& image :
       {Truncated(Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(64)}}), 84), Bytes{}}) {
    std::FILE* f = std::fopen(path, "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(image.data(), 1, image.size(), f);
    std::fclose(f);
    SoundRecord r{};
    EXPECT_EQ(SoundLoad(&r, path, 1), image.empty() ? 0 : 1);
    std::remove(path);
  }
  ASSERT_EQ(CallsOf(FSOUND_CREATE).size(), 1u);
  EXPECT_EQ(CallsOf(FSOUND_CREATE)[0].value, 40);
}

// The built-in effects: each loads into its voices and is heard, from clean samples that start
// and end on the centre line (no click), never clip, are loud and carry no offset.
TEST_F(SoundBankTest, EveryEffectLoadsAndSoundsAndOnlyThoseNumbersPlay) {
  ASSERT_EQ(SoundInit(nullptr), 1);
  LoadSoundEffects();
  for (int32_t n = 0; n < SOUND_EFFECT_COUNT; n++) {
    const char* name = SoundEffectTable[n].name;
    EXPECT_EQ(SoundBank[n].count, SoundEffectTable[n].voices) << name;
    FakeClearSoundCalls();
    PlaySoundEffect(n);
    ASSERT_EQ(CallsOf(FSOUND_PLAY).size(), 1u) << name;
    std::vector<float> out;
    FakeAudioRender(FAKE_AUDIO_RATE / 10, &out);
    float peak = 0.0f;
    for (float s : out) peak = std::max(peak, std::fabs(s));
    EXPECT_GT(peak, 0.1f) << name;
    FakeAudioRender(FAKE_AUDIO_RATE * 3);  // let it finish

    const uint8_t* image = nullptr;
    size_t size = 0;
    ASSERT_TRUE(PlatformFindResource(name, "WAVE", &image, &size));
    const uint8_t *fmt = nullptr, *s = nullptr;
    uint32_t fmtBytes = 0, bytes = 0;
    ASSERT_EQ(ParseWave(image, static_cast<uint32_t>(size), &fmt, &fmtBytes, &s, &bytes), 1);
    const uint32_t channels = fmt[2];
    for (uint32_t c = 0; c < channels; c++) {
      EXPECT_EQ(s[c], 128) << name;
      EXPECT_EQ(s[bytes - channels + c], 128) << name;
    }
    const auto [lo, hi] = std::minmax_element(s, s + bytes);
    EXPECT_TRUE(*lo > 0 && *hi < 255) << name << " clips";
    EXPECT_GE(std::max(128 - *lo, *hi - 128), 96) << name << " is quieter than -2.5 dB";
    double sum = 0.0;
    for (uint32_t i = 0; i < bytes; i++) sum += s[i];
    EXPECT_NEAR(sum / bytes, 128.0, 0.5) << name << " has an offset";
  }
  FakeClearSoundCalls();
  for (int32_t n : {-1, SOUND_EFFECT_COUNT, INT32_MIN}) PlaySoundEffect(n);
  EXPECT_TRUE(FakeSoundCalls().empty());
}

TEST_F(SoundBankTest, ReleaseClosesTheDeviceAndSilencesLaterPlays) {
  ASSERT_EQ(SoundInit(nullptr), 1);
  LoadSoundEffects();
  SoundRelease();
  EXPECT_FALSE(FakeAudioIsOpen());
  EXPECT_EQ(FakeSoundBuffersAlive(), 0);
  FakeClearSoundCalls();
  for (int32_t n = 0; n < SOUND_EFFECT_COUNT; n++) PlaySoundEffect(n);
  EXPECT_TRUE(FakeSoundCalls().empty());
  EXPECT_EQ(SoundInit(nullptr), 0) << "set up once per run";
}
}  // namespace
