// Collects the program log's lines for the lifetime of the object instead of writing them out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/system/diagnostic_log.h"

class LogCapture {
 public:
  LogCapture() : sink_([this](std::string_view line) { lines_.emplace_back(line); }) {}
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  const std::vector<std::string>& Lines() const { return lines_; }
  std::string Last() const { return lines_.empty() ? std::string() : lines_.back(); }
  void Clear() { lines_.clear(); }

 private:
  std::vector<std::string> lines_;
  plat::ScopedDiagnosticSink sink_;
};
