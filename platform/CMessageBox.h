#pragma once
// The program's standard message box. Its caption is the application name:
// "Chanset" (string 57344) until start-up sets the "Company" text. A box
// with OK or OK/Cancel and no icon named shows the exclamation icon; a
// Retry/Cancel box with no icon named shows none.
//
// Tests install a responder: every box is then handed to it instead of
// being shown, and its answer is returned as the user's choice.
#include <QString>
#include <functional>

class QWidget;

class CMessageBox {
 public:
  enum Buttons { Ok, OkCancel, RetryCancel, YesNo, YesNoCancel, SaveDiscardCancel };
  // Default: the rule above. NoIcon: explicitly none.
  enum Icon { Default, NoIcon, Exclamation, Information, Question, Stop };
  // Answers, numbered like the classic message-box results.
  enum Result { IdOk = 1, IdCancel = 2, IdRetry = 4, IdYes = 6, IdNo = 7 };
  static constexpr int IdSave = IdYes;
  static constexpr int IdDiscard = IdNo;

  struct Request {
    QString caption;
    QString text;
    Buttons buttons = Ok;
    Icon icon = Default;  // the icon actually shown (Default resolved)
  };
  using Responder = std::function<int(const Request&)>;

  // Shows a modal box and returns the chosen Result. An empty caption means
  // the application caption.
  static int Show(QWidget* parent, const QString& text, Buttons buttons = Ok, Icon icon = Default,
                  const QString& caption = QString());

  static QString Caption();
  static void SetCaption(const QString& caption);
  // Back to "Chanset" (string 57344 of the pack when one is loaded).
  static void ResetCaption();

  // Process-wide test hook; pass {} to show real boxes again.
  static void SetResponder(Responder responder);

  static Icon ResolveIcon(Buttons buttons, Icon icon);
};
