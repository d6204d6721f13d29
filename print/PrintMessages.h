#pragma once
// Built-in texts of the printing commands, in both languages.
namespace chanset {

// Caption of the file dialog that picks a PDF when no printer is installed.
inline const char* PrintToPdfTitle(bool chinese) { return chinese ? "打印到 PDF 文件" : "Print to PDF File"; }
// "%1" is the printer name.
inline const char* PrinterNotFoundText(bool chinese) {
  return chinese ? "找不到打印机 \"%1\"。" : "The printer \"%1\" is not installed.";
}
// "%1" is the printer name or the output file.
inline const char* PrintFailedText(bool chinese) {
  return chinese ? "无法打印到 %1。" : "Could not print to %1.";
}

}  // namespace chanset
