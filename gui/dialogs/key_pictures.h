// SPDX-License-Identifier: MIT
// The fourteen pictures of the matrix and LED buttons, drawn as vector art so
// that they stay sharp at any size and device pixel ratio.
#pragma once

#include <QPixmap>
#include <QSize>

#include "ui/controls/key_picture.h"

class QPainter;

namespace veltrane::gui {

// Draws the picture into the 16 x 16 unit square of the painter's coordinates.
void PaintKeyPicture(QPainter& painter, ui::KeyPicture picture);

// The picture at `size` device-independent pixels for a screen of ratio
// `dpr`; drawn once per (picture, size, ratio) and kept for the process. GUI thread only.
QPixmap KeyPicturePixmap(ui::KeyPicture picture, QSize size, qreal dpr);

}  // namespace veltrane::gui
