#include "print/PrintCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include "platform/CCommandHost.h"
#include "data/CChansetDoc.h"
#include "editor/CChansetView.h"
#include "platform/CFileDialog.h"
#include "platform/AtomicFile.h"
#include "platform/CMessageBox.h"
#include "platform/Globals.h"
#include "platform/ResourceIds.h"
#include "print/CReportPrinter.h"
#include "print/PrintMessages.h"

using namespace chanset;

namespace {

// A printer that has no device behind it: Qt's default when no printer is
// installed is a PDF writer without a file.
bool NeedsOutputFile(const QPrinter* printer) {
  return printer->outputFormat() == QPrinter::PdfFormat && printer->outputFileName().isEmpty();
}

QString SuggestedPdfName(const CChansetView* view) {
  const CChansetDoc* doc = view ? view->GetDocument() : nullptr;
  if (doc && !doc->GetPathName().isEmpty()) {
    QFileInfo info(doc->GetPathName());
    return info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral(".pdf"));
  }
  QString base = doc ? doc->GetTitle() : QString();
  if (base.isEmpty()) base = QStringLiteral("Chanset");
  return QDir::current().filePath(base + QStringLiteral(".pdf"));
}

PrintOutcome ReportFailure(QWidget* parent, const QString& target, const std::string& reason = std::string()) {
  QString text = QString::fromUtf8(PrintFailedText(g_bChinese)).arg(target);
  if (!reason.empty()) text += QLatin1Char('\n') + QString::fromStdString(reason);
  CMessageBox::Show(parent, text);
  return PrintOutcome::Failed;
}

PrintOutcome Render(QWidget* parent, CChansetView* view, QPrinter* printer) {
  if (CReportPrinter(view).Print(printer)) return PrintOutcome::Printed;
  const QString target = printer->outputFileName().isEmpty()
                             ? printer->printerName()
                             : QDir::toNativeSeparators(printer->outputFileName());
  return ReportFailure(parent, target);
}

// A PDF file is stored like every other file the program writes (see
// platform/AtomicFile.h): the pages are drawn into a private temporary
// folder first, then the finished file is stored at `path`. So a printer
// never opens `path` itself: it cannot truncate a file it should not, follow
// a planted link, or leave half a report behind.
PrintOutcome RenderPdf(QWidget* parent, CChansetView* view, QPrinter* printer, const QString& path) {
  const QString shown = QDir::toNativeSeparators(path);
  std::string reason;
  if (!CanWriteFile(path.toStdString(), &reason)) return ReportFailure(parent, shown, reason);
  QTemporaryDir scratch;
  if (!scratch.isValid()) return ReportFailure(parent, shown, scratch.errorString().toStdString());
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(scratch.filePath(QStringLiteral("report.pdf")));
  const bool drawn = CReportPrinter(view).Print(printer);
  printer->setOutputFileName(QString());
  std::string bytes;
  if (!drawn || !ReadWholeFile(scratch.filePath(QStringLiteral("report.pdf")).toStdString(), bytes, &reason))
    return ReportFailure(parent, shown, reason);
  if (!WriteFileAtomic(path.toStdString(), bytes, &reason)) return ReportFailure(parent, shown, reason);
  return PrintOutcome::Printed;
}

// Holds the application's printer and runs the printing commands.
class CPrintCommands : public QObject {
  Q_OBJECT
 public:
  explicit CPrintCommands(QWidget* window)
      : QObject(window), m_pWindow(window), m_printer(QPrinter::HighResolution) {}

  QPrinter* Printer() { return &m_printer; }

  void OnFilePrint(CChansetView* view) {
    if (NeedsOutputFile(&m_printer)) {
      PrintReportDirect(m_pWindow, view, &m_printer);
      return;
    }
    QPrintDialog dialog(&m_printer, m_pWindow);
    dialog.setMinMax(1, CReportPrinter(view).PageCount());
    if (dialog.exec() == QDialog::Accepted) Render(m_pWindow, view, &m_printer);
  }

  void OnFilePrintPreview(CChansetView* view) {
    QPrintPreviewDialog preview(&m_printer, m_pWindow);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [view](QPrinter* printer) { CReportPrinter(view).Print(printer, true); });
    preview.exec();
  }

  void OnFilePrintSetup() {
    QPageSetupDialog dialog(&m_printer, m_pWindow);
    dialog.exec();
  }

 private:
  QWidget* m_pWindow;
  QPrinter m_printer;
};

}  // namespace

void InstallPrintCommands(CCommandHost* host) {
  QWidget* window = host ? host->HostWindow() : nullptr;
  if (!window || window->findChild<CPrintCommands*>()) return;
  auto* commands = new CPrintCommands(window);
  host->AddViewCommand(ids::kFilePrint, [commands](CChansetView* view) { commands->OnFilePrint(view); });
  host->AddViewCommand(ids::kFilePrintDirect, [commands, window](CChansetView* view) {
    PrintReportDirect(window, view, commands->Printer());
  });
  host->AddViewCommand(ids::kFilePrintPreview, [commands](CChansetView* view) { commands->OnFilePrintPreview(view); });
  host->AddCommand(ids::kFilePrintSetup, chanset::Command([commands] { commands->OnFilePrintSetup(); }));
}

QPrinter* ApplicationPrinter(CCommandHost* host) {
  QWidget* window = host ? host->HostWindow() : nullptr;
  auto* commands = window ? window->findChild<CPrintCommands*>() : nullptr;
  return commands ? commands->Printer() : nullptr;
}

PrintOutcome PrintReportDirect(QWidget* parent, CChansetView* view, QPrinter* printer) {
  if (!printer) return PrintOutcome::Failed;
  if (!NeedsOutputFile(printer)) return Render(parent, view, printer);
  const QString path = CFileDialog::GetSaveFileName(parent, QString::fromUtf8(PrintToPdfTitle(g_bChinese)),
                                                    SuggestedPdfName(view), QStringLiteral("PDF (*.pdf)"),
                                                    QStringLiteral("pdf"));
  if (path.isEmpty()) return PrintOutcome::Cancelled;
  // The chosen file is for this job only: the next one asks again.
  return RenderPdf(parent, view, printer, path);
}

PrintOutcome PrintReportFromCommandLine(QWidget* parent, CChansetView* view, const QString& printerName,
                                        const QString& pdfFile) {
  QPrinter printer(QPrinter::HighResolution);
  if (!pdfFile.isEmpty()) return RenderPdf(parent, view, &printer, pdfFile);
  if (!printerName.isEmpty()) {
    if (QPrinterInfo::printerInfo(printerName).isNull()) {
      CMessageBox::Show(parent, QString::fromUtf8(PrinterNotFoundText(g_bChinese)).arg(printerName));
      return PrintOutcome::Failed;
    }
    printer.setPrinterName(printerName);
  }
  return PrintReportDirect(parent, view, &printer);
}

#include "PrintCommands.moc"
