// The display objects the scripts and the novel frame make through the screen manager: made,
// stamped with the current group id, kept in creation order, deleted singly, by id or all at once.
#include <utility>

#include "base/lifetime/owned_objects.h"
#include "gfx/display/ddraw_picture.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/movie_surface.h"
#include "gfx/display/picture_canvas.h"
#include "gfx/display/picture_object.h"
#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_canvas.h"
#include "gfx/display/surface_object_factory.h"
#include "gfx/images/image.h"

// A listed surface object that is the frame image leaves no frame image behind when it is
// deleted, so that nothing presents it afterwards.
CScreenManager::FrameImageWatch::FrameImageWatch(CScreenManager& screen)
    : screen_(screen), listed_(screen.IsListedSurfaceObject(screen.frame_image_)) {}

CScreenManager::FrameImageWatch::~FrameImageWatch() {
  if (listed_ && !screen_.IsListedSurfaceObject(screen_.frame_image_)) screen_.SetFrameImage(nullptr);
}

bool CScreenManager::IsListedSurfaceObject(const CImageCanvasBase* image) const {
  return image != nullptr && surface_objects_.Contains(image);
}

uint32_t CScreenManager::SetObjectId(uint32_t id) { return std::exchange(object_id_, id); }

void CScreenManager::AddRenderObject(std::unique_ptr<CRenderObject> object) {
  if (object == nullptr) return;
  object->SetId(object_id_);
  render_objects_.Append(std::move(object));
}

uint32_t CScreenManager::CreatePicture(CDDrawPicture** out, int32_t width, int32_t height, bool system_memory) {
  return MakeSurfaceObject(*this, out, 5, [&](CDDrawPicture& picture) {
    return picture.Create(width, height, system_memory, false, nullptr);
  });
}

uint32_t CScreenManager::LoadPicture(CDDrawPicture** out, const char* file_name, const uint8_t* data, uint32_t size,
                                     bool system_memory) {
  return MakeSurfaceObject(*this, out, 7, [&](CDDrawPicture& picture) {
    return picture.LoadFile(file_name, data, size, system_memory);
  });
}

uint32_t CScreenManager::CreatePictureObject(CPictureObject** out, uint32_t format, const char* file_name,
                                             const uint8_t* data, uint32_t size, bool system_memory) {
  return MakeSurfaceObject(*this, out, 11, [&](CPictureObject& picture) {
    return picture.Load(format, file_name, data, size, system_memory);
  });
}

uint32_t CScreenManager::CreateImage(CImage** out, int32_t width, int32_t height, uint8_t bpp, uint32_t flags) {
  return MakeSurfaceObject(*this, out, 4, [&](CImage& image) { return image.Create(width, height, bpp, flags); });
}

uint32_t CScreenManager::LoadImage32(CImage** out, const char* file_name, const uint8_t* data, uint32_t size,
                                     uint32_t flags) {
  return MakeSurfaceObject(*this, out, 6,
                           [&](CImage& image) { return image.LoadFile32(file_name, data, size, flags); });
}

uint32_t CScreenManager::LoadImage(CImage** out, const char* file_name, const uint8_t* data, uint32_t size,
                                   uint32_t flags) {
  return MakeSurfaceObject(*this, out, 6, [&](CImage& image) { return image.LoadFile(file_name, data, size, flags); });
}

uint32_t CScreenManager::DuplicateImage(CImage** out, const CImage* source, uint32_t flags) {
  return MakeSurfaceObject(*this, out, 4, [&](CImage& image) { return image.Duplicate(source, flags); });
}

uint32_t CScreenManager::CreateMovieSurface(CMovieSurface** out) {
  return MakeSurfaceObject(*this, out, 1, [](CMovieSurface&) { return 0u; });
}

uint32_t CScreenManager::CreateSurfaceCanvas(CSurfaceCanvas** out, int32_t width, int32_t height, uint8_t depth,
                                             uint8_t layer_mode) {
  return MakeSurfaceObject(*this, out, 4,
                           [&](CSurfaceCanvas& canvas) { return canvas.Create(width, height, depth, layer_mode); });
}

uint32_t CScreenManager::CreatePictureCanvas(CPictureCanvas** out, uint32_t format, int32_t width, int32_t height,
                                             uint8_t depth, uint8_t layer_mode, bool system_memory) {
  return MakeSurfaceObject(*this, out, 4, [&](CPictureCanvas& canvas) {
    return canvas.Create(format, width, height, depth, layer_mode, system_memory);
  });
}

uint32_t CScreenManager::CreateImageCanvasEx(CImageCanvasEx** out, int32_t width, int32_t height, uint8_t depth,
                                             uint8_t layer_mode) {
  return MakeSurfaceObject(*this, out, 2,
                           [&](CImageCanvasEx& canvas) { return canvas.Create(width, height, depth, layer_mode); });
}

uint32_t CScreenManager::CreateImageCanvas(CImageCanvas** out, int32_t width, int32_t height, uint8_t depth,
                                           bool with_layer) {
  return MakeSurfaceObject(*this, out, 2,
                           [&](CImageCanvas& canvas) { return canvas.Create(width, height, depth, with_layer); });
}

uint32_t CScreenManager::DeleteSurfaceObject(CImageInterface* object) {
  const FrameImageWatch watch(*this);
  return surface_objects_.Delete(object);
}

uint32_t CScreenManager::DeleteRenderObject(CRenderObject* object) { return render_objects_.Delete(object); }

void CScreenManager::DeleteObjectsById(uint32_t id, uint32_t flags) {
  const bool other_ids = (flags & kDeleteOtherIds) != 0;
  render_objects_.DeleteWhereId(id, other_ids);
  const FrameImageWatch watch(*this);
  if ((flags & kDeleteSurfaceObjectsToo) == 0) return;
  surface_objects_.DeleteWhereId(id, other_ids);
}

void CScreenManager::DestroyObjects() {
  render_objects_.DestroyInOrder();
  if (drawable_list_ != nullptr) drawable_list_->DestroyAll();
  const FrameImageWatch watch(*this);
  surface_objects_.DestroyInOrder();
  Clear();
}
