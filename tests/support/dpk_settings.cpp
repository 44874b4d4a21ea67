#include "support/dpk_settings.h"

namespace test_support {

void ApplyDpkSettings(const DpkDecoderSettings& settings) {
  const PluginArgList tables{settings.build_tables ? 1u : 0u};
  const PluginArgList keys{settings.keys.first, settings.keys.second};
  const PluginArgs table_args = tables.View();
  const PluginArgs key_args = keys.View();
  DpkAssistFunc(kDpkAssistBuildTables, &table_args);
  DpkAssistFunc(kDpkAssistKeyWords, &key_args);
}

ScopedDpkSettings::ScopedDpkSettings(DpkDecoderSettings settings) : previous_(GetDpkDecoderSettings()) {
  ApplyDpkSettings(settings);
}

ScopedDpkSettings::~ScopedDpkSettings() { ApplyDpkSettings(previous_); }

}  // namespace test_support
