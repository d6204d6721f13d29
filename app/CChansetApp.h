#pragma once
// The application object: start-up in its fixed order, the application
// commands (File New, File Open) and the clean-up at exit. The Qt
// application itself is created by main() (or by a test); this object only
// needs it to exist.
#include <QObject>
#include <QStringList>

class CMainFrame;
class CChildFrame;

class CChansetApp : public QObject {
  Q_OBJECT
 public:
  // Printed: the command line printed a file; the program ends without
  // running its message loop.
  enum class StartResult { Ok, NoLanguagePack, FrameFailed, CommandFailed, Printed };

  explicit CChansetApp(QObject* parent = nullptr);
  // Destroys the main window, then releases the language pack.
  ~CChansetApp() override;

  // Start-up. `args` are the arguments after the program name. The settings
  // file and every loose file are looked for in chanset::ApplicationDirectory().
  StartResult InitInstance(const QStringList& args);

  CMainFrame* MainFrame() const { return m_pMainFrame; }

  // File New: asks before it discards the active document window.
  void OnFileNew();
  // About: the About dialog, modally.
  void OnAppAbout();
  // File Open: the file dialog, then OpenDocumentFile.
  void OnFileOpen();
  // Opens `path` in a new document window and hides the one that was
  // active. On failure reports it, and nothing else changes.
  CChildFrame* OpenDocumentFile(const QString& path);

 private:
  CChildFrame* NewDocumentWindow();

  CMainFrame* m_pMainFrame = nullptr;
};
