// The answer for one primitive hit by a pick: the chain of Reps from the top
// Rep of the viewpoint down to the Rep that owns the primitive, and where and
// how it was hit. The hit point and normal are in the leaf Rep's frame; the
// path's matrix takes them to the world.
//
// During the pick walk the level is the index of the current Rep: Load puts a
// Rep at that index, Push and Pop move one Rep down and back up.
#pragma once

#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/Keldirection3f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/reps/KelRepPath.h>

#include <ostream>

class KelRep;
class KelViewpoint;

class KelPickPath : public KelRepPath {
 public:
  explicit KelPickPath(KelViewpoint* viewpoint);
  // No viewpoint; the Rep is loaded at level 0.
  explicit KelPickPath(KelRep* rep);
  KelPickPath(const KelPickPath& other);
  // Every field, the sub-element numbers included.
  KelPickPath& operator=(const KelPickPath& other);
  ~KelPickPath() override;

  // Both walks cover the Reps up to the current level; the leaf walk starts at
  // the Rep of the current level.
  void InitToTopRep() override;
  void InitToLeafRep() override;

  // Replaces the Rep at the current level (level -1 becomes 0); a null Rep or
  // one already in the path is not appended.
  void Load(const KelRep* rep);
  void Load(const int subElement) { _currentSubElement = subElement; }
  int HasSubElement() const { return _currentSubElement != -1 ? 1 : 0; }
  int GetCurrentSubElement() const { return _currentSubElement; }
  void Push() { ++_level; }
  // Removes the Rep at the current level and goes up one level.
  void Pop();
  int GetLevel() const { return _level; }

  void SetManipulatedRep() { _manipulatedIndex = _level; }
  // The Rep at `index` (a viewer's choice walks up from the leaf to the Rep
  // that carries the manipulator).
  void SetManipulatedRep(int index) { _manipulatedIndex = index; }
  KelRep* GetManipulatedRep() const { return GetRep(_manipulatedIndex); }
  KelRep* GetTopRep() const { return GetRep(0); }

  const Kel4x4Matrix& GetMatrix() const { return _matrix; }
  void SetMatrix(const Kel4x4Matrix& m) { _matrix = m; }
  const Kel3x3Matrix& Get2DMatrix() const { return _matrix2D; }
  void SetMatrix(const Kel3x3Matrix& m) { _matrix2D = m; }

  const Kelpoint3f& GetIntersection() const { return _intersection; }
  void SetIntersection(const Kelpoint3f& p) { _intersection = p; }
  const Keldirection3f& GetNormal() const { return _normal; }
  void SetNormal(const Keldirection3f& n) { _normal = n; }
  const Keldirection3f& GetTangent() const { return _tangent; }
  void SetTangent(const Keldirection3f& t) { _tangent = t; }
  float GetDimension() const { return _dimension; }
  void SetDimension(const float d) { _dimension = d; }
  float GetDeep() const { return _deep; }
  void SetDeep(const float d) { _deep = d; }
  int GetZBuffer() const { return _zBuffer; }
  void SetZBuffer(const int z) { _zBuffer = z; }

  // The hit in world coordinates.
  Kelpoint3f GetGlobalIntersection() const;
  Keldirection3f GetGlobalNormal() const;

 private:
  int _level = -1;
  int _manipulatedIndex = -1;
  Kel4x4Matrix _matrix;
  Kel3x3Matrix _matrix2D;
  float _dimension = 0.0f;
  float _deep = 1.0f;
  int _zBuffer = 0;
  int _currentSubElement = -1;
  Kelpoint3f _intersection;
  Keldirection3f _tangent;
  Keldirection3f _normal;
};

// One line, no end of line: " KelPickPath : nbRep = 2, dimension = 2, ...".
std::ostream& operator<<(std::ostream& out, const KelPickPath& path);
