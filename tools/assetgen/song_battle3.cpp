// Battle of missions 3, 6 and 9 (MD04t): fast jazz-rock fusion in D, written in C.
#include "score_songs.h"

extern const char BATTLE3_SCORE[] = R"(
song name="Orbit Breaker" tempo=156 time=4/4 level=100

% The unison riff of brass and bass: C, B-flat, F, G.
define riff
  o4 c8 r8 c8 e-8 r8 f8 f+8 g8 | o4 b-8 r8 b-8 a8 r8 g8 f8 e-8 |
  o4 f8 r8 f8 a8 r8 o5 c8 o4 b-8 a8 | o4 g4 g8 g8 r8 g8 a8 b8 |
define leadA
  o5 g4 e8 g8 r8 a8 g8 e8 | o5 f4 d8 f8 r8 g8 f8 d8 |
  o5 c8 o4 a8 o5 c8 f8 r8 a8 g8 f8 | o5 e2 r8 e8 g8 o6 c8 |
  o6 c4 o5 b-8 g8 r8 a8 g8 e8 | o5 f4 d8 b-8 r8 o6 d8 c8 o5 b-8 |
  o5 a4 f8 a8 o6 c8 d8 c8 o5 a8 | o5 b2 o6 d4 o5 b4 |
% Second time through, the tune turns its figures into runs and climbs higher.
define leadA2
  o5 g8 g16 a16 g8 e8 r8 a8 ^g8 e8 | o5 f8 f16 g16 f8 d8 r8 g8 ^f8 d8 |
  o5 c8 o4 a8 o5 c8 f8 a8 o6 c8 o5 a8 f8 | o5 e4. g8 o6 c8 d8 e8 c8 |
  o6 ^e4 d8 c8 r8 o5 a8 g8 e8 | o5 f4 d8 b-8 r8 o6 d8 ^f8 d8 |
  o6 c8 o5 a8 f8 a8 o6 c8 d8 e-8 e8 | o6 ^d2 o5 b4 g4 |
% Before the riff comes round again: guitar and brass trade two bars each.
define tradeGuitar
  o5 g8 a8 b-8 b8 o6 c8 d8 e-8 d8 | o6 c8 o5 b-8 g8 f8 e-8 c8 r4 | r1 | r1 |
define tradeBrass
  r1 | r1 | o4 [f a >c]8 r8 [f a >c]8 r8 r2 | [g b >d]4 [g b >d]8 ^[g b >d]8 r8 [g b >d]8 ^[g b >d]4 |
define tuneB
  o5 c4. d8 e4 a4 | o5 a2 g8 f8 e8 f8 | o5 d4. e8 g4 b4 | o6 c2 o5 g2 |
  o5 c4. d8 e4 a4 | o5 a4 o6 c4 o5 a4 f4 | o5 f+4. a8 o6 c4 o5 a4 | o5 g2. r4 |
define solo
  o5 a8 g8 e8 c8 e8 g8 a8 o6 c8 | o5 b8 a8 g8 e8 d8 e8 g8 b8 |
  o6 c8 o5 a8 f8 d8 f8 a8 o6 c8 d8 | o6 c4 o5 a4 g4 f4 |
  o5 e8 f8 a8 o6 c8 e8 d8 c8 o5 a8 | o5 g8 a8 b8 o6 d8 e8 d8 o5 b8 g8 |
  o5 a8 o6 c8 d8 f8 e8 d8 c8 o5 a8 | o5 b2 o6 d2 |

% Slap bass: root, octave pop, ghost and a walk to the next bar.
define fC
  o2 l8 c >c <c r16 c16 r8 >c <b- g |
define fBb
  o1 l8 b- >b- <b- r16 b-16 r8 >b- <a f |
define fF
  o2 l8 f >f <f r16 f16 r8 >f <e- c |
define fG
  o2 l8 g >g <g r16 g16 r8 >g <f d |
define fAm
  o2 l8 a >a <a r16 a16 r8 >a <g e |
define fD
  o2 l8 d >d <d r16 d16 r8 >d <c o1 a |
define fEm
  o2 l8 e >e <e r16 e16 r8 >e <d o1 b |
define bassA
  $fC $fBb $fF $fC $fC $fBb $fF $fG
define bassB
  $fAm $fF $fG $fC $fAm $fF $fD $fG
define bassC
  $fF $fEm $fD $fG $fF $fEm $fD $fG

% Electric piano pushes.
define pA
  o4 l8 r {C} r4 r {C}4. | r {Bb} r4 r {Bb}4. | r {F} r4 r {F}4. | r {C} r4 r {C}4. |
  r {C} r4 r {C}4. | r {Bb} r4 r {Bb}4. | r {F} r4 r {F}4. | r {G} r4 r {G}4. |
