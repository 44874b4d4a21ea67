// Steps whose subsystem joins the engine later say so in the program log, once each, when the
// program reaches them, so that nothing missing passes for done.
#pragma once

#include <string_view>

void ReportNotBuiltYet(std::string_view what);
