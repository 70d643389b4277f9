// Whether a device's button is driving something (a manipulator or the
// viewpoint editor).
#pragma once

enum DeviceUseState { DEVICE_NOT_USED = 0, DEVICE_USED = 1 };
