// Per-pixel pieces of the colour enhancement, shared with its tests.
#pragma once

// Raises the HSV value of a saturated colour, most for greens (hue 120
// degrees) and not at all for magenta (300 degrees): V becomes V to the
// power 1 - (hue distance from 300 degrees) / 180 * S * 0.75, clamped to
// [0, 1]; the colour then goes back through hsv2rgb (which truncates).
void enhance_green(int& r, int& g, int& b);
