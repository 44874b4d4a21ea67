// The corners of a scaled and rotated rectangle, as sprites draw themselves turned: the
// rectangle is scaled, turned about its scaled centre with the trigonometric tables' cosines
// (512 steps a turn), and described by its bounding box and its corners inside that box.
#pragma once

#include <array>
#include <cstdint>

struct RotatedPoint {
  double x = 0.0;
  double y = 0.0;
};

struct RotatedQuad {
  // Top-left, top-right, bottom-right, bottom-left of the turned rectangle, relative to the
  // box's top-left corner and shifted by the position.
  std::array<RotatedPoint, 4> corners{};
  int32_t width = 0;
  int32_t height = 0;
  // The box's top-left corner relative to the unturned rectangle's.
  int32_t x = 0;
  int32_t y = 0;
};

struct RotationRequest {
  // Where the corners are placed.
  int32_t x = 0;
  int32_t y = 0;
  // In 512 steps a turn.
  int32_t angle = 0;
  double scale = 1.0;
  int32_t width = 0;
  int32_t height = 0;
  // The centre of the turn in the unscaled rectangle.
  int32_t centre_x = 0;
  int32_t centre_y = 0;
};

// False, leaving `out` alone, without trigonometric tables (g_TrigTable), for a scale that is 0,
// negative or not a number, for a box wider or taller than an image may be or with a corner
// farther than 2^30 from the origin, and when nothing changes (angle 0 in 512 steps, scale 1,
// centre at the origin); true otherwise.
bool ComputeRotatedQuad(const RotationRequest& request, RotatedQuad& out);
