#include "output/HtmlPlanningPages.h"

#include "db/Dataset.h"
#include "output/HtmlExport.h"
#include "planning/PlanningPaint.h"
#include "planning/Swatch.h"

#include <QHash>
#include <QPainter>

#include <optional>

namespace output {

namespace {

using planning::EntryField;

// What a page shows of an object record.
struct ObjectRecord {
    QString a, b;
    QByteArray thumbnail;
};

QString category(const planning::PlanningContext& ctx)
{
    return ctx.orientation == 0 ? QStringLiteral("People") : QStringLiteral("Project");
}

ObjectRecord recordOf(db::Dataset& query, const planning::PlanningContext& ctx)
{
    ObjectRecord r;
    r.a = query.FieldByName(ctx.orientation == 0 ? QStringLiteral("NAME") : QStringLiteral("TITLE")).AsString();
    r.b = query.FieldByName(ctx.orientation == 0 ? QStringLiteral("FUNCTION") : QStringLiteral("NAME")).AsString();
    r.thumbnail = query.FieldByName(QStringLiteral("IMGMINI1")).AsBlob();
    return r;
}

QString objectTable(const planning::PlanningContext& ctx)
{
    return ctx.orientation == 0 ? QStringLiteral("PEOPLE") : QStringLiteral("PROJECT");
}

// One record by its Id; empty texts and no thumbnail when there is none.
ObjectRecord readObject(db::Dataset& query, const planning::PlanningContext& ctx, int id)
{
    query.Close();
    query.setSQL(
        {QStringLiteral("SELECT * FROM ") + objectTable(ctx) + QStringLiteral(" WHERE ID=") + QString::number(id)});
    query.Open();
    ObjectRecord r;
    if (!query.IsEmpty())
        r = recordOf(query, ctx);
    query.Close();
    return r;
}

// Every object record of the dossier at once, by Id: one query instead of
// one per row of the monthly page.
QHash<int, ObjectRecord> readObjects(db::Dataset& query, const planning::PlanningContext& ctx)
{
    QHash<int, ObjectRecord> records;
    query.Close();
    query.setSQL({QStringLiteral("SELECT * FROM ") + objectTable(ctx),
                  QStringLiteral("WHERE Id_File=") + QString::number(ctx.dossierId)});
    query.Open();
    for (query.First(); !query.Eof(); query.Next())
        records.insert(query.FieldByName(QStringLiteral("ID")).AsInteger(), recordOf(query, ctx));
    query.Close();
    return records;
}

QString inDirectory(const QString& directory, const QString& name)
{
    if (directory.endsWith(QLatin1Char('/')))
        return directory + name;
    return directory + QLatin1Char('/') + name;
}

void beginPage(const QString& directory)
{
    PrepareHtmlDirectories();
    ClearHtmlDirectory(directory);
}

void addHeadAndTitleBlock(QStringList& lines, const QString& title)
{
    lines << HtmlPageHead(title)
          << QStringLiteral("<table border=\"0\" width=\"680\" cellspacing=\"0\" cellpadding=\"0\"><tr><td "
                            "width=\"100%\">")
          << QStringLiteral("<br>")
          << QStringLiteral("<table border=\"1\" bordercolor=\"#000000\" width=\"100%\" cellspacing=\"0\" "
                            "cellpadding=\"0\"><tr>")
          << QStringLiteral("<td width=\"100%\" valign=\"middle\">")
          << QStringLiteral("<font face=\"Arial\" size=\"6\">") << QStringLiteral("<center><b>") + title
          << QStringLiteral("</font>") << QStringLiteral("</td></tr></table>") << QStringLiteral("<br>");
}

void addLegend(QStringList& lines, const QString& directory, const QStringList& keys)
{
    lines << QStringLiteral("<table border=\"0\" width=\"100%\" cellspacing=\"0\" cellpadding=\"0\">");
    for (int n = 0; n < keys.size(); ++n) {
        const QString& entry = keys.at(n);
        const QString colour = n % 2 == 0 ? QStringLiteral("#F0F1F4") : QStringLiteral("#E0E2E9");
        QString text = EntryField(entry, 4);
        const QString second = EntryField(entry, 5);
        if (!second.isEmpty())
            text += QStringLiteral(" (") + second + QLatin1Char(')');
        const QString name = QStringLiteral("keybrush") + QString::number(n);
        SaveHtmlPicture(RenderKeySwatch(entry), inDirectory(directory, name + QStringLiteral(".jpg")));
        lines << QStringLiteral("<tr>")
              << QStringLiteral("<td width=\"1%\" bgColor=") + colour + QStringLiteral(" valign=\"middle\">")
              << QStringLiteral("<img border=\"0\" src=\"") + name
                + QStringLiteral(".jpg\" width=\"30\" height=\"20\" hspace=\"0\" vspace=\"0\">")
              << QStringLiteral("</td>")
              << QStringLiteral("<td width=\"99%\" bgColor=") + colour + QStringLiteral(" valign=\"middle\">")
              << QStringLiteral("<font face=\"Arial\" size=\"2\" color=\"#000000\">")
              << QStringLiteral("&nbsp;&nbsp;") + HtmlEscape(text) << QStringLiteral("</font>")
              << QStringLiteral("</td>") << QStringLiteral("</tr>");
    }
    lines << QStringLiteral("</table>");
}

void addEnd(QStringList& lines)
{
    lines << HtmlCreditLine() << QStringLiteral("</td></tr></table></body></html>");
}

QString imageTitle(const ObjectRecord& r)
{
    return QStringLiteral("Image (") + HtmlEscape(r.a) + QLatin1Char(')');
}

}  // namespace

QString PlanningPageTitle(const planning::PlanningContext& ctx)
{
    if (ctx.planningType == 0)
        return QStringLiteral("Planning de l'année ") + QString::number(ctx.year);
    return QStringLiteral("Planning ") + planning::MonthName(ctx.month) + QLatin1Char(' ') + QString::number(ctx.year);
}

QImage RenderYearPicture(const planning::AnnualModel& year, bool showDayNumber)
{
    constexpr int kWidth = 680, kHeight = 500;
    // A copy: the caller's model keeps its own colour mode.
    planning::AnnualModel direct = year;
    direct.DirectColors = true;
    const planning::LegendImages noImages;
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        planning::AnnualRenderer(direct, noImages)
            .RenderYear(&p, false, showDayNumber, false, planning::kGridColor, planning::kWeekendColor, 0xFFFFFF,
                        (kHeight - 15) / 24, (kWidth - 25) / 37, 25, 15, kHeight, kWidth);
    }
    return img.convertToFormat(QImage::Format_RGB888);
}

