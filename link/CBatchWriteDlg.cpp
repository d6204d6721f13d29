#include "link/CBatchWriteDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QStyle>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "data/Backups.h"
#include "link/CDeviceWatcher.h"
#include "link/CWriteLogNotifier.h"
#include "link/PortErrorText.h"
#include "link/RadioFleet.h"
#include "link/WriteLog.h"
#include "platform/CHelpService.h"
#include "platform/CLanguagePack.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"
#include "settings/CSettingsFile.h"

using namespace chanset;

namespace {
// A result at a glance, in any palette: a tick for a radio that holds the
// plan, a warning for one that may not, a cross for one that does not.
QIcon ResultIcon(WriteEnd end) {
  QStyle* style = QApplication::style();
  switch (end) {
    case WriteEnd::Written:
    case WriteEnd::Verified: return style->standardIcon(QStyle::SP_DialogApplyButton);
    case WriteEnd::NotVerified:
    case WriteEnd::Cancelled: return style->standardIcon(QStyle::SP_MessageBoxWarning);
    default: return style->standardIcon(QStyle::SP_MessageBoxCritical);
  }
}
}  // namespace

// The fleet's news, from the ports' threads to the rows. What takes time (the
// backup of a read-back) is done on the port's thread, so the window never
// waits for a disk.
class CBatchWriteDlg::Observer final : public FleetObserver {
 public:
  Observer(CBatchWriteDlg* dlg, const Image& image, const std::vector<FleetPort>& ports, const std::string& document)
      : m_pDlg(dlg), m_image(image), m_ports(ports), m_document(document) {}

  void Progress(std::size_t port, int rows, bool verifying) override {
    const int index = static_cast<int>(port);
    QMetaObject::invokeMethod(
        m_pDlg, [dlg = m_pDlg, index, rows, verifying] { dlg->ShowProgress(index, rows, verifying); },
        Qt::QueuedConnection);
  }

  void Ended(std::size_t port, const FleetResult& result) override {
    // The settings file only names types and bands here, and nothing
    // changes it while the batch's window is up.
    WriteOutcome outcome = OutcomeOfWrite(result.transfer, m_image, result.back ? &*result.back : nullptr,
                                          result.pulled, g_bChinese, &g_settingsFile());
    // What was read back is kept like every read.
    if (result.back && result.back->complete()) StoreBackup(result.back->image, g_bChinese);
    // Every radio whose port opened has its line in the write log.
    std::string logWarning;
    if (result.transfer.end != TransferEnd::OpenFailed) {
      const WriteOutcome logged = OutcomeOfWrite(result.transfer, m_image, result.back ? &*result.back : nullptr,
                                                 result.pulled, false, &g_settingsFile());
      const WriteRecord record = DescribeWrite(DiscoveryRootsFromEnvironment(), m_ports[port].path, m_document,
                                               m_image, &g_settingsFile(), LogWords(logged));
      if (AppendWriteLog(record, &logWarning)) CWriteLogNotifier::Appended();
    }
    const int index = static_cast<int>(port);
    QMetaObject::invokeMethod(
        m_pDlg, [dlg = m_pDlg, index, outcome, logWarning] { dlg->ShowEnded(index, outcome, logWarning); },
        Qt::QueuedConnection);
  }

 private:
  CBatchWriteDlg* m_pDlg;
  Image m_image;
  std::vector<FleetPort> m_ports;
  std::string m_document;
};

