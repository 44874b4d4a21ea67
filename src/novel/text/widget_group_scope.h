// The widget manager's current group and draw layer set for the widgets one screen makes, and
// restored when the scope ends.
#pragma once

#include <cstdint>

#include "scene/drawables/draw_layer.h"
#include "ui/widget_manager/widget_manager.h"

class WidgetGroupScope {
 public:
  // With `attached_list` the widgets go into the layer's attached list (when it has one).
  WidgetGroupScope(std::int32_t group, CDrawLayer* layer, bool attached_list = false)
      : group_(g_WidgetManager.group),
        layer_(g_WidgetManager.GetLayer()),
        attached_list_(g_WidgetManager.use_attached_list) {
    g_WidgetManager.group = group;
    g_WidgetManager.SetLayer(layer);
    g_WidgetManager.use_attached_list = attached_list && layer != nullptr && layer->GetAttachedList() != nullptr;
  }
  ~WidgetGroupScope() {
    g_WidgetManager.use_attached_list = attached_list_;
    g_WidgetManager.SetLayer(layer_);
    g_WidgetManager.group = group_;
  }
  WidgetGroupScope(const WidgetGroupScope&) = delete;
  WidgetGroupScope& operator=(const WidgetGroupScope&) = delete;

 private:
  std::int32_t group_;
  CDrawLayer* layer_;
  bool attached_list_;
};
