#pragma once

#include <QImage>
#include <QStringList>

#include <vector>

namespace planning {

// The swatch of every legend entry at the views' half-day size, normal and
// faded (+50 on every channel); image i belongs to legend entry i.
class LegendImages {
public:
    void rebuild(const QStringList& legend, int width, int height);
    void clear();
    int count() const { return static_cast<int>(m_normal.size()); }
    // nullptr for an index without an image.
    const QImage* image(int index, bool faded) const;

private:
    std::vector<QImage> m_normal;
    std::vector<QImage> m_faded;
};

}  // namespace planning
