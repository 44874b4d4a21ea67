// The program log: diagnostic lines of the engine and its platform layer, written to standard error.
#pragma once

#include <functional>
#include <string_view>

namespace plat {

void LogDiagnostic(std::string_view line);

// While it lives, diagnostic lines go to the given sink instead of standard error.
class ScopedDiagnosticSink {
 public:
  explicit ScopedDiagnosticSink(std::function<void(std::string_view)> sink);
  ~ScopedDiagnosticSink();
  ScopedDiagnosticSink(const ScopedDiagnosticSink&) = delete;
  ScopedDiagnosticSink& operator=(const ScopedDiagnosticSink&) = delete;

 private:
  std::function<void(std::string_view)> previous_;
};

}  // namespace plat
