// The Japanese line-breaking tables (Shift-JIS, zero-terminated): characters a line may not
// begin with, may not end with, and the small continuation characters that stay with the one
// before them. The two-byte tables are runs of two-byte characters.
#pragma once

#include <cstdint>

namespace plat::kinsoku {

extern const char kNotAtLineStartSbcs[];
extern const char kNotAtLineStartDbcs[];
extern const char kSmallSbcs[];
extern const char kSmallDbcs[];
extern const char kNotAtLineEndSbcs[];
extern const char kNotAtLineEndDbcs[];

bool InSbcsTable(const char* table, uint8_t c);
bool InDbcsTable(const char* table, uint8_t lead, uint8_t trail);

}  // namespace plat::kinsoku
