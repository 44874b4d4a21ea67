// The game's data archives, mounted by the set-up from the base data folder.
#pragma once

#include "resource/archives/file_system.h"

// Mounts "PATCH.DPK", then, only when that succeeded, "PATCH2.DPK", "PATCH3.DPK" ... each in
// front of the others until the first that does not mount, then "SCRIPT.DPK" at its own name
// behind them. Archives that do not mount are passed over in silence.
void MountGameArchives(CFileSystem& files);
