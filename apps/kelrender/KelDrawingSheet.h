// The drawing sheet kelrender --2d draws: an A4 landscape sheet (297 x 210
// model units, millimetres) with its frame, corner marks and title block, a
// plate with rounded corners and two holes, dimension lines with arrowheads,
// an L-shaped bracket, a curve, the symbols and markers in rows, texts of both
// kinds and a placed image, one hole highlighted. Every 2D Rep and primitive
// family shows in it.
#pragma once

class Kel2DBagRep;
class Kel2DViewpoint;

class KelDrawingSheet {
 public:
  // Builds the sheet's Reps.
  KelDrawingSheet();
  // Leaves the viewpoint it was attached to, then destroys the Reps.
  ~KelDrawingSheet();
  KelDrawingSheet(const KelDrawingSheet&) = delete;
  KelDrawingSheet& operator=(const KelDrawingSheet&) = delete;

  Kel2DBagRep* GetRoot() const { return _root; }
  // Shows the sheet in `viewpoint` (which must outlive the attachment),
  // framed for a support of the given size, pixels per millimetre and pixel
  // shape.
  void Attach(Kel2DViewpoint& viewpoint, float width, float height, float pixelsPerMM, float ratio);

 private:
  Kel2DBagRep* _root;
  Kel2DViewpoint* _viewpoint = nullptr;
};
