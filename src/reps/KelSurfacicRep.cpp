#include <kel/reps/KelSurfacicRep.h>

#include <kel/primitives/Kel3DBoundingGP.h>
#include <kel/primitives/Kel3DEdgeGP.h>
#include <kel/primitives/Kel3DFaceGP.h>
#include <kel/render/KelRender.h>
#include <kel/reps/KelRepPath.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>

KEL_IMPLEMENT_META(KelSurfacicRep, Kel3DRep)

KelSurfacicRep::KelSurfacicRep() {
  EmptyInit();
}

KelSurfacicRep::KelSurfacicRep(KelModelIdentificator& id, KelVisuController* controller)
    : Kel3DRep(id, controller) {
  EmptyInit();
}

KelSurfacicRep::~KelSurfacicRep() {
  Release();
}

void KelSurfacicRep::EmptyInit() {
  _faces.clear();
  _edges.clear();
  _sag = 0.0f;
  _lods.clear();
  _lodMode = 1;
}

void KelSurfacicRep::Release() {
  // Destroy, not delete: a frame recorded before may still point at them.
  for (Face& f : _faces) {
    delete f.attributes;
    KelGraphicPrimitive::Destroy(f.gp);
  }
  for (Edge& e : _edges) {
    delete e.attributes;
    KelGraphicPrimitive::Destroy(e.gp);
  }
  for (Level& l : _lods) {
    delete l.attributes;
    KelGraphicPrimitive::Destroy(l.face);
  }
  EmptyInit();
}

void KelSurfacicRep::AddGeomFace(Kel3DBoundingGP* face, KelGraphicAttributeSet* attributes) {
  if (!face || !attributes) {
    std::fputs("KelSurfacicRep::AddGeomFace: Invalid function parameters.\n", stderr);
    return;
  }
  _faces.push_back({face, attributes});
}

void KelSurfacicRep::AddGeomEdge(Kel3DEdgeGP* edge, KelGraphicAttributeSet* attributes) {
  if (!edge || !attributes) {
    std::fputs("KelSurfacicRep::AddGeomEdge: Invalid function parameters.\n", stderr);
    return;
  }
  _edges.push_back({edge, attributes});
}

void KelSurfacicRep::AddLOD(Kel3DFaceGP* face, KelGraphicAttributeSet* attributes,
                            const float sag) {
  // Written so that a NaN sag is refused too.
  if (!face || !attributes || !(sag >= 0.0f)) {
    std::fputs("KelSurfacicRep::AddLOD: Invalid function parameters.\n", stderr);
    return;
  }
  _lods.push_back({face, attributes, sag});
}

void KelSurfacicRep::SetGeomSag(const float sag) {
  if (!(sag >= 0.0f)) {
    std::fputs("KelSurfacicRep::SetGeomSag: Element sag must be strictly positive.\n", stderr);
    return;
  }
  _sag = sag;
}

Kel3DBoundingGP* KelSurfacicRep::GetFace(int i) const {
  return i >= 0 && i < GetNbFaces() ? _faces[i].gp : nullptr;
}
KelGraphicAttributeSet* KelSurfacicRep::GetFaceAttributes(int i) const {
  return i >= 0 && i < GetNbFaces() ? _faces[i].attributes : nullptr;
}
Kel3DEdgeGP* KelSurfacicRep::GetEdge(int j) const {
  return j >= 0 && j < GetNbEdges() ? _edges[j].gp : nullptr;
}
KelGraphicAttributeSet* KelSurfacicRep::GetEdgeAttributes(int j) const {
  return j >= 0 && j < GetNbEdges() ? _edges[j].attributes : nullptr;
}
Kel3DFaceGP* KelSurfacicRep::GetLODFace(int k) const {
  return k >= 1 && k <= GetNbLODs() ? _lods[k - 1].face : nullptr;
}
KelGraphicAttributeSet* KelSurfacicRep::GetLODAttributes(int k) const {
  return k >= 1 && k <= GetNbLODs() ? _lods[k - 1].attributes : nullptr;
}
float KelSurfacicRep::GetLODSag(int k) const {
  return k >= 1 && k <= GetNbLODs() ? _lods[k - 1].sag : 0.0f;
}

