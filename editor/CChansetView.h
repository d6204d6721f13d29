#pragma once
// The channel window's form: a title line over the 16-channel grid, with the
// in-place editors. It is the document's only view.
#include <QWidget>

#include "dialogs/RadioBands.h"

class CChansetDoc;

class CChansetView : public QWidget {
  Q_OBJECT
 public:
  explicit CChansetView(CChansetDoc* doc, QWidget* parent = nullptr);
  ~CChansetView() override;

  CChansetDoc* GetDocument() const { return m_pDocument; }

  // First call builds the grid, editors and lists; every call then refreshes
  // from the image.
  void OnInitialUpdate();
  // Decodes all channels into the grid and applies the image's type and band
  // (registry, window title, limits, power rows).
  void RefreshFromImage();
  // Encodes the grid's texts into the document's image.
  void EncodeGridToImage();
  // Commits an open in-place editor (the leave-cell variant).
  void CommitEditor();

  chanset::BandLimits Limits() const { return m_limits; }
  void SetLimits(const chanset::BandLimits& limits) { m_limits = limits; }

 signals:
  // The main window title changed (type and band).
  void titleChanged(const QString& title);
  // An accepted edit changed the grid.
  void edited();

 protected:
  CChansetDoc* m_pDocument;
  chanset::BandLimits m_limits;
  bool m_bFirstInit = true;
};
