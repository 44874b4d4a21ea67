#include "base/files/data_file_layer.h"

IDataFileLayer* g_DataFiles = nullptr;
