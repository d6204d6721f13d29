#pragma once
// The small modeless progress dialog of a radio transfer (template 131): a
// bar of 62 steps, one per image row, a counter "0".."62", OK to start and
// Cancel to close or to stop.
//
// One object lives as long as its channel view; its window exists only
// while a transfer is being prepared or runs. OK disables itself (for the
// rest of the window's life) and posts WM_START_TRANSFER to the owner view.
// Cancel, Escape and the close box destroy an idle window at once; while a
// transfer runs they raise m_bCancel, which the transfer reads at its next
// poll (from its worker thread, hence atomic), and emit cancelRequested so
// that a wait on the port ends at once.
#include <QDialog>
#include <QEvent>
#include <atomic>

#include "platform/CDialogTemplate.h"

class QLabel;
class QProgressBar;
class QPushButton;

// Posted to the owner view by OK; the view's transfer runs on it.
constexpr QEvent::Type WM_START_TRANSFER = static_cast<QEvent::Type>(QEvent::User + 5);

class CProcessDlg : public QDialog {
  Q_OBJECT
 public:
  enum ControlIds { IdOk = 1, IdCancel = 2, IdProgress = 1001, IdCounter = 1009 };
  static constexpr int kRows = 62;

  explicit CProcessDlg(QWidget* owner);

  // Creates the window when there is none: initialised, shown and centred.
  // With a window already there, nothing happens. False when the language
  // pack has no template 131.
  bool ShowWindow();
  bool HasWindow() const { return m_bWindow; }
  // The window is up and its OK has been pressed: a transfer runs.
  bool IsBusy() const;
  void DestroyWindow();
  // Shows `rows` (0..62) on the bar and the counter.
  void SetProgress(int rows);
  // The caption text for the next window; a window that is up shows it too.
  void SetCaption(const QString& caption);

  QPushButton* OkButton() const;
  QPushButton* CancelButton() const;
  QProgressBar* ProgressBar() const { return m_pProgress; }
  QLabel* Counter() const;

  std::atomic<int> m_bCancel{0};
  QWidget* m_pOwner;
  QString m_strCaption;

 public slots:
  // Cancel, Escape and the close box.
  void reject() override;

 signals:
  // Cancel while a transfer runs.
  void cancelRequested();

 private:
  void OnInitDialog();
  void OnOK();

  QProgressBar* m_pProgress = nullptr;
  CDialogTemplate m_template;
  bool m_bBuilt = false;
  bool m_bWindow = false;
};
