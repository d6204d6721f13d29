// The channel view driven like a user would: real editors, real key and mouse
// events, message boxes answered through the message box's test hook, help
// requests seen through the help service's hook, the registry in a temporary
// folder. With CHANSET_SCREENSHOT_DIR set, the layout test also saves a
// picture of the form in each language there.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

#include "data/CChansetDoc.h"
#include "data/ChannelCodec.h"
#include "data/ChannelWords.h"
#include "data/DatFile.h"
#include "editor/CChansetView.h"
#include "grid/CMSFlexGrid.h"
#include "grid/Twips.h"
#include "platform/AppDir.h"
#include "platform/CHelpService.h"
#include "platform/CLanguagePack.h"
#include "platform/CMessageBox.h"
#include "platform/Globals.h"
#include "platform/UserRegistry.h"
#include "settings/CSettingsFile.h"

using namespace chanset;

namespace {

const char* const kIni =
    "[Setup]\n"
    "Language=English\n"
    "AppName=ChansetViewTest\n"
    "Type1=KRR-15\n"
    "Field1=136-174MHz\n"
    "Type2=KRR-45\n"
    "Field2=400-470MHz|400-430MHz|430-470MHz\n"
    "[English]\n"
    "AppName=Chanset\n"
    "Title=KRR Series Channel Settings\n"
    "[Chinese]\n"
    "AppName=Chanset 写频软件\n"
    "Title=KRR 系列信道设置\n";

// Channel texts by (row, column) for building test images with the encoder.
struct TextTable : CellTexts {
  std::map<std::pair<int, int>, std::string> cells;
  void SetRow(int row, const ChannelTexts& texts) {
    for (int c = 1; c <= 8; ++c) cells[{row, c}] = texts[c - 1];
  }
  std::string Text(int row, int col) const override {
    auto it = cells.find({row, col});
    return it == cells.end() ? std::string() : it->second;
  }
};

const ChannelTexts kCh1{"446.00625", "446.00625", "None", "None", "Wide", "Yes", "Off", "High"};
const ChannelTexts kCh2{"446.01250", "447.50000", "D023N", "88.5", "Narrow", "No", "Carrier", "Low"};
const ChannelTexts kCh5{"430.02500", "430.02500", "D754I", "254.1", "Wide", "No", "QT/DQT", "Middle"};

QStringList RowTexts(const CMSFlexGrid* grid, int row) {
  QStringList texts;
  for (int c = 1; c <= 8; ++c) texts << grid->GetTextMatrix(row, c);
  return texts;
}

QStringList ToList(const ChannelTexts& texts) {
  QStringList list;
  for (const std::string& t : texts) list << QString::fromStdString(t);
  return list;
}

QWidget* Focused() { return QApplication::focusWidget(); }

void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QWidget* w = Focused();
  QVERIFY(w);
  QTest::keyClick(w, Qt::Key(key), mods);
}

void Type(const QString& text) {
  QWidget* w = Focused();
  QVERIFY(w);
  QTest::keyClicks(w, text);
}

}  // namespace

class ChannelViewTest : public QObject {
  Q_OBJECT

  QTemporaryDir m_tmp;
  std::unique_ptr<CChansetDoc> m_doc;
  std::unique_ptr<CChansetView> m_view;
  QList<CMessageBox::Request> m_boxes;
  QStringList m_titles;

  QString TmpPath(const QString& name) const { return m_tmp.filePath(name); }

  void UseLanguage(const QString& language) {
    SetLanguage(language.toStdString());
    QVERIFY(CLanguagePack::Load(language));
  }

  // Writes a .dat file holding the given channels, type and band.
  QString WriteFile(const QString& name, const std::map<int, ChannelTexts>& channels,
                    int type, int band) {
    Image image = NewImage();
    TextTable table;
    for (const auto& [row, texts] : channels) table.SetRow(row, texts);
    EncodeChannels(table, image);
    image[off::kRadioType] = static_cast<std::uint8_t>(type);
    image[off::kBand] = static_cast<std::uint8_t>(band);
    const QString path = TmpPath(name);
    std::string err;
    if (StoreDatFile(path.toStdString(), image, &err) != DatError::None) qWarning() << err.c_str();
    return path;
  }

