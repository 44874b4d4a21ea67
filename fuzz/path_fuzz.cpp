// Engine paths on arbitrary bytes: the path functions of the engine, the mapping of engine paths
// to host paths and the Shift-JIS conversions. Checks what they promise: results fit their
// buffers, a host path never holds a "." or ".." component, a name that StaysInsideFolder
// accepts maps to a path inside its folder, and a name made plain is one folder there.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "base/files/path.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/host_path.h"

namespace {

// A folder no machine has, so the mapping never finds its components on the disk.
constexpr std::string_view kFolder = "Z:\\kestrune-fuzz-root\\";
constexpr std::string_view kHostFolder = "/kestrune-fuzz-root";

void CheckTerminated(const char (&buffer)[kMaxPath]) {
  if (std::memchr(buffer, 0, kMaxPath) == nullptr) std::abort();
}

void CheckHostPath(const std::string& host) {
  const std::string components = host + "/";
  if (components.find("/../") != std::string::npos || components.find("/./") != std::string::npos) std::abort();
}

void RunPathFunctions(const std::string& text) {
  char buffer[kMaxPath];
  MakeFullPath(buffer, text.c_str(), "Z:\\base\\folder\\");
  CheckTerminated(buffer);
  std::memset(buffer, 'x', sizeof buffer);
  GetPathLeaf(text.c_str(), buffer, true);
  std::memset(buffer, 'x', sizeof buffer);
  GetPathFolder(text.c_str(), buffer);
  CheckTerminated(buffer);
  GetFileExtension(text.c_str(), buffer);
  CheckTerminated(buffer);
  if (text.size() < kMaxPath) {
    char name[kMaxPath];
    std::memcpy(name, text.c_str(), text.size() + 1);
    CutFileExtension(name, buffer);
    StripLastFolder(name);
    EndsWithSeparator(name);
  }
}

// The folder a game's settings name, made plain, is one folder inside its parent.
void CheckPlainName(const std::string& text) {
  const std::string plain = PlainFolderName(text);
  if (!StaysInsideFolder(plain + "\\USER.CFG")) std::abort();
  const std::optional<std::string> host = plat::ToHostPath(std::string(kFolder) + plain + "\\USER.CFG");
  if (!host || host->compare(0, kHostFolder.size() + 1, std::string(kHostFolder) + "/") != 0) std::abort();
  const std::string below = host->substr(kHostFolder.size() + 1);
  if (below.find('/') != below.rfind('/') || !below.ends_with("/USER.CFG")) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string text = bytes.substr(0, bytes.find('\0'));
  RunPathFunctions(text);

  const std::string engine_path = std::string(kFolder) + text;
  const std::optional<std::string> host = plat::ToHostPath(engine_path);
  if (host) CheckHostPath(*host);
  if (StaysInsideFolder(text)) {
    const bool inside = host && host->compare(0, kHostFolder.size(), kHostFolder) == 0 &&
                        (host->size() == kHostFolder.size() || (*host)[kHostFolder.size()] == '/');
    if (!inside) std::abort();
  }
  if (const std::optional<std::string> absolute = plat::ToHostPath(text)) CheckHostPath(*absolute);
  CheckPlainName(text);

  const std::string utf8 = plat::SjisToUtf8(bytes);
  plat::ToEnginePath("/" + plat::SjisToUtf8(text));
  plat::Utf8ToSjis(bytes);
  plat::Utf8ToSjis(utf8);
  return 0;
}
