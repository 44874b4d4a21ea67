// One running instance of a game per user: the lock is named after the game, as the
// application name names the game's window.
#include <string>

#include "app/framework/framework_app.h"
#include "app/framework/private_messages.h"
#include "platform/encoding/text_encoding.h"
#include "platform/system/diagnostic_log.h"
#include "platform/window/message_queue.h"
#include "platform/window/native_window.h"

namespace {

// "Kestrune DX" and the application name, made a file name.
std::string LockFileName(const std::string& sjis_application_name) {
  std::string name = "Kestrune DX" + plat::SjisToUtf8(sjis_application_name) + ".lock";
  for (char& c : name) {
    if (c == '/' || c == '\\') c = '_';
  }
  return name;
}

}  // namespace

bool CFrameworkApp::ClaimSingleInstance() {
  const std::string folder = plat::RuntimeFolder();
  if (folder.empty()) {
    plat::LogDiagnostic("start-up: no folder of the user's own for the single-instance lock; the game runs without it");
    return true;
  }
  const std::string lock_path = folder + "/" + LockFileName(info_.application_name);
  const auto claim = single_instance_.Take(lock_path, [this] {
    if (const plat::WindowId window = main_window_.GetHandle(); window != 0) {
      plat::MessageQueue::Instance().Post(window, kMsgFrontRequest, 0, 0);
    }
  });
  if (claim == plat::SingleInstance::Claim::kUnavailable) {
    plat::LogDiagnostic("start-up: the single-instance lock cannot be made; the game runs without it");
  }
  if (claim != plat::SingleInstance::Claim::kAnotherRuns) return true;
  plat::LogDiagnostic("start-up: the game is running already, or still ending (" + lock_path +
                      " is held): it was asked to come to the front, and this start ends");
  return false;
}

int CFrameworkApp::OnFrontRequest(MessageBlock&) {
  if (plat::Window* window = main_window_.GetPlatformWindow()) {
    window->Restore();
    window->Show();
    window->Raise();
  }
  return 0;
}
