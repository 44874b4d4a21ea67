#include "base/app_services.h"

IAppServices* g_AppServices = nullptr;
