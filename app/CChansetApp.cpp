#include "app/CChansetApp.h"

#include <QApplication>
#include <QIcon>
#include <sys/stat.h>

#include "app/CAboutDlg.h"
#include "app/CChildFrame.h"
#include "app/CLanguageDlg.h"
#include "app/CMainFrame.h"
#include "app/Startup.h"
#include "data/CChansetDoc.h"
#include "editor/CChansetView.h"
#include "dialogs/SettingsDialogs.h"
#include "editor/EditCommands.h"
#include "platform/AppDir.h"
#include "data/Backups.h"
#include "platform/CFileDialog.h"
#include "platform/CHelpService.h"
#include "platform/CHelpViewer.h"
#include "platform/CLanguagePack.h"
#include "platform/CMessageBox.h"
#include "platform/FontFaces.h"
#include "platform/Globals.h"
#include "platform/QtTranslations.h"
#include "platform/ResourceIds.h"
#include "platform/SettingsLocation.h"
#include "platform/UserDirs.h"
#include "print/PrintCommands.h"
#include "settings/CSettingsFile.h"

using namespace chanset;

namespace {
QString Setting(const std::string& section, const char* key) {
  return QString::fromStdString(g_settingsFile().GetValue(section, key, ""));
}

constexpr int kHelpMenu = 5;   // sixth menu of menu 129
constexpr int kSetupMenu = 4;  // fifth menu of menu 129
}  // namespace

CChansetApp::CChansetApp(QObject* parent) : QObject(parent) {}

CChansetApp::~CChansetApp() {
  CHelpService::SetViewer({});
  CHelpViewer::Destroy();
  delete m_pMainFrame;
  m_pMainFrame = nullptr;
  CQtTranslations::Remove();
  CLanguagePack::Release();
  CMessageBox::ResetCaption();
}

CChansetApp::StartResult CChansetApp::InitInstance(const QStringList& args) {
  // 1. The settings file beside the executable (for an installed program
  // that its users may not change, the user's own copy once there is one).
  // A missing one is not created; start-up then fails below and names it.
  const std::string iniPath = ProgramSettingsFilePaths().read;
  struct stat iniStat;
  const bool iniMissing = stat(iniPath.c_str(), &iniStat) != 0 || !S_ISREG(iniStat.st_mode);
  LoadProgramSettings(g_settingsFile());

  // 2. The language: flag, section and help file for the whole run.
  SetLanguage(g_settingsFile().GetValue("Setup", "Language", ""));

  // 3. The language pack is the source of every user-interface resource.
  CMessageBox::ResetCaption();
  if (!CLanguagePack::Load(QString::fromStdString(g_strLanguage))) {
    const std::string looked = iniMissing ? iniPath : ApplicationDirectory() + LanguagePackFileName(g_strLanguage);
    CMessageBox::Show(nullptr, QString::fromStdString(StartupFailureText(g_bChinese, iniMissing, looked)),
                      CMessageBox::Ok);
    return StartResult::NoLanguagePack;
  }
  // Qt's own dialogs and buttons speak the pack's language too.
  CQtTranslations::Install(CLanguagePack::QtLocale());

  // 5. The application directory.
  g_strAppDir = ApplicationDirectory();
  InstallFontSubstitutions();

  // 8. The main window.
  m_pMainFrame = new CMainFrame;
  if (!m_pMainFrame->Create()) {
    delete m_pMainFrame;
    m_pMainFrame = nullptr;
    return StartResult::FrameFailed;
  }
  m_pMainFrame->AddCommand(ids::kFileNew, Command([this] { OnFileNew(); }));
  m_pMainFrame->AddCommand(ids::kFileOpen, Command([this] { OnFileOpen(); }));
  m_pMainFrame->AddCommand(ids::kAppAbout, Command([this] { OnAppAbout(); }));
  InstallSettingsDialogs(m_pMainFrame);
  InstallPrintCommands(m_pMainFrame);
  InstallEditCommands(m_pMainFrame);
  RegisterLanguageCommand(m_pMainFrame);
  CHelpService::SetViewer(&CHelpViewer::ShowRequest);

  // 9. The command line.
  std::vector<std::string> arguments;
  for (const QString& a : args) arguments.push_back(a.toStdString());
  CommandLine cmd = ParseCommandLine(arguments);
  if (cmd.kind == CommandLine::FileNew) {
    if (!NewDocumentWindow()) return StartResult::CommandFailed;
  } else {
    CChildFrame* child = OpenDocumentFile(QString::fromStdString(cmd.file));
    if (!child) return StartResult::CommandFailed;
    // The print switches print the file without showing the window.
    if (cmd.IsPrint()) {
      PrintOutcome printed = PrintReportFromCommandLine(nullptr, child->GetView(), QString::fromStdString(cmd.printer),
                                                        QString::fromStdString(cmd.output));
      return printed == PrintOutcome::Printed ? StartResult::Printed : StartResult::CommandFailed;
    }
  }

  // 10. Shown maximised (its normal size stays 900 x 550).
  m_pMainFrame->showMaximized();

  // 11. The window icon from title.ico, when it can be read.
  QIcon icon(QString::fromStdString(g_strAppDir) + QStringLiteral("title.ico"));
  if (!icon.isNull() && !icon.availableSizes().isEmpty()) m_pMainFrame->setWindowIcon(icon);

  // 12. The company text is the message-box caption from now on.
  CMessageBox::SetCaption(Setting(g_strLanguage, "Company"));

  // 13. The document menu's About item shows "About Title".
  m_pMainFrame->SetDocMenuItemText(kHelpMenu, 0, Setting(g_strLanguage, "About Title"));

  // 14. ShowLang 0 (or no number) removes the Language command.
  if (!ShowLanguageCommand(g_settingsFile().GetValue("Setup", "ShowLang", "")))
    m_pMainFrame->RemoveDocMenuCommand(kSetupMenu, ids::kLanguage);
  return StartResult::Ok;
}

