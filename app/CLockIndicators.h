#pragma once
// The status bar's CAP, NUM and SCRL panes. On X11 they follow the
// keyboard's lock lights: read at start, after every key press or release
// and whenever a window of the program becomes active. Where the window
// system cannot tell (Wayland, offscreen), the panes stay grey.
#include <QObject>
#include <QVector>
#include <optional>

#include "app/LockPanes.h"

class QLabel;
class QStatusBar;

class CLockIndicators : public QObject {
  Q_OBJECT
 public:
  // Adds the three panes, in order, at the right of `bar`.
  explicit CLockIndicators(QStatusBar* bar);

  QLabel* Pane(chanset::LockPane pane) const { return m_panes.value(static_cast<int>(pane)); }
  // Reads the lock state again and shows it.
  void Refresh();
  // Shows `keys` (empty: unknown).
  void Show(const std::optional<chanset::LockKeys>& keys);

  // The lock keys as the window system shows them; empty when it cannot tell.
  static std::optional<chanset::LockKeys> ReadKeys();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QVector<QLabel*> m_panes;
  QVector<QString> m_texts;
};
