// A small text notation for the game's music, read into a MIDI song.
//
// A score is a list of blocks. A block starts with a keyword at the start of a line; its body
// is the indented lines below it. '%' starts a comment.
//
//   song name="..." tempo=132 time=4/4    the song's title, tempo (quarters a minute), metre;
//        level=85                         scales every part's volume (percent) to set the mix
//   tempo bar=17 bpm=96                   a tempo change at the start of a bar (bars count from 1)
//   define NAME                           a phrase that bodies insert with $NAME
//   pattern NAME                          one bar of drums, one row per instrument:
//     kick  X... x... ..x. x...           X accent, x hit, o soft, '.' or '-' nothing;
//                                         a row's steps split the bar evenly (blanks ignored)
//     snare+8 .... X... .... X...         +N or -N: the row plays N ticks late or early
//   part NAME channel=1 program=49 volume=100 pan=64 reverb=40 chorus=0
//     o4 l8 c d e g | a4. g8 e4 ...       a melodic part (program as numbered in General MIDI)
//   drums NAME channel=10 volume=100 pan=64
//     !mf intro | beat beat beat fill     a drum part: one pattern name per bar, '-' a silent bar
//   Both kinds of part take beat=N (velocity added on each bar's downbeat, half of it on the
//   middle beat, half taken off off-beat eighths and all of it off shorter notes) and melodic
//   parts swell=N (notes of a half or longer swell their expression from N up to full); both
//   take phrase=N (each four bars from the song's start grow by N to the third and settle).
//
// Melodic bodies: notes a-g with + or # (sharp) and - (flat), then a length (1 2 4 8 16 32,
// 3 6 12 24 for triplets) and dots; r rest; oN octave; > and < octave up and down; lN default
// length; vN velocity; !pp !p !mp !mf !f !ff dynamics; ^ accents and _ softens the next note or
// chord; xN sets the expression (0 to 127) from here on; qN gate in eighths of the length (8 is
// legato); kN transpose by N semitones; ~ ties into the next note or chord of the same keys;
// [c e g]4 an explicit chord; {Am7}2 a chord symbol voiced in the octave above the current C.
// Everywhere: | a bar line (the bar's length is checked), |: ... :| or :|N repeats, $NAME.
#pragma once
#include <string>
#include <string_view>

#include "midi_writer.h"

// Reads a whole score; on failure says where and why in *error and returns false.
bool ParseScore(std::string_view text, MidiSong* song, std::string* error);
