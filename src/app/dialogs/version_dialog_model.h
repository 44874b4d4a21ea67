// The state of the version dialog: the version line, the system report in its short or
// detailed form (the choice kept in the game settings), and the forms the report is copied and
// saved in. Texts are Shift-JIS.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// "Version %d.%02d", then the revision in hexadecimal and a space, or a space alone without one.
std::string VersionLine(uint8_t major, uint8_t minor, uint8_t revision);

// The report as its file holds it: every line but the last, each ending in CR LF.
std::string ReportFileText(const std::string& report);

// The name offered for the report's file: "「name」システム情報.txt".
std::string ReportFileName(const std::string& application_name);

class CVersionDialogModel {
 public:
  // Writes the system report in its detailed (true) or short form.
  using ReportWriter = std::function<std::string(bool detailed)>;

  // `detailed_setting` is the game setting that keeps the choice; the report is written at once.
  CVersionDialogModel(ReportWriter writer, uint8_t& detailed_setting);

  const std::string& Report() const { return report_; }
  bool Detailed() const { return detailed_setting_ != 0; }
  // Writes the report anew in the chosen form and keeps the choice.
  void SetDetailed(bool detailed);

 private:
  ReportWriter writer_;
  uint8_t& detailed_setting_;
  std::string report_;
};
