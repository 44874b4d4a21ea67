// The one display of the program: window and full-screen modes over the display device, the
// surfaces of each mode, the displays with their chosen full-screen modes, the scaling of the
// screen into a larger output, the optional present texture through which a scaled frame image
// is shown, and the render list of objects that draw straight into the back surface.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/lifetime/owned_objects.h"
#include "base/threads/critical_section.h"
#include "gfx/display/direct3d_device.h"
#include "gfx/display/monitor_list.h"
#include "gfx/display/render_list.h"
#include "gfx/display/screen_object_list.h"
#include "gfx/display/surface_services.h"
#include "gfx/images/image_interface.h"

class CDDrawPicture;
class CImage;
class CImageCanvas;
class CImageCanvasBase;
class CImageCanvasEx;
class CMovieSurface;
class CPictureCanvas;
class CPictureObject;
class CSurfaceCanvas;

// One per monitor: the monitor and the full-screen mode chosen for the game's size on it.
struct DisplayEntry {
  plat::MonitorHandle monitor = 0;
  uint8_t desktop_depth = 0;  // 0 when unknown
  std::string device_name;
  std::string description;  // with " (Primary)" for the primary of several
  plat::Guid guid;
  uint32_t depth_mask = 0;  // bits 8 .. 11: the mode exists in 32, 24, 16, 8 bits per pixel
  int32_t mode_width = 0;   // 0, 0 when the monitor offers no mode of the game's width
  int32_t mode_height = 0;
  uint8_t exact_height = 0;
  uint8_t has_60hz = 0;
};

extern plat::Guid g_PrimaryDisplayGuid;

// Bits per pixel of the primary display's desktop; 0 without a display.
uint8_t DesktopDepth();

struct PresentVertex {
  float x = 0, y = 0, z = 1.0f, rhw = 1.0f, u = 0, v = 0;
};

class CScreenManager;
// The program's display, published by the start-up once its screen mode is set.
extern CScreenManager* g_ScreenManager;
// The display on which the surface objects that are given none make their surfaces (the
// program's display, from the start-up on).
extern CScreenManager* g_SpriteDevice;
// The display whose drawing device the texture objects that are given none use (the program's
// display, from the start-up on).
extern CScreenManager* g_DrawObjectDevice;

class CScreenManager : public CDirect3DDevice, public CRenderList {
 public:
  // GetRenderMode.
  static constexpr uint32_t kRenderGdi = 0;
  static constexpr uint32_t kRenderDirectDraw = 1;
  static constexpr uint32_t kRenderTexture = 2;
  // Display states.
  static constexpr uint8_t kFullScreenSettingUp = 0;
  static constexpr uint8_t kFullScreen = 1;
  static constexpr uint8_t kWindowed = 2;
  // Scaling methods.
  static constexpr uint8_t kScaleByStretchTest = 1;
  static constexpr uint8_t kScaleByTexture = 3;

  CScreenManager();
  ~CScreenManager() override;

  // 1 when a side is below 1.
  uint32_t SetScreenSize(int32_t width, int32_t height);
  // 0. A frame image is marked wholly changed and gives the screen its size; null clears it.
  uint32_t SetFrameImage(CImageCanvasBase* image);
  CImageCanvasBase* GetFrameImage() const { return frame_image_; }
  uint32_t GetRenderMode() const;

  // 0; 1 without monitors; -1 when a monitor has no driver of its own (the entries made so far stay).
  int BuildDisplayModeList(const CMonitorList* monitors, int32_t width, int32_t height, bool use_direct_draw_modes);
  void ClearDisplayList();
  // 0; 1 no such display; 3 none of the depths the mode offers; 4 the scaling cannot be computed.
  uint32_t SelectDisplay(bool change_mode, plat::MonitorHandle monitor, int32_t index, uint8_t depth,
                         const CMonitorList* monitors);
  // 0 scaled (or force_off with the same aspect); -1 the same size, nothing to scale; 1 a size below 1.
  int ComputeScaling(int32_t width, int32_t height, bool force_off);
  void ResetScaling();