CChildFrame* CChansetApp::NewDocumentWindow() {
  auto* doc = new CChansetDoc;
  if (!doc->OnNewDocument()) {
    delete doc;
    return nullptr;
  }
  return m_pMainFrame->CreateDocumentWindow(doc);
}

void CChansetApp::OnFileNew() {
  if (!m_pMainFrame) return;
  if (CChildFrame* active = m_pMainFrame->ActiveChildFrame()) {
    // What is being typed is part of what the question is about.
    if (active->GetView() && !active->GetView()->CommitBeforeClosing()) return;
    int answer = CMessageBox::Show(m_pMainFrame, CLanguagePack::String(ids::kAllDataCleared), CMessageBox::OkCancel);
    if (answer != CMessageBox::IdOk) return;
    m_pMainFrame->DestroyDocumentWindow(active);
  }
  NewDocumentWindow();
}

void CChansetApp::OnAppAbout() {
  CAboutDlg dialog(m_pMainFrame);
  dialog.DoModal();
}

void CChansetApp::OnFileOpen() {
  if (!m_pMainFrame) return;
  // The window in view is hidden by the open: what is being typed in it is
  // committed first, and a refused value keeps it in view for correction.
  CChildFrame* active = m_pMainFrame->ActiveChildFrame();
  if (active && active->GetView() && !active->GetView()->CommitBeforeClosing()) return;
  // The backups of the radio reads are one click away, also before the
  // first read has made their folder.
  const std::string backups = BackupFolder();
  MakeFolders(backups);
  QString path = CFileDialog::GetOpenFileName(m_pMainFrame, CLanguagePack::String(ids::kOpenTitle),
                                              CChansetDoc::FileFilter(), {QString::fromStdString(backups)});
  if (!path.isEmpty()) OpenDocumentFile(path);
}

CChildFrame* CChansetApp::OpenDocumentFile(const QString& path) {
  if (!m_pMainFrame) return nullptr;
  auto* doc = new CChansetDoc;
  QString reason;
  DatError error = doc->OnOpenDocument(path, &reason);
  if (error != DatError::None) {
    delete doc;
    CChansetDoc::ReportSaveLoadException(m_pMainFrame, path, error, reason, false);
    return nullptr;
  }
  // The window that was active is hidden, as its close box would; with no
  // such window nothing is hidden.
  if (CChildFrame* previous = m_pMainFrame->ActiveChildFrame()) previous->close();
  return m_pMainFrame->CreateDocumentWindow(doc);
}