CBatchWriteDlg::CBatchWriteDlg(QWidget* parent)
    : QDialog(parent),
      m_pIntro(new QLabel(this)),
      m_pEmpty(new QLabel(CLanguagePack::String(ids::kBatchNoDevice), this)),
      m_pTable(new QTableWidget(0, ColumnCount, this)),
      m_pSummary(new QLabel(this)) {
  setWindowModality(Qt::WindowModal);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowTitle(CLanguagePack::String(ids::kBatchTitle));
  m_pIntro->setWordWrap(true);
  m_pEmpty->setWordWrap(true);
  m_pSummary->setWordWrap(true);

  QStringList headers;
  for (int id : {ids::kBatchColumnDevice, ids::kBatchColumnUsb, ids::kBatchColumnPort, ids::kBatchColumnState})
    headers << CLanguagePack::String(id);
  m_pTable->setHorizontalHeaderLabels(headers);
  m_pTable->verticalHeader()->hide();
  m_pTable->setSelectionMode(QAbstractItemView::NoSelection);
  m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // One line a row; what does not fit is in the cell's tooltip.
  m_pTable->setWordWrap(false);
  m_pTable->setTextElideMode(Qt::ElideMiddle);
  // Columns fit their texts once per listing, not at every change of a row.
  m_pTable->horizontalHeader()->setStretchLastSection(true);

  auto* buttons = new QDialogButtonBox(this);
  m_pStart = buttons->addButton(CLanguagePack::String(ids::kBatchStart), QDialogButtonBox::ActionRole);
  m_pCancel = buttons->addButton(CLanguagePack::String(ids::kButtonCancel), QDialogButtonBox::ActionRole);
  m_pClose = buttons->addButton(CLanguagePack::String(ids::kBatchClose), QDialogButtonBox::RejectRole);
  connect(m_pStart, &QPushButton::clicked, this, [this] { StartBatch(); });
  connect(m_pCancel, &QPushButton::clicked, this, &CBatchWriteDlg::CancelBatch);
  connect(m_pClose, &QPushButton::clicked, this, &CBatchWriteDlg::reject);

  auto* column = new QVBoxLayout(this);
  column->addWidget(m_pIntro);
  column->addWidget(m_pEmpty);
  column->addWidget(m_pTable, 1);
  column->addWidget(m_pSummary);
  column->addWidget(buttons);
  resize(900, 340);

  connect(CDeviceWatcher::Instance(), &CDeviceWatcher::devicesChanged, this, [this] {
    if (isVisible() || IsRunning()) RefreshLater();
  });
}

CBatchWriteDlg::~CBatchWriteDlg() {
  if (m_lister.joinable()) m_lister.join();
  // The fleet goes first: its threads end before the rows they report to.
  if (m_fleet) m_fleet->Cancel();
  m_fleet.reset();
}

void CBatchWriteDlg::ShowDialog(const QString& documentName, bool verify) {
  CDeviceWatcher::Instance()->Watch();
  m_bVerify = verify;
  m_pIntro->setText(CLanguagePack::String(verify ? ids::kBatchIntroVerify : ids::kBatchIntro).arg(documentName));
  if (!IsRunning()) {
    m_rows.clear();
    m_pTable->setRowCount(0);
    m_pSummary->clear();
  }
  Refresh();
  show();
  raise();
  activateWindow();
}

int CBatchWriteDlg::RowOf(const QString& path) const {
  for (int r = 0; r < m_rows.size(); ++r)
    if (QString::fromStdString(m_rows[r].device.path) == path) return r;
  return -1;
}

int CBatchWriteDlg::RowOfIndex(int index) const {
  for (int r = 0; r < m_rows.size(); ++r)
    if (m_rows[r].running && m_rows[r].index == index) return r;
  return -1;
}

QString CBatchWriteDlg::PortReasonText(const SystemError& reason, const std::string& path) {
  // What the user can do about it, in the pack's words, when that is known.
  const PortDetail detail = PortErrorDetailOf(reason, path);
  if (detail.id != 0) return CLanguagePack::String(detail.id, detail.args);
  return CLanguagePack::String(ids::kBatchCannotOpen).arg(QString::fromStdString(reason.text));
}

QString CBatchWriteDlg::StateText(int row) const {
  if (auto* bar = qobject_cast<QProgressBar*>(m_pTable->cellWidget(row, ColState))) return bar->text();
  QTableWidgetItem* item = m_pTable->item(row, ColState);
  return item ? item->text() : QString();
}

void CBatchWriteDlg::Refresh() { ShowDevices(ListSerialDevices(DiscoveryRootsFromEnvironment())); }

void CBatchWriteDlg::RefreshLater() {
  // One listing at a time; a change told meanwhile lists once more after it.
  if (m_lister.joinable()) {
    m_bListAgain = true;
    return;
  }
  m_lister = std::thread([this] {
    std::vector<SerialDevice> devices = ListSerialDevices(DiscoveryRootsFromEnvironment());
    QMetaObject::invokeMethod(
        this,
        [this, devices] {
          m_lister.join();
          ShowDevices(devices);
          if (m_bListAgain) {
            m_bListAgain = false;
            RefreshLater();
          }
        },
        Qt::QueuedConnection);
  });
}