  // 0 done; 1 bad screen size or no display device; 2 cooperative level or display mode;
  // 3 .. 6 surface codes 1 .. 4 plus 2; 7 unreadable back-surface format. A failure leaves the
  // display as it was before the call, without surfaces.
  uint32_t SetDisplayMode(plat::WindowId window, bool windowed, bool triple_buffering, bool z_buffer);
  void ReleaseSurfaces();
  // Sets the named display (empty: the primary one) to the size, after undoing an earlier
  // change: 0; 1 the display refuses the size, and nothing is changed then.
  uint32_t ChangeDisplaySettings(int32_t width, int32_t height, const std::string& device_name);
  // Gives the changed display its own size again: 0; 1 when nothing was changed.
  uint32_t RestoreDisplaySettings();
  // 1 without a back surface.
  uint32_t ClearBackSurface();
  // Reads the back surface's pixel format again: the format, 0 when it cannot be read.
  uint32_t RefreshBackFormat();
  // 0; 1 without a primary. Nothing to do without hardware.
  uint32_t AttachClipper();
  uint32_t DetachClipper();
  // True when the display's stretching blit blends neighbouring pixels.
  bool TestStretchBlending();

  // Brings the frame image's changes (without one, the back surface) to the screen: 0; 1 or 2
  // the device context of the texture or the back surface cannot be had even after a restore;
  // 3 the texture cannot be drawn; 4 the present blit failed other than by a loss. A failure
  // is logged the first time of its kind, and the next update then copies the whole picture.
  uint32_t UpdateScreen();
  // Shows the back surface: 0; 1 without a back surface; 2 the primary surface is lost.
  uint32_t Present();
  // Gives lost surfaces their memory back or makes them anew, and copies the whole frame image
  // again: 0; 1 no back surface; 2 the surfaces cannot be made; 3 nor the present texture.
  uint32_t Restore();
  // Repaints the paint rectangle of the window into dc: the blit's result, 0 or E_FAIL.
  plat::HResult Repaint(plat::DeviceContext* dc, const plat::Rect& paint);

  // Takes the object into the surface-object list, after those made before it.
  void AddSurfaceObject(std::unique_ptr<CImageInterface> object);
  const OwnedObjects<CImageInterface>& GetSurfaceObjects() const { return surface_objects_; }
  // Takes the object into the render-object list (not into the render list), stamped with the
  // current object id.
  void AddRenderObject(std::unique_ptr<CRenderObject> object);
  const OwnedObjects<CRenderObject>& GetRenderObjects() const { return render_objects_; }

  // The group id stamped on every surface and render object made from now on; the previous one.
  uint32_t SetObjectId(uint32_t id);
  uint32_t GetObjectId() const { return object_id_; }
  // The same for the drawables, whose id is also the tag they are shown with.
  uint32_t SetDrawableId(uint32_t id) { return std::exchange(drawable_id_, id); }
  uint32_t GetDrawableId() const { return drawable_id_; }

  // Factories of the surface objects. Each sets `out` to null, makes the object, runs its create
  // step (whose non-zero status is returned unchanged, nothing kept) and lists the object with
  // the current id; the status of a failed allocation is the factory's own.
  uint32_t CreatePicture(CDDrawPicture** out, int32_t width, int32_t height, bool system_memory);
  uint32_t LoadPicture(CDDrawPicture** out, const char* file_name, const uint8_t* data, uint32_t size,
                       bool system_memory);
  uint32_t CreatePictureObject(CPictureObject** out, uint32_t format, const char* file_name, const uint8_t* data,
                               uint32_t size, bool system_memory);
  uint32_t CreateImage(CImage** out, int32_t width, int32_t height, uint8_t bpp, uint32_t flags);
  uint32_t LoadImage32(CImage** out, const char* file_name, const uint8_t* data, uint32_t size, uint32_t flags);
  uint32_t LoadImage(CImage** out, const char* file_name, const uint8_t* data, uint32_t size, uint32_t flags);
  uint32_t DuplicateImage(CImage** out, const CImage* source, uint32_t flags);
  // Opened later by the movie player.
  uint32_t CreateMovieSurface(CMovieSurface** out);
  uint32_t CreateSurfaceCanvas(CSurfaceCanvas** out, int32_t width, int32_t height, uint8_t depth, uint8_t layer_mode);
  uint32_t CreatePictureCanvas(CPictureCanvas** out, uint32_t format, int32_t width, int32_t height, uint8_t depth,
                               uint8_t layer_mode, bool system_memory);
  uint32_t CreateImageCanvasEx(CImageCanvasEx** out, int32_t width, int32_t height, uint8_t depth,
                               uint8_t layer_mode);
  uint32_t CreateImageCanvas(CImageCanvas** out, int32_t width, int32_t height, uint8_t depth, bool with_layer);
  // Lists an object that an upper layer made and filled, with the current id: 0.
  template <class T>
  uint32_t KeepSurfaceObject(std::unique_ptr<T> object, T** out) {
    object->CImageInterface::SetId(object_id_);
    return surface_objects_.Append(std::move(object), out);
  }

