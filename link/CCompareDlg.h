#pragma once
// The outcome of Compare with Radio when anything differs (with nothing
// different a message box says so): a window listing every difference
// between the radio and the document, one per line as `chanset-cli diff`
// prints them, the radio's value first and the document's second (what a
// Write would change). It is not modal, so the grid stays usable beside
// it; one window per channel view, filled anew by each compare.
#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class CCompareDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CCompareDlg(QWidget* parent);

  // Shows the window with `lines`, raised above the main window.
  void ShowDifferences(const QStringList& lines);

  QLabel* Summary() const { return m_pSummary; }
  QPlainTextEdit* Lines() const { return m_pLines; }
  QPushButton* CloseButton() const { return m_pClose; }

 private:
  QLabel* m_pSummary;
  QPlainTextEdit* m_pLines;
  QPushButton* m_pClose;
};