void CBatchWriteDlg::ShowDevices(const std::vector<SerialDevice>& devices) {
  // Rows whose device went: an idle one goes too, a running one is stopped
  // ("cable pulled"), an ended one keeps its result.
  for (int r = m_rows.size() - 1; r >= 0; --r) {
    const bool present = std::any_of(devices.begin(), devices.end(),
                                     [&](const SerialDevice& d) { return d.path == m_rows[r].device.path; });
    if (present || m_rows[r].gone) continue;
    if (m_rows[r].running) {
      m_rows[r].gone = true;
      if (m_fleet) m_fleet->CancelPort(static_cast<std::size_t>(m_rows[r].index), true);
    } else if (m_pTable->item(r, ColState) && !m_pTable->item(r, ColState)->data(Qt::UserRole).toBool()) {
      m_rows.remove(r);
      m_pTable->removeRow(r);
    } else {
      m_rows[r].gone = true;
      ShowRow(r);
    }
  }
  for (const SerialDevice& d : devices) {
    int r = RowOf(QString::fromStdString(d.path));
    if (r >= 0 && m_rows[r].running) continue;
    if (r < 0) {
      r = m_rows.size();
      m_rows.append(Row());
      m_pTable->insertRow(r);
      for (int c = 0; c < ColumnCount; ++c) m_pTable->setItem(r, c, new QTableWidgetItem);
      m_pTable->item(r, ColDevice)->setCheckState(d.openable ? Qt::Checked : Qt::Unchecked);
    } else if (m_rows[r].gone || !m_rows[r].device.openable) {
      // Back again, or free again: offered as a new one would be.
      m_pTable->item(r, ColDevice)->setCheckState(d.openable ? Qt::Checked : Qt::Unchecked);
      m_pTable->item(r, ColState)->setData(Qt::UserRole, false);
    }
    m_rows[r].device = d;
    m_rows[r].gone = false;
    ShowRow(r);
  }
  m_pEmpty->setVisible(m_rows.isEmpty());
  m_pTable->resizeColumnsToContents();
  UpdateButtons();
}

void CBatchWriteDlg::ShowRow(int r) {
  const Row& row = m_rows[r];
  const SerialDevice& d = row.device;
  QTableWidgetItem* device = m_pTable->item(r, ColDevice);
  const std::string name = d.byId.empty() ? d.path : d.byId.substr(d.byId.rfind('/') + 1);
  device->setText(QString::fromStdString(name));
  device->setToolTip(QString::fromStdString(d.byId.empty() ? d.path : d.path + "\n" + d.byId));
  Qt::ItemFlags flags = Qt::ItemIsEnabled;
  if (!row.gone && !row.running && !IsRunning()) flags |= Qt::ItemIsUserCheckable;
  device->setFlags(flags);
  if (row.gone) device->setCheckState(Qt::Unchecked);
  m_pTable->item(r, ColCable)->setText(QString::fromStdString(UsbName(d)));
  m_pTable->item(r, ColCable)->setToolTip(QString::fromStdString(UsbText(d)));
  m_pTable->item(r, ColPort)->setText(QString::fromStdString(ComPortsText(d)));
  QTableWidgetItem* state = m_pTable->item(r, ColState);
  // A row that has a result keeps it until the next batch; one whose cable
  // went later says so too.
  if (state->data(Qt::UserRole).toBool()) {
    QString result = state->data(Qt::UserRole + 1).toString();
    const bool pulled = state->data(Qt::UserRole + 2).toInt() == static_cast<int>(WriteEnd::CablePulled);
    if (row.gone && !pulled)
      result += QStringLiteral(" (") + CLanguagePack::String(ids::kBatchUnplugged) + QLatin1Char(')');
    state->setText(result);
    state->setToolTip(result);
    state->setIcon(ResultIcon(static_cast<WriteEnd>(state->data(Qt::UserRole + 2).toInt())));
    return;
  }
  state->setIcon(QIcon());
  state->setText(d.openable ? CLanguagePack::String(ids::kBatchReady) : PortReasonText(d.reason, d.path));
  state->setToolTip(state->text());
}

bool CBatchWriteDlg::StartBatch() {
  if (IsRunning()) return false;
  QString document;
  if (!m_source || !m_source(m_image, document)) return false;
  std::vector<FleetPort> ports;
  for (int r = 0; r < m_rows.size(); ++r) {
    Row& row = m_rows[r];
    QTableWidgetItem* state = m_pTable->item(r, ColState);
    row.running = false;
    state->setData(Qt::UserRole, false);  // the results of the last batch go
    if (row.gone || m_pTable->item(r, ColDevice)->checkState() != Qt::Checked) continue;
    row.running = true;
    row.index = static_cast<int>(ports.size());
    ports.push_back({row.device.path, nullptr});
    state->setText(QString());
    auto* bar = new QProgressBar(m_pTable);
    bar->setRange(0, kTransferRows * (m_bVerify ? 2 : 1));
    bar->setValue(0);
    bar->setFormat(CLanguagePack::String(ids::kBatchWriting));
    m_pTable->setCellWidget(r, ColState, bar);
  }
  if (ports.empty()) return false;
  m_nStarted = static_cast<int>(ports.size());
  m_nRunning = m_nStarted;
  m_nWritten = m_nVerified = 0;
  m_pSummary->clear();
  emit batchStarted();
  FleetJob job;
  job.direction = TransferDirection::Write;
  job.image = m_image;
  job.verify = m_bVerify;
  m_logWarning.clear();
  m_observer = std::make_unique<Observer>(this, m_image, ports, document.toStdString());
  m_fleet = std::make_unique<RadioFleet>(std::move(ports), job, *m_observer);
  m_fleet->Start();
  for (int r = 0; r < m_rows.size(); ++r) ShowRow(r);
  UpdateButtons();
  return true;
}