void KelSurfacicRep::SetFlag(unsigned char bit, bool on) {
  auto apply = [bit, on](KelGraphicAttributeSet& a) {
    a.flags = static_cast<unsigned char>(on ? (a.flags | bit) : (a.flags & ~bit));
  };
  apply(_attributes);
  for (Face& f : _faces) apply(*f.attributes);
  for (Edge& e : _edges) apply(*e.attributes);
  // A highlighted surface seen from afar is drawn by a level of detail: it
  // must show the highlight as well.
  for (Level& l : _lods) apply(*l.attributes);
}

void KelSurfacicRep::HighLightOn() {
  SetFlag(KelGraphicAttributeSet::HIGHLIGHTED, true);
}
void KelSurfacicRep::HighLightOff() {
  SetFlag(KelGraphicAttributeSet::HIGHLIGHTED, false);
}

// The bags' volumes leave hidden children out: they must be recomputed on
// both changes, or a Rep shown again after a sibling moved lies outside its
// bag's sphere and is culled while visible.
void KelSurfacicRep::TemporyNoshowOn() {
  SetFlag(KelGraphicAttributeSet::TEMPORY_HIDDEN, true);
  ComputeParentsBoundingElement();
}
void KelSurfacicRep::TemporyNoshowOff() {
  SetFlag(KelGraphicAttributeSet::TEMPORY_HIDDEN, false);
  ComputeParentsBoundingElement();
}

void KelSurfacicRep::DrawShading(KelRender& render, int inside) {
  if (!OkToDraw(render, &inside)) return;

  const int nbFaces = GetNbFaces();
  if (render.IsEdgeSeen()) {
    for (int j = GetNbEdges() - 1; j >= 0; --j) {
      const Edge& e = _edges[j];
      if (render.IsDrawable(*e.attributes, nbFaces + j)) e.gp->Draw(render);
    }
  }
  if (!render.IsMeshSeen()) return;

  int level = 0;
  const int nbLODs = GetNbLODs();
  if (nbLODs > 0 && _lodMode != 0) {
    if (nbLODs + 1 < MAX_LODS) {
      float sags[MAX_LODS];
      sags[0] = _sag;
      for (int k = 0; k < nbLODs; ++k) sags[k + 1] = _lods[k].sag;
      level = render.Get3DLODNumber(_boundingSphere, nbLODs + 1, sags);
    } else {
      std::fprintf(stderr, "KelSurfacicRep::DrawShading: Can't manage more than %d LODs, sorry.\n",
                   MAX_LODS);
    }
  }
  if (level > 0 && level <= nbLODs) {
    const Level& l = _lods[level - 1];
    render.SetCurrentAttribute(*l.attributes);
    l.face->Draw(render);
    return;
  }

  if (inside) {
    for (int i = nbFaces - 1; i >= 0; --i) {
      const Face& f = _faces[i];
      if (render.IsDrawable(*f.attributes, i)) f.gp->Draw(render);
    }
  } else {
    // Faces of a surface that crosses the view's border are culled one by one.
    for (int i = nbFaces - 1; i >= 0; --i) {
      const Face& f = _faces[i];
      if (render.IsDrawable(*f.attributes, f.gp->GetSphereCenter(), f.gp->GetSphereRadius(), i))
        f.gp->Draw(render);
    }
  }
}

void KelSurfacicRep::DrawPath(KelRender& render, int, KelRepPath& path) {
  if (path.GetCurrentRep() != this || path.NextChildRep()) return;

  const int nbFaces = GetNbFaces();
  const int nbEdges = GetNbEdges();
  if (path.HasSubElement()) {
    // The numbers come from outside (a pick on an older state of the Rep, an
    // application's list): those that name no face or edge are skipped.
    const list<int>& numbers = path.GetSubElementList();
    for (int n = numbers.Count() - 1; n >= 0; --n) {
      const int s = numbers[n];
      if (s >= 0 && s < nbFaces) {
        render.SetCurrentAttribute(*_faces[s].attributes);
        _faces[s].gp->Draw(render);
      } else if (s >= nbFaces && s - nbFaces < nbEdges) {
        const Edge& e = _edges[s - nbFaces];
        render.SetCurrentAttribute(*e.attributes);
        e.gp->Draw(render);
      }
    }
    return;
  }
  for (int j = nbEdges - 1; j >= 0; --j) {
    const Edge& e = _edges[j];
    if (render.IsDrawable(*e.attributes)) e.gp->Draw(render);
  }
}

