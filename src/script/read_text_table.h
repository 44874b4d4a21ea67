// The read-text records: one per script object, with the bits of the lines the player has read
// and of the choices made. SCRIPT\SOB_INIT.DAT lists them; the text-log file keeps their bits.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/numbers/bit_array.h"
#include "base/numbers/byte_cursor.h"

struct ReadTextRecord {
  std::string name;              // the script's upper-case name
  std::uint8_t name_length = 0;  // as stored, with the terminating zero
  bool matched = false;          // used while a text log is read
  CBitArray read_lines;
  CBitArray choices;
};

enum class ReadTextTableStatus : std::uint8_t { kOk, kNoMemory, kDamaged };

// The most bytes of read-line and choice bits a table may hold together: 256 Mi lines and
// choices, far beyond any game, while a small hostile file could otherwise ask for a gigabyte.
inline constexpr std::uint64_t kMostReadTextBitBytes = std::uint64_t{32} << 20;

// The widths of a table's count and of its records' two bit counts: the script host's table has
// 16-bit fields, the scenario machine's VOV_INIT.DAT 32-bit ones.
struct ReadTextTableLayout {
  std::uint8_t count_size = 2;      // 2 or 4
  std::uint8_t bit_count_size = 2;  // 2 or 4
};
inline constexpr ReadTextTableLayout kSobInitLayout{2, 2};

// A read-text table, little-endian: the count; count records {u8 name length n (with the
// terminating zero), n bytes of name, the read-line bits, the choice bits}; SOB_INIT.DAT by
// default. Every record must lie inside the data (else kDamaged), and the bits together must fit
// kMostReadTextBitBytes (else kNoMemory); both are checked before anything is sized, and `table`
// changes only on success.
ReadTextTableStatus ParseReadTextTable(std::span<const std::uint8_t> bytes, std::vector<ReadTextRecord>& table,
                                       ReadTextTableLayout layout = kSobInitLayout);

// The unpacked text-log data: per record, in table order, u8 name length, the name, u32 read-line
// bits, u32 byte count, the bytes, u32 choice bits, u32 byte count, the bytes.
void WriteTextLogRecords(const std::vector<ReadTextRecord>& table, ByteWriter& out);
// Reads `count` stored records into the table: each takes the first record of its name not yet
// matched; its bits are copied only where the stored bit and byte counts equal the record's. The
// whole data is checked first: false (nothing changed) when a record runs past it.
bool ReadTextLogRecords(std::span<const std::uint8_t> data, std::uint32_t count, std::vector<ReadTextRecord>& table);

// A text-log file: the 4-byte magic ("TLOG" for the script host, "TSLG" for the scenario
// machine), u32 stored size, u32 unpacked size (0 when the data is stored unpacked), u32 record
// count, then the records' data, LZSS-packed when that makes it smaller.
std::vector<std::uint8_t> BuildTextLogFile(std::string_view magic, const std::vector<ReadTextRecord>& table);
// Reads a whole text-log file into the table. False (nothing changed) for another magic, a field
// or the data running past the file, data that does not unpack, or records running past it.
bool ReadTextLogFile(std::span<const std::uint8_t> file, std::string_view magic, std::vector<ReadTextRecord>& table);
