#include "ui/FileDialogs.h"
#include "ui/Prompt.h"
#include "ui/ScriptedPrompt.h"
#include "ui/TGrandePolicesMsg.h"
#include "ui/TNewGauge.h"
#include "ui/TWait.h"
#include "ui/WindowPlacement.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>
#include <QWidget>

#include <gtest/gtest.h>

TEST(TWait, LayoutAndGaugeWidth)
{
    ui::TWait wait;
    EXPECT_EQ(wait.size(), QSize(277, 65));
    ASSERT_NE(wait.findChild<QLabel*>(QStringLiteral("Lab_Task")), nullptr);
    EXPECT_EQ(wait.findChild<QLabel*>(QStringLiteral("Lab_Msg"))->text(), QStringLiteral("Quelques instants, SVP ..."));
    EXPECT_TRUE(wait.findChild<QLabel*>(QStringLiteral("Lab_Task"))->font().bold());
    auto* gauge = wait.findChild<ui::WaitGauge*>(QStringLiteral("Gauge_Back"));
    ASSERT_NE(gauge, nullptr);
    const struct {
        int position, maximum, width;
    } cases[] = {{0, 1, 0}, {1, 1, 251}, {1, 3, 83}, {2, 3, 167}, {3, 3, 251}, {5, 0, 0}, {7, 4, 251}};
    for (const auto& c : cases) {
        wait.setMaximum(c.maximum);
        wait.setPosition(c.position);
        EXPECT_EQ(gauge->filledWidth(), c.width) << c.position << "/" << c.maximum;
    }
}

TEST(TWait, CentresOnItsOwner)
{
    QWidget owner;
    owner.setGeometry(100, 50, 801, 600);
    ui::TWait wait;
    wait.centerOn(&owner);
    const QRect g = owner.frameGeometry();
    EXPECT_EQ(wait.pos(), QPoint(g.left() + (g.width() - 277) / 2, g.top() + (g.height() - 65) / 2));
}

TEST(TNewGauge, SizeTextAndProgress)
{
    ui::TNewGauge gauge;
    EXPECT_EQ(gauge.size(), QSize(222, 56));
    EXPECT_TRUE(gauge.windowFlags() & Qt::WindowStaysOnTopHint);
    gauge.setText(QStringLiteral("MISE A JOUR"));
    gauge.setMaximum(9);
    gauge.setPosition(1);
    gauge.advance();
    EXPECT_EQ(gauge.position(), 2);
    EXPECT_EQ(gauge.findChild<QLabel*>(QStringLiteral("info"))->text(), QStringLiteral("MISE A JOUR"));
}

TEST(WindowPlacement, RestoreCases)
{
    const QRect work(0, 0, 1280, 1000);
    auto settings = [](int l, int t, int w, int h, const char* state) {
        core::Settings s;
        s.left = l;
        s.top = t;
        s.width = w;
        s.height = h;
        s.state = QString::fromLatin1(state);
        return s;
    };
    const struct {
        core::Settings s;
        QRect expected;
        bool maximized;
    } cases[] = {
        {core::Settings{}, QRect(240, 200, 800, 600), false},                           // never saved
        {settings(10, 20, 900, 700, "wsNormal"), QRect(10, 20, 900, 700), false},       // fits
        {settings(380, 300, 900, 700, "wsNormal"), QRect(380, 300, 900, 700), false},   // touches the edges
        {settings(381, 20, 900, 700, "wsNormal"), QRect(240, 200, 800, 600), false},    // beyond the right edge
        {settings(10, 301, 900, 700, "wsNormal"), QRect(240, 200, 800, 600), false},    // beyond the bottom
        {settings(-30, 20, 900, 700, "wsNormal"), QRect(190, 20, 900, 700), false},     // negative left re-centred
        {settings(-30, -5, 1400, 1100, "wsNormal"), QRect(240, 200, 800, 600), false},  // too big
        {settings(10, 20, 900, 700, "wsMaximized"), QRect(10, 20, 900, 700), true},
        {settings(10, 20, 900, 700, "wsMinimized"), QRect(10, 20, 900, 700), false},
    };
    for (const auto& c : cases) {
        const ui::Placement p = ui::ComputeRestoredPlacement(c.s, work);
        EXPECT_EQ(p.geometry, c.expected) << c.s.left << "," << c.s.top << " " << c.s.width << "x" << c.s.height;
        EXPECT_EQ(p.maximized, c.maximized);
    }
    // A negative left that stays negative once centred becomes 0.
    const ui::Placement small =
        ui::ComputeRestoredPlacement(settings(-300, 20, 850, 500, "wsNormal"), QRect(0, 0, 600, 900));
    EXPECT_EQ(small.geometry, QRect(0, 20, 850, 500));
    const ui::Placement tiny = ui::ComputeRestoredPlacement(core::Settings{}, QRect(0, 0, 640, 480));
    EXPECT_EQ(tiny.geometry, QRect(0, 0, 800, 600));
}

