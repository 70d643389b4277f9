// A cylinder with levels of detail: one tessellated cylinder per sag, finest
// first, and as coarsest level the axis drawn as one segment. The render picks
// the level from the chord error it tolerates at the cylinder's place.
#pragma once

#include <kel/framework/Keldirection3f.h>
#include <kel/framework/Kelpoint3f.h>
#include <kel/reps/Kel3DRep.h>

#include <memory>

class Kel3DCylinderGP;
class Kel3DLineGP;

class Kel3DCylinderRep : public Kel3DRep {
 public:
  Kel3DCylinderRep();
  Kel3DCylinderRep(KelModelIdentificator& id, KelVisuController* controller);
  Kel3DCylinderRep(Kelpoint3f base, Kelpoint3f top, float radius);
  Kel3DCylinderRep(const float* base, const float* axisVector, float radius);
  // The plane vector gives the direction of the first point of every circle.
  Kel3DCylinderRep(const float* base, const float* top, float radius, const float* planeVector,
                   KelModelIdentificator& id, KelVisuController* controller);
  // As above, the levels made from the given sag.
  Kel3DCylinderRep(const float* base, const float* top, float radius, const float* planeVector,
                   const float sag, KelModelIdentificator& id, KelVisuController* controller);
  // Rebuilds a cylinder exactly as it was (a restored one): its axis vector,
  // plane vector and the n sags of its levels, finest first, are taken as
  // given. No sags or n outside 1 to MAX_LEVELS leaves it without levels.
  Kel3DCylinderRep(const float* base, const float* axisVector, float radius,
                   const Keldirection3f& planeVector, const float* sags, int n,
                   KelModelIdentificator& id, KelVisuController* controller);
  ~Kel3DCylinderRep() override;

  KEL_DECLARE_META(Kel3DCylinderRep);

  void DrawShading(KelRender& render, int inside) override;
  void ComputeMesh(int level) override;
  void ComputeBoundingElement() override;
  virtual void ComputeSag();
  virtual void ComputeSag(const float sag);
  virtual void ComputePlaneVector();

  // Rebuilds every level, and the parents' volumes.
  void Modify(Kelpoint3f base, Kelpoint3f top, float radius);

  const float* GetBase() const { return _base; }
  const float* GetAxisVector() const { return _axisVector; }
  const Keldirection3f& GetPlaneVector() const { return _planeVector; }
  float GetRadius() const { return _radius; }
  int GetNbLevels() const { return _nbLevels; }
  const float* GetSags() const { return _sags.get(); }
  // The cylinder of a level below the last one, or null.
  const Kel3DCylinderGP* GetMesh(int level) const;
  const Kel3DLineGP* GetAxisLine() const { return _axisLine; }

  // The most levels a cylinder keeps; a sag makes five at most.
  static constexpr int MAX_LEVELS = 16;

  // Circle points of one mesh: at least 3, at most what a cylinder primitive holds.
  static int CirclePointCount(float sag, float radius);

 protected:
  // Sets the levels; the slots of the meshes are made for them, empty.
  void SetSags(const float* sags, int n);
  void ReleaseLevels();
  void BuildAll(int withPlaneVector, int withSag, float sag);

  float _base[3] = {0.0f, 0.0f, 0.0f};
  float _axisVector[3] = {0.0f, 0.0f, 0.0f};
  Keldirection3f _planeVector;
  float _radius = 0.0f;
  int _nbLevels = 0;
  std::unique_ptr<float[]> _sags;
  std::unique_ptr<Kel3DCylinderGP*[]> _meshes;
  Kel3DLineGP* _axisLine = nullptr;
};
