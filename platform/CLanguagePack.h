#pragma once
// The language pack: every user-interface resource of the run (string table,
// menus, accelerators, toolbar, dialog templates, icons, cursor, bitmaps)
// comes from <Language>.rcc beside the executable, built from the folder
// resources/lang/<Language>/. Inside the pack:
//
//   strings.json        { "57344": "Chanset", ... }       string table by id
//   menus.json          { "128": [popup, ...], ... }      popup = {"text", "items": [...]}
//                                                          item  = {"text", "id"} | {"separator": true}
//   accelerators.json   { "128": [["Ctrl+N", 57600], ...] }
//   toolbars.json       { "128": {"image": "bitmaps/toolbar128.bmp", "button": [18, 19],
//                                 "buttons": [57600, 57601, 0, ...]} }   0 = separator
//                       the strip's magenta pixels are transparent
//   dialogs/<id>.json   one dialog template (see DialogTemplate below)
//   icons/<id>.ico, cursors/<id>.cur (hot spot from the file), bitmaps/<id>.bmp
//   pack.json           { "qtLocale": "zh_CN" }   the locale of Qt's own texts
//
// A language is added by adding a folder; nothing here names a language.
#include <string>
#include <vector>
#include <QCursor>
#include <QIcon>
#include <QKeySequence>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>

// One control of a dialog template. Rectangles are in dialog units.
struct DialogControl {
  int id = -1;           // -1: a control without id (labels, group boxes)
  QString kind;          // pushbutton, groupbox, radiobutton, static, combobox, edit,
                         // progress, icon, grid
  QString text;          // caption; for "icon" the icon id
  QRect rect;            // x, y, width, height in dialog units
  QStringList style;     // default, group, left, center, right, vcenter, sunken, noprefix,
                         // border, autohscroll, hidden, disabled, vscroll, notabstop
  QStringList items;     // initial items of a list
  bool Has(const QString& flag) const { return style.contains(flag); }
};

struct DialogTemplate {
  int id = 0;
  QString caption;
  QSize size;            // dialog units
  QString fontFace = QStringLiteral("Times New Roman");
  int fontPointSize = 9;
  QStringList style;     // child, caption, sysmenu, modalframe
  QVector<DialogControl> controls;
  bool isNull() const { return id == 0; }
  const DialogControl* Find(int controlId) const;
};

struct MenuItem {
  QString text;          // "&" marks the access key, "\t" separates the shortcut shown
  int id = 0;
  bool separator = false;
  QVector<MenuItem> items;  // non-empty for a popup
  bool IsPopup() const { return !items.isEmpty(); }
};

struct MenuTemplate {
  int id = 0;
  QVector<MenuItem> popups;
  bool isNull() const { return id == 0; }
};

struct Accelerator {
  QKeySequence key;
  int id = 0;
};

struct ToolbarTemplate {
  int id = 0;
  QSize buttonSize;      // image size of one button
  QVector<int> buttons;  // command ids, 0 for a separator
  QPixmap image;         // the button images side by side, in button order
  bool isNull() const { return id == 0; }
  // Image of the n-th button (separators not counted).
  QPixmap ButtonImage(int n) const;
};

class CLanguagePack {
 public:
  // Registers ApplicationDirectory() + language + ".rcc". False when the
  // file is missing or is not a resource bundle; the previous pack (if any)
  // is released first either way.
  static bool Load(const QString& language);
  static bool LoadFile(const QString& rccPath);
  // Unregisters the pack. Everything handed out stays valid: images are
  // copied out of the bundle when they are first asked for.
  static void Release();
  static bool IsLoaded();
  static QString FilePath();

  // String table entry; empty when absent.
  static QString String(int id);
  // String `id` with its %1, %2, ... replaced by `args` in one pass (an
  // argument's own "%2" stays as it is).
  static QString String(int id, const std::vector<std::string>& args);
  static bool HasString(int id);
  // A command prompt "status text\ntooltip" split into its two parts.
  static QString StatusPrompt(int id);
  static QString TooltipPrompt(int id);

  static DialogTemplate Dialog(int id);
  static MenuTemplate Menu(int id);
  static QVector<Accelerator> Accelerators(int id);
  static ToolbarTemplate Toolbar(int id);
  static QIcon Icon(int id);
  static QPixmap Bitmap(int id);
  // Cursor with the hot spot stored in the .cur file; the arrow when absent.
  static QCursor Cursor(int id);
  static bool HasCursor(int id);

  // The locale of Qt's own dialogs and buttons that the pack names ("zh_CN");
  // empty when it names none.
  static QString QtLocale();

  // Raw bytes of a file in the pack ("" when absent).
  static QByteArray File(const QString& relativePath);
};