TEST(WindowPlacement, SaveKeepsNormalPlacementOfMaximisedWindow)
{
    QWidget w;
    w.setGeometry(30, 40, 700, 500);
    core::Settings s;
    ui::SaveWindowPlacement(&w, s);
    EXPECT_EQ(s.state, QStringLiteral("wsNormal"));
    EXPECT_EQ(s.width, 700);
    EXPECT_EQ(s.height, 500);
    const int left = s.left;
    w.setWindowState(Qt::WindowMaximized);
    ui::SaveWindowPlacement(&w, s);
    EXPECT_EQ(s.state, QStringLiteral("wsMaximized"));
    EXPECT_EQ(s.left, left);
    EXPECT_EQ(s.width, 700);
    w.setWindowState(Qt::WindowMinimized);
    ui::SaveWindowPlacement(&w, s);
    EXPECT_EQ(s.state, QStringLiteral("wsMinimized"));
    // Reopened after a minimised close: normal state.
    QWidget again;
    ui::RestoreWindowPlacement(&again, s, QRect(0, 0, 1280, 1000));
    EXPECT_FALSE(again.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
}

TEST(BigFontNotice, SettlesHideBigFontMsg)
{
    ui::ScriptedPrompt prompt;
    core::Settings s;
    ui::SettleBigFontNotice(s, 96, nullptr);
    EXPECT_TRUE(s.hideBigFontMsg);
    EXPECT_TRUE(prompt.dialogTitles().isEmpty());

    // Once true, never shown again, even at large fonts.
    ui::SettleBigFontNotice(s, 120, nullptr);
    EXPECT_TRUE(prompt.dialogTitles().isEmpty());

    for (bool check : {true, false}) {
        core::Settings fresh;
        prompt.setNextDialogHandler([check](QDialog* d) {
            d->findChild<QCheckBox*>(QStringLiteral("Check_Hide"))->setChecked(check);
            return int(QDialog::Accepted);
        });
        ui::SettleBigFontNotice(fresh, 120, nullptr);
        EXPECT_EQ(fresh.hideBigFontMsg, check);
    }
    EXPECT_EQ(prompt.dialogTitles(),
              (QStringList{QStringLiteral(" Détection de grandes polices"),
                           QStringLiteral(" Détection de grandes polices")}));
}

TEST(Prompt, FilterTranslation)
{
    EXPECT_EQ(ui::toQtFilter(QStringLiteral("Image Jpeg|*.jpg")), QStringLiteral("Image Jpeg (*.jpg)"));
    EXPECT_EQ(ui::toQtFilter(QStringLiteral("Tout (*.jpg;*.bmp)|*.jpg;*.bmp|Bitmaps (*.bmp)|*.bmp")),
              QStringLiteral("Tout (*.jpg;*.bmp);;Bitmaps (*.bmp)"));
}

// Qt's file dialog shows sizes and dates the French way whatever the
// environment's locale, and its "Dernière modification" header is not cut.
TEST(FileDialogs, FrenchSizesDatesAndWholeHeaders)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QTranslator qt;
    ASSERT_TRUE(qt.load(QLocale(QLocale::French), QStringLiteral("qt"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&qt);
    QTemporaryDir dir;
    const QDateTime stamp(QDate(2026, 12, 11), QTime(10, 0));
    for (const auto& [name, size] : {std::pair{"gros.bin", qint64(29884416)}, std::pair{"petit.txt", qint64(2)}}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(size));
        f.setFileTime(stamp, QFileDevice::FileModificationTime);
    }
    {
        QFileDialog dialog(nullptr, QStringLiteral("Enregistrer"), dir.path());
        dialog.setViewMode(QFileDialog::Detail);
        ui::PrepareFileDialog(dialog);
        auto* files = dialog.findChild<QFileSystemModel*>();
        ASSERT_TRUE(files);
        QEventLoop loop;
        QObject::connect(files, &QFileSystemModel::directoryLoaded, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        dialog.show();
        loop.exec();
        QCoreApplication::processEvents();
        auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_TRUE(tree);
        QStringList shown;
        for (int r = 0; r < tree->model()->rowCount(tree->rootIndex()); ++r) {
            QStringList cells;
            for (int c : {0, 1, 3})
                cells << tree->model()->index(r, c, tree->rootIndex()).data().toString();
            shown << cells.join(QLatin1Char('|'));
        }
        shown.sort();
        const QString date = QLocale().toString(stamp, QLocale::ShortFormat);
        EXPECT_EQ(
            shown,
            (QStringList{QStringLiteral("gros.bin|28,5 Mio|") + date, QStringLiteral("petit.txt|2 octets|") + date}));
        EXPECT_EQ(date, QStringLiteral("11/12/2026 10:00"));
        QHeaderView* header = tree->header();
        for (int c = 0; c < header->count(); ++c) {
            const QString text = tree->model()->headerData(c, Qt::Horizontal).toString();
            const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
            EXPECT_GE(header->sectionSize(c), header->fontMetrics().horizontalAdvance(text) + margins)
                << text.toStdString();
        }
        EXPECT_EQ(tree->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Dernière modification"));
        dialog.reject();
    }
    QCoreApplication::removeTranslator(&qt);
    QLocale::setDefault(before);
}
