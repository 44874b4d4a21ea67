#include "scene/animations/resource_list.h"

#include <algorithm>
#include <new>

#include "base/files/file.h"
#include "scene/animations/cell_sheet.h"
#include "scene/animations/dad_file.h"
#include "scene/animations/dag_file.h"

CFileHandleList g_FileHandles;
CAnimFileList g_AnimFiles;
CAnimDataFileList g_AnimDataFiles;
CCellSheetList g_CellSheets;

uint32_t CResourceList::Release(const void* handle) {
  if (handle == nullptr) return kNullHandle;
  const auto found = std::find(resources_.begin(), resources_.end(), handle);
  if (found == resources_.end()) return kUnknownHandle;
  CRefCounted* resource = *found;
  resources_.erase(found);
  resource->Release();
  return 0;
}

void CResourceList::ReleaseAll() {
  std::list<CRefCounted*> resources;
  resources.swap(resources_);
  for (CRefCounted* resource : resources) resource->Release();
}

bool CResourceList::Contains(const void* handle) const {
  return handle != nullptr && std::find(resources_.begin(), resources_.end(), handle) != resources_.end();
}

template <class Resource, class LoadStep>
uint32_t CResourceList::LoadNew(Resource** out, LoadStep load) {
  if (out == nullptr) return kNullHandle;
  *out = nullptr;
  RefPtr<Resource> resource;
  try {
    resource = MakeRef<Resource>();
    if (!resource) return kLoadFailed;
    if (const uint32_t status = load(*resource); status != 0) return status;
    resources_.push_back(resource.get());
  } catch (const std::bad_alloc&) {
    return kLoadFailed;
  }
  *out = resource.release();
  return 0;
}

uint32_t CFileHandleList::Create(CFile** out) {
  const uint32_t status = LoadNew(out, [](CFile&) { return 0u; });
  return status == 0 ? 0 : 1;
}

uint32_t CAnimFileList::Load(CDagFile** out, const char* name, bool keep_depth) {
  return LoadNew(out, [&](CDagFile& file) { return file.Load(name, keep_depth); });
}

uint32_t CAnimDataFileList::Load(CDadFile** out, const char* name) {
  return LoadNew(out, [&](CDadFile& file) { return file.Load(name); });
}

uint32_t CCellSheetList::Load(CCellSheet** out, const char* name, const CellSheetSetup& setup, bool keep_depth,
                              uint32_t colour_key) {
  return LoadNew(out, [&](CCellSheet& sheet) { return sheet.Load(name, setup, keep_depth, colour_key); });
}
