// Small ELG pictures for the animation tests: one colour, or cells side by side, each of its
// own colour.
#pragma once

#include <cstdint>
#include <vector>

// A 32-bit picture of one opaque 0xRRGGBB colour, the pixel at (0, 0) given its own colour when
// `corner` is set, so that a key taken there can be told apart.
std::vector<uint8_t> SolidElg(int32_t width, int32_t height, uint32_t rgb, uint32_t corner = 0xFFFFFFFF);
// Cells of width `cell_width` whose colour is CellColour(cell).
std::vector<uint8_t> CellStripElg(int32_t cells, int32_t cell_width, int32_t height);
inline uint32_t CellColour(int32_t cell) { return 0x203040u + 0x301000u * static_cast<uint32_t>(cell); }
