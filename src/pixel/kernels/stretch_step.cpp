#include "pixel/kernels/stretch_step.h"

StretchStep UnclippedStretchStep(int32_t src_width, int32_t src_height, int32_t dst_width, int32_t dst_height) {
  StretchStep step;
  step.xAcc = -dst_width - 1;
  step.xRem = src_width % dst_width;
  step.xDen = dst_width;
  step.xStep = src_width / dst_width;
  step.yAcc = -dst_height - 1;
  step.yRem = src_height % dst_height;
  step.yDen = dst_height;
  step.yStep = src_height / dst_height;
  return step;
}
