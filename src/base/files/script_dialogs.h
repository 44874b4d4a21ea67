// What the scripts ask of the application's dialogs: the text-input dialog's parameters and the
// file and folder choosers' requests. Texts are Shift-JIS; chooser paths are engine paths.
#pragma once

#include <cstdint>
#include <string>

struct ScriptTextInputParameters {
  std::string title;  // empty: the dialog's own
  std::string prompt;
  bool double_byte_only = false;
  std::uint8_t max_length = 0;  // in bytes; 0 none
  bool open_ime = false;
  std::int32_t width = 0;  // in pixels; 0 the dialog's own
  std::int32_t x = -1;     // in pixels of the window's client area; either negative: none
  std::int32_t y = -1;
};

struct ScriptFileChoice {
  std::string title;
  std::string file;            // the proposed name; the chosen path after the choice
  std::string file_title;      // the chosen name
  std::string initial_folder;  // empty: the program's folder
  std::string filter;          // "description\tpattern\t..."
};