namespace {

QImage renderStrip(const planning::MonthModel& month, int row, bool showDayNumber)
{
    constexpr int kWidth = 500, kHeight = 48;
    const planning::LegendImages noImages;
    const int days = planning::DaysInMonth(month.Year, month.Month);
    const int firstWeekday = QDate(month.Year, month.Month, 1).dayOfWeek() % 7 + 1;
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        planning::MonthRenderer(month, noImages)
            .RenderMonthRow(&p, QRect(0, 0, kWidth, kHeight), showDayNumber, false, planning::kGridColor,
                            planning::kWeekendColor, 0xFFFFFF, firstWeekday, days, (kHeight - 15 - 1) / 2,
                            kWidth / days, 0, 15, row);
    }
    return img.convertToFormat(QImage::Format_RGB888);
}

}  // namespace

QImage RenderMonthStrip(const planning::MonthModel& month, int row, bool showDayNumber)
{
    if (month.DirectColors)
        return renderStrip(month, row, showDayNumber);
    planning::MonthModel direct = month;
    direct.DirectColors = true;
    return renderStrip(direct, row, showDayNumber);
}

QImage RenderKeySwatch(const QString& keyEntry)
{
    return planning::RenderSwatch(30, 20, 3, 12, 5, 2, EntryField(keyEntry, 1).toUInt(),
                                  EntryField(keyEntry, 2).toUInt(),
                                  planning::DecodeBrushStyle(EntryField(keyEntry, 3).toInt()), 0)
        .convertToFormat(QImage::Format_RGB888);
}

void WriteAnnualPlanningPage(db::Dataset& query, const QString& directory, const QString& title,
                             const planning::AnnualModel& year, const planning::PlanningContext& ctx, int objectId,
                             const QStringList& keys)
{
    beginPage(directory);
    QStringList lines;
    addHeadAndTitleBlock(lines, title);
    const ObjectRecord record = readObject(query, ctx, objectId);
    const bool hasPage = WriteRecordImage(record.thumbnail, directory, category(ctx), QStringLiteral("img"),
                                          QStringLiteral("imgfullsize"), objectId, imageTitle(record));
    const QString id = QString::number(objectId);
    lines << QStringLiteral("<table border=\"0\" width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr>")
          << QStringLiteral("<td width=\"1%\" valign=\"top\">");
    if (hasPage)
        lines << HtmlPopupLinkOpening(QStringLiteral("img"), objectId);
    lines << QStringLiteral("<img border=\"1\" src=\"img") + id
            + QStringLiteral(".jpg\" width=\"45\" height=\"45\" hspace=\"0\" vspace=\"0\">");
    if (hasPage)
        lines << QStringLiteral("</a>");
    lines << QStringLiteral("</td>") << QStringLiteral("<td width=\"100%\" valign=\"top\">")
          << QStringLiteral("<font face=\"Arial\" size=\"4\">")
          << QStringLiteral("&nbsp;") + HtmlEscape(record.a) + QStringLiteral("<br>")
          << QStringLiteral("&nbsp;") + HtmlEscape(record.b) << QStringLiteral("</font>")
          << QStringLiteral("</td></tr></table>") << QStringLiteral("<br>");

    SaveHtmlPicture(RenderYearPicture(year, ctx.showDayNumber), inDirectory(directory, QStringLiteral("planning.jpg")));
    lines << QStringLiteral("<center><img border=\"0\" src=\"planning.jpg\" width=\"680\" height=\"500\" hspace=\"0\" "
                            "vspace=\"0\"></center>")
          << QStringLiteral("<br>");
    addLegend(lines, directory, keys);
    addEnd(lines);
    SaveHtmlLines(inDirectory(directory, QStringLiteral("index.htm")), lines);
}

