#include "app/TMdacMsg.h"

#include "core/Globals.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace app {

TMdacMsg::TMdacMsg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TMdacMsg"));
    setWindowTitle(QStringLiteral(" Information"));
    auto* layout = new QVBoxLayout(this);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("WebBrowser"));
    m_browser->setOpenExternalLinks(true);
    m_browser->setSource(QUrl::fromLocalFile(core::globals().programDir + QStringLiteral("html/mdac.htm")));
    layout->addWidget(m_browser);
    auto* row = new QHBoxLayout;
    row->addStretch();
    auto* close = new QPushButton(QStringLiteral(" &Fermer"), this);
    close->setObjectName(QStringLiteral("Btn_Close"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    row->addWidget(close);
    layout->addLayout(row);
    resize(520, 380);
}

}  // namespace app
