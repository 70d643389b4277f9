#include <kel/reps/Kel3DSimpleSphereRep.h>

#include <kel/framework/KelMath.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/render/KelRender.h>

#include <cmath>
#include <cstdio>
#include <vector>

KEL_IMPLEMENT_META(Kel3DSimpleSphereRep, Kel3DRep)

Kel3DSimpleSphereRep::Kel3DSimpleSphereRep() = default;
Kel3DSimpleSphereRep::Kel3DSimpleSphereRep(KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {}

Kel3DSimpleSphereRep::Kel3DSimpleSphereRep(Kelpoint3f center, float radius, int n) {
  BuildFaces(center, radius, n);
}
Kel3DSimpleSphereRep::Kel3DSimpleSphereRep(Kelpoint3f center, float radius, int n,
                                           KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {
  BuildFaces(center, radius, n);
}

Kel3DSimpleSphereRep::~Kel3DSimpleSphereRep() {
  if (_face) KelGraphicPrimitive::Destroy(_face);
}

void Kel3DSimpleSphereRep::Modify(Kelpoint3f center, float radius, int n) {
  BuildFaces(center, radius, n);
  ComputeParentsBoundingElement();
}

void Kel3DSimpleSphereRep::Modify(Kelpoint3f center, float radius) {
  Modify(center, radius, _n);
}

void Kel3DSimpleSphereRep::BuildFaces(Kelpoint3f center, float radius, int n) {
  // Fewer than 2 meridians divides by zero; too many overflows the indices.
  if (n < MIN_MERIDIANS || n > MAX_MERIDIANS) {
    std::fprintf(stderr, "Kel3DSimpleSphereRep::BuildFaces: Invalid number of meridians.\n");
    n = n < MIN_MERIDIANS ? MIN_MERIDIANS : MAX_MERIDIANS;
  }
  _n = n;
  _center = center;
  _radius = radius;
  _attributes.flags |= KelGraphicAttributeSet::ELEMENT_KIND_MASK;

  const int side = n + 1;
  std::vector<float> vertices(3 * size_t(side) * side), normals(vertices.size());
  for (int i = 0; i <= n; ++i) {
    const float phi = float(2.0 * i * KelMath::PI / n);
    for (int j = 0; j <= n; ++j) {
      const float theta = float(j * KelMath::PI / n);
      const float N[3] = {std::sin(theta) * std::cos(phi), -std::sin(theta) * std::sin(phi),
                          std::cos(theta)};
      const size_t at = 3 * (size_t(i) * side + j);
      for (int k = 0; k < 3; ++k) {
        normals[at + k] = N[k];
        vertices[at + k] = center[k] + radius * N[k];
      }
    }
  }
  std::vector<int> strips, lengths(n, 2 * n);
  strips.reserve(2 * size_t(n) * n);
  auto position = [side](int i, int j) { return 3 * (i * side + j); };
  for (int i = 0; i < n; ++i) {
    strips.push_back(position(i, 0));
    for (int j = 1; j < n; ++j) {
      strips.push_back(position(i + 1, j));
      strips.push_back(position(i, j));
    }
    strips.push_back(position(i, n));
  }
  if (_face) KelGraphicPrimitive::Destroy(_face);
  const int nbCoords = int(vertices.size());
  _face = new Kel3DFaceGP(vertices.data(), nbCoords, normals.data(), nbCoords, nullptr, 0,
                          strips.data(), n, lengths.data(), nullptr, 0, nullptr);
  SetBoundingElement(Kel3DBoundingSphere(center, radius, 0.0f));
}

void Kel3DSimpleSphereRep::DrawShading(KelRender& render, int) {
  if (_face && render.IsDrawable(_attributes, _boundingSphere, static_cast<const KelRep&>(*this)))
    _face->Draw(render);
}
