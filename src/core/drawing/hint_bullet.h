#pragma once

class CDC;

// The bullet in front of the hint lines of an empty view: a 16 by 16 pixel picture stretched
// three times in each direction, its top-left corner at (left, top), growing downward on the
// device.
void DrawHintBullet(CDC& dc, int left, int top);

// Logical size of the stretched bullet.
constexpr int kHintBulletSize = 3 * 16;
