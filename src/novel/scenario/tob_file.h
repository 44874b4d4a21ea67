// The layout of a scenario object (TOB file), little-endian throughout:
//
//   0        magic "TOB0" or "TOB1"
//   4        u32 L1: distance from offset 4 to the second block (its own four bytes counted)
//   8        u32 label count
//   12       label records: u8 length of what follows, the name, a zero byte, u32 body offset
//   4+L1     u32 L2: distance from this field to the body (its own four bytes counted)
//   8+L1     u32 n: entries of the line table
//   12+L1    n u32 body offsets, entry i the start of scenario line i
//   4+L1+L2  the body, to the end of the file
//
// The parser checks every length before it is used: the label records lie inside the first
// block, the second block and the line table inside the file before the body, and every label
// and line offset inside the body (at most its end, where reading finds the body's end).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kTob0Magic = "TOB0";
inline constexpr std::string_view kTob1Magic = "TOB1";

struct TobLabel {
  std::string name;
  std::uint32_t offset = 0;  // in the body
};

struct TobLayout {
  bool has_line_table = false;  // TOB1; a TOB0 file keeps the entries behind its count too
  std::vector<TobLabel> labels;
  std::vector<std::uint32_t> lines;  // body offsets
  std::uint32_t body_offset = 0;     // from the start of the file
};

enum class TobStatus : std::uint8_t { kOk, kBadMagic, kMalformed };

TobStatus ParseTob(std::span<const std::uint8_t> file, TobLayout& layout);
