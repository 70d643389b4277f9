// The 2D Reps' records: bags with their matrices and the leaves, rebuilt from
// what they were made of. Layout in docs/marshalling.md.
#include "KelRepRecords.h"

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/images/KelPixelImage.h>
#include <kel/primitives/Kel2DArrowSymbolGP.h>
#include <kel/primitives/Kel2DCurveGP.h>
#include <kel/primitives/Kel2DImagePixelGP.h>
#include <kel/primitives/Kel2DLineGP.h>
#include <kel/primitives/Kel2DMarkerGP.h>
#include <kel/primitives/Kel2DPolygonGP.h>
#include <kel/primitives/Kel2DSimpleGeometricTextGP.h>
#include <kel/primitives/Kel2DSymbolGP.h>
#include <kel/reps/Kel2DArcCircleRep.h>
#include <kel/reps/Kel2DArrowSymbolRep.h>
#include <kel/reps/Kel2DBagRep.h>
#include <kel/reps/Kel2DCadreRep.h>
#include <kel/reps/Kel2DCrossRep.h>
#include <kel/reps/Kel2DCurveRep.h>
#include <kel/reps/Kel2DImagePixelRep.h>
#include <kel/reps/Kel2DLineRep.h>
#include <kel/reps/Kel2DPointRep.h>
#include <kel/reps/Kel2DPolygonRep.h>
#include <kel/reps/Kel2DSimpleGeometricTextRep.h>
#include <kel/reps/Kel2DSymbolRep.h>

#include <climits>

