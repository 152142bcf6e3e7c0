#include "report/ReportTemplate.h"

#include <QFile>
#include <QXmlStreamReader>

#include <cmath>

namespace report {

namespace {

// Limits that keep a damaged or hostile template from making the engine
// draw without end or exhaust memory.
constexpr int kMaxBands = 100;
constexpr int kMaxObjectsPerBand = 500;
constexpr double kMaxCoordinateMm = 1000;

class Reader {
public:
    Reader(const QByteArray& text, const QString& fileName) : m_xml(text), m_file(fileName) { }

    ReportTemplate read()
    {
        ReportTemplate t;
        t.fileName = m_file;
        if (!m_xml.readNextStartElement())
            fail(QStringLiteral("document vide"));
        if (m_xml.name() != QLatin1String("report"))
            fail(QStringLiteral("l'élément racine doit être <report>"));
        bool pageSeen = false;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("page")) {
                if (pageSeen)
                    fail(QStringLiteral("<page> est donné deux fois"));
                pageSeen = true;
                readPage(t);
            } else if (m_xml.name() == QLatin1String("band")) {
                if (static_cast<int>(t.bands.size()) >= kMaxBands)
                    fail(QStringLiteral("trop de bandes"));
                t.bands.push_back(readBand(t));
            } else {
                fail(QStringLiteral("élément inconnu <%1>").arg(m_xml.name().toString()));
            }
        }
        checkXml();
        checkHeights(t);
        return t;
    }

private:
    [[noreturn]] void fail(const QString& what)
    {
        throw ReportError(QStringLiteral("Le modèle d'état \"%1\" est illisible : %2 (ligne %3).")
                              .arg(m_file, what)
                              .arg(m_xml.lineNumber()));
    }

    void checkXml()
    {
        if (m_xml.hasError())
            fail(m_xml.errorString());
    }

    QString attr(const char* name) const { return m_xml.attributes().value(QLatin1String(name)).toString(); }
    bool has(const char* name) const { return m_xml.attributes().hasAttribute(QLatin1String(name)); }

