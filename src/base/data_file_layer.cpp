#include "base/data_file_layer.h"

IDataFileLayer* g_DataFiles = nullptr;
