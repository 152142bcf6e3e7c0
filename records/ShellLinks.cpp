#include "records/ShellLinks.h"

#include "core/StringUtils.h"
#include "ui/Prompt.h"

#include <QDesktopServices>
#include <QUrl>

namespace records {

void SendMailTo(const QString& address, QWidget* parent)
{
    if (!QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + address)))
        ui::showError(QStringLiteral("Aucun programme de messagerie n'a pu être ouvert pour écrire à \"%1\".\r"
                                     "Vérifiez qu'un programme de messagerie est installé.")
                          .arg(address),
                      parent);
}

void OpenWebAddress(const QString& typed, QWidget* parent)
{
    const QString address = core::WebAddress(typed);
    if (!QDesktopServices::openUrl(QUrl(address)))
        ui::showError(QStringLiteral("Aucun navigateur n'a pu ouvrir l'adresse \"%1\".").arg(address), parent);
}

}  // namespace records
