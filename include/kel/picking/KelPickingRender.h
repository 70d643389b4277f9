// The render that finds what lies under the cursor. It walks a viewpoint's
// Reps like the culling pass, but its volume tests use the small viewport of
// the pick square around the cursor, and its typed operations test geometry
// instead of drawing it: every primitive hit adds a KelPickPath (the Reps from
// the top one down to the owner of the primitive, the hit point, normal, depth
// and dimension) to the list given at construction, which the caller then
// sorts (KelPickPathList::SortGraphicAttributeSet).
//
// Depth is measured along the pick ray: 0 on the near plane, 1 on the far
// plane. Dimension is 0 for a point hit, 1 for a line, 2 for a surface.
//
// Matrices are applied to this render itself (PushMatrix returns it): what a
// push changes is kept on a stack whose levels are reused from pick to pick,
// so that the walk allocates nothing per Rep or per primitive; only hits do.
//
// 2D primitives are tested against the pick rectangle through the Pick2D
// operations, which their typed operations call.
//
// Large faces, lines, edges and markers are picked through a tree of their
// parts' boxes (KelPickTree) kept with the primitive: only the parts the tree
// cannot rule out are tested, in their usual order, so the hits are those of
// the part-by-part test, which SetPickTrees(0) brings back.
#pragma once

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/Keldirection3f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/framework/Kelvector3f.h>
#include <kel/render/KelRepRender.h>
#include <kel/viewpoints/Kel2DViewport.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <memory>
#include <vector>

class KelPickPath;
class KelPickPathList;
class Kel2DImagePixelGP;
class KelPickTree;

class KelPickingRender : public KelRepRender {
 public:
  // pickSize: half size of the pick square in pixels; (x, y): the cursor in
  // pixels from the top left corner. Hits are added to `list`, which owns them
  // from then on.
  KelPickingRender(const KelSupport& support, const int pickSize, const float x, const float y,
                   KelPickPathList& list);
  ~KelPickingRender() override;
  KelPickingRender(const KelPickingRender&) = delete;
  KelPickingRender& operator=(const KelPickingRender&) = delete;

  // Turns the viewpoint's culling viewport into the pick square's and computes
  // the pick ray.
  void BeginDraw(KelViewpoint& viewpoint) override;
  void EndDraw(KelViewpoint& viewpoint) override;

  // Rep-level tests. A leaf (or a sub-element) whose volume lies wholly inside
  // the pick region is picked as a whole at its centre and answers 0; an empty
  // volume is never picked.
  int IsDrawable(const KelGraphicAttributeSet& a, const Kel2DBoundingBox& box,
                 const KelRep& rep) override;
  int IsDrawable(const KelGraphicAttributeSet& a, const Kel2DBoundingBox& box,
                 const int number) override;
  int IsDrawable(const KelGraphicAttributeSet& a, const Kel3DBoundingSphere& s,
                 const int number) override;
  int IsDrawable(const KelGraphicAttributeSet& a, const float* centre, const float radius,
                 const int number) override;
  int IsDrawable(const KelGraphicAttributeSet& a, const Kel3DBoundingSphere& s,
                 const KelRep& rep) override;
  int IsDrawable(const KelGraphicAttributeSet& a, const int number) override;
  int IsDrawable(const KelGraphicAttributeSet& a, const KelRep& rep) override;
  int IsDrawable(const KelGraphicAttributeSet& a) override;
  // Always 1: back faces are picked.
  int IsSeen(const float* point, const float* normal) override;

  void Draw3DMarker(Kel3DMarkerGP& gp) override;
  void Draw3DPolyline(Kel3DPolylineGP& gp) override;
  void Draw3DLine(Kel3DLineGP& gp) override;
  void Draw3DEdge(Kel3DEdgeGP& gp) override;
  void Draw3DFace(Kel3DFaceGP& gp) override;
  void Draw3DPlanarFace(Kel3DPlanarFaceGP& gp) override;
  void Draw3DCylinder(Kel3DCylinderGP& gp, const int cap) override;
  void DrawWireframe3DCylinder(Kel3DCylinderGP& gp) override;
  void Draw2DMarker(Kel2DMarkerGP& gp) override;
  void Draw2DRectangle(Kel2DRectangleGP& gp) override;
  void Draw2DLine(Kel2DLineGP& gp) override;
  void Draw2DAnnotationText(Kel2DAnnotationTextGP& gp) override;
  void Draw2DSimpleGeometricText(Kel2DSimpleGeometricTextGP& gp) override;
  // A placed image is tested as its model rectangle, without resampling it.
  void DrawDynamicGP(KelDynamicGP& gp) override;
  void ImmediateDraw3DPolyline(const float* points, const int count) override;
  void ImmediateDraw3DAnnotationText(const float* position, const char* text,
                                     AnchorPoint anchor) override;
  // The image's lower left corner lies at the position.
  void ImmediateDraw2DImagePixel(const float* position, const KelPixelImage* image,
                                 const int mode) override;
  void ImmediateDraw2DPolyline(const float* points, const int count) override;
  void ImmediateDraw2DPolygon(const float* points, const int count, const int filled) override;
  KelRender* PushMatrix(Kel4x4Matrix& m) override;
  KelRender* PushMatrix(Kel3x3Matrix& m) override;
  void PopMatrix(KelRender* child) override;
  void PushReference() override;
  void PopReference() override;
  void SetFurtiveOn() override;
  void SetFurtiveOff() override;

