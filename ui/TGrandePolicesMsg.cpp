#include "ui/TGrandePolicesMsg.h"

#include "ui/Prompt.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace ui {

TGrandePolicesMsg::TGrandePolicesMsg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TGrandePolicesMsg"));
    setWindowTitle(QStringLiteral(" Détection de grandes polices"));
    auto* layout = new QVBoxLayout(this);

    auto* text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("Memo_Msg"));
    text->setReadOnly(true);
    text->setPlainText(QStringLiteral("Votre système est paramètré avec des polices de grande taille.\n\n"
                                      "Certaines fenêtres du logiciel risquent de ne pas s'afficher correctement : "
                                      "des textes peuvent être tronqués ou des boutons masqués.\n\n"
                                      "Pour un affichage optimal, choisissez dans les paramètres d'affichage de votre "
                                      "bureau la taille de police \"Taille normale\" (96 points par pouce)."));
    layout->addWidget(text);

    auto* row = new QHBoxLayout;
    m_hide = new QCheckBox(QStringLiteral("Ne afficher ce message"), this);
    m_hide->setObjectName(QStringLiteral("Check_Hide"));
    row->addWidget(m_hide);
    row->addStretch();
    auto* close = new QPushButton(QStringLiteral("&Fermer"), this);
    close->setObjectName(QStringLiteral("Btn_Close"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    row->addWidget(close);
    layout->addLayout(row);
    resize(420, 240);
}

bool TGrandePolicesMsg::hideChecked() const
{
    return m_hide->isChecked();
}

void SettleBigFontNotice(core::Settings& settings, int dpiX, QWidget* parent)
{
    if (settings.hideBigFontMsg)
        return;
    if (dpiX == 96) {
        settings.hideBigFontMsg = true;
        return;
    }
    TGrandePolicesMsg notice(parent);
    prompt().exec(&notice);
    settings.hideBigFontMsg = notice.hideChecked();
}

int screenDpiX()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchX()) : 96;
}

}  // namespace ui
