// The Port Setting dialog against pseudo-terminals standing in for serial
// devices: which ports it offers, which it checks, and what OK keeps.
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "link/CPortSettingDlg.h"
#include "link/PortNames.h"
#include "link/SerialPort.h"
#include "platform/AppDir.h"
#include "platform/CLanguagePack.h"
#include "platform/Globals.h"
#include "tests/gui/PtyPair.h"

using namespace chanset;

class PortSettingDlgTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir m_dir;
  PtyPair m_com1, m_com12;

  QList<int> EnabledPorts(const CPortSettingDlg& dlg) const {
    QList<int> ports;
    for (int n = 1; n <= kPortCount; ++n)
      if (dlg.PortButton(n)->isEnabled()) ports << n;
    return ports;
  }

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8());
    SetApplicationDirectory(CHANSET_APP_DIR);
    QVERIFY(CLanguagePack::Load(QStringLiteral("English")));
    QVERIFY(m_com1.ok() && m_com12.ok());
    // Every port points somewhere known: COM1 and COM12 at terminals, COM7
    // at a plain file, the rest at paths that do not exist.
    for (int n = 1; n <= kPortCount; ++n)
      qputenv(qPrintable(QStringLiteral("CHANSET_COM%1").arg(n)),
              m_dir.filePath(QStringLiteral("missing%1").arg(n)).toUtf8());
    qputenv("CHANSET_COM1", m_com1.path().c_str());
    qputenv("CHANSET_COM12", m_com12.path().c_str());
    QFile plain(m_dir.filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    qputenv("CHANSET_COM7", plain.fileName().toUtf8());
  }

  void init() {
    g_strPortName = "COM1";
    StoreRememberedPort(4);
  }

  void offersOnlyPortsThatOpen() {
    CPortSettingDlg dlg;
    dlg.OnInitDialog();
    QCOMPARE(EnabledPorts(dlg), (QList<int>{1, 12}));
    // Each button names its device; a refused one also says why.
    QCOMPARE(dlg.PortButton(1)->toolTip(), QString::fromStdString(m_com1.path()));
    QVERIFY(dlg.PortButton(5)->toolTip().startsWith(m_dir.filePath(QStringLiteral("missing5"))));
    QVERIFY(dlg.PortButton(5)->toolTip().contains(QStringLiteral("No such file")));
    QVERIFY(dlg.PortButton(7)->toolTip().contains(QString::fromUtf8(std::strerror(ENOTTY))));
  }

  void checksTheCurrentPortWhenItOpens_data() {
    QTest::addColumn<QString>("current");
    QTest::addColumn<int>("checked");
    QTest::newRow("COM1") << "COM1" << 1;
    QTest::newRow("COM12, prefixed name") << "\\\\.\\COM12" << 12;
    QTest::newRow("COM5 does not exist") << "COM5" << 0;
    QTest::newRow("COM7 is not a terminal") << "COM7" << 0;
  }
  void checksTheCurrentPortWhenItOpens() {
    QFETCH(QString, current);
    QFETCH(int, checked);
    g_strPortName = current.toStdString();
    CPortSettingDlg dlg;
    dlg.OnInitDialog();
    QCOMPARE(dlg.CheckedPort(), checked);
  }

  void portHeldByAnotherProgramIsRefused() {
    SerialPort holder;
    QVERIFY(holder.Open(m_com1.path()));
    CPortSettingDlg dlg;
    dlg.OnInitDialog();
    QVERIFY(!dlg.PortButton(1)->isEnabled());
    QVERIFY(!dlg.PortButton(1)->isChecked());
    QCOMPARE(dlg.CheckedPort(), 0);
    QVERIFY(dlg.PortButton(1)->toolTip().contains(QString::fromUtf8(std::strerror(EBUSY))));
    // OK without a checked port keeps the old one.
    dlg.accept();
    QCOMPARE(QString::fromStdString(g_strPortName), QStringLiteral("COM1"));
    QCOMPARE(LoadRememberedPort(), 4);
    // Once the other program lets go, the port is offered again.
    holder.Close();
    dlg.OnInitDialog();
    QVERIFY(dlg.PortButton(1)->isEnabled());
    QCOMPARE(dlg.CheckedPort(), 1);
  }

  void okStoresTheChoiceAtOnce() {
    CPortSettingDlg dlg;
    QTimer::singleShot(0, &dlg, [&dlg] {
      dlg.PortButton(12)->click();
      dlg.findChild<QPushButton*>(QStringLiteral("control1"))->click();
    });
    QCOMPARE(dlg.DoModal(), int(QDialog::Accepted));
    QCOMPARE(QString::fromStdString(g_strPortName), QStringLiteral("\\\\.\\COM12"));
    QCOMPARE(LoadRememberedPort(), 12);
    // The next showing checks the stored port.
    dlg.OnInitDialog();
    QCOMPARE(dlg.CheckedPort(), 12);
  }

  void cancelKeepsEverything() {
    CPortSettingDlg dlg;
    dlg.OnInitDialog();
    dlg.PortButton(12)->click();
    dlg.findChild<QPushButton*>(QStringLiteral("control2"))->click();
    QCOMPARE(QString::fromStdString(g_strPortName), QStringLiteral("COM1"));
    QCOMPARE(LoadRememberedPort(), 4);
    // A choice dropped by Cancel is not offered again: the current port is.
    dlg.OnInitDialog();
    QCOMPARE(dlg.CheckedPort(), 1);
  }
};

QTEST_MAIN(PortSettingDlgTest)
#include "port_setting_dlg_test.moc"
