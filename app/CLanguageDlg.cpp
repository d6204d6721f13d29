#include "app/CLanguageDlg.h"

#include <QKeyEvent>
#include <QProcess>
#include <QRadioButton>

#include "platform/CCommandHost.h"
#include "editor/CChansetView.h"
#include "platform/AppDir.h"
#include "platform/CHelpService.h"
#include "platform/CMessageBox.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"
#include "settings/CSettingsFile.h"

namespace {
constexpr int kEnglishButton = 1006;
constexpr int kChineseButton = 1007;
constexpr int kHelpTopic = ids::kLanguage;

CLanguageDlg::Starter& StarterSlot() {
  static CLanguageDlg::Starter starter;
  return starter;
}

QString SaveFailedText(const QString& reason) {
  return (chanset::g_bChinese ? QString::fromUtf8("无法保存语言设置。\n%1")
                              : QStringLiteral("The language setting could not be saved.\n%1"))
      .arg(reason);
}
}  // namespace

CLanguageDlg::CLanguageDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("languageDialog"));
  m_form.Create(this, ids::kLanguageDialog);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  m_form.ConnectOkCancel(this);
}

CLanguageDlg* CLanguageDlg::ForView(CChansetView* view) {
  if (!view) return nullptr;
  // A child of the view: it lives exactly as long as the view, so its
  // m_bChanged does too.
  if (auto* dlg = view->findChild<CLanguageDlg*>(QString(), Qt::FindDirectChildrenOnly)) return dlg;
  return new CLanguageDlg(view);
}

void CLanguageDlg::showEvent(QShowEvent* event) {
  // The running language is checked at every opening.
  m_nLanguage = chanset::g_bChinese ? 1 : 0;
  if (auto* b = m_form.Control<QRadioButton>(m_nLanguage ? kChineseButton : kEnglishButton)) {
    b->setChecked(true);
    b->setFocus();
  }
  QDialog::showEvent(event);
}

void CLanguageDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) CHelpService::ShowTopic(kHelpTopic);
  QDialog::keyPressEvent(event);
}

void CLanguageDlg::accept() {
  auto* chinese = m_form.Control<QRadioButton>(kChineseButton);
  m_nLanguage = chinese && chinese->isChecked() ? 1 : 0;
  if (m_nLanguage != (chanset::g_bChinese ? 1 : 0)) {
    chanset::CSettingsFile& settings = chanset::g_settingsFile();
    settings.SetValue("Setup", "Language", m_nLanguage ? "Chinese" : "English");
    settings.Save(false);
    if (settings.LastError().empty()) {
      m_bChanged = true;
    } else {
      // Restarting would bring the program back in the old language; say
      // why instead, and keep this run as it is.
      CMessageBox::Show(this, SaveFailedText(QString::fromStdString(settings.LastError())), CMessageBox::Ok);
    }
  }
  QDialog::accept();
}

void CLanguageDlg::SetStarter(Starter starter) { StarterSlot() = std::move(starter); }

QString CLanguageDlg::RestartProgram() {
  return QString::fromStdString(chanset::ApplicationDirectory()) + QStringLiteral("Chanset");
}

bool RunLanguageCommand(QWidget* mainWindow, CChansetView* view) {
  CLanguageDlg* dlg = CLanguageDlg::ForView(view);
  if (!dlg || !mainWindow) return false;
  if (dlg->exec() != QDialog::Accepted || !dlg->Changed()) return false;
  // Close as File Exit does. A Cancel at a save prompt keeps this program
  // running, and then no second one is started.
  if (!mainWindow->close()) return false;
  QString program = CLanguageDlg::RestartProgram();
  if (const CLanguageDlg::Starter& starter = StarterSlot()) return starter(program);
  return QProcess::startDetached(program, {});
}

void RegisterLanguageCommand(CCommandHost* host) {
  QWidget* window = host->HostWindow();
  host->AddViewCommand(ids::kLanguage, [window](CChansetView* view) { RunLanguageCommand(window, view); });
}
