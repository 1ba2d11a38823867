// The sound-effect bank: the WAVE chunk walk, loading into voices, playing in turn, release.
#include "sound/sound_bank.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "support/case_name.h"

namespace {
using Bytes = std::vector<uint8_t>;

void PutLe32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; i++) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutLe16(Bytes& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

// A chunk with its contents; the stated length is the contents' unless given.
struct Chunk {
  const char* id;
  Bytes contents;
  int64_t stated = -1;
  bool pad = true;  // write the pad byte after odd contents
};

Bytes FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t align, uint16_t bits,
                 size_t length = 16) {
  Bytes b;
  PutLe16(b, tag);
  PutLe16(b, channels);
  PutLe32(b, rate);
  PutLe32(b, rate * align);
  PutLe16(b, align);
  PutLe16(b, bits);
  b.resize(length, 0);
  return b;
}

Bytes Pcm8Mono() { return FormatBody(1, 1, 22050, 1, 8); }

// A RIFF image of the chunks; the RIFF length covers them unless given.
Bytes Riff(const std::vector<Chunk>& chunks, const char* form = "WAVE", int64_t riffLength = -1) {
  Bytes body;
  for (const Chunk& c : chunks) {
    body.insert(body.end(), c.id, c.id + 4);
    PutLe32(body, static_cast<uint32_t>(c.stated >= 0 ? c.stated : c.contents.size()));
    body.insert(body.end(), c.contents.begin(), c.contents.end());
    if (c.pad && c.contents.size() % 2 == 1) body.push_back(0);
  }
  Bytes image = {'R', 'I', 'F', 'F'};
  PutLe32(image, static_cast<uint32_t>(riffLength >= 0 ? riffLength : 4 + body.size()));
  image.insert(image.end(), form, form + 4);
  image.insert(image.end(), body.begin(), body.end());
  return image;
}

Bytes Ramp(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; i++) b[i] = static_cast<uint8_t>(128 + (i % 64));
  return b;
}

struct ParseCase {
  const char* what;
  Bytes image;
  int32_t result;
  int64_t formatAt;  // offset of the format contents, -1 for none
  int64_t samplesAt;
  uint32_t sampleBytes;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.what; }

class ParseWaveTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseWaveTest, FindsFormatAndSamples) {
  const ParseCase& c = GetParam();
  const uint8_t* format = reinterpret_cast<const uint8_t*>(1);
  const uint8_t* samples = reinterpret_cast<const uint8_t*>(1);
  uint32_t formatBytes = 99;
  uint32_t sampleBytes = 99;
  EXPECT_EQ(ParseWave(c.image.data(), static_cast<uint32_t>(c.image.size()), &format, &formatBytes,
                      &samples, &sampleBytes),
            c.result);
  if (c.result == 0) return;
  EXPECT_EQ(format, c.image.data() + c.formatAt);
  EXPECT_EQ(samples, c.image.data() + c.samplesAt);
  EXPECT_EQ(sampleBytes, c.sampleBytes);
}

ParseCase Bad(const char* what, Bytes image) { return {what, std::move(image), 0, -1, -1, 0}; }

Bytes Truncated(Bytes b, size_t keep) {
  b.resize(keep);
  return b;
}

Bytes Good() { return Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(4)}}); }

