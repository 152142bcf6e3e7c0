#pragma once

namespace planning {

// Lets screen readers (AT-SPI) read both planning views and the program's
// drawn grids as tables of cells: a view's cell is one half-day named
// "lundi 5 mars 2009, matin : Projet Alpha" (or "… : libre"), its keyboard
// cursor the focused cell; a grid's cell is named by its OnAccessibleText.
// Once per process; later calls do nothing.
void InstallPlanningAccessibility();

}  // namespace planning
