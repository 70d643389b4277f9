// What one model unit means on the screen of a 2D camera at zoom 1: a
// millimetre, half the window height, or half the window width along x and half
// its height along y.
#pragma once

enum ViewpointZoomType { ZOOM_MILLIMETER = 0, ZOOM_WINDOW_HEIGHT = 1, ZOOM_WINDOW_SIZE = 2 };
