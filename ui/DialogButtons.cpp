#include "ui/DialogButtons.h"

#include <QBoxLayout>
#include <QPushButton>

namespace ui {

QHBoxLayout* addOkCancelRow(QWidget* dialog, QBoxLayout* layout, QPushButton** ok, QPushButton** cancel)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(8, 0, 8, 8);
    row->addStretch();
    *ok = new QPushButton(QStringLiteral(" &Ok"), dialog);
    (*ok)->setObjectName(QStringLiteral("Btn_Ok"));
    *cancel = new QPushButton(QStringLiteral(" &Annuler"), dialog);
    (*cancel)->setObjectName(QStringLiteral("Btn_Cancel"));
    row->addWidget(*ok);
    row->addWidget(*cancel);
    layout->addLayout(row);
    return row;
}

}  // namespace ui
