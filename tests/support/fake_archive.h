// An archive format for tests of the data-file layer: a text file that begins with "FAKE\n"
// followed by lines "name\tcontents". Entries whose name begins with '!' are stored "packed":
// they read whole but refuse to stream (the '!' is not part of the name). Every request the
// archives answer is written to a shared log as "<archive file>:<entry>".
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "resource/archives/archive.h"

namespace test_support {

// The decoder's status for a file that is not a fake archive.
inline constexpr int kFakeArchiveBadMagic = 11;

struct FakeArchiveLog {
  std::vector<std::string> requests;
  // The time stamp (seconds since 1970) that every entry of an archive opened later reports.
  std::uint32_t entry_time = 0;
};

class FakeArchiveDecoder final : public CArchiveDecoder {
 public:
  explicit FakeArchiveDecoder(std::shared_ptr<FakeArchiveLog> log) : log_(std::move(log)) {}
  RefPtr<CArchive> Open(const char* path, plat::FileHandle& file, int* error) override;

 private:
  std::shared_ptr<FakeArchiveLog> log_;
};

// The text of a fake archive file holding `entries` (name -> contents).
std::string MakeFakeArchive(const std::map<std::string, std::string>& entries);

}  // namespace test_support
