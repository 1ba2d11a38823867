// Battle of missions 1, 4 and 7 (MD02t): guitar rock in E minor.
#include "score_songs.h"

extern const char BATTLE1_SCORE[] = R"(
song name="Ramming Speed" tempo=150 time=4/4 level=100

define leadA
  o5 ^e4 g4 b4. a8 | o5 g8 f+8 e4 d4 e4 | o5 ^c4. d8 e4 g4 | o5 f+4. e8 d4 _f+4 |
  o5 ^b4 o6 d4 e4. d8 | o5 b8 a8 g4 e4 g4 | o5 ^g4. f+8 e4 c4 | o5 d+2 f+4 b4 |
% The second time round the tune pushes ahead of the beat and runs into its bars.
define leadS
  o5 r8 e8 g8 ^b8~ b8 a8 g8 b8 | o5 a8 g8 f+8 ^e8~ e8 d8 e8 g8 |
  o5 r8 c8 d8 ^e8~ e8 g8 a8 b8 | o5 a8 f+8 d8 ^f+8~ f+4 a8 b8 |
  o6 c8 o5 b8 o6 d8 ^e8~ e8 d8 o5 b8 a8 | o5 g8 a8 b8 ^g8~ g8 e8 g8 a8 |
  o5 ^b8 a8 g8 f+8 e8 d8 c8 e8 | o5 d+8 e8 f+8 a8 ^b4 r8 e16 f+16 |
% The last time it closes with a run that hands over to the riff of the restart.
define leadEnd
  o5 ^e4 g4 b4. a8 | o5 g8 f+8 e4 d4 e4 | o5 ^c4. d8 e4 g4 | o5 f+4. e8 d4 _f+4 |
  o5 ^b4 o6 d4 e4. d8 | o5 b8 a8 g4 e4 g4 |
  o5 g16 a16 g16 f+16 e8 d8 e8 g8 b8 o6 c8 | o6 ^d+4 c8 o5 b8 f+4 ^b8 r8 |
define leadB
  o5 g2 e4 g4 | o5 a2 f+4 a4 | o5 b4. a8 f+4 d4 | o5 e2 g4 b4 |
  o6 c2 o5 b4 a4 | o5 b2 a4 f+4 | o5 d+4 f+4 b4 a4 | o5 f+2. r4 |

% Palm-muted chugs in three-three-two.
define cE
  o3 l8 [e b] [e b] r [e b] [e b] r [e b] [e b] |
define cC
  o3 l8 [c g] [c g] r [c g] [c g] r [c g] [c g] |
define cD
  o3 l8 [d a] [d a] r [d a] [d a] r [d a] [d a] |
define cB
  o2 l8 [b >f+] [b >f+] r [b >f+] [b >f+] r [b >f+] [b >f+] |
define riff1
  o3 l8 [e b] [e b] r [e b] [g >d] [e b] [a >e] [g >d] |
define riff2
  o3 l8 [e b] [e b] r [e b] [c g] [c g] [d a] [d a] |
define rhythmA
  $riff1 $riff2 $cC $cD $riff1 $riff2 $cC $cB
define rhythmB
  $cC $cD $cB $cE $cC $cD $cB $cB

define bE
  o1 l8 e e >e <e e e >d <e |
define bC
  o2 l8 c c >c <c c c g c |
define bD
  o2 l8 d d >d <d d d a d |
define bB
  o1 l8 b b >b <b b b >f+ <b |
define bassA
  $bE $bE $bC $bD $bE $bE $bC $bB
define bassB
  $bC $bD $bB $bE $bC $bD $bB $bB

% The tune: a rock organ carries it the same in every SoundFont, a saw lead gives it its edge.
define tune
  !f o5 ^e4 r8 e8 g8 a8 b8 o6 d8 | o5 b4 a8 g8 e4 d8 e8 |
  o5 ^g4 r8 g8 a8 b8 o6 d8 e8 | o6 ^e4 d8 e8 f+4 d4 |
  !f $leadA
  !f $leadS
  !ff $leadB
  r1 | r1 | r1 | r1 |
  !f $leadEnd

