// A cylinder given by the points of its base circle and its axis; the render
// tessellates it (side strip and two cap fans).
#pragma once

#include <kel/primitives/Kel3DBoundingGP.h>

#include <memory>

class Kel3DCylinderGP : public Kel3DBoundingGP {
 public:
  static constexpr int MAX_POINTS = 300;

  Kel3DCylinderGP() = default;
  // More than MAX_POINTS points, none, or a missing direction or base leaves
  // the cylinder empty.
  Kel3DCylinderGP(const float* points, const int n, const float* direction, const float height,
                  const float* base, const float radius);
  ~Kel3DCylinderGP() override;
  Kel3DCylinderGP(const Kel3DCylinderGP&) = delete;
  Kel3DCylinderGP& operator=(const Kel3DCylinderGP&) = delete;

  KEL_DECLARE_META(Kel3DCylinderGP);

  void Draw(KelRender& render) override;
  virtual void ComputeBox();
  virtual void DrawWireframe(KelRender& render);

  using Kel3DBoundingGP::Get;
  // Pointers into the primitive.
  void Get(float** points, int* n, float** direction, float** axisVector, float** base,
           float* inverseRadius);

  int GetNbPoints() const { return _nbPoints; }
  const float* GetPoints() const { return _points.get(); }
  const float* GetDirection() const { return _direction; }
  const float* GetAxisVector() const { return _axisVector; }
  const float* GetBase() const { return _base; }
  float GetInverseRadius() const { return _inverseRadius; }

 private:
  int _nbPoints = 0;
  std::unique_ptr<float[]> _points;
  float _direction[3] = {1.0f, 0.0f, 0.0f};
  float _axisVector[3] = {1.0f, 0.0f, 0.0f};
  float _base[3] = {0.0f, 0.0f, 0.0f};
  float _inverseRadius = 1.0f;
};
