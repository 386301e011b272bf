#include "model/OtherPlayer.h"

#include "core/Tool.h"

namespace zamp {

OtherPlayer::OtherPlayer(bool is_friend)
    : DynamicFieldObject(is_friend ? OBJ_FRIEND_AGENT : OBJ_ENEMY_AGENT), is_fall_(false) {}

double OtherPlayer::CulcEachPartDistance(int part1, int part2) const {
  return Tool::CulcDistance(Tool::RemoveVectZ(visible_part_[part1].GetAbsoluteCoordinates()),
                            Tool::RemoveVectZ(visible_part_[part2].GetAbsoluteCoordinates()));
}

}  // namespace zamp
