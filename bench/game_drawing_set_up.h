// The engine's drawing set up as a game's start sets it up (the framework's start, then
// CGameApp::InitDevices): the pixel tables, the kernels the processor allows, the trigonometry
// tables, the draw layers' factory and the pixel library installed. The frame benchmarks draw
// with this in place, so that they take the roads a game's drawing takes.
#pragma once

#include "base/numbers/trig_tables.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/pixel_kernel_choice.h"
#include "pixel/kernels/pixel_tables.h"
#include "platform/system/cpu_features.h"
#include "scene/drawables/draw_layer_factory.h"

struct GameDrawingSetUp {
  CPixelLibrary library;
  CDrawLayerFactory layers;
  CTrigTables trig;

  GameDrawingSetUp() {
    BuildPixelTables();
    ChoosePixelKernels(plat::ReadCpuFeatures(), {});
    g_TrigTable = &trig;
    trig.EnsureCosTable();
    g_DrawLayerFactory = &layers;
    SetPixelLib(&library);
  }
  ~GameDrawingSetUp() {
    if (g_PixelLib == &library) SetPixelLib(nullptr);
    if (g_DrawLayerFactory == &layers) g_DrawLayerFactory = nullptr;
    if (g_TrigTable == &trig) g_TrigTable = nullptr;
  }
  GameDrawingSetUp(const GameDrawingSetUp&) = delete;
  GameDrawingSetUp& operator=(const GameDrawingSetUp&) = delete;
};
