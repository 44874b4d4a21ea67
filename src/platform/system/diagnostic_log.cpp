#include "platform/system/diagnostic_log.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <utility>

namespace plat {
namespace {

std::mutex g_sink_lock;
std::function<void(std::string_view)> g_sink;

}  // namespace

void LogDiagnostic(std::string_view line) {
  std::lock_guard guard(g_sink_lock);
  if (g_sink) {
    g_sink(line);
    return;
  }
  std::fprintf(stderr, "kestrune: %.*s\n", static_cast<int>(line.size()), line.data());
}

ScopedDiagnosticSink::ScopedDiagnosticSink(std::function<void(std::string_view)> sink) {
  std::lock_guard guard(g_sink_lock);
  previous_ = std::exchange(g_sink, std::move(sink));
}

ScopedDiagnosticSink::~ScopedDiagnosticSink() {
  std::lock_guard guard(g_sink_lock);
  g_sink = std::move(previous_);
}

}  // namespace plat
