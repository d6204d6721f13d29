#include "platform/CLanguagePack.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QResource>

#include "platform/AppDir.h"
#include "platform/PackStrings.h"

namespace {

// The pack is mounted under its own root so that it never collides with
// resources compiled into the program.
const QString kMountRoot = QStringLiteral("/chanset-lang");

// A JSON file of the pack, read once on first use.
struct CachedObject {
  bool parsed = false;
  QJsonObject object;
};

struct PackState {
  QString path;  // the registered .rcc; empty when none
  bool stringsParsed = false;
  QHash<int, QString> strings;
  CachedObject menus, accelerators, toolbars;
  QHash<int, QIcon> icons;
  QHash<int, QPixmap> bitmaps;
  QHash<int, QCursor> cursors;
};

PackState& State() {
  static PackState state;
  return state;
}

QJsonDocument ReadJson(const QString& relativePath) {
  return QJsonDocument::fromJson(CLanguagePack::File(relativePath));
}

QJsonObject ReadObject(const QString& relativePath) { return ReadJson(relativePath).object(); }

// The file's object, read on the first call once a pack is loaded.
const QJsonObject& Cached(CachedObject& cache, const QString& relativePath) {
  if (!cache.parsed && CLanguagePack::IsLoaded()) {
    cache.parsed = true;
    cache.object = ReadObject(relativePath);
  }
  return cache.object;
}

QStringList ToStringList(const QJsonValue& value) {
  QStringList list;
  for (const QJsonValue& v : value.toArray()) list << v.toString();
  return list;
}

QRect ToRect(const QJsonValue& value) {
  QJsonArray a = value.toArray();
  if (a.size() != 4) return {};
  return QRect(a[0].toInt(), a[1].toInt(), a[2].toInt(), a[3].toInt());
}

MenuItem ToMenuItem(const QJsonObject& o) {
  MenuItem item;
  item.separator = o.value(QStringLiteral("separator")).toBool();
  item.text = o.value(QStringLiteral("text")).toString();
  item.id = o.value(QStringLiteral("id")).toInt();
  for (const QJsonValue& v : o.value(QStringLiteral("items")).toArray())
    item.items << ToMenuItem(v.toObject());
  return item;
}

// Reads every image of an .ico (or .cur) file.
QList<QImage> ReadIconImages(const QByteArray& bytes) {
  QList<QImage> images;
  QByteArray data = bytes;
  // The icon reader expects type 1; a cursor file (type 2) has the same
  // layout apart from the hot spot fields.
  if (data.size() >= 6 && data[2] == 2) data[2] = 1;
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "ico");
  do {
    QImage image = reader.read();
    if (!image.isNull()) images << image;
  } while (reader.jumpToNextImage());
  return images;
}

}  // namespace

const DialogControl* DialogTemplate::Find(int controlId) const {
  for (const DialogControl& c : controls)
    if (c.id == controlId) return &c;
  return nullptr;
}

QPixmap ToolbarTemplate::ButtonImage(int n) const {
  if (image.isNull() || buttonSize.isEmpty() || n < 0) return {};
  QRect rect(n * buttonSize.width(), 0, buttonSize.width(), buttonSize.height());
  if (rect.right() >= image.width()) return {};
  return image.copy(rect);
}

bool CLanguagePack::Load(const QString& language) {
  return LoadFile(QString::fromStdString(chanset::ApplicationDirectory()) + language +
                  QStringLiteral(".rcc"));
}

bool CLanguagePack::LoadFile(const QString& rccPath) {
  Release();
  if (!QFileInfo(rccPath).isFile()) return false;
  if (!QResource::registerResource(rccPath, kMountRoot)) return false;
  State().path = rccPath;
  return true;
}

void CLanguagePack::Release() {
  PackState& s = State();
  if (!s.path.isEmpty()) QResource::unregisterResource(s.path, kMountRoot);
  s = PackState();
}

bool CLanguagePack::IsLoaded() { return !State().path.isEmpty(); }

QString CLanguagePack::FilePath() { return State().path; }

