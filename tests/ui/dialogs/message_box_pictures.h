// The message box's "SYS/" pictures for the tests, each piece a colour of its own so that a
// test can tell from a pixel which piece lies there: frame corners 13 × 5, edges one pixel
// long, buttons a strip of three 76 × 24 frames (normal, hot, pressed).
#pragma once

#include <cstdint>
#include <string>

#include "ui/widgets/picture_files_test.h"

namespace gui_test {

inline constexpr uint32_t kBoxCorner = 0xFFE0C040;
inline constexpr uint32_t kBoxTopBar = 0xFF40A0E0;
inline constexpr uint32_t kBoxBottomBar = 0xFF2060C0;
inline constexpr uint32_t kBoxSideBar = 0xFF80E080;
inline constexpr uint32_t kBoxButtonFace = 0xFFC03030;
inline constexpr uint32_t kBoxSecondButtonFace = 0xFF3030C0;
inline constexpr int32_t kBoxButtonWidth = 76;
inline constexpr int32_t kBoxButtonHeight = 24;

inline void WriteMessageBoxPictures(const test_support::TempGameFolder& folder) {
  for (const char* corner : {"LT", "RT", "LB", "RB"}) {
    WriteFramesElg(folder, std::string("SYS/IF_") + corner + ".ELG", 13, 5, {kBoxCorner});
  }
  WriteFramesElg(folder, "SYS/IF_TBAR.ELG", 1, 5, {kBoxTopBar});
  WriteFramesElg(folder, "SYS/IF_BBAR.ELG", 1, 5, {kBoxBottomBar});
  WriteFramesElg(folder, "SYS/IF_LBAR.ELG", 13, 1, {kBoxSideBar});
  WriteFramesElg(folder, "SYS/IF_RBAR.ELG", 13, 1, {kBoxSideBar});
  for (const char* first : {"OK", "YES", "OK2"}) {
    WriteFramesElg(folder, std::string("SYS/IF_") + first + ".ELG", kBoxButtonWidth, kBoxButtonHeight,
                   {kBoxButtonFace, 0xFFE06060, 0xFF801010});
  }
  for (const char* second : {"CANCL", "NO"}) {
    WriteFramesElg(folder, std::string("SYS/IF_") + second + ".ELG", kBoxButtonWidth, kBoxButtonHeight,
                   {kBoxSecondButtonFace, 0xFF6060E0, 0xFF101080});
  }
}

}  // namespace gui_test
