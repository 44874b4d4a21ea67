#include "support/game_settings_files.h"

#include <string_view>
#include <vector>

namespace test_support {
namespace {

void Write(const TempGameFolder& game, std::string_view name, const std::vector<std::uint8_t>& bytes) {
  game.WriteFile(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace

kvxtools::AppDefinitionFile ReadOnlySettingsDefinition() {
  kvxtools::AppDefinitionFile definition;
  definition.save_folder_mode = 5;
  return definition;
}

void WriteGameSettingsFiles(const TempGameFolder& game, const kvxtools::AppDefinitionFile& definition,
                            const kvxtools::AppInformationFile& information) {
  Write(game, "SCRIPT/DL_APP.SYS", kvxtools::WriteAppDefinition(definition));
  Write(game, "SCRIPT/DL_APP.INF", kvxtools::WriteAppInformation(information));
  // Empty blocks: the program's defaults stand.
  kvxtools::UserConfigFile user{{}, {}, {}, {}};
  Write(game, "USER.CFG", kvxtools::WriteUserConfigFile(user));
}

}  // namespace test_support
