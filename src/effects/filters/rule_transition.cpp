#include "effects/filters/rule_transition.h"

#include "effects/framework/effect_args.h"
#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"

std::int32_t CRuleTransition::SetParam(CImagePart* target, const PluginArgs& args) {
  const std::int32_t status = AcceptTarget(target, args);
  if (status != kAccepted) return status;
  rule_ = ArgObject<CImage>(args, 1);
  vague_ = ArgUnsigned(args, 2);
  if (rule_ == nullptr || rule_->GetBitsPerPixel() != 8) {
    started_ = false;
    return kUnfitTarget;
  }
  return kAccepted;
}

std::int32_t CRuleTransition::Apply(const FilterApplyArea& area) {
  if (rule_ == nullptr) return kRoutineFailed;
  PixelRuleTransitionArgs args;
  args.level = level_;
  args.vague = vague_;
  args.area = {area.destination_x, area.destination_y, area.width, area.height};
  args.a = {area.old_x, area.old_y};
  args.b = {area.new_x, area.new_y};
  args.rule = {area.x, area.y};
  return area.destination->PixelLibBlendThree(area.old_picture, area.new_picture, rule_, args) == 0 ? 0
                                                                                                  : kRoutineFailed;
}
