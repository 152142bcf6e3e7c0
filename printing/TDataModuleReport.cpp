#include "printing/TDataModuleReport.h"

#include "core/Globals.h"
#include "core/StringUtils.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "planning/LegendImages.h"
#include "planning/Swatch.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>
#include <QRegularExpression>

namespace printing {

namespace {

QStringList lines(std::initializer_list<const char*> texts)
{
    QStringList out;
    for (const char* t : texts)
        out << QString::fromLatin1(t);
    return out;
}

// TEMP is scratch space for the time of one preparation: the transaction
// is always rolled back, which keeps the writes cheap and leaves nothing
// locked when the report fails. An enclosing transaction is left alone.
class ScratchTransaction {
public:
    explicit ScratchTransaction(db::Connection& c) : m_c(c), m_mine(!c.inTransaction())
    {
        if (m_mine)
            m_c.beginTransaction();
    }
    ~ScratchTransaction() { end(); }
    void end()
    {
        if (!m_mine)
            return;
        m_mine = false;
        try {
            m_c.rollback();
        } catch (...) {
        }
    }

private:
    db::Connection& m_c;
    bool m_mine;
};

// Runs at the end of a report whatever happened.
template <typename F> class Finally {
public:
    explicit Finally(F f) : m_f(std::move(f)) { }
    ~Finally() { m_f(); }

private:
    F m_f;
};

QImage swatchOf(db::Dataset& ds, int width)
{
    return planning::RenderSwatch(
        width, 16, 3, 12, 5, 2, static_cast<quint32>(ds.FieldByName(QStringLiteral("PenColor")).AsInteger()),
        static_cast<quint32>(ds.FieldByName(QStringLiteral("BrushColor")).AsInteger()),
        planning::DecodeBrushStyle(ds.FieldByName(QStringLiteral("BrushStyle")).AsInteger()), 0);
}

}  // namespace

QStringList DefaultReportQuerySql()
{
    return lines({"SELECT",
                  "  PEOPLE.Id as [Id],",
                  "  PEOPLE.Id_File as [Id_File],",
                  "  PEOPLE.Name as [Field1],",
                  "  PEOPLE.Function as [Field2],",
                  "  PEOPLE.NickName as [NickName],",
                  "  PEOPLE.Address as [Address],",
                  "  PEOPLE.CP as [CP],",
                  "  PEOPLE.City as [City],",
                  "  PEOPLE.Country as [Country],",
                  "  PEOPLE.Phone as [Phone],",
                  "  PEOPLE.Fax as [Fax],",
                  "  PEOPLE.Email as [Email],",
                  "  PEOPLE.WebSite as [WebSite],",
                  "  PEOPLE.Remark1 as [Remark1],",
                  "  PEOPLE.Img1 as [Img1],",
                  "  PEOPLE.ImgMini1 as [ImgMini1],",
                  "  PEOPLE.PenColor as [PenColor],",
                  "  PEOPLE.BrushColor as [BrushColor],",
                  "  PEOPLE.BrushStyle as [BrushStyle],",
                  "  PEOPLE.Misc01 as [Misc01],",
                  "  PEOPLE.Misc02 as [Misc02],",
                  "  PEOPLE.Misc03 as [Misc03],",
                  "  PEOPLE.Misc04 as [Misc04],",
                  "  PEOPLE.Misc05 as [Misc05],",
                  "  PEOPLE.Misc06 as [Misc06],",
                  "  PEOPLE.Misc07 as [Misc07],",
                  "  TEMP.Img1 as [Img1],",
                  "  TEMP.Img2 as [Img2]",
                  "FROM ",
                  "  PEOPLE, TEMP",
                  "WHERE PEOPLE.Id_File>-1",
                  "ORDER BY PEOPLE.Name"});
}

QStringList DefaultReportQueryKeySql()
{
    return lines({"SELECT", "  PROJECT.Id as [Id],", "  PROJECT.Id_File as [Id_File],", "  PROJECT.Title as [Title],",
                  "  PROJECT.Name as [Name],", "  PROJECT.ShortDescription as [ShortDescription],",
                  "  PROJECT.Description as [Description],", "  PROJECT.Phone as [Phone],", "  PROJECT.Fax as [Fax],",
                  "  PROJECT.Email as [Email],", "  PROJECT.WebSite as [WebSite],", "  PROJECT.Remark1 as [Remark1],",
                  "  PROJECT.Remark2 as [Remark2],", "  PROJECT.Year as [Year]", "FROM ", "  PROJECT"});
}

QStringList DefaultListSql(const QString& name)
{
    if (name == QLatin1String("PeopleList"))
        return DefaultReportQuerySql();
    if (name != QLatin1String("ProjectList"))
        return {};
    return lines({"SELECT",
                  "  PROJECT.Id as [Id],",
                  "  PROJECT.Id_File as [Id_File],",
                  "  PROJECT.Title as [Field1],",
                  "  PROJECT.Name as [Field2],",
                  "  PROJECT.ShortDescription as [ShortDescription],",
                  "  PROJECT.Description as [Description],",
                  "  PROJECT.Phone as [Phone],",
                  "  PROJECT.Fax as [Fax],",
                  "  PROJECT.Email as [Email],",
                  "  PROJECT.WebSite as [WebSite],",
                  "  PROJECT.Remark1 as [Remark1],",
                  "  PROJECT.Remark2 as [Remark2],",
                  "  PROJECT.ImgMini1 as [ImgMini1],",
                  "  PROJECT.PenColor as [PenColor],",
                  "  PROJECT.BrushColor as [BrushColor],",
                  "  PROJECT.BrushStyle as [BrushStyle],",
                  "  PROJECT.Misc01 as [Misc01],",
                  "  PROJECT.Misc02 as [Misc02],",
                  "  PROJECT.Misc03 as [Misc03],",
                  "  PROJECT.Misc04 as [Misc04],",
                  "  PROJECT.Misc05 as [Misc05],",
                  "  PROJECT.Misc06 as [Misc06],",
                  "  PROJECT.Misc07 as [Misc07],",
                  "  TEMP.Img1 as [Img1],",
                  "  TEMP.Img2 as [Img2]",
                  "FROM ",
                  "  PROJECT, TEMP",
                  "WHERE PROJECT.Id_File>-1",
                  "ORDER BY PROJECT.Title"});
}

QList<int> RowIdsOf(const QStringList& objectEntries)
{
    QList<int> ids;
    ids.reserve(objectEntries.size());
    for (int i = 0; i < objectEntries.size(); ++i)
        ids << planning::EntryId(objectEntries, i);
    return ids;
}

QHash<QString, QString> TempColumnsOf(const QStringList& sql)
{
    static const QRegularExpression re(QStringLiteral("\\bTEMP\\.(\\w+)\\s+as\\s+\\[?(\\w+)\\]?"),
                                       QRegularExpression::CaseInsensitiveOption);
    QHash<QString, QString> out;
    for (const QString& line : sql) {
        auto it = re.globalMatch(line);
        while (it.hasNext()) {
            const auto m = it.next();
            out.insert(m.captured(2).toUpper(), m.captured(1));
        }
    }
    return out;
}

TDataModuleReport::TDataModuleReport(db::Connection& connection)
    : ReportQuery(&connection, QStringLiteral("ReportQuery")),
      ReportQueryKey(&connection, QStringLiteral("ReportQueryKey")),
      m_connection(connection)
{
    ReportQuery.setSQL(DefaultReportQuerySql());
    ReportQueryKey.setSQL(DefaultReportQueryKeySql());
    ReportQuery.OnDataChange = [this](db::Dataset&) { DSReportQueryDataChange(); };
    ReportQueryKey.OnDataChange = [this](db::Dataset&) { DSReportQueryKeyDataChange(); };
    frReport.addDataset(QStringLiteral("frDBDataSet"), &frDBDataSet);
    frReport.addDataset(QStringLiteral("frDSKey"), &frDSKey);
    frReport.setMainDataset(QStringLiteral("frDBDataSet"));
    frReport.OnGetValue = [this](const QString& name, QVariant& value) { frReportGetValue(name, value); };
}

QString TDataModuleReport::reportsDirectory()
{
    return core::globals().reportsDir;
}

QString TDataModuleReport::PlanningTitle(const QString& title)
{
    return core::FoldAccents(title).toUpper().left(255);
}

void TDataModuleReport::frReportGetValue(const QString& name, QVariant& value) const
{
    const QString upper = name.toUpper();
    if (upper == QLatin1String("CURRENCYSYMBOL")) {
        const QString symbol = core::globals().currencySymbol;
        value = symbol.isEmpty() ? QLocale::system().currencySymbol() : symbol;
    } else if (upper == QLatin1String("TITLE")) {
        value = ReportTitle;
    }
}

void TDataModuleReport::WriteTempPicture(const QString& queryName, const QString& column, const QImage& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    db::Dataset q(&m_connection, queryName);
    q.setSQL({QStringLiteral("SELECT * FROM TEMP")});
    q.Open();
    if (q.IsEmpty())
        throw db::DbError(QStringLiteral("La table TEMP de la base de données est vide."));
    q.Edit();
    q.FieldByName(column).SetValue(bytes);
    q.Post();
    q.Close();
}

void TDataModuleReport::DSReportQueryDataChange()
{
    if (ReportMode == 1) {
        if (!ReportQuery.IsEmpty())
            WriteTempPicture(QStringLiteral("QueryTmpImg"), QStringLiteral("IMG1"), swatchOf(ReportQuery, 92));
    } else if (ReportMode == 2) {
        if (ReportRow < 0)
            return;
        QImage strip(712, 44, QImage::Format_RGB32);
        strip.fill(Qt::white);
        if (m_month.model) {
            const planning::LegendImages none;
            const int days = std::max(1, m_month.days);
            QPainter p(&strip);
            planning::MonthRenderer(m_monthCopy, none)
                .RenderMonthRow(&p, QRect(0, 0, 712, 44), m_month.showDayNumber, false, planning::kGridColor,
                                planning::kWeekendColor, 0xFFFFFF, m_month.firstWeekday, days, (44 - 15 - 1) / 2,
                                712 / days, 0, 15, monthRowOfCurrentRecord());
        }
        ++ReportRow;
        WriteTempPicture(QStringLiteral("QueryTmpPlanningImg"), QStringLiteral("IMG1"), strip);
    }
}

int TDataModuleReport::monthRowOfCurrentRecord()
{
    // Two objects of the same name may come in another order than the
    // view's rows: the record's Id says which row is its own.
    if (m_month.rowIds.isEmpty() || !ReportQuery.HasField(QStringLiteral("Id")) || ReportQuery.IsEmpty())
        return ReportRow;
    return m_rowOfId.value(ReportQuery.FieldByName(QStringLiteral("Id")).AsInteger(), -1);
}

void TDataModuleReport::DSReportQueryKeyDataChange()
{
    if (!ReportQueryKey.IsEmpty())
        WriteTempPicture(QStringLiteral("QueryTmpImg"), QStringLiteral("IMG2"), swatchOf(ReportQueryKey, 30));
}

void TDataModuleReport::attachTempColumns(report::DbReportDataset& ds, const db::Dataset& query)
{
    const QHash<QString, QString> columns = TempColumnsOf(query.SQL());
    if (columns.isEmpty()) {
        ds.liveField = {};
        return;
    }
    // The query's rows were read when it opened; the TEMP columns are read
    // again at each record, after its data-change event has rewritten them.
    ds.liveField = [this, columns](const QString& field) -> std::optional<QVariant> {
        const auto it = columns.constFind(field.toUpper());
        if (it == columns.constEnd())
            return std::nullopt;
        return m_connection.scalar(QStringLiteral("SELECT ") + *it + QStringLiteral(" FROM TEMP")).value_or(QVariant());
    };
}

void TDataModuleReport::closeDatasets()
{
    ReportQuery.Close();
    ReportQueryKey.Close();
}

void TDataModuleReport::prepareInTransaction(report::Report& report)
{
    attachTempColumns(frDBDataSet, ReportQuery);
    attachTempColumns(frDSKey, ReportQueryKey);
    report.PrepareReport();
}

void TDataModuleReport::PrintAnnualPlanning(const planning::PlanningContext& ctx, const AnnualSource& year, int id,
                                            const QString& title, const ShowPreview& show)
{
    ReportMode = 0;
    ReportTitle = PlanningTitle(title);
    const QString dir = reportsDirectory();
    const bool persons = ctx.orientation == 0;
    const QString objectTemplate = persons ? QStringLiteral("PeopleList.rpt") : QStringLiteral("ProjectList.rpt");
    const QString keyTemplate = persons ? QStringLiteral("ProjectList.rpt") : QStringLiteral("PeopleList.rpt");
    const QString picture = core::globals().dataRoot + QStringLiteral("temp1.bmp");
    Finally cleanUp([&] {
        closeDatasets();
        QFile::remove(picture);
    });

    ReportQuery.Close();
    ReportQuery.setSQLText(
        db::BuildQueryFromTemplate(dir + objectTemplate, true, {}, QStringLiteral("Id=%1").arg(id), {}, {}));
    ReportQueryKey.Close();
    ReportQueryKey.setSQLText(db::BuildQueryFromTemplate(dir + keyTemplate, true, {},
                                                         QStringLiteral("Id_File=%1").arg(ctx.dossierId), {}, {}));

    QImage image(972, 576, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (year.model) {
        planning::AnnualModel copy = *year.model;
        copy.DirectColors = true;
        const planning::LegendImages none;
        QPainter p(&image);
        planning::AnnualRenderer(copy, none)
            .RenderYear(&p, false, year.showDayNumber, false, planning::kGridColor, planning::kWeekendColor, 0xFFFFFF,
                        (576 - 20) / 24, (972 - 30) / 37, 30, 20, 576, 972);
    }
    if (!image.convertToFormat(QImage::Format_RGB888).save(picture, "BMP"))
        throw report::ReportError(QStringLiteral("Le fichier \"%1\" ne peut pas être écrit.").arg(picture));

    ScratchTransaction scratch(m_connection);
    ReportQuery.Open();
    ReportQueryKey.Open();
    frReport.Title = title;
    frReport.LoadFromFile(dir + QStringLiteral("AnnualPlanning.frf"));
    if (report::ReportObject* o = frReport.FindObject(QStringLiteral("Img_Planning")))
        frReport.LoadPicture(o, picture);
    prepareInTransaction(frReport);
    scratch.end();
    if (show)
        show(frReport);
}

void TDataModuleReport::PrintMonthlyPlanning(const planning::PlanningContext& ctx, const MonthSource& month,
                                             const QString& title, const ShowPreview& show)
{
    ReportRow = -1;
    ReportMode = 2;
    ReportTitle = PlanningTitle(title);
    const QString dir = reportsDirectory();
    const bool persons = ctx.orientation == 0;
    const QString objectTemplate = persons ? QStringLiteral("PeopleList.rpt") : QStringLiteral("ProjectList.rpt");
    const QString keyTemplate = persons ? QStringLiteral("ProjectList.rpt") : QStringLiteral("PeopleList.rpt");
    m_month = month;
    m_rowOfId.clear();
    for (int row = static_cast<int>(month.rowIds.size()) - 1; row >= 0; --row)
        m_rowOfId.insert(month.rowIds[row], row);
    if (month.model) {
        m_monthCopy = *month.model;
        m_monthCopy.DirectColors = true;
    }
    Finally cleanUp([&] {
        closeDatasets();
        m_month = {};
        m_monthCopy = {};
        m_rowOfId.clear();
    });

    ReportQuery.Close();
    ReportQueryKey.Close();
    const QString where = QStringLiteral("Id_File=%1").arg(ctx.dossierId);
    ReportQuery.setSQLText(db::BuildQueryFromTemplate(dir + objectTemplate, true, {}, where, {}, {}));
    ReportQueryKey.setSQLText(db::BuildQueryFromTemplate(dir + keyTemplate, true, {}, where, {}, {}));

    ScratchTransaction scratch(m_connection);
    ReportQuery.Open();
    ReportQueryKey.Open();
    ReportRow = 0;
    frReport.Title = title;
    frReport.LoadFromFile(dir + QStringLiteral("MonthlyPlanning.frf"));
    ReportRow = 0;
    prepareInTransaction(frReport);
    scratch.end();
    if (show)
        show(frReport);
}

bool TDataModuleReport::PrintPersonList(int dossierId, const ShowPreview& show)
{
    ReportMode = 1;
    return PrintListReport(ReportQuery, frReport, QStringLiteral("PeopleList"), {},
                           QStringLiteral("PEOPLE.Id_File=%1").arg(dossierId), {}, {},
                           QStringLiteral("Liste des personnes"), show);
}

bool TDataModuleReport::PrintProjectList(int dossierId, const ShowPreview& show)
{
    ReportMode = 1;
    return PrintListReport(ReportQuery, frReport, QStringLiteral("ProjectList"), {},
                           QStringLiteral("PROJECT.Id_File=%1").arg(dossierId), {}, {},
                           QStringLiteral("Liste des projets"), show);
}

bool TDataModuleReport::PrintListReport(db::Dataset& dataset, report::Report& report, const QString& name,
                                        const QString& from, const QString& where, const QString& having,
                                        const QString& orderBy, const QString& title, const ShowPreview& show)
{
    const QString dir = reportsDirectory();
    Finally cleanUp([&] { dataset.Close(); });
    dataset.Close();
    ScratchTransaction scratch(m_connection);
    const QString sqlTemplate = dir + name + QStringLiteral(".rpt");
    if (QFileInfo::exists(sqlTemplate)) {
        dataset.setSQLText(db::BuildQueryFromTemplate(sqlTemplate, true, from, where, having, orderBy));
        dataset.Open();
        if (dataset.IsEmpty())
            return false;
    } else if (QStringList sql = DefaultListSql(name); !sql.isEmpty()) {
        // Whatever report ran last left its own text in the dataset.
        if (!where.isEmpty())
            db::ReplaceWhereLine(sql, QStringLiteral("WHERE ") + where);
        dataset.setSQL(sql);
    }
    report.Title = title;
    report.LoadFromFile(dir + name + QStringLiteral(".frf"));
    prepareInTransaction(report);
    scratch.end();
    if (show)
        show(report);
    return true;
}

}  // namespace printing
