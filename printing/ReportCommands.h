#pragma once

#include "printing/TDataModuleReport.h"

#include <functional>

class QWidget;

namespace printing {

// The four print commands as the windows run them: the hourglass while the
// report is prepared, the preview window, the French message of a failure
// (naming the template or SQL file) and of an empty list.
class ReportCommands {
public:
    ReportCommands(TDataModuleReport& module, QWidget* parent) : m_module(module), m_parent(parent) { }

    void PrintAnnualPlanning(const planning::PlanningContext& ctx, const AnnualSource& year, int id,
                             const QString& title);
    void PrintMonthlyPlanning(const planning::PlanningContext& ctx, const MonthSource& month, const QString& title);
    void PrintPersonList(int dossierId);
    void PrintProjectList(int dossierId);

    // "Planning de l'année 2024" and "Planning Mai 2024".
    static QString AnnualTitle(int year);
    static QString MonthlyTitle(int year, int month);

    TDataModuleReport& module() { return m_module; }

private:
    void run(const std::function<bool(const ShowPreview&)>& command);
    void showPreview(report::Report& report);

    TDataModuleReport& m_module;
    QWidget* m_parent;
};

}  // namespace printing