QByteArray CLanguagePack::File(const QString& relativePath) {
  if (!IsLoaded()) return {};
  QFile file(QStringLiteral(":") + kMountRoot + QLatin1Char('/') + relativePath);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

QString CLanguagePack::String(int id, const std::vector<std::string>& args) {
  return QString::fromStdString(chanset::FillText(String(id).toStdString(), args));
}

QString CLanguagePack::String(int id) {
  PackState& s = State();
  if (!s.stringsParsed && IsLoaded()) {
    s.stringsParsed = true;
    QJsonObject o = ReadObject(QStringLiteral("strings.json"));
    for (auto it = o.begin(); it != o.end(); ++it) {
      bool ok = false;
      int key = it.key().toInt(&ok);
      if (ok) s.strings.insert(key, it.value().toString());
    }
  }
  return s.strings.value(id);
}

bool CLanguagePack::HasString(int id) {
  String(id);
  return State().strings.contains(id);
}

QString CLanguagePack::StatusPrompt(int id) { return String(id).section(QLatin1Char('\n'), 0, 0); }

QString CLanguagePack::TooltipPrompt(int id) { return String(id).section(QLatin1Char('\n'), 1, 1); }

QString CLanguagePack::QtLocale() {
  return ReadObject(QStringLiteral("pack.json")).value(QStringLiteral("qtLocale")).toString();
}

DialogTemplate CLanguagePack::Dialog(int id) {
  DialogTemplate t;
  QJsonDocument doc = ReadJson(QStringLiteral("dialogs/%1.json").arg(id));
  if (!doc.isObject()) return t;
  QJsonObject o = doc.object();
  t.id = id;
  t.caption = o.value(QStringLiteral("caption")).toString();
  QJsonArray size = o.value(QStringLiteral("size")).toArray();
  t.size = QSize(size.at(0).toInt(), size.at(1).toInt());
  QJsonArray font = o.value(QStringLiteral("font")).toArray();
  if (font.size() == 2) {
    t.fontFace = font[0].toString();
    t.fontPointSize = font[1].toInt();
  }
  t.style = ToStringList(o.value(QStringLiteral("style")));
  for (const QJsonValue& v : o.value(QStringLiteral("controls")).toArray()) {
    QJsonObject c = v.toObject();
    DialogControl control;
    control.id = c.value(QStringLiteral("id")).toInt(-1);
    control.kind = c.value(QStringLiteral("kind")).toString();
    control.text = c.value(QStringLiteral("text")).toString();
    control.rect = ToRect(c.value(QStringLiteral("rect")));
    control.style = ToStringList(c.value(QStringLiteral("style")));
    control.items = ToStringList(c.value(QStringLiteral("items")));
    t.controls << control;
  }
  return t;
}

MenuTemplate CLanguagePack::Menu(int id) {
  const QJsonObject& menus = Cached(State().menus, QStringLiteral("menus.json"));
  MenuTemplate m;
  QJsonValue value = menus.value(QString::number(id));
  if (!value.isArray()) return m;
  m.id = id;
  for (const QJsonValue& v : value.toArray()) m.popups << ToMenuItem(v.toObject());
  return m;
}

QVector<Accelerator> CLanguagePack::Accelerators(int id) {
  const QJsonObject& accelerators = Cached(State().accelerators, QStringLiteral("accelerators.json"));
  QVector<Accelerator> list;
  for (const QJsonValue& v : accelerators.value(QString::number(id)).toArray()) {
    QJsonArray pair = v.toArray();
    if (pair.size() != 2) continue;
    list << Accelerator{QKeySequence(pair[0].toString(), QKeySequence::PortableText), pair[1].toInt()};
  }
  return list;
}

ToolbarTemplate CLanguagePack::Toolbar(int id) {
  const QJsonObject& toolbars = Cached(State().toolbars, QStringLiteral("toolbars.json"));
  ToolbarTemplate t;
  QJsonValue value = toolbars.value(QString::number(id));
  if (!value.isObject()) return t;
  QJsonObject o = value.toObject();
  t.id = id;
  QJsonArray size = o.value(QStringLiteral("button")).toArray();
  t.buttonSize = QSize(size.at(0).toInt(), size.at(1).toInt());
  for (const QJsonValue& v : o.value(QStringLiteral("buttons")).toArray()) t.buttons << v.toInt();
  QImage image = QImage::fromData(File(o.value(QStringLiteral("image")).toString()));
  if (!image.isNull()) {
    // Magenta is the colour key of the button strip.
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x)
        if ((line[x] & 0xFFFFFF) == 0xFF00FF) line[x] = 0;
    }
    t.image = QPixmap::fromImage(image);
  }
  return t;
}

QIcon CLanguagePack::Icon(int id) {
  PackState& s = State();
  auto it = s.icons.constFind(id);
  if (it != s.icons.constEnd()) return *it;
  QIcon icon;
  for (const QImage& image : ReadIconImages(File(QStringLiteral("icons/%1.ico").arg(id))))
    icon.addPixmap(QPixmap::fromImage(image));
  if (IsLoaded()) s.icons.insert(id, icon);
  return icon;
}

QPixmap CLanguagePack::Bitmap(int id) {
  PackState& s = State();
  auto it = s.bitmaps.constFind(id);
  if (it != s.bitmaps.constEnd()) return *it;
  QPixmap pixmap = QPixmap::fromImage(QImage::fromData(File(QStringLiteral("bitmaps/%1.bmp").arg(id)), "BMP"));
  if (IsLoaded()) s.bitmaps.insert(id, pixmap);
  return pixmap;
}

bool CLanguagePack::HasCursor(int id) {
  return !File(QStringLiteral("cursors/%1.cur").arg(id)).isEmpty();
}

QCursor CLanguagePack::Cursor(int id) {
  PackState& s = State();
  auto it = s.cursors.constFind(id);
  if (it != s.cursors.constEnd()) return *it;
  QByteArray bytes = File(QStringLiteral("cursors/%1.cur").arg(id));
  QList<QImage> images = ReadIconImages(bytes);
  QCursor cursor(Qt::ArrowCursor);
  if (!images.isEmpty()) {
    // First directory entry: the hot spot sits where an icon keeps its
    // planes and bit count (little-endian words at bytes 10 and 12).
    auto word = [&](int at) {
      return static_cast<int>(static_cast<unsigned char>(bytes[at]) |
                              (static_cast<unsigned char>(bytes[at + 1]) << 8));
    };
    int hotX = bytes.size() >= 14 ? word(10) : -1;
    int hotY = bytes.size() >= 14 ? word(12) : -1;
    cursor = QCursor(QPixmap::fromImage(images.first()), hotX, hotY);
  }
  if (IsLoaded()) s.cursors.insert(id, cursor);
  return cursor;
}
