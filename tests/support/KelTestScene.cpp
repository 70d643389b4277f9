#include "KelTestScene.h"

#include <kel/framework/KelCallbackManager.h>
#include <kel/picking/KelPickPath.h>
#include <kel/picking/KelPickPathList.h>
#include <kel/picking/KelPickingRender.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/render/KelCullingRender.h>
#include <kel/render/KelDisplayList.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <gtest/gtest.h>

#include "KelRecordingRender.h"

namespace keltest {

int NamedGP::alive = 0;
std::vector<std::string> NamedGP::deleted;

NamedGP::~NamedGP() {
  --alive;
  deleted.push_back(_name);
}
void NamedGP::Draw(KelRender& render) {
  if (auto* recording = dynamic_cast<KelRecordingRender*>(&render))
    recording->Record("Draw " + _name);
}

GPLeaf::GPLeaf(std::vector<KelGraphicPrimitive*> primitives, const Kelpoint3f& centre, float radius)
    : gps(std::move(primitives)) {
  SetBoundingElement(Kel3DBoundingSphere(centre, radius, 0.0f));
}
GPLeaf::~GPLeaf() {
  if (owned)
    for (KelGraphicPrimitive* gp : gps) KelGraphicPrimitive::Destroy(gp);
}
void GPLeaf::DrawShading(KelRender& render, int inside) {
  if (!OkToDraw(render, &inside)) return;
  ++drawn;
  if (onDraw) onDraw(render);
  for (KelGraphicPrimitive* gp : gps) gp->Draw(render);
}
GPLeaf& GPLeaf::Flags(unsigned char flags) {
  _attributes.flags = flags;
  return *this;
}
GPLeaf& GPLeaf::RGBA(unsigned char r, unsigned char g, unsigned char b, unsigned char a) {
  _attributes.color = KelGraphicAttributeSet::RGBA_COLOR;
  _attributes.rgba[0] = r, _attributes.rgba[1] = g, _attributes.rgba[2] = b,
  _attributes.rgba[3] = a;
  return *this;
}

Kel3DFaceGP* SquareFace(float x, float y, float z, float half) {
  const float v[12] = {x - half, y - half, z, x + half, y - half, z,
                       x + half, y + half, z, x - half, y + half, z};
  const float n[3] = {0, 0, 1};
  const int t[6] = {0, 3, 6, 0, 6, 9};
  return new Kel3DFaceGP(v, 12, n, 3, t, 2, nullptr, 0, nullptr, nullptr, 0, nullptr);
}

std::unique_ptr<Kel3DViewpoint> TopCamera() {
  auto camera = std::make_unique<Kel3DViewpoint>(Kelpoint3f(0, 0, 10), Keldirection3f(0, 0, -1),
                                                 Keldirection3f(0, 1, 0), 1.0f, 100.0f,
                                                 CONIC_PROJECTION, 10.0f);
  camera->SetFrontClipping(1, 1.0f);
  camera->SetBackClipping(1, 100.0f);
  return camera;
}

void Cull(KelSupport& support, KelViewpoint& viewpoint) {
  KelCullingRender render(support);
  render.BeginDraw(viewpoint);
  render.Draw(viewpoint);
  EXPECT_EQ(render.GetMatrixDepth(), 0) << "every push popped";
  render.EndDraw(viewpoint);
}

Stream StreamOf(const KelDisplayList& list, int elementList) {
  Stream s;
  for (int i = 0; i < list.GetCount(elementList); ++i)
    s.emplace_back(list.GetOpcode(elementList, i), list.GetValue(elementList, i));
  return s;
}

EventCounter::EventCounter(KelViewpoint& viewpoint)
    : EventCounter(viewpoint.GetCallbackManager(), KelViewpoint::VIEWPOINT_MODIFIED()) {}

int Pick(KelSupport& support, KelViewpoint& viewpoint, KelPickPathList& hits, float x, float y,
         int size) {
  hits.Reset();
  KelPickingRender render(support, size, x, y, hits);
  render.BeginDraw(viewpoint);
  render.Draw(viewpoint);
  EXPECT_EQ(render.GetMatrixDepth(), 0) << "every push popped";
  EXPECT_LE(render.GetCurrentPath()->GetLevel(), 0) << "the path is back at the top";
  render.EndDraw(viewpoint);
  return hits.GetPathCount();
}

KelPickPath& HitAt(KelPickPathList& hits, int i) {
  return *hits.GetPickPathList()[i];
}

}  // namespace keltest