// ---- GroupFaces

namespace {

// One face's tessellation as Get answered it, kept until the merge ends.
struct Tessellation {
  int allocate = 0;
  float* vertices = nullptr;
  int nbVertexCoords = 0;
  float* normals = nullptr;
  int nbNormalCoords = 0;
  int* triangles = nullptr;
  int nbTriangles = 0;
  int* strips = nullptr;
  int nbStrips = 0;
  int* stripLengths = nullptr;
  int* fans = nullptr;
  int nbFans = 0;
  int* fanLengths = nullptr;
  // Sums of the lengths: the sizes of the index arrays.
  std::int64_t nbStripIndices = 0;
  std::int64_t nbFanIndices = 0;

  void Get(Kel3DBoundingGP& gp) {
    gp.Get(&allocate, &vertices, &nbVertexCoords, &normals, &nbNormalCoords, &triangles,
           &nbTriangles, &strips, &nbStrips, &stripLengths, &fans, &nbFans, &fanLengths);
    // A count without its array stands for nothing.
    if (!vertices || nbVertexCoords < 0) nbVertexCoords = 0;
    if (!normals || nbNormalCoords < 0) nbNormalCoords = 0;
    if (!triangles || nbTriangles < 0) nbTriangles = 0;
    if (!strips || !stripLengths || nbStrips < 0) nbStrips = 0;
    if (!fans || !fanLengths || nbFans < 0) nbFans = 0;
    for (int k = 0; k < nbStrips; ++k) nbStripIndices += std::max(stripLengths[k], 0);
    for (int k = 0; k < nbFans; ++k) nbFanIndices += std::max(fanLengths[k], 0);
  }
  void Clear(Kel3DBoundingGP& gp) {
    gp.Clear(&allocate, &vertices, &nbVertexCoords, &normals, &nbNormalCoords, &triangles,
             &nbTriangles, &strips, &nbStrips, &stripLengths, &fans, &nbFans, &fanLengths);
  }
  int HasIndices() const { return nbTriangles > 0 || nbStrips > 0 || nbFans > 0; }
};

void CopyIndices(const int* from, std::int64_t n, int offset, int* to) {
  for (std::int64_t k = 0; k < n; ++k) to[k] = from[k] + offset;
}
void CopyLengths(const int* from, int n, int* to) {
  for (int k = 0; k < n; ++k) to[k] = std::max(from[k], 0);
}

}  // namespace