void CBatchWriteDlg::CancelBatch() {
  if (m_fleet) m_fleet->Cancel();
}

void CBatchWriteDlg::ShowProgress(int index, int rows, bool verifying) {
  const int r = RowOfIndex(index);
  auto* bar = r < 0 ? nullptr : qobject_cast<QProgressBar*>(m_pTable->cellWidget(r, ColState));
  if (!bar) return;
  if (verifying) bar->setFormat(CLanguagePack::String(ids::kBatchVerifying));
  bar->setValue((verifying ? kTransferRows : 0) + rows);
}

QString CBatchWriteDlg::ResultWords(const WriteOutcome& o, const std::string& path) const {
  auto failure = [&](WriteEnd end) {
    switch (end) {
      case WriteEnd::NoAnswer: return CLanguagePack::String(ids::kResultNoAnswer);
      case WriteEnd::CablePulled: return CLanguagePack::String(ids::kResultCablePulled);
      case WriteEnd::Cancelled: return CLanguagePack::String(ids::kResultCancelled);
      case WriteEnd::CannotOpen: {
        const PortDetail detail = PortErrorDetailOf(o.reason, path);
        return detail.id != 0 ? CLanguagePack::String(detail.id, detail.args)
                              : CLanguagePack::String(ids::kResultCannotOpen).arg(QString::fromStdString(o.detail));
      }
      case WriteEnd::Interrupted:
        return CLanguagePack::String(ids::kResultInterrupted).arg(QString::fromStdString(o.detail));
      default: return QString();
    }
  };
  switch (o.end) {
    case WriteEnd::Written: return CLanguagePack::String(ids::kResultWritten);
    case WriteEnd::Verified: return CLanguagePack::String(ids::kResultVerified);
    case WriteEnd::Differs: return CLanguagePack::String(ids::kResultDiffers).arg(QString::fromStdString(o.detail));
    case WriteEnd::NotVerified: return CLanguagePack::String(ids::kResultNotVerified).arg(failure(o.why));
    default: return failure(o.end);
  }
}

void CBatchWriteDlg::ShowEnded(int index, const WriteOutcome& outcome, const std::string& logWarning) {
  if (!logWarning.empty()) m_logWarning = logWarning;
  const int r = RowOfIndex(index);
  if (r >= 0) {
    m_pTable->removeCellWidget(r, ColState);
    m_rows[r].running = false;
    QTableWidgetItem* state = m_pTable->item(r, ColState);
    state->setData(Qt::UserRole, true);
    state->setData(Qt::UserRole + 1, ResultWords(outcome, m_rows[r].device.path));
    state->setData(Qt::UserRole + 2, static_cast<int>(outcome.end));
    ShowRow(r);
  }
  if (outcome.written()) ++m_nWritten;
  if (outcome.end == WriteEnd::Verified) ++m_nVerified;
  if (--m_nRunning == 0) FinishBatch();
}

void CBatchWriteDlg::FinishBatch() {
  m_fleet.reset();  // every thread has ended: this only joins them
  m_observer.reset();
  QString summary = CLanguagePack::String(ids::kBatchSummary).arg(m_nWritten).arg(m_nStarted);
  if (m_bVerify) summary += CLanguagePack::String(ids::kBatchVerified).arg(m_nVerified);
  if (!m_logWarning.empty())
    summary += QLatin1Char('\n') + CLanguagePack::String(ids::kWriteLogFailed).arg(QString::fromStdString(m_logWarning));
  m_pSummary->setText(summary);
  for (int r = 0; r < m_rows.size(); ++r) ShowRow(r);
  // Devices that came or went while the radios were written.
  RefreshLater();
  emit batchEnded();
}

void CBatchWriteDlg::UpdateButtons() {
  const bool running = IsRunning();
  m_pStart->setEnabled(!running && !m_rows.isEmpty());
  m_pCancel->setEnabled(running);
  m_pClose->setEnabled(!running);
}

void CBatchWriteDlg::reject() {
  if (IsRunning()) {
    CancelBatch();
    return;
  }
  QDialog::reject();
}

void CBatchWriteDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    CHelpService::ShowTopic(ids::kWriteSeveralRadios);
    return;
  }
  QDialog::keyPressEvent(event);
}
