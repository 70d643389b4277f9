#include <kel/picking/KelGraphicElementIntersection.h>

const char* KelGraphicElementIntersection::ClassName() {
  return "KelGraphicElementIntersection";
}