  // P is hit when it lies in the pick region. Without a normal the hit's
  // normal points from the near point to P.
  int PickPoint3D(const float* P, const float dimension, const float* normal);
  // The segment clipped by the pick region, hit at the middle of what is left;
  // without a normal its tangent stands in the normal's place.
  int PickLine3D(const float* A, const float* B, const float dimension, const float* normal);
  // The pick ray (not the square) against the triangle, strictly between the
  // near and far planes; dimension 2.
  int PickTriangle3D(const float* P0, const float* P1, const float* P2, const float* normal);
  // Keeps the hit when it is not deeper than the path's current one.
  void SetPickPath(const Kelpoint3f& point, const Keldirection3f& normal, const float deep,
                   const float dimension);
  // A 2D hit: depth 0, normal (0, 0, 1).
  void SetPickPath(const Kelpoint3f& point, const float dimension);
  // Hands the current path to the list and goes on with a copy of it.
  void AddPickPath();
  // Loads the Rep at the current level of the path; the path's sub-element
  // number is cleared, so that it never tells of another Rep's sub-element.
  void SetCurrentPath(const KelRep& rep);
  // Loads a sub-element number of the current Rep, with the z-buffer flag of
  // its attribute.
  void SetCurrentPath(const int number);
  KelPickingRender& operator*=(const Kel4x4Matrix& m);
  KelPickingRender& operator*=(const Kel3x3Matrix& m);

  // The 2D primitives' tests, against the pick rectangle; each hit part adds
  // its own path at the cursor. Points are (x, y) pairs.
  // Segments of consecutive points (step 1) or of pairs (step 2); dimension 1.
  void Pick2DSegments(const float* points, const int count, const int step);
  // Each point strictly inside the pick rectangle; dimension 0.
  void Pick2DMarker(const float* points, const int count);
  // Filled: hit when it meets the pick rectangle (dimension 2); otherwise its
  // outline.
  void Pick2DRectangle(const float xmin, const float xmax, const float ymin, const float ymax,
                       const int filled);
  // The text's box in font `font` of the render's character font; dimension 2.
  void Pick2DText(const float* position, const char* text, AnchorPoint anchor, const int font);
  // The font is the geometric font of the text's height on screen.
  void Pick2DGeometricText(const float* position, const char* text, AnchorPoint anchor,
                           const float height);

  // Where the box of a text of the given size in pixels lies from its
  // position, as the driver draws it: the offsets in pixels of its lower left
  // corner (x to the right, y up). The box's bottom is the bottom of the
  // descent.
  // The model rectangle of a placed image; dimension 2.
  void Pick2DImage(const Kel2DImagePixelGP& gp);

  static void GetTextBox(AnchorPoint anchor, const float width, const float height, float* left,
                         float* bottom);

  // 1 (the default): large primitives are picked through their pick trees; 0:
  // every part is tested.
  void SetPickTrees(int on) { _pickTrees = on; }

  KelPickPath* GetCurrentPath() const { return _currentPath.get(); }
  KelPickPathList& GetPickPathList() const { return _list; }
  int GetPickSize() const { return _pickSize; }
  float GetX() const { return _x; }
  float GetY() const { return _y; }
  // In the current Rep's frame.
  const Kelpoint3f& GetNearPoint() const { return _nearPoint; }
  const Kelpoint3f& GetFarPoint() const { return _farPoint; }
  const Kelvector3f& GetRay() const { return _ray; }
  int GetMatrixDepth() const { return _depth; }

 private:
  // What a push changes, given back by the matching pop.
  struct Level {
    std::unique_ptr<KelViewpoint> camera;  // reused by 3D cameras
    Kel3DViewport viewport3D;
    Kel2DViewport viewport2D;
    float modelSag = 0.0f;
    float modelCullingSize = 0.0f;
    float scaleFactor = 1.0f;
    Kelpoint3f nearPoint, farPoint;
    Kelvector3f ray;
    Kel4x4Matrix matrix;
    Kel3x3Matrix matrix2D;
    KelGraphicAttributeSet attribute;
    int subElement = -1;
    int zBuffer = 0;
  };

  Level& SaveLevel();
  float Depth(const Kelpoint3f& p) const;
  // Picks the volume as a whole at its centre.
  void PickWhole(const float* centre);
  int IsPickable(const KelGraphicAttributeSet& a) const;
  int PickSegment2D(float x0, float y0, float x1, float y1);
  void PickFace(Kel3DFaceGP& gp, const float* normal);
  void PickSegments(const float* points, const KelPickTree& tree);
  KelPickTree* EdgeTreeOf(Kel3DEdgeGP& gp);

  std::unique_ptr<KelPickPath> _currentPath;
  KelPickPathList& _list;
  float _x;
  float _y;
  int _pickSize;
  Kelpoint3f _nearPoint;
  Kelpoint3f _farPoint;
  Kelvector3f _ray;
  float _rayDot = 0.0f;  // ray . ray
  KelViewpoint* _viewpoint = nullptr;
  int _depth = 0;
  std::vector<Level> _levels;
  int _pickTrees = 1;
};
