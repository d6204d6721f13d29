#include "platform/CMessageBox.h"

#include <QMessageBox>
#include <QPushButton>
#include <optional>

#include "platform/CLanguagePack.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"

namespace {
std::optional<QString>& CaptionOverride() {
  static std::optional<QString> caption;
  return caption;
}

CMessageBox::Responder& TheResponder() {
  static CMessageBox::Responder responder;
  return responder;
}

// Button texts come from the pack; before a pack is loaded (the failure to
// load one is itself reported in a box) the built-in texts of the language.
QString ButtonText(int id, const char* english, const char* chinese) {
  QString text = CLanguagePack::String(id);
  if (!text.isEmpty()) return text;
  return chanset::g_bChinese ? QString::fromUtf8(chinese) : QString::fromUtf8(english);
}

QMessageBox::Icon ToQtIcon(CMessageBox::Icon icon) {
  switch (icon) {
    case CMessageBox::Exclamation: return QMessageBox::Warning;
    case CMessageBox::Information: return QMessageBox::Information;
    case CMessageBox::Question: return QMessageBox::Question;
    case CMessageBox::Stop: return QMessageBox::Critical;
    default: return QMessageBox::NoIcon;
  }
}
}  // namespace

QString CMessageBox::Caption() {
  if (CaptionOverride()) return *CaptionOverride();
  QString title = CLanguagePack::String(ids::kAppTitle);
  return title.isEmpty() ? QStringLiteral("Chanset") : title;
}

void CMessageBox::SetCaption(const QString& caption) { CaptionOverride() = caption; }

void CMessageBox::ResetCaption() { CaptionOverride().reset(); }

void CMessageBox::SetResponder(Responder responder) { TheResponder() = std::move(responder); }

CMessageBox::Icon CMessageBox::ResolveIcon(Buttons buttons, Icon icon) {
  if (icon != Default) return icon;
  return (buttons == Ok || buttons == OkCancel) ? Exclamation : NoIcon;
}

int CMessageBox::Show(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                      const QString& caption) {
  Request request{caption.isEmpty() ? Caption() : caption, text, buttons, ResolveIcon(buttons, icon)};
  if (TheResponder()) return TheResponder()(request);

  QMessageBox box(parent);
  box.setWindowTitle(request.caption);
  box.setText(request.text);
  box.setIcon(ToQtIcon(request.icon));
  struct Choice {
    int result;
    QMessageBox::ButtonRole role;
    QString text;
  };
  QList<Choice> choices;
  const Choice ok{IdOk, QMessageBox::AcceptRole, ButtonText(ids::kButtonOk, "OK", "确定")};
  const Choice cancel{IdCancel, QMessageBox::RejectRole, ButtonText(ids::kButtonCancel, "Cancel", "取消")};
  switch (buttons) {
    case Ok: choices = {ok}; break;
    case OkCancel: choices = {ok, cancel}; break;
    case RetryCancel:
      choices = {{IdRetry, QMessageBox::AcceptRole, ButtonText(ids::kButtonRetry, "&Retry", "重试(&R)")}, cancel};
      break;
    case YesNo:
      choices = {{IdYes, QMessageBox::YesRole, ButtonText(ids::kButtonYes, "&Yes", "是(&Y)")},
                 {IdNo, QMessageBox::NoRole, ButtonText(ids::kButtonNo, "&No", "否(&N)")}};
      break;
    case YesNoCancel:
      choices = {{IdYes, QMessageBox::YesRole, ButtonText(ids::kButtonYes, "&Yes", "是(&Y)")},
                 {IdNo, QMessageBox::NoRole, ButtonText(ids::kButtonNo, "&No", "否(&N)")},
                 cancel};
      break;
    case SaveDiscardCancel:
      choices = {{IdSave, QMessageBox::AcceptRole, ButtonText(ids::kButtonSave, "&Save", "保存(&S)")},
                 {IdDiscard, QMessageBox::DestructiveRole,
                  ButtonText(ids::kButtonDiscard, "&Don't Save", "不保存(&N)")},
                 cancel};
      break;
  }
  QList<QPair<QAbstractButton*, int>> made;
  for (const Choice& c : choices) made << qMakePair(box.addButton(c.text, c.role), c.result);
  box.setDefaultButton(qobject_cast<QPushButton*>(made.first().first));
  if (choices.size() > 1) box.setEscapeButton(made.last().first);
  else box.setEscapeButton(made.first().first);
  box.exec();
  for (const auto& m : made)
    if (box.clickedButton() == m.first) return m.second;
  return buttons == YesNo ? IdNo : choices.size() > 1 ? IdCancel : IdOk;
}
