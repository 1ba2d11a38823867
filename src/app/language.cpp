// The texts outside the picture in both languages, and the choice between them.
#include "app/language.h"

#include <cstdlib>
#include <cstring>

#include "app/frame_cycle.h"

GameLanguage TextLanguage = LANGUAGE_ENGLISH;

namespace {

struct TextPair {
  const char* japanese;
  const char* english;
};

const char* Pick(const TextPair& text) {
  return TextLanguage == LANGUAGE_JAPANESE ? text.japanese : text.english;
}

constexpr TextPair CLOSE_QUESTION = {"終了します。\nよろしいですか？",
                                     "The game will end.\nAre you sure?"};
constexpr TextPair INIT_FAILED = {
    "初期化に失敗しました。\n\n取り扱い説明書を参照して下さい。",
    "The game window could not be made.\n\nSee \"Troubleshooting\" in the README."};
// The original had no such case: a Japanese player gets its start-up failure text.
constexpr TextPair NO_DISPLAY = {
    "初期化に失敗しました。\n\n取り扱い説明書を参照して下さい。",
    "No display to show the game on: DISPLAY and WAYLAND_DISPLAY name none.\n\n"
    "Start the game from a desktop session, over SSH with \"ssh -X\", or in a virtual display "
    "with \"xvfb-run -a zizid-ozavav\". See \"Troubleshooting\" in the README."};
constexpr TextPair NEED_COLOURS = {
    "256色ﾓｰﾄﾞに設定してください。\n\n取り扱い説明書を参照して下さい。",
    "Please set the display to 256 colours or more.\n\nSee \"Troubleshooting\" in the README."};
constexpr TextPair ERROR_HEADING = {"エラーが発生！\n\n", "An error occurred!\n\n"};
constexpr TextPair ERROR_CLOSING = {"\n終了します。", "\nThe game will end."};

struct ErrorLine {
  uint32_t bit;
  TextPair format;
};
// English names what failed on this machine and how to get past it.
constexpr ErrorLine ERROR_LINES[] = {
    {ERR_INIT, {"%04d:初期化に失敗しました\n", "%04d: the game could not be initialised.\n"}},
    {ERR_DIRECTDRAW,
     {"%04d:DirectDraw初期化に失敗しました\n",
      "%04d: the display could not be set up: no renderer works in the game's window. Start "
      "without /E, or pick another video driver with SDL_VIDEODRIVER=x11 or wayland.\n"}},
    {ERR_DIRECT3D,
     {"%04d:Direct3D初期化に失敗しました\n", "%04d: the 3-D display could not be set up.\n"}},
    {ERR_DIRECTSOUND,
     {"%04d:DirectSound初期化に失敗しました\n",
      "%04d: the sound device could not be opened. Start with SDL_AUDIODRIVER=dummy to play "
      "without sound, or pick another output with SDL_AUDIODRIVER=pipewire, pulseaudio or "
      "alsa.\n"}},
    {ERR_MIDISTREAM,
     {"%04d:MIDI Stream初期化に失敗しました\n",
      "%04d: the music player could not be started. See \"Troubleshooting\" in the README.\n"}},
    {ERR_FILE,
     {"%04d:ファイル操作に失敗しました\n", "%04d: a file could not be read or written.\n"}},
    {ERR_MEMORY, {"%04d:メモリ操作に失敗しました\n", "%04d: the game ran out of memory.\n"}},
    {ERR_SERIOUS, {"%04d:重大エラーが発生しました\n", "%04d: a serious error occurred.\n"}},
};

const char* NonEmpty(const char* value) {
  return value != nullptr && value[0] != '\0' ? value : nullptr;
}

}  // namespace

GameLanguage LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang) {
  const char* locale = NonEmpty(lcAll);
  if (locale == nullptr) locale = NonEmpty(lcMessages);
  if (locale == nullptr) locale = NonEmpty(lang);
  return locale != nullptr && std::strncmp(locale, "ja", 2) == 0 ? LANGUAGE_JAPANESE
                                                                 : LANGUAGE_ENGLISH;
}

GameLanguage ChooseLanguage(const std::string& option) {
  if (option == "ja") return LANGUAGE_JAPANESE;
  if (option == "en") return LANGUAGE_ENGLISH;
  return LanguageFromLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

const char* CloseQuestionText() { return Pick(CLOSE_QUESTION); }
const char* InitFailedText() { return Pick(INIT_FAILED); }
const char* NoDisplayText() { return Pick(NO_DISPLAY); }
const char* NeedColoursText() { return Pick(NEED_COLOURS); }
const char* ErrorHeadingText() { return Pick(ERROR_HEADING); }
const char* ErrorClosingText() { return Pick(ERROR_CLOSING); }

const char* ErrorLineFormat(uint32_t bit) {
  for (const ErrorLine& line : ERROR_LINES)
    if (line.bit == bit) return Pick(line.format);
  return nullptr;
}