void WriteMonthlyPlanningPage(db::Dataset& query, const QString& directory, const QString& title,
                              const planning::MonthModel& month, const planning::PlanningContext& ctx,
                              const QStringList& objects, const QStringList& keys)
{
    beginPage(directory);
    WriteBlankImage(directory, QStringLiteral("white"), 5, 5, 0xFFFFFF);
    QStringList lines;
    addHeadAndTitleBlock(lines, title);
    lines << QStringLiteral("<table border=\"0\" width=\"100%\" cellspacing=\"0\" cellpadding=\"0\">");

    const QHash<int, ObjectRecord> records = readObjects(query, ctx);
    // One copy in direct colours for every strip rather than one per strip.
    std::optional<planning::MonthModel> directCopy;
    if (!month.DirectColors) {
        directCopy.emplace(month);
        directCopy->DirectColors = true;
    }
    const planning::MonthModel& direct = directCopy ? *directCopy : month;
    for (int i = 0; i < objects.size(); ++i) {
        const int objectId = planning::EntryId(objects, i);
        const QString id = QString::number(objectId);
        const ObjectRecord record = records.value(objectId);
        lines << QStringLiteral("<tr>");
        const bool hasPage = WriteRecordImage(record.thumbnail, directory, category(ctx), QStringLiteral("objectimg"),
                                              QStringLiteral("objectimgfullsize"), objectId, imageTitle(record));
        lines << QStringLiteral("<td width=\"150\" bgColor=\"#FFFFFF\" valign=\"top\">")
              << QStringLiteral("<img border=\"0\" src=\"white.jpg\" width=\"5\" height=\"15\" hspace=\"0\" "
                                "vspace=\"0\"><br>")
              << QStringLiteral("<table border=\"0\" width=\"100%\" cellspacing=\"0\" cellpadding=\"0\">")
              << QStringLiteral("<td width=\"1%\" bgColor=#FFFFFF valign=\"middle\">");
        if (hasPage)
            lines << HtmlPopupLinkOpening(QStringLiteral("objectimg"), objectId);
        lines << QStringLiteral("<img border=\"1\" src=\"objectimg") + id
                + QStringLiteral(".jpg\" width=\"30\" height=\"30\" hspace=\"0\" vspace=\"0\">");
        if (hasPage)
            lines << QStringLiteral("</a>");
        lines << QStringLiteral("</td>") << QStringLiteral("<td width=\"150\" bgColor=#FFFFFF valign=\"top\">")
              << QStringLiteral("<font face=\"Arial\" size=\"2\" color=\"#000000\">")
              << QStringLiteral("&nbsp;") + HtmlEscape(record.a) + QStringLiteral("<br>")
              << QStringLiteral("&nbsp;") + HtmlEscape(record.b) << QStringLiteral("</font>") << QStringLiteral("</td>")
              << QStringLiteral("</table>") << QStringLiteral("</td>")
              << QStringLiteral("<td width=\"500\" bgColor=\"#FFFFFF\" valign=\"top\">");
        SaveHtmlPicture(renderStrip(direct, i, ctx.showDayNumber),
                        inDirectory(directory, QStringLiteral("planning") + id + QStringLiteral(".jpg")));
        lines << QStringLiteral("<center><img border=\"0\" src=\"planning") + id
                + QStringLiteral(".jpg\" width=\"500\" height=\"48\" hspace=\"0\" vspace=\"0\"></center>")
              << QStringLiteral("</td>") << QStringLiteral("</tr>");
    }
    lines << QStringLiteral("</table><br><br>");
    addLegend(lines, directory, keys);
    addEnd(lines);
    SaveHtmlLines(inDirectory(directory, QStringLiteral("index.htm")), lines);
}

}  // namespace output