    double number(const char* name, double fallback, double low, double high)
    {
        if (!has(name))
            return fallback;
        bool ok = false;
        const double v = attr(name).toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < low || v > high)
            fail(QStringLiteral("valeur incorrecte pour « %1 »").arg(QLatin1String(name)));
        return v;
    }

    bool flag(const char* name, bool fallback)
    {
        if (!has(name))
            return fallback;
        const QString v = attr(name);
        if (v == QLatin1String("1") || v == QLatin1String("true"))
            return true;
        if (v == QLatin1String("0") || v == QLatin1String("false"))
            return false;
        fail(QStringLiteral("valeur incorrecte pour « %1 »").arg(QLatin1String(name)));
    }

    QColor colour(const char* name, const QColor& fallback)
    {
        if (!has(name))
            return fallback;
        const QColor c = QColor::fromString(attr(name));
        if (!c.isValid())
            fail(QStringLiteral("couleur incorrecte pour « %1 »").arg(QLatin1String(name)));
        return c;
    }

    void readPage(ReportTemplate& t)
    {
        const QString size = has("size") ? attr("size") : QStringLiteral("A4");
        if (size.compare(QLatin1String("A4"), Qt::CaseInsensitive) != 0)
            fail(QStringLiteral("format de page inconnu « %1 »").arg(size));
        const QString orientation = has("orientation") ? attr("orientation") : QStringLiteral("portrait");
        if (orientation == QLatin1String("landscape"))
            t.landscape = true;
        else if (orientation != QLatin1String("portrait"))
            fail(QStringLiteral("orientation inconnue « %1 »").arg(orientation));
        t.pageWidth = (t.landscape ? 297 : 210) * kUnitsPerMm;
        t.pageHeight = (t.landscape ? 210 : 297) * kUnitsPerMm;
        t.marginLeft = number("left", 10, 0, 50) * kUnitsPerMm;
        t.marginTop = number("top", 10, 0, 50) * kUnitsPerMm;
        t.marginRight = number("right", 10, 0, 50) * kUnitsPerMm;
        t.marginBottom = number("bottom", 10, 0, 50) * kUnitsPerMm;
        m_xml.skipCurrentElement();
    }

    ReportBand readBand(const ReportTemplate& t)
    {
        static const std::pair<const char*, BandKind> kinds[] = {
            {"reporttitle", BandKind::ReportTitle},    {"pageheader", BandKind::PageHeader},
            {"masterdata", BandKind::MasterData},      {"detaildata", BandKind::DetailData},
            {"summarydata", BandKind::SummaryData},    {"pagefooter", BandKind::PageFooter},
            {"reportsummary", BandKind::ReportSummary}};
        ReportBand band;
        const QString kind = attr("kind");
        bool known = false;
        for (const auto& [text, k] : kinds) {
            if (kind == QLatin1String(text)) {
                band.kind = k;
                known = true;
            }
        }
        if (!known)
            fail(QStringLiteral("type de bande inconnu « %1 »").arg(kind));
        band.height = number("height", -1, 0.1, t.contentHeight() / kUnitsPerMm) * kUnitsPerMm;
        if (band.height <= 0)
            fail(QStringLiteral("bande sans hauteur"));
        band.dataset = attr("dataset");
        if (has("firstpage")) {
            const QString first = attr("firstpage");
            if (first != QLatin1String("0") && first != QLatin1String("1"))
                fail(QStringLiteral("valeur incorrecte pour « firstpage »"));
            band.onFirstPage = first == QLatin1String("1");
        }
        const bool data = band.kind == BandKind::MasterData || band.kind == BandKind::DetailData
            || band.kind == BandKind::SummaryData;
        if (data && band.dataset.isEmpty())
            fail(QStringLiteral("bande de données sans « dataset »"));
        while (m_xml.readNextStartElement()) {
            if (static_cast<int>(band.objects.size()) >= kMaxObjectsPerBand)
                fail(QStringLiteral("trop d'objets dans une bande"));
            band.objects.push_back(readObject());
        }
        checkXml();
        return band;
    }

    ReportObject readObject()
    {
        ReportObject o;
        const auto name = m_xml.name();
        if (name == QLatin1String("text"))
            o.kind = ObjectKind::Text;
        else if (name == QLatin1String("picture"))
            o.kind = ObjectKind::Picture;
        else if (name == QLatin1String("line"))
            o.kind = ObjectKind::Line;
        else if (name == QLatin1String("rect"))
            o.kind = ObjectKind::Rectangle;
        else
            fail(QStringLiteral("objet inconnu <%1>").arg(name.toString()));
        o.name = attr("name");
        const double m = kMaxCoordinateMm;
        o.rect = QRectF(number("left", 0, -m, m), number("top", 0, -m, m), number("width", 0, 0, m),
                        number("height", 0, 0, m));
        o.rect = QRectF(o.rect.topLeft() * kUnitsPerMm, o.rect.size() * kUnitsPerMm);
        o.fontFamily = has("font") ? attr("font") : o.fontFamily;
        o.fontSize = number("size", o.fontSize, 1, 200);
        o.bold = flag("bold", false);
        o.italic = flag("italic", false);
        o.wordWrap = flag("wrap", false);
        o.color = colour("color", o.color);
        o.frame = flag("frame", o.kind == ObjectKind::Line || o.kind == ObjectKind::Rectangle);
        o.frameWidth = number("framewidth", 0.2, 0, 10) * kUnitsPerMm;
        o.frameColor = colour("framecolor", o.frameColor);
        o.fill = colour("fill", QColor());
        o.field = attr("field");
        o.keepAspect = flag("keepaspect", true);

        int align = 0;
        const QString h = has("align") ? attr("align") : QStringLiteral("left");
        if (h == QLatin1String("left"))
            align |= Qt::AlignLeft;
        else if (h == QLatin1String("center"))
            align |= Qt::AlignHCenter;
        else if (h == QLatin1String("right"))
            align |= Qt::AlignRight;
        else
            fail(QStringLiteral("alignement inconnu « %1 »").arg(h));
        const QString v = has("valign") ? attr("valign") : QStringLiteral("top");
        if (v == QLatin1String("top"))
            align |= Qt::AlignTop;
        else if (v == QLatin1String("center"))
            align |= Qt::AlignVCenter;
        else if (v == QLatin1String("bottom"))
            align |= Qt::AlignBottom;
        else
            fail(QStringLiteral("alignement inconnu « %1 »").arg(v));
        o.alignment = align;

        if (o.kind == ObjectKind::Text)
            o.text = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        else
            m_xml.skipCurrentElement();
        checkXml();
        return o;
    }

    // Headers and footers plus the tallest other band must fit on one page,
    // or the layout would start new pages without ever placing the band.
    void checkHeights(const ReportTemplate& t)
    {
        double fixed = 0, tallest = 0, firstPage = 0;
        for (const ReportBand& b : t.bands) {
            if (b.kind == BandKind::PageHeader || b.kind == BandKind::PageFooter)
                fixed += b.height;
            else
                tallest = std::max(tallest, b.height);
            // The first page holds every title with its headers and footers.
            if (b.kind == BandKind::ReportTitle || b.kind == BandKind::PageFooter
                || (b.kind == BandKind::PageHeader && b.onFirstPage))
                firstPage += b.height;
        }
        if (fixed + tallest > t.contentHeight() || firstPage > t.contentHeight())
            throw ReportError(
                QStringLiteral("Le modèle d'état \"%1\" est illisible : ses bandes ne tiennent pas sur une page.")
                    .arg(m_file));
    }

    QXmlStreamReader m_xml;
    QString m_file;
};

}  // namespace

ReportObject* ReportTemplate::findObject(const QString& name)
{
    if (name.isEmpty())
        return nullptr;
    for (ReportBand& b : bands) {
        for (ReportObject& o : b.objects) {
            if (o.name.compare(name, Qt::CaseInsensitive) == 0)
                return &o;
        }
    }
    return nullptr;
}

ReportTemplate ParseReportTemplate(const QByteArray& text, const QString& fileName)
{
    return Reader(text, fileName).read();
}

ReportTemplate ReadReportTemplate(const QString& fileName)
{
    QFile f(fileName);
    if (!f.exists())
        throw ReportError(QStringLiteral("Le modèle d'état \"%1\" est introuvable.").arg(fileName));
    if (!f.open(QIODevice::ReadOnly))
        throw ReportError(
            QStringLiteral("Le modèle d'état \"%1\" ne peut pas être lu : %2.").arg(fileName, f.errorString()));
    // Templates are a few kilobytes; a huge file is not one of ours.
    if (f.size() > 4 * 1024 * 1024)
        throw ReportError(QStringLiteral("Le modèle d'état \"%1\" est illisible : fichier trop grand.").arg(fileName));
    return ParseReportTemplate(f.readAll(), fileName);
}

}  // namespace report
