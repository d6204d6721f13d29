#include "editor/CChansetView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QValidator>

#include "data/CChansetDoc.h"
#include "data/ChannelCodec.h"
#include "data/ChannelWords.h"
#include "data/DatFile.h"
#include "editor/CellCommit.h"
#include "editor/EditorPlacement.h"
#include "grid/CGridTexts.h"
#include "grid/CMSFlexGrid.h"
#include "grid/Twips.h"
#include "platform/AppDir.h"
#include "platform/CHelpService.h"
#include "platform/CLanguagePack.h"
#include "platform/CMessageBox.h"
#include "platform/FontFaces.h"
#include "platform/Globals.h"
#include "platform/ReadableColour.h"
#include "platform/ResourceIds.h"
#include "settings/CSettingsFile.h"

using namespace chanset;

namespace {

constexpr int kGridRows = 1 + kChannelCount;  // header row + 16 channels
constexpr int kGridCols = kGridColumns;       // number column + 8 texts
const QColor kFixedTextColour(0, 50, 240);
const QColor kTitleLineColour(250, 10, 10);
constexpr int kTitleLinePointSize = 12;
const char* const kTitleLineFace = "宋体";
// Extra height of a drop-down list's list, in pixels.
constexpr int kListExtraHeight = 100;

// Column widths as multiples of the width W of column 0 as designed.
constexpr double kWidthFactors[kGridCols] = {0.51, 1.2, 1.2, 1.2, 1.2, 1.0, 0.8, 1.0, 0.8};

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The form as designed, for a language pack that lacks it.
DialogTemplate BuiltInForm() {
  DialogTemplate t;
  t.id = ids::kChannelForm;
  t.size = QSize(439, 218);
  t.style = {QStringLiteral("child")};
  DialogControl title;
  title.id = CChansetView::IdTitleLine;
  title.kind = QStringLiteral("static");
  title.rect = QRect(47, 13, 345, 17);
  title.style = {QStringLiteral("center"), QStringLiteral("vcenter")};
  DialogControl grid;
  grid.id = CChansetView::IdGrid;
  grid.kind = QStringLiteral("grid");
  grid.rect = QRect(13, 37, 412, 167);
  t.controls = {title, grid};
  return t;
}

// A text box without horizontal scrolling: typing stops at the box's width.
class FitWidthValidator : public QValidator {
 public:
  explicit FitWidthValidator(QLineEdit* edit) : QValidator(edit), m_pEdit(edit) {}
  State validate(QString& input, int&) const override {
    const int room = m_pEdit->contentsRect().width() - 4;  // the box's text margins
    return m_pEdit->fontMetrics().horizontalAdvance(input) <= room ? Acceptable : Invalid;
  }

 private:
  QLineEdit* m_pEdit;
};

template <std::size_t N>
QStringList ChoiceTexts(const std::array<WordPair, N>& choices) {
  QStringList texts;
  for (const WordPair& w : choices) texts << QString::fromUtf8(w.In(g_bChinese));
  return texts;
}

}  // namespace

CChansetView::CChansetView(CChansetDoc* doc, QWidget* parent) : QWidget(parent), m_pDocument(doc) {
  // Every save of the document writes the grid's channels first; the
  // state for its undo history takes the grid as it stands.
  if (doc) {
    doc->SetChannelEncoder([this](Image& image, bool commitEditor) {
      if (commitEditor) {
        EncodeInto(image);
      } else if (!m_bFirstInit) {
        EncodeChannels(CGridTexts(*m_pGrid), image);
      }
    });
    connect(doc, &CChansetDoc::stateRestored, this, &CChansetView::ShowDocumentState);
  }
  BuildForm();
  qApp->installEventFilter(this);
}

CChansetView::~CChansetView() {
  if (m_pDocument) {
    m_pDocument->SetChannelEncoder({});
  }
}

