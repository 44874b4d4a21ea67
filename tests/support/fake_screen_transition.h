// Stand-ins for what image parts reach above the graphics core: draw layers and lists (installed
// as the factory for the fake's lifetime) and a screen transition that records what is done to
// it, in a log that outlives it.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "gfx/image_operations/screen_transition.h"
#include "gfx/images/draw_layer_interface.h"

class FakeDrawLayer : public IDrawLayer {
 public:
  uint32_t SetTarget(CImage* image, bool) override {
    target = image;
    return image != nullptr && image->GetPixels() != nullptr ? 0 : 1;
  }
  void SetAttachedList(IDrawList* list) override { attached_list = list; }
  uint32_t Invalidate(const plat::Rect*) override { return ++invalidations, 1; }
  uint32_t InvalidateAll() override { return target == nullptr ? 1 : (++invalidations, 0); }
  void SwapBackground(IDrawLayer& other, bool) override {
    std::swap(background, static_cast<FakeDrawLayer&>(other).background);
  }
  bool HasBackgroundImage() const override { return background != 0; }
  void ForgetBackgroundImage(const CImage*) override {}
  void SetVisible(uint8_t) override {}
  void SetFlags(uint8_t, uint8_t) override {}
  int32_t RepaintTo(plat::WindowId, plat::DeviceContext*, plat::Surface*, uint32_t, int32_t, int32_t) override {
    return ++presents, -1;
  }
  void RepaintWithoutAttached() override { ++repaints_without_attached; }
  void PaintBackground(CImage&, const plat::Rect&) override {}
  void DrawListsOver(CImage&, const plat::Rect&, bool own, bool attached) override {
    overlays.push_back((own ? 1 : 0) + (attached ? 2 : 0));
  }

  CImage* target = nullptr;
  IDrawList* attached_list = nullptr;
  int invalidations = 0;
  int presents = 0;
  int repaints_without_attached = 0;
  // Per strip drawn over: 1 own list, 2 attached list, 3 both.
  std::vector<int> overlays;
  // Stands for the background image: 0 none.
  int background = 0;
};

// Makes FakeDrawLayer layers while it lives.
class FakeDrawLayers : public IDrawLayerFactory {
 public:
  FakeDrawLayers() { g_DrawLayerFactory = this; }
  ~FakeDrawLayers() override { g_DrawLayerFactory = nullptr; }
  FakeDrawLayers(const FakeDrawLayers&) = delete;
  FakeDrawLayers& operator=(const FakeDrawLayers&) = delete;

  std::unique_ptr<IDrawLayer> CreateLayer() override { return std::make_unique<FakeDrawLayer>(); }
  std::unique_ptr<IDrawList> CreateList() override { return std::make_unique<IDrawList>(); }
};

struct TransitionLog {
  std::vector<plat::Rect> strips;
  int advances = 0;
  bool deleted = false;
};

// Fills each strip of its own target with kColour; it has ended after `steps` advances.
class FakeTransition : public CScreenTransition {
 public:
  static constexpr uint32_t kColour = 0x00C0FFEE;

  FakeTransition(TransitionLog& log, uint8_t type, uint32_t flags, int steps, int32_t width, int32_t height);
  ~FakeTransition() override { log_.deleted = true; }

  uint8_t GetTransitionType() const override { return type_; }
  bool Advance(uint32_t) override;
  uint32_t GetFlags() const override { return flags_; }
  CImage* GetTargetImage() override { return &target_; }
  void RenderStrip(const plat::Rect& strip) override;
  bool IsFinished() const override { return steps_left_ < 0; }

 private:
  TransitionLog& log_;
  CImage target_;
  uint8_t type_;
  uint32_t flags_;
  int steps_left_;
};
