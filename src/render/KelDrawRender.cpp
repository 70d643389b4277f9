#include <kel/render/KelDrawRender.h>

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/primitives/Kel3DCylinderGP.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/primitives/Kel3DLineGP.h>
#include <kel/primitives/Kel3DMarkerGP.h>
#include <kel/primitives/Kel3DPlanarFaceGP.h>
#include <kel/primitives/Kel3DPolylineGP.h>
#include <kel/primitives/KelDynamicGP.h>
#include <kel/render/KelDisplayList.h>
#include <kel/viewpoints/KelViewpoint.h>

KelDrawRender::KelDrawRender() = default;
KelDrawRender::KelDrawRender(const KelSupport& support) : KelRender(support) {}
KelDrawRender::KelDrawRender(const KelDrawRender& other) : KelRender(other) {}
KelDrawRender::~KelDrawRender() = default;

void KelDrawRender::BeginDraw(KelViewpoint& viewpoint) {
  _passWord = 0;
  KelRender::BeginDraw(viewpoint);
}

void KelDrawRender::EndDraw(KelViewpoint& viewpoint) {
  KelRender::EndDraw(viewpoint);
}

void KelDrawRender::Draw(KelViewpoint& viewpoint) {
  KelDisplayList* dl = viewpoint.GetDisplayList();
  if (!dl) return;
  if (dl->GetType() == DISPLAY_LIST_2D) {
    BeginDrawDL(ELEMENT_OVERLAY_DEFAULT);
    DrawDL(*dl, ELEMENT_OVERLAY_DEFAULT);
    return;
  }
  for (int t = ELEMENT_LIGHT_SOURCES; t <= ELEMENT_DEFAULT; ++t) {
    BeginDrawDL(static_cast<ELEMENT_TYPE>(t));
    DrawDL(*dl, static_cast<ELEMENT_TYPE>(t));
  }
}

void KelDrawRender::BeginDrawDL(ELEMENT_TYPE) {}

namespace {

// Primitives are recorded as their KelGraphicPrimitive address.
inline KelGraphicPrimitive* Primitive(const intptr_t value) {
  return reinterpret_cast<KelGraphicPrimitive*>(value);
}

// Draws the entry on the render of the innermost matrix when it is a
// primitive; false for the entries that change the replay's state. The operand
// is the value of the OP_VALUE entry before, if any. Primitives, the bulk of a
// list, go through one switch.
inline bool DrawPrimitive(KelRender& top, const int opcode, KelGraphicPrimitive* gp,
                          const intptr_t operand) {
  switch (opcode) {
    case KelDisplayList::OP_3D_POLYLINE:
      top.Draw3DPolyline(*static_cast<Kel3DPolylineGP*>(gp));
      return true;
    case KelDisplayList::OP_3D_MARKER:
      top.Draw3DMarker(*static_cast<Kel3DMarkerGP*>(gp));
      return true;
    case KelDisplayList::OP_LIGHT_SOURCE:
      top.DrawLightSource(*reinterpret_cast<Kel3DLightSourceGP*>(gp));
      return true;
    case KelDisplayList::OP_3D_LINE:
      top.Draw3DLine(*static_cast<Kel3DLineGP*>(gp));
      return true;
    case KelDisplayList::OP_3D_FACE:
      top.Draw3DFace(*static_cast<Kel3DFaceGP*>(gp));
      return true;
    case KelDisplayList::OP_3D_PLANAR_FACE:
      top.Draw3DPlanarFace(*static_cast<Kel3DPlanarFaceGP*>(gp));
      return true;
    case KelDisplayList::OP_3D_EDGE:
      top.Draw3DEdge(*static_cast<Kel3DEdgeGP*>(gp));
      return true;
    case KelDisplayList::OP_3D_CYLINDER:
      top.Draw3DCylinder(*static_cast<Kel3DCylinderGP*>(gp), static_cast<int>(operand));
      return true;
    case KelDisplayList::OP_WIREFRAME_3D_CYLINDER:
      top.DrawWireframe3DCylinder(*static_cast<Kel3DCylinderGP*>(gp));
      return true;
    case KelDisplayList::OP_3D_ANNOTATION_TEXT:
      top.Draw3DAnnotationText(*reinterpret_cast<Kel3DAnnotationTextGP*>(gp));
      return true;
    case KelDisplayList::OP_2D_POLYLINE:
      top.Draw2DPolyline(*reinterpret_cast<Kel2DPolylineGP*>(gp));
      return true;
    case KelDisplayList::OP_2D_RECTANGLE:
      top.Draw2DRectangle(*reinterpret_cast<Kel2DRectangleGP*>(gp));
      return true;
    case KelDisplayList::OP_2D_LINE:
      top.Draw2DLine(*reinterpret_cast<Kel2DLineGP*>(gp));
      return true;
    case KelDisplayList::OP_2D_POLYGON:
      top.Draw2DPolygon(*reinterpret_cast<Kel2DPolygonGP*>(gp));
      return true;
    case KelDisplayList::OP_2D_SIMPLE_GEOMETRIC_TEXT:
      top.Draw2DSimpleGeometricText(*reinterpret_cast<Kel2DSimpleGeometricTextGP*>(gp));
      return true;
    case KelDisplayList::OP_2D_ANNOTATION_TEXT:
      top.Draw2DAnnotationText(*reinterpret_cast<Kel2DAnnotationTextGP*>(gp));
      return true;
    case KelDisplayList::OP_2D_MARKER:
      top.Draw2DMarker(*reinterpret_cast<Kel2DMarkerGP*>(gp));
      return true;
    default:
      return false;
  }
}

}  // namespace

