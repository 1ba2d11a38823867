// Reads the game's own score notation (described in score_notation.h) into a MIDI song.
#include "score_notation.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <utility>

namespace {

constexpr uint32_t WHOLE_NOTE = 4 * TICKS_PER_QUARTER;
constexpr int MAX_NESTING = 8;
constexpr int ACCENT = 16;           // what '^' adds to a note's velocity and '_' takes away
constexpr uint8_t EXPRESSION = 11;   // the controller that swells and fades a part
constexpr uint32_t SWELL_STEP = 60;  // ticks between the steps of a swell
constexpr uint32_t SWELL_SHORTEST = 2 * TICKS_PER_QUARTER;  // notes shorter than this do not swell

// A drum hit of a pattern: where it falls on the grid, and how far a player pushes or drags it.
struct PatternHit {
  uint32_t start;
  int shift;
  uint8_t key;
  uint8_t velocity;
};

// How a part is played beyond its notes: the weight of the beats and the breath of long notes.
struct PartStyle {
  int beat = 0;    // velocity added on the bar's first beat, half on its middle, taken off between
  int swell = 0;   // expression a long note starts from before it swells; 0 for none
  int phrase = 0;  // velocity a four-bar phrase builds by towards its third bar
};

struct Block {
  std::string keyword;
  std::string name;
  std::map<std::string, std::string> args;
  std::vector<std::string> lines;
  int line = 0;
};

struct Score {
  std::vector<Block> blocks;
  std::map<std::string, std::string> defines;
  std::map<std::string, std::vector<PatternHit>> patterns;  // one bar each, from tick 0
  uint32_t barTicks = WHOLE_NOTE;
  std::string error;
};

bool Fail(Score& s, const std::string& where, const std::string& what) {
  if (s.error.empty()) s.error = where + ": " + what;
  return false;
}

std::string Trim(std::string_view text) {
  size_t a = 0;
  size_t b = text.size();
  while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) --b;
  return std::string(text.substr(a, b - a));
}

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Splits `word word key=value key="a value"` into plain words and arguments.
void SplitHeader(const std::string& text, Block& block) {
  size_t i = 0;
  int plain = 0;
  while (i < text.size()) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i >= text.size()) break;
    std::string word;
    while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) {
      if (text[i] == '"') {
        for (++i; i < text.size() && text[i] != '"'; ++i) word += text[i];
        ++i;
      } else {
        word += text[i++];
      }
    }
    const size_t eq = word.find('=');
    if (eq != std::string::npos) {
      block.args[word.substr(0, eq)] = word.substr(eq + 1);
    } else if (plain++ == 0) {
      block.keyword = word;
    } else {
      block.name = word;
    }
  }
}

bool SplitBlocks(std::string_view text, Score& s) {
  int lineNo = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(pos, end - pos));
    pos = end + 1;
    ++lineNo;
    const size_t comment = line.find('%');
    if (comment != std::string::npos) line.resize(comment);
    if (Trim(line).empty()) continue;
    if (!std::isspace(static_cast<unsigned char>(line[0]))) {
      Block b;
      b.line = lineNo;
      SplitHeader(line, b);
      s.blocks.push_back(b);
    } else if (s.blocks.empty()) {
      return Fail(s, "line " + std::to_string(lineNo), "indented text before any block");
    } else {
      s.blocks.back().lines.push_back(Trim(line));
    }
  }
  return true;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

// Replaces every $NAME by its definition, which may itself use others.
std::optional<std::string> ExpandDefines(Score& s, const std::string& text,
                                         const std::string& where, int depth) {
  if (depth > MAX_NESTING) {
    Fail(s, where, "definitions nest too deeply (or use themselves)");
    return std::nullopt;
  }
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '$') {
      out += text[i];
      continue;
    }
    size_t j = i + 1;
    while (j < text.size() && IsNameChar(text[j])) ++j;
    const std::string name = text.substr(i + 1, j - i - 1);
    auto it = s.defines.find(name);
    if (it == s.defines.end()) {
      Fail(s, where, "no definition named '" + name + "'");
      return std::nullopt;
    }
    auto inner = ExpandDefines(s, it->second, where, depth + 1);
    if (!inner) return std::nullopt;
    out += " " + *inner + " ";
    i = j - 1;
  }
  return out;
}

