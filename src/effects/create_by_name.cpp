#include "effects/create_by_name.h"

#include "base/timer_manager.h"
#include "effects/effect.h"
#include "gfx/image_part.h"
#include "resource/dcp_plugin_manager.h"
#include "resource/tcp_plugin_manager.h"

std::uint32_t CreateEffectByName(CEffect** owner_slot, const char* name, void* target, const PluginArgs& args) {
  if (g_DcpHost == nullptr) return kEffectUnknown;
  // Failures release the object through this reference.
  RefPtr<CDcpObject> object = g_DcpHost->CreateObject(name);
  auto* effect = dynamic_cast<CEffect*>(object.get());
  if (effect == nullptr) return kEffectUnknown;
  if (IsPriorityControlOff()) effect->SwitchPriorityControlOff();
  const std::int32_t status = effect->Setup(g_PausableTimerManager, target, args);
  if (status == CEffect::kFinishedAtOnce) {
    if (owner_slot != nullptr) *owner_slot = nullptr;
    return kEffectCreated;
  }
  if (status != CEffect::kRunning) return kEffectSetupFailed;
  // The manager owns the running effect from its set-up on.
  object.release();
  if (owner_slot != nullptr) {
    *owner_slot = effect;
    effect->SetOwnerReference(owner_slot);
  }
  return kEffectCreated;
}

std::uint32_t CreateLayerFilterByName(CImagePart* part, const char* name, std::uint8_t attach_mode,
                                      std::uint8_t attach_byte, const PluginArgs& args) {
  if (part == nullptr) return kFilterNoPart;
  if (g_TcpHost == nullptr) return kFilterNotMade;
  RefPtr<CTcpObject> object = g_TcpHost->CreateObjectV(reinterpret_cast<std::uintptr_t>(part), name, args);
  if (object == nullptr) return kFilterNotMade;
  auto* transition = dynamic_cast<CScreenTransition*>(object.get());
  if (transition == nullptr) return kFilterRefused;
  object.release();
  RefPtr<CScreenTransition> filter(transition);
  return part->Attach(filter, attach_mode, attach_byte, !IsPriorityControlOff()) == 0 ? kFilterAttached
                                                                                     : kFilterRefused;
}
