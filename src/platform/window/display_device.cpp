#include "platform/window/display_device.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>

#include "platform/encoding/text_encoding.h"
#include "platform/system/clock.h"
#include "platform/window/display_settings.h"
#include "platform/window/screen_presenter.h"

namespace plat {
namespace {

constexpr int32_t kLargestSurfaceSide = 16384;
constexpr uint32_t kVideoMemory = 256u << 20;
// The refresh of a display that does not report one, as a virtual display.
constexpr int32_t kDefaultRefreshRate = 60;
constexpr std::array<uint8_t, 12> kGuidPrefix = {0x4B, 0x53, 0x54, 0x52, 0x4E, 0x2D, 0x44, 0x49, 0x53, 0x50, 0x4C, 0x59};

std::atomic<bool>& NoHardware() {
  static std::atomic<bool> no_hardware{false};
  return no_hardware;
}

PixelFormat FormatForDepth(int32_t bits_per_pixel) {
  switch (bits_per_pixel) {
    case 8:
      return MakePixelFormat(SurfaceFormat::kPal8);
    case 16:
      return MakePixelFormat(SurfaceFormat::kRgb565);
    case 24:
      return MakePixelFormat(SurfaceFormat::kRgb888);
    default:
      return MakePixelFormat(SurfaceFormat::kXrgb8888);
  }
}

}  // namespace

bool Guid::IsNull() const {
  return std::all_of(bytes.begin(), bytes.end(), [](uint8_t byte) { return byte == 0; });
}

Guid DisplayDriverGuid(size_t index) {
  Guid guid;
  std::copy(kGuidPrefix.begin(), kGuidPrefix.end(), guid.bytes.begin());
  const uint32_t number = static_cast<uint32_t>(index + 1);
  for (size_t i = 0; i < 4; ++i) guid.bytes[12 + i] = static_cast<uint8_t>(number >> (24 - 8 * i));
  return guid;
}

std::vector<DriverRecord> EnumerateDisplayDrivers(bool with_modes) {
  std::vector<DriverRecord> records;
  const std::vector<DisplayOutput> displays = CurrentDisplayBackend().Displays();
  if (displays.empty()) return records;
  DriverRecord primary;
  primary.description = "Primary Display Driver";
  primary.driver_name = "display";
  if (with_modes) primary.modes = OfferedDisplayModes(displays.front());
  records.push_back(std::move(primary));
  if (displays.size() == 1) return records;
  for (size_t index = 0; index < displays.size(); ++index) {
    DriverRecord record;
    record.guid = DisplayDriverGuid(index);
    record.description = Utf8ToSjis(displays[index].name);
    record.driver_name = DisplayDeviceName(index);
    record.monitor = index + 1;
    if (with_modes) record.modes = OfferedDisplayModes(displays[index]);
    records.push_back(std::move(record));
  }
  return records;
}

std::unique_ptr<DisplayDevice> DisplayDevice::Create() {
  if (!CurrentDisplayBackend().Available()) return nullptr;
  return std::unique_ptr<DisplayDevice>(new DisplayDevice());
}

void DisplayDevice::SetNoHardware(bool no_hardware) { NoHardware() = no_hardware; }

HResult DisplayDevice::Initialize(const Guid* driver) {
  const std::vector<DisplayOutput> displays = CurrentDisplayBackend().Displays();
  if (displays.empty()) return DDERR_INVALIDPARAMS;
  if (driver == nullptr || driver->IsNull()) {
    display_ = 0;
    origin_ = Point{};
  } else {
    size_t index = 0;
    while (index < displays.size() && !(DisplayDriverGuid(index) == *driver)) ++index;
    if (index == displays.size()) return DDERR_INVALIDPARAMS;
    display_ = index;
    origin_ = Point{displays[index].bounds.left, displays[index].bounds.top};
  }
  refresh_rate_.store(displays[display_].refresh_rate);
  initialized_ = true;
  return DD_OK;
}

std::optional<DisplayOutput> DisplayDevice::CurrentDisplay() const {
  std::vector<DisplayOutput> displays = CurrentDisplayBackend().Displays();
  if (display_ >= displays.size()) return std::nullopt;
  return std::move(displays[display_]);
}

HResult DisplayDevice::GetCaps(DeviceCaps& out) const {
  if (!initialized_) return DDERR_NOTINITIALIZED;
  out.caps = DDCAPS_BLT | DDCAPS_BLTSTRETCH | DDCAPS_COLORKEY | DDCAPS_BLTCOLORFILL;
  if (NoHardware()) out.caps = DDCAPS_NOHARDWARE;
  out.video_memory_total = kVideoMemory;
  out.video_memory_free = kVideoMemory;
  return DD_OK;
}

HResult DisplayDevice::GetDeviceIdentifier(DeviceIdentifier& out) const {
  if (!initialized_) return DDERR_NOTINITIALIZED;
  out.description = kSoftwareDriverDescription;
  const ScreenPresenter* presenter = PrimaryPresenter();
  out.driver = presenter != nullptr ? presenter->RendererName() : CurrentDisplayBackend().RendererName();
  SDL_version version;
  SDL_GetVersion(&version);
  out.driver_version = uint64_t{version.major} << 48 | uint64_t{version.minor} << 32 | uint64_t{version.patch} << 16;
  return DD_OK;
}

HResult DisplayDevice::SetCooperativeLevel(WindowId window, uint32_t flags) {
  if (!initialized_) return DDERR_NOTINITIALIZED;
  const bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
  if (exclusive && ((flags & DDSCL_FULLSCREEN) == 0 || window == 0)) return DDERR_INVALIDPARAMS;
  if (!exclusive && (flags & DDSCL_NORMAL) == 0) return DDERR_INVALIDPARAMS;
  window_ = window;
  cooperative_flags_ = flags;
  return DD_OK;
}

HResult DisplayDevice::SetDisplayMode(int32_t width, int32_t height, int32_t bits_per_pixel, int32_t refresh_rate) {
  if (!initialized_) return DDERR_NOTINITIALIZED;
  if ((cooperative_flags_ & DDSCL_EXCLUSIVE) == 0) return DDERR_NOEXCLUSIVEMODE;
  const std::optional<DisplayOutput> display = CurrentDisplay();
  if (!display) return DDERR_INVALIDMODE;
  const std::vector<DisplayModeDesc> offered = OfferedDisplayModes(*display);
  const auto match = std::find_if(offered.begin(), offered.end(), [&](const DisplayModeDesc& mode) {
    return mode.width == width && mode.height == height && mode.bits_per_pixel == bits_per_pixel &&
           (refresh_rate == 0 || mode.refresh_rate == refresh_rate);
  });
  if (match == offered.end()) return DDERR_INVALIDMODE;
  // The monitor keeps its mode: the window covers it, and the game's screen of the mode's size
  // is letterboxed into it.
  if (!CurrentDisplayBackend().EnterFullScreen(window_, static_cast<int32_t>(display_))) {
    return DDERR_INVALIDMODE;
  }
  if (ScreenPresenter* presenter = ScreenPresenter::ForWindow(window_)) presenter->SetEmulatedModeSize(width, height);
  mode_ = DisplayModeDesc{width, height, bits_per_pixel, match->refresh_rate};
  mode_window_ = window_;
  if (match->refresh_rate > 0) refresh_rate_.store(match->refresh_rate);
  return DD_OK;
}

HResult DisplayDevice::RestoreDisplayMode() {
  if (!initialized_) return DDERR_NOTINITIALIZED;
  if (mode_) {
    CurrentDisplayBackend().LeaveFullScreen(mode_window_);
    if (ScreenPresenter* presenter = ScreenPresenter::Existing(mode_window_)) presenter->SetEmulatedModeSize(0, 0);
  }
  mode_.reset();
  mode_window_ = 0;
  if (const std::optional<DisplayOutput> display = CurrentDisplay()) refresh_rate_.store(display->refresh_rate);
  return DD_OK;
}

HResult DisplayDevice::EnumDisplayModes(std::vector<DisplayModeDesc>& out) const {
  if (!initialized_) return DDERR_NOTINITIALIZED;
  const std::optional<DisplayOutput> display = CurrentDisplay();
  out = display ? OfferedDisplayModes(*display) : std::vector<DisplayModeDesc>{};
  return DD_OK;
}

PixelFormat DisplayDevice::DisplayFormat() const {
  if (mode_) return FormatForDepth(mode_->bits_per_pixel);
  const std::optional<DisplayOutput> display = CurrentDisplay();
  return FormatForDepth(display ? display->bits_per_pixel : 32);
}

HResult DisplayDevice::CreateSurface(const SurfaceDesc& desc, std::shared_ptr<Surface>& out) {
  out.reset();
  if (!initialized_) return DDERR_NOTINITIALIZED;
  if (cooperative_flags_ == 0) return DDERR_NOCOOPERATIVELEVELSET;
  const uint32_t caps = (desc.flags & DDSD_CAPS) != 0 ? desc.caps : 0;
  if ((caps & DDSCAPS_PRIMARYSURFACE) == 0) {
    if ((desc.flags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
    if (desc.width < 1 || desc.height < 1 || desc.width > kLargestSurfaceSide || desc.height > kLargestSurfaceSide) {
      return DDERR_INVALIDPARAMS;
    }
    PixelFormat format = DisplayFormat();
    if ((desc.flags & DDSD_PIXELFORMAT) != 0) {
      SurfaceFormat known;
      if (!FindSurfaceFormat(desc.pixel_format, known)) return DDERR_INVALIDPIXELFORMAT;
      format = MakePixelFormat(known);
    }
    out = Surface::Make(desc.width, desc.height, format, caps, origin_);
    return out != nullptr ? DD_OK : DDERR_OUTOFMEMORY;
  }

  const bool flipping = (caps & DDSCAPS_FLIP) != 0;
  const uint32_t back_buffers = (desc.flags & DDSD_BACKBUFFERCOUNT) != 0 ? desc.back_buffer_count : 0;
  const bool exclusive = (cooperative_flags_ & DDSCL_EXCLUSIVE) != 0;
  if (flipping && !exclusive) return DDERR_NOEXCLUSIVEMODE;
  if (flipping != (back_buffers != 0) || back_buffers > 2) return DDERR_INVALIDPARAMS;
  const std::optional<DisplayOutput> display = CurrentDisplay();
  int32_t width = display ? display->bounds.Width() : 1;
  int32_t height = display ? display->bounds.Height() : 1;
  // The display shows the size its settings were changed to, unless a mode of this device's own
  // covers it.
  const std::optional<DisplayModeDesc> shown = mode_ ? mode_ : ChangedDisplaySize(display_);
  if (shown) {
    width = shown->width;
    height = shown->height;
  }
  const PixelFormat format = DisplayFormat();
  std::shared_ptr<Surface> front = Surface::Make(width, height, format, caps | (flipping ? DDSCAPS_FRONTBUFFER : 0),
                                                 origin_, !mode_.has_value());
  if (front == nullptr) return DDERR_OUTOFMEMORY;
  for (uint32_t i = 0; i < back_buffers; ++i) {
    const uint32_t back_caps = DDSCAPS_BACKBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX | (caps & DDSCAPS_3DDEVICE);
    std::shared_ptr<Surface> back = Surface::Make(width, height, format, back_caps, origin_);
    if (back == nullptr) return DDERR_OUTOFMEMORY;
    front->AttachBackBuffer(std::move(back));
  }
  if (exclusive) {
    if (ScreenPresenter* presenter = ScreenPresenter::ForWindow(window_)) presenter->BindPrimary(*front);
  }
  primary_ = front;
  out = std::move(front);
  return DD_OK;
}

HResult DisplayDevice::CreateClipper(std::shared_ptr<Clipper>& out) {
  out = std::make_shared<Clipper>();
  return DD_OK;
}

ScreenPresenter* DisplayDevice::PrimaryPresenter() const {
  const std::shared_ptr<Surface> primary = primary_.lock();
  return primary != nullptr ? primary->Presenter() : nullptr;
}

void WaitForNextPresentSlot(int32_t refresh_rate) {
  const int64_t frequency = CounterFrequency();
  if (frequency <= 0) return;
  const int64_t period = frequency / (refresh_rate > 0 ? refresh_rate : kDefaultRefreshRate);
  if (period <= 0) return;
  SleepUntilCounter((CounterReading() / period + 1) * period);
}

HResult DisplayDevice::GetVerticalBlankStatus(bool& in_blank) const {
  if (!initialized_) return DDERR_NOTINITIALIZED;
  // The blank is met by presenting with vertical sync, never by polling.
  in_blank = false;
  return DD_OK;
}

HResult DisplayDevice::WaitForVerticalBlank(uint32_t /*flags*/) {
  if (!initialized_) return DDERR_NOTINITIALIZED;
  WaitForNextPresentSlot(refresh_rate_.load());
  return DD_OK;
}

HResult DisplayDevice::FlipToGDISurface() {
  if (!initialized_) return DDERR_NOTINITIALIZED;
  if (ScreenPresenter* presenter = PrimaryPresenter()) presenter->Present();
  return DD_OK;
}

}  // namespace plat