INSTANTIATE_TEST_SUITE_P(
    Images, ParseWaveTest,
    testing::Values(
        ParseCase{"fmt then data", Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(10)}}), 1, 20, 44, 10},
        ParseCase{"data before fmt", Riff({{"data", Ramp(10)}, {"fmt ", Pcm8Mono()}}), 1, 38, 20,
                  10},
        // The 3-byte chunk is followed by a pad byte, so 'fmt ' starts at 12 + 8 + 4.
        ParseCase{"odd chunk then pad",
                  Riff({{"LIST", Ramp(3)}, {"fmt ", Pcm8Mono()}, {"data", Ramp(5)}}), 1, 32, 56, 5},
        Bad("odd chunk without its pad byte",
            Riff({{"LIST", Ramp(3), -1, false}, {"fmt ", Pcm8Mono()}, {"data", Ramp(5)}})),
        Bad("13-byte fmt", Riff({{"fmt ", FormatBody(1, 1, 22050, 1, 8, 13)}, {"data", Ramp(4)}})),
        ParseCase{"14-byte fmt",
                  Riff({{"fmt ", FormatBody(1, 1, 22050, 1, 8, 14)}, {"data", Ramp(4)}}), 1, 20, 42,
                  4},
        Bad("not WAVE", Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(4)}}, "AVI ")),
        Bad("not RIFF",
            [] {
              Bytes b = Good();
              b[3] = 'X';
              return b;
            }()),
        Bad("nothing after the header", Riff({})),
        Bad("shorter than a header", Truncated(Good(), 10)),
        Bad("fmt only", Riff({{"fmt ", Pcm8Mono()}})), Bad("data only", Riff({{"data", Ramp(8)}})),
        ParseCase{"chunks behind both are not read",
                  Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(4)}, {"junk", Ramp(4), 0x7FFFFFFF}}), 1,
                  20, 44, 4},
        ParseCase{"second fmt is passed over",
                  Riff({{"fmt ", Pcm8Mono()}, {"fmt ", Ramp(4)}, {"data", Ramp(4)}}), 1, 20, 56, 4},
        ParseCase{"empty data waits for a later one",
                  Riff({{"data", {}}, {"fmt ", Pcm8Mono()}, {"data", Ramp(6)}}), 1, 28, 52, 6},
        ParseCase{"data cut short is clamped to the image",
                  Truncated(Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(100)}}), 44 + 30), 1, 20, 44,
                  30},
        ParseCase{"data stated past the RIFF end is clamped",
                  Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(8), 5000}}), 1, 20, 44, 8},
        Bad("fmt cut short",
            Truncated(Riff({{"data", Ramp(4)}, {"fmt ", Pcm8Mono()}}), 12 + 12 + 8 + 10)),
        Bad("huge chunk before fmt",
            Riff({{"junk", Ramp(4), 0xFFFFFFF0}, {"fmt ", Pcm8Mono()}, {"data", Ramp(4)}})),
        Bad("RIFF length ends the walk",
            Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(4)}}, "WAVE", 28))),
    [](const testing::TestParamInfo<ParseCase>& info) { return CaseName(info.param.what); });

TEST(ParseWave, NullImageClearsOutputs) {
  const uint8_t* format = reinterpret_cast<const uint8_t*>(1);
  const uint8_t* samples = reinterpret_cast<const uint8_t*>(1);
  uint32_t formatBytes = 1, sampleBytes = 1;
  EXPECT_EQ(ParseWave(nullptr, 100, &format, &formatBytes, &samples, &sampleBytes), 0);
  EXPECT_EQ(format, nullptr);
  EXPECT_EQ(samples, nullptr);
  EXPECT_EQ(sampleBytes, 0u);
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

TEST_F(SoundBankTest, NothingPlaysBeforeInitWhichNeedsADeviceAndOpensItOnce) {
  Install(Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(10)}}));
  SoundRecord r{};
  EXPECT_EQ(SoundLoad(&r, "TEST", 1), 1);
  EXPECT_EQ(r.count, 0);
  EXPECT_EQ(SoundPlay(&r), nullptr);
  EXPECT_TRUE(FakeSoundCalls().empty());
  FakeAudioFailures f;
  f.open = true;
  FakeAudioFail(f);
  EXPECT_EQ(SoundInit(nullptr), 0);
  EXPECT_FALSE(SoundReady);
  FakeAudioFail(FakeAudioFailures{});
  EXPECT_EQ(SoundInit(nullptr), 1);
  EXPECT_TRUE(SoundReady);
  EXPECT_EQ(SoundInit(nullptr), 0);
  EXPECT_EQ(FakeAudioOpenCount(), 1);
}

TEST_F(SoundBankTest, VoicesShareOneCopyOfTheSamples) {
  Ready();
  SoundRecord r{};
  r.next = 5;
  ASSERT_EQ(SoundLoad(&r, "TEST", 2), 1);
  EXPECT_EQ(std::tuple(r.count, r.next, r.volume, r.pan), std::tuple(2, 0, 0, 0));
  EXPECT_NE(r.voices[0], nullptr);
  EXPECT_NE(r.voices[1], nullptr);
  EXPECT_NE(r.voices[0], r.voices[1]);
  for (int i = 2; i < SOUND_MAX_VOICES; i++) EXPECT_EQ(r.voices[i], nullptr);
  EXPECT_EQ(Ops(), (std::vector<FakeSoundOp>{FSOUND_CREATE, FSOUND_LOCK, FSOUND_UNLOCK,
                                             FSOUND_DUPLICATE}));
  EXPECT_EQ(CallsOf(FSOUND_CREATE)[0].value, 10);
  PlatformWaveFormat f{};
  ASSERT_TRUE(FakeSoundFormat(r.voices[1], &f));
  EXPECT_EQ(std::tuple(f.channels, f.samplesPerSec, f.bitsPerSample), std::tuple(1, 22050u, 8));
}

