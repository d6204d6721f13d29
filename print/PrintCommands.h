#pragma once
// The printing commands of the main window: Print (57607, the print
// dialog first), Print Direct (57608, no dialog) and Print Preview (57609)
// on the active channel view, and Print Setup (57606) on the application's
// printer, which the other commands then print on. With no printer
// installed, printing writes a PDF file that the user picks with the Save
// file dialog.
#include <QString>

class CChansetView;
class CCommandHost;
class QPrinter;
class QWidget;

void InstallPrintCommands(CCommandHost* host);

// The printer that Print Setup edits; nullptr before InstallPrintCommands.
QPrinter* ApplicationPrinter(CCommandHost* host);

enum class PrintOutcome { Printed, Cancelled, Failed };

// Prints the report of `view` on `printer` without a print dialog. With
// no printer installed (and no output file chosen yet) the user first picks
// a PDF file. Failures are reported to the user.
PrintOutcome PrintReportDirect(QWidget* parent, CChansetView* view, QPrinter* printer);

// Command-line printing: on the default printer (`printerName` empty), on
// the named printer, or, when `pdfFile` is given, into that PDF file.
PrintOutcome PrintReportFromCommandLine(QWidget* parent, CChansetView* view, const QString& printerName,
                                        const QString& pdfFile);
