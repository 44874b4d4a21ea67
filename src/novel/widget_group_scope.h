// The widget manager's current group and draw layer set for the widgets one screen makes, and
// restored when the scope ends.
#pragma once

#include <cstdint>

#include "ui/widget_manager.h"

class WidgetGroupScope {
 public:
  WidgetGroupScope(std::int32_t group, CDrawLayer* layer)
      : group_(g_WidgetManager.group), layer_(g_WidgetManager.GetLayer()) {
    g_WidgetManager.group = group;
    g_WidgetManager.SetLayer(layer);
  }
  ~WidgetGroupScope() {
    g_WidgetManager.SetLayer(layer_);
    g_WidgetManager.group = group_;
  }
  WidgetGroupScope(const WidgetGroupScope&) = delete;
  WidgetGroupScope& operator=(const WidgetGroupScope&) = delete;

 private:
  std::int32_t group_;
  CDrawLayer* layer_;
};
