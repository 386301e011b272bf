#include "motion/LongKickType4.h"

namespace zamp {

namespace {

const char* const kText = R"xml(<sequence name="test" refresh="true">
  <motion name="reset" time="25">
    <move id="raj1" degree="-56.643300" speed="0.075"/>
    <move id="raj2" degree="0.0" speed="0.075"/>
    <move id="raj3" degree="0.0" speed="0.075"/>
    <move id="raj4" degree="0.0" speed="0.075"/>
    <move id="laj1" degree="-59.909800" speed="0.075"/>
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
    <move id="raj1" degree="-56.643300" speed="0.1"/>
    <move id="laj1" degree="-59.909800" speed="0.1"/>
    <move id="llj1" degree="-31.761100" speed="0.1"/>
    <move id="llj3" degree="8.141640" speed="0.1"/>
    <move id="llj4" degree="0.648967" speed="0.1"/>
    <move id="llj5" degree="-0.901790" speed="0.1"/>
    <move id="rlj1" degree="-5.998150" speed="0.1"/>
    <move id="rlj2" degree="1.477800" speed="0.1"/>
    <move id="rlj3" degree="-21.966100" speed="0.1"/>
    <move id="rlj4" degree="-122.636000" speed="0.1"/>
    <move id="rlj5" degree="-47.910000" speed="0.1"/>
    <move id="rlj6" degree="-1.836570" speed="0.1"/>
  </motion>
  <motion name="fire" time="2">
    <move id="raj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="laj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="llj1" degree="1.0" speed="0.613742" type="1"/>
    <move id="llj3" degree="-25.0" speed="-3.667390" type="1"/>
    <move id="llj4" degree="-130.0" speed="-4.910430" type="1"/>
    <move id="llj5" degree="-45.0" speed="-3.708100" type="1"/>
    <move id="rlj1" degree="1.0" speed="-2.322430" type="1"/>
    <move id="rlj3" degree="100.0" speed="5.150530" type="1"/>
    <move id="rlj4" degree="1.0" speed="2.354600" type="1"/>
    <move id="rlj5" degree="-45.0" speed="3.392280" type="1"/>
  </motion>
  <motion name="fire" time="2">
    <move id="raj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="laj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="llj1" degree="1.0" speed="0.647992" type="1"/>
    <move id="llj3" degree="-25.0" speed="-0.107398" type="1"/>
    <move id="llj4" degree="-130.0" speed="-2.593840" type="1"/>
    <move id="llj5" degree="-45.0" speed="-2.741040" type="1"/>
    <move id="rlj1" degree="1.0" speed="-4.099000" type="1"/>
    <move id="rlj3" degree="100.0" speed="6.110680" type="1"/>
    <move id="rlj4" degree="1.0" speed="4.408720" type="1"/>
    <move id="rlj5" degree="-45.0" speed="4.520830" type="1"/>
  </motion>
  <motion name="fire" time="2">
    <move id="raj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="laj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="llj1" degree="1.0" speed="2.007140" type="1"/>
    <move id="llj3" degree="-25.0" speed="-6.069500" type="1"/>
    <move id="llj4" degree="-130.0" speed="-4.961600" type="1"/>
    <move id="llj5" degree="-45.0" speed="-1.102050" type="1"/>
    <move id="rlj1" degree="1.0" speed="-4.651960" type="1"/>
    <move id="rlj3" degree="100.0" speed="4.200510" type="1"/>
    <move id="rlj4" degree="1.0" speed="5.525150" type="1"/>
    <move id="rlj5" degree="-45.0" speed="0.737295" type="1"/>
  </motion>
  <motion name="fire" time="2">
    <move id="raj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="laj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="llj1" degree="1.0" speed="5.049790" type="1"/>
    <move id="llj3" degree="-25.0" speed="-6.019270" type="1"/>
    <move id="llj4" degree="-130.0" speed="-5.714810" type="1"/>
    <move id="llj5" degree="-45.0" speed="-5.871420" type="1"/>
    <move id="rlj1" degree="1.0" speed="-3.016750" type="1"/>
    <move id="rlj3" degree="100.0" speed="6.080480" type="1"/>
    <move id="rlj4" degree="1.0" speed="2.323870" type="1"/>
    <move id="rlj5" degree="-45.0" speed="5.671480" type="1"/>
  </motion>
  <motion name="fire" time="2">
    <move id="raj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="laj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="llj1" degree="1.0" speed="6.091940" type="1"/>
    <move id="llj3" degree="-25.0" speed="-6.176610" type="1"/>
    <move id="llj4" degree="-130.0" speed="-5.847090" type="1"/>
    <move id="llj5" degree="-45.0" speed="-5.927590" type="1"/>
    <move id="rlj1" degree="1.0" speed="-3.758320" type="1"/>
    <move id="rlj3" degree="100.0" speed="6.149090" type="1"/>
    <move id="rlj4" degree="1.0" speed="6.100190" type="1"/>
    <move id="rlj5" degree="-45.0" speed="3.810950" type="1"/>
  </motion>
  <motion name="fire" time="6">
    <move id="raj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="laj1" degree="-90.0" speed="-6.0" type="1"/>
    <move id="llj1" degree="1.0" speed="5.257310" type="1"/>
    <move id="llj3" degree="-25.0" speed="-4.560600" type="1"/>
    <move id="llj4" degree="-130.0" speed="-4.220870" type="1"/>
    <move id="llj5" degree="-45.0" speed="-3.775720" type="1"/>
    <move id="rlj1" degree="-10.0" speed="-6.022280" type="1"/>
    <move id="rlj3" degree="100.0" speed="3.111190" type="1"/>
    <move id="rlj4" degree="1.0" speed="5.559200" type="1"/>
    <move id="rlj5" degree="-45.0" speed="3.451660" type="1"/>
  </motion>
</sequence>
)xml";

}  // namespace

LongKickType4::LongKickType4() : MotionSequenceXML() { ReadDirect(kText); }

LongKickType4::~LongKickType4() {}

}  // namespace zamp
