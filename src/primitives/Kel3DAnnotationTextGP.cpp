#include <kel/primitives/Kel3DAnnotationTextGP.h>
#include <kel/render/KelRender.h>

#include <cstdlib>
#include <cstring>

namespace {
// Freed with free(), as the text of every annotation primitive.
char* Duplicate(const char* text) {
  const size_t n = std::strlen(text) + 1;
  char* copy = static_cast<char*>(std::malloc(n));
  if (copy) std::memcpy(copy, text, n);
  return copy;
}
}  // namespace

Kel3DAnnotationTextGP::Kel3DAnnotationTextGP(const float* position, const char* text,
                                             AnchorPoint anchor)
    : _position{position[0], position[1], position[2]},
      _text(Duplicate(text ? text : "")),
      _anchor(anchor) {}

Kel3DAnnotationTextGP::~Kel3DAnnotationTextGP() {
  std::free(_text);
}

void Kel3DAnnotationTextGP::Draw(KelRender& render) {
  render.Draw3DAnnotationText(*this);
}
