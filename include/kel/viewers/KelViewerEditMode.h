// What the application's commands do with the user's clicks in a viewer. The
// viewer keeps it for them and never reads it: an application may store any
// value of its own in it.
#pragma once

enum KelViewerEditMode { KelViewerNoEdit = 0, KelViewerSelect = 1, KelViewerEdit = 2 };
