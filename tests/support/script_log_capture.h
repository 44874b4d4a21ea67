// Collects the script log's lines for the lifetime of the object instead of writing them out.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "script/script_log.h"

class ScriptLogCapture {
 public:
  ScriptLogCapture() : previous_(SetScriptLogSink([this](std::string_view line) { lines_.emplace_back(line); })) {}
  ~ScriptLogCapture() { SetScriptLogSink(std::move(previous_)); }
  ScriptLogCapture(const ScriptLogCapture&) = delete;
  ScriptLogCapture& operator=(const ScriptLogCapture&) = delete;

  const std::vector<std::string>& Lines() const { return lines_; }
  std::string Last() const { return lines_.empty() ? std::string() : lines_.back(); }
  void Clear() { lines_.clear(); }

 private:
  std::vector<std::string> lines_;
  ScriptLogSink previous_;
};
