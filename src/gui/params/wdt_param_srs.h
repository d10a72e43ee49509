// Tab "SRS参数编辑": measurement parameters and electrode layout of the
// selected SRS file. The page edits working copies of the records; the
// file changes only through the save flows, which rescale the stored
// results (core/processing/param_rescale) and keep the untouched original
// once as <name>.SRS.orig.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdio>
#include <vector>

#include "core/processing/param_rescale.h"
#include "core/processing/spm.h"
#include "core/sip/format_srs.h"
#include "gui/toolkit/deferred_load.h"

namespace Ui {
class CWdtParamSrs;
}

class CItemCmb;
class LocalDelegate;
class ModelSipDevLay;
class QButtonGroup;
class TableDevPoleModel;
class TablePoleModel;

// Signal type offered by cmbSigType.
struct WaveItem {
  QString name;
  int wave = 0;
  int harm_num = 0;
};

class CWdtParamSrs : public QWidget {
  Q_OBJECT
public:
  explicit CWdtParamSrs(QWidget* parent = nullptr);
  ~CWdtParamSrs() override;

  // Paths of all imported files, used by saving all files.
  void setFileList(const QStringList& list);
  // Shows that file (reread from disk, edits not saved are dropped); an
  // empty path shows nothing.
  void setCurrentFile(const QString& path);

  // Name of the first electrode of the held file at exactly (x, y), or an
  // empty text.
  QString poleNameAt(float x, float y) const;

  // Electrodes of the held file (free layout).
  const std::vector<PrmPole>& poles() const { return m_srs.m_vt_pole; }
  const QString& currentFile() const { return m_cur_file; }
  const QStringList& fileList() const { return m_listFile; }

  // true: form to records; false: records to form (the whole form, or only
  // the line settings during a line-settings SPM import).
  void updateData(bool toRecords);
  void updateLayoutModel(int curStation, float firstPos, float mn);
  int indexOfDevice(const QString& name) const;
  void readElectrodeTables();
  void fillElectrodeTables();

  // The page's records carried into m_srs in memory (results rescaled).
  ParamApplyResult applyToSrs();
  double currentRatio(const PrmMeas& newMeas, const PrmMeas& oldMeas) const;
  int rescaleResults(CResult* r);
  bool transferToFile(CFormatSRS* t, std::string* why = nullptr);
  bool rescaleFileResults(CResult* r, CFormatSRS* t);
  bool copyLineSettings(CFormatSRS* t);

  bool writeSpm(FILE* fp);
  SpmReadResult readSpm(FILE* fp);
  size_t writePoleList(FILE* fp, const std::vector<PrmPole>& poles);
  SpmPoleListRead readPoleList(FILE* fp);

  // For tests and the main window.
  const PrmMeas& prmMeas() const { return m_prmMeas; }
  const std::vector<PrmDev>& prmDevs() const { return m_vt_prm_dev; }
  const std::vector<PrmPole>& pageElectrodes() const { return m_vtPole; }
  const CFormatSRS& srs() const { return m_srs; }
  bool isFileLoaded() const { return m_srs_inited; }
  ModelSipDevLay* devLayModel() const { return m_modelDevLay; }
  TableDevPoleModel* devPoleModel() const { return m_modelDevPole; }
  TablePoleModel* poleModel() const { return m_modelPole; }
  // The SPM dialogs remember their folders for the run; tests start afresh.
  static void forgetSpmFolders();

protected:
  void showEvent(QShowEvent* event) override;

private slots:
  void onBtnSaveChange();
  void on_btnSaveChangeThis_clicked();
  void on_btnSaveChangeAll_clicked();
  void onBtnSaveResToTxt();
  void onBtnImportPrm();
  void onBtnOutputPrm();
  void onUpdateDevLayout();
  void onUpdatePowerUiState();
  void onPosBStateChanged();

private:
  void loadCurrentFile();
  void clearForm();
  void fillCurrentStationList();
  int waveIndexOf(int wave, int harmNum) const;
  void updateCurrentInputState();
  void setChannelPoles(const QString& devName, int ch, const QString& mName, const QString& nName);
  PrmPole poleByName(const QString& name) const;
  void replaceDevices(const std::vector<PrmDev>& devs);
  void saveCurrent();
  // Applies the records; false (with the warning shown) when they cannot be.
  bool applyOrWarn();
  QString proposedSpmName(const QString& dir) const;
  QString srsPathText() const;

  Ui::CWdtParamSrs* ui;
  ModelSipDevLay* m_modelDevLay = nullptr;
  std::vector<WaveItem> m_vtWave;
  std::vector<float> m_vtFreqBase;
  std::vector<float> m_vtV2i;
  bool m_srs_inited = false;
  CFormatSRS m_srs;
  std::vector<PrmDev> m_vt_prm_dev;
  PrmMeas m_prmMeas;
  TableDevPoleModel* m_modelDevPole = nullptr;
  TablePoleModel* m_modelPole = nullptr;
  std::vector<PrmPole> m_vtPole;
  bool m_bFillAll = true;
  QStringList m_listFile;

  QString m_cur_file;
  CItemCmb* m_cmbDelegate = nullptr;
  LocalDelegate* m_localDelegate = nullptr;
  QButtonGroup* m_currGroup = nullptr;
  bool m_splitterSized = false;
  DeferredLoad m_deferred;
  static QString s_spmExportDir;
  static QString s_spmImportDir;
};