void CChansetView::BuildForm() {
  InstallFontSubstitutions();  // also where no application start-up ran
  auto factory = [this](const DialogControl& control, QWidget* parent) -> QWidget* {
    if (control.id != IdGrid) return nullptr;
    m_pGrid = new CMSFlexGrid(parent);
    return m_pGrid;
  };
  if (!m_form.Create(this, ids::kChannelForm, factory)) m_form.Create(this, BuiltInForm(), factory);
  m_pTitleLine = m_form.Control<QLabel>(IdTitleLine);
  if (!m_pGrid) m_pGrid = new CMSFlexGrid(this);  // a template without the grid
  if (!m_pTitleLine) m_pTitleLine = new QLabel(this);

  // The title line: red, in the Chinese face at 12 points.
  ApplyTitleColour();
  QFont titleFont(QString::fromUtf8(kTitleLineFace));
  titleFont.setPointSize(kTitleLinePointSize);
  m_pTitleLine->setFont(titleFont);
  m_pTitleLine->setTextFormat(Qt::PlainText);

  // As designed: column 0 is W wide, the width that lets the nine columns'
  // shares fill the grid.
  const int dpiX = m_pGrid->DpiX();
  const int border = TwipsToPixels(m_pGrid->GetColPos(0), dpiX);
  double shares = 0;
  for (double f : kWidthFactors) shares += f;
  const int clientWidth = m_pGrid->width() - 2 * border;
  m_pGrid->SetColWidth(0, static_cast<int>(PixelsToTwips(clientWidth, dpiX) / shares));
}

QSize CChansetView::sizeHint() const { return m_form.PixelSize(); }

// Red as designed; a lighter red where the window colour is dark.
void CChansetView::ApplyTitleColour() {
  auto rgb = [](const QColor& c) { return Rgb{c.red(), c.green(), c.blue()}; };
  const Rgb window = rgb(palette().color(QPalette::Window));
  const Rgb shown = ReadableColour(rgb(kTitleLineColour), window, window);
  QPalette titlePalette = m_pTitleLine->palette();
  titlePalette.setColor(QPalette::WindowText, QColor(shown.r, shown.g, shown.b));
  m_pTitleLine->setPalette(titlePalette);
}

void CChansetView::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange && m_pTitleLine) ApplyTitleColour();
}

void CChansetView::OnInitialUpdate() {
  FitFrameToForm();
  if (m_bFirstInit) {
    BuildGridAndEditors();
    m_bFirstInit = false;
  }
  LoadFrameIcon();
  RefreshFromImage();
}

void CChansetView::BuildGridAndEditors() {
  m_tones.Build(g_bChinese);
  m_pGrid->SetRows(kGridRows);
  m_pGrid->SetCols(kGridCols);
  m_pGrid->SetForeColorFixed(kFixedTextColour);
  // The 17 rows share the grid's height (the last ones a pixel taller when it
  // does not divide evenly), so the table fills the grid and never scrolls.
  const int dpiY = m_pGrid->DpiY();
  const int border = TwipsToPixels(m_pGrid->GetRowPos(0), dpiY);
  const int clientHeight = m_pGrid->height() - 2 * border;
  const int rowHeight = qMax(fontMetrics().height() + 2, clientHeight / kGridRows);
  const int taller = qMax(0, clientHeight - rowHeight * kGridRows);
  for (int r = 0; r < kGridRows; ++r) {
    const int px = rowHeight + (r >= kGridRows - taller ? 1 : 0);
    m_pGrid->SetRowHeight(r, PixelsToTwips(px, dpiY));
  }

  // The editors: hidden children of the grid, in the view's font.
  m_pRxEdit = new QLineEdit(m_pGrid);
  m_pTxEdit = new QLineEdit(m_pGrid);
  for (QLineEdit* edit : {m_pRxEdit, m_pTxEdit}) {
    edit->setFrame(false);
    edit->setValidator(new FitWidthValidator(edit));
  }
  QStringList tones;
  for (int i = 0; i < m_tones.Size(); ++i) tones << Q(m_tones.Text(i));
  const QStringList lists[] = {tones,
                               tones,
                               ChoiceTexts(kWidthChoices),
                               ChoiceTexts(kScanChoices),
                               ChoiceTexts(kBusyChoices),
                               ChoiceTexts(kPowerChoices)};
  for (const QStringList& entries : lists) {
    auto* combo = new QComboBox(m_pGrid);
    combo->addItems(entries);
    // A list that drops below the box, of the height OpenEditor gives it,
    // rather than a menu laid over the box.
    combo->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    m_lists << combo;
  }
  // The two lists of three entries never need a scroll bar.
  m_lists[4]->view()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_lists[5]->view()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  for (QWidget* editor : {static_cast<QWidget*>(m_pRxEdit), static_cast<QWidget*>(m_pTxEdit)})
    editor->hide();
  for (QComboBox* combo : m_lists) combo->hide();
  for (int col = 1; col < kGridCols; ++col) EditorOfColumn(col)->setFont(font());
  // The open editor's name: "Rx Frequency, channel 3". A drop-down list is
  // named by a label bound to it (on this platform its own name is its
  // value); a text box takes the name too.
  m_pEditorLabel = new QLabel(m_pGrid);
  m_pEditorLabel->setObjectName(QStringLiteral("editorName"));
  m_pEditorLabel->hide();
  m_pGrid->SetName(QString::fromUtf8(NewDocumentTitle(g_bChinese)));

  for (int col = 0; col < kGridCols; ++col)
    m_pGrid->SetTextMatrix(0, col, QString::fromUtf8(kColumnTitles[col].In(g_bChinese)));
  m_pTitleLine->setText(
      Q(g_settingsFile().GetValue(g_bChinese ? "Chinese" : "English", "Title", "")));
  for (int n = 1; n < kGridRows; ++n) m_pGrid->SetTextMatrix(n, 0, QString::asprintf("%2d", n));

  const int w = m_pGrid->GetColWidth(0);
  for (int col = 0; col < kGridCols; ++col) {
    m_pGrid->SetColAlignment(col, CMSFlexGrid::AlignCenterCenter);
    m_pGrid->SetColWidth(col, static_cast<int>(w * kWidthFactors[col]));
  }

  connect(m_pGrid, &CMSFlexGrid::EnterCell, this, &CChansetView::OnEnterCell);
  connect(m_pGrid, &CMSFlexGrid::LeaveCell, this, &CChansetView::OnLeaveCell);
  connect(m_pGrid, &CMSFlexGrid::MouseDown, this, &CChansetView::OnMouseDown);
  connect(m_pGrid, &CMSFlexGrid::KeyTyped, this, &CChansetView::OnKeyTyped);
}

