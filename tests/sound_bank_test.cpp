// The sound-effect bank: the WAVE chunk walk, loading into voices, playing in turn, release.
#include "sound/sound_bank.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>
#include <vector>

#include "core/bytes.h"
#include "platform/fake/fake_platform.h"

namespace {
using Bytes = std::vector<uint8_t>;

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
  AppendLe32(b, tag | channels << 16);
  AppendLe32(b, rate);
  AppendLe32(b, rate * align);
  AppendLe32(b, align | bits << 16);
  b.resize(length, 0);
  return b;
}

Bytes Pcm8Mono() { return Fmt(1, 1, 22050, 1, 8); }

// A RIFF image of the chunks; the RIFF length covers them unless given.
Bytes Riff(const std::vector<Chunk>& chunks, const char* form = "WAVE", int64_t riffLength = -1) {
  Bytes body;
  for (const Chunk& c : chunks) {
    body.insert(body.end(), c.id, c.id + 4);
    AppendLe32(body, static_cast<uint32_t>(c.stated >= 0 ? c.stated : c.contents.size()));
    body.insert(body.end(), c.contents.begin(), c.contents.end());
    if (c.pad && c.contents.size() % 2 == 1) body.push_back(0);
  }
  Bytes image = {'R', 'I', 'F', 'F'};
  AppendLe32(image, static_cast<uint32_t>(riffLength >= 0 ? riffLength : 4 + body.size()));
  image.insert(image.end(), form, form + 4);
  image.insert(image.end(), body.begin(), body.end());
  return image;
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
    int64_t samplesAt = -1;
    uint32_t sampleBytes = 0;
  };
  const Bytes f = Pcm8Mono();
  const auto d = [](size_t n) { return Bytes(n, 130); };
  const Case cases[] = {
      {"data before fmt", Riff({{"data", d(10)}, {"fmt ", f}}), 38, 20, 10},
      // The 3-byte chunk is followed by a pad byte, so 'fmt ' starts at 12 + 8 + 4.
      {"odd chunk then pad", Riff({{"LIST", d(3)}, {"fmt ", f}, {"data", d(5)}}), 32, 56, 5},
      {"odd chunk, no pad", Riff({{"LIST", d(3), -1, false}, {"fmt ", f}, {"data", d(5)}}), -1},
      {"13-byte fmt", Riff({{"fmt ", Fmt(1, 1, 22050, 1, 8, 13)}, {"data", d(4)}}), -1},
      {"not WAVE", Riff({{"fmt ", f}, {"data", d(4)}}, "AVI "), -1},
      {"shorter than a header", Truncated(Riff({{"fmt ", f}, {"data", d(4)}}), 10), -1},
      {"empty data waits for a later one", Riff({{"data", {}}, {"fmt ", f}, {"data", d(6)}}), 28,
       52, 6},
      {"data cut short", Truncated(Riff({{"fmt ", f}, {"data", d(100)}}), 74), 20, 44, 30},
      {"data past the RIFF end", Riff({{"fmt ", f}, {"data", d(8), 5000}}), 20, 44, 8},
      {"fmt cut short", Truncated(Riff({{"data", d(4)}, {"fmt ", f}}), 42), -1},
      {"huge chunk before fmt", Riff({{"junk", d(4), 0xFFFFFFF0}, {"fmt ", f}, {"data", d(4)}}),
       -1},
      {"RIFF length ends the walk", Riff({{"fmt ", f}, {"data", d(4)}}, "WAVE", 28), -1},
  };
  for (const Case& c : cases) {
    const uint8_t *format = nullptr, *samples = nullptr;
    uint32_t formatBytes = 0, sampleBytes = 0;
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
    Install(Riff({{"fmt ", Pcm8Mono()}, {"data", Bytes(samples, 130)}}));
  }
  static size_t Count(FakeSoundOp op) {
    return std::count_if(FakeSoundCalls().begin(), FakeSoundCalls().end(),
                         [op](const FakeSoundCall& c) { return c.op == op; });
  }
};

TEST_F(SoundBankTest, VoicesShareOneBufferAndPlayInTurnCuttingTheOldest) {
  Ready(22050);
  SoundRecord r{};
  r.next = 5;
  ASSERT_EQ(SoundLoad(&r, "TEST", 2), 1);
  EXPECT_EQ(std::tuple(r.count, r.next), std::tuple(2, 0));
  EXPECT_EQ(std::tuple(Count(FSOUND_CREATE), Count(FSOUND_DUPLICATE)), std::tuple(1u, 1u));
  EXPECT_EQ(SoundPlay(&r), r.voices[0]);
  EXPECT_EQ(SoundPlay(&r), r.voices[1]);
  EXPECT_NE(r.voices[0], r.voices[1]);
  EXPECT_EQ(Count(FSOUND_STOP), 0u) << "nothing was sounding";
  FakeAudioRender(441);  // 10 ms: both still sounding
  EXPECT_EQ(SoundPlay(&r), r.voices[0]);
  EXPECT_EQ(FakeSoundCalls()[FakeSoundCalls().size() - 5].op, FSOUND_STOP);
  EXPECT_EQ(FakeSoundCalls()[FakeSoundCalls().size() - 4].value, 0) << "back to its beginning";
  EXPECT_EQ(Count(FSOUND_PLAY), 3u);
}

