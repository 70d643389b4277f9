// The scene kelrender draws when no file is given: a shaft in two pillow
// blocks on a base plate, a grooved pulley at one end, made of the library's
// own Reps (bags with matrices, cuboids, cylinders, spheres, cones, a surfacic
// Rep with edges and levels of detail, an axis system with its labels), one
// block highlighted.
#pragma once

class Kel3DBagRep;
class KelAppScene;
class KelSurfacicRep;

class KelDefaultScene {
 public:
  // Fills the scene's root; the axis arrows are `axisLength` screen
  // millimetres long.
  static void Build(KelAppScene& scene, int axisLength);

  // The pulley alone: one face per profile segment revolved about x, the
  // circles between them as edges, and two coarser single-face levels.
  static KelSurfacicRep* BuildPulley();
  // The pillow block part, drawn once per placing bag.
  static Kel3DBagRep* BuildPillowBlock();
};
