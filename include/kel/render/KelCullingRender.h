// The first pass of a frame: walks a viewpoint's Reps with the visibility,
// size and level-of-detail tests of the render base and records every
// primitive that survives, with the attribute changes and matrices around it,
// into the viewpoint's display list, sorted into element lists by the kind of
// element. Nothing is drawn.
//
// Matrices are applied to this render itself (PushMatrix returns it). A 4x4
// push moves at once only what the walk below reads on every Rep (the planes
// of the viewport, the eye point and the size scale); the rest of the camera
// follows when something asks for it, by the same steps and so to the same
// values. The push entry goes into an element list only when something is
// recorded in that list below it: the lists are those an entry in every list
// would have left once the pops cancelled the empty pushes.
#pragma once

#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/render/KelRepRender.h>
#include <kel/viewpoints/Kel2DViewport.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <cstdint>
#include <limits>
#include <vector>

class KelDisplayList;

class KelCullingRender : public KelRepRender {
 public:
  explicit KelCullingRender(const KelSupport& support);
  // Takes the display list, the current element list and the forced flag; the
  // matrix stack starts empty.
  KelCullingRender(const KelCullingRender& other);
  ~KelCullingRender() override;

  void BeginDraw(KelViewpoint& viewpoint) override;
  void EndDraw(KelViewpoint& viewpoint) override;
  void InheritForeground(int colour) override;
  void InheritElementType(ELEMENT_TYPE type, int force) override;
  void SetCurrentAttribute(const KelGraphicAttributeSet& a) override;
  using KelRender::SetCurrentAttribute;
  void Draw2DMarker(Kel2DMarkerGP& gp) override;
  void Draw2DRectangle(Kel2DRectangleGP& gp) override;
  void Draw2DLine(Kel2DLineGP& gp) override;
  void Draw2DPolyline(Kel2DPolylineGP& gp) override;
  void Draw2DPolygon(Kel2DPolygonGP& gp) override;
  void Draw2DAnnotationText(Kel2DAnnotationTextGP& gp) override;
  void Draw2DSimpleGeometricText(Kel2DSimpleGeometricTextGP& gp) override;
  void Draw3DMarker(Kel3DMarkerGP& gp) override;
  void Draw3DPolyline(Kel3DPolylineGP& gp) override;
  void Draw3DLine(Kel3DLineGP& gp) override;
  void Draw3DEdge(Kel3DEdgeGP& gp) override;
  // Always into list 0 (a 2D display list has none: lights are not recorded).
  void DrawLightSource(Kel3DLightSourceGP& gp) override;
  void Draw3DFace(Kel3DFaceGP& gp) override;
  void Draw3DPlanarFace(Kel3DPlanarFaceGP& gp) override;
  // The integer is ignored: the operand recorded is 1 when the eye lies behind
  // the cylinder's base along its direction, 2 otherwise.
  void Draw3DCylinder(Kel3DCylinderGP& gp, const int cap) override;
  void DrawWireframe3DCylinder(Kel3DCylinderGP& gp) override;
  void Draw3DAnnotationText(Kel3DAnnotationTextGP& gp) override;
  // Records the primitive with a copy of the camera of this point of the
  // traversal, owned by the display list and shared until the next matrix.
  void DrawDynamicGP(KelDynamicGP& gp) override;
  KelRender* PushMatrix(Kel4x4Matrix& m) override;
  KelRender* PushMatrix(Kel3x3Matrix& m) override;
  void PopMatrix(KelRender* child) override;
  void SetPolygonOffsetOn() override;
  void SetPolygonOffsetOff() override;
  void SetFurtiveOn() override;
  void SetFurtiveOff() override;

  void SettleCamera() const override;

  // 1 (the default): 4x4 pushes move the camera lazily and are recorded only
  // where needed, as above; 0: each push moves the whole camera and is
  // recorded in every list at once. The lists and the cameras recorded are the
  // same either way.
  void SetDeferredMoves(int on) { _deferredMoves = on; }

