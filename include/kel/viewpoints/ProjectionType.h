// How a 3D camera projects: perspective from the eye, or along the sight.
#pragma once

enum ProjectionType : int { PARALLEL_PROJECTION = 0, CONIC_PROJECTION = 1 };
