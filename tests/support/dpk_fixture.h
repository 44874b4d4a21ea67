// A fixture for DPK archive tests: a temporary game folder with a data-file layer (see
// data_files_fixture.h), the DPK decoder set to the test keys with its tables built, and
// helpers that write archives into the folder and read entries back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dpk_writer.h"
#include "resource/archives/dpk_decoder.h"
#include "support/data_files_fixture.h"
#include "support/dpk_settings.h"

namespace test_support {

class DpkTest : public DataFilesTest {
 public:
  // Writer options with the test keys.
  static kvxtools::DpkWriterOptions Options();

 protected:
  // Writes the archive to `file_name` in the game folder; its layout goes to `layout` (optional).
  void Write(const kvxtools::DpkWriter& writer, std::string_view file_name, kvxtools::DpkLayout* layout = nullptr);
  void WriteBytes(std::string_view file_name, const std::vector<std::uint8_t>& bytes);
  // Writes a (changed) layout sealed with the test keys.
  void WriteLayout(const kvxtools::DpkLayout& layout, std::string_view file_name);

  // Opens an archive of the game folder with the DPK decoder; `error` receives its status.
  RefPtr<CArchive> Open(std::string_view file_name, int* error = nullptr);

  // An entry read whole; `status` receives the archive's status.
  static std::string ReadEntry(CArchive& archive, std::uint32_t number, std::int32_t* status = nullptr);
  static std::string ReadEntryByName(CArchive& archive, const char* name, std::int32_t* status = nullptr);
  // What a stream delivers from its position to its end, in pieces of `piece` bytes.
  static std::string ReadRest(CReadStream& stream, std::uint32_t piece = 4096);

  CDpkDecoder decoder_;
  ScopedDpkSettings settings_{{true, kTestDpkKeys}};
};

std::string AsText(const std::vector<std::uint8_t>& bytes);

}  // namespace test_support
