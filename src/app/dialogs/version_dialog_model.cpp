#include "app/dialogs/version_dialog_model.h"

#include <cstdio>

#include "platform/encoding/text_encoding.h"

std::string VersionLine(uint8_t major, uint8_t minor, uint8_t revision) {
  char line[40];
  if (revision != 0) {
    std::snprintf(line, sizeof line, "Version %d.%02d%x ", major, minor, revision);
  } else {
    std::snprintf(line, sizeof line, "Version %d.%02d ", major, minor);
  }
  return line;
}

std::string ReportFileText(const std::string& report) {
  std::string text;
  std::size_t start = 0;
  for (std::size_t end = report.find('\n'); end != std::string::npos; end = report.find('\n', start)) {
    std::size_t line_end = end;
    if (line_end > start && report[line_end - 1] == '\r') --line_end;
    text.append(report, start, line_end - start);
    text += "\r\n";
    start = end + 1;
  }
  return text;
}

std::string ReportFileName(const std::string& application_name) {
  return plat::Utf8ToSjis("「") + application_name + plat::Utf8ToSjis("」システム情報.txt");
}

CVersionDialogModel::CVersionDialogModel(ReportWriter writer, uint8_t& detailed_setting)
    : writer_(std::move(writer)), detailed_setting_(detailed_setting), report_(writer_(Detailed())) {}

void CVersionDialogModel::SetDetailed(bool detailed) {
  detailed_setting_ = detailed ? 1 : 0;
  report_ = writer_(detailed);
}
