// The language of the texts outside the picture: the original Japanese, or English.
#pragma once
#include <cstdint>
#include <string>

enum GameLanguage : int32_t { LANGUAGE_JAPANESE = 0, LANGUAGE_ENGLISH = 1 };

extern GameLanguage TextLanguage;  // English until the entry chooses

// Japanese when the locale that names the messages' language starts with "ja": LC_ALL, else
// LC_MESSAGES, else LANG, the first that is set and not empty.
GameLanguage LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang);
// "--language ja|en" when given, else the environment's locale.
GameLanguage ChooseLanguage(const std::string& option);

// The texts, in TextLanguage.
const char* CloseQuestionText();
const char* InitFailedText();    // the window could not be made
const char* NoDisplayText();     // an interactive start found no screen to show the game on
const char* NeedColoursText();   // the desktop cannot show 256 colours
const char* ErrorHeadingText();  // the failure report's first line ...
const char* ErrorClosingText();  // ... and its last
// The failure report's line for one service's bit (printf format with the line number), or
// null for a bit without a line.
const char* ErrorLineFormat(uint32_t bit);
