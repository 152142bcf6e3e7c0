#include "core/Clock.h"
#include "core/Globals.h"
#include "ui/TMiniCalendar.h"
#include "ui/TPopupMenuMod.h"
#include "ui/WindowFrame.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

using namespace ui;

TEST(WindowFrame, CaptionFromTitle)
{
    EXPECT_EQ(WindowCaptionFromTitle(QStringLiteral("   Liste d''attente")), QStringLiteral("Liste d'attente"));
    EXPECT_EQ(WindowCaptionFromTitle(QStringLiteral(" Propriétés ")), QStringLiteral("Propriétés "));
    EXPECT_EQ(WindowCaptionFromTitle(QString()), QString());
}

TEST(WindowFrame, ToggleMaximizedTwice)
{
    const QRect work(0, 0, 1280, 1000);
    QWidget w;
    w.setGeometry(30, 40, 700, 500);
    EXPECT_EQ(ToggleMaximized(&w, work), QStringLiteral("Réduire"));
    EXPECT_EQ(w.geometry(), work);
    EXPECT_EQ(ToggleMaximized(&w, work), QStringLiteral("Agrandir"));
    EXPECT_EQ(w.geometry(), QRect(240, 200, 800, 600));
    EXPECT_FALSE(w.windowState() & Qt::WindowMaximized);
    // Tag 1024 restores to 1024 × 768; a work area smaller than that gives 0, 0.
    w.setProperty("tag", 1024);
    ToggleMaximized(&w, QRect(0, 0, 900, 700));
    ToggleMaximized(&w, QRect(0, 0, 900, 700));
    EXPECT_EQ(w.geometry(), QRect(0, 0, 1024, 768));
}

TEST(WindowFrame, GripAppliesOnlyAboveTheMinimum)
{
    QWidget w;
    w.resize(700, 500);
    auto* grip = new ResizeGrip(QStringLiteral("Image1"), 640, 480, &w);
    grip->beginDrag(QPoint(1000, 1000));
    grip->dragTo(QPoint(1000 - 60, 1000 - 20));  // 640 × 480 exactly: neither applied
    EXPECT_EQ(w.size(), QSize(700, 500));
    grip->dragTo(QPoint(1000 - 59, 1000 - 19));  // 641 × 481
    EXPECT_EQ(w.size(), QSize(641, 481));
    grip->dragTo(QPoint(1000 + 100, 1000 - 300));  // height too small: only the width follows
    EXPECT_EQ(w.size(), QSize(800, 481));
}

TEST(WindowFrame, SystemFrameModeKeepsTheClientArea)
{
    core::resetGlobals();
    core::globals().nativeFrame = true;
    QWidget dialog;
    dialog.setObjectName(QStringLiteral("EnterFile"));
    dialog.resize(400, 318);
    auto* bar = new TitleBar(QStringLiteral("  Dossier d''exemple"), TitleBar::Close, &dialog);
    bar->setGeometry(0, 0, 400, 18);
    SetUpWindow(&dialog);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Dossier d'exemple"));
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(dialog.size(), QSize(400, 300));
    EXPECT_FALSE(dialog.windowFlags() & Qt::FramelessWindowHint);

    QWidget keep;
    keep.setProperty("tag", -1);
    keep.resize(300, 200);
    auto* bar2 = new TitleBar(QStringLiteral("x"), TitleBar::Close, &keep);
    SetUpWindow(&keep);
    EXPECT_FALSE(bar2->isHidden());
    EXPECT_TRUE(keep.windowFlags() & Qt::FramelessWindowHint);
    core::resetGlobals();
}

