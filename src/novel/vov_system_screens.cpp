// The text history screen of the novel frame.
#include "base/not_built.h"
#include "novel/vov_frame.h"

std::int32_t CVovFrame::RunTextHistory() {
  ReportNotBuiltYet("the text history of the novel frame");
  return 0;
}
