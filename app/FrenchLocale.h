#pragma once

namespace app {

// Makes the system locale's dates French (Qt's file dialog shows them with
// it) whatever the user's environment says, keeping every other category.
// Call before the QApplication is created: Qt reads the environment once.
void PrepareFrenchDates();

// French for the program's locale and for Qt's own windows and dialogs:
// Qt's French catalogues of every module, plus the few texts that the
// shipped catalogues lack. Installs once per process.
void InstallFrenchTranslations();

}  // namespace app
