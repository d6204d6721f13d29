#pragma once
// The help window: one page of a .qch help file at a time, shown by a text
// browser that reads qthelp:// pages (and their pictures and links) through
// a help engine. Back, Forward and Contents buttons; Contents is the file's
// index page, which is also shown for a topic the file does not have.
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include "platform/CHelpService.h"

class QHelpEngineCore;
class QTextBrowser;
class QToolButton;

class CHelpViewer : public QWidget {
  Q_OBJECT
 public:
  explicit CHelpViewer(QWidget* parent = nullptr);

  // The viewer CHelpService hands its requests to: shows the one window,
  // creating it on first use, at the topic's page.
  static void ShowRequest(const CHelpService::Request& request);
  static CHelpViewer* Instance();
  static void Destroy();

  // Opens `helpFile` at `page` (its index page when `page` is empty or not
  // in the file). False when the file cannot be read.
  bool Open(const QString& helpFile, const QUrl& page);
  QUrl CurrentPage() const;
  QString CurrentTitle() const;
  QTextBrowser* Browser() const { return m_pBrowser; }

  // The index page of a help file.
  static QUrl IndexPage(const QString& helpFile);

 private:
  QHelpEngineCore* m_pEngine = nullptr;
  QString m_strFile;
  QTextBrowser* m_pBrowser = nullptr;
  QToolButton* m_pBack = nullptr;
  QToolButton* m_pForward = nullptr;
  QToolButton* m_pHome = nullptr;
};
