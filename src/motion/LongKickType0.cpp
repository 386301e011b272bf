#include "motion/LongKickType0.h"

#include <cmath>

#include "core/Singleton.h"
#include "model/FieldState.h"

namespace zamp {

namespace {

const char* const kText = R"xml(<sequence name="test" refresh="true">
  <motion name="reset" time="25">
    <move id="raj1" degree="-63.431900" speed="0.075"/>
    <move id="raj2" degree="0.0" speed="0.075"/>
    <move id="raj3" degree="0.0" speed="0.075"/>
    <move id="raj4" degree="0.0" speed="0.075"/>
    <move id="laj1" degree="-65.215700" speed="0.075"/>
    <move id="laj2" degree="0.0" speed="0.075"/>
    <move id="laj3" degree="0.0" speed="0.075"/>
    <move id="laj4" degree="0.0" speed="0.075"/>
    <move id="llj1" degree="0.0" speed="0.075"/>
    <move id="llj2" degree="0.0" speed="0.075"/>
    <move id="llj3" degree="25.0" speed="0.075"/>
    <move id="llj4" degree="-50.0" speed="0.075"/>
    <move id="llj5" degree="25.0" speed="0.075"/>
    <move id="llj6" degree="0.0" speed="0.075"/>
    <move id="rlj1" degree="0.0" speed="0.075"/>
    <move id="rlj2" degree="0.0" speed="0.075"/>
    <move id="rlj3" degree="25.0" speed="0.075"/>
    <move id="rlj4" degree="-50.0" speed="0.075"/>
    <move id="rlj5" degree="25.0" speed="0.075"/>
    <move id="rlj6" degree="0.0" speed="0.075"/>
  </motion>
  <motion name="stabilize" time="15">
    <move id="llj2" degree="-11.0" speed="0.075"/>
    <move id="llj6" degree="11.0" speed="0.075"/>
    <move id="rlj2" degree="-11.0" speed="0.075"/>
    <move id="rlj6" degree="11.0" speed="0.075"/>
  </motion>
  <motion name="left_up" time="15">
    <move id="llj1" degree="0.0" speed="0.075"/>
    <move id="llj3" degree="10.0" speed="0.075"/>
    <move id="llj4" degree="0.0" speed="0.075"/>
    <move id="llj5" degree="0.0" speed="0.075"/>
    <move id="rlj1" degree="0.0" speed="0.075"/>
    <move id="rlj3" degree="50.0" speed="0.075"/>
    <move id="rlj4" degree="-70.0" speed="0.075"/>
    <move id="rlj5" degree="30.0" speed="0.075"/>
  </motion>
  <motion name="left_up" time="5">
    <move id="rlj3" degree="-50.0" speed="0.075"/>
    <move id="rlj4" degree="-100.0" speed="0.075"/>
    <move id="rlj5" degree="60.0" speed="0.075"/>
  </motion>
  <motion name="left_up" time="5">
    <move id="rlj3" degree="-50.0" speed="0.075"/>
    <move id="rlj4" degree="-100.0" speed="0.075"/>
    <move id="rlj5" degree="30.0" speed="0.075"/>
  </motion>
  <motion name="left_fix" time="22">
    <move id="raj1" degree="-63.431900" speed="0.1"/>
    <move id="laj1" degree="-65.215700" speed="0.1"/>
    <move id="llj1" degree="-39.320100" speed="0.1"/>
    <move id="llj3" degree="9.477880" speed="0.1"/>
    <move id="llj4" degree="0.648202" speed="0.1"/>
    <move id="llj5" degree="-0.536838" speed="0.1"/>
    <move id="rlj1" degree="-5.003740" speed="0.1"/>
    <move id="rlj2" degree="1.768690" speed="0.1"/>
    <move id="rlj3" degree="-27.871800" speed="0.1"/>
    <move id="rlj4" degree="-118.406000" speed="0.1"/>
    <move id="rlj5" degree="-51.274400" speed="0.1"/>
    <move id="rlj6" degree="-8.498330" speed="0.1"/>
  </motion>
  <motion name="fire" time="2">
    <move id="raj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="laj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="llj1" degree="1.0" speed="6.064760" type="1"/>
    <move id="llj3" degree="-25.0" speed="-0.528643" type="1"/>
    <move id="llj4" degree="-130.0" speed="-4.926410" type="1"/>
    <move id="llj5" degree="-45.0" speed="-2.504790" type="1"/>
    <move id="rlj1" degree="1.0" speed="-3.122100" type="1"/>
    <move id="rlj3" degree="100.0" speed="0.185984" type="1"/>
    <move id="rlj4" degree="1.0" speed="1.444460" type="1"/>
    <move id="rlj5" degree="-45.0" speed="0.091739" type="1"/>
  </motion>
  <motion name="fire" time="2">
    <move id="raj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="laj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="llj1" degree="1.0" speed="2.061280" type="1"/>
    <move id="llj3" degree="-25.0" speed="-0.237068" type="1"/>
    <move id="llj4" degree="-130.0" speed="-0.722312" type="1"/>
    <move id="llj5" degree="-45.0" speed="-1.459470" type="1"/>
    <move id="rlj1" degree="1.0" speed="-1.255870" type="1"/>
    <move id="rlj3" degree="100.0" speed="1.632600" type="1"/>
    <move id="rlj4" degree="1.0" speed="2.964260" type="1"/>
    <move id="rlj5" degree="-45.0" speed="1.487100" type="1"/>
  </motion>
  <motion name="fire" time="2">
    <move id="raj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="laj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="llj1" degree="1.0" speed="6.111460" type="1"/>
    <move id="llj3" degree="-25.0" speed="-2.132180" type="1"/>
    <move id="llj4" degree="-130.0" speed="-4.645090" type="1"/>
    <move id="llj5" degree="-45.0" speed="-2.752060" type="1"/>
    <move id="rlj1" degree="1.0" speed="-5.500840" type="1"/>
    <move id="rlj3" degree="100.0" speed="1.458470" type="1"/>
    <move id="rlj4" degree="1.0" speed="3.078640" type="1"/>
    <move id="rlj5" degree="-45.0" speed="3.709100" type="1"/>
  </motion>
  <motion name="fire" time="2">
    <move id="raj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="laj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="llj1" degree="1.0" speed="5.425800" type="1"/>
    <move id="llj3" degree="-25.0" speed="-5.746160" type="1"/>
    <move id="llj4" degree="-130.0" speed="-6.148010" type="1"/>
    <move id="llj5" degree="-45.0" speed="-0.608457" type="1"/>
    <move id="rlj1" degree="1.0" speed="-3.260400" type="1"/>
    <move id="rlj3" degree="100.0" speed="6.069680" type="1"/>
    <move id="rlj4" degree="1.0" speed="3.174410" type="1"/>
    <move id="rlj5" degree="-45.0" speed="0.454992" type="1"/>
  </motion>
  <motion name="fire" time="2">
    <move id="raj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="laj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="llj1" degree="1.0" speed="0.533297" type="1"/>
    <move id="llj3" degree="-25.0" speed="-6.091010" type="1"/>
    <move id="llj4" degree="-130.0" speed="-6.110820" type="1"/>
    <move id="llj5" degree="-45.0" speed="-5.690180" type="1"/>
    <move id="rlj1" degree="1.0" speed="-2.367720" type="1"/>
    <move id="rlj3" degree="100.0" speed="6.125730" type="1"/>
    <move id="rlj4" degree="1.0" speed="5.864640" type="1"/>
    <move id="rlj5" degree="-45.0" speed="4.853300" type="1"/>
  </motion>
  <motion name="fire" time="6">
    <move id="raj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="laj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="llj1" degree="1.0" speed="1.047580" type="1"/>
    <move id="llj3" degree="-25.0" speed="-6.023220" type="1"/>
    <move id="llj4" degree="-130.0" speed="-4.232640" type="1"/>
    <move id="llj5" degree="-45.0" speed="-6.163720" type="1"/>
    <move id="rlj1" degree="-10.0" speed="-6.124860" type="1"/>
    <move id="rlj3" degree="100.0" speed="6.086650" type="1"/>
    <move id="rlj4" degree="1.0" speed="6.111100" type="1"/>
    <move id="rlj5" degree="-45.0" speed="6.049320" type="1"/>
  </motion>
</sequence>
)xml";

const int RESET_STEP = 0;
const int LEFT_FIX_STEP = 5;
const int LEFT_FIX_RLJ3_MOVE = 8;
const int CHALLENGE_RESET_CYCLES = 50;

}  // namespace

LongKickType0::LongKickType0() : MotionSequenceXML(), is_kick_challenge_(false) {
  ReadDirect(kText);
}

LongKickType0::~LongKickType0() {}

void LongKickType0::Run() {
  if (is_kick_challenge_) AdjustForKickChallenge();
  MotionSequenceXML::Run();
}

void LongKickType0::AdjustForKickChallenge() {
  const Eigen::Vector3d& ball =
      Singleton<FieldState>::GetInstance()->GetBall().GetAbsoluteCoordinates();
  // Whole metres from the centre, rounded up from 0.9 on. Kept in floating point so that a
  // ball estimate that is not finite leaves the swing as it is.
  const double n = std::floor(std::hypot(ball.x(), ball.y()) + 0.1);

  sequence_[RESET_STEP].end_time = CHALLENGE_RESET_CYCLES;
  double& rlj3 = sequence_[LEFT_FIX_STEP].parts[LEFT_FIX_RLJ3_MOVE].degree;
  if (5.5 <= n && n <= 7.5) {
    rlj3 = -50.0;
  } else if (7.5 < n && n <= 10.5) {
    rlj3 = -23.0;
  }
}

}  // namespace zamp