  // 1 for null; 2 when the manager does not hold it; else destroys it: 0.
  uint32_t DeleteSurfaceObject(CImageInterface* object);
  uint32_t DeleteRenderObject(CRenderObject* object);
  // As the delete above; on 0 the caller's pointer becomes null.
  template <class T>
  uint32_t DeleteSurfaceObjectRef(T*& object) {
    return DeleteOwnedRef(object, [this](CImageInterface* held) { return DeleteSurfaceObject(held); });
  }
  static constexpr uint32_t kDeleteSurfaceObjectsToo = 1;
  static constexpr uint32_t kDeleteOtherIds = 2;
  // Destroys the render objects (and with kDeleteSurfaceObjectsToo the surface objects) whose id
  // is `id`, or with kDeleteOtherIds those whose id is not.
  void DeleteObjectsById(uint32_t id, uint32_t flags);
  // Destroys every render object, then every drawable, then every surface object, and empties
  // the render list. The fonts stay.
  void DestroyObjects();
  // The drawable list of the scene and the font list of the ui, which they attach on first use
  // (null before); the screen destroys the fonts after everything else when it ends.
  CScreenObjectList* GetDrawableList() const { return drawable_list_.get(); }
  void SetDrawableList(std::unique_ptr<CScreenObjectList> list) { drawable_list_ = std::move(list); }
  CScreenObjectList* GetFontList() const { return font_list_.get(); }
  void SetFontList(std::unique_ptr<CScreenObjectList> list) { font_list_ = std::move(list); }
  // Has every surface object rebuild its surface (with `only_if_lost`, only those whose surface
  // was lost) in list order, then sends the render states again and restores the render list.
  // The first non-zero status ends it and is returned; the objects after it stay as they are.
  uint32_t RestoreSurfaceObjects(bool only_if_lost);

  // Settings the application applies before SetDisplayMode.
  void SetScalingMethod(uint8_t method) { scaling_method_ = method; }
  uint8_t GetScalingMethod() const { return scaling_method_; }
  void SetDirectDrawInWindowMode(bool on) { direct_draw_in_window_ = on ? 1 : 0; }
  void SetPowerOfTwoTexture(bool on) { power_of_two_texture_ = on ? 1 : 0; }
  void SetLinearFiltering(bool on) { linear_filtering_ = on ? 1 : 0; }
  void SetUse60Hz(bool on) { use_60hz_ = on ? 1 : 0; }
  void SetBackgroundColour(uint8_t red, uint8_t green, uint8_t blue) { background_ = {red, green, blue}; }
  std::array<uint8_t, 3> GetBackgroundColour() const { return background_; }
  // 0 no wait; 1 wait for the vertical blank, then blit; 2 or more flip where the display can.
  void SetWaitForVerticalBlank(uint8_t level) { wait_for_vertical_blank_ = level; }
  uint8_t GetWaitForVerticalBlank() const { return wait_for_vertical_blank_; }
  // Whether the frame image reaches a surface through its device context (else by locking it).
  void SetPresentThroughDc(bool on) { present_through_dc_ = on ? 1 : 0; }
  bool PresentsThroughDc() const { return present_through_dc_ != 0; }

