#include <kel/reps/Kel3DAxisRep.h>

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DFixedArrowGP.h>
#include <kel/render/KelRender.h>

#include <cstdio>

KEL_IMPLEMENT_META(Kel3DAxisRep, Kel3DRep)

namespace {
constexpr int kDefaultSize = 10;
const char* const kAxisNames[3] = {"X", "Y", "Z"};
}  // namespace

Kel3DAxisRep::Kel3DAxisRep() = default;
Kel3DAxisRep::Kel3DAxisRep(KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {}

Kel3DAxisRep::Kel3DAxisRep(Kel4x4Matrix& frame, int size, int) {
  InitOneSize(frame, size);
}
Kel3DAxisRep::Kel3DAxisRep(Kel4x4Matrix& frame, int size, int, KelModelIdentificator& id,
                           KelVisuController* controller)
    : Kel3DRep(id, controller) {
  InitOneSize(frame, size);
}

Kel3DAxisRep::Kel3DAxisRep(Kel4x4Matrix& frame, int sizeX, const char* textX, int sizeY,
                           const char* textY, int sizeZ, const char* textZ) {
  int sizes[3] = {sizeX, sizeY, sizeZ};
  if (sizeX < 1 || sizeY < 1 || sizeZ < 1) {
    std::fprintf(stderr, "Kel3DAxisRep::Kel3DAxisRep: Invalid size parameters.\n");
    sizes[0] = sizes[1] = sizes[2] = kDefaultSize;
  }
  const char* const texts[3] = {textX, textY, textZ};
  Build(frame, sizes, texts);
}
Kel3DAxisRep::Kel3DAxisRep(Kel4x4Matrix& frame, int sizeX, const char* textX, int sizeY,
                           const char* textY, int sizeZ, const char* textZ,
                           KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {
  int sizes[3] = {sizeX, sizeY, sizeZ};
  if (sizeX < 1 || sizeY < 1 || sizeZ < 1) {
    std::fprintf(stderr, "Kel3DAxisRep::Kel3DAxisRep: Invalid size parameters.\n");
    sizes[0] = sizes[1] = sizes[2] = kDefaultSize;
  }
  const char* const texts[3] = {textX, textY, textZ};
  Build(frame, sizes, texts);
}

Kel3DAxisRep::~Kel3DAxisRep() {
  for (Kel3DFixedArrowGP* arrow : _arrows)
    if (arrow) KelGraphicPrimitive::Destroy(arrow);
}

void Kel3DAxisRep::InitOneSize(Kel4x4Matrix& frame, int size) {
  if (size < 0) {
    std::fprintf(stderr, "Kel3DAxisRep::Kel3DAxisRep: Invalid size parameter.\n");
    size = kDefaultSize;
  }
  const int sizes[3] = {size, size, size};
  Build(frame, sizes, kAxisNames);
}

void Kel3DAxisRep::Build(Kel4x4Matrix& frame, const int sizes[3], const char* const texts[3]) {
  Kelvector3f axes[3];
  Kelpoint3f origin;
  frame.GetComponents(axes[0], axes[1], axes[2], origin);
  for (int k = 0; k < 3; ++k) _frameAxes[k] = axes[k];
  _origin = origin;
  const Keldirection3f directions[3] = {axes[0], axes[1], axes[2]};
  int largest = 0;
  for (int k = 0; k < 3; ++k) {
    // Each arrow is given the next axis as its second direction.
    _arrows[k] = new Kel3DFixedArrowGP(origin, directions[k], directions[(k + 1) % 3], sizes[k]);
    _arrows[k]->AssociateText(texts[k]);
    if (sizes[k] > largest) largest = sizes[k];
  }
  SetBoundingElement(Kel3DBoundingSphere(origin, 0.0f, float(largest)));
}

const Kel3DFixedArrowGP* Kel3DAxisRep::GetArrow(int k) const {
  return k >= 0 && k < 3 ? _arrows[k] : nullptr;
}

void Kel3DAxisRep::DrawShading(KelRender& render, int) {
  if (!_arrows[0]) return;
  if (!render.IsDrawable(_attributes, _boundingSphere, static_cast<const KelRep&>(*this))) return;
  for (int k = 0; k < 3; ++k)
    if (render.IsDrawable(_attributes, k + 1)) _arrows[k]->Draw(render);
}
