#pragma once

#include <QString>

// The path of the 3.65-million-row planning database shared by the
// benchmarks; built on first use.
QString BigDossierFixturePath();
