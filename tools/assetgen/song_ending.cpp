// Ending and staff roll (MD06t): the title theme in triumph, then a warm, slower coda in C.
#include "score_songs.h"

extern const char ENDING_SCORE[] = R"(
song name="Home Again" tempo=120 time=4/4
tempo bar=17 bpm=88

define head
  o4 g4. o5 c8 e4. g8 | o5 g4 f8 e8 d4 o4 b4 | o5 c4. o4 b8 a4 e4 | o4 f4 a8 o5 c8 f4 e8 d8 |
define openEnd
  o5 e4. c8 o4 g4. o5 c8 | o5 d4. o4 b8 g4 o5 d4 | o5 c4 o4 a8 o5 c8 f4 a4 | o5 g2~ g8 f8 e8 d8 |
define closeEnd
  o5 f4. e8 d4 a4 | o5 g4. f8 e4 d4 | o5 c2 o4 g4 o5 c4 | o5 c2. r4 |
define warm
  o5 c4. d8 e2 | o5 d4. c8 o4 b2 | o5 e4. f8 g2 | o5 a4 g4 e2 |
  o5 f4. e8 d4 c4 | o5 d2 o4 b4 g4 | o4 g4 o5 c4 e4 g4 | o5 b-2. g4 |
  !mf o5 a2 g4 f4 | o5 g2 e4 d4 | o5 c4 d4 f4 a4 | o5 g2 f4 d4 |

define chordsTriumph
  {C}1 | {G}1 | {Am}1 | {F}1 | {C}1 | {G}1 | {F}1 | {G}1 |
  {C}1 | {G}1 | {Am}1 | {F}1 | {Dm}1 | {G}1 | {C}1 | {C}1 |
define chordsWarm
  {Fmaj7}1 | {G}1 | {Em7}1 | {Am7}1 | {Dm7}1 | {G7}1 | {Cmaj7}1 | {C7}1 |
  {Fmaj7}1 | {Em7}1 | {Dm7}1 | {G7}1 |

% Piano arpeggios for the coda.
define aF
  o3 l8 f o4 c e a o5 c o4 a e c |
define aG
  o3 l8 g o4 d g b o5 d o4 b g d |
define aEm
  o3 l8 e b o4 d g b g d o3 b |
define aAm
  o3 l8 a o4 e g o5 c e c o4 g e |
define aDm
  o3 l8 d a o4 c f a f c o3 a |
define aG7
  o3 l8 g o4 d f b o5 d o4 b f d |
define aC
  o3 l8 c g o4 e b o5 c o4 b e o3 g |
define aC7
  o3 l8 c g o4 e b- o5 c o4 b- e o3 g |

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

part trumpet channel=1 program=57 volume=122 pan=58 reverb=60 beat=8 phrase=8
  q7 !f $head $openEnd
  !ff $head $closeEnd
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |

part horn channel=3 program=61 volume=98 pan=76 reverb=70 beat=8 phrase=8 swell=64
  q8 !mf k-12 $head $openEnd
  !f $head $closeEnd
  k+0 r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  !mp o4 c1 | o3 b1 | o4 a2 f2 | g2 f2 |

part flute channel=6 program=74 volume=127 pan=40 reverb=80 beat=6 phrase=10
  q8 r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  !f $warm

part strings channel=2 program=49 volume=56 pan=30 reverb=80 swell=56 phrase=12
  q8 o4 !mp $chordsTriumph
  !p $chordsWarm

part piano channel=4 program=1 volume=104 pan=96 reverb=60 beat=10 phrase=10
  q8 r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  !mf $aF $aG $aEm $aAm $aDm $aG7 $aC $aC7 $aF $aEm $aDm $aG7

part bass channel=5 program=34 volume=108 pan=64 reverb=20 beat=10 phrase=8
  q6 !f $bC $bG $bAm $bF $bC $bG $bF $bG
  $bC $bG $bAm $bF $bDm $bG $bC o2 c2. r4 |
  q8 !mf o2 f1 | g1 | e1 | a1 | d1 | g1 | c1 | c1 | f1 | e1 | d1 | g2 g2 |

part timpani channel=7 program=48 volume=108 pan=50 reverb=70 beat=8
  q8 !f o2 c4 r2. | g4 r2. | r1 | r1 | c4 r2. | g4 r2. | r1 | g4 r4 g8 g8 g8 g8 |
  c4 r2. | g4 r2. | r1 | r1 | r1 | g4 r4 g8 g8 g8 g8 | c4 r4 c4 r4 | c4 r2. |
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |

pattern beatIn
  crash X... .... .... ....
  kick  x... ..x. x... ....
  snare .... X... .... X...
  hat   .... x.x. x.x. x.x.
pattern beat
  kick  x... ..x. x... ....
  snare .... X... .... X...
  hat   x.x. x.x. x.x. x.x.
pattern fill
  kick  x... ..x. x... ....
  snare .... X... .xxx ....
  tom1  .... .... .... xx..
  floor .... .... .... ..xX
pattern finale
  crash X... .... X... ....
  kick  X... .... X... ....
pattern softIn
  ride  x.x. x.x. x.x. x.x.
  kick  x... .... .... ....
pattern soft
  ride  x.x. x.x. x.x. x.x.
pattern roll
  snare oooo oooo xxxx xxXX

drums kit channel=10 volume=100 pan=64 reverb=40 beat=8 phrase=8
  !f beatIn beat beat fill beat beat beat fill
  beatIn beat beat fill beat beat fill finale
  !pp softIn soft soft soft soft soft soft soft
  soft soft soft !mf roll
)";
