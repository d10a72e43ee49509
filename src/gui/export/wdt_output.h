// Tab "数据导出": exports the results of all imported SRS files as inversion
// inputs and tables, and writes pass-rate files. The page only collects its
// settings, asks for the directory and shows what the export run returns.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/export/export_job.h"
#include "core/sip/format_txt.h"
#include "core/sip/limits.h"

class QButtonGroup;
class QLineEdit;
class CModelRangeLimit;
namespace Ui {
class CWdtOutput;
}

class CWdtOutput : public QWidget {
  Q_OBJECT
public:
  // list: the main window's imported paths, read whenever the page needs them.
  // Builds the default limit table and publishes it through SharedData.
  CWdtOutput(QStringList* list, QWidget* parent = nullptr);
  ~CWdtOutput() override;

  void refreshFileList();
  void setCurrentFile(const QString& path);
  void clearInputs();

  const QString& currentFile() const { return m_cur_file; }
  const std::vector<LimitItem>& limits() const { return m_limits; }
  int layoutType() const { return m_layout; }
  // The options of an export started now, from the widgets (no output
  // path yet).
  ExportOptions CollectSettings() const;
  // How long a run lasts before its progress dialog appears (tests show it
  // at once to press its Cancel).
  void setProgressDelay(int ms) { m_progress_delay_ms = ms; }

private slots:
  void onBtnSelDirSmt();
  void onBtnImportFileCoord();
  void onBtnImportFileElev();
  void onBtnOutputData();
  void onUpdateUiShow();
  void on_btnImportFileShifting_clicked();
  void onUpdateMaxErrValue();
  void on_btnOutPassRate_clicked();

private:
  void ShowLimits();
  void ReadLimits();
  // The numeric edits a run reads (those shown and enabled; for the pass
  // rate the limits and the spacing), in the ranges varnex-cli allows its
  // options. False after a message naming the first field refused.
  bool CheckNumbers(bool pass_rate);
  ExportFormat Format() const;
  IpQuantity Ip() const;
  // The export runs' messages in the interface language.
  QString Title(ExportTitle title) const;
  QString Text(const ExportMessage& m) const;
  void ShowMessages(const std::vector<ExportMessage>& messages);
  QString FirstFileDir() const;
  // Reads a side table chosen by the user into table; edit shows its path.
  void ImportTable(const QString& title, const QString& filter, QString* start_dir,
                   CFormatTxt* table, const QString& failure, QLineEdit* edit);

  std::unique_ptr<Ui::CWdtOutput> ui;
  QStringList* m_list;
  QString m_cur_file;
  CFormatTxtCoord m_coord;
  CFormatTxtSiteCoord m_site_coord;
  CFormatTxtElev m_elev;
  CFormatTxtShifting m_shifting;
  // Rows LIMIT_ROW_AMP, LIMIT_ROW_APP, LIMIT_ROW_CP.
  std::vector<LimitItem> m_limits;
  QButtonGroup* m_groups[8] = {};
  QString m_dir_smt;
  QString m_dir_out;
  QString m_dir_spare;
  QString m_dir_pass;
  int m_layout = SIP_POLE4_SOUNDING;
  CModelRangeLimit* m_model = nullptr;
  // Start directories of the three import dialogs, one per button.
  QString m_dir_coord, m_dir_elev, m_dir_shifting;
  int m_progress_delay_ms = 1000;
};
