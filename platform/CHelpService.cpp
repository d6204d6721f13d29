#include "platform/CHelpService.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QHelpEngineCore>
#include <QHelpLink>
#include <QTemporaryDir>
#include <memory>

#include "platform/AppDir.h"
#include "platform/Globals.h"

namespace {
struct HelpState {
  CHelpService::Handler viewer;
  CHelpService::Handler hook;
  std::optional<CHelpService::Request> last;
  // One read-only engine per help file, each with its collection in a
  // private temporary folder. The folder goes when the program quits
  // (whatever closed it: the last window, Exit, a signal), and at the
  // latest when the process ends normally.
  std::unique_ptr<QTemporaryDir> dir;
  bool removalAtQuitSet = false;
  QHash<QString, QHelpEngineCore*> engines;
};

HelpState& State() {
  static HelpState state;
  return state;
}

QHelpEngineCore* EngineFor(const QString& qch) {
  HelpState& s = State();
  if (QHelpEngineCore* e = s.engines.value(qch)) return e;
  if (!s.dir) s.dir = std::make_unique<QTemporaryDir>();
  if (!s.dir->isValid()) return nullptr;
  if (!s.removalAtQuitSet) {
    // The engines only read their collections once set up, so the files
    // may go while the engines live on until the application is destroyed;
    // a help file asked for after that gets a new engine and folder.
    s.removalAtQuitSet = true;
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [] {
      State().engines.clear();
      State().dir.reset();
    });
  }
  QString collection = s.dir->filePath(QStringLiteral("help%1.qhc").arg(s.engines.size()));
  // The application owns the engine: it goes (with its database
  // connection) when the application does, not never.
  auto* engine = new QHelpEngineCore(collection, QCoreApplication::instance());
  QObject::connect(engine, &QObject::destroyed, [qch] { State().engines.remove(qch); });
  engine->setReadOnly(false);
  if (!engine->setupData()) {
    delete engine;
    return nullptr;
  }
  QString ns = QHelpEngineCore::namespaceName(qch);
  if (!ns.isEmpty() && !engine->registeredDocumentations().contains(ns))
    engine->registerDocumentation(qch);
  s.engines.insert(qch, engine);
  return engine;
}
}  // namespace

QString CHelpService::CollectionFolder() {
  const HelpState& s = State();
  return s.dir && s.dir->isValid() ? s.dir->path() : QString();
}

QHelpEngineCore* CHelpService::Engine(const QString& helpFilePath) {
  return QFileInfo(helpFilePath).isFile() ? EngineFor(helpFilePath) : nullptr;
}

QUrl CHelpService::Lookup(const QString& helpFilePath, int topic) {
  QHelpEngineCore* engine = Engine(helpFilePath);
  if (!engine) return {};
  QList<QHelpLink> links = engine->documentsForIdentifier(QString::number(topic));
  return links.isEmpty() ? QUrl() : links.first().url;
}

void CHelpService::ShowTopic(int topic) {
  Request request;
  request.topic = topic;
  request.helpFile = QString::fromStdString(chanset::ApplicationDirectory() + chanset::g_strHelpFile);
  request.document = Lookup(request.helpFile, topic);
  HelpState& s = State();
  s.last = request;
  if (s.hook) s.hook(request);
  if (s.viewer) s.viewer(request);
}

void CHelpService::SetViewer(Handler viewer) { State().viewer = std::move(viewer); }
void CHelpService::SetHook(Handler hook) { State().hook = std::move(hook); }
std::optional<CHelpService::Request> CHelpService::LastRequest() { return State().last; }
void CHelpService::ClearLastRequest() { State().last.reset(); }
