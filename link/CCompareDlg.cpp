#include "link/CCompareDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/CLanguagePack.h"
#include "platform/ResourceIds.h"

CCompareDlg::CCompareDlg(QWidget* parent)
    : QDialog(parent), m_pSummary(new QLabel(this)), m_pLines(new QPlainTextEdit(this)) {
  setModal(false);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowTitle(CLanguagePack::String(ids::kCompareTitle));
  m_pSummary->setWordWrap(true);
  m_pSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // The lines can be selected and copied, never edited.
  m_pLines->setReadOnly(true);
  m_pLines->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_pLines->setAccessibleName(windowTitle());
  auto* buttons = new QDialogButtonBox(this);
  m_pClose = buttons->addButton(CLanguagePack::String(ids::kButtonOk), QDialogButtonBox::AcceptRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* column = new QVBoxLayout(this);
  column->addWidget(m_pSummary);
  column->addWidget(m_pLines, 1);
  column->addWidget(buttons);
  resize(560, 360);
}

void CCompareDlg::ShowDifferences(const QStringList& lines) {
  m_pSummary->setText(CLanguagePack::String(ids::kCompareDiffers).arg(lines.size()));
  // The result is read out with the window and with the list.
  setAccessibleDescription(m_pSummary->text());
  m_pLines->setAccessibleDescription(m_pSummary->text());
  m_pLines->setPlainText(lines.join(QLatin1Char('\n')));
  show();
  raise();
  activateWindow();
  m_pClose->setFocus();
}
