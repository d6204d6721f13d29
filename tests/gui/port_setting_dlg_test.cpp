// The Port Setting dialog against pseudo-terminals standing in for serial
// devices: which ports it offers, which it checks, and what OK keeps.
#include <QInputDialog>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <QtTest>
#include <sys/stat.h>

#include "link/CPortSettingDlg.h"
#include "link/PortNames.h"
#include "link/SerialPort.h"
#include "platform/AppDir.h"
#include "platform/CLanguagePack.h"
#include "platform/CMessageBox.h"
#include "platform/Globals.h"
#include "platform/UserRegistry.h"
#include "tests/gui/PtyPair.h"
#include "tests/unit/FakeSerialTree.h"

using namespace chanset;

class PortSettingDlgTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir m_dir;
  PtyPair m_com1, m_com12;

  // With CHANSET_SCREENSHOT_DIR set (and a real display), a picture of the
  // screen is saved there under `name`.
  void Snapshot(const QString& name) {
    QString dir = qEnvironmentVariable("CHANSET_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    QTest::qWait(300);
    QGuiApplication::primaryScreen()->grabWindow(0).save(QDir(dir).filePath(name + ".png"));
  }

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
    QCOMPARE(dlg.PortButton(1)->toolTip().section('\n', 0, 0), QString::fromStdString(m_com1.path()));
    // Every tooltip ends by telling how to change the port's device.
    for (int n : {1, 5, 7})
      QCOMPARE(dlg.PortButton(n)->toolTip().section('\n', -1), CLanguagePack::String(CPortSettingDlg::kStrDeviceHint));
    QVERIFY(dlg.PortButton(5)->toolTip().startsWith(m_dir.filePath(QStringLiteral("missing5"))));
    QVERIFY(dlg.PortButton(5)->toolTip().contains(QStringLiteral("missing5 does not exist: the programming cable")));
    QVERIFY(dlg.PortButton(7)->toolTip().contains(QStringLiteral(" is not a serial device: check which device")));
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
    // Who holds it: this test, by its lock file.
    QVERIFY(dlg.PortButton(1)->toolTip().contains(QStringLiteral(" (process %1), as the lock file ").arg(getpid())));
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

  // A registry the choice cannot be written to (read-only, which stops root
  // too): the dialog says so and stays open; nothing is taken.
  void unwritableRegistryIsSaidAndTheDialogStays() {
    const QByteArray registry = QByteArray::fromStdString(UserRegistry::FilePath());
    QVERIFY(chmod(registry.constData(), 0444) == 0);
    QStringList said;
    CMessageBox::SetResponder([&](const CMessageBox::Request& r) {
      said << r.text;
      return int(CMessageBox::IdOk);
    });
    CPortSettingDlg dlg;
    dlg.show();
    dlg.OnInitDialog();
    dlg.PortButton(12)->click();
    dlg.findChild<QPushButton*>(QStringLiteral("control1"))->click();
    CMessageBox::SetResponder({});
    chmod(registry.constData(), 0644);
    QCOMPARE(said.size(), 1);
    QVERIFY2(said[0].contains(QString::fromUtf8(registry)) && said[0].contains(QStringLiteral("Permission denied")),
             qPrintable(said[0]));
    QVERIFY(dlg.isVisible());
    QCOMPARE(QString::fromStdString(g_strPortName), QStringLiteral("COM1"));
    QCOMPARE(LoadRememberedPort(), 4);
  }

  // Beside an enabled port, the cable's maker and product and its stable
  // by-id name, as the system describes them.
  void enabledPortNamesTheUsbCable() {
    testutil::FakeSerialTree tree(m_dir.filePath(QStringLiteral("machine")).toStdString());
    tree.AddUsb("ttyUSB0", 1, "0403", "6001", "FTDI", "FT232R USB UART");
    tree.AddTerminal("ttyUSB0");
    tree.AddById("usb-FTDI_FT232R_USB_UART_A1-if00-port0", "ttyUSB0");
    qputenv("CHANSET_SYSFS_ROOT", tree.Sys().c_str());
    qputenv("CHANSET_DEV_ROOT", tree.Dev().c_str());
    qputenv("CHANSET_COM2", (tree.Dev() + "/ttyUSB0").c_str());
    CPortSettingDlg dlg;
    dlg.OnInitDialog();
    QStringList tip = dlg.PortButton(2)->toolTip().split('\n');
    if (qEnvironmentVariableIsSet("CHANSET_SCREENSHOT_DIR")) {
      dlg.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dlg));
      QRadioButton* b = dlg.PortButton(2);
      QToolTip::showText(b->mapToGlobal(b->rect().bottomLeft()), b->toolTip(), b);
      Snapshot(QStringLiteral("com-setup-tooltip"));
    }
    qputenv("CHANSET_COM2", m_dir.filePath(QStringLiteral("missing2")).toUtf8());
    qunsetenv("CHANSET_SYSFS_ROOT");
    qunsetenv("CHANSET_DEV_ROOT");
    QVERIFY(dlg.PortButton(2)->isEnabled());
    QCOMPARE(tip.mid(0, 3), (QStringList{QString::fromStdString(tree.Dev() + "/ttyUSB0"),
                                          QStringLiteral("FTDI FT232R USB UART (0403:6001)"),
                                          QString::fromStdString(tree.Dev() + "/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0")}));
  }

  // The device map: a port's device is chosen in the dialog and kept in
  // the user's registry; an empty answer returns to the default device.
  void deviceMapIsEditedFromTheDialog() {
    PtyPair cable;
    QVERIFY(cable.ok());
    qunsetenv("CHANSET_COM3");
    CPortSettingDlg dlg;
    dlg.OnInitDialog();
    dlg.PortButton(12)->click();
    QVERIFY(!dlg.PortButton(3)->isEnabled());
    QString title, label;
    auto answer = [&](const QString& text, bool ok) {
      QTimer::singleShot(0, &dlg, [&, text, ok] {
        auto* ask = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!ask) return;
        title = ask->windowTitle();
        label = ask->labelText();
        ask->setTextValue(text);
        ok ? ask->accept() : ask->reject();
      });
    };
    answer(QString::fromStdString(cable.path()), true);
    QVERIFY(dlg.EditDevice(3));
    QCOMPARE(title, QStringLiteral("Device of COM3"));
    QVERIFY2(label.contains(QStringLiteral("/dev/ttyUSB2")), qPrintable(label));  // the default named
    QCOMPARE(UserRegistry::ReadString(PortsRegistryKey(), "COM3"), cable.path());
    QCOMPARE(DevicePathForPort(3), cable.path());
    QVERIFY(dlg.PortButton(3)->isEnabled());
    QCOMPARE(dlg.CheckedPort(), 12);  // the user's check survives
    // Cancel changes nothing; an empty answer removes the entry.
    answer(QStringLiteral("/dev/elsewhere"), false);
    QVERIFY(!dlg.EditDevice(3));
    QCOMPARE(DevicePathForPort(3), cable.path());
    answer(QString(), true);
    QVERIFY(dlg.EditDevice(3));
    QCOMPARE(DevicePathForPort(3), std::string("/dev/ttyUSB2"));
    QVERIFY(!dlg.PortButton(3)->isEnabled());
    qputenv("CHANSET_COM3", m_dir.filePath(QStringLiteral("missing3")).toUtf8());
  }

  // A port that cannot be opened still takes a right-click: that is where
  // its device is set when the cable sits elsewhere.
  void rightClickOnADisabledPortOffersItsDevice() {
    CPortSettingDlg dlg;
    dlg.OnInitDialog();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QRadioButton* com5 = dlg.PortButton(5);
    QVERIFY(!com5->isEnabled());
    QString menuText, askTitle;
    QTimer::singleShot(50, &dlg, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (!menu) return;
      menuText = menu->actions().value(0) ? menu->actions().value(0)->text() : QString();
      Snapshot(QStringLiteral("com-setup-menu"));
      QTimer::singleShot(50, &dlg, [&] {
        Snapshot(QStringLiteral("com-setup-device"));
        if (auto* ask = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
          askTitle = ask->windowTitle();
          ask->reject();
        }
      });
      QTest::keyClick(menu, Qt::Key_Down);
      QTest::keyClick(menu, Qt::Key_Return);
    });
    QPoint at = com5->mapTo(&dlg, com5->rect().center());
    QTest::mouseClick(dlg.windowHandle(), Qt::RightButton, Qt::NoModifier, at);
    QTRY_COMPARE(askTitle, QStringLiteral("Device of COM5"));
    QCOMPARE(menuText, QStringLiteral("Device of COM5..."));
  }

  void deviceMapTextsExistInEveryLanguage_data() {
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "English";
    QTest::newRow("Chinese") << "Chinese";
  }
  void deviceMapTextsExistInEveryLanguage() {
    QFETCH(QString, language);
    QVERIFY(CLanguagePack::Load(language));
    for (int id : {CPortSettingDlg::kStrDeviceMenu, CPortSettingDlg::kStrDeviceTitle, CPortSettingDlg::kStrDevicePrompt})
      QVERIFY2(CLanguagePack::String(id).contains(QStringLiteral("%1")), qPrintable(QString::number(id)));
    QVERIFY(CLanguagePack::String(CPortSettingDlg::kStrDevicePrompt).contains(QStringLiteral("%2")));
    QVERIFY(!CLanguagePack::String(CPortSettingDlg::kStrDeviceHint).isEmpty());
    QVERIFY(CLanguagePack::Load(QStringLiteral("English")));
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
