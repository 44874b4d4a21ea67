// The bits of a decoded picture: made zero-filled and sized once (see plat::ZeroedBytes), so
// that a decoder's block costs only the rows it really writes.
#pragma once

#include "platform/system/zeroed_pages.h"

using DibBits = plat::ZeroedBytes;
