#pragma once
// The channel window: the frame around a document's CChansetView inside the
// workspace. It starts at (0, 0), 1600 x 1200, and shrinks to the form when
// first shown. A close request (close box, window menu, Ctrl+F4, File
// Close) only hides it: the document stays open with all its data, and
// Channel Information shows the same window again.
#include <QMdiSubWindow>

class CChansetDoc;
class CChansetView;

class CChildFrame : public QMdiSubWindow {
  Q_OBJECT
 public:
  // Takes ownership of `doc` and creates its view.
  explicit CChildFrame(CChansetDoc* doc, QWidget* parent = nullptr);
  ~CChildFrame() override;

  CChansetDoc* GetDocument() const { return m_pDocument; }
  CChansetView* GetView() const { return m_pView; }

 signals:
  // The window is being hidden (the keyboard is still in it).
  void hiding();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  CChansetDoc* m_pDocument;
  CChansetView* m_pView;
};