part lead channel=1 program=82 volume=56 pan=64 reverb=50 chorus=20 beat=6 phrase=8
  q7 $tune

part organ channel=6 program=19 volume=127 pan=52 reverb=50 beat=6 phrase=8
  q7 $tune

part lead2 channel=3 program=30 volume=84 pan=96 reverb=50 beat=6 phrase=8
  q6 r1 | r1 | r1 | r1 |
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  k-12 !mf $leadS
  k+0 q8 !mp o4 e1 | f+1 | f+1 | g1 | g1 | a1 | f+1 | d+1 |
  !mf o4 e2 g2 | a2 g4 f+4 | g2 a2 | b1 |
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |

part guitar channel=2 program=31 volume=84 pan=30 reverb=30 beat=12 phrase=10
  q5 !f $riff1 $riff2 $riff1 $riff2
  $rhythmA
  $rhythmA
  $rhythmB
  q8 !mf o3 [e b >e]1 | [c g >c]1 | [d a >d]1 | [d+ f+ b]2 [d+ f+ b]4 [d+ f+ b]4 |
  q5 !mf $rhythmA

part strings channel=4 program=50 volume=86 pan=100 reverb=80 swell=56 phrase=12
  q8 !mp o4 {Em}1 | {Em}1 | {C}1 | {B}1 |
  r1 | r1 | r1 | r1 | r1 | r1 | r1 | r1 |
  !mp o4 {Em}1 | {Em}1 | {C}1 | {D}1 | {Em}1 | {Em}1 | {C}1 | {B}1 |
  !mf {C}1 | {D}1 | {Bm}1 | {Em}1 | {C}1 | {D}1 | {B}1 | {B7}1 |
  !f {Em}1 | {C}1 | {D}1 | {B7}1 |
  !mp {Em}1 | {Em}1 | {C}1 | {D}1 | {Em}1 | {Em}1 | {C}1 | {B}1 |

part bass channel=5 program=35 volume=104 pan=64 reverb=20 beat=10 phrase=10
  q6 !f $bE $bE $bE $bE
  $bassA
  $bassA
  $bassB
  q8 o1 e2. e4 | o2 c2. c4 | d2. d4 | o1 b2 b4 b4 |
  q6 $bassA

pattern rock
  kick    x... ..x. x... ....
  snare+6 .... X... .... X...
  hat     x.x. x.o. x.x. x.o.
pattern rock2
  kick    x... ..x. x.x. ....
  snare+6 .... X... .... X..o
  hat     x.x. x.o. x.x. xxo.
pattern rockIn
  crash X... .... .... ....
  kick  x... ..x. x... ....
  snare .... X... .... X...
  hat   .... x.x. x.x. x.x.
pattern ride
  kick  x... ..x. x... ..x.
  snare .... X... .... X...
  ride  x.x. x.x. x.x. x.x.
  bell  x... x... x... x...
pattern rideIn
  crash X... .... .... ....
  kick  x... ..x. x... ..x.
  snare .... X... .... X...
  ride  .... x.x. x.x. x.x.
pattern fill
  kick  x... ..x. x... ....
  snare .... X... xxxx ....
  tom1  .... .... .... xx..
  floor .... .... .... ..xX
pattern half
  kick  x... .... x... ....
  snare .... .... X... ....
  hat   x.x. x.x. x.x. x.x.
pattern roll
  kick  x... .... x... ....
  snare o.o. o.o. x.x. xxXX

drums kit channel=10 volume=108 pan=64 reverb=30 beat=8 phrase=8
  !f rockIn rock rock2 fill
  rockIn rock rock rock2 rock rock rock fill
  rockIn rock rock rock2 rock rock rock fill
  !ff rideIn ride ride ride rideIn ride ride fill
  !mf half half half roll
  !f rockIn rock rock rock2 rock rock rock fill
)";
