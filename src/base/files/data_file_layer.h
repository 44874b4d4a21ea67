// What the file object and the file services need of the data-file layer: a data file found by
// name among the loose files, the search folders and the mounted archives, whole, as a stream or
// as a find record. The layer itself lives with the archives; the application object publishes
// it here, so that these services reach it without knowing how it is built.
#pragma once

#include <cstdint>

#include "base/files/read_stream.h"
#include "base/files/read_target.h"
#include "platform/files/find_data.h"

class IDataFileLayer {
 public:
  virtual ~IDataFileLayer() = default;

  // A stream over the file, or null with the status in out_error: 3 not found, 5 bad name,
  // 8 no memory, 14 unexpected. With allow_memory, an archive entry that cannot be streamed is
  // read whole into a memory stream.
  virtual RefPtr<CReadStream> OpenStream(const char* name, char* out_path, int* out_error, bool allow_memory) = 0;
  // The whole file into a buffer from `target`. 0, 3 not found, 5 bad name, 7 read failed,
  // 8 no memory, 10 size unavailable, 14 unexpected.
  virtual unsigned ReadFile(const char* name, CReadTarget& target, char* out_path) = 0;
  // A loose file (archives not consulted). 0 found, 1 bad name, 2 not found for an absolute
  // name, 3 not found for a relative one. out_path gets the path tried last.
  virtual unsigned FindFile(char* out_path, const char* name, plat::FindData* find_data) const = 0;
  // 0 a loose file (its path in `path`), -1 an archive holds it (the lower-cased path),
  // 1 bad name, 2 not found. `path` holds kMaxPath bytes.
  virtual int LocateFile(char* path, const char* name, plat::FindData* find_data) const = 0;
  // Reads entry `number` (or, for -1, the entry called `name`) of the first archive with that
  // id. 0, 3 no such archive, 5 the entry's path would not fit in out_path, or the archive's
  // status. out_path gets the mount point and the name, or "%06d.DAT" of the number.
  virtual unsigned ReadArchiveEntry(std::int32_t id, std::int32_t number, const char* name, CReadTarget& target,
                                    char* out_path) = 0;
};

// The application's data-file layer; null until the application object publishes it.
extern IDataFileLayer* g_DataFiles;