// Unrolls |: ... :|N (N defaults to 2) into bars separated by bar lines; repeats may nest.
std::optional<std::string> ExpandRepeats(Score& s, const std::string& text,
                                         const std::string& where, size_t& i, bool inner,
                                         int depth) {
  if (depth > MAX_NESTING) {
    Fail(s, where, "repeats nest too deeply");
    return std::nullopt;
  }
  std::string out;
  while (i < text.size()) {
    if (text.compare(i, 2, "|:") == 0) {
      i += 2;
      auto body = ExpandRepeats(s, text, where, i, true, depth + 1);
      if (!body) return std::nullopt;
      int count = 0;
      while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        count = count * 10 + (text[i++] - '0');
      }
      if (count == 0) count = 2;
      out += " | ";
      for (int n = 0; n < count; ++n) out += *body + " | ";
    } else if (text.compare(i, 2, ":|") == 0) {
      if (!inner) {
        Fail(s, where, "':|' without its '|:'");
        return std::nullopt;
      }
      i += 2;
      return out;
    } else {
      out += text[i++];
    }
  }
  if (inner) {
    Fail(s, where, "'|:' without its ':|'");
    return std::nullopt;
  }
  return out;
}

std::optional<std::string> ExpandBody(Score& s, const Block& b, const std::string& where) {
  auto text = ExpandDefines(s, JoinLines(b.lines), where, 0);
  if (!text) return std::nullopt;
  size_t i = 0;
  return ExpandRepeats(s, *text, where, i, false, 0);
}

bool ArgNumber(Score& s, const Block& b, const std::string& key, int lo, int hi, int fallback,
               int* out) {
  auto it = b.args.find(key);
  if (it == b.args.end()) {
    *out = fallback;
    return true;
  }
  char* end = nullptr;
  const long v = std::strtol(it->second.c_str(), &end, 10);
  if (it->second.empty() || *end != '\0' || v < lo || v > hi) {
    return Fail(s, "line " + std::to_string(b.line),
                key + "=" + it->second + " is not a number from " + std::to_string(lo) + " to " +
                    std::to_string(hi));
  }
  *out = static_cast<int>(v);
  return true;
}

int DynamicLevel(const std::string& mark) {
  static const std::map<std::string, int> levels = {{"pp", 40}, {"p", 55},  {"mp", 70},
                                                    {"mf", 85}, {"f", 100}, {"ff", 115}};
  auto it = levels.find(mark);
  return it == levels.end() ? -1 : it->second;
}

// Players lean on the strong beats: the velocity a beat weight adds at a place in the bar.
int BeatWeight(int beat, uint32_t inBar, uint32_t barTicks) {
  if (inBar % barTicks == 0) return beat;
  if (barTicks % 2 == 0 && inBar % (barTicks / 2) == 0) return beat / 2;
  if (inBar % TICKS_PER_QUARTER == 0) return 0;
  if (inBar % (TICKS_PER_QUARTER / 2) == 0) return -beat / 2;
  return -beat;
}

// The arch of a four-bar phrase: it grows to its third bar and settles on the fourth.
int PhraseWeight(const PartStyle& style, uint32_t tick, uint32_t barTicks) {
  static const int ARCH[4] = {0, 2, 4, 1};  // quarters of the part's phrase weight
  return style.phrase * ARCH[tick / barTicks % 4] / 4;
}

int NotePitchClass(char letter) {
  static const int classes[7] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
  return classes[std::tolower(static_cast<unsigned char>(letter)) - 'a'];
}

