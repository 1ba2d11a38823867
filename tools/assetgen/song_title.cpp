// Title theme (MD00t): a heroic march in B-flat, written in C and transposed.
#include "score_songs.h"

extern const char TITLE_SCORE[] = R"(
song name="Globe Keepers" tempo=132 time=4/4

% The theme: eight bars, opening and closing endings.
define head
  o4 g4. o5 c8 e4. g8 | o5 g4 f8 e8 d4 o4 b4 | o5 c4. o4 b8 a4 e4 | o4 f4 a8 o5 c8 f4 e8 d8 |
define openEnd
  o5 e4. c8 o4 g4. o5 c8 | o5 d4. o4 b8 g4 o5 d4 | o5 c4 o4 a8 o5 c8 f4 a4 | o5 g2~ g8 f8 e8 d8 |
define closeEnd
  o5 f4. e8 d4 a4 | o5 g4. f8 e4 d4 | o5 c2 o4 g4 o5 c4 | o5 e2. r4 |
define bridge
  o5 e2 d4 c4 | o4 a2. o5 c4 | o5 g2 e4 c4 | o5 d2. o4 b4 |
  o5 c4 d4 e4 a4 | o5 a2 g4 f4 | o5 d4 e4 f4 a4 | o5 g2. f8 d8 |

define chordsA
  {C}1 | {G}1 | {Am}1 | {F}1 | {C}1 | {G}1 | {F}1 | {G}1 |
define chordsA2
  {C}1 | {G}1 | {Am}1 | {F}1 | {Dm}1 | {G}1 | {C}1 | {C}1 |
define chordsB
  {Am}1 | {F}1 | {C}1 | {G}1 | {Am}1 | {F}1 | {Dm}1 | {G7}1 |

% Bass bars: root, octave and fifth in running eighths.
define bC
  o2 l8 c c >c <c c c g c |
define bG
  o2 l8 g g >g <g g g d g |
define bAm
  o2 l8 a a >a <a a a e a |
define bF
  o2 l8 f f >f <f f f c f |
define bDm
  o2 l8 d d >d <d d d a d |

part trumpet channel=1 program=57 volume=122 pan=58 reverb=50 beat=8 phrase=8
  k-2 q7 !f o5 ^c4. c8 e4 g4 | o5 a4. a8 g4 f4 | o5 f4. f8 d4 o4 b-4 | o4 b4 o5 d4 f4 ^g4 |
  !f $head $openEnd
  !f $head $closeEnd
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  !f $head $openEnd

part horn channel=3 program=61 volume=100 pan=76 reverb=60 beat=8 phrase=8 swell=64
  k-2 q8 r1 | r1 | r1 | r1 |
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  !mp o4 e1 | d1 | c1 | c1 | o3 a1 | b1 | o4 c2 e2 | g2. r4 |
  !f $bridge
  k-14 !mf $head $openEnd

part glock channel=6 program=10 volume=112 pan=90 reverb=70 beat=8 phrase=8
  k-2 q4 r1 | r1 | r1 | r1 |
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  k+10 !f $head $closeEnd
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |

part strings channel=2 program=49 volume=56 pan=36 reverb=70 swell=56 phrase=12
  k-2 o4 q8 !mf {C}1 | {F}1 | {Bb}1 | {G}1 |
  !mp $chordsA
  !mf $chordsA2
  !mf $chordsB
  !mf $chordsA

part brass channel=4 program=62 volume=116 pan=84 reverb=50 beat=8 phrase=8 swell=64
  k-2 q6 !f o4 [e g >c]4. [e g >c]8 [e g >c]2 | [f a >c]4. [f a >c]8 [e g >c]2 |
  [d f b-]4. [d f b-]8 [d f b-]2 | [d g b]2 [d f b]4 [d f b]8 [d f b]8 |
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  !mp q8 o4 {Am}1 | {F}1 | {C}1 | {G}1 | {Am}1 | {F}1 | {Dm}1 | {G}1 |
  !mf q5 o4 {C}4 r8 {C}8 r4 {C}4 | {G}4 r8 {G}8 r4 {G}4 | {Am}4 r8 {Am}8 r4 {Am}4 |
  {F}4 r8 {F}8 r4 {F}4 | {C}4 r8 {C}8 r4 {C}4 | {G}4 r8 {G}8 r4 {G}4 |
  {F}4 r8 {F}8 r4 {F}4 | {G}4 r8 {G}8 {G}8 {G}8 {G}8 {G}8 |

part bass channel=5 program=34 volume=110 pan=64 reverb=20 beat=10 phrase=8
  k-2 q6 !f o2 c4. c8 c2 | c4. c8 c2 | b-4. b-8 b-2 | g4. g8 g4 g8 g8 |
  $bC $bG $bAm $bF $bC $bG $bF $bG
  $bC $bG $bAm $bF $bDm $bG $bC $bC
  !mf o2 a2 a4. a8 | f2 f4. f8 | c2 c4. c8 | g2 g4. g8 |
  a2 a4. a8 | f2 f4. f8 | d2 d4. d8 | g2 g4 g8 g8 |
  !f $bC $bG $bAm $bF $bC $bG $bF $bG

pattern intro
  crash X... .... .... ....
  kick  X... .... X... ....
  floor .... .... .... x.x.
pattern roll
  crash X... .... .... ....
  kick  X... .... X... ....
  snare .... o.o. xxxx XXXX
pattern beat
  kick    x... ..x. x... ....
  snare+4 .... X... .... X...
  hat     x.x. x.o. x.x. x.o.
pattern beatIn
  crash X... .... .... ....
  kick  x... ..x. x... ....
  snare .... X... .... X...
  hat   .... x.x. x.x. x.x.
pattern fill
  kick  x... ..x. x... ....
  snare .... X... .xxx ....
  tom1  .... .... .... xx..
  floor .... .... .... ..xX
pattern half
  kick  x... .... ..x. ....
  snare .... .... X... ....
  ride  x.x. x.x. x.x. x.x.
pattern halfIn
  crash X... .... .... ....
  kick  x... .... ..x. ....
  snare .... .... X... ....
  ride  ..x. x.x. x.x. x.x.

drums kit channel=10 volume=96 pan=64 reverb=30 beat=8 phrase=8
  !f beatIn beat beat roll
  beatIn beat beat fill beat beat beat fill
  beatIn beat beat fill beat beat beat fill
  !mf halfIn half half half half half half fill
  !f beatIn beat beat fill beatIn beat beat fill
)";
