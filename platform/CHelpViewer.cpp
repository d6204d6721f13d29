#include "platform/CHelpViewer.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHelpEngineCore>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/Globals.h"

namespace {
QPointer<CHelpViewer>& InstanceSlot() {
  static QPointer<CHelpViewer> viewer;
  return viewer;
}

QString Text(const char* english, const char* chinese) {
  return chanset::g_bChinese ? QString::fromUtf8(chinese) : QString::fromUtf8(english);
}

// Reads qthelp:// pages through the engine of the open help file; other
// links leave the viewer for the desktop's own program.
class HelpBrowser : public QTextBrowser {
 public:
  explicit HelpBrowser(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
      if (url.scheme() == QLatin1String("qthelp"))
        setSource(url);
      else if (url.scheme().isEmpty() || url.scheme() == QLatin1String("file"))
        setSource(source().resolved(url));
      else
        QDesktopServices::openUrl(url);
    });
  }
  QHelpEngineCore* engine = nullptr;

  QVariant loadResource(int type, const QUrl& name) override {
    QUrl url = name.isRelative() ? source().resolved(name) : name;
    if (engine && url.scheme() == QLatin1String("qthelp")) {
      QByteArray data = engine->fileData(url);
      if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
        return QString::fromUtf8(data);
      return data;
    }
    return QTextBrowser::loadResource(type, name);
  }
};
}  // namespace

CHelpViewer::CHelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("helpViewer"));
  setAttribute(Qt::WA_QuitOnClose, false);
  setWindowTitle(Text("Chanset Help", "Chanset 帮助"));
  resize(760, 560);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  auto* buttons = new QHBoxLayout;
  auto makeButton = [&](const char* en, const char* ch, QStyle::StandardPixmap icon) {
    auto* b = new QToolButton(this);
    b->setText(Text(en, ch));
    b->setIcon(style()->standardIcon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    buttons->addWidget(b);
    return b;
  };
  m_pBack = makeButton("Back", "后退", QStyle::SP_ArrowBack);
  m_pForward = makeButton("Forward", "前进", QStyle::SP_ArrowForward);
  m_pHome = makeButton("Contents", "目录", QStyle::SP_DirHomeIcon);
  buttons->addStretch(1);
  layout->addLayout(buttons);

  auto* browser = new HelpBrowser(this);
  browser->setObjectName(QStringLiteral("helpBrowser"));
  m_pBrowser = browser;
  layout->addWidget(m_pBrowser, 1);

  m_pBack->setEnabled(false);
  m_pForward->setEnabled(false);
  connect(m_pBack, &QToolButton::clicked, m_pBrowser, &QTextBrowser::backward);
  connect(m_pForward, &QToolButton::clicked, m_pBrowser, &QTextBrowser::forward);
  connect(m_pBrowser, &QTextBrowser::backwardAvailable, m_pBack, &QToolButton::setEnabled);
  connect(m_pBrowser, &QTextBrowser::forwardAvailable, m_pForward, &QToolButton::setEnabled);
  connect(m_pHome, &QToolButton::clicked, this, [this] { m_pBrowser->setSource(IndexPage(m_strFile)); });
  connect(m_pBrowser, &QTextBrowser::sourceChanged, this, [this] {
    QString title = CurrentTitle();
    QString base = Text("Chanset Help", "Chanset 帮助");
    setWindowTitle(title.isEmpty() ? base : title + QStringLiteral(" - ") + base);
  });
}

QUrl CHelpViewer::IndexPage(const QString& helpFile) {
  QString ns = QHelpEngineCore::namespaceName(helpFile);
  if (ns.isEmpty()) return {};
  return QUrl(QStringLiteral("qthelp://%1/doc/index.html").arg(ns));
}

bool CHelpViewer::Open(const QString& helpFile, const QUrl& page) {
  QHelpEngineCore* engine = CHelpService::Engine(helpFile);
  if (!engine) return false;
  m_pEngine = engine;
  m_strFile = helpFile;
  static_cast<HelpBrowser*>(m_pBrowser)->engine = engine;
  QUrl target = page;
  if (target.isEmpty() || engine->findFile(target).isEmpty()) target = IndexPage(helpFile);
  if (target == m_pBrowser->source())
    m_pBrowser->reload();
  else
    m_pBrowser->setSource(target);
  return true;
}

QUrl CHelpViewer::CurrentPage() const { return m_pBrowser->source(); }

QString CHelpViewer::CurrentTitle() const { return m_pBrowser->documentTitle(); }

CHelpViewer* CHelpViewer::Instance() { return InstanceSlot(); }

void CHelpViewer::Destroy() { delete InstanceSlot().data(); }

void CHelpViewer::ShowRequest(const CHelpService::Request& request) {
  QPointer<CHelpViewer>& viewer = InstanceSlot();
  // Owned by the window that asked (a modal dialog included), so that it
  // can be used while that window is open and goes when it goes.
  QWidget* owner = QApplication::activeModalWidget();
  if (!owner) owner = QApplication::activeWindow();
  if (viewer && owner == viewer) owner = viewer->parentWidget();
  if (!viewer) {
    viewer = new CHelpViewer(owner);
  } else if (viewer->parentWidget() != owner) {
    QRect geometry = viewer->geometry();
    viewer->setParent(owner, Qt::Window);
    viewer->setGeometry(geometry);
  }
  if (!viewer->Open(request.helpFile, request.document)) {
    viewer->m_pBrowser->setHtml(QStringLiteral("<p>%1</p><p>%2</p>")
                                    .arg(Text("The help file could not be opened:", "无法打开帮助文件："),
                                         request.helpFile.toHtmlEscaped()));
  }
  viewer->show();
  viewer->raise();
  viewer->activateWindow();
}