namespace kelmarsh {

namespace {

int Write2DBag(Writer& w, const KelRep& rep) {
  const auto& bag = static_cast<const Kel2DBagRep&>(rep);
  w.Common(bag);
  const Kel3x3Matrix* m = bag.GetMatrix();
  w.out.WriteInt(m ? 1 : 0);
  if (m) {
    Kelvector2f u, v;
    Kelpoint2f o;
    m->GetComponents(u, v, o);
    for (float x : {u.x, u.y, v.x, v.y, o.x, o.y}) w.out.WriteFloat(x);
  }
  w.Children(bag);
  return 0;
}

KelRep* Read2DBag(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  if (!r.Common(id, a)) return nullptr;
  int hasMatrix = 0;
  float m[6];
  r.in.ReadInt(hasMatrix);
  if (hasMatrix)
    for (float& x : m) r.in.ReadFloat(x);
  unsigned int n = 0;
  if (!r.Ok() || !r.Count(n, 4)) return nullptr;
  auto* bag = new Kel2DBagRep(id, r.controller);
  r.built.push_back(bag);
  bag->SetGraphicAttributeSet(a);
  if (hasMatrix)
    bag->SetMatrix(
        Kel3x3Matrix(Kelvector2f(m[0], m[1]), Kelvector2f(m[2], m[3]), Kelpoint2f(m[4], m[5])));
  for (unsigned int i = 0; i < n; ++i) {
    KelRep* child = r.Child();
    if (!child) return nullptr;
    auto* flat = dynamic_cast<Kel2DRep*>(child);
    if (!flat) return r.Fail("a 3D child in a 2D bag"), nullptr;
    bag->AddChild(*flat);
  }
  return bag;
}

// ---- Leaves

int Write2DPoint(Writer& w, const KelRep& rep) {
  const Kel2DMarkerGP* m = static_cast<const Kel2DPointRep&>(rep).GetMarker();
  if (!m || m->GetNbPoints() != 1) return Empty("Kel2DPointRep");
  w.Common(rep);
  w.out.WriteInt(m->GetSymbolType());
  w.Floats(m->GetPoints(), 2);
  return 0;
}

KelRep* Read2DPoint(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  int type = 0;
  float p[2];
  if (!r.Common(id, a)) return nullptr;
  r.in.ReadInt(type);
  if (!r.Floats(p, 2)) return nullptr;
  auto* rep = new Kel2DPointRep(p, static_cast<SymbolType>(type));
  r.Adopt(rep, id, a);
  return rep;
}

int Write2DLine(Writer& w, const KelRep& rep) {
  const Kel2DLineGP* l = static_cast<const Kel2DLineRep&>(rep).GetLine();
  if (!l || l->GetNbPoints() != 2) return Empty("Kel2DLineRep");
  w.Common(rep);
  w.Floats(l->GetPoints(), 4);
  return 0;
}

KelRep* Read2DLine(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  float p[4];
  if (!r.Common(id, a) || !r.Floats(p, 4)) return nullptr;
  auto* rep = new Kel2DLineRep(p);
  r.Adopt(rep, id, a);
  return rep;
}

int Write2DPolygon(Writer& w, const KelRep& rep) {
  const Kel2DPolygonGP* p = static_cast<const Kel2DPolygonRep&>(rep).GetPolygon();
  if (!p || p->GetNbPoints() < 1) return Empty("Kel2DPolygonRep");
  w.Common(rep);
  w.out.WriteInt(p->GetMode());
  w.out.WriteUnsignedInt(static_cast<unsigned int>(p->GetNbPoints()));
  w.Floats(p->GetPoints(), 2 * p->GetNbPoints());
  return 0;
}

KelRep* Read2DPolygon(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  int mode = 0;
  unsigned int n = 0;
  if (!r.Common(id, a)) return nullptr;
  r.in.ReadInt(mode);
  if (!r.Ok() || !r.Count(n, 8)) return nullptr;
  if (n == 0) return r.Fail("a polygon without points"), nullptr;
  std::vector<float> p(2 * std::size_t(n));
  if (!r.Floats(p.data(), static_cast<int>(p.size()))) return nullptr;
  auto* rep = new Kel2DPolygonRep(p.data(), static_cast<int>(n), mode);
  r.Adopt(rep, id, a);
  return rep;
}

// A 2D arc: centre, radius, start and end angles (any finite angles: the
// arc takes them modulo a turn).
int Write2DArc(Writer& w, const KelRep& rep) {
  const auto& c = static_cast<const Kel2DArcCircleRep&>(rep);
  if (!c.GetArc()) return Empty("Kel2DArcCircleRep");
  if (!SaneLength(c.GetRadius())) return Unsavable("Kel2DArcCircleRep");
  w.Common(rep);
  w.Floats(c.GetCenter(), 2);
  for (float x : {c.GetRadius(), c.GetStart(), c.GetEnd()}) w.out.WriteFloat(x);
  return 0;
}

KelRep* Read2DArc(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  float p[5];
  if (!r.Common(id, a) || !r.Floats(p, 5) || !r.Length(p[2])) return nullptr;
  auto* rep = new Kel2DArcCircleRep(p, p[2], p[3], p[4]);
  r.Adopt(rep, id, a);
  return rep;
}

// ---- Reps rebuilt from their parameters

// A stored value outside its enumeration, or a length the others are not
// held to, is refused both ways, with the kind named on saving.
int Refused(const char* name, const char* why) {
  std::cerr << "KelMarshalling: a " << name << " of " << why << " cannot be saved." << std::endl;
  return 1;
}

// The restore refuses coordinates that are not finite.
bool Finite(const float* v, int n) {
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(v[i])) return false;
  return true;
}
int NotFinite(const char* name) {
  return Refused(name, "a coordinate that is not finite");
}

bool SaneSymbol(int type) {
  return type >= DEFAULT_SYMBOL && type <= FILLED_TRIANGLE_SYMBOL;
}

// Lengths within kMaxLength, and the arms' slope k b / a (computed as the
// Rep does) finite: otherwise the cross is made of infinite points.
bool SaneCross(float a, float b, float k) {
  if (!SaneLength(a) || !SaneLength(b) || !SaneLength(k)) return false;
  return k == 0.0f || a == 0.0f || std::isfinite(k * b / a);
}

// A cross: centre (two floats), a, b and k.
int Write2DCross(Writer& w, const KelRep& rep) {
  const auto& c = static_cast<const Kel2DCrossRep&>(rep);
  if (c.GetNbSegments() == 0) return Empty("Kel2DCrossRep");
  if (!Finite(c.GetCenter().GetCoord(), 2)) return NotFinite("Kel2DCrossRep");
  if (!SaneCross(c.GetA(), c.GetB(), c.GetK()))
    return Refused("Kel2DCrossRep", "lengths beyond their bounds");
  w.Common(rep);
  w.Floats(c.GetCenter().GetCoord(), 2);
  for (float x : {c.GetA(), c.GetB(), c.GetK()}) w.out.WriteFloat(x);
  return 0;
}

KelRep* Read2DCross(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  float p[5];
  if (!r.Common(id, a) || !r.Floats(p, 5)) return nullptr;
  if (!SaneCross(p[2], p[3], p[4]))
    return r.Fail("a cross of lengths beyond their bounds"), nullptr;
  Kelpoint2f c(p[0], p[1]);
  auto* rep = new Kel2DCrossRep(c, p[2], p[3], p[4]);
  r.Adopt(rep, id, a);
  return rep;
}

// Frame corners: corner (i32, 0 to 4), centre, dx, dy and the legs' length.
int Write2DCadre(Writer& w, const KelRep& rep) {
  const auto& c = static_cast<const Kel2DCadreRep&>(rep);
  if (c.GetNbCorners() == 0) return Empty("Kel2DCadreRep");
  if (!Finite(c.GetCenter().GetCoord(), 2)) return NotFinite("Kel2DCadreRep");
  if (!SaneLength(c.GetDx()) || !SaneLength(c.GetDy()) || !SaneLength(c.GetLength()))
    return Refused("Kel2DCadreRep", "lengths beyond their bounds");
  w.Common(rep);
  w.out.WriteInt(c.GetCadreCorner());
  w.Floats(c.GetCenter().GetCoord(), 2);
  for (float x : {c.GetDx(), c.GetDy(), c.GetLength()}) w.out.WriteFloat(x);
  return 0;
}

KelRep* Read2DCadre(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  int corner = 0;
  float p[5];
  if (!r.Common(id, a)) return nullptr;
  r.in.ReadInt(corner);
  if (!r.Floats(p, 5)) return nullptr;
  if (corner < ALL_CADRE_CORNERS || corner > BOTTOM_RIGHT_CADRE_CORNER)
    return r.Fail("frame corners of an unknown corner"), nullptr;
  if (!SaneLength(p[2]) || !SaneLength(p[3]) || !SaneLength(p[4]))
    return r.Fail("frame corners of lengths beyond their bounds"), nullptr;
  auto* rep = new Kel2DCadreRep(Kelpoint2f(p[0], p[1]), p[2], p[3], p[4], CadreRepCorner(corner));
  r.Adopt(rep, id, a);
  return rep;
}

// A symbol: type (i32, 1 to 22), point (two floats), size (float, mm).
int Write2DSymbol(Writer& w, const KelRep& rep) {
  const Kel2DSymbolGP* s = static_cast<const Kel2DSymbolRep&>(rep).GetSymbol();
  if (!s) return Empty("Kel2DSymbolRep");
  if (!Finite(s->GetPosition(), 2)) return NotFinite("Kel2DSymbolRep");
  if (!SaneSymbol(s->GetSymbolType()) || !SaneLength(s->GetSize()))
    return Refused("Kel2DSymbolRep", "an unknown type or a size beyond its bounds");
  w.Common(rep);
  w.out.WriteInt(s->GetSymbolType());
  w.Floats(s->GetPosition(), 2);
  w.out.WriteFloat(s->GetSize());
  return 0;
}

KelRep* Read2DSymbol(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  int type = 0;
  float p[3];
  if (!r.Common(id, a)) return nullptr;
  r.in.ReadInt(type);
  if (!r.Floats(p, 3)) return nullptr;
  if (!SaneSymbol(type)) return r.Fail("a symbol of an unknown type"), nullptr;
  if (!SaneLength(p[2])) return r.Fail("a symbol size beyond its bounds"), nullptr;
  auto* rep = new Kel2DSymbolRep(p, p[2], SymbolType(type));
  r.Adopt(rep, id, a);
  return rep;
}

// An arrowhead: type (i32, 1 to 22), tip and direction (four floats), size
// (float, mm) and half-angle (float, radians, -10^6 to 10^6).
int Write2DArrow(Writer& w, const KelRep& rep) {
  const Kel2DArrowSymbolGP* s = static_cast<const Kel2DArrowSymbolRep&>(rep).GetArrow();
  if (!s) return Empty("Kel2DArrowSymbolRep");
  if (!Finite(s->GetPosition(), 2) || !Finite(s->GetDirection(), 2))
    return NotFinite("Kel2DArrowSymbolRep");
  if (!SaneSymbol(s->GetSymbolType()) || !SaneLength(s->GetSize()) ||
      !SaneAngles(s->GetHalfAngle(), 0.0f))
    return Refused("Kel2DArrowSymbolRep", "an unknown type or a size or angle beyond its bounds");
  w.Common(rep);
  w.out.WriteInt(s->GetSymbolType());
  w.Floats(s->GetPosition(), 2);
  w.Floats(s->GetDirection(), 2);
  for (float x : {s->GetSize(), s->GetHalfAngle()}) w.out.WriteFloat(x);
  return 0;
}

KelRep* Read2DArrow(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  int type = 0;
  float p[6];
  if (!r.Common(id, a)) return nullptr;
  r.in.ReadInt(type);
  if (!r.Floats(p, 6)) return nullptr;
  if (!SaneSymbol(type)) return r.Fail("an arrowhead of an unknown type"), nullptr;
  if (!SaneLength(p[4]) || !SaneAngles(p[5], 0.0f))
    return r.Fail("an arrowhead size or angle beyond its bounds"), nullptr;
  auto* rep = new Kel2DArrowSymbolRep(p, p + 2, p[4], p[5], SymbolType(type));
  r.Adopt(rep, id, a);
  return rep;
}

// A curve: sag (float), segment count (u32), point count (u32, at least 1),
// the points of each segment (i32 each, at least 1, adding up to the point
// count plus the segment count minus 1), the points (two floats each).
int Write2DCurve(Writer& w, const KelRep& rep) {
  const Kel2DCurveGP* c = static_cast<const Kel2DCurveRep&>(rep).GetCurve();
  if (!c || c->GetNbPoints() < 1) return Empty("Kel2DCurveRep");
  if (!Finite(c->GetPoints(), 2 * c->GetNbPoints())) return NotFinite("Kel2DCurveRep");
  if (!std::isfinite(c->GetSag())) return Refused("Kel2DCurveRep", "a sag that is not finite");
  w.Common(rep);
  w.out.WriteFloat(c->GetSag());
  w.out.WriteUnsignedInt(static_cast<unsigned int>(c->GetNbSegments()));
  w.out.WriteUnsignedInt(static_cast<unsigned int>(c->GetNbPoints()));
  w.Ints(c->GetPointsPerSegment(), c->GetNbSegments());
  w.Floats(c->GetPoints(), 2 * c->GetNbPoints());
  return 0;
}

KelRep* Read2DCurve(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  float sag = 0;
  unsigned int ns = 0, np = 0;
  std::vector<int> perSegment;
  if (!r.Common(id, a) || !r.Floats(&sag, 1) || !r.Count(ns, 4) || !r.Count(np, 8) ||
      !r.Ints(perSegment, ns))
    return nullptr;
  if (np == 0) return r.Fail("a curve without points"), nullptr;
  // The counts the curve itself would refuse, leaving it empty.
  if (ns > 0) {
    std::uint64_t sum = 0;
    for (int n : perSegment) {
      if (n < 1) return r.Fail("a curve segment without points"), nullptr;
      sum += static_cast<unsigned int>(n);
    }
    if (sum != std::uint64_t(np) + ns - 1)
      return r.Fail("curve segments that do not add up to its points"), nullptr;
  }
  std::vector<float> p(2 * std::size_t(np));
  if (!r.Floats(p.data(), static_cast<int>(p.size()))) return nullptr;
  auto* rep = new Kel2DCurveRep(sag, static_cast<int>(ns), static_cast<int>(np), perSegment.data(),
                                p.data());
  r.Adopt(rep, id, a);
  return rep;
}

// A text: position (two floats), anchor (i32, 0 to 8), height (float),
// text present (i32), the text (a string, at most kMaxText characters).
constexpr unsigned int kMaxText = 4095;

int Write2DText(Writer& w, const KelRep& rep) {
  const Kel2DSimpleGeometricTextGP* t =
      static_cast<const Kel2DSimpleGeometricTextRep&>(rep).GetText();
  if (!t) return Empty("Kel2DSimpleGeometricTextRep");
  if (!Finite(t->GetPosition(), 2)) return NotFinite("Kel2DSimpleGeometricTextRep");
  if (int(t->GetAnchor()) < BOTTOM_LEFT || int(t->GetAnchor()) > TOP_RIGHT ||
      !SaneLength(t->GetHeight()) || (t->GetText() && std::strlen(t->GetText()) > kMaxText))
    return Refused("Kel2DSimpleGeometricTextRep",
                   "an unknown anchor, a height beyond its bounds or a text too long");
  w.Common(rep);
  w.Floats(t->GetPosition(), 2);
  w.out.WriteInt(t->GetAnchor());
  w.out.WriteFloat(t->GetHeight());
  w.out.WriteInt(t->GetText() ? 1 : 0);
  if (t->GetText()) w.out.WriteString(t->GetText());
  return 0;
}

// A string as WriteString writes it, its length bounded before it is read.
bool Text(Reader& r, std::string& text) {
  unsigned int size = 0;
  if (!r.Count(size, 1)) return false;
  if (size == 0 || size > kMaxText + 1) return r.Fail("a text too long");
  text.resize(size);
  if (r.in.ReadBytes(&text[0], size) != 0) return r.Fail("truncated");
  // The text is kept up to its first zero: one inside would not come back.
  if (text.back() != '\0' || text.find('\0') != size - 1)
    return r.Fail("a text without its end or with a zero inside");
  text.pop_back();
  return true;
}

KelRep* Read2DText(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  float p[3];
  int anchor = 0, present = 0;
  std::string text;
  if (!r.Common(id, a) || !r.Floats(p, 2)) return nullptr;
  r.in.ReadInt(anchor);
  if (!r.Floats(p + 2, 1)) return nullptr;
  r.in.ReadInt(present);
  if (!r.Ok()) return nullptr;
  if (anchor < BOTTOM_LEFT || anchor > TOP_RIGHT)
    return r.Fail("a text of an unknown anchor"), nullptr;
  if (!SaneLength(p[2])) return r.Fail("a text height beyond its bounds"), nullptr;
  if (present && !Text(r, text)) return nullptr;
  auto* rep = new Kel2DSimpleGeometricTextRep(p, present ? text.c_str() : nullptr,
                                              AnchorPoint(anchor), p[2]);
  r.Adopt(rep, id, a);
  return rep;
}

// An image: position (two floats), display mode (i32, 0 to 2), alpha mode
// (i32, 0 or 1), image present (i32), then width and height (i32, 1 to
// kMaxImageSide), format (i32, 0 to 3), pixel sizes (two floats) and the
// pixels, raw, bottom row first.
constexpr int kMaxImageSide = 65535;

bool SaneImage(int width, int height, int format, float xSize, float ySize) {
  if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) return false;
  if (format < PixelImageOneByte || format > PixelImageRGBA) return false;
  // The image holds its byte count in an int.
  const std::uint64_t bytes = std::uint64_t(width) * std::uint64_t(height) *
                              std::uint64_t(KelPixelImage::BytesPerPixel(PixelImageFormat(format)));
  return bytes <= INT_MAX && SaneLength(xSize) && SaneLength(ySize);
}

