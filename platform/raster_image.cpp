#include "platform/raster_image.h"

#include <algorithm>

namespace vornfmt {

RasterImage::RasterImage(int width, int height, uint32_t fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), fill) {}

void RasterImage::Set(int x, int y, uint32_t color) {
  if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[static_cast<size_t>(y) * width_ + x] = color;
}

uint32_t RasterImage::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return kBlack;
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

void RasterImage::FillWhite(const DrawRect& area) {
  for (int y = std::max(area.top, 0); y < std::min(area.bottom, height_); ++y)
    for (int x = std::max(area.left, 0); x < std::min(area.right, width_); ++x) Set(x, y, kWhite);
}

void RasterImage::Ellipse(const DrawRect& bounds) {
  const double cx = (bounds.left + bounds.right) / 2.0, cy = (bounds.top + bounds.bottom) / 2.0;
  const double rx = (bounds.right - bounds.left) / 2.0, ry = (bounds.bottom - bounds.top) / 2.0;
  if (rx <= 0 || ry <= 0) return;
  auto inside = [&](int x, int y) {
    const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
  };
  // Inside pixels with a neighbour outside are the outline; the rest the fill.
  for (int y = std::max(bounds.top, 0); y < std::min(bounds.bottom, height_); ++y)
    for (int x = std::max(bounds.left, 0); x < std::min(bounds.right, width_); ++x) {
      if (!inside(x, y)) continue;
      const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
      Set(x, y, edge ? pen_ : brush_);
    }
}

std::string RasterImage::Ppm() const {
  std::string out = "P6\n" + std::to_string(width_) + " " + std::to_string(height_) + "\n255\n";
  for (uint32_t p : pixels_) {
    out.push_back(static_cast<char>(p >> 16));
    out.push_back(static_cast<char>(p >> 8));
    out.push_back(static_cast<char>(p));
  }
  return out;
}

}  // namespace vornfmt
