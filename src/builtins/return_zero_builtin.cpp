#include "builtins/return_zero_builtin.h"

std::uint32_t NativeReturnZero(NativeArgs /*args*/) { return 0; }