void KelDrawRender::PopPushed() {
  KelRender* child = _stack.back();
  _stack.pop_back();
  _stack.back()->PopMatrix(child);
}

void KelDrawRender::DrawDL(KelDisplayList& dl, ELEMENT_TYPE type) {
  const int count = dl.GetCount(type);
  const int* opcodes = dl.GetOpcodes(type);
  const intptr_t* values = dl.GetValues(type);
  // The stack's bottom is this render; pushes past any fixed depth grow it.
  _stack.clear();
  _stack.push_back(this);
  intptr_t operand = 0;
  KelViewpoint* dynamicViewpoint = nullptr;
  KelViewport* dynamicViewport = nullptr;
  for (int i = 0; i < count; ++i) {
    KelRender& top = *_stack.back();
    const intptr_t value = values[i];
    if (DrawPrimitive(top, opcodes[i], Primitive(value), operand)) continue;
    switch (opcodes[i]) {
      case KelDisplayList::OP_VALUE:
        operand = value;
        break;
      case KelDisplayList::OP_ATTRIBUTE:
        top.SetCurrentAttribute(static_cast<int>(value), static_cast<int>(operand));
        break;
      case KelDisplayList::OP_INHERIT_FOREGROUND:
        top.InheritForeground(static_cast<int>(value));
        break;
      case KelDisplayList::OP_PUSH_MATRIX_4X4:
        _stack.push_back(top.PushMatrix(*reinterpret_cast<Kel4x4Matrix*>(value)));
        break;
      case KelDisplayList::OP_PUSH_MATRIX_3X3:
        _stack.push_back(top.PushMatrix(*reinterpret_cast<Kel3x3Matrix*>(value)));
        break;
      case KelDisplayList::OP_POP_MATRIX:
        if (_stack.size() > 1) PopPushed();
        break;
      case KelDisplayList::OP_DYNAMIC_VIEWPOINT:
        dynamicViewpoint = reinterpret_cast<KelViewpoint*>(value);
        break;
      case KelDisplayList::OP_DYNAMIC_VIEWPORT:
        dynamicViewport = reinterpret_cast<KelViewport*>(value);
        break;
      case KelDisplayList::OP_DYNAMIC_GP:
        if (auto* draw = dynamic_cast<KelDrawRender*>(&top))
          draw->DrawDynamicGP(*static_cast<KelDynamicGP*>(Primitive(value)), dynamicViewpoint,
                              dynamicViewport);
        break;
      case KelDisplayList::OP_FURTIVE_ON:
        top.SetFurtiveOn();
        break;
      case KelDisplayList::OP_FURTIVE_OFF:
        top.SetFurtiveOff();
        break;
      case KelDisplayList::OP_POLYGON_OFFSET_ON:
        top.SetPolygonOffsetOn();
        break;
      case KelDisplayList::OP_POLYGON_OFFSET_OFF:
        top.SetPolygonOffsetOff();
        break;
      default:
        break;
    }
  }
  // A list that ends inside pushed matrices still hands every render back.
  while (_stack.size() > 1) PopPushed();
}

void KelDrawRender::DrawDynamicGP(KelDynamicGP& gp, KelViewpoint* viewpoint,
                                  KelViewport* viewport) {
  if (!viewpoint) return;
  KelViewpoint* savedViewpoint = _viewpointCopy;
  KelViewport* savedViewport = _viewportCopy;
  const float savedScale = _scaleFactor, savedCulling = _modelCullingSize, savedSag = _modelSag;
  SetCameraCopies(viewpoint, viewport);
  _scaleFactor = viewpoint->GetScaleFactor(_width, _height, _mmInSupportUnit, _pixelRatio);
  _modelCullingSize = _cullingPrecision * _scaleFactor;
  _modelSag = _sagPrecision * _scaleFactor;
  DrawDynamicGP(gp);
  // The recorded copies belong to the display list.
  SetCameraCopies(savedViewpoint, savedViewport);
  _scaleFactor = savedScale;
  _modelCullingSize = savedCulling;
  _modelSag = savedSag;
}

void KelDrawRender::DrawDynamicGP(KelDynamicGP& gp) {
  gp.ImmediateDraw(*this, _viewpointCopy, _viewportCopy);
}
