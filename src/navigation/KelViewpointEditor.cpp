#include <kel/navigation/KelViewpointEditor.h>

KEL_IMPLEMENT_META(KelViewpointEditor, KelCommand)

KelViewpointEditor::KelViewpointEditor(KelViewpoint* viewpoint)
    : KelCommand(nullptr, KelString()), _viewpoint(viewpoint) {}

KelViewpointEditor::KelViewpointEditor(const KelString& name, KelViewpoint* viewpoint)
    : KelCommand(nullptr, name), _viewpoint(viewpoint) {}

KelViewpointEditor::KelViewpointEditor(const KelViewpointEditor& other)
    : KelCommand(other), _viewpoint(other._viewpoint), _viewer(other._viewer) {}

KelViewpointEditor::~KelViewpointEditor() = default;

void KelViewpointEditor::SetViewpoint(KelViewpoint* viewpoint) {
  _viewpoint = viewpoint;
}

void KelViewpointEditor::SetViewer(KelViewer* viewer) {
  _viewer = viewer;
}

int KelViewpointEditor::BeginManipulate(KelNotification*) {
  return 0;
}

int KelViewpointEditor::Manipulate(KelNotification*) {
  return 0;
}

int KelViewpointEditor::EndManipulate(KelNotification*) {
  return 0;
}