QWidget* CChansetView::Frame() {
  for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
    if (qobject_cast<QMdiSubWindow*>(w)) return w;
    if (w->isWindow()) break;
  }
  return isWindow() ? this : nullptr;
}

void CChansetView::FitFrameToForm() {
  auto* frame = qobject_cast<QMdiSubWindow*>(Frame());
  if (!frame) return;
  // The frame's own size hint holds the form at its size; a smaller frame
  // keeps its size.
  frame->resize(frame->size().boundedTo(frame->sizeHint()));
}

void CChansetView::LoadFrameIcon() {
  const QString path = Q(ApplicationDirectory()) + QStringLiteral("title.ico");
  if (!QFileInfo::exists(path)) return;
  QIcon icon(path);
  if (icon.isNull()) return;
  if (QWidget* frame = Frame()) frame->setWindowIcon(icon);
}

void CChansetView::RefreshFromImage() { ShowImage(g_bFreshDocument); }

// The image holds the document's own type and band; the registry's last
// choice must not overwrite them as it does for a fresh document.
void CChansetView::ShowDocumentState() { ShowImage(false); }

void CChansetView::ShowImage(bool takeRegistryTypeAndBand) {
  if (m_bFirstInit || !m_pDocument) return;
  for (int col = 1; col < kGridCols; ++col) EditorOfColumn(col)->hide();
  Image& image = m_pDocument->Image();
  for (int n = 1; n <= kChannelCount; ++n) {
    const ChannelTexts texts = DecodeChannel(image, n, g_bChinese);
    for (int col = 1; col < kGridCols; ++col) m_pGrid->SetTextMatrix(n, col, Q(texts[col - 1]));
  }
  // A new document takes the last type and band from the registry; a loaded
  // image hands its own to the registry.
  if (takeRegistryTypeAndBand) {
    std::uint32_t type = 0, band = 0;
    ReadTypeAndBand(type, band);
    image[off::kRadioType] = static_cast<std::uint8_t>(type & 0xFF);
    image[off::kBand] = static_cast<std::uint8_t>(band & 0xFF);
  } else {
    WriteTypeAndBand(image[off::kRadioType], image[off::kBand]);
  }
  const CSettingsFile& settings = g_settingsFile();
  const std::string typeName = TypeName(settings, image);
  const std::string bandText = BandText(settings, image);
  m_limits = DeriveBandLimits(bandText);
  g_strTitle = WindowTitle(settings.GetValue(g_strLanguage, "AppName", ""), typeName, bandText,
                           g_bChinese);
  emit titleChanged(Q(g_strTitle));
}

void CChansetView::EncodeGridToImage() {
  if (m_pDocument) EncodeInto(m_pDocument->Image());
}

