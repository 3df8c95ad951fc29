#pragma once
// The extended-search commands as the page and the dialog run them: input from the window,
// statement from the core, result into the main list.
#include <QString>

#include "app/search/search_host.h"

class QWidget;

namespace orv::app {

// True when the list was reopened on the criteria; false after the "no criteria" message or an
// error (both reported here).
bool RunExtendedSearch(SearchHost& host, QWidget* parent, const SearchCriteria& criteria);

// The packet filter over the selected entry of the packet list (-1: none selected).
void RunPacketFilter(SearchHost& host, QWidget* parent, int selectedIndex,
                     const QString& selectedText);

class ExtendedSearchDialog;
// The dialog command (Shift+F2): the dialog, modal; then the current row of the new list is
// shown without highlighted words.
void OpenExtendedSearchDialog(SearchHost& host, ExtendedSearchDialog& dialog);

// Rebuilds the index table over the rows of the current list, percentages on the status bar.
void RunIndexRebuild(SearchHost& host, QWidget* parent);

}  // namespace orv::app
