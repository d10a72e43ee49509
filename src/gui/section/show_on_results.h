#pragma once

#include <QString>

class CWdtMain;

// Selects path in the main window's file list as a click would, shows the
// results page and selects the table row of channel ("<device>_<channel>").
// Does nothing for a path that is not in the list.
void ShowOnResultsPage(CWdtMain* main, const QString& path, const QString& channel);