  KelDisplayList* GetDisplayList() const { return _displayList; }
  int GetCurrentElementList() const { return _currentElementList; }
  int IsElementListForced() const { return _forcedElementList; }
  int GetMatrixDepth() const { return _depth; }

 protected:
  // Without a support (sizes 0), for renders that only record.
  KelCullingRender();

 private:
  // The state at one depth of the matrix stack. What the push from this depth
  // changes is kept to be given back by its pop; viewports by value. When the
  // camera is brought past this depth its state here is kept too, swapped
  // back in by a pop, and the camera it replaces stays here to be overwritten
  // later, so that a pass clones once per depth, not once per matrix.
  struct Level {
    int saved = 0;                      // the camera below holds the camera at this depth
    KelViewpoint* viewpoint = nullptr;  // owned
    Kel2DViewpoint* viewpoint2D = nullptr;
    Kel3DViewpoint* viewpoint3D = nullptr;
    int flat = 0;  // the push is 3x3
    Kel3DViewport viewport3D;
    // A translation moves only the planes' distances: those alone are kept.
    int distancesOnly = 0;
    float distances[Kel3DViewport::MAX_PLANES];
    Kel2DViewport viewport2D;
    float modelSag = 0.0f;
    float modelCullingSize = 0.0f;
    Kelpoint3f eye;
    // The 4x4 push's inverse, which the camera still has to take, and the
    // pushed matrix with its copy in the display list once recorded.
    Kel4x4Matrix inverse;
    const Kel4x4Matrix* matrix = nullptr;
    std::intptr_t copy = 0;
    float scaleFactor = 1.0f;
  };
  static constexpr int kInlineLevels = 50;

  Level& LevelAt(int depth) const {
    return depth < kInlineLevels ? _levels[depth] : _deepLevels[depth - kInlineLevels];
  }
  // The next level, with the sizes saved.
  Level& OpenLevel();
  // Moves the planes by the level's inverse when it is a translation, keeping
  // only their distances in the level; 0 (nothing done) otherwise.
  int TranslatePlanes(Level& level);
  void SaveCamera(Level& level) const;
  void ReleaseLevels();
  // Records in one list, after the pushes not yet recorded there.
  void RecordIn(int list, const std::intptr_t value, const int opcode);
  // Records in every list (lists 1 to 5, or 6 of a 2D display list).
  void RecordInAll(const std::intptr_t value, const int opcode);
  void RecordPushes(int list);
  // The lists matrices are recorded in.
  void MatrixLists(int* first, int* last) const;
  int DefaultList() const;
  int ListOf(const KelGraphicAttributeSet& a) const;
  void Record(const std::intptr_t value, const int opcode);

  int _depth = 0;
  int _levelsUsed = 0;
  mutable int _cameraDepth = 0;  // the depth whose camera the camera objects hold
  int _recorded[7] = {};         // per list, the pushes recorded in it
  mutable Level _levels[kInlineLevels];
  // Deeper nestings; kept for the rest of the render's life.
  mutable std::vector<Level> _deepLevels;
  int _dynamicCopies = 0;
  KelViewpoint* _dynamicViewpoint = nullptr;  // owned by the display list
  KelViewport* _dynamicViewport = nullptr;    // owned by the display list
  KelDisplayList* _displayList = nullptr;
  int _currentElementList = 5;
  int _forcedElementList = 0;
  int _deferredMoves = 1;
  // Per plane, the length of a normal met before (in double, as the
  // viewport's move takes it) and whether dividing by it gives the normal
  // back: a translation then only changes the distance. Keyed by the normal.
  struct UnitNormal {
    float a = std::numeric_limits<float>::quiet_NaN(), b = 0.0f, c = 0.0f;
    double length = 1.0;
    int kept = 0;
  };
  UnitNormal _normals[Kel3DViewport::MAX_PLANES];
};
