#include "output/HtmlListPages.h"

#include "core/MessageCatalog.h"
#include "core/StringUtils.h"
#include "db/Dataset.h"
#include "output/HtmlExport.h"
#include "planning/PlanningModel.h"
#include "planning/Swatch.h"

#include <QStringList>

namespace output {

namespace {

struct ListKind {
    const char* pageTitle;
    const char* table;
    const char* orderBy;
    const char* category;
    const char* pagePrefix;
    const char* fullPrefix;
    const char* swatchPrefix;
    const char* nameField;  // of the pop-up title
    const char* h1;
    const char* v1;
    const char* h2;
    const char* v2;
    // The full-width blocks: heading, field; nullptr ends.
    const char* blocks[2][2];
};

const ListKind kPersons{"Liste des personnes",
                        "PEOPLE",
                        "PEOPLE.Name",
                        "People",
                        "people_img",
                        "people_imgfullsize",
                        "peoplebrush",
                        "NAME",
                        "Nom",
                        "NAME",
                        "Fonction",
                        "FUNCTION",
                        {{"Notes", "REMARK1"}, {nullptr, nullptr}}};

const ListKind kProjects{"Liste des projets",
                         "PROJECT",
                         "PROJECT.Title",
                         "Project",
                         "project_img",
                         "project_imgfullsize",
                         "projectbrush",
                         "TITLE",
                         "Tire",
                         "TITLE",
                         "Responsable",
                         "NAME",
                         {{"Description courte", "SHORTDESCRIPTION"}, {"Description longue", "DESCRIPTION"}}};

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

QString heading(const QString& text, const QString& width = QStringLiteral("50%"))
{
    return QStringLiteral("<td width=\"") + width
        + QStringLiteral("\" bgColor=#0099FF><font face=\"Arial\" size=\"2\" "
                         "color=\"#FFFFFF\"><b>")
        + text + QStringLiteral("</b></font></td>");
}

QString valueCell(const QString& value)
{
    return QStringLiteral("<td bgcolor=\"#F4F4F4\"><font face=\"Arial\" size=\"2\">&nbsp;") + HtmlEscape(value)
        + QStringLiteral("</font></td>");
}

void addTwoColumns(QStringList& lines, const QString& h1, const QString& h2, const QString& c1, const QString& c2)
{
    lines << QStringLiteral("<table border=\"0\" width=\"100%\"><tr>") << heading(h1) << heading(h2)
          << QStringLiteral("</tr><tr>") << c1 << c2 << QStringLiteral("</tr></table>");
}

void writeList(const ListKind& kind, db::Dataset& query, const QString& directory, int dossierId,
               const QString& progressText, const ListProgress& progress)
{
    PrepareHtmlDirectories();
    ClearHtmlDirectory(directory);
    const QString dir = directory.endsWith(QLatin1Char('/')) ? directory : QString(directory + QLatin1Char('/'));
    QStringList lines;
    lines << HtmlPageHead(u(kind.pageTitle))
          << QStringLiteral("<table border=\"0\" width=\"680\" cellspacing=\"0\" cellpadding=\"0\"><tr><td "
                            "width=\"100%\">");
    query.Close();
    // Only the open dossier's records: a list must not show another
    // (possibly password-protected) dossier's people.
    query.setSQL({QStringLiteral("SELECT * FROM ") + u(kind.table),
                  QStringLiteral("WHERE Id_File=") + QString::number(dossierId),
                  QStringLiteral("ORDER BY ") + u(kind.orderBy)});
    query.Open();
    if (progress.start)
        progress.start(progressText, query.RecordCount() + 1);
    if (progress.position) {
        progress.position(1);
        progress.position(2);
    }
    const QString pagePrefix = u(kind.pagePrefix);
    for (query.First(); !query.Eof(); query.Next()) {
        const int idValue = query.FieldByName(QStringLiteral("ID")).AsInteger();
        const QString id = QString::number(idValue);
        auto field = [&query](const char* name) { return query.FieldByName(QString::fromLatin1(name)).AsString(); };
        const bool hasPage =
            WriteRecordImage(query.FieldByName(QStringLiteral("IMGMINI1")).AsBlob(), dir, u(kind.category), pagePrefix,
                             u(kind.fullPrefix), idValue,
                             QStringLiteral("Image (") + HtmlEscape(field(kind.nameField)) + QLatin1Char(')'));
        lines << QStringLiteral("<table border=\"0\" width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr>")
              << QStringLiteral("<td width=\"1%\" valign=\"top\">");
        if (hasPage)
            lines << HtmlPopupLinkOpening(pagePrefix, idValue);
        lines << QStringLiteral("<img border=\"1\" src=\"") + pagePrefix + id
                + QStringLiteral(".jpg\" width=\"100\" height=\"100\" hspace=\"0\" vspace=\"0\">");
        if (hasPage)
            lines << QStringLiteral("</a>");

        const QString swatch = u(kind.swatchPrefix) + id + QStringLiteral(".jpg");
        SaveHtmlPicture(planning::RenderSwatch(
                            100, 15, 3, 12, 7, 2,
                            static_cast<quint32>(query.FieldByName(QStringLiteral("PenColor")).AsInteger()),
                            static_cast<quint32>(query.FieldByName(QStringLiteral("BrushColor")).AsInteger()),
                            planning::DecodeBrushStyle(query.FieldByName(QStringLiteral("BrushStyle")).AsInteger()), 0),
                        dir + swatch);
        lines << QStringLiteral("<img border=\"1\" src=\"") + swatch
                + QStringLiteral("\" width=\"100\" height=\"15\" hspace=\"0\" vspace=\"0\">")
              << QStringLiteral("</td>") << QStringLiteral("<td width=\"99%\" valign=\"top\">");

        addTwoColumns(lines, u(kind.h1), u(kind.h2), valueCell(field(kind.v1)), valueCell(field(kind.v2)));
        addTwoColumns(lines, QStringLiteral("Téléphone"), QStringLiteral("Fax"), valueCell(field("PHONE")),
                      valueCell(field("FAX")));
        const QString email = HtmlEscape(field("EMAIL"));
        const QString site = HtmlEscape(field("WEBSITE"));
        addTwoColumns(lines, QStringLiteral("Email"), QStringLiteral("Site web"),
                      QStringLiteral("<td width=\"50%\" bgcolor=\"#F4F4F4\"><font face=\"Arial\" size=\"2\">&nbsp;<a "
                                     "href=\"mailto:")
                          + email + QStringLiteral("\">") + email + QStringLiteral("</a></font></td>"),
                      QStringLiteral("<td width=\"50%\" bgcolor=\"#F4F4F4\"><font face=\"Arial\" size=\"2\">&nbsp;<a "
                                     "href=\"")
                          + HtmlEscape(core::WebAddress(field("WEBSITE"))) + QStringLiteral("\" target=\"_blank\">")
                          + site + QStringLiteral("</a></font></td>"));
        lines << QStringLiteral("</td></tr></table>");

        for (const auto& block : kind.blocks) {
            if (!block[0])
                break;
            lines << QStringLiteral("<table border=\"0\" width=\"100%\"><tr>")
                  << heading(u(block[0]), QStringLiteral("100%")) << QStringLiteral("</tr><tr>")
                  << QStringLiteral("<td bgcolor=\"#F4F4F4\"><font face=\"Arial\" size=\"2\">")
                    + HtmlEscape(field(block[1])) + QStringLiteral("</font></td>")
                  << QStringLiteral("</tr></table>");
        }
        lines << QStringLiteral("<br>");
    }
    // A list without records says so, in a cell of the list's own look.
    if (query.IsEmpty())
        lines << QStringLiteral("<table border=\"0\" width=\"100%\"><tr>")
                + valueCell(core::LookupText(core::msg::LibPrt_Message1)) + QStringLiteral("</tr></table><br>");
    query.Close();
    lines << HtmlCreditLine() << QStringLiteral("</td></tr></table></body></html>");
    SaveHtmlLines(dir + QStringLiteral("index.htm"), lines);
}

}  // namespace

void WritePersonListPage(db::Dataset& query, const QString& directory, int dossierId, const QString& progressText,
                         const ListProgress& progress)
{
    writeList(kPersons, query, directory, dossierId, progressText, progress);
}

void WriteProjectListPage(db::Dataset& query, const QString& directory, int dossierId, const QString& progressText,
                          const ListProgress& progress)
{
    writeList(kProjects, query, directory, dossierId, progressText, progress);
}

}  // namespace output
