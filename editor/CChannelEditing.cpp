#include "editor/CChannelEditing.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTableView>
#include <algorithm>
#include <vector>

#include "platform/CCommandHost.h"
#include "data/CChansetDoc.h"
#include "editor/CChansetView.h"
#include "editor/ChannelBlocks.h"
#include "editor/ChannelClipboard.h"
#include "grid/CMSFlexGrid.h"
#include "platform/CLanguagePack.h"
#include "platform/CMessageBox.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"
#include "settings/CSettingsFile.h"

using namespace chanset;

namespace {

const char* const kObjectName = "channelEditing";

std::vector<int> ToStd(const QVector<int>& channels) { return {channels.begin(), channels.end()}; }
QVector<int> FromStd(const std::vector<int>& channels) { return {channels.begin(), channels.end()}; }

QVector<int> Run(int first, int last) {
  QVector<int> run;
  for (int n = qMin(first, last); n <= qMax(first, last); ++n) run << n;
  return run;
}

}  // namespace

CChannelEditing* CChannelEditing::For(CChansetView* view) {
  if (!view) return nullptr;
  if (auto* existing = view->findChild<CChannelEditing*>(QLatin1String(kObjectName), Qt::FindDirectChildrenOnly))
    return existing;
  return new CChannelEditing(view);
}

CChannelEditing::CChannelEditing(CChansetView* view) : QObject(view), m_pView(view) {
  setObjectName(QLatin1String(kObjectName));
  CMSFlexGrid* grid = view->Grid();
  m_pTable = grid->findChild<QTableView*>();
  if (m_pTable) {
    m_pHeader = m_pTable->verticalHeader();
    // Filters installed after the grid's own run first, so a press on the
    // CH column selects instead of moving the current cell.
    m_pHeaderViewport = m_pHeader->viewport();
    m_pTableViewport = m_pTable->viewport();
    m_pHeader->viewport()->installEventFilter(this);
    m_pTable->viewport()->installEventFilter(this);
    m_pTable->installEventFilter(this);
  }
  m_pDropLine = new QWidget(grid);
  m_pDropLine->setObjectName(QStringLiteral("dropIndicator"));
  m_pDropLine->setAttribute(Qt::WA_TransparentForMouseEvents);
  m_pDropLine->setAutoFillBackground(true);
  QPalette palette = m_pDropLine->palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::Highlight).darker(130));
  m_pDropLine->setPalette(palette);
  m_pDropLine->hide();

  // A cell that becomes current, or a click on one, ends the row selection.
  connect(grid, &CMSFlexGrid::EnterCell, this, [this] { Select({}); });
  connect(grid, &CMSFlexGrid::MouseDown, this, [this](short button, short, int, int) {
    if (button == 1) Select({});
  });
  if (CChansetDoc* doc = view->GetDocument())
    connect(doc, &CChansetDoc::historyChanged, this, &CChannelEditing::UpdateInterface);
}

CChansetDoc* CChannelEditing::Doc() const { return m_pView->GetDocument(); }

// Commands act on a built grid of the active document, whether its channel
// window is shown or hidden by its close box (as Save, Print, Read and Write
// act on it), and never while a radio transfer has the view disabled.
bool CChannelEditing::Ready() const {
  return Doc() && m_pView->isEnabled() && m_pView->Grid()->GetRows() > 1;
}

void CChannelEditing::UpdateInterface() {
  if (CCommandHost* host = CCommandHost::Of(m_pView)) host->UpdateCommandUI();
}

// Selection ----------------------------------------------------------------------

void CChannelEditing::Select(const QVector<int>& channels) {
  QVector<int> sorted;
  for (int n : channels)
    if (n >= 1 && n <= kChannelCount && !sorted.contains(n)) sorted << n;
  std::sort(sorted.begin(), sorted.end());
  if (sorted == m_selection) return;
  m_selection = sorted;
  m_pView->Grid()->SetMarkedRows(m_selection);  // grid row n is channel n
  emit selectionChanged();
  UpdateInterface();
}

QVector<int> CChannelEditing::Targets() const {
  if (!m_selection.isEmpty()) return m_selection;
  const int row = m_pView->Grid()->GetRow();
  return row >= 1 && row <= kChannelCount ? QVector<int>{row} : QVector<int>{};
}

// State ---------------------------------------------------------------------------

Image CChannelEditing::CommittedState() {
  m_pView->CommitEditor();
  return Doc() ? Doc()->State() : Image{};
}