  const plat::Rect& GetScreenRect() const { return screen_rect_; }
  plat::Surface* GetPrimary() const { return primary_.get(); }
  plat::Surface* GetBack() const { return back_.get(); }
  plat::Surface* GetPresentTexture() const { return texture_.get(); }
  bool IsFlipping() const { return flipping_ != 0; }
  uint8_t GetDisplayState() const { return display_state_; }
  uint8_t GetDisplayDepth() const { return display_depth_; }
  uint32_t GetBackFormat() const { return back_format_; }
  const PixelFormatInfo& GetBackFormatInfo() const { return back_format_info_; }
  uint32_t GetPrimaryCaps() const { return primary_caps_; }
  uint32_t GetBackCaps() const { return back_caps_; }
  const std::vector<std::unique_ptr<DisplayEntry>>& GetDisplayList() const { return displays_; }
  const DisplayEntry* GetSelectedDisplay() const { return selected_; }
  bool ChangesDisplayMode() const { return change_display_mode_ != 0; }
  uint8_t GetFullScreenDepth() const { return full_screen_depth_; }
  plat::Point GetMonitorOrigin() const { return monitor_origin_; }
  int32_t GetOutputWidth() const { return output_width_; }
  int32_t GetOutputHeight() const { return output_height_; }
  bool IsScaling() const { return scaling_ != 0; }
  bool IsFullScreenScaling() const { return full_screen_scaling_ != 0; }
  // x, y, width and height of the scaled screen on the output.
  const plat::Rect& GetDestination() const { return destination_; }
  bool HasBars() const { return bars_ != 0; }
  const plat::Rect& GetBar1() const { return bar1_; }
  const plat::Rect& GetBar2() const { return bar2_; }
  int32_t GetTextureWidth() const { return texture_width_; }
  int32_t GetTextureHeight() const { return texture_height_; }
  // EPixelFormat code of the presentation texture; 0 without one.
  uint32_t GetTextureFormatCode() const { return texture_format_; }
  const std::array<PresentVertex, 4>& GetQuad() const { return quad_; }
  CCriticalSection& GetLock() { return lock_; }

 protected:
  // Every surface of the display is made here, so that a test can refuse one.
  virtual plat::HResult CreateDisplaySurface(const plat::SurfaceDesc& desc, std::shared_ptr<plat::Surface>& out);

 private:
  struct SavedMode;
  class FrameImageWatch {
   public:
    explicit FrameImageWatch(CScreenManager& screen);
    ~FrameImageWatch();
    FrameImageWatch(const FrameImageWatch&) = delete;
    FrameImageWatch& operator=(const FrameImageWatch&) = delete;

   private:
    CScreenManager& screen_;
    bool listed_;
  };
  bool IsListedSurfaceObject(const CImageCanvasBase* image) const;

  bool UsesTexturePath();
  uint32_t SetWindowMode();
  uint32_t SetFullScreenMode(bool triple_buffering);
  uint32_t EnterFullScreenDisplayMode();
  uint32_t FinishGdi();
  uint32_t FinishSurfaces(bool texture_path, bool triple_buffering);
  // 0; 1 no display device; 2 primary; 3 back surface; 4 clipper.
  uint32_t CreateWindowSurfaces(bool for_3d);
  uint32_t CreateFullScreenSurfaces(bool for_3d, bool triple);
  // Releases what a failed creation made, or reads the caps of what a successful one made.
  uint32_t KeepSurfacesIf(uint32_t status);
  uint32_t CreatePlainSurface(int32_t width, int32_t height, uint32_t caps, std::shared_ptr<plat::Surface>& out);
  uint32_t CreatePrimaryWithClipper(bool with_clipper);
  // 0; 1 no display device or back surface; 6 no texture; 7 a texture format that cannot be shown.
  uint32_t CreatePresentTexture();
  void ReleasePresentTexture();
  void InvalidateFrameImage();
  // Where UpdateScreen and Restore copy the frame image to: the texture on the texture path,
  // else the back surface (possibly none), with its format.
  plat::Surface* FrameTarget(uint32_t& format) const;
  bool FrameTargetTakesDc() const;
  // The surface's device context, after one restore when it is lost or busy (the copy is then
  // not incremental).
  plat::HResult AcquireDcWithRetry(plat::Surface& surface, plat::DeviceContext*& dc, bool& incremental);
  uint32_t PresentFrameSurfaces();
  // The whole back surface into the window through GDI; the result of getting its context.
  plat::HResult ShowBackThroughGdi();
  // After the vertical blank, copies the back surface to `destination` on the primary, unless
  // the same copy is already all the primary holds.
  plat::HResult ShowBack(const plat::Rect& destination);
  // Copies `source` of the back surface to `destination` on the primary, unless neither changed
  // since the last copy. When only the back surface changed and the copy does not stretch, only
  // its changed part goes, so that a small change costs the window a small upload.
  plat::HResult CopyBackToPrimary(const plat::Rect& destination, const plat::Rect& source);
  // Draws the texture over the back surface: its changed part when nothing else wrote to the back
  // surface since the last draw and the draw does not stretch, else all of it.
  plat::HResult DrawTextureOverBack(const plat::Rect& output, const plat::Rect& used);
  void WaitForVerticalBlankIfAsked();
  // The screen rect moved to the window's client area on the desktop (not in full screen).
  plat::Rect WindowDestination() const;
  // The scaled screen's place on the output as left, top, right, bottom.
  plat::Rect ScaledDestination() const;
  // Logs the first failure of each kind; the next update copies the whole picture.
  uint32_t UpdateFailed(uint32_t status, const char* what);
  void RestoreMode(const SavedMode& saved);
  int32_t ScreenWidth() const { return screen_rect_.right; }
  int32_t ScreenHeight() const { return screen_rect_.bottom; }

