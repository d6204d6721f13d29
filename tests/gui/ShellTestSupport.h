#pragma once
// Shared set-up of the application-shell widget tests: a temporary
// application directory with its own Chanset.ini and language packs, a
// private registry, and recorders that answer message boxes and file
// dialogs.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <string>

#include "platform/AppDir.h"
#include "platform/CFileDialog.h"
#include "platform/CMessageBox.h"

inline const char* kDefaultIni =
    "[Setup]\n"
    "Language=English\n"
    "ShowLang=1\n"
    "AppName=Chanset\n"
    "Type1=KRR-45\n"
    "Field1=400-470MHz\n"
    "[English]\n"
    "AppName=Chanset\n"
    "Company=Kestrel Ridge Radio\n"
    "About Title=&About Chanset...\n"
    "[Chinese]\n"
    "AppName=Chanset 写频软件\n"
    "Company=隼岭无线电\n"
    "About Title=关于 Chanset(&A)...\n"
    "[French]\n"
    "Company=Radio Crête\n"
    "About Title=À &propos\n";

// The default settings file, starting in `language`.
inline QString IniIn(const QString& language) {
  QString ini = QString::fromUtf8(kDefaultIni);
  ini.replace(QStringLiteral("Language=English"), QStringLiteral("Language=") + language);
  return ini;
}

// A "language" column with a row for each language pack.
inline void AddLanguageRows() {
  QTest::addColumn<QString>("language");
  QTest::newRow("English") << "English";
  QTest::newRow("Chinese") << "Chinese";
}

class AppDirFixture {
 public:
  AppDirFixture() {
    QVERIFY(m_app.isValid() && m_work.isValid() && m_config.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    chanset::SetApplicationDirectory(m_app.path().toStdString());
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_work.path());
  }
  ~AppDirFixture() {
    QDir::setCurrent(m_oldCwd);
    chanset::SetApplicationDirectory(CHANSET_APP_DIR);
  }

  QString AppPath(const QString& name) const { return m_app.filePath(name); }
  QString WorkPath(const QString& name) const { return m_work.filePath(name); }

  void WriteIni(const QString& text) const { WriteFile(AppPath(QStringLiteral("Chanset.ini")), text.toUtf8()); }
  // Copies a pack the build made, under its own or another file name.
  void CopyPack(const QString& language, const QString& asName = QString()) const {
    QString target = AppPath((asName.isEmpty() ? language : asName) + QStringLiteral(".rcc"));
    QFile::remove(target);
    QVERIFY(QFile::copy(QStringLiteral(CHANSET_APP_DIR "/") + language + QStringLiteral(".rcc"), target));
  }
  // The settings file and pack the build ships, starting in `language`.
  void UseShippedSettings(const QString& language) const {
    QString ini = QString::fromUtf8(ReadFile(QStringLiteral(CHANSET_APP_DIR "/Chanset.ini")));
    ini.replace(QStringLiteral("Language=English"), QStringLiteral("Language=") + language);
    WriteIni(ini);
    CopyPack(language);
  }
  static void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  }
  static QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

 private:
  QTemporaryDir m_app, m_work, m_config;
  QString m_oldCwd;
};

// Answers message boxes in order (OK when no answer is queued) and keeps
// what was asked.
class BoxRecorder {
 public:
  BoxRecorder() {
    CMessageBox::SetResponder([this](const CMessageBox::Request& r) {
      seen << r;
      return answers.isEmpty() ? int(CMessageBox::IdOk) : answers.takeFirst();
    });
  }
  ~BoxRecorder() { CMessageBox::SetResponder({}); }
  QList<CMessageBox::Request> seen;
  QList<int> answers;
};

class FileDialogRecorder {
 public:
  FileDialogRecorder() {
    CFileDialog::SetResponder([this](const CFileDialog::Request& r) {
      seen << r;
      return answers.isEmpty() ? QString() : answers.takeFirst();
    });
  }
  ~FileDialogRecorder() { CFileDialog::SetResponder({}); }
  QList<CFileDialog::Request> seen;
  QStringList answers;
};

// A valid configuration file: "S333", twelve zero bytes, 1024 image bytes.
inline QByteArray DatBytes(char fill = '\x11') {
  QByteArray bytes("S333");
  bytes += QByteArray(12, '\0');
  bytes += QByteArray(1024, fill);
  return bytes;
}

// A CHIRP CSV file of `rows` channels at `mhz` (a text such as "446.006250").
inline std::string ChirpCsvRows(int rows, const char* mhz) {
  std::string csv = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment\n";
  for (int n = 1; n <= rows; ++n)
    csv += std::to_string(n) + ",A," + mhz + ",,0,,88.5,88.5,023,NN,023,,FM,6.25,,5W,\n";
  return csv;
}

// Runs `answer` on the next modal dialog once it is up, then closes it if
// `answer` left it open (so a failed check never leaves the test waiting).
inline void OnNextModal(std::function<void(QDialog*)> answer) {
  auto* timer = new QTimer;
  auto* waited = new int(0);
  QObject::connect(timer, &QTimer::timeout, [timer, waited, answer] {
    auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dlg && ++*waited < 500) return;
    timer->stop();
    timer->deleteLater();
    delete waited;
    if (!dlg) return;
    answer(dlg);
    if (dlg->isVisible()) dlg->reject();
  });
  timer->start(10);
}
