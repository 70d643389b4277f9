// What the record readers and writers of libGR7MARSH.so share: bounds,
// the writer and reader of one graph, and the table entry of a kind.
#pragma once

#include "KelMarshalBuffer.h"

#include <kel/controller/KelVisuController.h>
#include <kel/foundations/Kel3DBoundingSphere.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/reps/KelRep.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <iostream>
#include <memory>
#include <string>
#include <typeinfo>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kelmarsh {

// A record is at least its class name (length and one character) and its
// identificator: a count of records above remaining / this is a lie.
constexpr std::size_t kMinRecord = 4 + 1 + 8;

// Reps rebuilt from their parameters make their own meshes: a few bytes of
// file could ask for gigabytes. A file may make this many vertices in all
// (some 200 MB of mesh), and a length is at most kMaxLength.
constexpr std::uint64_t kMaxBuiltVertices = std::uint64_t(1) << 22;
constexpr float kMaxLength = 1e15f;
// An arc's angles (radians): beyond, the arc's point count overflows.
constexpr float kMaxAngle = 1e6f;

inline bool SaneLength(float x) {
  return x >= -kMaxLength && x <= kMaxLength;
}
inline bool SaneAngles(float start, float end) {
  return start >= -kMaxAngle && start <= kMaxAngle && end >= -kMaxAngle && end <= kMaxAngle;
}

// What the restore would refuse is not saved.
inline int Unsavable(const char* name) {
  std::cerr << "KelMarshalling: a " << name << " of a radius or angle beyond its bounds"
            << " cannot be saved." << std::endl;
  return 1;
}

// ---- Writing

struct Writer {
  KelMarshal& out;
  std::unordered_map<const KelRep*, std::uint32_t> index;

  void Attributes(const KelGraphicAttributeSet& a) {
    out.WriteUnsignedInt(a.FirstWordBigEndian());
    out.WriteUnsignedInt(a.SecondWordBigEndian());
  }
  void Common(const KelRep& rep) {
    KelModelIdentificator id = const_cast<KelRep&>(rep).GetIdentificator();
    out.WriteUnsignedLong(static_cast<unsigned long>(static_cast<std::uint64_t>(id.GetIntId())));
    Attributes(rep.GetGraphicAttributeSet());
  }
  void Sphere(const Kel3DBoundingSphere& s) {
    out.WriteInt(s.GetState());
    for (int i = 0; i < 3; ++i) out.WriteFloat(s.GetCenter()[i]);
    out.WriteFloat(s.GetRadius());
    out.WriteFloat(s.GetRadiusMM());
  }
  void Children(const KelRep& rep) {
    list<KelRep*>* children = const_cast<KelRep&>(rep).GetChildren();
    const int n = children ? children->Count() : 0;
    out.WriteUnsignedInt(static_cast<unsigned int>(n));
    for (int i = 0; i < n; ++i) out.WriteUnsignedInt(index.at((*children)[i]));
  }
  // A box or parallelogram: its corner and edge vectors.
  void Corner(const Kelpoint3f& corner, std::initializer_list<const Kelvector3f*> edges) {
    for (int k = 0; k < 3; ++k) out.WriteFloat(corner[k]);
    for (const Kelvector3f* e : edges)
      for (float x : {e->x, e->y, e->z}) out.WriteFloat(x);
  }
  void Ints(const int* values, int n) {
    for (int i = 0; i < n; ++i) out.WriteInt(values[i]);
  }
  void Floats(const float* values, int n) {
    for (int i = 0; i < n; ++i) out.WriteFloat(values[i]);
  }
  int Face(const KelGraphicPrimitive* gp) {
    if (!gp || std::strcmp(gp->IsA(), Kel3DFaceGP::ClassName()) != 0) {
      std::cerr << "KelMarshalling: a face of class " << (gp ? gp->IsA() : "(none)")
                << " cannot be saved." << std::endl;
      return 1;
    }
    const auto* f = static_cast<const Kel3DFaceGP*>(gp);
    out.WriteUnsignedInt(static_cast<unsigned int>(f->GetNbVertexCoords()));
    for (int i = 0; i < f->GetNbVertexCoords(); ++i) out.WriteFloat(f->GetVertexArray()[i]);
    out.WriteUnsignedInt(static_cast<unsigned int>(f->GetNbNormalCoords()));
    for (int i = 0; i < f->GetNbNormalCoords(); ++i) out.WriteFloat(f->GetNormals()[i]);
    out.WriteUnsignedInt(static_cast<unsigned int>(f->GetNbTriangles()));
    Ints(f->GetTriangles(), 3 * f->GetNbTriangles());
    out.WriteUnsignedInt(static_cast<unsigned int>(f->GetNbStrips()));
    Ints(f->GetStripLengths(), f->GetNbStrips());
    Ints(f->GetStrips(), f->GetNbStripIndices());
    out.WriteUnsignedInt(static_cast<unsigned int>(f->GetNbFans()));
    Ints(f->GetFanLengths(), f->GetNbFans());
    Ints(f->GetFans(), f->GetNbFanIndices());
    return 0;
  }
};

