// Scripted answers of a player who agrees to every question: yes to a Yes/No box (the close
// question among them), OK to any other.
#pragma once

#include "platform/window/system_message_box.h"

namespace test_support {

inline bool IsQuestion(const plat::MessageBoxRequest& request) {
  return (request.style & plat::kMessageBoxButtonsMask) == plat::MB_YESNO;
}

inline int AgreeingAnswer(const plat::MessageBoxRequest& request) {
  return IsQuestion(request) ? plat::IDYES : plat::IDOK;
}

}  // namespace test_support