// Intervals above the root for each chord-symbol quality.
const std::vector<int>* ChordIntervals(const std::string& quality) {
  static const std::map<std::string, std::vector<int>> table = {
      {"", {0, 4, 7}},
      {"m", {0, 3, 7}},
      {"7", {0, 4, 7, 10}},
      {"maj7", {0, 4, 7, 11}},
      {"m7", {0, 3, 7, 10}},
      {"dim", {0, 3, 6}},
      {"dim7", {0, 3, 6, 9}},
      {"m7b5", {0, 3, 6, 10}},
      {"aug", {0, 4, 8}},
      {"sus2", {0, 2, 7}},
      {"sus4", {0, 5, 7}},
      {"7sus4", {0, 5, 7, 10}},
      {"add9", {0, 2, 4, 7}},
      {"madd9", {0, 2, 3, 7}},
      {"6", {0, 4, 7, 9}},
      {"m6", {0, 3, 7, 9}},
      {"9", {0, 2, 4, 7, 10}},
      {"m9", {0, 2, 3, 7, 10}},
      {"maj9", {0, 2, 4, 7, 11}},
      {"5", {0, 7}},
      {"mmaj7", {0, 3, 7, 11}},
  };
  auto it = table.find(quality);
  return it == table.end() ? nullptr : &it->second;
}

// A note whose end is not known yet: a tie may still lengthen it.
struct OpenNote {
  uint32_t start;
  uint32_t full;  // written length, ties included
  uint32_t gap;   // silence the gate leaves at the end of its last piece
  uint8_t key;
  uint8_t velocity;
};

struct Voice {
  Voice(Score& score, std::string name, const std::string& body, PartStyle partStyle)
      : s(score), where(std::move(name)), text(body), style(partStyle) {}

  Score& s;
  std::string where;
  const std::string& text;
  PartStyle style;
  size_t i = 0;
  int octave = 4;
  uint32_t defaultLength = TICKS_PER_QUARTER;
  int velocity = 85;
  int gate = 7;
  int transpose = 0;
  uint32_t time = 0;
  uint32_t barStart = 0;
  bool tiePending = false;
  int accent = 0;        // for the next note or chord only
  int expression = 127;  // as last sent
  std::vector<OpenNote> open;
  std::vector<MidiNote> notes;
  std::vector<MidiControl> controls;

  bool Fail(const std::string& what) {
    return ::Fail(s, where + " bar " + std::to_string(barStart / s.barTicks + 1), what);
  }
  bool More() const { return i < text.size(); }
  char Peek() const { return i < text.size() ? text[i] : '\0'; }
  bool PeekDigit() const { return std::isdigit(static_cast<unsigned char>(Peek())) != 0; }

  int Number() {
    int v = 0;
    while (PeekDigit() && v < 100000) v = v * 10 + (text[i++] - '0');
    return v;
  }
  int SignedNumber() {
    int sign = 1;
    if (Peek() == '+' || Peek() == '-') sign = text[i++] == '-' ? -1 : 1;
    return sign * Number();
  }

  bool Length(uint32_t* ticks) {
    uint32_t t = defaultLength;
    if (PeekDigit()) {
      const int n = Number();
      if (n <= 0 || WHOLE_NOTE % static_cast<uint32_t>(n) != 0) {
        return Fail("length " + std::to_string(n) + " does not divide a whole note");
      }
      t = WHOLE_NOTE / static_cast<uint32_t>(n);
    }
    uint32_t add = t;
    while (Peek() == '.') {
      ++i;
      add /= 2;
      t += add;
    }
    *ticks = t;
    return true;
  }

  int Accidentals() {
    int shift = 0;
    while (Peek() == '+' || Peek() == '#' || Peek() == '-') shift += text[i++] == '-' ? -1 : 1;
    return shift;
  }

