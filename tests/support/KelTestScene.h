// The scene fixtures every test folder shares: a support that draws nothing, a
// leaf drawing the primitives it holds, a primitive that names itself in a
// recording render's log, square faces, the usual camera, and one pass of
// culling or picking.
#pragma once

#include <kel/framework/KelEventSubscriber.h>
#include <kel/primitives/KelGraphicPrimitive.h>
#include <kel/render/KelSupport.h>
#include <kel/reps/Kel3DRep.h>
#include <kel/viewpoints/Kel3DViewpoint.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class Kel3DFaceGP;
class KelDisplayList;
class KelPickPath;
class KelPickPathList;
class KelViewpoint;

namespace keltest {

// An attribute set of the given colour and flags.
inline KelGraphicAttributeSet Look(unsigned char colour, unsigned char flags = 0) {
  KelGraphicAttributeSet a;
  a.color = colour;
  a.flags = flags;
  return a;
}

// A support of the given size in pixels (one pixel a millimetre) that has no
// window: enough for culling and picking passes.
class TestSupport : public KelSupport {
 public:
  explicit TestSupport(int width = 200, int height = 100) : KelSupport(width, height) {}
  int MakeCurrent() override { return 1; }
  void ReadPixels() override {}
};

// Writes "Draw <name>" into a recording render's log. Counts the live ones and
// keeps the names of the deleted ones in the order of their deletion.
class NamedGP : public KelGraphicPrimitive {
 public:
  static int alive;
  static std::vector<std::string> deleted;

  explicit NamedGP(std::string name) : _name(std::move(name)) { ++alive; }
  ~NamedGP() override;
  void Draw(KelRender& render) override;

 private:
  std::string _name;
};

// A leaf that draws the primitives it holds inside its sphere, and releases
// them unless `owned` is cleared. `onDraw` runs once the leaf is found visible.
class GPLeaf : public Kel3DRep {
 public:
  explicit GPLeaf(std::vector<KelGraphicPrimitive*> gps = {},
                  const Kelpoint3f& centre = Kelpoint3f(0, 0, 0), float radius = 1.0f);
  ~GPLeaf() override;
  void DrawShading(KelRender& render, int inside) override;
  // Attribute shorthands.
  GPLeaf& Flags(unsigned char flags);
  GPLeaf& RGBA(unsigned char r, unsigned char g, unsigned char b, unsigned char a);

  std::vector<KelGraphicPrimitive*> gps;
  std::function<void(KelRender&)> onDraw;
  bool owned = true;
  int drawn = 0;
};

// A square of side 2 half around (x, y) in the plane z: two triangles turning
// counter-clockwise seen from +z, and the normal +z.
Kel3DFaceGP* SquareFace(float x, float y, float z, float half);

// An eye at (0, 0, 10) looking down -z, y up: near 1 and far 100 fixed, focus
// 10, half angle 15 degrees.
std::unique_ptr<Kel3DViewpoint> TopCamera();

// One culling pass of the viewpoint into its display list.
void Cull(KelSupport& support, KelViewpoint& viewpoint);

// The entries of one list of a display list: opcode and value.
using Stream = std::vector<std::pair<int, std::intptr_t>>;
Stream StreamOf(const KelDisplayList& list, int elementList);
template <class T>
std::intptr_t Address(const T& object) {
  return reinterpret_cast<std::intptr_t>(&object);
}

// Counts the dispatches of one event of a publisher, and runs `action` on each.
class EventCounter : public KelEventSubscriber {
 public:
  EventCounter() = default;
  EventCounter(KelCallbackManager* publisher, const char* event) { Follow(publisher, event); }
  // Counts `event` of `publisher` too.
  void Follow(KelCallbackManager* publisher, const char* event) {
    AddCallback(publisher, event, &EventCounter::Heard, nullptr);
  }
  // The modifications of a viewpoint.
  explicit EventCounter(KelViewpoint& viewpoint);
  void Heard(const char* event, KelCallbackManager*, KelNotification*, void*, long) {
    ++count;
    names.emplace_back(event);
    if (action) action();
  }
  std::function<void()> action;
  int count = 0;
  std::vector<std::string> names;  // the events heard, in order
};

// Picks at pixel (x, y) with a square of `size` pixels on each side of it;
// answers the number of paths found, kept in `hits`.
int Pick(KelSupport& support, KelViewpoint& viewpoint, KelPickPathList& hits, float x = 100.0f,
         float y = 100.0f, int size = 5);
KelPickPath& HitAt(KelPickPathList& hits, int i);

}  // namespace keltest