TEST(WindowFrame, SystemFrameButtonsFollowTheDrawnOnes)
{
    core::resetGlobals();
    core::globals().nativeFrame = true;
    const struct {
        int buttons;
        bool minimise, maximise;
    } cases[] = {{TitleBar::Close, false, false},
                 {TitleBar::Minimize | TitleBar::Close, true, false},
                 {TitleBar::Minimize | TitleBar::Maximize | TitleBar::Close, true, true}};
    for (const auto& c : cases) {
        for (bool dialog : {true, false}) {
            std::unique_ptr<QWidget> w = dialog ? std::make_unique<QDialog>() : std::make_unique<QWidget>();
            w->resize(300, 200);
            new TitleBar(QStringLiteral("  Fenêtre"), c.buttons, w.get());
            SetUpWindow(w.get());
            const Qt::WindowFlags f = w->windowFlags();
            EXPECT_EQ(bool(f & Qt::WindowMinimizeButtonHint), c.minimise) << c.buttons << dialog;
            EXPECT_EQ(bool(f & Qt::WindowMaximizeButtonHint), c.maximise) << c.buttons << dialog;
            EXPECT_TRUE(f & Qt::WindowCloseButtonHint);
            EXPECT_FALSE(f & Qt::FramelessWindowHint);
        }
    }
    // The about window keeps its drawn frame.
    QDialog about;
    about.setObjectName(QStringLiteral("About"));
    auto* bar = new TitleBar(QStringLiteral("  A propos"), TitleBar::Close, &about);
    SetUpWindow(&about);
    EXPECT_TRUE(about.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(bar->isHidden());
    core::resetGlobals();
}

TEST(WindowFrame, TitleBarFollowsActivation)
{
    QWidget w;
    w.resize(300, 200);
    auto* bar = new TitleBar(QStringLiteral(" Test"), TitleBar::Minimize | TitleBar::Maximize | TitleBar::Close, &w);
    bar->setGeometry(0, 0, 300, 18);
    ASSERT_NE(w.findChild<QWidget*>(QStringLiteral("SysMaxiBtn")), nullptr);
    EXPECT_EQ(w.findChild<QWidget*>(QStringLiteral("SysMaxiBtn"))->toolTip(), QStringLiteral("Agrandir"));
    bar->ActiveTestTimer();
    EXPECT_FALSE(bar->activeColors());  // never shown, so not active
    EXPECT_EQ(bar->titleLabel()->palette().color(QPalette::WindowText), QColor(Qt::white));
}

namespace {
QImage renderMenu(QMenu& menu)
{
    menu.ensurePolished();
    menu.adjustSize();
    QImage img(menu.size(), QImage::Format_RGB32);
    img.fill(Qt::black);
    menu.render(&img);
    return img;
}
}  // namespace

TEST(PopupMenu, SeparatorsDisabledAndCheckedItems)
{
    TPopupMenuMod menu;
    menu.HasImages = true;
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 255));
    QPainter(&red).fillRect(4, 4, 8, 8, QColor(200, 0, 0));
    QAction* open = menu.addAction(QIcon(QPixmap::fromImage(red)), QStringLiteral("&Ouvrir"));
    QAction* sep = menu.addSeparator();
    QAction* off = menu.addAction(QIcon(QPixmap::fromImage(red)), QStringLiteral("&Fermer"));
    off->setEnabled(false);
    QAction* check = menu.addAction(QStringLiteral("Numéros"));
    check->setCheckable(true);
    check->setChecked(true);
    const QImage img = renderMenu(menu);
    EXPECT_EQ(menu.actionGeometry(sep).height(), 10);
    EXPECT_EQ(menu.actionGeometry(open).height(), 22);
    const QRect s = menu.actionGeometry(sep);
    EXPECT_EQ(img.pixelColor(40, s.top() + 5), QColor(192, 192, 192));
    EXPECT_EQ(img.pixelColor(40, s.top() + 3), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(10, s.top() + 3), QColor(244, 244, 244));  // image column
    // The enabled picture keeps its red, the disabled one is grey.
    const QRect o = menu.actionGeometry(open);
    const QRect f = menu.actionGeometry(off);
    const int oy = o.top() + (o.height() - 16) / 2 + 8;
    const int fy = f.top() + (f.height() - 16) / 2 + 8;
    EXPECT_EQ(img.pixelColor(3 + 8, oy), QColor(200, 0, 0));
    EXPECT_EQ(img.pixelColor(3 + 8, fy), QColor(66, 66, 66));
    EXPECT_EQ(img.pixelColor(3 + 1, fy), QColor(244, 244, 244));  // magenta stays transparent
    EXPECT_EQ(TPopupMenuMod::GreyedPicture(red).pixelColor(6, 6), QColor(66, 66, 66));
    // The disabled caption is light grey: no black pixel in its text area.
    bool black = false, light = false;
    for (int x = 25; x < img.width() - 2; ++x)
        for (int y = f.top() + 2; y < f.bottom() - 1; ++y) {
            black |= img.pixelColor(x, y) == QColor(Qt::black);
            light |= img.pixelColor(x, y) == QColor(192, 192, 192);
        }
    EXPECT_FALSE(black);
    EXPECT_TRUE(light);
    // The checked item shows the check picture (black strokes in the image column).
    const QRect c = menu.actionGeometry(check);
    bool stroke = false;
    for (int x = 3; x < 19; ++x)
        for (int y = c.top(); y <= c.bottom(); ++y)
            stroke |= img.pixelColor(x, y) == QColor(Qt::black);
    EXPECT_TRUE(stroke);
}