  bool Key(int oct, int pitchClass, uint8_t* key) {
    const int k = (oct + 1) * 12 + pitchClass + transpose;
    if (k < 0 || k > 127) return Fail("note out of the MIDI range");
    *key = static_cast<uint8_t>(k);
    return true;
  }

  void Express(uint32_t tick, int value) {
    if (value == expression) return;
    expression = value;
    controls.push_back({tick, EXPRESSION, static_cast<uint8_t>(value)});
  }

  // A long note swells from the part's swell level to full over most of its length and eases
  // back a little before the next; a short one plays at full expression.
  void Swell(uint32_t start, uint32_t full) {
    if (full < SWELL_SHORTEST) {
      Express(start, 127);
      return;
    }
    const double room = 127 - style.swell;
    for (uint32_t t = 0; t < full; t += SWELL_STEP) {
      const double f = static_cast<double>(t) / full;
      const double rise = std::min(f / 0.55, 1.0);
      const double ease = f > 0.7 ? (f - 0.7) / 0.3 * 0.3 : 0.0;
      const double shaped = rise * rise * (3 - 2 * rise) - ease;
      Express(start + t, static_cast<int>(std::lround(style.swell + room * shaped)));
    }
  }

  void CloseOpen() {
    if (style.swell > 0 && !open.empty()) Swell(open.front().start, open.front().full);
    for (const OpenNote& n : open) {
      const uint32_t length = std::max<uint32_t>(n.full - std::min(n.gap, n.full - 1), 1);
      notes.push_back({n.start, length, n.key, n.velocity});
    }
    open.clear();
  }

  bool Sound(std::vector<uint8_t> keys, uint32_t ticks) {
    const uint32_t gap = ticks * static_cast<uint32_t>(8 - gate) / 8;
    if (tiePending) {
      tiePending = false;
      if (keys.size() != open.size()) return Fail("a tie joins different notes");
      for (OpenNote& n : open) {
        if (std::find(keys.begin(), keys.end(), n.key) == keys.end()) {
          return Fail("a tie joins different notes");
        }
        n.full += ticks;
        n.gap = gap;
      }
    } else {
      CloseOpen();
      const int played = velocity + accent + BeatWeight(style.beat, time % s.barTicks, s.barTicks) +
                         PhraseWeight(style, time, s.barTicks);
      for (uint8_t k : keys) {
        open.push_back({time, ticks, gap, k, static_cast<uint8_t>(std::clamp(played, 1, 127))});
      }
    }
    accent = 0;
    time += ticks;
    return true;
  }

  bool Note() {
    const int pc = NotePitchClass(text[i++]) + Accidentals();
    uint8_t key = 0;
    uint32_t ticks = 0;
    return Key(octave, pc, &key) && Length(&ticks) && Sound({key}, ticks);
  }

  bool Chord() {
    ++i;
    int oct = octave;
    std::vector<uint8_t> keys;
    while (More() && Peek() != ']') {
      const char c = text[i];
      if (std::isspace(static_cast<unsigned char>(c))) {
        ++i;
      } else if (c == '>' || c == '<') {
        oct += c == '>' ? 1 : -1;
        ++i;
      } else if (c >= 'a' && c <= 'g') {
        ++i;
        uint8_t key = 0;
        if (!Key(oct, NotePitchClass(c) + Accidentals(), &key)) return false;
        keys.push_back(key);
      } else {
        return Fail(std::string("'") + c + "' inside a chord");
      }
    }
    if (!More()) return Fail("'[' without its ']'");
    ++i;
    if (keys.empty()) return Fail("an empty chord");
    uint32_t ticks = 0;
    return Length(&ticks) && Sound(keys, ticks);
  }

