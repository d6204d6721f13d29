#include "platform/CDialogTemplate.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtMath>

#include "platform/ControlLabels.h"

namespace {
const char* const kIdProperty = "chansetControlId";
const char* const kPrefixProperty = "chansetPrefix";

Qt::Alignment StaticAlignment(const DialogControl& c) {
  Qt::Alignment h = Qt::AlignLeft;
  if (c.Has(QStringLiteral("center"))) h = Qt::AlignHCenter;
  if (c.Has(QStringLiteral("right"))) h = Qt::AlignRight;
  return h | (c.Has(QStringLiteral("vcenter")) ? Qt::AlignVCenter : Qt::AlignTop);
}
}  // namespace

QFont CDialogTemplate::DialogFont(const DialogTemplate& templ) {
  QFont font(templ.fontFace);
  font.setPointSize(templ.fontPointSize > 0 ? templ.fontPointSize : 9);
  return font;
}

QSize CDialogTemplate::BaseUnitsOf(const QFont& font) {
  // The average width is measured over the 52 Latin letters and rounded the
  // way dialog managers do it.
  QFontMetrics fm(font);
  int extent = fm.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return QSize((extent / 26 + 1) / 2, fm.height());
}

QRect CDialogTemplate::MapDialogRect(const QRect& r) const {
  auto mx = [&](int v) { return qRound(v * m_baseUnits.width() / 4.0); };
  auto my = [&](int v) { return qRound(v * m_baseUnits.height() / 8.0); };
  return QRect(mx(r.x()), my(r.y()), mx(r.width()), my(r.height()));
}

int CDialogTemplate::ControlId(const QWidget* widget) {
  if (!widget) return -1;
  QVariant v = widget->property(kIdProperty);
  return v.isValid() ? v.toInt() : -1;
}

void CDialogTemplate::ConnectOkCancel(QDialog* dialog) const {
  if (auto* ok = Control<QAbstractButton>(1)) QObject::connect(ok, &QAbstractButton::clicked, dialog, &QDialog::accept);
  if (auto* cancel = Control<QAbstractButton>(2))
    QObject::connect(cancel, &QAbstractButton::clicked, dialog, &QDialog::reject);
}

void CDialogTemplate::SetStaticText(QWidget* widget, const QString& text, bool prefix) {
  auto* label = qobject_cast<QLabel*>(widget);
  if (!label) return;
  if (!prefix || !text.contains(QLatin1Char('&'))) {
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return;
  }
  QString html;
  for (int i = 0; i < text.size(); ++i) {
    QChar ch = text[i];
    if (ch == QLatin1Char('&') && i + 1 < text.size()) {
      QChar next = text[++i];
      QString escaped = QString(next).toHtmlEscaped();
      html += next == QLatin1Char('&') ? escaped : QStringLiteral("<u>") + escaped + QStringLiteral("</u>");
    } else if (ch != QLatin1Char('&')) {
      html += QString(ch).toHtmlEscaped();
    }
  }
  label->setTextFormat(Qt::RichText);
  label->setText(html);
}

void CDialogTemplate::SetText(int id, const QString& text) {
  QWidget* w = Control(id);
  if (!w) return;
  if (auto* label = qobject_cast<QLabel*>(w))
    SetStaticText(label, text, label->property(kPrefixProperty).toBool());
  else if (auto* button = qobject_cast<QAbstractButton*>(w))
    button->setText(text);
  else if (auto* group = qobject_cast<QGroupBox*>(w))
    group->setTitle(text);
  else if (auto* edit = qobject_cast<QLineEdit*>(w))
    edit->setText(text);
  else
    w->setWindowTitle(text);
}

bool CDialogTemplate::Create(QWidget* host, int templateId, const Factory& factory) {
  DialogTemplate templ = CLanguagePack::Dialog(templateId);
  if (templ.isNull()) return false;
  return Create(host, templ, factory);
}

