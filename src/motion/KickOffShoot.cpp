#include "motion/KickOffShoot.h"

#include <string>

namespace zamp {

namespace {

const char* const kText = R"xml(<sequence name="kickoffshoot" refresh="true">
  <motion name="init" time="60">
    <move id="rlj3" degree="25.0" speed="0.1"/>
    <move id="llj3" degree="25.0" speed="0.1"/>
    <move id="rlj4" degree="-50.0" speed="0.1"/>
    <move id="llj4" degree="-50.0" speed="0.1"/>
    <move id="rlj5" degree="25.0" speed="0.1"/>
    <move id="llj5" degree="25.0" speed="0.1"/>
  </motion>
  <motion name="set" time="10">
    <move id="rlj3" degree="0.0" speed="0.1"/>
    <move id="llj3" degree="0.0" speed="0.1"/>
    <move id="rlj4" degree="0.0" speed="0.1"/>
    <move id="llj4" degree="0.0" speed="0.1"/>
    <move id="rlj5" degree="0.0" speed="0.1"/>
    <move id="llj5" degree="0.0" speed="0.1"/>
  </motion>
  <motion name="left_bend" time="20">
    <move id="rlj2" degree="-13.0" speed="0.2"/>
    <move id="rlj6" degree="13.0" speed="0.2"/>
    <move id="llj2" degree="-13.0" speed="0.2"/>
    <move id="llj6" degree="13.0" speed="0.2"/>
    <move id="rlj3" degree="20.0" speed="0.2"/>
    <move id="rlj4" degree="-40.0" speed="0.2"/>
    <move id="rlj5" degree="20.0" speed="0.2"/>
  </motion>
  <motion name="right_bend1" time="18">
    <move id="llj3" degree="-34.0" speed="0.1"/>
    <move id="llj5" degree="25.0" speed="0.1"/>
  </motion>
  <motion name="left_landing" time="40">
    <move id="llj3" degree="-20.0" speed="0.2"/>
    <move id="llj5" degree="30.0" speed="0.1"/>
    <move id="llj2" degree="0.0" speed="0.1"/>
    <move id="llj6" degree="0.0" speed="0.1"/>
    <move id="rlj2" degree="9.0" speed="0.05"/>
    <move id="rlj6" degree="-9.0" speed="0.05"/>
  </motion>
  <motion name="right_bend2" time="30">
    <move id="llj1" degree="5.0" speed="0.1"/>
    <move id="rlj4" degree="1.0" speed="0.01"/>
    <move id="rlj5" degree="16.9" speed="0.1"/>
    <move id="llj3" degree="0.0" speed="0.2"/>
    <move id="llj4" degree="-85.0" speed="0.2"/>
    <move id="llj5" degree="60.0" speed="0.2"/>
  </motion>
  <motion name="left_ankle_stretch" time="10">
    <move id="llj5" degree="-35.0" speed="7.0"/>
  </motion>
  <motion name="fire" time="20">
    <move id="llj1" degree="-10.0" speed="7.0"/>
    <move id="llj2" degree="17.0" speed="7.0"/>
    <move id="llj3" degree="140.0" speed="999.0"/>
    <move id="llj4" degree="-80.0" speed="7.0"/>
    <move id="llj5" degree="-35.0" speed="7.0"/>
    <move id="llj7" degree="60.0" speed="7.0"/>
    <move id="rlj2" degree="11.0" speed="6.0"/>
    <move id="rlj3" degree="-100.0" speed="0.10618325"/>
    <move id="rlj4" degree="-30.0" speed="6.0"/>
    <move id="rlj5" degree="-90.0" speed="6.0"/>
  </motion>
</sequence>
)xml";

}  // namespace

KickOffShoot::KickOffShoot() : MotionSequenceXML() {
  ReadDirect(std::string(FORMAT_COMMENT) + kText);
}

KickOffShoot::~KickOffShoot() {}

}  // namespace zamp