  // {Root[#|b]quality}: chord tones folded into the octave from the current C upwards, so
  // that a run of symbols moves by the smallest steps.
  bool Symbol() {
    const size_t close = text.find('}', i);
    if (close == std::string::npos) return Fail("'{' without its '}'");
    const std::string sym = text.substr(i + 1, close - i - 1);
    i = close + 1;
    if (sym.empty() || sym[0] < 'A' || sym[0] > 'G') return Fail("chord symbol '" + sym + "'");
    int root = NotePitchClass(sym[0]);
    size_t q = 1;
    if (q < sym.size() && (sym[q] == '#' || sym[q] == 'b')) root += sym[q++] == '#' ? 1 : -1;
    const std::vector<int>* intervals = ChordIntervals(sym.substr(q));
    if (intervals == nullptr) return Fail("unknown chord quality in '" + sym + "'");
    std::vector<uint8_t> keys;
    for (int step : *intervals) {
      uint8_t key = 0;
      if (!Key(octave, ((root + step) % 12 + 12) % 12, &key)) return false;
      keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    uint32_t ticks = 0;
    return Length(&ticks) && Sound(keys, ticks);
  }

  bool Rest() {
    ++i;
    uint32_t ticks = 0;
    if (!Length(&ticks)) return false;
    if (tiePending) return Fail("a tie into a rest");
    CloseOpen();
    time += ticks;
    return true;
  }

  bool BarLine() {
    ++i;
    const uint32_t inBar = time - barStart;
    if (inBar % s.barTicks != 0) {
      return Fail("holds " + std::to_string(inBar % s.barTicks) + " ticks past the bar; a bar is " +
                  std::to_string(s.barTicks));
    }
    barStart = time;
    return true;
  }

  bool Dynamic() {
    ++i;
    std::string mark;
    while (std::isalpha(static_cast<unsigned char>(Peek()))) mark += text[i++];
    const int level = DynamicLevel(mark);
    if (level < 0) return Fail("unknown dynamic '!" + mark + "'");
    velocity = level;
    return true;
  }

  bool Setting(char c) {
    ++i;
    if (c == 'k') {
      transpose = SignedNumber();
      return transpose >= -24 && transpose <= 24 ? true : Fail("transpose beyond two octaves");
    }
    if (c == 'l') {
      uint32_t t = 0;
      if (!PeekDigit()) return Fail("'l' needs a length");
      if (!Length(&t)) return false;
      defaultLength = t;
      return true;
    }
    if (!PeekDigit()) return Fail(std::string("'") + c + "' needs a number");
    const int v = Number();
    if (c == 'o') {
      if (v > 9) return Fail("octave beyond 9");
      octave = v;
    } else if (c == 'v') {
      if (v < 1 || v > 127) return Fail("velocity outside 1 to 127");
      velocity = v;
    } else if (c == 'x') {
      if (v > 127) return Fail("expression beyond 127");
      if (tiePending) return Fail("expression inside a tie");
      CloseOpen();
      Express(time, v);
    } else {
      if (v < 1 || v > 8) return Fail("gate outside 1 to 8");
      gate = v;
    }
    return true;
  }

  bool Step() {
    const char c = Peek();
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
      return true;
    }
    if (c >= 'a' && c <= 'g') return Note();
    switch (c) {
      case 'r':
        return Rest();
      case '[':
        return Chord();
      case '{':
        return Symbol();
      case '|':
        return BarLine();
      case '!':
        return Dynamic();
      case '>':
        ++octave;
        ++i;
        return true;
      case '<':
        --octave;
        ++i;
        return octave >= 0 ? true : Fail("octave below 0");
      case '~':
        ++i;
        if (open.empty()) return Fail("a tie after no note");
        tiePending = true;
        return true;
      case '^':
      case '_':
        ++i;
        accent = c == '^' ? ACCENT : -ACCENT;
        return true;
      case 'o':
      case 'l':
      case 'v':
      case 'q':
      case 'k':
      case 'x':
        return Setting(c);
      default:
        return Fail(std::string("unexpected '") + c + "'");
    }
  }

  bool Run() {
    while (More()) {
      if (!Step()) return false;
    }
    if (tiePending) return Fail("a tie at the end");
    CloseOpen();
    return BarLine();
  }
};

