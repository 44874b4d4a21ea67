// The pictures and layouts of the two select screens, made for the frame's tests: a panel of one
// known colour, flags and name plates of their own colours, the choice list's three-frame item
// picture and the two bars.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dgm_writer.h"
#include "novel/frame/vov_message_window_fixture.h"
#include "support/data_files_fixture.h"

namespace select_test {

inline constexpr std::uint32_t kPanelColour = 0xFF2A4060;
inline constexpr std::int32_t kPanelWidth = 766;
inline constexpr std::int32_t kPanelHeight = 574;
inline constexpr std::uint32_t kItemColour = 0xFF8040C0;
inline constexpr std::int32_t kItemWidth = 300;
inline constexpr std::int32_t kItemHeight = 40;
inline constexpr std::int32_t kBarX = 20;
inline constexpr std::int32_t kBarY = 560;
inline constexpr std::int32_t kBarStep = 100;
inline constexpr std::int32_t kAnswerX = 100;
inline constexpr std::int32_t kAnswerY = 200;
inline constexpr std::int32_t kAnswerStep = 60;
inline constexpr std::uint32_t kMoreFlagsColour = 0xFFE0E020;
inline constexpr std::uint32_t kBackgroundColour = 0xFF103020;

inline std::uint32_t FlagColour(std::uint32_t flag) { return 0xFF000010u | (flag * 20u) << 8; }
inline std::uint32_t NameColour(std::int32_t character) { return 0xFF100000u | static_cast<std::uint32_t>(character) * 40u << 16; }

// Buttons of 80 x 24 (the first three of their four frames of 60) in the bar row; with `answers`
// two answers of 200 x 40 come first.
inline void WriteBar(const test_support::TempGameFolder& game, const std::string& layout, bool answers) {
  kvxtools::DgmFile file;
  auto add = [&](const std::string& name, std::int16_t x, std::int16_t y, std::int32_t width, std::int32_t height) {
    message_test::WritePicture(game, "SYS/" + name, width, height, {0xFF606060, 0xFF808080, 0xFFA0A0A0, 0xFF303030}, 4);
    kvxtools::DgmPartRecord part;
    part.picture = name;
    part.type = 1;
    part.x = x;
    part.y = y;
    file.parts.push_back(part);
  };
  if (answers) {
    for (std::int16_t i = 0; i < 2; ++i) {
      add(layout + "_A" + std::to_string(i) + ".ELG", kAnswerX, static_cast<std::int16_t>(kAnswerY + i * kAnswerStep), 150, 40);
    }
  }
  for (std::int16_t i = 0; i < 7; ++i) {
    add(layout + "_B" + std::to_string(i) + ".ELG", static_cast<std::int16_t>(kBarX + i * kBarStep), kBarY, 60, 24);
  }
  const std::vector<std::uint8_t> bytes = kvxtools::EncodeDgm(file);
  game.WriteFile("SYS/" + layout + ".GMP", std::string(bytes.begin(), bytes.end()));
}

inline void WriteSelectScreenFiles(const test_support::TempGameFolder& game) {
  message_test::WritePicture(game, "SYS/SS_FRAME.ELG", kPanelWidth, kPanelHeight, {kPanelColour});
  message_test::WritePicture(game, "SYS/SS_SEL.ELG", kItemWidth, kItemHeight, {kItemColour, 0xFFC060E0, 0xFF603090}, 3);
  for (std::uint32_t flag = 1; flag <= 12; ++flag) {
    const std::string name = (flag < 10 ? "SYS/SS_F0" : "SYS/SS_F") + std::to_string(flag) + ".ELG";
    message_test::WritePicture(game, name, 40, 30, {FlagColour(flag)});
  }
  message_test::WritePicture(game, "SYS/SS_ETC.ELG", 30, 20, {kMoreFlagsColour});
  for (std::int32_t character = 1; character <= 7; ++character) {
    message_test::WritePicture(game, "SYS/SS_NAME" + std::to_string(character) + ".ELG", 60, 20,
                               {NameColour(character)});
  }
  message_test::WritePicture(game, "SYS/SS_BG4.ELG", 800, 600, {kBackgroundColour});
  WriteBar(game, "SS_SEL", false);
  WriteBar(game, "SS_BG", true);
}

}  // namespace select_test