  plat::WindowId window_ = 0;
  std::shared_ptr<plat::Surface> primary_;
  std::shared_ptr<plat::Surface> back_;
  CImageCanvasBase* frame_image_ = nullptr;
  plat::Rect screen_rect_;
  uint8_t flipping_ = 0;
  uint8_t triple_buffering_ = 0;
  uint8_t stretch_test_ = 0;  // 0 not run, 1 no blending, 2 blends
  CDirectDrawClipper clipper_;
  uint8_t gdi_surface_shown_ = 0;
  uint8_t use_60hz_ = 0;
  uint32_t primary_caps_ = 0;
  uint32_t back_caps_ = 0;
  uint32_t back_format_ = 0;
  PixelFormatInfo back_format_info_;
  uint8_t display_state_ = kFullScreenSettingUp;
  uint8_t display_depth_ = 0;
  std::vector<std::unique_ptr<DisplayEntry>> displays_;
  DisplayEntry* selected_ = nullptr;
  uint8_t change_display_mode_ = 0;
  uint8_t direct_draw_sets_mode_ = 1;
  uint8_t display_settings_changed_ = 0;
  std::string display_device_name_;
  uint8_t full_screen_depth_ = 0;
  plat::Point monitor_origin_;
  int32_t output_width_ = 0;
  int32_t output_height_ = 0;
  plat::MonitorHandle monitor_ = 0;
  uint8_t scaling_ = 0;
  plat::Rect destination_;  // left, top, width, height
  int32_t scaled_width_ = 0;
  int32_t scaled_height_ = 0;
  uint8_t bars_ = 0;
  plat::Rect bar1_;
  plat::Rect bar2_;
  uint8_t full_screen_scaling_ = 0;
  uint8_t scaling_method_ = 0;
  // The desktop's refresh when the frames reach the window through its device context.
  int32_t gdi_refresh_rate_ = 0;
  uint8_t direct_draw_in_window_ = 0;
  uint8_t power_of_two_texture_ = 0;
  uint8_t linear_filtering_ = 1;
  uint8_t present_through_dc_ = 1;
  uint8_t wait_for_vertical_blank_ = 0;
  uint8_t full_copy_pending_ = 0;
  uint32_t logged_failures_ = 0;
  // What the last copy of the back surface to the primary left: both surfaces' write stamps, and
  // the rectangles it copied from and to.
  struct ShownBack {
    uint64_t back_stamp = 0;
    uint64_t primary_stamp = 0;
    plat::Rect source;
    plat::Rect destination;
  };
  ShownBack shown_back_;
  // The back surface's write stamp after the last draw of the texture over it.
  uint64_t back_stamp_after_texture_ = 0;
  std::shared_ptr<plat::Surface> texture_;
  uint32_t texture_format_ = 0;
  int32_t texture_width_ = 0;
  int32_t texture_height_ = 0;
  std::array<PresentVertex, 4> quad_;
  std::array<uint8_t, 3> background_{};
  CCriticalSection lock_;
  OwnedObjects<CImageInterface> surface_objects_;
  OwnedObjects<CRenderObject> render_objects_;
  std::unique_ptr<CScreenObjectList> drawable_list_;
  std::unique_ptr<CScreenObjectList> font_list_;
  uint32_t object_id_ = 0;
  uint32_t drawable_id_ = 0;
};
