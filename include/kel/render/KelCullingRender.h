// The first pass of a frame: walks a viewpoint's Reps with the visibility,
// size and level-of-detail tests of the render base and records every
// primitive that survives, with the attribute changes and matrices around it,
// into the viewpoint's display list, sorted into element lists by the kind of
// element. Nothing is drawn.
//
// Matrices are applied to this render itself (PushMatrix returns it); the
// camera in force before each push is kept on a stack that grows with the
// nesting.
#pragma once

#include <kel/render/KelRepRender.h>
#include <kel/viewpoints/Kel2DViewport.h>
#include <kel/viewpoints/Kel3DViewport.h>

#include <cstdint>
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

  KelDisplayList* GetDisplayList() const { return _displayList; }
  int GetCurrentElementList() const { return _currentElementList; }
  int IsElementListForced() const { return _forcedElementList; }
  int GetMatrixDepth() const { return _depth; }

 protected:
  // Without a support (sizes 0), for renders that only record.
  KelCullingRender();

 private:
  // What a push changes, to be given back by the matching pop. Viewports are
  // saved by value. The saved camera is swapped back in by the pop, and the
  // camera it replaces stays here to be overwritten by the next push at this
  // depth, so that a 3D pass clones once per depth, not once per matrix.
  struct Level {
    int saved = 0;                      // the camera below holds the saved state
    KelViewpoint* viewpoint = nullptr;  // owned
    Kel2DViewpoint* viewpoint2D = nullptr;
    Kel3DViewpoint* viewpoint3D = nullptr;
    Kel3DViewport viewport3D;
    Kel2DViewport viewport2D;
    float modelSag = 0.0f;
    float modelCullingSize = 0.0f;
    float scaleFactor = 1.0f;
  };
  static constexpr int kInlineLevels = 50;

  Level& LevelAt(int depth) {
    return depth < kInlineLevels ? _levels[depth] : _deepLevels[depth - kInlineLevels];
  }
  void SaveLevel();
  // Both PushMatrix: the camera is saved, moved into the matrix's frame and
  // the matrix recorded.
  template <class Matrix>
  KelRender* PushLevel(const Matrix& m);
  void ReleaseLevels();
  int DefaultList() const;
  int ListOf(const KelGraphicAttributeSet& a) const;
  void Record(const std::intptr_t value, const int opcode);

  int _depth = 0;
  int _levelsUsed = 0;
  Level _levels[kInlineLevels];
  // Deeper nestings; kept for the rest of the render's life.
  std::vector<Level> _deepLevels;
  int _dynamicCopies = 0;
  KelViewpoint* _dynamicViewpoint = nullptr;  // owned by the display list
  KelViewport* _dynamicViewport = nullptr;    // owned by the display list
  KelDisplayList* _displayList = nullptr;
  int _currentElementList = 5;
  int _forcedElementList = 0;
};
