// Boss battle (MD05t): tense orchestral metal in C minor, written in A minor.
#include "score_songs.h"

extern const char BOSS_SCORE[] = R"(
song name="Mother of Swarms" tempo=144 time=4/4 level=88

% String ostinato: one figure a beat.
define fAm
  o4 l16 a o5 c o4 a o5 e
define fAm6
  o4 l16 a o5 c o4 a o5 f
define fE
  o4 l16 g+ b g+ o5 e
define fBb
  o4 l16 b- o5 d o4 b- o5 f
define fDm
  o4 l16 a o5 d o4 a o5 f
define oAm
  $fAm $fAm $fAm $fAm6 |
define oF
  $fAm6 $fAm6 $fAm6 $fAm6 |
define oE
  $fE $fE $fE $fE |
define oBb
  $fBb $fBb $fBb $fBb |
define oDm
  $fDm $fDm $fDm $fDm |
define ostA
  $oAm $oAm $oF $oE $oAm $oBb $oE $oE
define ostB
  $oDm $oAm $oDm $oE $oF $oDm $oBb $oE

% Guitar chugs.
define gAm
  o2 l16 a a r8 a a r8 a a r8 [a >e]8 [a >e]8 |
define gF
  o2 l16 f f r8 f f r8 f f r8 [f >c]8 [f >c]8 |
define gE
  o2 l16 e e r8 e e r8 e e r8 [e b]8 [e b]8 |
define gBb
  o2 l16 b- b- r8 b- b- r8 b- b- r8 [b- >f]8 [b- >f]8 |
define gDm
  o2 l16 d d r8 d d r8 d d r8 [d a]8 [d a]8 |
define gtrA
  $gAm $gAm $gF $gE $gAm $gBb $gE $gE
define gtrB
  $gDm $gAm $gDm $gE $gF $gDm $gBb $gE

define themeA
  o4 a2 o5 c4 o4 b4 | o4 a2 e2 | o4 f2 a4 o5 c4 | o4 b1 |
  o5 e2 d4 c4 | o5 d2 c4 o4 b-4 | o4 g+2 b4 o5 d4 | o4 b2 g+2 |
define themeB
  o5 f2 e4 d4 | o5 c2 e2 | o5 f4 a4 o6 d4 c4 | o5 b1 |
  o6 c2 o5 a4 f4 | o5 d2 f4 a4 | o5 b-2 o6 d2 | o5 g+2 b2 |

% Second time the theme pushes across the beats and runs into its cadences.
define themeA2
  o4 ^a4. o5 c8~ c4 o4 b4 | o4 a4 e8 a8~ a8 b8 o5 c8 d8 |
  o5 ^c4. o4 a8~ a8 f8 a8 o5 c8 | o4 b2 r8 b8 o5 c8 d8 |
  o5 ^e4. d8~ d8 c8 o4 b8 o5 c8 | o5 d4. c8~ c4 o4 b-8 a8 |
  o4 g+8 a8 b8 o5 c8 d8 e8 f8 d8 | o4 b4 g+8 e8 ^b4 r4 |
% The closing phrase that hands the loop back to the ostinato.
define closing
  o5 ^e4. d8 c8 o4 b8 a8 o5 c8 | o4 ^a4. f8 a8 o5 c8 f8 e8 |
  o5 ^d4. f8 d8 o4 b-8 f8 b-8 | o4 g+8 b8 o5 d8 f8 ^e4 r4 |
% The brass line, which French horns double: a brass section alone fades in some SoundFonts.
define brassLine
  k+3 q8 !f o4 ^e2. a4 | o4 a4 o5 c4 e4 d8 c8 | o5 ^c4. o4 a8 f4 a4 | o4 g+2 b4 o5 d4 |
  !f $themeA
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  !ff $themeA2
  !f $closing

% The bass: root eighths that turn at the bar's end, and gallops when the theme returns.
define rAm
  o2 l8 a a >a <a a a g e |
define rF
  o2 l8 f f >f <f f f e c |
define rE
  o2 l8 e e >e <e e e f g+ |
define rBb
  o2 l8 b- b- >b- <b- b- b- a f |
define rDm
  o2 l8 d d >d <d d d c o1 a |
define vAm
  o2 a8 a16 a16 a8 a16 a16 a8 a16 a16 o3 a8 o2 g8 |
define vF
  o2 f8 f16 f16 f8 f16 f16 f8 f16 f16 o3 f8 o2 e8 |
define vE
  o2 e8 e16 e16 e8 e16 e16 e8 e16 e16 o3 e8 o2 d8 |
define vBb
  o2 b-8 b-16 b-16 b-8 b-16 b-16 b-8 b-16 b-16 o3 b-8 o2 a8 |

define chordsA
  {Am}1 | {Am}1 | {F}1 | {E}1 | {Am}1 | {Bb}1 | {E}1 | {E}1 |
