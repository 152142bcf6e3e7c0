#pragma once

#include <QImage>
#include <QString>

namespace testing_support {

// Pixels of two same-sized pictures whose red, green or blue differ by more
// than 48: antialiasing and font hinting stay well below that step.
int DifferingPixels(const QImage& a, const QImage& b);

// Compares a drawing with the golden file directory + name, allowing one
// pixel in `tolerance` to differ. PLANNING_UPDATE_GOLDEN=1 writes the golden
// file instead, after an intended change of the drawing.
void ExpectGolden(const QImage& image, const QString& directory, const QString& name, int tolerance);

}  // namespace testing_support
