#pragma once
// Help -> Write Log: the write log (link/WriteLog.h) in a small table window,
// one row per write to a radio, oldest first and scrolled to the newest;
// a click on a column title sorts by it. Not modal; each showing reads the
// file again, and a write logged while the window is up adds its row.
#include <QDialog>

class QLabel;
class QTableWidget;

class CWriteLogDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CWriteLogDlg(QWidget* parent);

  // Reads the log and shows it, raised above the main window.
  void ShowLog();
  // Reads the log again into the table.
  void Reload();

  QTableWidget* Table() const { return m_pTable; }
  // What is said above the table: that nothing is logged yet, that the log
  // cannot be read, or how many of its lines cannot; empty otherwise.
  QLabel* Note() const { return m_pNote; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLabel* m_pNote;
  QTableWidget* m_pTable;
};
