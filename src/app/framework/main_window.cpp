#include "app/framework/main_window.h"

#include "app/framework/framework_app.h"

int CMainWindow::OnUnhandled(MessageBlock& block) {
  switch (block.message) {
    case plat::WM_IME_STARTCOMPOSITION:
    case plat::WM_IME_ENDCOMPOSITION:
      return 0;
    case plat::WM_IME_COMPOSITION:
      return (block.lparam & plat::GCS_RESULTSTR) != 0 ? 1 : 0;
    case plat::WM_IME_SETCONTEXT:
      // The input method may not draw its own windows: clear the show-UI bits 0-3 and 30-31.
      block.lparam = static_cast<int32_t>(static_cast<uint32_t>(block.lparam) & 0x3FFFFFF0u);
      return 1;
    case plat::WM_IME_NOTIFY:
      if (g_FrameworkApp != nullptr) return g_FrameworkApp->FilterImeNotify(block);
      return 1;
    default:
      return CWindow::OnUnhandled(block);
  }
}
