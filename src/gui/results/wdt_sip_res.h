// Tab "采集结果": the results of the selected SRS file as a table or as the
// space view, the pass rate against the page's limits, text dumps of the
// imported files and the recalculation of SRS files.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "core/processing/srs_recalc.h"
#include "core/sip/format_srs.h"
#include "core/sip/limits.h"

class QShowEvent;

class CDlgDataLimit;
class CWdtResPlotSpaceSip;
class CWdtResPlotSpectrum;
class CWdtSipResTable;

// The form's widgets, reached through form() by the window's users and tests.
#include "ui_wdt_sip_res.h"

class WdtSipRes : public QWidget {
  Q_OBJECT
public:
  explicit WdtSipRes(QWidget* parent = nullptr);
  ~WdtSipRes() override;

  // A copy of the main window's imported paths.
  void setFileList(const QStringList& list);
  // Reads the file and shows it; an empty path clears the page.
  void setCurrentFile(const QString& path);

  // The path last handed to setCurrentFile, whether it could be read or not.
  const QString& currentFile() const { return m_cur_file; }
  const QStringList& fileList() const { return m_list_file; }

  Ui::WdtSipRes* form() const { return ui; }
  CWdtSipResTable* resTable() const { return m_wdt_res_table; }
  CWdtResPlotSpaceSip* spaceView() const { return m_wdt_space; }
  CWdtResPlotSpectrum* spectrumView() const { return m_wdt_spectrum; }
  CDlgDataLimit* limitDialog() const { return m_dlg_limit; }
  const std::vector<LimitItem>& limits() const { return m_vt_limit_page; }
  CFormatSRS& srsFile() { return m_srs_file; }
  bool isLoaded() const { return m_loaded; }

public slots:
  void onBtnSetCheckErr();

protected:
  void showEvent(QShowEvent* event) override;

public slots:
  void onUpdateShowResult();
  void onSwitchShowPage();
  void onCmbCalTypeSelChanged();
  void on_btnSelFileSmt_clicked();
  void on_btnOutSrsSingle_clicked();
  void on_btnOutSrsAll_clicked();
  void on_btnRecal_clicked();
  void on_btnRecalAll_clicked();
  void on_btnOutToTxt_clicked();
  void on_btnOutToTxtAll_clicked();

private:
  void updatePassRate();
  void refreshAfterLoad();
  void copySharedLimits();
  // Report entries one after another, UTF-8, "wb"; a file that cannot be
  // created is skipped silently.
  bool writeReport(const QStringList& msgs, const QString& path);
  // The closing message of an all-files run: done when nothing failed, else
  // the count written and each failed file with its reason; a report that
  // cannot be written is named too.
  QString runOutcome(const std::vector<std::string>& failed, const std::vector<Reason>& reasons, int total,
                     const QString& done, const QString& report, const QStringList& entries);
  void showOutcome(bool ok, const QString& text);

  void recomputeComposed(CFormatSRS& srs, int a);
  std::string smtPathFor(const std::string& srs_path, const std::string& dev_name) const;
  // Shows the warning itself when the current station's time series is
  // missing; the lists hold the device names (UTF-8, trimmed).
  bool recalcFromSmt(CFormatSRS& srs, QStringList* done, QStringList* miss);
  void warnNotRebuilt(const CFormatSRS& srs, const SmtRebuild& r);

  // The count of combined harmonics; false (after the warning) when the
  // dialog was cancelled.
  bool askHarmCount(int* a);
  // The output folder of an all-files run, starting at and then kept in
  // remembered; false when cancelled, or when the folder holds imported
  // files and the user does not want them replaced. Two files that would
  // write the same output are refused first.
  bool askOutputFolder(QString* remembered, QString* dir);
  // False, after one message naming both, when two listed files would give
  // the same output out_of(path) (8-bit); nothing is written then.
  bool outputsDistinct(const std::function<std::string(const std::string&)>& out_of);
  RecalcTexts recalcTexts() const;
  // The SMT directory of edtFileSmt as an 8-bit path.
  std::string smtDir() const;
  // The view shows the file object as it is now, after an in-memory change.
  void showChangedFile();
  void dropCurrentFile();
  // A click reads the results only; what works on the spectra takes them
  // first. A file changed since the click is read again in full and shown
  // as it is now; false (after the warning) when it cannot be read.
  bool ensureSpectra();
  void enableFileButtons();

  Ui::WdtSipRes* ui;
  bool m_loaded = false;
  // The space view missed a result change while another display mode was chosen.
  bool m_space_stale = false;
  CWdtSipResTable* m_wdt_res_table = nullptr;
  CDlgDataLimit* m_dlg_limit = nullptr;
  CWdtResPlotSpaceSip* m_wdt_space = nullptr;
  CWdtResPlotSpectrum* m_wdt_spectrum = nullptr;
  QList<QWidget*> m_pages;
  std::vector<LimitItem> m_vt_limit_page;
  CFormatSRS m_srs_file;
  QStringList m_list_file;
  QString m_cur_file;
};
