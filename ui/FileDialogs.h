#pragma once

class QFileDialog;

namespace ui {

// Makes Qt's own file dialog read as a French user expects: file sizes and
// dates written with the program's (French) locale rather than the
// environment's, and every column of the detail view wide enough for its
// header. Qt's own dialog is used: a desktop's native one would speak the
// desktop's language, not the program's. Call before the dialog is shown.
void PrepareFileDialog(QFileDialog& dialog);

}  // namespace ui
