// Prologue (MD01t): slow and mysterious in A minor, as long as the scrolling story.
#include "score_songs.h"

extern const char PROLOGUE_SCORE[] = R"(
song name="Before the Storm" tempo=64 time=4/4 level=96

% Celesta figures over each chord; the last bar's E7(b9) leans back into A minor.
part celesta channel=1 program=9 volume=96 pan=84 reverb=90 beat=8
  q8 !f o4 a8 o5 e8 b8 o6 c8 o5 b8 e8 o4 a8 o5 e8 |
  o4 f8 o5 c8 g8 a8 g8 c8 o4 f8 o5 c8 |
  o4 d8 a8 o5 e8 f8 e8 o4 a8 d8 a8 |
  !mf o4 e8 b8 o5 d8 g+8 f8 d8 o4 b8 g+8 |

part flute channel=2 program=74 volume=127 pan=44 reverb=90 beat=6
  q8 !f r2 o5 ^e4. d8 | c2 o4 a2 | o5 ^d4. e8 f4 e8 d8 | o4 b2 g+4 b4 |

part pad channel=3 program=90 volume=66 pan=64 reverb=100 chorus=40 swell=48
  q8 !f o4 {Am}1 | {Fmaj7}1 | {Dm}1 | !mf {E7}1 |

part contrabass channel=4 program=44 volume=92 pan=56 reverb=70 swell=64
  q8 !f o2 a1 | f1 | d1 | e1 |

part choir channel=5 program=53 volume=72 pan=20 reverb=100 swell=56
  q8 !mf o4 e1 | c1 | a2 f2 | g+1 |
)";
