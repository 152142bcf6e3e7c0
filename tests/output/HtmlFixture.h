#pragma once

#include "core/Clock.h"
#include "core/Globals.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Schema.h"
#include "images/ImageRoutines.h"
#include "output/HtmlExport.h"
#include "planning/PlanningModel.h"

#include "../support/Sandbox.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>

// A small fixed dossier for the pages: dossier 1 with two persons and three
// projects, one photo, a thumbnail without its photo file, texts that need
// escaping and a remark on two lines; dossier 2 holds a person that no page
// of dossier 1 may show. "Today" is 15 March 2024.
namespace output_test {

inline QString goldenDir()
{
    return QStringLiteral(OUTPUT_GOLDEN_DIR "/");
}

// Compares with the golden file; PLANNING_UPDATE_GOLDEN=1 rewrites it.
inline void expectGolden(const QString& file, const QString& golden)
{
    const QByteArray actual = testing_support::Sandbox::readFile(file);
    if (qEnvironmentVariableIsSet("PLANNING_UPDATE_GOLDEN"))
        testing_support::Sandbox::writeFile(goldenDir() + golden, actual);
    const QByteArray expected = testing_support::Sandbox::readFile(goldenDir() + golden);
    ASSERT_FALSE(expected.isEmpty()) << golden.toStdString();
    EXPECT_TRUE(actual == expected) << golden.toStdString() << " differs:\n" << actual.toStdString();
}

// The mean luma difference between two pictures of one size: the JPEG
// halves the chroma, which blurs the colour of fine hatches, but keeps the
// luma of the drawing within a few levels.
inline double meanDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size())
        return 255;
    double sum = 0;
    for (int j = 0; j < x.height(); ++j)
        for (int i = 0; i < x.width(); ++i) {
            const QRgb p = x.pixel(i, j), q = y.pixel(i, j);
            sum += std::abs(qGray(p) - qGray(q));
        }
    return sum / (double(x.width()) * x.height());
}

// Two colours within tolerance on every channel.
inline bool near(const QColor& a, const QColor& b, int tolerance = 40)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

class HtmlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox = std::make_unique<testing_support::Sandbox>(false);
        core::Globals& g = core::globals();
        g.dataRoot = sandbox->root() + QStringLiteral("root/");
        g.dataDir = g.dataRoot + QStringLiteral("Data/");
        QDir().mkpath(g.dataDir + QStringLiteral("Images"));
        QDir().mkpath(g.dataDir + QStringLiteral("Access"));
        // Where the main data module looks for it.
        const QString path = g.dataDir + g.db.oledbFileName;
        db::CreateDatabaseFile(path);
        connection.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
        connection.open();
        query.setConnection(&connection);
        core::setClock([] { return QDateTime(QDate(2024, 3, 15), QTime(10, 0)); });

        QImage photo(60, 40, QImage::Format_RGB32);
        photo.fill(QColor(200, 40, 40));
        thumbnail = images::BitmapFileBytes(images::MakeThumbnail(photo, 105, 105));
        photo.save(g.dataDir + QStringLiteral("Images/People1.jpg"), "JPG");

        const QVariant none;
        exec("INSERT INTO PEOPLE (Id, Id_File, Name, \"Function\", Phone, Fax, Email, WebSite, Remark1, ImgMini1, "
             "PenColor, BrushColor, BrushStyle) VALUES (1, 1, ?, ?, '01 02', '', 'contact@dupont.example', "
             "'www.dupont.example', ?, ?, 255, 16777215, 2)",
             {QStringLiteral("Dupont & Fils <R&D>"), QStringLiteral("Chef \"senior\""),
              QStringLiteral("Première ligne\r\n<script>alert(1)</script>"), thumbnail});
        exec("INSERT INTO PEOPLE (Id, Id_File, Name, \"Function\", PenColor, BrushColor, BrushStyle) VALUES (2, 1, "
             "'Martin', 'Technicien', 65280, 0, 0)");
        exec("INSERT INTO PEOPLE (Id, Id_File, Name, Email, PenColor, BrushColor, BrushStyle) VALUES (3, 2, "
             "'Secret', 'secret@autre.example', 0, 0, 0)");
        exec("INSERT INTO PROJECT (Id, Id_File, Title, Name, ShortDescription, Description, ImgMini1, PenColor, "
             "BrushColor, BrushStyle) VALUES (1, 1, 'Pont', 'Alice', 'Un pont', 'Long\r\ntexte', ?, 16711680, 255, 4)",
             {thumbnail});
        exec("INSERT INTO PROJECT (Id, Id_File, Title, Name, PenColor, BrushColor, BrushStyle) VALUES (2, 1, 'Tour', "
             "'', 32768, 16777215, 6)");
        exec("INSERT INTO PROJECT (Id, Id_File, Title, PenColor, BrushColor, BrushStyle) VALUES (3, 1, 'Quai', "
             "8421504, 0, 1)");
        exec("INSERT INTO PROJECT (Id, Id_File, Title, PenColor, BrushColor, BrushStyle) VALUES (4, 2, 'Cach\u00e9', "
             "0, 0, 0)");
        persons = {planning::MakeEntry(1, 255, 16777215, 2, QStringLiteral("Dupont & Fils <R&D>"),
                                       QStringLiteral("Chef \"senior\"")),
                   planning::MakeEntry(2, 65280, 0, 0, QStringLiteral("Martin"), QStringLiteral("Technicien"))};
        projects = {planning::MakeEntry(1, 16711680, 255, 4, QStringLiteral("Pont"), QStringLiteral("Un pont")),
                    planning::MakeEntry(3, 8421504, 0, 1, QStringLiteral("Quai"), {}),
                    planning::MakeEntry(2, 32768, 16777215, 6, QStringLiteral("Tour"), {})};
        for (const auto& [person, project, date, half] :
             {std::tuple{1, 1, "2024-03-04", 1}, std::tuple{1, 1, "2024-03-04", 2}, std::tuple{1, 2, "2024-03-20", 1},
              std::tuple{2, 3, "2024-03-05", 2}, std::tuple{2, 2, "2024-07-14", 1}})
            connection.exec(QStringLiteral("INSERT INTO PLANNING VALUES (1, ?, ?, ?, ?)"),
                            {person, project, QString::fromLatin1(date), half});
        ctx.dossierId = 1;
        ctx.personId = 1;
        ctx.year = 2024;
        ctx.month = 3;
        ctx.showDayNumber = true;
    }
    void TearDown() override
    {
        query.Close();
        connection.close();
        core::setClock({});
        sandbox.reset();
    }
    void exec(const char* sql, const QVariantList& values = {}) { connection.exec(QString::fromUtf8(sql), values); }
    static QString work() { return output::HtmlWorkDirectory(); }
    static QImage picture(const QString& name) { return QImage(work() + name); }

    std::unique_ptr<testing_support::Sandbox> sandbox;
    db::Connection connection;
    db::Dataset query;
    QByteArray thumbnail;
    QStringList persons, projects;
    planning::PlanningContext ctx;
};

}  // namespace output_test