  void ShowView() {
    m_view = std::make_unique<CChansetView>(m_doc.get());
    connect(m_view.get(), &CChansetView::titleChanged, this,
            [this](const QString& t) { m_titles << t; });
    m_view->OnInitialUpdate();
    m_view->resize(m_view->sizeHint());
    m_view->show();
    m_view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
  }

  void OpenView(const QString& path) {
    m_doc = std::make_unique<CChansetDoc>();
    QCOMPARE(m_doc->OnOpenDocument(path), DatError::None);
    ShowView();
  }

  void NewView() {
    m_doc = std::make_unique<CChansetDoc>();
    QVERIFY(m_doc->OnNewDocument());
    ShowView();
  }

  CMSFlexGrid* Grid() const { return m_view->Grid(); }

  // Presses the left button on cell (row, col) of the grid.
  void ClickCell(int row, int col) {
    CMSFlexGrid* grid = Grid();
    QPoint p(TwipsToPixels(grid->GetColPos(col), grid->DpiX()) + 6,
             TwipsToPixels(grid->GetRowPos(row), grid->DpiY()) + 5);
    QWidget* target = grid->childAt(p);
    QVERIFY(target);
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(grid, p));
  }

  QLineEdit* OpenTextEditor(int row, int col) {
    ClickCell(row, col);
    auto* edit = qobject_cast<QLineEdit*>(m_view->EditorOfColumn(col));
    if (!edit || !edit->isVisible()) return nullptr;
    return edit;
  }

  static std::uint32_t RegistryValue(const char* name) {
    return UserRegistry::ReadDword(AppRegistryKey(), name, 999);
  }

 private slots:
  void initTestCase() {
    QVERIFY(m_tmp.isValid());
    qputenv("XDG_CONFIG_HOME", m_tmp.filePath(QStringLiteral("config")).toUtf8());
    SetApplicationDirectory(CHANSET_APP_DIR);
    QFile ini(TmpPath(QStringLiteral("Chanset.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(kIni);
    ini.close();
    QVERIFY(g_settingsFile().LoadPath(ini.fileName().toStdString(), false, true, false));
  }

  void init() {
    UseLanguage(QStringLiteral("English"));
    m_boxes.clear();
    m_titles.clear();
    CMessageBox::SetResponder([this](const CMessageBox::Request& r) {
      m_boxes << r;
      return int(CMessageBox::IdOk);
    });
    CHelpService::ClearLastRequest();
    WriteTypeAndBand(0, 0);
  }

  void cleanup() {
    m_view.reset();
    m_doc.reset();
    CMessageBox::SetResponder({});
  }

  void formLayoutInBothLanguages_data() {
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "English";
    QTest::newRow("Chinese") << "Chinese";
  }

  void formLayoutInBothLanguages() {
    QFETCH(QString, language);
    UseLanguage(language);
    const bool zh = g_bChinese;
    OpenView(WriteFile(QStringLiteral("layout.dat"), {{1, kCh1}, {2, kCh2}, {5, kCh5}}, 1, 0));
    CMSFlexGrid* grid = Grid();
    QCOMPARE(grid->GetRows(), 17);
    QCOMPARE(grid->GetCols(), 9);
    QCOMPARE(grid->GetForeColorFixed(), QColor(0, 50, 240));
    for (int c = 0; c < 9; ++c) {
      QCOMPARE(grid->GetTextMatrix(0, c), QString::fromUtf8(kColumnTitles[c].In(zh)));
      QCOMPARE(grid->GetColAlignment(c), 4);
    }
    QCOMPARE(grid->GetTextMatrix(1, 0), QStringLiteral(" 1"));
    QCOMPARE(grid->GetTextMatrix(16, 0), QStringLiteral("16"));
    auto* title = m_view->findChild<QLabel*>(QStringLiteral("control1006"));
    QVERIFY(title);
    QCOMPARE(title->text(), zh ? QStringLiteral("KRR 系列信道设置")
                               : QStringLiteral("KRR Series Channel Settings"));
    QCOMPARE(title->font().pointSize(), 12);

    // Widths: W, then its shares; every title and a full frequency fit.
    const int dpi = grid->DpiX();
    const double factors[] = {0.51, 1.2, 1.2, 1.2, 1.2, 1.0, 0.8, 1.0, 0.8};
    int total = 0;
    const int w = TwipsToPixels(grid->GetColWidth(1), dpi) * 10 / 12;  // about W in pixels
    for (int c = 0; c < 9; ++c) {
      const int px = TwipsToPixels(grid->GetColWidth(c), dpi);
      QVERIFY2(qAbs(px - factors[c] * w) <= 2, qPrintable(QStringLiteral("column %1").arg(c)));
      total += px;
      const int need = grid->fontMetrics().horizontalAdvance(grid->GetTextMatrix(0, c)) + 4;
      QVERIFY2(px >= need, qPrintable(grid->GetTextMatrix(0, c)));
    }
    QVERIFY(TwipsToPixels(grid->GetColWidth(1), dpi) >=
            grid->fontMetrics().horizontalAdvance(QStringLiteral("446.00625")) + 6);
    QVERIFY(total <= grid->width() - 4);
    int height = 0;
    for (int r = 0; r < 17; ++r) height += TwipsToPixels(grid->GetRowHeight(r), grid->DpiY());
    QVERIFY(height <= grid->height() - 4);
    QVERIFY(!m_view->windowIcon().isNull());

    // The decoded channels; empty rows stay empty.
    QCOMPARE(RowTexts(grid, 2), ToList(DecodeChannel(m_doc->Image(), 2, zh)));
    QCOMPARE(grid->GetTextMatrix(2, 5), QString::fromUtf8(words::kNarrow.In(zh)));
    QCOMPARE(RowTexts(grid, 3), QStringList(8, QString()));

    // The lists in the language.
    auto* dec = qobject_cast<QComboBox*>(m_view->EditorOfColumn(3));
    auto* power = qobject_cast<QComboBox*>(m_view->EditorOfColumn(8));
    QCOMPARE(dec->count(), 264);
    QCOMPARE(dec->itemText(0), QString::fromUtf8(words::kNone.In(zh)));
    QCOMPARE(power->itemText(2), QString::fromUtf8(words::kLow.In(zh)));

    // The title line is drawn in red.
    const QImage shot = m_view->grab().toImage();
    int red = 0;
    for (int y = title->y(); y < title->y() + title->height(); ++y)
      for (int x = title->x(); x < title->x() + title->width(); ++x) {
        const QColor c = shot.pixelColor(x, y);
        if (c.red() > 200 && c.green() < 90 && c.blue() < 90) ++red;
      }
    QVERIFY(red > 20);
    const QString dir = qEnvironmentVariable("CHANSET_SCREENSHOT_DIR");
    if (!dir.isEmpty()) QVERIFY(shot.save(dir + QStringLiteral("/channel-view-%1.png").arg(language)));
  }

  // In a sub-window: the frame shrinks to the form, never grows, and takes
  // the icon.
  void frameFitsTheFormShrinkingOnly() {
    m_doc = std::make_unique<CChansetDoc>();
    QVERIFY(m_doc->OnNewDocument());
    QMdiArea area;
    area.resize(1400, 900);
    auto* view = new CChansetView(m_doc.get());
    QMdiSubWindow* frame = area.addSubWindow(view);
    area.show();
    frame->resize(1300, 850);
    view->OnInitialUpdate();
    QVERIFY(frame->width() < 1300 && frame->height() < 850);
    QCOMPARE(frame->size(), frame->sizeHint());
    QVERIFY(view->width() >= view->sizeHint().width());
    QVERIFY(!frame->windowIcon().isNull());
    frame->resize(300, 200);
    view->OnInitialUpdate();
    QCOMPARE(frame->size(), QSize(300, 200));
  }

  void refreshAppliesTypeAndBand_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("band");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::newRow("UHF third band") << "English" << 1 << 2
                                    << "Chanset  [ Type:KRR-45  Fre:430-470MHz ]" << 43000000
                                    << 47100000;
    QTest::newRow("band past the list") << "English" << 1 << 5
                                        << "Chanset  [ Type:KRR-45  Fre:430-470MHz ]"
                                        << 43000000 << 47100000;
    QTest::newRow("VHF") << "English" << 0 << 0 << "Chanset  [ Type:KRR-15  Fre:136-174MHz ]"
                         << 13600000 << 17500000;
    QTest::newRow("Chinese") << "Chinese" << 1 << 1
                             << "Chanset 写频软件  [ 类型:KRR-45  频率:400-430MHz ]" << 40000000
                             << 43100000;
    QTest::newRow("unknown type") << "English" << 7 << 0 << "Chanset  [ Type:  Fre: ]" << 0
                                  << 100000;
  }

  void refreshAppliesTypeAndBand() {
    QFETCH(QString, language);
    QFETCH(int, type);
    QFETCH(int, band);
    QFETCH(QString, title);
    QFETCH(int, lower);
    QFETCH(int, upper);
    UseLanguage(language);
    OpenView(WriteFile(QStringLiteral("band.dat"), {{1, kCh1}}, type, band));
    QCOMPARE(m_titles, QStringList{title});
    QCOMPARE(QString::fromStdString(g_strTitle), title);
    QCOMPARE(m_view->Limits().lower, lower);
    QCOMPARE(m_view->Limits().upper, upper);
    // A loaded image hands its bytes to the registry, as they are.
    QCOMPARE(RegistryValue("Type"), std::uint32_t(type));
    QCOMPARE(RegistryValue("Field"), std::uint32_t(band));
  }

  void freshDocumentTakesRegistry() {
    WriteTypeAndBand(1, 2);
    NewView();
    QCOMPARE(m_doc->Image()[off::kRadioType], 1);
    QCOMPARE(m_doc->Image()[off::kBand], 2);
    QCOMPARE(m_titles, QStringList{QStringLiteral("Chanset  [ Type:KRR-45  Fre:430-470MHz ]")});
    QCOMPARE(m_view->Limits().lower, 43000000);
    for (int r = 1; r <= 16; ++r) QCOMPARE(RowTexts(Grid(), r), QStringList(8, QString()));
  }

  // The whole table typed with the keyboard alone, then saved.
  void typingSixteenChannelsWithTheKeyboard() {
    NewView();  // registry 0, 0: KRR-15, 136-174MHz
    CMSFlexGrid* grid = Grid();
    grid->setFocus();
    QTRY_VERIFY(Focused());
    // Ctrl+End goes to the last cell, Enter there wraps to the first one.
    Key(Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(grid->GetRow(), 16);
    QCOMPARE(grid->GetCol(), 8);
    Key(Qt::Key_Return);
    QCOMPARE(grid->GetRow(), 1);
    QCOMPARE(grid->GetCol(), 1);
    QCOMPARE(Focused(), m_view->EditorOfColumn(1));

    std::vector<ChannelTexts> expected(17);
    for (int r = 1; r <= 16; ++r) {
      const QString rx = QString::asprintf("%.5f", 136.0 + r * 0.0125);
      QCOMPARE(Focused(), m_view->EditorOfColumn(1));
      Type(QString::number(136.0 + r * 0.0125, 'f', 4));
      Key(Qt::Key_Return);
      QCOMPARE(grid->GetCol(), 2);
      ChannelTexts row{rx.toStdString(), rx.toStdString(), "None", "None",
                       "Wide", "Yes", "Off", "High"};
      if (r % 4 == 0) {  // a split channel
        Type(QStringLiteral("150.005"));
        row[1] = "150.00500";
      }
      Key(Qt::Key_Return);
      for (int col = 3; col <= 8; ++col) {
        QCOMPARE(grid->GetCol(), col);
        if (r % 3 == 0 && col == 5) {  // Narrow: one step down the list
          Key(Qt::Key_Down);
          row[4] = "Narrow";
        }
        if (r % 5 == 0 && col == 8) {  // Low: two steps down
          Key(Qt::Key_Down);
          Key(Qt::Key_Down);
          row[7] = "Low";
        }
        if (r == 7 && col == 3) {  // a DCS code
          Key(Qt::Key_End);
          row[2] = "D754I";
        }
        Key(Qt::Key_Return);
      }
      expected[r] = row;
      QCOMPARE(RowTexts(grid, r), ToList(row));
    }
    // Back at the start after the last row.
    QCOMPARE(grid->GetRow(), 1);
    QCOMPARE(grid->GetCol(), 1);
    QVERIFY(m_boxes.isEmpty());
    QVERIFY(m_doc->IsModified());

    const QString path = TmpPath(QStringLiteral("typed.dat"));
    QCOMPARE(m_doc->OnSaveDocument(path), DatError::None);
    Image saved{};
    QCOMPARE(LoadDatFile(path.toStdString(), saved), DatError::None);
    for (int r = 1; r <= 16; ++r) QCOMPARE(ToList(DecodeChannel(saved, r, false)), ToList(expected[r]));
  }

  void refusedEntryKeepsTheOldValue_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<int>("message");
    QTest::newRow("Rx above range, Enter") << 2 << 1 << "471.005" << true << 61448;
    QTest::newRow("Rx off step, leaving") << 2 << 1 << "446.00312" << false << 61456;
    QTest::newRow("Tx off step, leaving") << 2 << 2 << "447.00312" << false << 61456;
    QTest::newRow("Tx below range, Enter") << 2 << 2 << "399.99375" << true << 61448;
    QTest::newRow("not a number, Enter") << 2 << 1 << "abc" << true << 61448;
    QTest::newRow("new row stays empty") << 3 << 1 << "446.00312" << true << 61456;
  }

  void refusedEntryKeepsTheOldValue() {
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, typed);
    QFETCH(bool, byEnter);
    QFETCH(int, message);
    OpenView(WriteFile(QStringLiteral("refuse.dat"), {{1, kCh1}, {2, kCh2}}, 1, 0));
    const QStringList before = RowTexts(Grid(), row);
    QLineEdit* edit = OpenTextEditor(row, col);
    QVERIFY(edit);
    QCOMPARE(edit->text(), Grid()->GetTextMatrix(row, col));
    QCOMPARE(edit->selectedText(), edit->text());
    Type(typed);
    if (byEnter)
      Key(Qt::Key_Return);
    else
      ClickCell(row + 1, 4);
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes[0].text, CLanguagePack::String(message));
    QCOMPARE(m_boxes[0].caption, QStringLiteral("Caution"));
    QCOMPARE(m_boxes[0].icon, CMessageBox::Exclamation);
    QCOMPARE(m_boxes[0].buttons, CMessageBox::Ok);
    QCOMPARE(RowTexts(Grid(), row), before);
    QVERIFY(!edit->isVisible());
    QVERIFY(!m_doc->IsModified());
    if (byEnter) {  // Enter after a refused value does not move
      QCOMPARE(Grid()->GetRow(), row);
      QCOMPARE(Grid()->GetCol(), col);
    }
  }

  // Only an accepted change marks the document.
  void acceptedChangesMarkTheDocument() {
    OpenView(WriteFile(QStringLiteral("accept.dat"), {{1, kCh1}, {2, kCh2}}, 1, 0));
    OpenTextEditor(1, 1);
    Type(QStringLiteral("446.00625"));  // the same value again
    Key(Qt::Key_Return);
    QVERIFY(!m_doc->IsModified());
    OpenTextEditor(2, 1);
    Key(Qt::Key_Delete);  // clearing Rx deletes the channel
    ClickCell(5, 5);
    QCOMPARE(RowTexts(Grid(), 2), QStringList(8, QString()));
    QVERIFY(m_doc->IsModified());
    QVERIFY(m_boxes.isEmpty());
  }

  // Enter from column 8 lands on column 1 of the next row without checking
  // the row it leaves again: a channel outside the band raises no message.
  void enterWalkChecksOnlyTheCellItLeaves() {
    const ChannelTexts vhf{"150.00000", "150.00000", "None", "None", "Wide", "Yes", "Off", "High"};
    OpenView(WriteFile(QStringLiteral("walk.dat"), {{3, vhf}}, 1, 0));  // band 400-470MHz
    ClickCell(3, 8);
    Key(Qt::Key_Return);
    QCOMPARE(Grid()->GetRow(), 4);
    QCOMPARE(Grid()->GetCol(), 1);
    QCOMPARE(Focused(), m_view->EditorOfColumn(1));
    QVERIFY(m_boxes.isEmpty());
    QCOMPARE(RowTexts(Grid(), 3), ToList(vhf));
    QVERIFY(!m_doc->IsModified());
  }

  void dropDownOpensOnTheCellsEntry_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("selected");
    QTest::newRow("None") << 1 << 3 << "None";
    QTest::newRow("DCS") << 2 << 3 << "D023N";
    QTest::newRow("CTCSS") << 2 << 4 << "88.5";
    QTest::newRow("Carrier") << 2 << 7 << "Carrier";
    QTest::newRow("empty row") << 4 << 8 << "High";
  }

  void dropDownOpensOnTheCellsEntry() {
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, selected);
    OpenView(WriteFile(QStringLiteral("lists.dat"), {{1, kCh1}, {2, kCh2}}, 1, 0));
    ClickCell(row, col);
    auto* combo = qobject_cast<QComboBox*>(m_view->EditorOfColumn(col));
    QVERIFY(combo);
    QTRY_VERIFY(combo->isVisible());
    QCOMPARE(combo->currentText(), selected);
    QCOMPARE(Focused(), combo);
    // Placed at the reported corner of the cell, within its grid lines.
    CMSFlexGrid* grid = Grid();
    QCOMPARE(combo->geometry(),
             QRect(TwipsToPixels(grid->GetCellLeft(), grid->DpiX()), TwipsToPixels(grid->GetCellTop(), grid->DpiY()),
                   TwipsToPixels(grid->GetCellWidth(), grid->DpiX()) - grid->GetGridLineWidth(),
                   TwipsToPixels(grid->GetCellHeight(), grid->DpiY()) - grid->GetGridLineWidth()));
    // Only one editor at a time.
    for (int c = 1; c <= 8; ++c)
      if (c != col) QVERIFY(!m_view->EditorOfColumn(c)->isVisible());
  }

  void helpAsksForTheFocusedControl() {
    OpenView(WriteFile(QStringLiteral("help.dat"), {{1, kCh1}}, 1, 0));
    const struct {
      int col;
      int topic;
    } cases[] = {{1, 2127}, {2, 2128}, {3, 2132}, {4, 2133}, {5, 2134}, {6, 2135}, {7, 1130}, {8, 1129}};
    for (const auto& c : cases) {
      ClickCell(1, c.col);
      QTRY_COMPARE(Focused(), m_view->EditorOfColumn(c.col));
      Key(Qt::Key_F1);
      QVERIFY(CHelpService::LastRequest().has_value());
      QCOMPARE(CHelpService::LastRequest()->topic, c.topic);
    }
    Grid()->setFocus();
    QTRY_VERIFY(Grid()->isAncestorOf(Focused()) || Focused() == Grid());
    Key(Qt::Key_F1);
    QCOMPARE(CHelpService::LastRequest()->topic, 1000);
  }

  // The text still in an open editor reaches the file: saving commits it.
  void saveWritesAnEditStillBeingTyped() {
    const QString path =
        WriteFile(QStringLiteral("save.dat"), {{1, kCh1}, {2, kCh2}, {5, kCh5}}, 1, 0);
    OpenView(path);
    QLineEdit* edit = OpenTextEditor(5, 2);
    QVERIFY(edit);
    Type(QStringLiteral("431.5"));
    QCOMPARE(m_doc->OnSaveDocument(path), DatError::None);
    Image saved{};
    QCOMPARE(LoadDatFile(path.toStdString(), saved), DatError::None);
    // Channel 5's Tx bytes: 43150000 in packed BCD, low pair first.
    const std::size_t tx = off::channel(5) + off::kTxFreq;
    QCOMPARE(saved[tx + 0], 0x00);
    QCOMPARE(saved[tx + 1], 0x00);
    QCOMPARE(saved[tx + 2], 0x15);
    QCOMPARE(saved[tx + 3], 0x43);
    ChannelTexts ch5 = kCh5;
    ch5[1] = "431.50000";
    QCOMPARE(ToList(DecodeChannel(saved, 5, false)), ToList(ch5));
    QCOMPARE(ToList(DecodeChannel(saved, 2, false)), ToList(kCh2));
  }
};

QTEST_MAIN(ChannelViewTest)
#include "channel_view_test.moc"