void CChansetView::EncodeInto(Image& image) {
  if (m_bFirstInit) return;
  CommitEditor();
  EncodeChannels(CGridTexts(*m_pGrid), image);
}

QWidget* CChansetView::EditorOfColumn(int col) const {
  if (col == kColTx) return m_pTxEdit;
  if (col > kColTx && col <= kColLast && m_lists.size() == kColLast - kColTx)
    return m_lists[col - kColTx - 1];
  return m_pRxEdit;
}

int CChansetView::ControlIdOf(const QWidget* widget) const {
  static const int kEditorIds[] = {0,           IdRxEdit,    IdTxEdit,  IdDecList, IdEncList,
                                   IdWidthList, IdScanList, IdBusyList, IdPowerList};
  if (!widget || m_bFirstInit) return widget == m_pGrid ? int(IdGrid) : -1;
  for (int col = 1; col < kGridCols; ++col) {
    const QWidget* editor = EditorOfColumn(col);
    if (widget == editor || editor->isAncestorOf(widget)) return kEditorIds[col];
  }
  if (widget == m_pGrid || m_pGrid->isAncestorOf(widget)) return IdGrid;
  if (widget == m_pTitleLine) return IdTitleLine;
  return -1;
}

void CChansetView::OnEnterCell() {
  if (!m_bWalking) OpenEditor();
}

void CChansetView::OnLeaveCell() { CommitEditor(); }

void CChansetView::OnMouseDown(short, short, int, int) {
  // A press anywhere on the grid opens the current cell's editor (a press
  // on another cell has made that cell current already).
  OpenEditor();
}

void CChansetView::OpenEditor() {
  if (m_bFirstInit) return;
  const int col = m_pGrid->GetCol();
  const QString text = m_pGrid->GetText();
  QWidget* editor = EditorOfColumn(col);
  for (int c = 1; c < kGridCols; ++c)
    if (EditorOfColumn(c) != editor) EditorOfColumn(c)->hide();
  if (!editor->isHidden()) {  // already open here: keep what is being typed
    editor->setFocus();
    return;
  }
  const EditorRect r = InPlaceEditorRect(m_pGrid->GetCellLeft(), m_pGrid->GetCellTop(), m_pGrid->GetCellWidth(),
                                         m_pGrid->GetCellHeight(), m_pGrid->DpiX(), m_pGrid->DpiY(),
                                         m_pGrid->GetGridLineWidth());
  editor->setGeometry(r.left, r.top, r.width, r.height);
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    std::vector<std::string> entries;
    for (int i = 0; i < combo->count(); ++i) entries.push_back(combo->itemText(i).toStdString());
    combo->setCurrentIndex(FindListEntry(entries, text.toStdString()));
    // The list drops kListExtraHeight pixels below the box.
    const int itemHeight = qMax(1, combo->view()->sizeHintForRow(0));
    combo->setMaxVisibleItems(qMax(1, kListExtraHeight / itemHeight));
  } else {
    auto* edit = static_cast<QLineEdit*>(editor);
    edit->setText(text);
    edit->selectAll();
  }
  NameOpenEditor(editor);
  editor->raise();
  editor->show();
  editor->setFocus(Qt::OtherFocusReason);
  m_pGrid->Refresh();
}

void CChansetView::NameOpenEditor(QWidget* editor) {
  const int row = m_pGrid->GetRow();
  const QString name = CLanguagePack::String(ids::kEditorName)
                           .arg(m_pGrid->GetTextMatrix(0, m_pGrid->GetCol()).trimmed())
                           .arg(row);
  editor->setAccessibleName(name);
  m_pEditorLabel->setText(name);
  m_pEditorLabel->setBuddy(editor);
}

void CChansetView::FocusCurrentCell() {
  if (m_bFirstInit) {
    setFocus(Qt::OtherFocusReason);
    return;
  }
  QWidget* editor = EditorOfColumn(m_pGrid->GetCol());
  if (!editor->isHidden())
    editor->setFocus(Qt::OtherFocusReason);
  else
    m_pGrid->setFocus(Qt::OtherFocusReason);
}