define chordsB
  {Dm}1 | {Am}1 | {Dm}1 | {E}1 | {F}1 | {Dm}1 | {Bb}1 | {E}1 |

part strings channel=2 program=49 volume=64 pan=36 reverb=60 beat=8 phrase=8
  k+3 q5 !mf $oAm $oAm $oF $oE
  $ostA
  $ostB
  !f $ostA
  !mf $oAm $oF $oBb $oE

part brass channel=1 program=62 volume=122 pan=60 reverb=50 beat=8 phrase=8 swell=64
  $brassLine

part horn channel=8 program=61 volume=104 pan=70 reverb=55 beat=8 phrase=8 swell=64
  $brassLine

% The second theme: a violin carries it alike in every SoundFont, a saw lead gives it bite.
define leadLine
  k+3 q8 r1 | r1 | r1 | r1 |
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  !f $themeB
  k+15 !mf $themeA2
  r1 | r1 | r1 | r1 |

part lead channel=6 program=82 volume=50 pan=80 reverb=50 chorus=20 beat=8 phrase=8
  $leadLine

part violin channel=9 program=41 volume=120 pan=84 reverb=55 beat=8 phrase=8
  $leadLine

part choir channel=4 program=53 volume=84 pan=20 reverb=90 swell=56 phrase=12
  k+3 q8 !mf o4 {Am}1 | {Am}1 | {F}1 | {E}1 |
  !mp $chordsA
  !mf $chordsB
  !f $chordsA
  !mf {Am}1 | {F}1 | {Bb}1 | {E}1 |

part guitar channel=3 program=31 volume=92 pan=100 reverb=25 beat=12 phrase=8
  k+3 q6 r1 | r1 | r1 | r1 |
  !f $gtrA
  $gtrB
  $gtrA
  r1 | r1 | r1 | r1 |

part bass channel=5 program=40 volume=84 pan=64 reverb=15 beat=10 phrase=8
  k+3 q7 !f o2 a2 a2 | a2 a2 | f2 f2 | e2 e4 e8 g+8 |
  $rAm $rAm $rF $rE $rAm $rBb $rE $vE
  $rDm $rAm $rDm $rE $rF $rDm $rBb $vE
  !ff $vAm $vAm $vF $vE $vAm $vBb $vE $vE
  !f o2 a4. a8 a4 g4 | f4. f8 f4 e4 | b-4. b-8 b-4 a4 | e4 e8 e8 e8 e8 e16 e16 e16 e16 |

part timpani channel=7 program=48 volume=100 pan=50 reverb=60 beat=10 phrase=8
  k+3 q8 !f o2 a4 r4 a8 a8 r4 | a4 r4 a8 a8 r4 | f4 r4 f8 f8 r4 | e4 e8 e8 e8 e8 e8 e8 |
  a4 r2. | r1 | f4 r2. | e4 r2. | a4 r2. | b-4 r2. | e4 r2. | e4 r4 e8 e8 e8 e8 |
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  a4 r2. | r1 | f4 r2. | e4 r2. | a4 r2. | b-4 r2. | e4 r2. | e4 r4 e8 e8 e8 e8 |
  !ff a4 r4 a8 a8 r4 | f4 r4 f8 f8 r4 | b-4 r4 b-8 b-8 r4 | e4 e8 e8 e8 e8 e16 e16 e16 e16 |

pattern toms
  kick  x... .... x... ....
  floor x... ..x. x... ..x.
  tom3  .... x... .... x...
pattern tomsEnd
  kick  x... .... x... ....
  tom1  .... .... xx.. ....
  tom3  .... .... ..xx ....
  floor .... .... .... xxXX
pattern stomp
  crash X... .... .... ....
  kick  x.x. x.x. x.x. x.x.
  snare .... X... .... X...
pattern drive
  kick  x.x. x.x. x.x. x.x.
  snare .... X... .... X...
  hat   x.x. x.x. x.x. x.x.
pattern drive2
  kick  xxx. x.x. xxx. x.x.
  snare .... X... .... X..o
  china .... .... .... ..x.
  hat   x.x. x.x. x.x. x...
pattern fill
  kick  x.x. x.x. .... ....
  snare .... X... xxxx ....
  tom1  .... .... .... xx..
  floor .... .... .... ..xX
pattern rideIn
  crash X... .... .... ....
  kick  x.x. x.x. x.x. x.x.
  snare .... X... .... X...
  ride  .... x.x. x.x. x.x.
pattern ride
  kick  x.x. x.x. x.x. x.x.
  snare .... X... .... X...
  ride  x.x. x.x. x.x. x.x.
  bell  x... .... x... ....

drums kit channel=10 volume=94 pan=64 reverb=35 beat=8 phrase=8
  !mf toms toms toms tomsEnd
  !f stomp drive drive drive2 drive drive drive2 fill
  rideIn ride ride ride rideIn ride ride fill
  !ff stomp drive drive drive2 drive drive drive2 fill
  !f toms toms toms tomsEnd
)";