int Write2DImage(Writer& w, const KelRep& rep) {
  const auto& x = static_cast<const Kel2DImagePixelRep&>(rep);
  const Kel2DImagePixelGP* gp = x.GetImagePixel();
  if (!gp) return Empty("Kel2DImagePixelRep");
  if (!Finite(gp->GetPosition(), 2)) return NotFinite("Kel2DImagePixelRep");
  const KelPixelImage* image = x.GetPixelImage();
  int width = 0, height = 0;
  if (image) image->GetSize(width, height);
  if (gp->GetDisplayMode() < 0 || gp->GetDisplayMode() > 2 ||
      (image && (!SaneImage(width, height, image->GetFormat(), image->GetXPixelSize(),
                            image->GetYPixelSize()) ||
                 !image->GetPixelsToRead())))
    return Refused("Kel2DImagePixelRep", "an unknown mode or an image beyond its bounds");
  w.Common(rep);
  w.Floats(gp->GetPosition(), 2);
  w.out.WriteInt(gp->GetDisplayMode());
  w.out.WriteInt(gp->GetAlphaMode() ? 1 : 0);
  w.out.WriteInt(image ? 1 : 0);
  if (!image) return 0;
  for (int v : {width, height, int(image->GetFormat())}) w.out.WriteInt(v);
  for (float v : {image->GetXPixelSize(), image->GetYPixelSize()}) w.out.WriteFloat(v);
  w.out.WriteBytes(image->GetPixelsToRead(),
                   std::size_t(width) * std::size_t(height) *
                       std::size_t(KelPixelImage::BytesPerPixel(image->GetFormat())));
  return 0;
}

