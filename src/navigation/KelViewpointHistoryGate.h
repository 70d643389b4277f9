// How the navigation viewers turn a viewpoint's notifications into history
// entries: client data 1 starts an animation, -1 ends one, 0 is a change.
// A change outside any animation is an entry of its own; an animation, however
// nested, is one entry at its end, and none if nothing changed during it.
#pragma once

#include <cstdint>

namespace kelnav {

// True when the viewpoint is to be saved now. `counter` and `changed` are the
// viewer's animation depth and whether the current animation changed anything.
inline bool SaveAfterViewpointNotice(intptr_t data, int& counter, int& changed) {
  switch (data) {
    case 1:
      if (counter++ == 0) changed = 0;
      return false;
    case 0:
      if (counter == 0) return true;
      changed = 1;
      return false;
    case -1:
      return counter > 0 && --counter == 0 && changed;
    default:
      return false;
  }
}

}  // namespace kelnav
