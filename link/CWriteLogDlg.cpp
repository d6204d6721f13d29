#include "link/CWriteLogDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cerrno>
#include <sys/stat.h>

#include "link/CWriteLogNotifier.h"
#include "link/WriteLog.h"
#include "platform/FileInput.h"
#include "platform/CHelpService.h"
#include "platform/CLanguagePack.h"
#include "platform/ResourceIds.h"

using namespace chanset;

CWriteLogDlg::CWriteLogDlg(QWidget* parent)
    : QDialog(parent), m_pNote(new QLabel(this)), m_pTable(new QTableWidget(0, 8, this)) {
  setModal(false);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowTitle(CLanguagePack::String(ids::kWriteLogTitle));
  m_pNote->setWordWrap(true);
  m_pNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QStringList headers;
  for (int c = 0; c < 8; ++c) headers << CLanguagePack::String(ids::kWriteLogColumnFirst + c);
  m_pTable->setHorizontalHeaderLabels(headers);
  m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pTable->verticalHeader()->hide();
  m_pTable->horizontalHeader()->setStretchLastSection(true);
  // The file's order until a column title is clicked.
  m_pTable->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* close = buttons->addButton(CLanguagePack::String(ids::kBatchClose), QDialogButtonBox::RejectRole);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  auto* column = new QVBoxLayout(this);
  column->addWidget(m_pNote);
  column->addWidget(m_pTable, 1);
  column->addWidget(buttons);
  resize(900, 360);
  connect(CWriteLogNotifier::Instance(), &CWriteLogNotifier::appended, this, [this] {
    if (isVisible()) Reload();
  });
}

void CWriteLogDlg::ShowLog() {
  Reload();
  show();
  raise();
  activateWindow();
}

void CWriteLogDlg::Reload() {
  const QString path = QString::fromStdString(WriteLogPath());
  std::string text, error;
  struct stat st;
  m_pNote->clear();
  m_pTable->setSortingEnabled(false);
  m_pTable->setRowCount(0);
  if (stat(path.toStdString().c_str(), &st) != 0 && errno == ENOENT) {
    m_pNote->setText(CLanguagePack::String(ids::kWriteLogEmpty).arg(path));
    return;
  }
  if (!ReadWholeFile(path.toStdString(), text, &error)) {
    m_pNote->setText(CLanguagePack::String(ids::kWriteLogUnreadable).arg(path, QString::fromStdString(error)));
    return;
  }
  int unreadable = 0;
  const std::vector<CsvRecord> rows = WriteLogRows(text, -1, &unreadable);
  if (rows.empty() && unreadable == 0) m_pNote->setText(CLanguagePack::String(ids::kWriteLogEmpty).arg(path));
  if (unreadable > 0) m_pNote->setText(CLanguagePack::String(ids::kWriteLogSkipped).arg(unreadable));
  m_pTable->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r)
    for (int c = 0; c < 8 && c < static_cast<int>(rows[r].size()); ++c) {
      auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
      item->setToolTip(item->text());
      m_pTable->setItem(r, c, item);
    }
  m_pTable->resizeColumnsToContents();
  m_pTable->setSortingEnabled(true);
  m_pTable->scrollToBottom();
}

void CWriteLogDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    CHelpService::ShowTopic(ids::kWriteLog);
    return;
  }
  QDialog::keyPressEvent(event);
}
