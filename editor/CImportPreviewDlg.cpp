#include "editor/CImportPreviewDlg.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "data/ChannelWords.h"
#include "editor/ChannelImport.h"
#include "grid/CPlainTableView.h"
#include "platform/CLanguagePack.h"
#include "platform/Globals.h"
#include "platform/ListLines.h"
#include "platform/ReadableColour.h"
#include "platform/ResourceIds.h"

using namespace chanset;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Columns: the file's line, the target channel, the eight channel texts,
// then the notes or the reasons of a refusal.
constexpr int kLineColumn = 0;
constexpr int kChannelColumn = 1;
constexpr int kFirstTextColumn = 2;
constexpr int kNotesColumn = kFirstTextColumn + 8;
constexpr int kColumnCount = kNotesColumn + 1;
const QColor kRefusedColour(170, 0, 0);
// The largest size the dialog opens at: it fits a 1024 x 768 screen with
// its frame and a panel, and scrolls inside. A smaller screen gets less.
constexpr int kMostWidth = 960;
constexpr int kMostHeight = 600;

// The format's name as the export's file types call it ("CHIRP CSV").
QString FormatName(CsvFormat format) {
  const QString filter = CLanguagePack::String(format == CsvFormat::Chirp ? ids::kChirpCsvFilter : ids::kChansetCsvFilter);
  return filter.section(QStringLiteral(" ("), 0, 0).section(QStringLiteral("（"), 0, 0);
}

class PreviewModel : public QAbstractTableModel {
 public:
  PreviewModel(const ImportResult& result, bool chinese, QObject* parent)
      : QAbstractTableModel(parent), m_result(result), m_bChinese(chinese) {}

  // Refused rows in red as designed; a readable red on a dark palette.
  void SetPalette(const QPalette& palette) {
    auto rgb = [](const QColor& c) { return Rgb{c.red(), c.green(), c.blue()}; };
    const Rgb shown = ReadableColour(rgb(kRefusedColour), rgb(palette.color(QPalette::Base)),
                                     rgb(palette.color(QPalette::Window)));
    m_refused = QColor(shown.r, shown.g, shown.b);
  }

  void Reset() {
    beginResetModel();
    endResetModel();
  }

  // The kept rows, then one row counting the refused rows not kept.
  int NotKept() const {
    return m_result.refusedRows - (static_cast<int>(m_result.rows.size()) - m_result.AcceptedCount());
  }
  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(m_result.rows.size()) + (NotKept() > 0 ? 1 : 0);
  }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : kColumnCount;
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::TextAlignmentRole && section == kNotesColumn) return int(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    if (section == kLineColumn) return CLanguagePack::String(ids::kImportLine);
    if (section == kChannelColumn) return CLanguagePack::String(ids::kImportChannel);
    if (section == kNotesColumn) return CLanguagePack::String(ids::kImportNotes);
    return QString::fromUtf8(kColumnTitles[static_cast<std::size_t>(section - kFirstTextColumn + 1)].In(m_bChinese));
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (index.row() >= static_cast<int>(m_result.rows.size())) {  // the count of the rest
      if (role == Qt::ForegroundRole) return QVariant(m_refused);
      if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
      if ((role == Qt::DisplayRole || role == Qt::ToolTipRole) && index.column() == kNotesColumn)
        return Q(MoreLinesText(static_cast<std::size_t>(NotKept()), m_bChinese));
      return {};
    }
    const ImportRow& row = m_result.rows[static_cast<std::size_t>(index.row())];
    if (role == Qt::ForegroundRole) return row.Accepted() ? QVariant() : QVariant(m_refused);
    if (role == Qt::TextAlignmentRole)
      return index.column() == kNotesColumn ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (index.column()) {
      case kLineColumn: return row.line;
      case kChannelColumn:
        return row.channel > 0 ? QString::number(row.channel) : CLanguagePack::String(ids::kImportNoChannel);
      case kNotesColumn: return Notes(row);
      default:
        if (!row.Accepted())
          return index.column() == kFirstTextColumn ? CLanguagePack::String(ids::kImportResult) : QString();
        return Q(row.texts[static_cast<std::size_t>(index.column() - kFirstTextColumn)]);
    }
  }

 private:
  QString Notes(const ImportRow& row) const {
    QStringList parts;
    if (!row.Accepted()) {
      for (const CellRefusal& refusal : row.refusals) parts << Q(ImportRefusalText(refusal, m_bChinese));
      return CLanguagePack::String(ids::kImportRefusedMark).arg(parts.join(QStringLiteral("; ")));
    }
    for (const std::string& note : row.notes) parts << Q(note);
    return parts.join(QStringLiteral("; "));
  }

  const ImportResult& m_result;
  bool m_bChinese;
  QColor m_refused = kRefusedColour;
};

}  // namespace