bool ReadStyle(Score& s, const Block& b, PartStyle* style) {
  return ArgNumber(s, b, "beat", 0, 40, 0, &style->beat) &&
         ArgNumber(s, b, "swell", 0, 126, 0, &style->swell) &&
         ArgNumber(s, b, "phrase", 0, 40, 0, &style->phrase);
}

bool PartHeader(Score& s, const Block& b, bool drums, MidiPart* part) {
  int channel = 0;
  int program = 0;
  int volume = 0;
  int pan = 0;
  int reverb = 0;
  int chorus = 0;
  if (!ArgNumber(s, b, "channel", 1, 16, drums ? 10 : 1, &channel) ||
      !ArgNumber(s, b, "program", 1, 128, 1, &program) ||
      !ArgNumber(s, b, "volume", 0, 127, 100, &volume) ||
      !ArgNumber(s, b, "pan", 0, 127, 64, &pan) ||
      !ArgNumber(s, b, "reverb", 0, 127, 40, &reverb) ||
      !ArgNumber(s, b, "chorus", 0, 127, 0, &chorus)) {
    return false;
  }
  if (drums != (channel - 1 == DRUM_CHANNEL)) {
    return Fail(s, "line " + std::to_string(b.line),
                drums ? "drums belong on channel 10" : "channel 10 is for drums");
  }
  part->name = b.name;
  part->channel = static_cast<uint8_t>(channel - 1);
  part->program = static_cast<uint8_t>(program - 1);
  part->volume = static_cast<uint8_t>(volume);
  part->pan = static_cast<uint8_t>(pan);
  part->reverb = static_cast<uint8_t>(reverb);
  part->chorus = static_cast<uint8_t>(chorus);
  return true;
}

int DrumKey(const std::string& name) {
  static const std::map<std::string, int> kit = {
      {"kick", 36},   {"kick2", 35}, {"snare", 38},   {"snare2", 40},  {"rim", 37},
      {"clap", 39},   {"hat", 42},   {"pedal", 44},   {"open", 46},    {"crash", 49},
      {"crash2", 57}, {"ride", 51},  {"bell", 53},    {"china", 52},   {"splash", 55},
      {"tom1", 50},   {"tom2", 48},  {"tom3", 47},    {"tom4", 45},    {"floor", 43},
      {"floor2", 41}, {"tamb", 54},  {"cowbell", 56}, {"shaker", 70},  {"conga", 63},
      {"conga2", 64}, {"bongo", 60}, {"bongo2", 61},  {"timbale", 65}, {"triangle", 81},
      {"chimes", 84},
  };
  auto it = kit.find(name);
  if (it != kit.end()) return it->second;
  char* end = nullptr;
  const long v = std::strtol(name.c_str(), &end, 10);
  return (!name.empty() && *end == '\0' && v >= 0 && v <= 127) ? static_cast<int>(v) : -1;
}

