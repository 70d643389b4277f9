// What one model unit means on the screen of a 2D camera at zoom 1: a
// millimetre, half the window height, or half the window width along x and half
// its height along y. Any other value converts nothing (a fixed underlying
// type keeps such values defined).
#pragma once

enum ViewpointZoomType : int { ZOOM_MILLIMETER = 0, ZOOM_WINDOW_HEIGHT = 1, ZOOM_WINDOW_SIZE = 2 };