CImportPreviewDlg::CImportPreviewDlg(QWidget* parent, const QString& fileName, std::string csvText,
                                     const ImportOptions& options)
    : QDialog(parent), m_text(std::move(csvText)), m_options(options), m_fileName(fileName) {
  setObjectName(QStringLiteral("importPreviewDlg"));
  setWindowTitle(CLanguagePack::String(ids::kImportTitle));
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

  m_pFileLabel = new QLabel(this);
  m_pTable = new CPlainTableView(this);
  auto* model = new PreviewModel(m_result, m_options.chinese, this);
  model->SetPalette(m_pTable->palette());
  m_pModel = model;
  m_pTable->setModel(m_pModel);
  m_pTable->setAccessibleName(windowTitle());
  m_pTable->setSelectionMode(QAbstractItemView::NoSelection);
  m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Tab leaves the table for the controls below it; the arrows move in it.
  m_pTable->setTabKeyNavigation(false);
  m_pTable->setWordWrap(false);
  m_pTable->verticalHeader()->hide();
  m_pTable->horizontalHeader()->setStretchLastSection(true);
  // Fixed widths from the font, so that a file of thousands of rows opens
  // at once: each text column as wide as a frequency or its title.
  const QFontMetrics metrics = m_pTable->fontMetrics();
  for (int c = 0; c < kNotesColumn; ++c) {
    const QString title = m_pModel->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    const QString sample = c < kFirstTextColumn ? QStringLiteral("00000") : QStringLiteral("446.00625");
    m_pTable->setColumnWidth(c, qMax(metrics.horizontalAdvance(title), metrics.horizontalAdvance(sample)) + 16);
  }
  m_pRenumber = new QCheckBox(CLanguagePack::String(ids::kImportRenumber), this);
  m_pRenumber->setChecked(options.renumber);
  m_pDetails = new QLabel(this);
  m_pDetails->setObjectName(QStringLiteral("details"));
  m_pDetails->setWordWrap(true);
  m_pDetails->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_pDetails->setTextFormat(Qt::PlainText);
  connect(m_pTable->selectionModel(), &QItemSelectionModel::currentChanged, this, &CImportPreviewDlg::ShowDetails);
  m_pSummary = new QLabel(this);
  m_pSummary->setWordWrap(true);

  auto* buttons = new QDialogButtonBox(this);
  m_pOk = buttons->addButton(CLanguagePack::String(ids::kButtonOk), QDialogButtonBox::AcceptRole);
  QPushButton* cancel = buttons->addButton(CLanguagePack::String(ids::kButtonCancel), QDialogButtonBox::RejectRole);
  m_pOk->setObjectName(QStringLiteral("okButton"));
  cancel->setObjectName(QStringLiteral("cancelButton"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_pRenumber, &QCheckBox::toggled, this, &CImportPreviewDlg::Read);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pFileLabel);
  layout->addWidget(m_pTable, 1);
  layout->addWidget(m_pDetails);
  layout->addWidget(m_pRenumber);
  layout->addWidget(m_pSummary);
  layout->addWidget(buttons);
  // The button box hands the focus to its first button: it goes in the
  // chain just before the buttons, so that Tab from the last one wraps to
  // the table.
  setTabOrder(m_pTable, m_pRenumber);
  setTabOrder(m_pRenumber, buttons);
  setTabOrder(buttons, m_pOk);
  setTabOrder(m_pOk, cancel);
  QSize size(kMostWidth, kMostHeight);
  if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
    size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
  resize(size);
  Read();
}

void CImportPreviewDlg::ShowDetails() {
  const QModelIndex index = m_pTable->currentIndex();
  if (!index.isValid()) {
    m_pDetails->clear();
    return;
  }
  const QString line = m_pModel->index(index.row(), kLineColumn).data().toString();
  const QString notes = m_pModel->index(index.row(), kNotesColumn).data().toString();
  m_pDetails->setText(QStringLiteral("%1 %2: %3").arg(CLanguagePack::String(ids::kImportLine), line, notes));
}

void CImportPreviewDlg::Read() {
  m_options.renumber = m_pRenumber->isChecked();
  m_result = ImportChannels(m_text, m_options);
  static_cast<PreviewModel*>(m_pModel)->Reset();
  // The first refused row is current, so that its reason shows in full.
  int current = 0;
  for (std::size_t r = 0; r < m_result.rows.size(); ++r)
    if (!m_result.rows[r].Accepted()) {
      current = static_cast<int>(r);
      break;
    }
  m_pTable->setCurrentIndex(m_pModel->index(current, kNotesColumn));
  ShowDetails();
  QString file = CLanguagePack::String(ids::kImportFileFormat).arg(m_fileName, FormatName(m_result.format));
  QStringList fileNotes;
  for (const std::string& note : m_result.notes) fileNotes << Q(note);
  if (!fileNotes.isEmpty())
    file += QLatin1Char('\n') + CLanguagePack::String(ids::kImportFileNotes).arg(fileNotes.join(QStringLiteral("; ")));
  m_pFileLabel->setText(file);
  const int total = m_result.RowCount();
  m_pSummary->setText(CLanguagePack::String(ids::kImportSummary)
                          .arg(m_result.AcceptedCount())
                          .arg(total)
                          .arg(m_result.RefusedCount()));
  m_pTable->setAccessibleDescription(m_pSummary->text());
  m_pOk->setEnabled(m_result.error.empty() && m_result.AcceptedCount() > 0);
}
