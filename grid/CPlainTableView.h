#pragma once
// A table view in which typing never moves the current row: item views
// normally jump to the next row that starts with the letters typed; here
// those keys do nothing, so no key lands on a row the user did not go to.
// Every table of the program is one of these.
#include <QTableView>

class CPlainTableView : public QTableView {
 public:
  using QTableView::QTableView;
  void keyboardSearch(const QString&) override {}
};