KelRep* Read2DImage(Reader& r) {
  KelModelIdentificator id;
  KelGraphicAttributeSet a;
  float p[2], sizes[2] = {0, 0};
  int mode = 0, alpha = 0, present = 0, width = 0, height = 0, format = 0;
  std::vector<unsigned char> pixels;
  if (!r.Common(id, a) || !r.Floats(p, 2)) return nullptr;
  for (int* v : {&mode, &alpha, &present}) r.in.ReadInt(*v);
  if (!r.Ok()) return nullptr;
  if (mode < 0 || mode > 2 || alpha < 0 || alpha > 1)
    return r.Fail("an image of an unknown mode"), nullptr;
  if (present) {
    for (int* v : {&width, &height, &format}) r.in.ReadInt(*v);
    if (!r.Floats(sizes, 2)) return nullptr;
    if (!SaneImage(width, height, format, sizes[0], sizes[1]))
      return r.Fail("an image of sizes or format beyond their bounds"), nullptr;
    const std::size_t bytes = std::size_t(width) * std::size_t(height) *
                              std::size_t(KelPixelImage::BytesPerPixel(PixelImageFormat(format)));
    if (bytes > r.in.GetRemaining()) return r.Fail("an image larger than the file"), nullptr;
    pixels.resize(bytes);
    if (r.in.ReadBytes(pixels.data(), bytes) != 0) return r.Fail("truncated"), nullptr;
  }
  // The Rep keeps its own copy of the image, which borrows the pixels here.
  std::unique_ptr<KelPixelImage> image;
  if (present) {
    image.reset(new KelPixelImage(width, height, PixelImageFormat(format), pixels.data()));
    image->SetXPixelSize(sizes[0]);
    image->SetYPixelSize(sizes[1]);
  }
  auto* rep = new Kel2DImagePixelRep(p, image.get(), mode);
  r.Adopt(rep, id, a);
  if (alpha) rep->AlphaModeOn();
  // A copy the allocator could not make leaves an empty image.
  if (present && (!rep->GetPixelImage() || !rep->GetPixelImage()->GetPixelsToRead()))
    return r.Fail("an image that could not be copied"), nullptr;
  return rep;
}

}  // namespace

