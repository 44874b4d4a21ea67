#include "support/script_only_game.h"

#include <string_view>

#include "sob_assembler.h"
#include "support/game_settings_files.h"

namespace test_support {

bool WriteScriptOnlyGame(const TempGameFolder& game, const char* main_source, std::string& error) {
  kvxtools::SobAssembly main;
  if (!kvxtools::AssembleSob(main_source, nullptr, main, error)) return false;
  game.WriteFile("SCRIPT/MAIN.SOB", std::string_view(reinterpret_cast<const char*>(main.bytes.data()), main.bytes.size()));
  kvxtools::AppDefinitionFile definition = ReadOnlySettingsDefinition();
  definition.single_instance = 0;
  WriteGameSettingsFiles(game, definition);
  return true;
}

}  // namespace test_support