// A row's name may end in +N or -N: the row plays N ticks late or early, as a drummer lays back
// a snare or pushes a hat.
bool ReadPattern(Score& s, const Block& b) {
  const std::string where = "pattern " + b.name;
  std::vector<PatternHit> hits;
  for (const std::string& row : b.lines) {
    const size_t split = row.find_first_of(" \t");
    std::string instrument = row.substr(0, split);
    int shift = 0;
    const size_t sign = instrument.find_first_of("+-");
    if (sign != std::string::npos) {
      char* end = nullptr;
      const long v = std::strtol(instrument.c_str() + sign, &end, 10);
      if (*end != '\0' || v < -60 || v > 60) {
        return Fail(s, where, "'" + instrument + "' pushes by more than 60 ticks");
      }
      shift = static_cast<int>(v);
      instrument.resize(sign);
    }
    std::string grid;
    if (split != std::string::npos) {
      for (char c : row.substr(split)) {
        if (!std::isspace(static_cast<unsigned char>(c))) grid += c;
      }
    }
    const int key = DrumKey(instrument);
    if (key < 0) return Fail(s, where, "unknown instrument '" + instrument + "'");
    if (grid.empty() || s.barTicks % grid.size() != 0) {
      return Fail(s, where, "row '" + instrument + "' does not split the bar evenly");
    }
    const uint32_t step = s.barTicks / static_cast<uint32_t>(grid.size());
    for (size_t n = 0; n < grid.size(); ++n) {
      const char c = grid[n];
      const int vel = c == 'X' ? 127 : c == 'x' ? 100 : c == 'o' ? 62 : 0;
      if (vel == 0 && c != '.' && c != '-') {
        return Fail(s, where, std::string("'") + c + "' in row '" + instrument + "'");
      }
      if (vel > 0) {
        hits.push_back({static_cast<uint32_t>(n) * step, shift, static_cast<uint8_t>(key),
                        static_cast<uint8_t>(vel)});
      }
    }
  }
  s.patterns[b.name] = hits;
  return true;
}

bool ReadDrums(Score& s, const Block& b, const PartStyle& style, MidiPart* part, uint32_t* length) {
  const std::string where = "drums " + b.name;
  auto text = ExpandBody(s, b, where);
  if (!text) return false;
  uint32_t time = 0;
  int level = 100;
  size_t i = 0;
  while (i < text->size()) {
    while (i < text->size() &&
           (std::isspace(static_cast<unsigned char>((*text)[i])) || (*text)[i] == '|')) {
      ++i;
    }
    size_t j = i;
    while (j < text->size() && !std::isspace(static_cast<unsigned char>((*text)[j])) &&
           (*text)[j] != '|') {
      ++j;
    }
    if (j == i) break;
    const std::string word = text->substr(i, j - i);
    i = j;
    const std::string bar = " bar " + std::to_string(time / s.barTicks + 1);
    if (word[0] == '!') {
      level = DynamicLevel(word.substr(1));
      if (level < 0) return Fail(s, where + bar, "unknown dynamic '" + word + "'");
      continue;
    }
    if (word != "-") {
      auto it = s.patterns.find(word);
      if (it == s.patterns.end()) return Fail(s, where + bar, "no pattern named '" + word + "'");
      for (const PatternHit& h : it->second) {
        const int weight =
            BeatWeight(style.beat, h.start, s.barTicks) + PhraseWeight(style, time, s.barTicks);
        const int vel = std::clamp(h.velocity * level / 100 + weight, 1, 127);
        const int start = std::max(static_cast<int>(time + h.start) + h.shift, 0);
        part->notes.push_back({static_cast<uint32_t>(start), 60, h.key, static_cast<uint8_t>(vel)});
      }
    }
    time += s.barTicks;
  }
  *length = time;
  return true;
}

bool ReadSong(Score& s, const Block& b, MidiSong* song, int* bpm, int* level) {
  const std::string where = "line " + std::to_string(b.line);
  song->name = b.args.count("name") ? b.args.at("name") : "";
  if (!ArgNumber(s, b, "tempo", 20, 300, 120, bpm) ||
      !ArgNumber(s, b, "level", 1, 100, 100, level)) {
    return false;
  }
  const std::string time = b.args.count("time") ? b.args.at("time") : "4/4";
  const size_t slash = time.find('/');
  const int beats = std::atoi(time.substr(0, slash).c_str());
  const int unit = slash == std::string::npos ? 0 : std::atoi(time.substr(slash + 1).c_str());
  if (beats < 1 || beats > 16 || (unit != 2 && unit != 4 && unit != 8 && unit != 16)) {
    return Fail(s, where, "time=" + time + " is not a metre");
  }
  song->beatsPerBar = static_cast<uint8_t>(beats);
  song->beatUnit = static_cast<uint8_t>(unit);
  s.barTicks = WHOLE_NOTE / static_cast<uint32_t>(unit) * static_cast<uint32_t>(beats);
  return true;
}