// ---- Reading

struct Reader {
  KelMarshal& in;
  KelVisuController* controller;
  std::vector<KelRep*> built;
  std::unordered_set<std::intptr_t> ids;
  std::string error;
  std::size_t current = 0;     // the record being read
  std::uint64_t vertices = 0;  // made so far by Reps rebuilt from parameters

  bool Fail(const std::string& why) {
    if (error.empty()) error = why;
    return false;
  }
  bool Ok() {
    if (in.GetError() && error.empty()) error = "truncated";
    return error.empty();
  }
  // A count of items of `size` bytes each that the rest of the buffer can hold.
  bool Count(unsigned int& n, std::size_t size) {
    if (in.ReadUnsignedInt(n) != 0) return Fail("truncated");
    if (size && n > in.GetRemaining() / size) return Fail("a count larger than the file");
    return true;
  }
  bool Attributes(KelGraphicAttributeSet& a) {
    unsigned int w1 = 0, w2 = 0;
    in.ReadUnsignedInt(w1);
    in.ReadUnsignedInt(w2);
    a.color = static_cast<unsigned char>(w1 >> 24);
    a.lineAttribute1 = static_cast<unsigned char>(w1 >> 16);
    a.lineAttribute2 = static_cast<unsigned char>(w1 >> 8);
    a.flags = static_cast<unsigned char>(w1);
    for (int i = 0; i < 4; ++i) a.rgba[i] = static_cast<unsigned char>(w2 >> (24 - 8 * i));
    return Ok();
  }
  // The identificator and attributes every Rep starts with.
  bool Common(KelModelIdentificator& id, KelGraphicAttributeSet& a) {
    unsigned long word = 0;
    in.ReadUnsignedLong(word);
    if (!Attributes(a)) return false;
    const auto value = static_cast<std::intptr_t>(static_cast<std::uint64_t>(word));
    id.SetModelId(reinterpret_cast<void*>(value));
    if (value != 0) {
      // One Rep per object: a second one would take the first's place in
      // the table and leave it unreachable.
      if (!ids.insert(value).second) return Fail("two Reps of one identificator");
      if (controller && controller->GetRep(id)) return Fail("an identificator already shown");
    }
    return true;
  }
  bool Sphere(Kel3DBoundingSphere& s) {
    int state = 0;
    float c[3] = {0, 0, 0}, r = 0, rmm = 0;
    in.ReadInt(state);
    for (float& v : c) in.ReadFloat(v);
    in.ReadFloat(r);
    in.ReadFloat(rmm);
    if (!Ok()) return false;
    if (state < 0 || state > 3) return Fail("a volume of unknown state");
    if (state == 0) {
      s = Kel3DBoundingSphere();
    } else if (state == 2) {
      s = Kel3DBoundingSphere();
      s.SetInfinite();
    } else {
      s = Kel3DBoundingSphere(Kelpoint3f(c[0], c[1], c[2]), r, rmm);
      if (state == 3) {
        Kel3DBoundingSphere infinite;
        infinite.SetInfinite();
        s += infinite;
      }
    }
    return true;
  }
  // Coordinates of the leaves: a value that is not finite is refused, as
  // no drawing or volume can be made of it.
  bool Floats(float* v, int n) {
    for (int i = 0; i < n; ++i) in.ReadFloat(v[i]);
    if (!Ok()) return false;
    for (int i = 0; i < n; ++i)
      if (!std::isfinite(v[i])) return Fail("a coordinate that is not finite");
    return true;
  }
  // A radius: finite and below kMaxLength (the sign is the Rep's business).
  bool Length(float x) {
    if (!SaneLength(x)) return Fail("a radius that is not finite or too large");
    return true;
  }
  // Counts the vertices a rebuilt Rep will make against the file's allowance.
  bool Mesh(std::uint64_t n) {
    if (n > kMaxBuiltVertices - vertices) return Fail("meshes too large to rebuild");
    vertices += n;
    return true;
  }
  // A Rep built without an identificator and controller (the 2D leaves, the
  // light sets) is given them as the constructor would have.
  void Adopt(KelRep* rep, KelModelIdentificator& id, const KelGraphicAttributeSet& a) {
    built.push_back(rep);
    rep->SetGraphicAttributeSet(a);
    rep->SetNewId(id);
    rep->SetControllerId(controller);
    if (id.GetIntId() != 0) id.RecordRep(rep);
  }
  // The child Rep of an index into what was read before.
  KelRep* Child() {
    unsigned int i = 0;
    if (in.ReadUnsignedInt(i) != 0) return Fail("truncated"), nullptr;
    if (i >= current) return Fail("a child that is not read before its bag"), nullptr;
    return built[i];
  }
  bool Ints(std::vector<int>& v, unsigned int n) {
    if (n > in.GetRemaining() / 4) return Fail("a count larger than the file");
    v.resize(n);
    for (int& x : v) in.ReadInt(x);
    return Ok();
  }
  // Every index must name a vertex of the face (three coordinates on).
  bool Indices(const std::vector<int>& v, unsigned int nbCoords) {
    for (int x : v)
      if (x < 0 || x % 3 != 0 || static_cast<unsigned int>(x) + 3 > nbCoords)
        return Fail("an index outside the face's vertices");
    return true;
  }
  bool Lengths(const std::vector<int>& lengths, unsigned int& total) {
    std::uint64_t sum = 0;
    for (int l : lengths) {
      if (l < 0) return Fail("a negative strip or fan length");
      sum += static_cast<unsigned int>(l);
    }
    if (sum > in.GetRemaining() / 4) return Fail("a count larger than the file");
    total = static_cast<unsigned int>(sum);
    return true;
  }
  Kel3DFaceGP* Face() {
    unsigned int nv = 0, nn = 0, nt = 0, ns = 0, nf = 0, stripTotal = 0, fanTotal = 0;
    std::vector<float> vertices, normals;
    std::vector<int> triangles, strips, stripLengths, fans, fanLengths;
    if (!Count(nv, 4)) return nullptr;
    if (nv % 3 != 0) return Fail("vertices that are not triples"), nullptr;
    vertices.resize(nv);
    for (float& x : vertices) in.ReadFloat(x);
    if (!Count(nn, 4)) return nullptr;
    // No normal, one for the whole face, or one per vertex.
    if (nn != 0 && nn != 3 && nn != nv)
      return Fail("normals that do not match the vertices"), nullptr;
    normals.resize(nn);
    for (float& x : normals) in.ReadFloat(x);
    if (!Count(nt, 12) || !Ints(triangles, 3 * nt) || !Indices(triangles, nv)) return nullptr;
    if (!Count(ns, 4) || !Ints(stripLengths, ns) || !Lengths(stripLengths, stripTotal) ||
        !Ints(strips, stripTotal) || !Indices(strips, nv))
      return nullptr;
    if (!Count(nf, 4) || !Ints(fanLengths, nf) || !Lengths(fanLengths, fanTotal) ||
        !Ints(fans, fanTotal) || !Indices(fans, nv))
      return nullptr;
    if (!Ok()) return nullptr;
    return new Kel3DFaceGP(vertices.data(), static_cast<int>(nv), normals.data(),
                           static_cast<int>(nn), triangles.data(), static_cast<int>(nt),
                           strips.data(), static_cast<int>(ns), stripLengths.data(), fans.data(),
                           static_cast<int>(nf), fanLengths.data());
  }
};

// ---- The kinds

// 2D Reps share KelRep's meta object: kinds are told apart by their C++
// type, exactly (a derived class is not its base's kind).
struct Kind {
  const char* name;
  const std::type_info& type;
  int (*write)(Writer&, const KelRep&);
  KelRep* (*read)(Reader&);
};

inline int Empty(const char* name) {
  std::cerr << "KelMarshalling: a " << name << " without geometry cannot be saved." << std::endl;
  return 1;
}

// The 2D kinds, in their own file.
extern const Kind k2DKinds[];
extern const std::size_t k2DKindCount;

}  // namespace kelmarsh
