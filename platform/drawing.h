#pragma once
// What a control draws on: the few calls of a Windows device context that
// the control's drawing uses. On Windows a device context implements it
// (drawing_win32.cpp: FillRect with the stock white brush, Ellipse with the
// selected pen and brush); RasterImage (raster_image.h) is an image in
// memory that draws the same way, for hosts without a window system and for
// tests.
namespace vornfmt {

// Windows' RECT: right and bottom are outside.
struct DrawRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

class DrawingContext {
 public:
  virtual ~DrawingContext() = default;
  // FillRect with the stock white brush.
  virtual void FillWhite(const DrawRect& area) = 0;
  // Ellipse inscribed in `bounds`, outlined with the current pen and filled
  // with the current brush.
  virtual void Ellipse(const DrawRect& bounds) = 0;
};

}  // namespace vornfmt
