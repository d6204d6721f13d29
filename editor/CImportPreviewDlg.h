#pragma once
// The preview of a channel import: the rows of the file that will be used,
// with the channel each goes to and the texts it will get, and the first
// refused rows with why (then one row counting the rest), with the notes of
// the reader (power from watts, Name and Comment dropped, a file without a
// Power column). "Renumber" reads the file again with its rows going to channels
// 1, 2, ... in file order. OK is offered only when at least one row is
// accepted; what it does is the caller's (replace the target channels as one
// step); Cancel changes nothing.
#include <QDialog>
#include <string>

#include "editor/ImportRows.h"

class QAbstractTableModel;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

class CImportPreviewDlg : public QDialog {
  Q_OBJECT
 public:
  // `csvText` is the file's contents, `fileName` its name as shown;
  // `options` the band, language and format (renumber is the check box's).
  CImportPreviewDlg(QWidget* parent, const QString& fileName, std::string csvText,
                    const chanset::ImportOptions& options);

  // The rows as read with the current choice of Renumber.
  const chanset::ImportResult& Result() const { return m_result; }

  QTableView* Table() const { return m_pTable; }
  QCheckBox* RenumberBox() const { return m_pRenumber; }
  QPushButton* OkButton() const { return m_pOk; }
  QLabel* SummaryLabel() const { return m_pSummary; }
  // The whole notes or refusal of the current row (the table cuts long ones).
  QLabel* DetailsLabel() const { return m_pDetails; }

 private:
  void Read();
  void ShowDetails();

  std::string m_text;
  chanset::ImportOptions m_options;
  chanset::ImportResult m_result;
  QString m_fileName;
  QTableView* m_pTable = nullptr;
  QAbstractTableModel* m_pModel = nullptr;
  QCheckBox* m_pRenumber = nullptr;
  QLabel* m_pFileLabel = nullptr;
  QLabel* m_pSummary = nullptr;
  QLabel* m_pDetails = nullptr;
  QPushButton* m_pOk = nullptr;
};
