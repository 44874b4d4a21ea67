// A program that leaves a mark when it runs: its arguments, joined by '|', in the file "ran"
// beside it. The tests of what a game may start copy it into game folders.
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  std::string path = argc > 0 ? argv[0] : "";
  path.erase(path.rfind('/') + 1);
  std::ofstream ran(path + "ran");
  for (int i = 1; i < argc; ++i) ran << (i > 1 ? "|" : "") << argv[i];
  return 0;
}
