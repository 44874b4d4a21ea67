// The program entry: reads the command line the way the game expects it.
#include <cstdio>

#include "app/command_line.h"
#include "platform/text_encoding.h"

int main(int argc, char** argv) {
  const std::string command_line = plat::Utf8ToSjis(JoinCommandLine(argc, argv));
  const auto data_folder = DataFolderFromCommandLine(command_line);
  if (data_folder) {
    std::fprintf(stderr, "kestrune: base data folder: %s\n", plat::SjisToUtf8(*data_folder).c_str());
  }
  // The application object and its window are not part of this build yet.
  std::fprintf(stderr, "kestrune: this build cannot start a game yet: the application window is not built\n");
  return 1;
}