bool CDialogTemplate::Create(QWidget* host, const DialogTemplate& templ, const Factory& factory) {
  if (!host || templ.isNull()) return false;
  m_template = templ;
  m_font = DialogFont(templ);
  m_baseUnits = BaseUnitsOf(m_font);
  m_controls.clear();
  m_byId.clear();

  host->setFont(m_font);
  host->setWindowTitle(templ.caption);
  if (templ.style.contains(QStringLiteral("child")))
    host->resize(PixelSize());
  else
    host->setFixedSize(PixelSize());

  QVector<QWidget*> groups;
  std::vector<chanset::LabelBox> boxes;
  QStringList texts;
  for (const DialogControl& c : templ.controls) {
    QWidget* w = CreateControl(c, host, factory);
    if (!w) continue;
    chanset::LabelBox box;
    box.x = c.rect.x();
    box.y = c.rect.y();
    box.width = c.rect.width();
    box.height = c.rect.height();
    box.label = qobject_cast<QLabel*>(w) && c.kind == QLatin1String("static") && !c.text.isEmpty();
    box.field = qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w);
    boxes.push_back(box);
    texts << c.text;
    w->setProperty(kIdProperty, c.id);
    if (c.id != -1) {
      w->setObjectName(QStringLiteral("control%1").arg(c.id));
      m_byId.insert(c.id, w);
    }
    if (c.Has(QStringLiteral("disabled"))) w->setEnabled(false);
    if (c.Has(QStringLiteral("hidden"))) w->hide();
    if (qobject_cast<QGroupBox*>(w)) groups << w;
    m_controls << w;
  }
  // Group boxes only frame the controls drawn over them.
  for (QWidget* g : groups) g->lower();
  BindLabels(boxes, texts);
  return true;
}

// Each field takes the text of the label beside it as its name, and the
// label names it for screen readers (the labelled-by relation), in the
// pack's language; the label shows as before.
void CDialogTemplate::BindLabels(const std::vector<chanset::LabelBox>& boxes, const QStringList& texts) {
  const std::vector<int> labels = chanset::LabelsOfFields(boxes);
  for (std::size_t i = 0; i < labels.size() && i < static_cast<std::size_t>(m_controls.size()); ++i) {
    if (labels[i] < 0) continue;
    auto* label = qobject_cast<QLabel*>(m_controls[labels[i]]);
    QWidget* field = m_controls[static_cast<int>(i)];
    if (!label) continue;
    label->setBuddy(field);
    field->setAccessibleName(PlainText(texts.value(labels[i])));
  }
}

QString CDialogTemplate::PlainText(const QString& text) {
  QString plain;
  for (int i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
    plain += text[i];
  }
  return plain;
}

QWidget* CDialogTemplate::CreateControl(const DialogControl& c, QWidget* host, const Factory& factory) {
  QRect rect = MapDialogRect(c.rect);
  QWidget* w = factory ? factory(c, host) : nullptr;
  if (w) {
    w->setParent(host);
    w->setGeometry(rect);
    return w;
  }
  const QString& kind = c.kind;
  if (kind == QLatin1String("pushbutton")) {
    auto* b = new QPushButton(c.text, host);
    if (c.Has(QStringLiteral("default"))) b->setDefault(true);
    w = b;
  } else if (kind == QLatin1String("radiobutton")) {
    w = new QRadioButton(c.text, host);
  } else if (kind == QLatin1String("groupbox")) {
    w = new QGroupBox(c.text, host);
  } else if (kind == QLatin1String("static")) {
    auto* label = new QLabel(host);
    bool prefix = !c.Has(QStringLiteral("noprefix"));
    label->setProperty(kPrefixProperty, prefix);
    label->setAlignment(StaticAlignment(c));
    label->setWordWrap(!c.Has(QStringLiteral("vcenter")));
    if (c.Has(QStringLiteral("sunken"))) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    SetStaticText(label, c.text, prefix);
    w = label;
  } else if (kind == QLatin1String("icon")) {
    auto* label = new QLabel(host);
    QIcon icon = CLanguagePack::Icon(c.text.toInt());
    if (!icon.isNull()) label->setPixmap(icon.pixmap(32, 32));
    label->setGeometry(rect.x(), rect.y(), 32, 32);
    return label;
  } else if (kind == QLatin1String("combobox")) {
    auto* combo = new QComboBox(host);
    combo->addItems(c.items);
    // The template height includes the dropped list; the closed box keeps
    // its natural height.
    combo->setGeometry(rect.x(), rect.y(), rect.width(), combo->sizeHint().height());
    return combo;
  } else if (kind == QLatin1String("edit")) {
    auto* edit = new QLineEdit(c.text, host);
    edit->setFrame(c.Has(QStringLiteral("border")));
    w = edit;
  } else if (kind == QLatin1String("progress")) {
    auto* bar = new QProgressBar(host);
    bar->setTextVisible(false);
    w = bar;
  } else {
    // A kind without a widget of its own here (the grid): a sunken panel
    // keeps its place until a factory supplies the real control.
    auto* frame = new QFrame(host);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    w = frame;
  }
  w->setGeometry(rect);
  return w;
}
