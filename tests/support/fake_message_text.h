// A message for the script text box's tests: a list of stops in which every character of a text
// run is a stop of its own, a speaker field and a read flag. Past its end it reports the end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/fonts/message_text_source.h"

class FakeMessageText : public IMessageText {
 public:
  struct Stop {
    int32_t kind = kEnd;
    std::string text;
    int32_t size = 0;
  };
  // One stop per character of a Shift-JIS run.
  static std::vector<Stop> Text(const std::string& run) {
    std::vector<Stop> stops;
    for (size_t i = 0; i < run.size();) {
      const size_t length = static_cast<uint8_t>(run[i]) >= 0x81 && i + 1 < run.size() ? 2 : 1;
      stops.push_back({kCharacter, run.substr(i, length), 0});
      i += length;
    }
    return stops;
  }

  void Set(std::vector<std::vector<Stop>> parts, std::string speaker = "", bool read = false) {
    stops_.clear();
    for (auto& part : parts) stops_.insert(stops_.end(), part.begin(), part.end());
    speaker_ = std::move(speaker);
    read_ = read;
    cursor_ = 0;
    current_ = -1;
  }

  int32_t AdvanceToStop() override {
    if (cursor_ >= stops_.size()) return kEnd;
    current_ = static_cast<int32_t>(cursor_++);
    return stops_[static_cast<size_t>(current_)].kind;
  }
  void AdvanceChars(int32_t n) override { cursor_ = static_cast<size_t>(static_cast<int32_t>(cursor_) + n); }
  const char* CurrentPiece() const override { return stops_.at(static_cast<size_t>(current_)).text.c_str(); }
  const char* CurrentString() const override { return CurrentPiece(); }
  int32_t SizeValue() const override { return stops_.at(static_cast<size_t>(current_)).size; }
  std::string GetNamePart(int32_t part) const override {
    const size_t split = speaker_.find('\\');
    if (part == 1) return speaker_.substr(0, split);
    return split == std::string::npos ? std::string() : speaker_.substr(split + 1);
  }
  bool IsRead() const override { return read_; }

  // The stop that the next AdvanceToStop reports.
  size_t cursor() const { return cursor_; }

 private:
  std::vector<Stop> stops_;
  std::string speaker_;
  bool read_ = false;
  size_t cursor_ = 0;
  int32_t current_ = -1;
};
