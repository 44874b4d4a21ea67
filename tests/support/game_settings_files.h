// The settings files a game folder needs before the game's set-up accepts it: the application
// definition and information files and a template of the user's settings file that keeps the
// program's defaults.
#pragma once

#include "settings_writer.h"
#include "support/temp_game_folder.h"

namespace test_support {

// Save-folder kind 5 by default: the settings are read from the game folder and never written.
kvxtools::AppDefinitionFile ReadOnlySettingsDefinition();

void WriteGameSettingsFiles(const TempGameFolder& game,
                            const kvxtools::AppDefinitionFile& definition = ReadOnlySettingsDefinition(),
                            const kvxtools::AppInformationFile& information = {});

}  // namespace test_support
