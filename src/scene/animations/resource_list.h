// The program-wide lists that own what the scripts load and hold by handle: files opened for
// reading and writing, animation files, animation-data files and cell sheets. A handle is the
// resource itself. Every resource counts its extra holders; releasing a handle takes the
// resource out of its list and drops the list's hold, so a resource that someone else still
// holds lives on with them.
#pragma once

#include <cstdint>
#include <list>

#include "base/lifetime/ref_counted.h"

class CFile;
class CDagFile;
class CDadFile;
class CCellSheet;
struct CellSheetSetup;

class CResourceList {
 public:
  static constexpr uint32_t kNullHandle = 1;
  static constexpr uint32_t kUnknownHandle = 2;
  // A load that failed other than with its own status.
  static constexpr uint32_t kLoadFailed = 0xFFFFFFFF;

  CResourceList() = default;
  CResourceList(const CResourceList&) = delete;
  CResourceList& operator=(const CResourceList&) = delete;
  virtual ~CResourceList() { ReleaseAll(); }

  // 0; 1 a null handle; 2 a handle the list does not hold.
  uint32_t Release(const void* handle);
  void ReleaseAll();
  bool Contains(const void* handle) const;
  uint32_t GetCount() const { return static_cast<uint32_t>(resources_.size()); }

 protected:
  // Runs the load on a new resource: 0 and the resource appended and handed out, else the
  // load's status (or kLoadFailed) with the resource gone and the handle null.
  template <class Resource, class LoadStep>
  uint32_t LoadNew(Resource** out, LoadStep load);

 private:
  std::list<CRefCounted*> resources_;
};

class CFileHandleList : public CResourceList {
 public:
  // 0 and a new closed file; 1 without memory.
  uint32_t Create(CFile** out);
};

class CAnimFileList : public CResourceList {
 public:
  uint32_t Load(CDagFile** out, const char* name, bool keep_depth);
};

class CAnimDataFileList : public CResourceList {
 public:
  uint32_t Load(CDadFile** out, const char* name);
};

class CCellSheetList : public CResourceList {
 public:
  uint32_t Load(CCellSheet** out, const char* name, const CellSheetSetup& setup, bool keep_depth,
                uint32_t colour_key);
};

extern CFileHandleList g_FileHandles;
extern CAnimFileList g_AnimFiles;
extern CAnimDataFileList g_AnimDataFiles;
extern CCellSheetList g_CellSheets;
