// A render that walks a viewpoint's Rep lists itself: the Reps, then the
// furtive Reps between SetFurtiveOn and SetFurtiveOff.
#pragma once

#include <kel/render/KelRender.h>

class KelRepRender : public KelRender {
 public:
  explicit KelRepRender(const KelSupport& support) : KelRender(support) {}
  KelRepRender(const KelRepRender& other) = default;

  void Draw(KelViewpoint& viewpoint) override;

 protected:
  KelRepRender() = default;
};