RowRules CChannelEditing::Rules() const {
  RowRules rules;
  rules.limits = m_pView->Limits();
  if (Doc()) rules.bandText = BandText(g_settingsFile(), Doc()->Image());
  rules.chinese = g_bChinese;
  return rules;
}

// A command that changes channels of a document whose window is hidden
// shows that window first, as a radio read does when it ends: no key and
// no menu item changes a channel out of the user's sight.
void CChannelEditing::RevealWindow() {
  QWidget* frame = m_pView->Frame();
  if (!frame || !frame->isHidden()) return;
  if (CCommandHost* host = CCommandHost::Of(m_pView)) host->OnCommand(ids::kChannelInfo);
}

bool CChannelEditing::ApplyState(EditKind kind, const Image& after) {
  if (!Doc()) return false;
  RevealWindow();
  const bool changed = Doc()->ReplaceState(kind, after);
  m_pView->Grid()->setFocus(Qt::OtherFocusReason);
  return changed;
}

template <class Change>
bool CChannelEditing::ChangeChannels(EditKind kind, Change change) {
  if (!Ready()) return false;
  Image state = CommittedState();
  if (!change(state)) return false;
  // A change that leaves the bytes as they were (two empty channels
  // swapped) still happened: the caller moves the selection; the history
  // takes no step.
  ApplyState(kind, state);
  return true;
}

void CChannelEditing::ShowMessage(const QString& text) {
  CMessageBox::Show(m_pView, text, CMessageBox::Ok, CMessageBox::Exclamation);
}

// Commands ------------------------------------------------------------------------

bool CChannelEditing::CanChangeTargets() const { return Ready() && !Targets().isEmpty(); }
bool CChannelEditing::CanUndo() const { return Ready() && Doc()->History().CanUndo(); }
bool CChannelEditing::CanRedo() const { return Ready() && Doc()->History().CanRedo(); }
EditKind CChannelEditing::UndoKind() const { return Doc() ? Doc()->History().UndoKind() : EditKind::Move; }
EditKind CChannelEditing::RedoKind() const { return Doc() ? Doc()->History().RedoKind() : EditKind::Move; }

bool CChannelEditing::CanPaste() const {
  if (!Ready() || Targets().isEmpty()) return false;
  const QMimeData* mime = QApplication::clipboard()->mimeData();
  // Asked at every refresh of the menus: the text itself is read only when
  // pasting (it may be megabytes).
  return mime && (mime->hasFormat(QLatin1String(kChannelMimeType)) || mime->hasText());
}

bool CChannelEditing::CanMoveUp() const {
  const QVector<int> targets = Targets();
  return Ready() && !targets.isEmpty() && targets.first() > 1;
}

bool CChannelEditing::CanMoveDown() const {
  const QVector<int> targets = Targets();
  return Ready() && !targets.isEmpty() && targets.last() < kChannelCount;
}

void CChannelEditing::Undo() {
  if (!Ready()) return;
  RevealWindow();
  // Typing still in an editor is committed first, so Undo takes it back.
  m_pView->CommitEditor();
  if (Doc()->Undo()) Select({});
  m_pView->Grid()->setFocus(Qt::OtherFocusReason);
}

void CChannelEditing::Redo() {
  if (!Ready()) return;
  RevealWindow();
  m_pView->CommitEditor();
  if (Doc()->Redo()) Select({});
  m_pView->Grid()->setFocus(Qt::OtherFocusReason);
}

void CChannelEditing::Copy() {
  const QVector<int> targets = Targets();
  if (!Ready() || targets.isEmpty()) return;
  const Image state = CommittedState();
  const std::vector<int> channels = ToStd(targets);
  auto* mime = new QMimeData;
  mime->setText(QString::fromStdString(ChannelsAsText(state, channels, g_bChinese)));
  mime->setData(QLatin1String(kChannelMimeType), QByteArray::fromStdString(ChannelsAsBytes(state, channels)));
  QApplication::clipboard()->setMimeData(mime);
  UpdateInterface();
}

void CChannelEditing::Cut() {
  const QVector<int> targets = Targets();
  if (!Ready() || targets.isEmpty()) return;
  Copy();
  ChangeChannels(EditKind::Cut, [&](Image& state) { return ClearChannels(state, ToStd(targets)); });
}

