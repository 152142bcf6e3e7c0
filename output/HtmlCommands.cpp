#include "output/HtmlCommands.h"

#include "db/DbError.h"
#include "db/TDataModule1.h"
#include "output/HtmlExport.h"
#include "output/HtmlListPages.h"
#include "output/HtmlPlanningPages.h"
#include "output/THtmlView.h"
#include "planning/PlanningSession.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/TMonthlyGraphicPlanning.h"
#include "ui/HourglassCursor.h"
#include "ui/Prompt.h"
#include "ui/TNewGauge.h"

#include <QCoreApplication>

#include <memory>

namespace output {

namespace {

// Runs a page writer; a failure becomes the French box and answers false.
template <typename Write> bool writePage(QWidget* parent, Write write)
{
    QString failure;
    {
        ui::HourglassCursor hourglass;
        try {
            write();
        } catch (const OutputError& e) {
            failure = e.message();
        } catch (const db::DbError& e) {
            failure = QStringLiteral("La page html n'a pas pu être créée.\r\r") + e.message();
        }
    }
    if (failure.isEmpty())
        return true;
    ui::showError(failure, parent);
    return false;
}

bool showListPage(db::TDataModule1& dm, int dossierId, QWidget* parent, bool persons)
{
    const QString directory = HtmlWorkDirectory();
    std::unique_ptr<ui::TNewGauge> gauge;
    ListProgress progress;
    progress.start = [&gauge, parent](const QString& text, int maximum) {
        gauge = std::make_unique<ui::TNewGauge>(parent);
        gauge->setText(text);
        gauge->setMaximum(maximum);
        gauge->showCentered();
    };
    progress.position = [&gauge](int position) {
        gauge->setPosition(position);
        gauge->redraw();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    const bool written = writePage(parent, [&] {
        if (persons)
            WritePersonListPage(dm.Query, directory, dossierId, QStringLiteral("Création de la liste des personnes"),
                                progress);
        else
            WriteProjectListPage(dm.Query, directory, dossierId, QStringLiteral("Création de la liste des projets"),
                                 progress);
    });
    gauge.reset();
    if (written)
        ShowHtmlPreview(directory + QStringLiteral("index.htm"),
                        persons ? QStringLiteral(" Liste des personnes") : QStringLiteral(" Liste des projets"),
                        parent);
    return written;
}

}  // namespace

void ShowHtmlPreview(const QString& pageFile, const QString& title, QWidget* parent)
{
    THtmlView view(parent);
    view.setPageFile(pageFile);
    view.setTitleText(title);
    ui::prompt().exec(&view);
}

bool ShowPersonListPage(db::TDataModule1& dataModule, int dossierId, QWidget* parent)
{
    return showListPage(dataModule, dossierId, parent, true);
}

bool ShowProjectListPage(db::TDataModule1& dataModule, int dossierId, QWidget* parent)
{
    return showListPage(dataModule, dossierId, parent, false);
}

HtmlCommands::HtmlCommands(db::TDataModule1& dataModule, QWidget* window, const planning::PlanningSession& session,
                           const planning::TAnnualGraphicPlanning& annual,
                           const planning::TMonthlyGraphicPlanning& monthly, std::function<int()> objectRow)
    : m_dm(dataModule),
      m_window(window),
      m_session(session),
      m_annual(annual),
      m_monthly(monthly),
      m_objectRow(std::move(objectRow))
{ }

void HtmlCommands::Popup_Html_PlanningClick()
{
    const planning::PlanningContext& ctx = m_session.ctx;
    const QStringList& objects = m_session.objectSide().entries;
    const QStringList& keys = m_session.legendSide().entries;
    const QString directory = HtmlWorkDirectory();
    const QString title = PlanningPageTitle(ctx);
    const bool written = writePage(m_window, [&] {
        if (ctx.planningType == 0)
            WriteAnnualPlanningPage(m_dm.Query, directory, title, m_annual, ctx,
                                    planning::EntryId(objects, m_objectRow ? m_objectRow() : 0), keys);
        else
            WriteMonthlyPlanningPage(m_dm.Query, directory, title, m_monthly, ctx, objects, keys);
    });
    if (written)
        ShowHtmlPreview(directory + QStringLiteral("index.htm"), QStringLiteral(" Planning"), m_window);
}

void HtmlCommands::Popup_Html_List_PeopleClick()
{
    ShowPersonListPage(m_dm, m_session.ctx.dossierId, m_window);
}

void HtmlCommands::Popup_Html_List_ProjectClick()
{
    ShowProjectListPage(m_dm, m_session.ctx.dossierId, m_window);
}

}  // namespace output
