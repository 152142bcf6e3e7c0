#include "printing/ReportCommands.h"

#include "core/MessageCatalog.h"
#include "db/DbError.h"
#include "planning/PlanningPaint.h"
#include "printing/TFreeReportPrintViewer.h"
#include "ui/HourglassCursor.h"
#include "ui/Prompt.h"

#include <QApplication>

#include <memory>

namespace printing {

namespace {
const core::CatalogText kEmptyList{"Lib_Prt", "Message1", "Il n'y a pas d'enregistrements dans cette liste."};
}

QString ReportCommands::AnnualTitle(int year)
{
    return QStringLiteral("Planning de l'année %1").arg(year);
}

QString ReportCommands::MonthlyTitle(int year, int month)
{
    return QStringLiteral("Planning ") + planning::MonthName(month) + QLatin1Char(' ') + QString::number(year);
}

void ReportCommands::showPreview(report::Report& report)
{
    // The hourglass of the preparation ends before the window shows.
    QApplication::restoreOverrideCursor();
    TFreeReportPrintViewer viewer(m_parent);
    viewer.setReport(&report);
    ui::prompt().exec(&viewer);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void ReportCommands::run(const std::function<bool(const ShowPreview&)>& command)
{
    try {
        bool shown = false;
        {
            ui::HourglassCursor hourglass;
            shown = command([this](report::Report& r) { showPreview(r); });
        }
        if (!shown)
            ui::showInformation(core::LookupText(kEmptyList), m_parent);
    } catch (const report::ReportError& e) {
        ui::showError(e.message(), m_parent);
    } catch (const db::DbError& e) {
        ui::showError(e.message(), m_parent);
    }
}

void ReportCommands::PrintAnnualPlanning(const planning::PlanningContext& ctx, const AnnualSource& year, int id,
                                         const QString& title)
{
    run([&](const ShowPreview& show) {
        m_module.PrintAnnualPlanning(ctx, year, id, title, show);
        return true;
    });
}

void ReportCommands::PrintMonthlyPlanning(const planning::PlanningContext& ctx, const MonthSource& month,
                                          const QString& title)
{
    run([&](const ShowPreview& show) {
        m_module.PrintMonthlyPlanning(ctx, month, title, show);
        return true;
    });
}

void ReportCommands::PrintPersonList(int dossierId)
{
    run([&](const ShowPreview& show) { return m_module.PrintPersonList(dossierId, show); });
}

void ReportCommands::PrintProjectList(int dossierId)
{
    run([&](const ShowPreview& show) { return m_module.PrintProjectList(dossierId, show); });
}

}  // namespace printing
