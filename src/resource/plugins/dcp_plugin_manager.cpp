#include "resource/plugins/dcp_plugin_manager.h"

CDcpPluginManager* g_DcpHost = nullptr;

ObjectAssistFunc FindHostAssistFunc(const char* name) {
  return g_DcpHost != nullptr ? g_DcpHost->FindAssistFunc(name) : nullptr;
}

RefPtr<CDcpObject> CDcpPluginManager::CreateObjectV(const char* name, const PluginArgs& args) const {
  return objects_.CreateAndSetUp(name, [&args](CDcpObject& object) { return object.SetUp(args); });
}

ObjectAssistFunc CDcpPluginManager::FindAssistFunc(const char* name) const {
  const auto* record = objects_.Find(name);
  return record != nullptr ? record->extra.assist : nullptr;
}

ObjectAssistFunc CDcpPluginManager::FindAssistFunc2(const char* name) const {
  const auto* record = objects_.Find(name);
  return record != nullptr ? record->extra.assist2 : nullptr;
}
