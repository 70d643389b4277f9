// The render of the draw pass: it walks no Rep but replays the display list
// the culling pass recorded in the viewpoint, element list by element list,
// calling its own typed operations, which a driver's render implements.
#pragma once

#include <kel/render/KelRender.h>

#include <vector>

class KelDisplayList;

class KelDrawRender : public KelRender {
 public:
  explicit KelDrawRender(const KelSupport& support);
  KelDrawRender(const KelDrawRender& other);
  ~KelDrawRender() override;

  void BeginDraw(KelViewpoint& viewpoint) override;
  void Draw(KelViewpoint& viewpoint) override;
  void EndDraw(KelViewpoint& viewpoint) override;
  void DrawDynamicGP(KelDynamicGP& gp) override;
  // Prepares the drawing of one element list (empty here).
  virtual void BeginDrawDL(ELEMENT_TYPE type);
  virtual void DrawDL(KelDisplayList& list, ELEMENT_TYPE type);

  // Draws a dynamic primitive with the camera recorded at culling time.
  void DrawDynamicGP(KelDynamicGP& gp, KelViewpoint* viewpoint, KelViewport* viewport);

 protected:
  KelDrawRender();

 protected:
  // Two words of the draw pass kept for the driver's renders; 0 until they set them.
  int _drawWord1 = 0;
  int _drawWord2 = 0;

 private:
  // Pops the innermost pushed render, handing it back to the one below.
  void PopPushed();

  // Renders pushed by the replay; reused from list to list.
  std::vector<KelRender*> _stack;
};
