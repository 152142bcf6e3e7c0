#pragma once

#include "planning/PlanningModel.h"

#include <QImage>

namespace planning {

// The bevelled, hatched colour sample of a person or project: drawn at
// scale × the size, bevelled, reduced with ResampleBitmap, then lightened.
// Colours are 0x00BBGGRR. The result is RGB32, width × height.
QImage RenderSwatch(int width, int height, int penWidth, int spacing, int bevelDepth, int scale, quint32 background,
                    quint32 hatchColor, TBrushStyle style, int lighten);

// Steps 1 to 4 of the swatch at full scale (hatch and bevel, not reduced).
QImage RenderSwatchUnreduced(int width, int height, int penWidth, int spacing, int bevelDepth, int scale,
                             quint32 background, quint32 hatchColor, TBrushStyle style);

// Adds amount to every channel of every pixel, clamped to 0..255.
void LightenImage(QImage& image, int amount);

}  // namespace planning
