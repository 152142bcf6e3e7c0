#include "report/Report.h"

#include "core/Clock.h"

#include <QDate>
#include <QDateTime>
#include <QImageReader>

#include <cmath>

namespace report {

namespace {

// A report longer than this is a runaway dataset, not a list to print.
constexpr int kMaxPages = 5000;

QString displayText(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::QDate: return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QDateTime: return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm"));
    case QMetaType::QByteArray: return {};
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("Oui") : QStringLiteral("Non");
    default: return v.toString();
    }
}

QImage pictureOf(const QVariant& v)
{
    if (v.typeId() != QMetaType::QByteArray)
        return {};
    const QByteArray bytes = v.toByteArray();
    if (bytes.isEmpty())
        return {};
    QImage image;
    image.loadFromData(bytes);
    return image;
}

}  // namespace

class Layout {
public:
    Layout(Report& r) : m_r(r), m_t(r.m_template) { }

    PreparedReport run()
    {
        m_out.pageWidth = m_t.pageWidth;
        m_out.pageHeight = m_t.pageHeight;
        m_out.landscape = m_t.landscape;
        for (const ReportBand& b : m_t.bands) {
            if (b.kind == BandKind::PageFooter)
                m_footerHeight += b.height;
        }
        startPage();
        // Bands print in the template's order; the master band brings its
        // detail bands after each of its records. The titles opened the
        // first page.
        for (const ReportBand& b : m_t.bands) {
            switch (b.kind) {
            case BandKind::ReportSummary: place(b, nullptr); break;
            case BandKind::MasterData: walkMaster(b); break;
            case BandKind::SummaryData: walk(b); break;
            case BandKind::ReportTitle:
            case BandKind::PageHeader:
            case BandKind::PageFooter:
            case BandKind::DetailData: break;
            }
        }
        finishPage();
        return std::move(m_out);
    }

private:
    void walkMaster(const ReportBand& master)
    {
        ReportDataset* ds = requireDataset(master.dataset);
        ds->first();
        while (!ds->eof()) {
            place(master, ds);
            for (const ReportBand& detail : m_t.bands) {
                if (detail.kind == BandKind::DetailData)
                    walk(detail);
            }
            ds->next();
        }
    }

    ReportDataset* requireDataset(const QString& name) const
    {
        ReportDataset* ds = m_r.dataset(name);
        if (!ds)
            throw ReportError(QStringLiteral("Le modèle d'état \"%1\" utilise l'ensemble de données inconnu « %2 ».")
                                  .arg(m_t.fileName, name));
        return ds;
    }

    void walk(const ReportBand& band)
    {
        ReportDataset* ds = requireDataset(band.dataset);
        if (band.kind == BandKind::DetailData && ds == m_r.dataset(m_r.m_main))
            throw ReportError(
                QStringLiteral("Le modèle d'état \"%1\" parcourt l'ensemble principal dans une bande de détail.")
                    .arg(m_t.fileName));
        ds->first();
        while (!ds->eof()) {
            place(band, ds);
            ds->next();
        }
    }

    void startPage()
    {
        if (static_cast<int>(m_out.pages.size()) >= kMaxPages)
            throw ReportError(QStringLiteral("Le rapport \"%1\" dépasse %2 pages.").arg(m_t.fileName).arg(kMaxPages));
        m_out.pages.emplace_back();
        m_y = m_t.marginTop;
        // As in any banded report, the report title heads the first page and
        // the page header follows it there.
        const bool first = m_out.pages.size() == 1;
        if (first) {
            for (const ReportBand& b : m_t.bands) {
                if (b.kind == BandKind::ReportTitle)
                    put(b, nullptr);
            }
        }
        for (const ReportBand& b : m_t.bands) {
            if (b.kind == BandKind::PageHeader && (!first || b.onFirstPage))
                put(b, nullptr);
        }
    }

    void finishPage()
    {
        m_y = m_t.pageHeight - m_t.marginBottom - m_footerHeight;
        for (const ReportBand& b : m_t.bands) {
            if (b.kind == BandKind::PageFooter)
                put(b, nullptr);
        }
    }

    void place(const ReportBand& band, ReportDataset* ds)
    {
        const double bottom = m_t.pageHeight - m_t.marginBottom - m_footerHeight;
        if (m_y + band.height > bottom + 0.01) {
            finishPage();
            startPage();
        }
        put(band, ds);
    }

