#pragma once
// An image in memory that draws as a Windows device context does for the
// calls of DrawingContext: a pen of one pixel and a brush, black and white
// as a new device context selects them.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/drawing.h"

namespace vornfmt {

class RasterImage : public DrawingContext {
 public:
  static constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF;

  // `fill` is what the pixels hold before anything is drawn.
  RasterImage(int width, int height, uint32_t fill);

  void SetPen(uint32_t color) { pen_ = color; }
  void SetBrush(uint32_t color) { brush_ = color; }
  void FillWhite(const DrawRect& area) override;
  void Ellipse(const DrawRect& bounds) override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // 0xRRGGBB; kBlack outside the image.
  uint32_t Pixel(int x, int y) const;
  // The image as a binary PPM (P6), to look at.
  std::string Ppm() const;

 private:
  void Set(int x, int y, uint32_t color);

  int width_, height_;
  std::vector<uint32_t> pixels_;
  uint32_t pen_ = kBlack;
  uint32_t brush_ = kWhite;
};

}  // namespace vornfmt
