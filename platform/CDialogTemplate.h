#pragma once
// Builds a dialog (or form) from its template in the language pack: the
// host gets the template's caption, font and size, and one child widget per
// control, placed at the control's rectangle converted from dialog units
// with the dialog font's base units:
//   x px = x * averageCharWidth / 4,   y px = y * charHeight / 8.
// Every dialog of the program is built through this one helper. A static
// text on a field's row just left of it (platform/ControlLabels.h) names
// that field for screen readers.
#include <QFont>
#include <QHash>
#include <QVector>
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/CLanguagePack.h"
#include "platform/ControlLabels.h"

class QDialog;

class CDialogTemplate {
 public:
  // Creates the widget for a control kind the helper does not know (the
  // grid, for example) or overrides a known one; returns nullptr to let the
  // helper create its default for the kind.
  using Factory = std::function<QWidget*(const DialogControl& control, QWidget* parent)>;

  // Takes template `templateId` from the language pack. False (and nothing
  // built) when the pack has no such template.
  bool Create(QWidget* host, int templateId, const Factory& factory = {});
  bool Create(QWidget* host, const DialogTemplate& templ, const Factory& factory = {});

  // The control with this id, or nullptr.
  QWidget* Control(int id) const { return m_byId.value(id, nullptr); }
  template <class T>
  T* Control(int id) const {
    return qobject_cast<T*>(Control(id));
  }
  // The template's OK (id 1) and Cancel (id 2) buttons, where it has them,
  // accept and reject `dialog`.
  void ConnectOkCancel(QDialog* dialog) const;
  // All controls in template order (those without id included).
  const QVector<QWidget*>& Controls() const { return m_controls; }
  const DialogTemplate& Template() const { return m_template; }

  QFont Font() const { return m_font; }
  // Average character width and character height of the dialog font.
  QSize BaseUnits() const { return m_baseUnits; }
  QRect MapDialogRect(const QRect& dialogUnits) const;
  // The template's size in pixels.
  QSize PixelSize() const { return MapDialogRect(QRect(QPoint(), m_template.size)).size(); }

  // Sets a control's text. A static text without "noprefix" treats "&" as an
  // access-key mark (the letter after it is underlined, "&&" shows "&").
  void SetText(int id, const QString& text);
  static void SetStaticText(QWidget* label, const QString& text, bool prefix);

  // The control id a widget was created with (-1 when it is not a control).
  static int ControlId(const QWidget* widget);
  static QFont DialogFont(const DialogTemplate& templ);
  static QSize BaseUnitsOf(const QFont& font);
  // A static text as shown, without its access-key marks.
  static QString PlainText(const QString& text);

 private:
  void BindLabels(const std::vector<chanset::LabelBox>& boxes, const QStringList& texts);
  QWidget* CreateControl(const DialogControl& control, QWidget* host, const Factory& factory);

  DialogTemplate m_template;
  QFont m_font;
  QSize m_baseUnits;
  QVector<QWidget*> m_controls;
  QHash<int, QWidget*> m_byId;
};
