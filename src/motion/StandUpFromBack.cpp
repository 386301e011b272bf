#include "motion/StandUpFromBack.h"

namespace zamp {

namespace {

const char* const kText = R"xml(<!--
  Motion XML.
  <sequence name="TEXT" refresh="TEXT">: the whole motion.
    name: name of the motion, free text.
    refresh: "true" lets the program re-read the file while it runs; any other value
      means the file is read once.
  <motion name="TEXT" time="INT">: one step, played in order.
    name: name of the step.
    time: length of the step in cycles of 0.02 s.
  <move id="JOINT" degree="REAL" speed="REAL" type="INT" start="INT" end="INT"/>:
    one joint command of the step.
    id: joint name (hj1, hj2, raj1 to raj4, laj1 to laj4, rlj1 to rlj7, llj1 to llj7).
    degree: target angle in degrees.
    speed: gain for type 0, joint speed for type 1 (default 0.05).
    type: 0: the speed depends on the present angle; 1: it does not, the joint turns
      at the given speed until it passes the target (default 0).
    start: first cycle of the step on which the move acts (default 0).
    end: first cycle of the step on which it no longer acts (default: the step's time).
  The attributes speed, start, end and type need not be written.
-->
<sequence name="stand_up" refresh="true">
  <motion name="init" time="20">
    <move id="hj1" degree="0.0" speed="0.1"/>
    <move id="hj2" degree="0.0" speed="0.1"/>
    <move id="raj1" degree="-90.0" speed="0.1"/>
    <move id="laj1" degree="-90.0" speed="0.1"/>
    <move id="raj2" degree="0.0" speed="0.1"/>
    <move id="laj2" degree="0.0" speed="0.1"/>
    <move id="raj3" degree="90.0" speed="0.1"/>
    <move id="laj3" degree="-90.0" speed="0.1"/>
    <move id="raj4" degree="0.0" speed="0.1"/>
    <move id="laj4" degree="0.0" speed="0.1"/>
    <move id="rlj1" degree="0.0" speed="0.2"/>
    <move id="llj1" degree="0.0" speed="0.2"/>
    <move id="rlj2" degree="0.0" speed="0.2"/>
    <move id="llj2" degree="0.0" speed="0.2"/>
    <move id="rlj3" degree="0.0" speed="0.2"/>
    <move id="llj3" degree="0.0" speed="0.2"/>
    <move id="rlj4" degree="0.0" speed="0.2"/>
    <move id="llj4" degree="0.0" speed="0.2"/>
    <move id="rlj5" degree="0.0" speed="0.2"/>
    <move id="llj5" degree="0.0" speed="0.2"/>
    <move id="rlj6" degree="0.0" speed="0.2"/>
    <move id="llj6" degree="0.0" speed="0.2"/>
  </motion>
  <motion name="passiveness" time="8">
    <move id="raj1" degree="-180.0" speed="0.05"/>
    <move id="laj1" degree="-180.0" speed="0.05"/>
    <move id="raj2" degree="-180.0" speed="0.05"/>
    <move id="laj2" degree="180.0" speed="0.05"/>
    <move id="raj3" degree="-180.0" speed="0.05"/>
    <move id="laj3" degree="180.0" speed="0.05"/>
  </motion>
  <motion name="open_foot1" time="7">
    <move id="raj1" degree="-180.0" speed="0.05"/>
    <move id="laj1" degree="-180.0" speed="0.05"/>
    <move id="rlj2" degree="-120.0" speed="0.05"/>
    <move id="llj2" degree="120.0" speed="0.05"/>
    <move id="rlj3" degree="30.0" speed="0.05"/>
    <move id="llj3" degree="30.0" speed="0.05"/>
    <move id="rlj4" degree="-10.0" speed="0.05"/>
    <move id="llj4" degree="-10.0" speed="0.05"/>
    <move id="rlj5" degree="-30.0" speed="0.05"/>
    <move id="llj5" degree="-30.0" speed="0.05"/>
  </motion>
  <motion name="open_foot2" time="8">
    <move id="raj1" degree="-180.0" speed="0.05"/>
    <move id="laj1" degree="-180.0" speed="0.05"/>
    <move id="rlj1" degree="-60.0" speed="0.05"/>
    <move id="llj1" degree="-60.0" speed="0.05"/>
    <move id="rlj2" degree="-90.0" speed="0.05"/>
    <move id="llj2" degree="90.0" speed="0.05"/>
    <move id="rlj3" degree="120.0" speed="0.05"/>
    <move id="llj3" degree="120.0" speed="0.05"/>
    <move id="rlj4" degree="-90.0" speed="0.05"/>
    <move id="llj4" degree="-90.0" speed="0.05"/>
    <move id="rlj5" degree="-90.0" speed="0.05"/>
    <move id="llj5" degree="-90.0" speed="0.05"/>
  </motion>
  <motion name="settle_body" time="30">
    <move id="raj1" degree="40.0" speed="0.05"/>
    <move id="laj1" degree="40.0" speed="0.05"/>
    <move id="raj2" degree="0.0" speed="0.05"/>
    <move id="laj2" degree="0.0" speed="0.05"/>
    <move id="raj3" degree="90.0" speed="0.05"/>
    <move id="laj3" degree="-90.0" speed="0.05"/>
    <move id="rlj1" degree="-90.0" speed="0.07"/>
    <move id="llj1" degree="-90.0" speed="0.07"/>
    <move id="rlj2" degree="45.0" speed="0.07"/>
    <move id="llj2" degree="-45.0" speed="0.07"/>
    <move id="rlj3" degree="100.0" speed="0.07"/>
    <move id="llj3" degree="100.0" speed="0.07"/>
    <move id="rlj4" degree="-90.0" speed="0.07"/>
    <move id="llj4" degree="-90.0" speed="0.07"/>
    <move id="rlj5" degree="-45.0" speed="0.07"/>
    <move id="llj5" degree="-45.0" speed="0.07"/>
  </motion>
  <motion name="close_foot" time="5">
    <move id="raj1" degree="-90.0" speed="0.5"/>
    <move id="laj1" degree="-90.0" speed="0.5"/>
    <move id="raj2" degree="0.0" speed="0.5"/>
    <move id="laj2" degree="0.0" speed="0.5"/>
    <move id="raj3" degree="90.0" speed="0.5"/>
    <move id="laj3" degree="-90.0" speed="0.5"/>
    <move id="raj4" degree="0.0" speed="0.5"/>
    <move id="laj4" degree="0.0" speed="0.5"/>
    <move id="rlj1" degree="90.0" speed="0.05"/>
    <move id="llj1" degree="90.0" speed="0.05"/>
    <move id="rlj2" degree="120.0" speed="0.05"/>
    <move id="llj2" degree="-120.0" speed="0.05"/>
    <move id="rlj3" degree="-120.0" speed="0.05"/>
    <move id="llj3" degree="-120.0" speed="0.05"/>
    <move id="rlj4" degree="90.0" speed="0.05"/>
    <move id="llj4" degree="90.0" speed="0.05"/>
    <move id="rlj5" degree="120.0" speed="0.05"/>
    <move id="llj5" degree="120.0" speed="0.05"/>
  </motion>
  <motion name="set" time="20">
    <move id="raj1" degree="-100.0" speed="0.5"/>
    <move id="laj1" degree="-100.0" speed="0.5"/>
    <move id="raj2" degree="-20.0" speed="0.5"/>
    <move id="laj2" degree="20.0" speed="0.5"/>
    <move id="raj3" degree="90.0" speed="0.5"/>
    <move id="laj3" degree="-90.0" speed="0.5"/>
    <move id="raj4" degree="0.0" speed="0.5"/>
    <move id="laj4" degree="0.0" speed="0.5"/>
    <move id="rlj1" degree="0.0" speed="0.1"/>
    <move id="llj1" degree="0.0" speed="0.1"/>
    <move id="rlj2" degree="0.0" speed="0.1"/>
    <move id="llj2" degree="0.0" speed="0.1"/>
    <move id="rlj3" degree="25.0" speed="0.1"/>
    <move id="llj3" degree="25.0" speed="0.1"/>
    <move id="rlj4" degree="-60.0" speed="0.1"/>
    <move id="llj4" degree="-60.0" speed="0.1"/>
    <move id="rlj5" degree="35.0" speed="0.1"/>
    <move id="llj5" degree="35.0" speed="0.1"/>
    <move id="rlj6" degree="0.0" speed="0.1"/>
    <move id="llj6" degree="0.0" speed="0.1"/>
    <move id="rlj7" degree="0.0" speed="0.1"/>
    <move id="llj7" degree="0.0" speed="0.1"/>
  </motion>
</sequence>
)xml";

}  // namespace

StandUpFromBack::StandUpFromBack() : MotionSequenceXML() { ReadDirect(kText); }

StandUpFromBack::~StandUpFromBack() {}

}  // namespace zamp
