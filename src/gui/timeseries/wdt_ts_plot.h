// Tab "时序显示": the SMT time series of one station of the selected SRS
// file, one segment at a time, in six channel monitors with their
// statistics. The station's file is read once per station choice; stepping
// only redraws from the samples in memory.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include "core/processing/ts_segment.h"
#include "core/sip/format_smt.h"
#include "core/sip/format_srs.h"
#include "gui/toolkit/deferred_load.h"

namespace Ui {
class CWdtTsPlot;
}
class WdtMonitorCh;

class CWdtTsPlot : public QWidget {
  Q_OBJECT
public:
  explicit CWdtTsPlot(QWidget* parent = nullptr);
  ~CWdtTsPlot() override;

  // An empty path clears the page.
  void setCurrentFile(const QString& path);

  // The path last given to setCurrentFile.
  const QString& currentFile() const { return m_cur_file; }
  Ui::CWdtTsPlot* form() const { return ui; }
  WdtMonitorCh* monitor(int ch) const { return m_vtMonitor.value(ch, nullptr); }
  const CFormatSmt& smt() const { return m_smt; }
  // The SMT file of a station of the loaded SRS file under the directory of edtTsDir.
  QString smtPathOf(const QString& station) const;

public slots:
  void onCmbStationSel(int iSel);
  void onBtnChangeDir();
  void onBtnPrevClicked();
  void onBtnNextClicked();
  void on_chkCH1_clicked(bool checked);
  void on_chkCH2_clicked(bool checked);
  void on_chkCH3_clicked(bool checked);
  void on_chkCH4_clicked(bool checked);
  void on_chkCH5_clicked(bool checked);
  void on_chkCH6_clicked(bool checked);

protected:
  void showEvent(QShowEvent* event) override;

private:
  void loadCurrentFile();
  void refreshStations();
  void fillStationCombo();
  void updateEnableState();
  void loadAndShow();
  void updateInfoLabel();
  void showSegment(TsMove move);
  void showMonitor(int ch, bool shown);
  void clearMonitors();

  Ui::CWdtTsPlot* ui = nullptr;
  DeferredLoad m_deferred;
  QVector<WdtMonitorCh*> m_vtMonitor;
  QStringList m_listStation;
  CFormatSRS m_srsTs;
  CFormatSmt m_smt;
  bool m_bSrsLoaded = false;
  QString m_cur_file;
};