QRect CChansetView::CurrentCellRect() const {
  if (m_bFirstInit) return rect();
  const QWidget* editor = EditorOfColumn(m_pGrid->GetCol());
  if (!editor->isHidden()) return QRect(editor->mapTo(this, QPoint(0, 0)), editor->size());
  const int dpiX = m_pGrid->DpiX(), dpiY = m_pGrid->DpiY();
  const QRect cell(TwipsToPixels(m_pGrid->GetCellLeft(), dpiX), TwipsToPixels(m_pGrid->GetCellTop(), dpiY),
                   TwipsToPixels(m_pGrid->GetCellWidth(), dpiX), TwipsToPixels(m_pGrid->GetCellHeight(), dpiY));
  return cell.translated(m_pGrid->mapTo(this, QPoint(0, 0)));
}

void CChansetView::OnKeyTyped(QKeyEvent* event) {
  if (!isVisible() || !isEnabled()) return;
  OpenEditor();
  QWidget* editor = EditorOfColumn(m_pGrid->GetCol());
  if (editor->isHidden()) return;
  QKeyEvent typed(event->type(), event->key(), event->modifiers(), event->text(), event->isAutoRepeat(),
                  static_cast<ushort>(event->count()));
  QApplication::sendEvent(editor, &typed);
}

void CChansetView::CancelEditor() {
  QWidget* editor = EditorOfColumn(m_pGrid->GetCol());
  // Hidden first: the focus leaving it then commits nothing.
  editor->hide();
  m_pGrid->setFocus(Qt::OtherFocusReason);
}

bool CChansetView::PassesUndoKey(QWidget* editor, const QKeyEvent* event) const {
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  const bool undo = event->key() == Qt::Key_Z && mods == Qt::ControlModifier;
  const bool redo = (event->key() == Qt::Key_Y && mods == Qt::ControlModifier) ||
                    (event->key() == Qt::Key_Z && mods == (Qt::ControlModifier | Qt::ShiftModifier));
  if (!undo && !redo) return false;
  auto* edit = qobject_cast<QLineEdit*>(editor);
  if (!edit) return true;
  return undo ? !edit->isUndoAvailable() : !edit->isRedoAvailable();
}

bool CChansetView::CommitEditor() { return Commit(); }

bool CChansetView::CommitBeforeClosing() {
  if (m_bFirstInit) return true;
  auto* edit = qobject_cast<QLineEdit*>(EditorOfColumn(m_pGrid->GetCol()));
  const QString typed = edit && edit->isVisible() ? edit->text() : QString();
  if (Commit()) return true;
  if (QWidget* frame = Frame()) frame->show();
  OpenEditor();
  if (edit) {
    edit->setText(typed);
    edit->selectAll();
  }
  return false;
}

bool CChansetView::Commit() {
  if (m_bFirstInit) return true;
  const int row = m_pGrid->GetRow();
  const int col = m_pGrid->GetCol();
  QWidget* editor = EditorOfColumn(col);
  // An editor is open until a commit hides it, also while its window is
  // hidden (the text typed there still reaches the file).
  if (editor->isHidden()) return true;

  ChannelTexts before;
  for (int c = 1; c < kGridCols; ++c) before[c - 1] = m_pGrid->GetTextMatrix(row, c).toStdString();
  auto* combo = qobject_cast<QComboBox*>(editor);
  const QString typed = combo ? combo->currentText() : static_cast<QLineEdit*>(editor)->text();
  const CommitResult result = CommitCell(col, typed.toStdString(), before, m_limits, g_bChinese);

  // Hidden first, so that nothing reached while the message is up commits
  // this editor a second time.
  const bool hadFocus = editor->hasFocus();
  editor->hide();
  if (hadFocus) m_pGrid->setFocus(Qt::OtherFocusReason);

  // The document's state before the commit, taken only when a text is
  // about to change (most commits change nothing).
  bool changed = false;
  Image stateBefore{};
  for (int c = 1; c < kGridCols; ++c) {
    const QString text = Q(result.row[c - 1]);
    if (m_pGrid->GetTextMatrix(row, c) != text) {
      if (!changed && m_pDocument) stateBefore = m_pDocument->State();
      m_pGrid->SetTextMatrix(row, c, text);
      changed = true;
    }
  }
  if (changed) {
    // One undo step per commit; emptying the Rx deletes the channel.
    const bool cleared = col == kColRx && typed.isEmpty();
    if (m_pDocument) m_pDocument->RecordChange(cleared ? EditKind::ClearChannel : CellEditKind(col), stateBefore);
    emit edited();
  }
  if (result.Refused())
    CMessageBox::Show(this, CLanguagePack::String(result.message), CMessageBox::Ok,
                      CMessageBox::Exclamation, CLanguagePack::String(ids::kCaution));
  return !result.Refused();
}