TEST_F(SoundBankTest, TwoVoicesPlayedThreeTimesCutTheFirst) {
  Ready(22050);
  SoundRecord r{};
  ASSERT_EQ(SoundLoad(&r, "TEST", 2), 1);
  FakeClearSoundCalls();
  EXPECT_EQ(SoundPlay(&r), r.voices[0]);
  EXPECT_EQ(SoundPlay(&r), r.voices[1]);
  FakeAudioRender(441);  // 10 ms: both still sounding, slot 0 part-way in
  FakeClearSoundCalls();
  EXPECT_EQ(SoundPlay(&r), r.voices[0]);
  EXPECT_EQ(Ops(), (std::vector<FakeSoundOp>{FSOUND_STATUS, FSOUND_STOP, FSOUND_POSITION,
                                             FSOUND_PAN, FSOUND_VOLUME, FSOUND_PLAY}));
  EXPECT_EQ(CallsOf(FSOUND_STATUS)[0].value, 1);
  EXPECT_EQ(CallsOf(FSOUND_POSITION)[0].value, 0);
  EXPECT_EQ(CallsOf(FSOUND_PLAY)[0].value, 0);  // restarted from its beginning
  EXPECT_EQ(r.next, 1);
}

TEST_F(SoundBankTest, OneVoiceRestartsWhileSoundingAndPlaysAfreshOnceDone) {
  Ready(2205);  // 0.1 s
  SoundRecord r{};
  ASSERT_EQ(SoundLoad(&r, "TEST", 1), 1);
  SoundPlay(&r);
  FakeAudioRender(441);
  FakeClearSoundCalls();
  SoundPlay(&r);
  EXPECT_EQ(CallsOf(FSOUND_STOP).size(), 1u);
  EXPECT_EQ(CallsOf(FSOUND_PLAY)[0].value, 0);
  FakeAudioRender(FAKE_AUDIO_RATE / 5);  // past its end
  FakeClearSoundCalls();
  SoundPlay(&r);
  EXPECT_EQ(Ops(),
            (std::vector<FakeSoundOp>{FSOUND_STATUS, FSOUND_PAN, FSOUND_VOLUME, FSOUND_PLAY}));
  EXPECT_EQ(CallsOf(FSOUND_PLAY)[0].value, 0);
}

TEST_F(SoundBankTest, VoiceCountsOutsideTheRecordAreRefusedAndZeroIsSilent) {
  Ready();
  for (int32_t voices : {-1, 9, 32, 33}) {
    SoundRecord r{};
    EXPECT_EQ(SoundLoad(&r, "TEST", voices), 0) << voices;
    EXPECT_EQ(r.count, 0);
  }
  SoundRecord full{};
  EXPECT_EQ(SoundLoad(&full, "TEST", SOUND_MAX_VOICES), 1);
  EXPECT_EQ(full.count, SOUND_MAX_VOICES);
  EXPECT_EQ(CallsOf(FSOUND_CREATE).size(), 1u);
  SoundRecord none{};
  ASSERT_EQ(SoundLoad(&none, "TEST", 0), 1);
  EXPECT_EQ(none.count, 0);
  for (PlatformSoundBuffer* v : none.voices) EXPECT_EQ(v, nullptr);
  FakeClearSoundCalls();
  EXPECT_EQ(SoundPlay(&none), nullptr);
  EXPECT_TRUE(FakeSoundCalls().empty());
}

TEST_F(SoundBankTest, FormatsNoVoiceCanPlayAreRefused) {
  ASSERT_EQ(SoundInit(nullptr), 1);
  const struct {
    const char* what;
    Bytes fmt;
  } cases[] = {{"no channels", FormatBody(1, 0, 22050, 1, 8)},
               {"no rate", FormatBody(1, 1, 0, 1, 8)},
               {"12-bit", FormatBody(1, 1, 22050, 2, 12)},
               {"block alignment", FormatBody(1, 1, 22050, 7, 8)},
               {"compressed", FormatBody(2, 1, 22050, 1, 8)},
               {"six channels", FormatBody(1, 6, 22050, 6, 8)}};
  for (const auto& c : cases) {
    Install(Riff({{"fmt ", c.fmt}, {"data", Ramp(16)}}));
    SoundRecord r{};
    EXPECT_EQ(SoundLoad(&r, "TEST", 1), 0) << c.what;
  }
  EXPECT_TRUE(CallsOf(FSOUND_CREATE).empty());
}

TEST_F(SoundBankTest, ShortFormatTakesItsWidthFromTheAlignment) {
  ASSERT_EQ(SoundInit(nullptr), 1);
  Install(Riff({{"fmt ", FormatBody(1, 2, 11025, 4, 0, 14)}, {"data", Ramp(16)}}));
  SoundRecord r{};
  ASSERT_EQ(SoundLoad(&r, "TEST", 1), 1);
  PlatformWaveFormat f{};
  ASSERT_TRUE(FakeSoundFormat(r.voices[0], &f));
  EXPECT_EQ(std::tuple(f.bitsPerSample, f.channels), std::tuple(16, 2));
}