const Kind k2DKinds[] = {
    {"Kel2DBagRep", typeid(Kel2DBagRep), Write2DBag, Read2DBag},
    {"Kel2DPointRep", typeid(Kel2DPointRep), Write2DPoint, Read2DPoint},
    {"Kel2DLineRep", typeid(Kel2DLineRep), Write2DLine, Read2DLine},
    {"Kel2DPolygonRep", typeid(Kel2DPolygonRep), Write2DPolygon, Read2DPolygon},
    {"Kel2DArcCircleRep", typeid(Kel2DArcCircleRep), Write2DArc, Read2DArc},
    {"Kel2DCrossRep", typeid(Kel2DCrossRep), Write2DCross, Read2DCross},
    {"Kel2DCadreRep", typeid(Kel2DCadreRep), Write2DCadre, Read2DCadre},
    {"Kel2DSymbolRep", typeid(Kel2DSymbolRep), Write2DSymbol, Read2DSymbol},
    {"Kel2DArrowSymbolRep", typeid(Kel2DArrowSymbolRep), Write2DArrow, Read2DArrow},
    {"Kel2DCurveRep", typeid(Kel2DCurveRep), Write2DCurve, Read2DCurve},
    {"Kel2DSimpleGeometricTextRep", typeid(Kel2DSimpleGeometricTextRep), Write2DText, Read2DText},
    {"Kel2DImagePixelRep", typeid(Kel2DImagePixelRep), Write2DImage, Read2DImage},
};
const std::size_t k2DKindCount = sizeof k2DKinds / sizeof k2DKinds[0];

}  // namespace kelmarsh
