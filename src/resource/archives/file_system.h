// The data-file layer: finds a data file by name as a loose file under the base data folder,
// then under each search folder, then as an entry of a mounted archive, and hands it over whole,
// as a stream, as an open file or as a find record. It also hosts the archive decoders.
//
// Names are Shift-JIS engine paths, made absolute with MakeFullPath; buffers named out_path
// hold kMaxPath bytes and may be null. The search-folder and mount lists are guarded by a
// reader/writer lock: lookups read (on any thread, the background loader's too), mounting,
// unmounting and folder changes write. Statuses are the layer's own (see file_system.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

#include "base/files/data_file_layer.h"
#include "base/files/read_stream.h"
#include "base/files/read_target.h"
#include "platform/files/file_handle.h"
#include "platform/files/find_data.h"
#include "resource/archives/archive.h"
#include "resource/archives/mount_list.h"
#include "resource/plugins/plugin_host.h"

// The archive-decoder family of the plug-in scheme: *.ADL libraries.
struct AdlFamily {
  using Decoder = CArchiveDecoder;
  static constexpr std::string_view kName = "Adl";
  static constexpr const char* kObjectEntry = "GetAdlDecodeObject";
  static constexpr const char* kWildcard = "*.ADL";
  static void ReleaseDecoder(CArchiveDecoder* decoder) { delete decoder; }
};

class CFileSystem final : public IDataFileLayer {
 public:
  CFileSystem() = default;
  // Clears the search folders, unmounts every archive and unloads every decoder, in that order.
  ~CFileSystem() override;
  CFileSystem(const CFileSystem&) = delete;
  CFileSystem& operator=(const CFileSystem&) = delete;

  // A stream over the file, or null with the status in out_error: 3 not found, 5 bad name,
  // 8 no memory, 14 unexpected. With allow_memory, an archive entry that cannot be streamed is
  // read whole into a memory stream.
  RefPtr<CReadStream> OpenStream(const char* name, char* out_path, int* out_error, bool allow_memory) override;
  // The whole file into a buffer from `target`. 0, 3 not found, 5 bad name, 7 read failed,
  // 8 no memory, 10 size unavailable, 14 unexpected.
  unsigned ReadFile(const char* name, CReadTarget& target, char* out_path) override;

  // Which loose files may be read: once a rule is set, a file on disk that it refuses is taken
  // as not there (archives are still searched). Without one, every file may be.
  using LooseFileRule = bool (*)(const char* path);
  void SetLooseFileRule(LooseFileRule rule);

  std::size_t GetSearchFolderCount() const;
  void ClearSearchFolders();
  // 0 done, 1 bad path, 2 no memory.
  unsigned AddSearchFolder(const char* path, bool at_end);
  // With a path, the first equal folder; without, the one at index (negative: the last).
  // 0 done, 1 bad path, -1 no such folder.
  int RemoveSearchFolder(const char* path, int index);
  // The folder at index (negative: the last); nothing when index is not below the count.
  std::optional<std::string> GetSearchFolder(int index) const;

  // A loose file (archives not consulted). 0 found, 1 bad name, 2 not found for an absolute
  // name, 3 not found for a relative one. out_path gets the path tried last.
  unsigned FindFile(char* out_path, const char* name, plat::FindData* find_data) const override;
  // Opens a loose file for reading. 0 opened, 1 bad name or an absolute name that does not
  // open, 2 not found. Files are never locked against other readers on this system, so
  // `share_read` changes nothing.
  unsigned OpenFileHandle(plat::FileHandle& out, const char* name, bool share_read, char* out_path) const;
  // 0 a loose file (its path in `path`), -1 an archive holds it (the lower-cased path),
  // 1 bad name, 2 not found. `path` holds kMaxPath bytes.
  int LocateFile(char* path, const char* name, plat::FindData* find_data) const override;

  std::size_t GetMountCount() const;
  void UnmountAll();
  // Mounts the archive file `name` (a loose file), at its folder (folder_style 0) or at its
  // path without the extension (any other style). 0 mounted, 1 no decoder accepts it, 3 it does
  // not open, 5 not found, 8 no memory, 14 unexpected, or the chosen decoder's status.
  unsigned MountArchive(const char* name, std::int32_t id, int folder_style, bool at_end, CArchive** out_archive);
  // With a folder: every record mounted there. Without: id -2 the record at index (negative:
  // the last), any other id the first record with that id.
  void UnmountArchive(const char* folder, std::int32_t id, int index);
  // id -1: the record at index (negative: the last); else the first record with that id.
  std::optional<std::string> GetMountPoint(std::int32_t id, int index) const;
  // The archive chosen as by GetMountPoint; valid while it stays mounted.
  CArchive* GetArchive(std::int32_t id, int index) const;
  // Reads entry `number` (or, for -1, the entry called `name`) of the first archive with that
  // id. 0, 3 no such archive, 5 the entry's path would not fit in out_path, or the archive's
  // status. out_path gets the mount point and the name, or "%06d.DAT" of the number.
  unsigned ReadArchiveEntry(std::int32_t id, std::int32_t number, const char* name, CReadTarget& target,
                            char* out_path) override;

  // The archive-decoder host.
  void UnloadArchiveDecodersOfType(std::uint32_t type);
  void UnloadArchiveDecoders();
  unsigned RegisterArchiveDecoder(std::unique_ptr<CArchiveDecoder> decoder, const char* extensions,
                                  const char* type_string, std::uint32_t type, PluginAssistFunc assist,
                                  PluginAssistFunc2 assist2, PluginConfigFunc config);
  unsigned LoadArchiveDecoderPlugin(const char* path);
  int LoadArchiveDecoderPlugins(const char* folder);
  CArchiveDecoder* FindArchiveDecoder(const char* file_name) const;
  PluginAssistFunc2 GetAssistFunc2(std::uint32_t type) const;

 private:
  struct Resolved;
  Resolved Resolve(const char* name) const;
  unsigned ReadFileLocked(const char* name, CReadTarget& target, char* out_path);
  RefPtr<CReadStream> OpenStreamLocked(const char* name, char* out_path, bool allow_memory, unsigned& status);
  unsigned FindFileLocked(char* out_path, const char* name, plat::FindData* find_data) const;
  RefPtr<CArchive> OpenArchive(const char* name, const char* path, plat::FileHandle& file, unsigned& status) const;
  std::optional<std::string> NormalizeFolder(const char* path) const;
  std::optional<std::size_t> FindMount(std::int32_t id, int index, std::int32_t index_id) const;
  bool MayRead(const std::string& path) const;
  // The loose file opened for reading; closed when it does not open or the rule refuses it.
  plat::FileHandle OpenLooseFile(const std::string& path) const;

  mutable std::shared_mutex lists_lock_;
  LooseFileRule loose_rule_ = nullptr;
  std::vector<std::string> search_folders_;
  MountList mounts_;
  CPluginHost<AdlFamily> decoders_;
};

// The application's data-file layer as the scripts' built-in functions drive it (search folders,
// mounts, decoders); the same object as g_DataFiles, null until the application publishes it.
extern CFileSystem* g_ScriptDataFiles;
