#include "resource/plugins/tcp_plugin_manager.h"

CTcpPluginManager* g_TcpHost = nullptr;

RefPtr<CTcpObject> CTcpPluginManager::CreateObjectV(std::uintptr_t parameter, const char* name,
                                                    const PluginArgs& args) const {
  return objects_.CreateAndSetUp(
      name, [parameter, &args](CTcpObject& object) { return object.Create(parameter, args); });
}