void CChannelEditing::Delete() {
  const QVector<int> targets = Targets();
  ChangeChannels(EditKind::Delete, [&](Image& state) { return ClearChannels(state, ToStd(targets)); });
}

void CChannelEditing::Paste() {
  if (!Ready() || Targets().isEmpty()) return;
  const int first = Targets().first();
  const Image state = CommittedState();
  const QMimeData* mime = QApplication::clipboard()->mimeData();
  PastePlan plan;
  std::vector<ChannelRecord> records;
  if (mime && mime->hasFormat(QLatin1String(kChannelMimeType)) &&
      ParseChannelBytes(mime->data(QLatin1String(kChannelMimeType)).toStdString(), records)) {
    plan = PlanBytePaste(records, first, Rules());
  } else if (mime && !mime->text().trimmed().isEmpty()) {
    plan = PlanTextPaste(mime->text().toStdString(), first, Rules());
  } else {
    ShowMessage(CLanguagePack::String(ids::kClipboardNoChannels));
    return;
  }
  if (!plan.Accepted()) {
    // At most kListLines refusals, each cell cut short: the box fits a
    // 1024x768 screen however much was pasted.
    QStringList lines{CLanguagePack::String(ids::kPasteRefused)};
    for (const std::string& line : PasteListLines(plan, g_bChinese)) lines << QString::fromStdString(line);
    ShowMessage(lines.join(QLatin1Char('\n')));
    return;
  }
  Image after = state;
  if (!ApplyPaste(plan, after)) return;
  ApplyState(EditKind::Paste, after);
  Select(Run(first, first + plan.Count() - 1));
}

void CChannelEditing::MoveBy(bool up) {
  std::vector<int> channels = ToStd(Targets());
  const bool moved = ChangeChannels(EditKind::Move, [&](Image& state) {
    return up ? MoveChannelsUp(state, channels) : MoveChannelsDown(state, channels);
  });
  if (moved) Select(FromStd(channels));
}

void CChannelEditing::MoveUp() { MoveBy(true); }
void CChannelEditing::MoveDown() { MoveBy(false); }

bool CChannelEditing::MoveTo(int target) {
  std::vector<int> channels = ToStd(Targets());
  const bool moved = ChangeChannels(
      EditKind::Move, [&](Image& state) { return MoveChannelsTo(state, channels, target); });
  if (moved) Select(FromStd(channels));
  return moved;
}

// Context menu --------------------------------------------------------------------

QWidget* CChannelEditing::ShowContextMenu(const QPoint& globalPos) {
  CCommandHost* host = CCommandHost::Of(m_pView);
  if (!host) return nullptr;
  QMenu* menu = host->CreateContextMenu({ids::kEditUndo, ids::kEditRedo, 0, ids::kEditCut, ids::kEditCopy,
                                         ids::kEditPaste, ids::kEditDelete, 0, ids::kEditMoveUp,
                                         ids::kEditMoveDown},
                                        m_pView);
  menu->setObjectName(QStringLiteral("channelContextMenu"));
  menu->setAttribute(Qt::WA_DeleteOnClose);
  host->UpdateCommandUI();
  menu->popup(globalPos);
  return menu;
}

// Mouse -----------------------------------------------------------------------------

int CChannelEditing::ChannelAtHeaderY(int y) const {
  const int section = m_pHeader->logicalIndexAt(y);
  return section < 0 ? 0 : section + m_pView->Grid()->GetFixedRows();
}

// The channel the dragged block lands before: the boundary between rows
// nearest the pointer (17 below the last row).
int CChannelEditing::DropTargetAtHeaderY(int y) const {
  const int fixed = m_pView->Grid()->GetFixedRows();
  const int count = m_pHeader->count();
  if (count == 0) return 0;
  if (y < m_pHeader->sectionViewportPosition(0)) return fixed;
  const int section = m_pHeader->logicalIndexAt(y);
  if (section < 0) return count + fixed;
  const int top = m_pHeader->sectionViewportPosition(section);
  const bool lowerHalf = y >= top + m_pHeader->sectionSize(section) / 2;
  return section + fixed + (lowerHalf ? 1 : 0);
}