// Each bar restates the tempo in force, so a change of playback speed is heard within a bar.
void BuildTempoMap(const std::map<uint32_t, int>& changes, uint32_t barTicks, MidiSong* song) {
  int bpm = changes.begin()->second;
  for (uint32_t tick = 0; tick <= song->lengthTicks; tick += barTicks) {
    auto it = changes.find(tick / barTicks + 1);
    if (it != changes.end()) bpm = it->second;
    song->tempos.push_back({tick, static_cast<uint32_t>((60000000 + bpm / 2) / bpm)});
  }
}

}  // namespace

bool ParseScore(std::string_view text, MidiSong* song, std::string* error) {
  Score s;
  *song = MidiSong{};
  std::map<uint32_t, int> tempoChanges;
  int level = 100;
  bool ok = SplitBlocks(text, s);
  for (const Block& b : s.blocks) {
    if (b.keyword == "define") s.defines[b.name] = JoinLines(b.lines);
  }
  for (size_t n = 0; ok && n < s.blocks.size(); ++n) {
    const Block& b = s.blocks[n];
    if (b.keyword == "song") {
      int bpm = 0;
      ok = ReadSong(s, b, song, &bpm, &level);
      tempoChanges[1] = bpm;
    } else if (b.keyword == "tempo") {
      int bar = 0;
      int bpm = 0;
      ok = ArgNumber(s, b, "bar", 2, 10000, 0, &bar) && ArgNumber(s, b, "bpm", 20, 300, 0, &bpm);
      tempoChanges[static_cast<uint32_t>(bar)] = bpm;
    } else if (b.keyword == "pattern") {
      ok = ReadPattern(s, b);
    } else if (b.keyword == "part" || b.keyword == "drums") {
      const bool drums = b.keyword == "drums";
      MidiPart part;
      PartStyle style;
      uint32_t length = 0;
      ok = PartHeader(s, b, drums, &part) && ReadStyle(s, b, &style);
      if (ok && drums) {
        ok = ReadDrums(s, b, style, &part, &length);
      } else if (ok) {
        auto body = ExpandBody(s, b, "part " + b.name);
        if (!body) break;
        Voice v(s, "part " + b.name, *body, style);
        ok = v.Run();
        part.notes = std::move(v.notes);
        part.controls = std::move(v.controls);
        length = v.time;
      }
      // The loop starts again at full expression, however the song ended.
      if (!part.controls.empty() && part.controls.front().tick != 0) {
        part.controls.insert(part.controls.begin(), {0, EXPRESSION, 127});
      }
      // Every part runs the whole song, so the loop point is the same for all.
      if (ok && !song->parts.empty() && length != song->lengthTicks) {
        ok = Fail(s, b.keyword + " " + b.name,
                  "lasts " + std::to_string(length) + " ticks, the parts above " +
                      std::to_string(song->lengthTicks));
      }
      song->lengthTicks = length;
      song->parts.push_back(std::move(part));
    } else if (b.keyword != "define") {
      ok = Fail(s, "line " + std::to_string(b.line), "unknown block '" + b.keyword + "'");
    }
  }
  if (s.error.empty() && (tempoChanges.count(1) == 0 || song->parts.empty())) {
    Fail(s, "score", "needs a song line and at least one part");
  }
  if (s.error.empty() && (song->lengthTicks == 0 || song->lengthTicks % s.barTicks != 0)) {
    Fail(s, "score", "the parts must fill whole bars");
  }
  if (s.error.empty()) {
    for (MidiPart& part : song->parts) {
      part.volume = static_cast<uint8_t>((part.volume * level + 50) / 100);
    }
    BuildTempoMap(tempoChanges, s.barTicks, song);
  }
  *error = s.error;
  return s.error.empty();
}