TEST(PopupMenu, HighlightFrameAndSubMenusMeasureAlike)
{
    TPopupMenuMod menu;
    menu.ItemsHeight = 20;
    QAction* first = menu.addAction(QStringLiteral("&Premier"));
    menu.addAction(QStringLiteral("&Second"));
    auto* sub = new TPopupMenuMod(&menu);
    sub->setTitle(QStringLiteral("&Base de données"));
    QAction* inner = sub->addAction(QStringLiteral("&Sauvegarde"));
    auto* third = new TPopupMenuMod(sub);
    third->setTitle(QStringLiteral("&Plus"));
    QAction* deepest = third->addAction(QStringLiteral("&Dernier"));
    sub->addMenu(third);
    menu.addMenu(sub);
    sub->ensurePolished();
    sub->adjustSize();
    third->ensurePolished();
    third->adjustSize();
    EXPECT_EQ(sub->actionGeometry(inner).height(), 20);
    EXPECT_EQ(third->actionGeometry(deepest).height(), 20);
    EXPECT_EQ(menu.actionGeometry(sub->menuAction()).height(), 20);

    // The highlight: outline from (1, top) to (right - 1, bottom - 1).
    menu.setActiveAction(first);
    const QImage img = renderMenu(menu);
    const QRect r = menu.actionGeometry(first);
    const QColor border(131, 166, 224), fill(231, 236, 248);
    EXPECT_EQ(img.pixelColor(1, r.top()), border);
    EXPECT_EQ(img.pixelColor(1, r.bottom() - 1), border);
    EXPECT_EQ(img.pixelColor(r.right() - 1, r.bottom() - 1), border);
    EXPECT_EQ(img.pixelColor(r.right() - 1, r.top() + 5), border);
    EXPECT_NE(img.pixelColor(5, r.bottom()), border);
    EXPECT_NE(img.pixelColor(r.right(), r.top() + 5), border);
    EXPECT_EQ(img.pixelColor(2, r.top() + 1), fill);
}

// A menu of check items without pictures still gives the check mark its
// column (the caption starts after it); a sub-menu item shows its arrow.
TEST(PopupMenu, CheckMarksKeepClearOfCaptionsAndSubMenusShowAnArrow)
{
    TPopupMenuMod menu;
    menu.ItemsHeight = 20;
    QAction* annual = menu.addAction(QStringLiteral("Planning &annuel"));
    QAction* monthly = menu.addAction(QStringLiteral("Planning &mensuel"));
    for (QAction* a : {annual, monthly})
        a->setCheckable(true);
    annual->setChecked(true);
    auto* sub = new TPopupMenuMod(&menu);
    sub->setTitle(QStringLiteral("&Base de données"));
    sub->addAction(QStringLiteral("&Sauvegarde"));
    menu.addMenu(sub);
    const QImage img = renderMenu(menu);
    auto darkIn = [&img](int x0, int x1, const QRect& r) {
        QList<int> xs;
        for (int x = x0; x <= x1; ++x)
            for (int y = r.top() + 2; y < r.bottom() - 1; ++y)
                if (qGray(img.pixel(x, y)) < 100 && !xs.contains(x))
                    xs << x;
        return xs;
    };
    for (QAction* a : {annual, monthly}) {
        const QRect r = menu.actionGeometry(a);
        EXPECT_EQ(img.pixelColor(20, r.top() + r.height() / 2), QColor(244, 244, 244)) << a->text().toStdString();
        EXPECT_FALSE(darkIn(25, 40, r).isEmpty()) << "the caption";
        EXPECT_TRUE(darkIn(20, 24, r).isEmpty()) << "the caption starts after the image column";
    }
    EXPECT_FALSE(darkIn(3, 18, menu.actionGeometry(annual)).isEmpty());  // the check mark
    EXPECT_TRUE(darkIn(3, 18, menu.actionGeometry(monthly)).isEmpty());
    const QRect s = menu.actionGeometry(sub->menuAction());
    EXPECT_FALSE(darkIn(s.right() - 11, s.right() - 7, s).isEmpty()) << "sub-menu arrow";
    EXPECT_TRUE(darkIn(s.right() - 11, s.right() - 7, menu.actionGeometry(monthly)).isEmpty());
}

TEST(MiniCalendar, DayAndMonthTexts)
{
    TMiniCalendar cal;
    EXPECT_EQ(cal.size(), QSize(29, 43));
    EXPECT_EQ(TMiniCalendar::DayText(QDate(2024, 3, 5)), QStringLiteral("05"));
    EXPECT_EQ(cal.MonthText(QDate(2024, 2, 10)), QStringLiteral("Feb"));
    cal.setLanguage(TMiniCalendar::Language::French);
    EXPECT_EQ(cal.MonthText(QDate(2024, 2, 10)), QStringLiteral("Fév"));
    EXPECT_EQ(cal.MonthText(QDate(2024, 8, 10)), QStringLiteral("Aoû"));
    core::setClock([] { return QDateTime(QDate(2024, 2, 5), QTime(8, 0)); });
    cal.resize(30, 43);
    QImage img(cal.size(), QImage::Format_RGB32);
    img.fill(Qt::green);
    cal.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    core::setClock({});
    bool red = false;
    for (int y = 8; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            red |= img.pixelColor(x, y).red() > 200 && img.pixelColor(x, y).green() < 80;
    EXPECT_TRUE(red);
    EXPECT_EQ(img.pixelColor(0, 0), QColor(Qt::green));  // the grey corner is transparent
}
