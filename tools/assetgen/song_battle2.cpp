// Battle of missions 2, 5 and 8 (MD03t): synth dance-funk in G minor, written in A minor.
#include "score_songs.h"

extern const char BATTLE2_SCORE[] = R"(
song name="Grid Runner" tempo=140 time=4/4 level=100

define leadA
  o5 a8 a16 a16 r8 e8 a8 b8 o6 c8 o5 b8 | o5 a4 g8 e8 r8 e8 g8 a8 |
  o5 a8 a16 a16 r8 f8 a8 o6 c8 d8 c8 | o5 b4 g8 d8 r8 d8 g8 b8 |
  o5 a8 a16 a16 r8 e8 a8 b8 o6 c8 o5 b8 | o6 c4 o5 b8 a8 r8 e8 g8 a8 |
  o6 c8 c16 c16 r8 o5 a8 o6 c8 d8 e8 f8 | o6 e4 d8 o5 b8 g+8 e8 g+8 b8 |
define leadB
  o5 f2 e4 d4 | o5 e2. c4 | o5 f4 g4 a4 o6 c4 | o5 b2 g+2 |
  o5 a2 g4 f4 | o5 e2 a4 o6 c4 | o6 d2 c4 o5 b-4 | o5 b2. g+8 b8 |

% Sixteenth-note synth bass, one bar per chord.
define sA
  o2 l16 a8 >a <a r a >a <a a8 >a <a g a >c <a |
define sF
  o2 l16 f8 >f <f r f >f <f f8 >f <f e f >c <f |
define sG
  o2 l16 g8 >g <g r g >g <g g8 >g <g f+ g >d <g |
define sE
  o2 l16 e8 >e <e r e >e <e e8 >e <e d+ e b e |
define sDm
  o2 l16 d8 >d <d r d >d <d d8 >d <d c+ d a d |
define sBb
  o2 l16 b-8 >b- <b- r b- >b- <b- b-8 >b- <b- a b- >f <b- |
define bassA
  $sA $sA $sF $sG $sA $sA $sF $sE
define bassB
  $sDm $sA $sF $sE $sDm $sA $sBb $sE

% Off-beat stabs.
define stA
  o4 l8 r {Am} r {Am} r {Am} r {Am} |
define stF
  o4 l8 r {F} r {F} r {F} r {F} |
define stG
  o4 l8 r {G} r {G} r {G} r {G} |
define stE
  o4 l8 r {E} r {E} r {E} r {E} |
define stabsA
  $stA $stA $stF $stG $stA $stA $stF $stE

% A hook over the restart keeps the groove going round the loop.
define hook
  o5 ^a8 r8 a8 g8 r8 e8 g8 a8 | o6 c8 o5 b8 a8 g8 ^e4 r4 |
  o5 ^a8 r8 a8 g8 r8 e8 g8 a8 | o5 b8 g+8 e8 g+8 b4 ^o6 e8 r8 |
% The second verse answers itself with pick-ups.
define leadA2
  o5 a8 a16 a16 r8 e8 a8 b8 o6 c8 o5 b8 | o5 a4 g8 e8 r8 e16 f16 g8 a8 |
  o5 a8 a16 a16 r8 f8 a8 o6 c8 d8 c8 | o5 b4 g8 d8 r8 d16 e16 g8 b8 |
  o5 a8 a16 a16 r8 e8 a8 b8 o6 c8 o5 b8 | o6 c4 o5 b8 a8 r8 e16 f+16 g8 a8 |
  o6 c8 c16 c16 r8 o5 a8 o6 c8 d8 e8 f8 | o6 e4 d8 o5 b8 g+8 e8 g+16 a16 b8 |
% The tune: an alto sax carries it alike in every SoundFont, a square lead colours it.
define tune
  k-2 q6 !f $hook
  !f $leadA
  !f $leadA2
  q8 !f $leadB
  q6 !f $leadA

part lead channel=1 program=81 volume=62 pan=64 reverb=50 chorus=30 beat=8 phrase=8
  $tune

part sax channel=6 program=66 volume=127 pan=58 reverb=50 beat=8 phrase=8
  $tune

part stabs channel=4 program=64 volume=56 pan=92 reverb=40 beat=8 phrase=8
  k-2 q3 !mp $stA $stA $stA $stE
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  !mf $stabsA
  q8 !mf o4 {Dm}1 | {Am}1 | {F}1 | {E}1 | {Dm}1 | {Am}1 | {Bb}1 | {E7}1 |
  q4 !mf $stabsA

part pad channel=3 program=90 volume=84 pan=36 reverb=90 chorus=40 swell=50 phrase=12
  k-2 q8 !mp o4 {Am}1 | {Am}1 | {Am}1 | {E}1 |
  {Am}1 | {Am}1 | {F}1 | {G}1 | {Am}1 | {Am}1 | {F}1 | {E}1 |
  {Am}1 | {Am}1 | {F}1 | {G}1 | {Am}1 | {Am}1 | {F}1 | {E}1 |
  !mf o5 {Dm}1 | {Am}1 | {F}1 | {E}1 | {Dm}1 | {Am}1 | {Bb}1 | {E}1 |
  !mp o4 {Am}1 | {Am}1 | {F}1 | {G}1 | {Am}1 | {Am}1 | {F}1 | {E}1 |

part bass channel=5 program=39 volume=100 pan=64 reverb=10 beat=10 phrase=8
  k-2 q5 !f $sA $sA $sA $sE
  $bassA
  $bassA
  $bassB
  $bassA

pattern kicks
  kick  x... x... x... x...
pattern kickHat
  kick  x... x... x... x...
  hat   o.x. o.x. o.x. o.x.
pattern roll
  kick  x... x... x... x...
  snare .... o.o. x.x. xxXX
  clap  .... .... .... ...X
pattern fourIn
  crash  X... .... .... ....
  kick   x... x... x... x...
  clap+4 .... x... .... x...
  hat-3  .o.o xo.o xo.o xo.o
  open   ..x. ..x. ..x. ..x.
pattern four
  kick   x... x... x... x...
  clap+4 .... x... .... x...
  hat-3  xo.o xo.o xo.o xo.o
  open   ..x. ..x. ..x. ..x.
pattern fourFill
  kick  x... x... x... x.x.
  clap  .... x... .... x...
  snare .... .... .o.x xxxX
  hat   xo.o xo.o xo.. ....
pattern rideIn
  crash X... .... .... ....
  kick  x... x... x... x...
  snare .... X... .... X...
  ride  .... x.x. x.x. x.x.
  tamb  .x.x .x.x .x.x .x.x
pattern ride
  kick  x... x... x... x...
  snare .... X... .... X...
  ride  x.x. x.x. x.x. x.x.
  tamb  .x.x .x.x .x.x .x.x

drums kit channel=10 volume=108 pan=64 reverb=25 beat=8 phrase=8
  !f fourIn four four fourFill
  fourIn four four fourFill four four four fourFill
  fourIn four four fourFill four four four fourFill
  rideIn ride ride ride rideIn ride ride fourFill
  fourIn four four fourFill four four four fourFill
)";
