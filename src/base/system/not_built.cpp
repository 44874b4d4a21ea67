#include "base/system/not_built.h"

#include <mutex>
#include <set>
#include <string>

#include "platform/system/diagnostic_log.h"

void ReportNotBuiltYet(std::string_view what) {
  static std::mutex lock;
  static std::set<std::string, std::less<>> reported;
  {
    std::lock_guard guard(lock);
    if (!reported.emplace(what).second) return;
  }
  plat::LogDiagnostic("not built yet: " + std::string(what));
}
