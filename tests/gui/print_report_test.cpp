// The printed report on paper (a PDF here): the pages and their texts, the
// printing commands of the main window and the command-line print switches.
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <cerrno>
#include <cstring>

#include "ShellTestSupport.h"
#include "app/CChansetApp.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "data/ChannelCodec.h"
#include "data/DatFile.h"
#include "editor/CChansetView.h"
#include "platform/ResourceIds.h"
#include "print/CReportPrinter.h"
#include "print/PrintCommands.h"

namespace {

QString Ini(const QString& language) {
  QString ini = IniIn(language);
  ini.replace(QStringLiteral("About Title=&About Chanset...\n"),
              QStringLiteral("About Title=&About Chanset...\nCopyrights Owner=Kestrel Ridge Radio Co.\n"));
  ini.replace(QStringLiteral("About Title=关于 Chanset(&A)...\n"),
              QStringLiteral("About Title=关于 Chanset(&A)...\nCopyrights Owner=隼岭无线电有限公司\n"));
  return ini;
}

// A configuration file whose listed channels have receive frequencies.
QByteArray DatWithChannels(const QList<int>& channels) {
  chanset::Image image = chanset::NewImage();
  for (int ch : channels) {
    std::uint8_t* record = image.data() + chanset::off::channel(ch);
    chanset::EncodeFrequency(QString::asprintf("%d.%05d", 440 + ch, 12500).toStdString(), record);
    chanset::EncodeFrequency(QString::asprintf("%d.%05d", 440 + ch, 25000).toStdString(), record + 4);
    record[chanset::off::kFlagsA] = chanset::kBusyCarrier;  // busy lock: not printed
    record[chanset::off::kFlagsB] = chanset::kWideBit;      // wide, low power (not printed)
    chanset::SetScanBit(image, ch, ch % 2 == 0);
  }
  QByteArray bytes("S333");
  bytes += QByteArray(12, '\0');
  bytes += QByteArray(reinterpret_cast<const char*>(image.data()), int(image.size()));
  return bytes;
}

// pdftotext's text of a PDF, pages separated by form feeds.
QString PdfText(const QString& pdf, const QStringList& extra = {}) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), QStringList(extra) << QStringLiteral("-layout") << pdf << QStringLiteral("-"));
  if (!p.waitForFinished(30000) || p.exitCode() != 0) return QString();
  return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList Pages(const QString& text) {
  QStringList pages = text.split(QLatin1Char('\f'));
  if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
  return pages;
}

QString Squeeze(const QString& s) { return s.simplified(); }

}  // namespace

class PrintReportTest : public QObject {
  Q_OBJECT

  std::unique_ptr<AppDirFixture> fx;
  std::unique_ptr<BoxRecorder> boxes;
  std::unique_ptr<FileDialogRecorder> files;
  std::unique_ptr<CChansetApp> app;
  CMainFrame* frame = nullptr;

  // A fresh application directory in `language`; Launch starts the program.
  void Prepare(const QString& language) {
    cleanup();
    fx = std::make_unique<AppDirFixture>();
    fx->WriteIni(Ini(language));
    fx->CopyPack(language);
    boxes = std::make_unique<BoxRecorder>();
    files = std::make_unique<FileDialogRecorder>();
  }
  void Launch(const QStringList& args = {}, CChansetApp::StartResult expected = CChansetApp::StartResult::Ok) {
    app = std::make_unique<CChansetApp>();
    QCOMPARE(app->InitInstance(args), expected);
    frame = app->MainFrame();
  }
  void Start(const QString& language) {
    Prepare(language);
    Launch();
  }

  QString Dat(const QList<int>& channels) {
    QString path = fx->WorkPath(QStringLiteral("radio.dat"));
    AppDirFixture::WriteFile(path, DatWithChannels(channels));
    return path;
  }

  static bool HavePrinters() { return !QPrinterInfo::availablePrinters().isEmpty(); }

 private slots:
  void cleanup() {
    app.reset();
    files.reset();
    boxes.reset();
    fx.reset();
  }

