// A game host for the frame's tests whose quick group holds the slot a test says; it records
// saves and the stored load path.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "script/game_host_access.h"

namespace vov_test {

class RecordingGameHost : public IGameHost {
 public:
  explicit RecordingGameHost(CScriptHost& scripts) : scripts_(scripts) { g_GameHost = this; }
  ~RecordingGameHost() { g_GameHost = nullptr; }
  RecordingGameHost(const RecordingGameHost&) = delete;
  RecordingGameHost& operator=(const RecordingGameHost&) = delete;

  CScriptHost& Scripts() override { return scripts_; }
  void BeginSaveSelection(std::uint16_t, std::uint32_t, const char*) override {}
  std::uint32_t GetSaveFilePath(std::string& path, std::int32_t group, std::int32_t slot) const override {
    if (!Holds(group, slot)) return 3;
    path = "DATA" + std::to_string(group) + "_" + std::to_string(slot) + ".SAV";
    return 0;
  }
  void SetPendingLoadPath(std::string path) override { pending_load = std::move(path); }
  std::uint32_t CheckSaveFile(const std::string&) const override { return damaged ? 3 : 0; }
  std::uint32_t SaveGame(std::int32_t group, std::int32_t slot) override {
    saves.emplace_back(group, slot);
    return 0;
  }
  std::uint32_t LoadGame(std::int32_t, std::int32_t) override { return 0; }
  std::uint32_t FormatSaveTimeStamp(std::string* text, std::int32_t group, std::int32_t slot,
                                    std::uint32_t) const override {
    if (!Holds(group, slot)) return 2;
    *text = "2026/12/08";
    return 0;
  }
  std::uint32_t WriteSaveCaption(std::int32_t, std::int32_t, const char*) override { return 0; }
  std::uint32_t ReadSaveHeader(std::int32_t, std::int32_t, const SaveHeaderOutputs&) const override { return 2; }
  void SetThumbnailSource(CImage*, const char*) override {}
  std::uint32_t CopySaveFile(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override { return 0; }
  std::uint32_t DeleteSaveFile(std::int32_t, std::int32_t) override { return 0; }
  std::uint32_t TakeSnapshot() override { return 1; }
  std::uint32_t RestoreSnapshot() override { return 1; }
  void DiscardSnapshot() override {}
  std::span<const std::uint8_t> HeldSnapshot() const override { return {}; }
  std::uint8_t ApplyTextSettings(bool, bool, CGuiElement*, CGuiElement*, CFontBase*, bool, bool, bool) override {
    return 0;
  }

  bool Holds(std::int32_t group, std::int32_t slot) const { return group == 11 && slot == held_slot; }

  std::int32_t held_slot = 0;
  bool damaged = false;
  std::vector<std::pair<std::int32_t, std::int32_t>> saves;
  std::string pending_load;

 private:
  CScriptHost& scripts_;
};

}  // namespace vov_test