TEST_F(SoundBankTest, LoadFailuresLeaveTheRecordSilent) {
  Ready();
  SoundRecord r{};
  EXPECT_EQ(SoundLoad(&r, nullptr, 1), 0);
  EXPECT_EQ(SoundLoad(&r, "NO_SUCH_EFFECT", 1), 0);

  FakeAudioFailures create;
  create.create = true;
  FakeAudioFail(create);
  EXPECT_EQ(SoundLoad(&r, "TEST", 1), 0);

  FakeAudioFailures lock;
  lock.lock = true;
  FakeAudioFail(lock);
  FakeClearSoundCalls();
  EXPECT_EQ(SoundLoad(&r, "TEST", 1), 0);
  EXPECT_EQ(CallsOf(FSOUND_RELEASE).size(), 1u);  // the unfilled buffer is given back
  EXPECT_EQ(FakeSoundBuffersAlive(), 0);
  EXPECT_EQ(r.count, 0);
  EXPECT_EQ(r.voices[0], nullptr);
}

TEST_F(SoundBankTest, FailedDuplicateLeavesTheFirstVoicePlaying) {
  Ready();
  FakeAudioFailures f;
  f.duplicate = true;
  FakeAudioFail(f);
  SoundRecord r{};
  EXPECT_EQ(SoundLoad(&r, "TEST", 2), 0);
  EXPECT_EQ(r.count, 0);
  ASSERT_NE(r.voices[0], nullptr);
  EXPECT_EQ(SoundPlay(&r), r.voices[0]);
  EXPECT_EQ(SoundPlay(&r), r.voices[0]);
}

TEST_F(SoundBankTest, FileIsTriedWhenNoResourceHasTheName) {
  ASSERT_EQ(SoundInit(nullptr), 1);
  const char* path = "sound_bank_test_effect.wav";
  // A file cut short inside its data chunk still loads what it holds.
  const Bytes image = Truncated(Riff({{"fmt ", Pcm8Mono()}, {"data", Ramp(64)}}), 44 + 40);
  std::FILE* f = std::fopen(path, "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(image.data(), 1, image.size(), f);
  std::fclose(f);
  SoundRecord r{};
  EXPECT_EQ(SoundLoad(&r, path, 1), 1);
  std::remove(path);
  ASSERT_EQ(CallsOf(FSOUND_CREATE).size(), 1u);
  EXPECT_EQ(CallsOf(FSOUND_CREATE)[0].value, 40);
  EXPECT_EQ(r.count, 1);

  std::FILE* empty = std::fopen(path, "wb");
  std::fclose(empty);
  EXPECT_EQ(SoundLoad(&r, path, 1), 0);
  std::remove(path);
}

TEST_F(SoundBankTest, PlaySoundEffectPlaysOnlyTheElevenEffects) {
  ASSERT_EQ(SoundInit(nullptr), 1);
  LoadSoundEffects();
  FakeClearSoundCalls();
  for (int32_t n : {-1, 11, 1000, INT32_MIN}) PlaySoundEffect(n);
  EXPECT_TRUE(FakeSoundCalls().empty());
  for (int32_t n = 0; n < SOUND_EFFECT_COUNT; n++) {
    FakeClearSoundCalls();
    PlaySoundEffect(n);
    ASSERT_EQ(CallsOf(FSOUND_PLAY).size(), 1u) << n;
    EXPECT_EQ(CallsOf(FSOUND_PLAY)[0].buffer, SoundBank[n].voices[0]);
  }
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
  EXPECT_EQ(SoundInit(nullptr), 0);  // set up once per run
}

TEST_F(SoundBankTest, FillCopiesIntoBothRegions) {
  Ready(8);
  SoundRecord r{};
  ASSERT_EQ(SoundLoad(&r, "TEST", 1), 1);
  EXPECT_EQ(FillSoundBuffer(nullptr, Ramp(8).data(), 8), 0);
  EXPECT_EQ(FillSoundBuffer(r.voices[0], nullptr, 8), 0);
  EXPECT_EQ(FillSoundBuffer(r.voices[0], Ramp(8).data(), 0), 0);
  EXPECT_EQ(FillSoundBuffer(r.voices[0], Ramp(8).data(), 9), 0);  // more than the buffer
  EXPECT_EQ(FillSoundBuffer(r.voices[0], Ramp(8).data(), 8), 1);
}
}  // namespace
