#include "planning/LegendImages.h"

#include "planning/PlanningModel.h"
#include "planning/Swatch.h"

namespace planning {

void LegendImages::rebuild(const QStringList& legend, int width, int height)
{
    clear();
    if (width <= 0 || height <= 0)
        return;
    m_normal.reserve(legend.size());
    m_faded.reserve(legend.size());
    for (const QString& entry : legend) {
        QImage img = RenderSwatch(width, height, 3, 12, 3, 2, EntryField(entry, 1).toUInt(),
                                  EntryField(entry, 2).toUInt(), DecodeBrushStyle(EntryField(entry, 3).toInt()), 0);
        m_normal.push_back(img);
        LightenImage(img, 50);
        m_faded.push_back(img);
    }
}

void LegendImages::clear()
{
    m_normal.clear();
    m_faded.clear();
}

const QImage* LegendImages::image(int index, bool faded) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return faded ? &m_faded[index] : &m_normal[index];
}

}  // namespace planning
