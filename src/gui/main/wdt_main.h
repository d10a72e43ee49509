// Main window: the list of imported SRS files on the left and the five work
// pages on the right. It is the only place where files enter the program;
// pages learn which files exist and which one is selected from it.
#pragma once

#include <QModelIndex>
#include <QStringList>
#include <QStringListModel>
#include <QVector>
#include <QWidget>


class CFormatSRS;
class CItem;
struct ChPoleLabel;
struct PrmDev;
class CWdtGpsPos;
class CWdtOutput;
class CWdtParamSrs;
class CWdtPseudoSection;
class CWdtTsPlot;
class WdtSipRes;

// The form's widgets, reached through form() by the window's users and tests.
#include "ui_wdt_main.h"

// The file names of the list view, with the full path as their tooltip.
class FileListModel : public QStringListModel {
  Q_OBJECT
public:
  explicit FileListModel(QObject* parent = nullptr);
  // The full paths, row by row; set before the names.
  void setPaths(const QStringList& paths) { m_paths = paths; }
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
  QStringList m_paths;
};

class CWdtMain : public QWidget {
  Q_OBJECT
public:
  explicit CWdtMain(QWidget* parent = nullptr);
  ~CWdtMain() override;

  // Appends paths as if they had been chosen in the import dialog.
  void importFiles(const QStringList& paths);

  const QStringList& fileList() const { return m_listFile; }
  Ui::CWdtMain* form() const { return ui; }
  CWdtOutput* outputPage() const { return m_wdtOutput; }
  CWdtParamSrs* paramPage() const { return m_wdtParamSrs; }
  WdtSipRes* resultsPage() const { return m_wdtSipRes; }
  CWdtTsPlot* tsPage() const { return m_wdtTsPlot; }
  CWdtGpsPos* stationPage() const { return m_wdtGpsPos; }
  CWdtPseudoSection* sectionPage() const { return m_wdtSection; }
  const QVector<CItem*>& stationItems() const { return m_VtItem; }

public slots:
  void onBtnImportData();
  void onBtnClearData();
  void onListClicked(QModelIndex index);

private:
  void updateFileCount();
  void clearStationItems();
  // warn false: a failure is left to the caller to report.
  bool openSrs(const QString& path, CFormatSRS& srs, bool warn = true);
  void buildStationItems(CFormatSRS& srs, QVector<CItem*>& items);
  QVector<ChPoleLabel> buildChannelLabels(const PrmDev& dev);

  Ui::CWdtMain* ui;
  QStringList m_listFile;
  FileListModel* m_modelFile = nullptr;
  int m_shownRow = -1;  // row of the file last shown on the pages
  CWdtOutput* m_wdtOutput = nullptr;
  CWdtParamSrs* m_wdtParamSrs = nullptr;
  CWdtGpsPos* m_wdtGpsPos = nullptr;
  CWdtTsPlot* m_wdtTsPlot = nullptr;
  WdtSipRes* m_wdtSipRes = nullptr;
  CWdtPseudoSection* m_wdtSection = nullptr;
  QVector<CItem*> m_VtItem;
};
