#include "base/system/app_services.h"

IAppServices* g_AppServices = nullptr;
