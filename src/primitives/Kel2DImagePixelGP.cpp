#include <kel/images/KelPixelImage.h>
#include <kel/primitives/Kel2DImagePixelGP.h>
#include <kel/render/KelRender.h>
#include <kel/viewpoints/Kel2DViewpoint.h>
#include <kel/viewpoints/Kel2DViewport.h>

#include <algorithm>
#include <cmath>

Kel2DImagePixelGP::Kel2DImagePixelGP(const float* position, const KelPixelImage* image, int mode)
    : _position{position[0], position[1]}, _displayMode(mode), _image(image) {}

Kel2DImagePixelGP::Kel2DImagePixelGP(const float* position,
                                     std::shared_ptr<const KelPixelImage> image, int mode)
    : _position{position[0], position[1]},
      _displayMode(mode),
      _image(image.get()),
      _shared(std::move(image)) {}

Kel2DImagePixelGP::~Kel2DImagePixelGP() = default;

int Kel2DImagePixelGP::GetModelBox(float* xmin, float* xmax, float* ymin, float* ymax) const {
  if (!_image || !_image->GetPixelsToRead()) return 0;
  int w = 0, h = 0;
  _image->GetSize(w, h);
  const float sx = _image->GetXPixelSize(), sy = _image->GetYPixelSize();
  if (w <= 0 || h <= 0 || !(sx > 0.0f) || !(sy > 0.0f)) return 0;
  *xmin = _position[0];
  *ymin = _position[1];
  *xmax = _position[0] + float(w) * sx;
  *ymax = _position[1] + float(h) * sy;
  return 1;
}

namespace {

// Draws `image` at `at` and deletes it.
void DrawAndDelete(KelRender& render, const float* at, KelPixelImage* image, int alpha) {
  if (image) render.ImmediateDraw2DImagePixel(at, image, alpha);
  delete image;
}

}  // namespace

void Kel2DImagePixelGP::ImmediateDraw(KelRender& render, const KelViewpoint* viewpoint,
                                      const KelViewport* viewport) {
  float unused[4];
  const auto* camera = dynamic_cast<const Kel2DViewpoint*>(viewpoint);
  const auto* view = dynamic_cast<const Kel2DViewport*>(viewport);
  if (!GetModelBox(&unused[0], &unused[1], &unused[2], &unused[3]) || !camera || !view) return;
  _pixelRatio = render.GetPixelRatioWH();
  _mmInSupportUnit = render.GetMMInSupportUnit();
  render.GetWidthAndHeight(_width, _height);
  const float w = _width, h = _height;
  // Model size of one screen pixel, down and across (the camera's zoom type
  // and ratios decide the second).
  const double s = render.GetPixelFromModelRatio();
  float x0m, y0m, x1m, y1m;
  camera->ComputeModelFromPixel(0.0f, 0.0f, x0m, y0m, w, h, _mmInSupportUnit, _pixelRatio);
  camera->ComputeModelFromPixel(1.0f, 0.0f, x1m, y1m, w, h, _mmInSupportUnit, _pixelRatio);
  const double sx = double(x1m) - double(x0m);
  if (!(s > 0.0) || !(sx > 0.0) || !std::isfinite(s) || !std::isfinite(sx) || !(w > 0.0f) ||
      !(h > 0.0f))
    return;
  float xmin, xmax, ymin, ymax;
  view->GetParameter(&xmin, &xmax, &ymin, &ymax);

  int W = 0, H = 0;
  _image->GetSize(W, H);
  // Screen pixels per image pixel, the displayed size and the corner, in
  // screen pixels from the view's lower left corner.
  const double zx = _image->GetXPixelSize() / sx, zy = _image->GetYPixelSize() / s;
  const double DW = W * zx, DH = H * zy;
  const double X = (_position[0] - xmin) / sx, Y = (_position[1] - ymin) / s;
  if (!std::isfinite(DW) || !std::isfinite(DH) || !std::isfinite(X) || !std::isfinite(Y)) return;
  // What the view cuts off on each side, and how far the visible part reaches.
  const double L = std::max(0.0, -X), B = std::max(0.0, -Y);
  const double R = std::max(0.0, X + DW - w), T = std::max(0.0, Y + DH - h);
  const double VR = std::max(DW - R, L), VT = std::max(DH - T, B);
  if (L == 0.0 && B == 0.0 && VR == DW && VT == DH) {
    // Smaller than a pixel: nothing to show.
    if (DW < 1.0 || DH < 1.0) return;
    DrawAndDelete(render, _position, _image->CreateZoomedImage(int(DW), int(DH), _displayMode),
                  _alphaMode);
    return;
  }
  if (L >= DW || B >= DH || VR <= 0.0 || VT <= 0.0) return;
  const int x0 = int(std::floor(L / zx)), y0 = int(std::floor(B / zy));
  const int x1 = std::min(int(std::ceil(VR / zx)), W), y1 = std::min(int(std::ceil(VT / zy)), H);
  if (x1 <= x0 || y1 <= y0) return;
  KelPixelImage* sub = _image->CreateSubImage(x0, y0, x1, y1);
  if (!sub) return;
  const double sw = (x1 - x0) * zx, sh = (y1 - y0) * zy;
  KelPixelImage* zoomed;
  float at[2];
  if (sw < 3.0 * w && sh < 3.0 * h) {
    if (sw < 1.0 || sh < 1.0) {
      delete sub;
      return;
    }
    zoomed = sub->CreateZoomedImage(int(sw), int(sh), _displayMode);
    at[0] = float(_position[0] + x0 * zx * sx);
    at[1] = float(_position[1] + y0 * zy * s);
  } else {
    // Zoomed in past three windows: the visible part stretched to the view.
    zoomed = sub->CreateZoomedImage(int(w), int(h), _displayMode);
    at[0] = xmin;
    at[1] = ymin;
  }
  delete sub;
  DrawAndDelete(render, at, zoomed, _alphaMode);
}
