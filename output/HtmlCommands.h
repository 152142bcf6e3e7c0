#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace db {
class TDataModule1;
}
namespace planning {
struct PlanningSession;
class TAnnualGraphicPlanning;
class TMonthlyGraphicPlanning;
}  // namespace planning

namespace output {

class THtmlView;

// Shows a generated page in the preview window, modally (through the
// prompt, so tests can answer it), and frees it.
void ShowHtmlPreview(const QString& pageFile, const QString& title, QWidget* parent);

// The list pages of the open dossier with their progress window, then the
// preview; a failure is told in French and nothing is previewed. Also the
// list windows' HTML button. Answers whether the page was written.
bool ShowPersonListPage(db::TDataModule1& dataModule, int dossierId, QWidget* parent);
bool ShowProjectListPage(db::TDataModule1& dataModule, int dossierId, QWidget* parent);

// The "&Html" menu of the main window. It borrows the open dossier (the
// session), the two views and the object grid's current row.
class HtmlCommands {
public:
    HtmlCommands(db::TDataModule1& dataModule, QWidget* window, const planning::PlanningSession& session,
                 const planning::TAnnualGraphicPlanning& annual, const planning::TMonthlyGraphicPlanning& monthly,
                 std::function<int()> objectRow);

    // The page of what the planning display shows, then its preview.
    void Popup_Html_PlanningClick();
    void Popup_Html_List_PeopleClick();
    void Popup_Html_List_ProjectClick();

private:
    db::TDataModule1& m_dm;
    QWidget* m_window;
    const planning::PlanningSession& m_session;
    const planning::TAnnualGraphicPlanning& m_annual;
    const planning::TMonthlyGraphicPlanning& m_monthly;
    std::function<int()> m_objectRow;
};

}  // namespace output