    void put(const ReportBand& band, ReportDataset* ds)
    {
        PreparedPage& page = m_out.pages.back();
        for (const ReportObject& o : band.objects) {
            PreparedItem item;
            item.kind = o.kind;
            item.rect = o.rect.translated(m_t.marginLeft, m_y);
            item.color = o.color;
            item.frame = o.frame;
            item.frameWidth = o.frameWidth;
            item.frameColor = o.frameColor;
            item.fill = o.fill;
            item.keepAspect = o.keepAspect;
            if (o.kind == ObjectKind::Text) {
                item.text = evaluate(o.text, ds);
                item.font = QFont(o.fontFamily);
                item.font.setPixelSize(std::max(1, static_cast<int>(std::lround(o.fontSize * 254.0 / 72.0))));
                item.font.setBold(o.bold);
                item.font.setItalic(o.italic);
                item.flags = o.alignment | (o.wordWrap ? Qt::TextWordWrap : 0);
                item.text = VisibleWrappedText(item.text, item.font, item.rect, &item.flags);
            } else if (o.kind == ObjectKind::Picture) {
                item.picture = o.field.isEmpty() ? o.picture : pictureOf(fieldValue(o.field, ds));
            }
            page.items.push_back(std::move(item));
        }
        m_y += band.height;
    }

    QVariant fieldValue(const QString& name, ReportDataset* ds)
    {
        const int dot = name.indexOf(QLatin1Char('.'));
        if (dot > 0) {
            if (ReportDataset* named = m_r.dataset(name.left(dot)))
                return named->isEmpty() ? QVariant() : named->value(name.mid(dot + 1));
        }
        if (ds && !ds->isEmpty()) {
            const QVariant v = ds->value(name);
            if (v.isValid())
                return v;
        }
        ReportDataset* main = m_r.dataset(m_r.m_main);
        if (main && main != ds && !main->isEmpty())
            return main->value(name);
        return {};
    }

    QString variable(const QString& name, ReportDataset* ds)
    {
        const QString upper = name.toUpper();
        if (upper == QLatin1String("PAGE#"))
            return QString::number(m_out.pages.size());
        if (upper == QLatin1String("TOTALPAGES"))
            return QString(kTotalPagesMark);
        if (upper == QLatin1String("DATE"))
            return core::today().toString(QStringLiteral("dd/MM/yyyy"));
        if (upper == QLatin1String("REPORTTITLE"))
            return m_r.Title;
        if (upper == QLatin1String("TIME"))
            return core::now().time().toString(QStringLiteral("hh:mm"));
        if (m_r.OnGetValue) {
            QVariant v;
            m_r.OnGetValue(name, v);
            if (v.isValid())
                return displayText(v);
        }
        return displayText(fieldValue(name, ds));
    }

    QString evaluate(const QString& text, ReportDataset* ds)
    {
        QString out;
        int i = 0;
        while (i < text.size()) {
            const int open = text.indexOf(QLatin1Char('['), i);
            const int close = open < 0 ? -1 : text.indexOf(QLatin1Char(']'), open + 1);
            if (open < 0 || close < 0) {
                out += text.mid(i);
                break;
            }
            out += text.mid(i, open - i);
            out += variable(text.mid(open + 1, close - open - 1).trimmed(), ds);
            i = close + 1;
        }
        return out;
    }

    Report& m_r;
    const ReportTemplate& m_t;
    PreparedReport m_out;
    double m_y = 0;
    double m_footerHeight = 0;
};

void Report::LoadFromFile(const QString& fileName)
{
    m_template = ReadReportTemplate(fileName);
    m_loaded = true;
    m_isPrepared = false;
}

bool Report::LoadPicture(ReportObject* object, const QString& fileName)
{
    if (!object || object->kind != ObjectKind::Picture)
        return false;
    QImageReader reader(fileName);
    QImage image = reader.read();
    if (image.isNull())
        return false;
    object->picture = image;
    return true;
}

ReportDataset* Report::dataset(const QString& name) const
{
    return m_datasets.value(name.toLower(), nullptr);
}

void Report::PrepareReport()
{
    if (!m_loaded)
        throw ReportError(QStringLiteral("Aucun modèle d'état n'est chargé."));
    m_prepared = Layout(*this).run();
    m_isPrepared = true;
}

}  // namespace report