void KelSurfacicRep::GroupFaces(float** vertices, int* nbVertexCoords, float** normals,
                                int* nbNormalCoords, int** triangles, int* nbTriangles,
                                int** strips, int* nbStrips, int** stripLengths, int** fans,
                                int* nbFans, int** fanLengths) {
  *vertices = *normals = nullptr;
  *triangles = *strips = *stripLengths = *fans = *fanLengths = nullptr;
  *nbVertexCoords = *nbNormalCoords = *nbTriangles = *nbStrips = *nbFans = 0;
  const int n = GetNbFaces();
  if (n == 0) return;

  std::vector<Tessellation> t(n);
  const float* sharedVertices = nullptr;
  const float* sharedNormals = nullptr;
  int sharing = 0;
  const char* failure = nullptr;
  std::int64_t coords = 0, tris = 0, nStrips = 0, stripIndices = 0, nFans = 0, fanIndices = 0;
  for (int i = n - 1; i >= 0; --i) {
    Tessellation& f = t[i];
    f.Get(*_faces[i].gp);
    coords += f.nbVertexCoords;
    tris += f.nbTriangles;
    nStrips += f.nbStrips;
    stripIndices += f.nbStripIndices;
    nFans += f.nbFans;
    fanIndices += f.nbFanIndices;
    // Indices without vertices of its own: the face uses another one's arrays.
    if (f.nbVertexCoords == 0 && f.HasIndices() && !failure) {
      if (!sharing) {
        sharing = 1;
        sharedVertices = f.vertices;
        sharedNormals = f.normals;
      } else if (f.vertices != sharedVertices || f.normals != sharedNormals) {
        failure =
            "KelSurfacicRep::GroupFaces: Only ONE vertex and ONE normal"
            " reference allowed for every faces in the Rep when sharing"
            " data. Exiting with an empty result.\n";
      }
    }
  }

  // The coordinate offset of the face that owns the shared arrays: the first
  // one in the Rep's order that hands them out as its own.
  int sharedOffset = -1;
  std::vector<int> offsets(n);
  {
    std::int64_t offset = 0;
    for (int i = 0; i < n; ++i) {
      offsets[i] = static_cast<int>(std::min<std::int64_t>(offset, INT_MAX));
      if (sharing && sharedOffset < 0 && t[i].nbVertexCoords > 0 && t[i].allocate == 0 &&
          t[i].vertices == sharedVertices)
        sharedOffset = offsets[i];
      offset += t[i].nbVertexCoords;
    }
  }
  if (!failure && sharing && sharedOffset < 0)
    failure =
        "KelSurfacicRep::GroupFaces: Some faces are sharing data that do"
        " not belong to the SurfacicRep. This is not correct. Exiting with"
        " an empty result.\n";
  // Indices are ints with the offsets added: the result must stay within reach.
  if (!failure && (coords > INT_MAX || 3 * tris > INT_MAX || stripIndices > INT_MAX ||
                   fanIndices > INT_MAX || nStrips > INT_MAX || nFans > INT_MAX))
    failure = "KelSurfacicRep::GroupFaces: Too large a result. Exiting with an empty result.\n";

  if (!failure && coords > 0) {
    float* v = new float[coords];
    float* nm = new float[coords];
    int* tri = tris ? new int[3 * tris] : nullptr;
    int* st = stripIndices ? new int[stripIndices] : nullptr;
    int* stl = nStrips ? new int[nStrips] : nullptr;
    int* fa = fanIndices ? new int[fanIndices] : nullptr;
    int* fal = nFans ? new int[nFans] : nullptr;
    std::int64_t triAt = 0, stAt = 0, stlAt = 0, faAt = 0, falAt = 0;
    for (int i = 0; i < n; ++i) {
      const Tessellation& f = t[i];
      const int own = f.nbVertexCoords;
      float* vf = v + offsets[i];
      float* nf = nm + offsets[i];
      std::copy(f.vertices, f.vertices + own, vf);
      if (f.nbNormalCoords == own) {
        std::copy(f.normals, f.normals + own, nf);
      } else {
        // A single normal is repeated; a face without any gets null normals.
        const float none[3] = {0.0f, 0.0f, 0.0f};
        const float* first = f.nbNormalCoords >= 3 ? f.normals : none;
        for (int k = 0; k < own; ++k) nf[k] = first[k % 3];
      }
      const int offset = own > 0 ? offsets[i] : (sharing ? sharedOffset : 0);
      CopyIndices(f.triangles, 3 * std::int64_t(f.nbTriangles), offset, tri + triAt);
      triAt += 3 * std::int64_t(f.nbTriangles);
      CopyIndices(f.strips, f.nbStripIndices, offset, st + stAt);
      stAt += f.nbStripIndices;
      CopyLengths(f.stripLengths, f.nbStrips, stl + stlAt);
      stlAt += f.nbStrips;
      CopyIndices(f.fans, f.nbFanIndices, offset, fa + faAt);
      faAt += f.nbFanIndices;
      CopyLengths(f.fanLengths, f.nbFans, fal + falAt);
      falAt += f.nbFans;
    }
    *vertices = v;
    *normals = nm;
    *nbVertexCoords = *nbNormalCoords = static_cast<int>(coords);
    *triangles = tri;
    *nbTriangles = static_cast<int>(tris);
    *strips = st;
    *nbStrips = static_cast<int>(nStrips);
    *stripLengths = stl;
    *fans = fa;
    *nbFans = static_cast<int>(nFans);
    *fanLengths = fal;
  }
  if (failure) std::fputs(failure, stderr);
  for (int i = 0; i < n; ++i) t[i].Clear(*_faces[i].gp);
}
