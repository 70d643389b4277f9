#include <kel/viewpoints/KelViewport.h>

KelViewport::~KelViewport() = default;

KelViewport* KelViewport::Clone() const {
  return new KelViewport(*this);
}

int KelViewport::SizeOf() const {
  return static_cast<int>(sizeof(KelViewport));
}
