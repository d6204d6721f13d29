#include "app/CMainFrame.h"

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("Chanset"));
  resize(900, 550);
}