void CChannelEditing::ShowDropLine(int target) {
  const int fixed = m_pView->Grid()->GetFixedRows();
  const int count = m_pHeader->count();
  if (target < fixed || count == 0) {
    m_pDropLine->hide();
    return;
  }
  const int section = qMin(target - fixed, count - 1);
  int y = m_pHeader->sectionViewportPosition(section);
  if (target - fixed >= count) y += m_pHeader->sectionSize(section);
  const QPoint at = m_pHeader->viewport()->mapTo(m_pView->Grid(), QPoint(0, y));
  m_pDropLine->setGeometry(0, at.y() - 1, m_pView->Grid()->width(), 3);
  m_pDropLine->raise();
  m_pDropLine->show();
}

// Before a command on a row picked with the mouse: the open editor is
// committed as leaving its cell would, and the grid takes the keyboard so
// that the editing keys reach the commands.
void CChannelEditing::PrepareForRowCommand(int channel) {
  m_pView->CommitEditor();
  m_pView->Grid()->setFocus(Qt::MouseFocusReason);
  if (channel > 0 && !m_selection.contains(channel)) {
    Select({channel});
    m_anchor = channel;
  }
}

bool CChannelEditing::OnHeaderMouse(QEvent* event) {
  auto* me = static_cast<QMouseEvent*>(event);
  const int y = me->position().toPoint().y();
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      const int channel = ChannelAtHeaderY(y);
      if (channel <= 0 || !Ready()) return true;
      if (me->button() == Qt::RightButton) {
        PrepareForRowCommand(channel);
        return true;
      }
      if (me->button() != Qt::LeftButton) return true;
      m_pView->CommitEditor();
      m_pView->Grid()->setFocus(Qt::MouseFocusReason);
      const Qt::KeyboardModifiers mods = me->modifiers();
      m_pressPos = me->position().toPoint();
      m_pressChannel = 0;
      m_pressOnSelected = false;
      if (mods & Qt::ControlModifier) {
        QVector<int> selection = m_selection;
        if (selection.contains(channel))
          selection.removeAll(channel);
        else
          selection << channel;
        Select(selection);
        m_anchor = channel;
      } else if (mods & Qt::ShiftModifier) {
        Select(Run(m_anchor > 0 ? m_anchor : channel, channel));
      } else {
        m_pressChannel = channel;
        m_pressOnSelected = m_selection.contains(channel);
        if (!m_pressOnSelected) {
          Select({channel});
          m_anchor = channel;
        }
      }
      return true;
    }
    case QEvent::MouseMove: {
      if (!(me->buttons() & Qt::LeftButton) || m_pressChannel == 0) return true;
      if (m_pressOnSelected) {
        if (!m_dragging &&
            (me->position().toPoint() - m_pressPos).manhattanLength() < QApplication::startDragDistance())
          return true;
        m_dragging = true;
        m_pHeader->viewport()->setCursor(Qt::DragMoveCursor);
        ShowDropLine(DropTargetAtHeaderY(y));
      } else {
        // Dragging from an unselected channel selects the run dragged over.
        const int channel = ChannelAtHeaderY(y);
        if (channel > 0) Select(Run(m_anchor, channel));
      }
      return true;
    }
    case QEvent::MouseButtonRelease: {
      if (me->button() != Qt::LeftButton) return true;
      const bool dragged = m_dragging;
      const int pressed = m_pressOnSelected ? m_pressChannel : 0;
      m_dragging = false;
      m_pressChannel = 0;
      m_pressOnSelected = false;
      m_pDropLine->hide();
      m_pHeader->viewport()->unsetCursor();
      if (dragged)
        MoveTo(DropTargetAtHeaderY(y));
      else if (pressed > 0) {
        // A click on a selected channel selects it alone.
        Select({pressed});
        m_anchor = pressed;
      }
      return true;
    }
    default:
      return false;
  }
}

bool CChannelEditing::OnCellsRightPress(QEvent* event) {
  auto* me = static_cast<QMouseEvent*>(event);
  if (me->button() != Qt::RightButton || !Ready()) return false;
  const int row = m_pTable->rowAt(me->position().toPoint().y());
  if (row < 0) return false;
  PrepareForRowCommand(row + m_pView->Grid()->GetFixedRows());
  return true;
}

bool CChannelEditing::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (m_pHeaderViewport && watched == m_pHeaderViewport) {
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove ||
        type == QEvent::MouseButtonRelease)
      return OnHeaderMouse(event);
  } else if (m_pTableViewport && watched == m_pTableViewport) {
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) && OnCellsRightPress(event))
      return true;
  }
  if (type == QEvent::ContextMenu && Ready()) {
    ShowContextMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
    return true;
  }
  return QObject::eventFilter(watched, event);
}