TEST_F(SoundBankTest, VoiceCountsOutsideTheRecordAndUnplayableFormatsAreRefused) {
  Ready();
  SoundRecord full{}, none{};
  for (int32_t voices : {-1, SOUND_MAX_VOICES + 1, 33}) {
    EXPECT_EQ(SoundLoad(&full, "TEST", voices), 0) << voices;
  }
  EXPECT_EQ(Count(FSOUND_CREATE), 0u);
  EXPECT_EQ(SoundLoad(&full, "TEST", SOUND_MAX_VOICES), 1);
  EXPECT_EQ(full.count, SOUND_MAX_VOICES);
  const int32_t alive = FakeSoundBuffersAlive();
  ASSERT_EQ(SoundLoad(&none, "TEST", 0), 1);
  EXPECT_EQ(FakeSoundBuffersAlive(), alive) << "a record without voices keeps no buffer";
  FakeClearSoundCalls();
  EXPECT_EQ(SoundPlay(&none), nullptr);
  EXPECT_TRUE(FakeSoundCalls().empty()) << "no voice: nothing plays";

  const std::pair<const char*, Bytes> formats[] = {
      {"no channels", Fmt(1, 0, 22050, 1, 8)},
      {"block alignment", Fmt(1, 1, 22050, 7, 8)},
      {"compressed", Fmt(2, 1, 22050, 1, 8)},
      {"short, no width: none", Fmt(1, 0, 22050, 1, 0, 14)}};
  for (const auto& [what, fmt] : formats) {
    Install(Riff({{"fmt ", fmt}, {"data", Bytes(16, 130)}}));
    EXPECT_EQ(SoundLoad(&none, "TEST", 1), 0) << what;
  }
  EXPECT_EQ(Count(FSOUND_CREATE), 0u);
  // A 14-byte format has no sample width: it comes from the alignment.
  Install(Riff({{"fmt ", Fmt(1, 2, 11025, 4, 0, 14)}, {"data", Bytes(16, 130)}}));
  SoundRecord r{};
  ASSERT_EQ(SoundLoad(&r, "TEST", 1), 1);
  PlatformWaveFormat f{};
  ASSERT_TRUE(FakeSoundFormat(r.voices[0], &f));
  EXPECT_EQ(std::tuple(f.bitsPerSample, f.channels), std::tuple(16, 2));
}

TEST_F(SoundBankTest, LoadFailuresLeaveNothingBehind) {
  Ready();
  SoundRecord r{};
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
  EXPECT_EQ(FillSoundBuffer(r.voices[0], Bytes(10, 130).data(), 11), 0) << "more than the buffer";
}

TEST_F(SoundBankTest, EffectsLoadOnceTheDeviceOpensAndPlayOnlyByTheirNumbersUntilReleased) {
  LoadSoundEffects();
  PlaySoundEffect(0);
  FakeAudioFailures f;
  f.open = true;
  FakeAudioFail(f);
  EXPECT_EQ(SoundInit(nullptr), 0);
  FakeAudioFail(FakeAudioFailures{});
  EXPECT_TRUE(FakeSoundCalls().empty()) << "nothing loads or plays before the device opens";
  ASSERT_EQ(SoundInit(nullptr), 1);
  LoadSoundEffects();
  for (int32_t n = 0; n < SOUND_EFFECT_COUNT; n++) {
    const char* name = SoundEffectTable[n].name;
    EXPECT_EQ(SoundBank[n].count, SoundEffectTable[n].voices) << name;
    FakeClearSoundCalls();
    PlaySoundEffect(n);
    ASSERT_EQ(Count(FSOUND_PLAY), 1u) << name;
    std::vector<float> out;
    FakeAudioRender(FAKE_AUDIO_RATE / 10, &out);
    EXPECT_GT(*std::max_element(out.begin(), out.end()), 0.1f) << name;
    FakeAudioRender(FAKE_AUDIO_RATE * 3);  // let it finish
  }
  FakeClearSoundCalls();
  for (int32_t n : {-1, SOUND_EFFECT_COUNT, INT32_MIN}) PlaySoundEffect(n);
  EXPECT_TRUE(FakeSoundCalls().empty());
  SoundRelease();
  EXPECT_FALSE(FakeAudioIsOpen());
  EXPECT_EQ(FakeSoundBuffersAlive(), 0);
  for (int32_t n = 0; n < SOUND_EFFECT_COUNT; n++) PlaySoundEffect(n);
  EXPECT_TRUE(FakeSoundCalls().empty()) << "nothing plays after the release";
  EXPECT_EQ(SoundInit(nullptr), 0) << "set up once per run";
  EXPECT_EQ(FakeAudioOpenCount(), 1);
}
}  // namespace