  void pagesAndTexts_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QList<int>>("channels");
    QTest::addColumn<QStringList>("expected");  // one line of words per page
    QTest::newRow("none") << "English" << QList<int>{}
                          << QStringList{"Option Function Time Out Time: 45s Squelch Level: 5 "
                                         "Voice Annunication: Chinese Vox Delay Time: 0.3s Vox Gain Level: 5 "
                                         "Battery Saver: On Beep: On Kestrel Ridge Radio Co. Page 1 of 1"};
    QTest::newRow("3 and 10") << "English" << QList<int>{3, 10}
                              << QStringList{"Page 1 of 2",
                                             "Channel Channel 3: Receive Frequency: 443.12500 Transceive Frequency: "
                                             "443.25000 QT/DQT Decode: None QT/DQT Encode: None W/N: Wide "
                                             "Scan: No Channel 10: Receive Frequency: 450.12500"};
    QTest::newRow("nine") << "English" << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}
                          << QStringList{"Page 1 of 3", "Channel 8: Receive Frequency: 448.12500",
                                         "Channel Channel 9: Receive Frequency: 449.12500"};
    QTest::newRow("Chinese") << "Chinese" << QList<int>{3}
                             << QStringList{"可选功能 功能 超时定时器: 45s 静噪电平: 5 语音报号: 中文",
                                            "信道 信道3: 接收频率: 443.12500 发射频率: 443.25000"};
  }
  void pagesAndTexts() {
    QFETCH(QString, language);
    QFETCH(QList<int>, channels);
    QFETCH(QStringList, expected);
    Start(language);
    QVERIFY(app->OpenDocumentFile(Dat(channels)));
    QString pdf = fx->WorkPath(QStringLiteral("report.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    QCOMPARE(PrintReportDirect(frame, frame->ActiveView(), &printer), PrintOutcome::Printed);
    const QStringList pages = Pages(PdfText(pdf));
    QCOMPARE(pages.size(), 1 + (channels.size() + 7) / 8);
    for (int i = 0; i < expected.size(); ++i)
      QVERIFY2(Squeeze(pages[i]).contains(expected[i]), qPrintable(Squeeze(pages[i])));
    // Busy lock and power are not printed.
    for (const QString& page : pages)
      QVERIFY(!page.contains(QStringLiteral("Carrier")) && !page.contains(QStringLiteral("Low")) &&
              !page.contains(QStringLiteral("载波")) && !page.contains(QStringLiteral("低")));
  }

  // Where the texts land: "Option" at (6u, L) and the page text at
  // (45u, 36L) from the top-left of the printable area.
  void positionsOnThePage() {
    Start(QStringLiteral("English"));
    QString pdf = fx->WorkPath(QStringLiteral("report.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    QCOMPARE(PrintReportDirect(frame, frame->ActiveView(), &printer), PrintOutcome::Printed);
    const QSize area = CReportPrinter::PrintableTwips(&printer);
    const CReportPrinter::Fonts fonts = CReportPrinter::MakeFonts(area.width(), area.height(), &printer);
    const double u = area.width() / 66;
    const double L = fonts.metrics.headingLine;
    const QRectF paint = printer.pageLayout().paintRect(QPageLayout::Point);

    const QString html = PdfText(pdf, {QStringLiteral("-bbox")});
    auto wordBox = [&](const QString& word) {
      QRegularExpression re(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" "
                                           "yMax=\"([0-9.]+)\">") + QRegularExpression::escape(word) +
                            QStringLiteral("</word>"));
      QRegularExpressionMatch m = re.match(html);
      return m.hasMatch() ? QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                   QPointF(m.captured(1).toDouble() + 1, m.captured(3).toDouble()))
                          : QRectF();
    };
    // 20 twips to the point; the text's box starts at its top, within a
    // point or two of the font's ascent line.
    const QRectF option = wordBox(QStringLiteral("Option"));
    QVERIFY(!option.isNull());
    QVERIFY2(qAbs(option.left() - (paint.left() + 6 * u / 20)) < 2, qPrintable(QString::number(option.left())));
    QVERIFY2(qAbs(option.top() - (paint.top() + L / 20)) < 3, qPrintable(QString::number(option.top())));
    const QRectF page = wordBox(QStringLiteral("Page"));
    QVERIFY(!page.isNull());
    QVERIFY2(qAbs(page.left() - (paint.left() + 45 * u / 20)) < 2, qPrintable(QString::number(page.left())));
    QVERIFY2(qAbs(page.top() - (paint.top() + 36 * L / 20)) < 3, qPrintable(QString::number(page.top())));
    // The page ends below the footer.
    QVERIFY(page.bottom() < paint.bottom());
  }

  // The fonts ask for a cell of H / 45 twips, the body font for 0.8 of it.
  void fontSizes() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QSize area = CReportPrinter::PrintableTwips(&printer);
    QVERIFY(area.width() > 10000 && area.height() > 14000);
    const CReportPrinter::Fonts fonts = CReportPrinter::MakeFonts(area.width(), area.height(), &printer);
    const QFontMetricsF heading(fonts.heading, &printer), body(fonts.body, &printer);
    const double headingCell = area.height() / 45;
    QVERIFY2(qAbs(heading.ascent() + heading.descent() - headingCell) <= headingCell * 0.03,
             qPrintable(QString::number(heading.ascent() + heading.descent())));
    QVERIFY(qAbs(body.ascent() + body.descent() - int(headingCell * 0.8)) <= headingCell * 0.03);
    QVERIFY(fonts.metrics.headingLine >= headingCell * 0.97);
    QVERIFY(fonts.metrics.bodyLine < fonts.metrics.headingLine);
    QCOMPARE(QFontInfo(fonts.heading).family(), QStringLiteral("Liberation Serif"));
  }

  void printCommandWithoutPrinterWritesChosenPdf() {
    if (HavePrinters()) QSKIP("a printer is installed: Print shows the print dialog");
    Start(QStringLiteral("English"));
    QVERIFY(app->OpenDocumentFile(Dat({1, 2, 3, 4, 5, 6, 7, 8, 9})));
    QString pdf = fx->WorkPath(QStringLiteral("chosen.pdf"));
    files->answers << pdf;
    // Print Setup's choices stay with the application's printer.
    ApplicationPrinter(frame)->setPageOrientation(QPageLayout::Landscape);
    frame->OnCommand(ids::kFilePrint);
    QCOMPARE(files->seen.size(), 1);
    QCOMPARE(files->seen[0].mode, CFileDialog::Save);
    QCOMPARE(files->seen[0].caption, QStringLiteral("Print to PDF File"));
    QCOMPARE(files->seen[0].suggested, fx->WorkPath(QStringLiteral("radio.pdf")));
    QVERIFY(boxes->seen.isEmpty());
    QCOMPARE(Pages(PdfText(pdf)).size(), 3);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY(info.waitForFinished(30000));
    QVERIFY2(info.readAllStandardOutput().contains("842 x 595"), "landscape A4 expected");

    // Cancel prints nothing and says nothing; the next print asks again.
    QFile::remove(pdf);
    frame->OnCommand(ids::kFilePrintDirect);
    QCOMPARE(files->seen.size(), 2);
    QVERIFY(!QFile::exists(pdf));
    QVERIFY(boxes->seen.isEmpty());
  }

  void unwritablePdfIsReported() {
    if (HavePrinters()) QSKIP("a printer is installed");
    Start(QStringLiteral("English"));
    QString pdf = fx->WorkPath(QStringLiteral("missing-folder/out.pdf"));
    files->answers << pdf;
    frame->OnCommand(ids::kFilePrint);
    QCOMPARE(boxes->seen.size(), 1);
    QCOMPARE(boxes->seen[0].text, QStringLiteral("Could not print to %1.\n%2")
                                      .arg(QDir::toNativeSeparators(pdf), QString::fromUtf8(std::strerror(ENOENT))));
  }

  void previewShowsEveryPage() {
    Start(QStringLiteral("English"));
    QVERIFY(app->OpenDocumentFile(Dat({2, 4, 6, 8, 10, 12, 14, 16, 15})));
    int pages = -1;
    QTimer::singleShot(0, this, [&] {
      auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
      if (!preview) return;
      auto* widget = preview->findChild<QPrintPreviewWidget*>();
      pages = widget ? widget->pageCount() : -2;
      preview->reject();
    });
    frame->OnCommand(ids::kFilePrintPreview);
    QCOMPARE(pages, 3);
  }

  void printSetupUsesTheApplicationPrinter() {
    Start(QStringLiteral("English"));
    QVERIFY(frame->IsCommandEnabled(ids::kFilePrint));
    // An application command: available without a document window.
    frame->DestroyDocumentWindow(frame->ActiveChildFrame());
    QVERIFY(!frame->IsCommandEnabled(ids::kFilePrint));
    QVERIFY(frame->IsCommandEnabled(ids::kFilePrintSetup));
    QPrinter* seen = nullptr;
    QTimer::singleShot(0, this, [&] {
      auto* dialog = qobject_cast<QPageSetupDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      seen = dialog->printer();
      dialog->reject();
    });
    frame->OnCommand(ids::kFilePrintSetup);
    QVERIFY(seen);
    QCOMPARE(seen, ApplicationPrinter(frame));
  }

  void commandLinePrintPdfInProcess() {
    Prepare(QStringLiteral("English"));
    QString dat = Dat({3, 10});
    QString pdf = fx->WorkPath(QStringLiteral("out.pdf"));
    Launch({QStringLiteral("--print-pdf"), dat, pdf}, CChansetApp::StartResult::Printed);
    QVERIFY(!frame->isVisible());
    QCOMPARE(Pages(PdfText(pdf)).size(), 2);
  }

  void commandLineUnknownPrinter() {
    Prepare(QStringLiteral("English"));
    QString dat = Dat({3});
    Launch({QStringLiteral("/pt"), dat, QStringLiteral("No Such Printer 42")}, CChansetApp::StartResult::CommandFailed);
    QCOMPARE(boxes->seen.size(), 1);
    QCOMPARE(boxes->seen[0].text, QStringLiteral("The printer \"No Such Printer 42\" is not installed."));
  }

  void commandLineDefaultPrinterWithoutPrinterAsksForPdf() {
    if (HavePrinters()) QSKIP("a printer is installed");
    Prepare(QStringLiteral("English"));
    QString dat = Dat({3});
    QString pdf = fx->WorkPath(QStringLiteral("p.pdf"));
    files->answers << pdf;
    Launch({QStringLiteral("/p"), dat}, CChansetApp::StartResult::Printed);
    QVERIFY(!frame->isVisible());
    QCOMPARE(Pages(PdfText(pdf)).size(), 2);
  }

  // The program itself, as a script runs it.
  void programPrintsPdfAndExits() {
    QTemporaryDir config;
    QString dir = config.path();
    QString dat = dir + QStringLiteral("/radio.dat");
    AppDirFixture::WriteFile(dat, DatWithChannels({1, 2, 3, 4, 5, 6, 7, 8, 9}));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    auto run = [&](const QStringList& args, QByteArray* err) {
      QProcess p;
      p.setProcessEnvironment(env);
      p.start(QStringLiteral(CHANSET_APP_DIR "/Chanset"), args);
      if (!p.waitForFinished(60000)) return -1;
      *err = p.readAllStandardError();
      return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    QByteArray err;
    QString pdf = dir + QStringLiteral("/out.pdf");
    QCOMPARE(run({QStringLiteral("--print-pdf"), dat, pdf}, &err), 0);
    QCOMPARE(Pages(PdfText(pdf)).size(), 3);

    // A file that is not a configuration file: a message on stderr, no PDF.
    QString bad = dir + QStringLiteral("/bad.dat");
    AppDirFixture::WriteFile(bad, QByteArray("not a radio file"));
    QString none = dir + QStringLiteral("/none.pdf");
    QVERIFY(run({QStringLiteral("--print-pdf"), bad, none}, &err) != 0);
    QVERIFY2(err.contains("Data Format Error"), err.constData());
    QVERIFY(!QFile::exists(none));
  }
};

QTEST_MAIN(PrintReportTest)
#include "print_report_test.moc"
