#include "app/framework/framework_app.h"
#include "platform/window/screen_saver.h"

void CFrameworkApp::HoldOffScreenSaver() {
  const bool asked = environment_[kEnvNoScreenSaver] != 0 || environment_[kEnvNoPowerSaving] != 0 ||
                     environment_[kEnvKeepAwake] != 0;
  // A saver that was already held off stays so at exit: nothing of the desktop's is changed.
  if (!asked || !plat::IsScreenSaverAllowed()) return;
  screen_saver_held_off_ = plat::AllowScreenSaver(false);
}

void CFrameworkApp::RestoreScreenSaver() {
  if (!screen_saver_held_off_) return;
  plat::AllowScreenSaver(true);
  screen_saver_held_off_ = false;
}
