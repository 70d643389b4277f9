// Whether a non-pointing device is held by the manipulator it drives: a locked
// device is not moved to the manipulator that another device activates.
#pragma once

enum DeviceLockState { DEVICE_UNLOCKED = 0, DEVICE_LOCKED = 1 };
