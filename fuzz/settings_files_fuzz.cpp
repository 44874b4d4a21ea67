// Reads arbitrary bytes as each of the settings files; every reader must stay inside the bytes
// and inside its blocks.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "base/settings/settings_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  AppInfo info;
  ReadAppDefinition(file, info);
  ReadAppInformation(file, info);
  if (info.window_style != kForcedWindowStyle && size >= 2) std::abort();
  EnvironmentBlock environment{};
  WindowBlock window{};
  std::array<std::uint8_t, kRunTimeBlockSize> run_time{};
  std::string chosen;
  ReadUserConfig(file, {environment, window, run_time, &chosen});
  if (chosen.size() >= size + 1) std::abort();
  GameSettingsBlock settings{};
  ReadGameSettingsFile(file, settings);
  ReadInstallInformation(file);
  return 0;
}
