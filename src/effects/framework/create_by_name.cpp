#include "effects/framework/create_by_name.h"

#include "base/time/timer_manager.h"
#include "effects/framework/effect.h"
#include "gfx/image_operations/image_part.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "resource/plugins/tcp_plugin_manager.h"

namespace {

// The set-up result of the effect `name`, with the running effect in `running`.
std::uint32_t StartEffect(const char* name, void* target, const PluginArgs& args, CEffect*& running) {
  running = nullptr;
  if (g_DcpHost == nullptr) return kEffectUnknown;
  // Failures release the object through this reference.
  RefPtr<CDcpObject> object = g_DcpHost->CreateObject(name);
  auto* effect = dynamic_cast<CEffect*>(object.get());
  if (effect == nullptr) return kEffectUnknown;
  if (IsPriorityControlOff()) effect->SwitchPriorityControlOff();
  const std::int32_t status = effect->Setup(g_PausableTimerManager, target, args);
  if (status == CEffect::kFinishedAtOnce) return kEffectCreated;
  if (status != CEffect::kRunning) return kEffectSetupFailed;
  // The manager owns the running effect from its set-up on.
  object.release();
  running = effect;
  return kEffectCreated;
}

}  // namespace

std::uint32_t CreateEffectByName(CEffect** owner_slot, const char* name, void* target, const PluginArgs& args) {
  CEffect* effect = nullptr;
  const std::uint32_t status = StartEffect(name, target, args, effect);
  if (owner_slot != nullptr && status == kEffectCreated) {
    *owner_slot = effect;
    if (effect != nullptr) effect->SetOwnerReference(owner_slot);
  }
  return status;
}

CEffect* StartEffectByName(const char* name, void* target, const PluginArgs& args) {
  CEffect* effect = nullptr;
  StartEffect(name, target, args, effect);
  return effect;
}

RefPtr<CScreenTransition> MakeLayerFilterByName(CImagePart* part, const char* name, const PluginArgs& args) {
  if (part == nullptr || g_TcpHost == nullptr) return nullptr;
  RefPtr<CTcpObject> object = g_TcpHost->CreateObjectV(reinterpret_cast<std::uintptr_t>(part), name, args);
  auto* transition = dynamic_cast<CScreenTransition*>(object.get());
  if (transition == nullptr) return nullptr;
  object.release();
  return RefPtr<CScreenTransition>(transition);
}

std::uint32_t CreateLayerFilterByName(CImagePart* part, const char* name, std::uint8_t attach_mode,
                                      std::uint8_t attach_byte, const PluginArgs& args) {
  if (part == nullptr) return kFilterNoPart;
  RefPtr<CScreenTransition> filter = MakeLayerFilterByName(part, name, args);
  if (filter == nullptr) return kFilterNotMade;
  return part->Attach(filter, attach_mode, attach_byte, !IsPriorityControlOff()) == 0 ? kFilterAttached
                                                                                     : kFilterRefused;
}
