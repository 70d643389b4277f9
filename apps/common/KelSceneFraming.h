// Where the camera stands: the view directions of an azimuth and elevation
// about the model's up axis, and a framing that makes the scene fill most of
// the picture, measured on the scene's own points rather than on its bounding
// sphere (which leaves a compact part at half the picture).
#pragma once

class Kel3DRep;
class Kel3DViewpoint;
class Keldirection3f;

enum KelUpAxis : int { KEL_UP_FROM_FILE = -1, KEL_UP_X = 0, KEL_UP_Y = 1, KEL_UP_Z = 2 };

class KelSceneFraming {
 public:
  // Share of the picture's limiting side that the framed scene spans.
  static constexpr float FILL = 0.9f;

  // Camera directions looking from azimuth and elevation (degrees). With z up,
  // azimuth 0 looks from the front (-y) towards +y, 90 from the right (+x);
  // elevation 90 looks down with +y up in the picture. Another up axis turns
  // that frame so that z goes to it: y up (glTF) looks from +z at azimuth 0,
  // x up from -z.
  static void ViewDirections(double azimuth, double elevation, KelUpAxis up, Keldirection3f& sight,
                             Keldirection3f& upDirection);

  // Moves the camera, keeping its directions, so that everything under `root`
  // fits in FILL of the picture's width and height and spans FILL of one of
  // them. Faces, lines and points count by their vertices, other Reps by their
  // bounding spheres. False, camera untouched, when nothing finite is there.
  static bool Frame(Kel3DViewpoint& viewpoint, const Kel3DRep& root, float width, float height,
                    float pixelRatio);
};