define pB
  o4 l8 r {Am} r4 r {Am}4. | r {F} r4 r {F}4. | r {G} r4 r {G}4. | r {C} r4 r {C}4. |
  r {Am} r4 r {Am}4. | r {F} r4 r {F}4. | r {D7} r4 r {D7}4. | r {G} r4 r {G}4. |
define pC
  o4 l8 {Fmaj7}4. {Fmaj7}8 r2 | {Em7}4. {Em7}8 r2 | {Dm7}4. {Dm7}8 r2 | {G7sus4}4. {G7sus4}8 r2 |
  {Fmaj7}4. {Fmaj7}8 r2 | {Em7}4. {Em7}8 r2 | {Dm7}4. {Dm7}8 r2 | {G7}4. {G7}8 r2 |

part guitar channel=1 program=30 volume=122 pan=70 reverb=45 chorus=20 beat=8 phrase=8
  k+14 q5 !f $riff
  k+2 q7 !f $leadA
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  !f $leadA2
  !ff $solo
  !f $tradeGuitar

part brass channel=2 program=62 volume=122 pan=44 reverb=45 beat=8 phrase=8 swell=70
  k+2 q5 !ff $riff
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  q7 !f $tuneB
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  q8 !mp o4 {Fmaj7}1 | {Em7}1 | {Dm7}1 | {G7sus4}1 | {Fmaj7}1 | {Em7}1 | {Dm7}1 | {G7}1 |
  q5 !ff $tradeBrass

% French horns double the brass tune: a brass section alone is faint in some SoundFonts.
part horn channel=4 program=61 volume=110 pan=56 reverb=55 beat=8 phrase=8 swell=70
  k+2 q7 r1 | r1 | r1 | r1 |
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  !f $tuneB
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  r1 | r1 | r1 | r1 |

part piano channel=3 program=5 volume=82 pan=90 reverb=50 chorus=40 beat=6 phrase=8
  k+2 q6 !mf o4 l8 r {C} r4 r {C}4. | r {Bb} r4 r {Bb}4. | r {F} r4 r {F}4. | r {G} r4 r {G}4. |
  !mf $pA
  !mf $pB
  !f $pA
  !f $pC
  !mf o4 l8 r {C} r4 r {C}4. | r {Bb} r4 r {Bb}4. | r {F} r4 r {F}4. | r {G} r4 r {G}4. |

part bass channel=5 program=37 volume=116 pan=64 reverb=15 beat=10 phrase=8
  k+2 q6 !f k-22 $riff
  k+2 $bassA
  $bassB
  $bassA
  $bassC
  $fC $fBb $fF $fG

pattern hits
  crash X... .... .... ....
  kick  x... .... x... ....
  snare .... .... .... ..x.
  hat   ..x. x.x. ..x. x.x.
pattern hitsEnd
  kick  x... .... x... ....
  snare .... .... X... xxxx
  crash .... .... X... ....
pattern funkIn
  crash X... .... .... ....
  kick  x... ..x. ..x. ....
  snare .... X..o .o.. X...
  hat   .... x.x. x.x. x.x.
pattern funk
  kick    x... ..x. ..x. ....
  snare+3 .... X..o .o.. X...
  hat     x.x. x.o. x.x. x.o.
pattern funk2
  kick    x... ..x. ..x. ..x.
  snare+3 .... X..o .o.. X..o
  hat   x.x. x.x. x.x. x.o.
  open  .... .... .... ..x.
pattern fill
  kick  x... ..x. .... ....
  snare .... X... xxo. ....
  tom1  .... .... ...x x...
  tom3  .... .... .... .xx.
  floor .... .... .... ...X
pattern rideIn
  crash X... .... .... ....
  kick  x... ..x. ..x. ....
  snare .... X..o .... X...
  ride  .... x.x. x.x. x.x.
pattern ride
  kick  x... ..x. ..x. ....
  snare .... X..o .... X...
  ride  x.xx x.xx x.xx x.xx
  pedal .... x... .... x...

drums kit channel=10 volume=106 pan=64 reverb=30 beat=8 phrase=8
  !f hits hits hits hitsEnd
  funkIn funk funk funk2 funk funk funk2 fill
  rideIn ride ride ride rideIn ride ride fill
  funkIn funk funk funk2 funk funk funk2 fill
  !ff rideIn ride ride fill rideIn ride ride fill
  !f funkIn funk2 funk fill
)";