bool CChansetView::OwnsWidget(const QObject* object) const {
  const auto* widget = qobject_cast<const QWidget*>(object);
  return widget && (widget == this || isAncestorOf(widget));
}

bool CChansetView::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::FocusOut || (type == QEvent::KeyPress && !m_bFirstInit && OwnsWidget(watched))) {
    if (LeaveOpenEditor(watched, event)) return true;
  }
  // Keys reach a view only while it is in view.
  if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) || m_bFirstInit ||
      !OwnsWidget(watched) || !isVisible())
    return QWidget::eventFilter(watched, event);
  if (QWidget* editor = OpenEditorOwning(watched)) {
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    if (PassesUndoKey(editor, keyEvent)) {
      // Not taken by the editor: the main window's Undo or Redo runs.
      event->ignore();
      return type == QEvent::ShortcutOverride;
    }
    if (keyEvent->key() == Qt::Key_Escape && keyEvent->modifiers() == Qt::NoModifier) {
      if (type == QEvent::KeyPress) CancelEditor();
      return true;
    }
  }
  const int key = static_cast<QKeyEvent*>(event)->key();
  // An open drop-down list keeps the keys that open its list (Alt+Down and
  // Alt+Up are also Move Down and Move Up of the channels).
  const Qt::KeyboardModifiers mods = static_cast<QKeyEvent*>(event)->modifiers() & ~Qt::KeypadModifier;
  const bool listKey = ((key == Qt::Key_Down || key == Qt::Key_Up) && mods == Qt::AltModifier) ||
                       (key == Qt::Key_F4 && mods == Qt::NoModifier);
  if (type == QEvent::ShortcutOverride && listKey && qobject_cast<QComboBox*>(OpenEditorOwning(watched))) {
    event->accept();
    return false;
  }
  if (key != Qt::Key_F1 && key != Qt::Key_Return && key != Qt::Key_Enter)
    return QWidget::eventFilter(watched, event);
  if (type == QEvent::ShortcutOverride) {
    // Keep these keys from any shortcut of the main window.
    event->accept();
    return true;
  }
  if (key == Qt::Key_F1)
    OnHelpKey();
  else
    OnEnterKey();
  return true;
}

QWidget* CChansetView::OpenEditorOwning(const QObject* object) const {
  if (m_bFirstInit || !m_pGrid) return nullptr;
  QWidget* editor = EditorOfColumn(m_pGrid->GetCol());
  const auto* widget = qobject_cast<const QWidget*>(object);
  if (editor->isHidden() || !widget || (widget != editor && !editor->isAncestorOf(widget))) return nullptr;
  return editor;
}

bool CChansetView::LeaveOpenEditor(QObject* watched, QEvent* event) {
  QWidget* editor = OpenEditorOwning(watched);
  if (!editor) return false;
  if (event->type() == QEvent::KeyPress) {
    // Tab and Shift+Tab leave the editor for the grid, committing it as
    // leaving the cell does; the current cell stays.
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Tab && key != Qt::Key_Backtab) return false;
    CommitEditor();
    return true;
  }
  // The focus went elsewhere in the window (the tree, another control): an
  // editor is never left open without the focus. A drop-down list's own
  // popup, another window or the grid itself (whose cell changes commit)
  // leave it open.
  const auto reason = static_cast<QFocusEvent*>(event)->reason();
  QWidget* now = QApplication::focusWidget();
  if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason || !now ||
      now->window() != editor->window() || now == m_pGrid || m_pGrid->isAncestorOf(now))
    return false;
  CommitEditor();
  return false;
}

void CChansetView::OnHelpKey() {
  const int id = ControlIdOf(QApplication::focusWidget());
  if (id > 0) CHelpService::ShowTopic(id);
}

void CChansetView::OnEnterKey() {
  if (!Commit()) return;  // refused: the current cell stays where it is
  const GridCell next = NextEnterCell({m_pGrid->GetRow(), m_pGrid->GetCol()},
                                      m_pGrid->GetRows() - 1, m_pGrid->GetCols() - 1);
  // The walk may pass through an intermediate cell (column 1 of the same
  // row); only the cell it ends on gets an editor.
  m_bWalking = true;
  m_pGrid->SetCol(next.col);
  if (next.row != m_pGrid->GetRow()) m_pGrid->SetRow(next.row);
  m_bWalking = false;
  OpenEditor();
}
