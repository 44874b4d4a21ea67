#include "script/game_host_access.h"

IGameHost* g_GameHost = nullptr;
