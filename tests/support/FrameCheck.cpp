#include "FrameCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QLayout>
#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

namespace testing_support {

namespace {

// What a scroll area holds may be larger than the window: it scrolls.
bool insideScrolledArea(const QWidget* w, const QWidget* window)
{
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget()) {
        if (p->objectName() == QStringLiteral("qt_scrollarea_viewport"))
            return true;
    }
    return false;
}

}  // namespace

void ExpectFramedWindow(QWidget* window, const QSize& design, bool systemFrame, const QString& name)
{
    if (!window->isVisible())
        window->show();
    QCoreApplication::processEvents();
    const std::string mode = name.toStdString() + (systemFrame ? " (system frame)" : " (drawn frame)") + ", "
        + std::to_string(window->width()) + "x" + std::to_string(window->height());
    auto* bar = window->findChild<QWidget*>(QStringLiteral("TitleBar"));
    ASSERT_NE(bar, nullptr) << mode;
    constexpr int kBarHeight = 18;
    if (systemFrame) {
        EXPECT_EQ(window->size(), design - QSize(0, kBarHeight)) << mode;
        EXPECT_TRUE(bar->isHidden()) << mode;
    } else {
        EXPECT_EQ(window->size(), design) << mode;
        EXPECT_EQ(bar->geometry(), QRect(0, 0, design.width(), kBarHeight)) << mode;
    }
    if (QLayout* layout = window->layout()) {
        const QSize needed = layout->minimumSize();
        EXPECT_LE(needed.width(), window->width()) << mode;
        EXPECT_LE(needed.height(), window->height()) << mode;
    }
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->isWindow() || w->size().isEmpty() || insideScrolledArea(w, window))
            continue;
        const QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
        EXPECT_TRUE(window->rect().contains(r))
            << mode << ": " << w->objectName().toStdString() << " (" << w->metaObject()->className() << ") at " << r.x()
            << "," << r.y() << " " << r.width() << "x" << r.height();
    }
    const QString shots = qEnvironmentVariable("PLANNING_SHOTS_DIR");
    if (!shots.isEmpty()) {
        QDir().mkpath(shots);
        window->grab().save(shots + QLatin1Char('/') + name
                            + (systemFrame ? QStringLiteral("-system.png") : QStringLiteral("-drawn.png")));
    }
}

}  // namespace testing_support
