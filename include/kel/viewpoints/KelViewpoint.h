// The camera of a viewer, shared by the 2D and 3D cameras: the zoom and its
// bounds, the Reps shown through the camera, the display lists built for it,
// its culling viewport, and the events that tell viewers to redraw.
//
// Every change ends in Modify(), which dispatches "VIEWPOINT_MODIFIED"; inside
// BeginModification() ... EndModification() the changes are gathered into one
// event sent by the outermost EndModification(). StartAnimation() and
// StopAnimation() bracket a camera animation with "VIEWPOINT_ANIMATION_STARTED"
// and "VIEWPOINT_ANIMATION_STOPED", sent by the outermost calls only.
//
// Window parameters: every conversion takes, after its own arguments, the
// support's width and height in pixels, its pixels per millimetre and its pixel
// width-to-height ratio. Pixel y grows downwards from the top left corner.
#pragma once

#include <kel/framework/KelCallbackManager.h>
#include <kel/framework/KelEventSubscriber.h>
#include <kel/framework/Kelpoint2f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/framework/list.h>
#include <kel/viewpoints/KelViewport.h>

#include <memory>

class KelDisplayList;
class KelRep;

class KelViewpoint : public KelEventSubscriber {
 public:
  // Zoom 1, not framed yet.
  KelViewpoint();
  // A camera built with an explicit zoom counts as framed.
  explicit KelViewpoint(float zoom);
  // Copies zoom, bounds and the framed flag and clones the viewport; Reps,
  // display lists, brackets and subscribers stay with the original.
  KelViewpoint(const KelViewpoint& other);
  ~KelViewpoint() override;

  KEL_DECLARE_META(KelViewpoint);

  // Copies zoom, bounds and the framed flag, then Modify().
  KelViewpoint& operator=(const KelViewpoint& other);

  // The publisher of the camera's events, created on first request.
  virtual KelCallbackManager* GetCallbackManager();
  virtual float GetZoom() const;
  // Clamped into the bounds; an unchanged zoom sends nothing.
  virtual void SetZoom(const float& zoom);
  virtual float GetMinimumZoomBound() const;
  virtual float GetMaximumZoomBound() const;
  // The bounds are put in order, then the zoom is clamped into them.
  virtual void SetZoomBounds(const float& a, const float& b);
  virtual void BeginModification();
  virtual void EndModification();
  virtual void StartAnimation(void* data);
  virtual void StopAnimation(void* data);
  virtual KelViewpoint* Clone() const = 0;
  // Copies `viewport` into the owned one when it is of the camera's kind.
  virtual void SetViewport(const KelViewport& viewport);
  virtual void InitDisplayList();
  // The model ray through pixel (x, y): P on the near plane, Q on the far plane.
  virtual void ComputeModelFromPixel(float x, float y, Kelpoint3f& P, Kelpoint3f& Q, float width,
                                     float height, float pixelsPerMM, float ratio) const;
  virtual void ComputePixelFromModel(const Kelpoint3f& M, Kelpoint2f& p, float width, float height,
                                     float pixelsPerMM, float ratio) const = 0;
  virtual void Reframe(float width, float height, float pixelsPerMM, float ratio);
  // Fills the owned viewport with what the pixel rectangle centred on (x, y),
  // of half sizes (dx, dy), shows; answers that viewport (still owned).
  virtual KelViewport* CreateViewportFrom(float x, float y, float dx, float dy, float width,
                                          float height, float pixelsPerMM, float ratio);
  // Model length of one pixel.
  virtual float GetScaleFactor(float width, float height, float pixelsPerMM, float ratio) const;
  virtual int SizeOf() const;
  virtual void Modify();

  KelViewport* GetViewport() const { return _viewport.get(); }
  KelDisplayList* GetDisplayList() const { return _displayList; }
  KelDisplayList* GetBrotherDisplayList() const { return _brotherDisplayList; }
  // The camera owns what it is given; the one it held is not deleted, so that
  // the two lists can be swapped.
  void SetDisplayList(KelDisplayList* displayList) { _displayList = displayList; }
  void SetBrotherDisplayList(KelDisplayList* displayList) { _brotherDisplayList = displayList; }
  list<KelRep*>& GetRepList() { return _repList; }
  const list<KelRep*>& GetRepList() const { return _repList; }
  list<KelRep*>& GetFurtiveRepList() { return _furtiveRepList; }
  const list<KelRep*>& GetFurtiveRepList() const { return _furtiveRepList; }

  int IsEmpty() const { return _repList.Count() == 0 && _furtiveRepList.Count() == 0; }
  int IsInitDone() const { return _initDone; }
  // Clone() with both Rep lists (entries and cursor).
  KelViewpoint* CloneWidthRep() const;

  static const char* VIEWPOINT_MODIFIED();
  static const char* VIEWPOINT_ANIMATION_STARTED();
  static const char* VIEWPOINT_ANIMATION_STOPED();

 protected:
  // The owned viewport, for the derived cameras that create and fill it.
  void SetOwnedViewport(KelViewport* viewport);

  float _zoom = 1.0f;
  float _minimumZoom = 1.0e-10f;
  float _maximumZoom = 1.0e10f;
  int _modificationDepth = 0;
  int _modificationPending = 0;
  int _animationCounter = 0;
  list<KelRep*> _repList;
  list<KelRep*> _furtiveRepList;
  KelDisplayList* _displayList = nullptr;
  KelDisplayList* _brotherDisplayList = nullptr;
  std::unique_ptr<KelViewport> _viewport;
  int _initDone = 0;
  std::unique_ptr<KelCallbackManager> _callbackManager;
};
