// The language pack loader, the dialog-template layout helper and the
// standard message box, against the packs the build produced.
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "platform/AppDir.h"
#include "platform/CDialogTemplate.h"
#include "platform/CLanguagePack.h"
#include "platform/CMessageBox.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"

class LanguagePackTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { chanset::SetApplicationDirectory(CHANSET_APP_DIR); }
  void cleanup() {
    CLanguagePack::Release();
    CMessageBox::SetResponder({});
    CMessageBox::ResetCaption();
  }

  void missingPackIsRefused() {
    QVERIFY(!CLanguagePack::Load(QStringLiteral("Klingon")));
    QVERIFY(!CLanguagePack::IsLoaded());
    QVERIFY(CLanguagePack::String(ids::kAppTitle).isEmpty());
    QVERIFY(CLanguagePack::Dialog(ids::kPortSettingDialog).isNull());
  }

  void notAResourceBundleIsRefused() {
    QTemporaryDir dir;
    QFile junk(dir.filePath(QStringLiteral("Junk.rcc")));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("this is not a resource bundle");
    junk.close();
    QVERIFY(!CLanguagePack::LoadFile(junk.fileName()));
    QVERIFY(!CLanguagePack::IsLoaded());
  }

  void strings_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::newRow("en title") << "English" << 57344 << "Chanset";
    QTest::newRow("en 61452") << "English" << 61452 << "All data will be Cleared!";
    QTest::newRow("en 61456") << "English" << 61456
                              << "Error data Value, please input according the step value(6.25K/5k).";
    QTest::newRow("en caution") << "English" << 61458 << "Caution";
    QTest::newRow("en prompt") << "English" << 57664
                               << "Display program information, version number and copyright\nAbout";
    QTest::newRow("zh 61452") << "Chinese" << 61452 << QString::fromUtf8("所有数据将被清除！");
    QTest::newRow("zh ready") << "Chinese" << 57345 << QString::fromUtf8("就绪");
  }
  void strings() {
    QFETCH(QString, language);
    QFETCH(int, id);
    QFETCH(QString, text);
    QVERIFY(CLanguagePack::Load(language));
    QCOMPARE(CLanguagePack::String(id), text);
  }

  void promptSplitsIntoStatusAndTooltip() {
    QVERIFY(CLanguagePack::Load(QStringLiteral("English")));
    QCOMPARE(CLanguagePack::StatusPrompt(ids::kRead), QStringLiteral("Read Data From Radio"));
    QCOMPARE(CLanguagePack::TooltipPrompt(ids::kRead), QStringLiteral("Read"));
  }

  // Every language pack has the same resources, so a pack that misses one
  // is caught here rather than by a user.
  void everyPackIsComplete_data() {
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "English";
    QTest::newRow("Chinese") << "Chinese";
  }
  void everyPackIsComplete() {
    QFETCH(QString, language);
    QVERIFY(CLanguagePack::Load(language));
    for (int id : {100, 101, 130, 131, 132, 134, 136, 138, 144})
      QVERIFY2(!CLanguagePack::Dialog(id).isNull(), qPrintable(QString::number(id)));
    for (int id : {57344, 57345, 61448, 61451, 61452, 61453, 61454, 61456, 61458, 61700, 61701, 61702})
      QVERIFY2(!CLanguagePack::String(id).isEmpty(), qPrintable(QString::number(id)));
    // Every menu command has a two-part prompt.
    for (int menu : {128, 129})
      for (const MenuItem& popup : CLanguagePack::Menu(menu).popups)
        for (const MenuItem& item : popup.items)
          if (!item.separator)
            QVERIFY2(!CLanguagePack::TooltipPrompt(item.id).isEmpty(), qPrintable(QString::number(item.id)));
    for (int id : {128, 129, 131}) QVERIFY(!CLanguagePack::Icon(id).isNull());
    QCOMPARE(CLanguagePack::Bitmap(137).size(), QSize(238, 157));
    // The eight keys of the table, then the nine editing keys.
    QCOMPARE(CLanguagePack::Accelerators(128).size(), 8 + 9);
    // The pack names the locale of Qt's own texts, one Qt knows.
    const QString locale = CLanguagePack::QtLocale();
    QVERIFY(!locale.isEmpty());
    QVERIFY2(QLocale(locale).language() != QLocale::C, qPrintable(locale));
  }

  // A command added to one pack's menus, accelerators or toolbar and
  // forgotten in another would be missing in that language.
  void everyPackOffersTheSameCommands() {
    auto commands = [](const QString& language) {
      QStringList found;
      if (!CLanguagePack::Load(language)) return QStringList({QStringLiteral("no pack")});
      for (int menu : {ids::kMainMenu, ids::kDocMenu})
        for (const MenuItem& popup : CLanguagePack::Menu(menu).popups)
          for (const MenuItem& item : popup.items) found << QStringLiteral("menu %1: %2").arg(menu).arg(item.id);
      for (const Accelerator& acc : CLanguagePack::Accelerators(ids::kAccelerators))
        found << QStringLiteral("key %1: %2").arg(acc.key.toString()).arg(acc.id);
      for (int id : CLanguagePack::Toolbar(ids::kToolbar).buttons) found << QStringLiteral("button %1").arg(id);
      return found;
    };
    const QStringList english = commands(QStringLiteral("English"));
    QVERIFY(english.size() > 30);
    QCOMPARE(commands(QStringLiteral("Chinese")), english);
  }

  void menusAsTabled() {
    QVERIFY(CLanguagePack::Load(QStringLiteral("English")));
    MenuTemplate m128 = CLanguagePack::Menu(128);
    QCOMPARE(m128.popups.size(), 3);
    QCOMPARE(m128.popups[0].text, QStringLiteral("&File"));
    QCOMPARE(m128.popups[0].items.size(), 6);
    QVERIFY(m128.popups[0].items[2].separator);
    QCOMPARE(m128.popups[0].items[3].id, 57606);
    MenuTemplate m129 = CLanguagePack::Menu(129);
    QStringList titles;
    for (const MenuItem& p : m129.popups) titles << p.text;
    QCOMPARE(titles, QStringList({"&File", "&Edit", "&Program", "&View", "&Setup", "&Help"}));
    QCOMPARE(m129.popups[2].items[0].text, QStringLiteral("&Read    Ctrl+R"));
    QCOMPARE(m129.popups[4].items[1].id, 32799);
    QCOMPARE(m129.popups[5].items[0].id, 57664);
  }

  void acceleratorsAndToolbar() {
    QVERIFY(CLanguagePack::Load(QStringLiteral("English")));
    QVector<Accelerator> acc = CLanguagePack::Accelerators(128);
    QCOMPARE(acc.first().key, QKeySequence(QStringLiteral("Ctrl+N")));
    QCOMPARE(acc[7].key, QKeySequence(QStringLiteral("Shift+F6")));
    QCOMPARE(acc[7].id, 57681);
    // Added after the table's own keys: the editing commands.
    QStringList added;
    for (int i = 8; i < acc.size(); ++i) added << QStringLiteral("%1=%2").arg(acc[i].key.toString()).arg(acc[i].id);
    QCOMPARE(added, QStringList({"Ctrl+Z=32800", "Ctrl+Y=32801", "Ctrl+Shift+Z=32801", "Ctrl+X=32802",
                                 "Ctrl+C=32803", "Ctrl+V=32804", "Del=32805", "Alt+Up=32806",
                                 "Alt+Down=32807"}));
    ToolbarTemplate tb = CLanguagePack::Toolbar(128);
    QCOMPARE(tb.buttonSize, QSize(18, 19));
    QCOMPARE(tb.buttons.count(0), 3);
    QCOMPARE(tb.buttons.size() - tb.buttons.count(0), 7);
    QCOMPARE(tb.image.size(), QSize(7 * 18, 19));
    QCOMPARE(tb.ButtonImage(6).size(), QSize(18, 19));
    QVERIFY(tb.ButtonImage(7).isNull());
    // The colour key leaves the corners of the buttons transparent.
    QCOMPARE(qAlpha(tb.ButtonImage(0).toImage().pixel(0, 0)), 0);
  }

  void cursorKeepsItsHotSpot() {
    QVERIFY(CLanguagePack::Load(QStringLiteral("English")));
    QVERIFY(CLanguagePack::HasCursor(132));
    QCursor cursor = CLanguagePack::Cursor(132);
    QCOMPARE(cursor.hotSpot(), QPoint(15, 15));
    QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
    QCOMPARE(CLanguagePack::Cursor(999).shape(), Qt::ArrowCursor);
  }

  void imagesOutliveThePack() {
    QVERIFY(CLanguagePack::Load(QStringLiteral("English")));
    QPixmap tile = CLanguagePack::Bitmap(137);
    QIcon icon = CLanguagePack::Icon(128);
    CLanguagePack::Release();
    QCOMPARE(tile.size(), QSize(238, 157));
    QVERIFY(!icon.pixmap(32, 32).isNull());
    QVERIFY(CLanguagePack::Bitmap(137).isNull());
  }

  // The program's pictures are drawn whole at every size: nothing reaches
  // the top row or the side columns, where a drawing too large is cut off.
  void picturesAreDrawnWhole_data() {
    QTest::addColumn<QString>("file");
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
      const QString dir = QStringLiteral(CHANSET_SOURCE_DIR "/packaging/icons/hicolor/%1x%1/").arg(size);
      QTest::newRow(qPrintable(QStringLiteral("program %1").arg(size))) << dir + QStringLiteral("apps/chanset.png");
      QTest::newRow(qPrintable(QStringLiteral("file type %1").arg(size)))
          << dir + QStringLiteral("mimetypes/application-x-chanset-configuration.png");
    }
    QTest::newRow("window icon") << QStringLiteral(CHANSET_APP_DIR "/title.ico");
  }
  void picturesAreDrawnWhole() {
    QFETCH(QString, file);
    QImageReader reader(file);
    int pictures = 0;
    do {
      const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
      QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
      ++pictures;
      for (int x = 0; x < image.width(); ++x) QCOMPARE(qAlpha(image.pixel(x, 0)), 0);
      for (int y = 0; y < image.height(); ++y) {
        QCOMPARE(qAlpha(image.pixel(0, y)), 0);
        QCOMPARE(qAlpha(image.pixel(image.width() - 1, y)), 0);
      }
    } while (reader.jumpToNextImage());
    QVERIFY(pictures >= 1);
  }

  // Dialog units: x * avgCharWidth / 4, y * charHeight / 8.
  void templateLayout() {
    QVERIFY(CLanguagePack::Load(QStringLiteral("English")));
    QDialog dialog;
    CDialogTemplate layout;
    QVERIFY(layout.Create(&dialog, ids::kPortSettingDialog));
    QSize base = CDialogTemplate::BaseUnitsOf(layout.Font());
    QVERIFY(base.width() > 0 && base.height() > 0);
    auto mapped = [&](int x, int y, int w, int h) {
      return QRect(qRound(x * base.width() / 4.0), qRound(y * base.height() / 8.0),
                   qRound(w * base.width() / 4.0), qRound(h * base.height() / 8.0));
    };
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Port Setting"));
    QCOMPARE(dialog.size(), mapped(0, 0, 227, 134).size());
    auto* ok = layout.Control<QPushButton>(1);
    QVERIFY(ok);
    QVERIFY(ok->isDefault());
    QCOMPARE(ok->geometry(), mapped(58, 105, 35, 14));
    auto* com12 = layout.Control<QRadioButton>(1018);
    QVERIFY(com12);
    QCOMPARE(com12->text(), QStringLiteral("COM12"));
    QCOMPARE(com12->geometry(), mapped(165, 59, 41, 10));
    QCOMPARE(CDialogTemplate::ControlId(com12), 1018);
    QVERIFY(!layout.Control(4242));
    QCOMPARE(layout.Controls().size(), 3 + 16);
    QVERIFY(qobject_cast<QGroupBox*>(layout.Controls()[2]));
  }

  void templateKinds() {
    QVERIFY(CLanguagePack::Load(QStringLiteral("English")));
    QWidget process, options, power, form;
    CDialogTemplate p, o, w, f;
    QVERIFY(p.Create(&process, ids::kProcessDialog));
    QVERIFY(p.Control<QProgressBar>(1001));
    auto* counter = p.Control<QLabel>(1009);
    QVERIFY(counter);
    QCOMPARE(counter->text(), QStringLiteral("0"));
    QVERIFY(counter->alignment() & Qt::AlignHCenter);

    QVERIFY(o.Create(&options, ids::kOptionalFeaturesDialog));
    auto* vox = o.Control<QComboBox>(1007);
    QVERIFY(vox);
    QCOMPARE(vox->count(), 2);
    QCOMPARE(vox->itemText(0), QStringLiteral("On"));
    QCOMPARE(o.Control<QComboBox>(1116)->count(), 10);

    QVERIFY(w.Create(&power, ids::kPowerAdjustDialog));
    auto* edit = w.Control<QLineEdit>(1033);
    QVERIFY(edit);
    QVERIFY(edit->isHidden());
    QVERIFY(edit->hasFrame());

    // A factory supplies the controls the helper has no widget for.
    int asked = 0;
    QVERIFY(f.Create(&form, ids::kChannelForm, [&](const DialogControl& c, QWidget* parent) -> QWidget* {
      if (c.kind != QLatin1String("grid")) return nullptr;
      ++asked;
      return new QLabel(QStringLiteral("grid"), parent);
    }));
    QCOMPARE(asked, 1);
    QCOMPARE(f.Control<QLabel>(1000)->text(), QStringLiteral("grid"));
    QCOMPARE(form.size(), f.PixelSize());
  }

  void staticAccessKeys() {
    QVERIFY(CLanguagePack::Load(QStringLiteral("English")));
    QDialog about;
    CDialogTemplate layout;
    QVERIFY(layout.Create(&about, ids::kAboutDialog));
    layout.SetText(1002, QStringLiteral("V&1"));    // no prefix: shown as it is
    layout.SetText(1003, QStringLiteral("A&B&&C"));  // prefix: B underlined, && shows &
    auto* version = layout.Control<QLabel>(1002);
    auto* copyright = layout.Control<QLabel>(1003);
    QCOMPARE(version->textFormat(), Qt::PlainText);
    QCOMPARE(version->text(), QStringLiteral("V&1"));
    QCOMPARE(copyright->textFormat(), Qt::RichText);
    QCOMPARE(copyright->text(), QStringLiteral("A<u>B</u>&amp;C"));
  }

  void messageBoxRules_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("shown");
    QTest::newRow("ok default") << int(CMessageBox::Ok) << int(CMessageBox::Default) << int(CMessageBox::Exclamation);
    QTest::newRow("okcancel default") << int(CMessageBox::OkCancel) << int(CMessageBox::Default)
                                      << int(CMessageBox::Exclamation);
    QTest::newRow("retry default") << int(CMessageBox::RetryCancel) << int(CMessageBox::Default)
                                   << int(CMessageBox::NoIcon);
    QTest::newRow("ok none") << int(CMessageBox::Ok) << int(CMessageBox::NoIcon) << int(CMessageBox::NoIcon);
    QTest::newRow("retry stop") << int(CMessageBox::RetryCancel) << int(CMessageBox::Stop) << int(CMessageBox::Stop);
  }
  void messageBoxRules() {
    QFETCH(int, buttons);
    QFETCH(int, asked);
    QFETCH(int, shown);
    CMessageBox::Request seen;
    CMessageBox::SetResponder([&](const CMessageBox::Request& r) {
      seen = r;
      return int(CMessageBox::IdCancel);
    });
    int answer = CMessageBox::Show(nullptr, QStringLiteral("text"), CMessageBox::Buttons(buttons),
                                   CMessageBox::Icon(asked));
    QCOMPARE(answer, int(CMessageBox::IdCancel));
    QCOMPARE(int(seen.icon), shown);
    QCOMPARE(seen.text, QStringLiteral("text"));
    QCOMPARE(int(seen.buttons), buttons);
  }

  void messageBoxCaption() {
    QStringList captions;
    CMessageBox::SetResponder([&](const CMessageBox::Request& r) {
      captions << r.caption;
      return int(CMessageBox::IdOk);
    });
    CMessageBox::Show(nullptr, QStringLiteral("a"));
    CMessageBox::SetCaption(QStringLiteral("ACME Radio"));
    CMessageBox::Show(nullptr, QStringLiteral("b"));
    CMessageBox::Show(nullptr, QStringLiteral("c"), CMessageBox::Ok, CMessageBox::Default, QStringLiteral("Caution"));
    CMessageBox::ResetCaption();
    CMessageBox::Show(nullptr, QStringLiteral("d"));
    QCOMPARE(captions, QStringList({"Chanset", "ACME Radio", "Caution", "Chanset"}));
  }
};

QTEST_MAIN(LanguagePackTest)
#include "language_pack_test.moc"
