#include "gui/main/wdt_main.h"

#include "ui_wdt_main.h"

#include <QFileInfo>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QTabWidget>

#include <algorithm>
#include <cstring>

#include "core/base/ex_string.h"
#include "core/base/version.h"
#include "gui/export/wdt_output.h"
#include "core/sip/format_srs.h"
#include "gui/params/wdt_param_srs.h"
#include "gui/results/wdt_sip_res.h"
#include "gui/section/show_on_results.h"
#include "gui/section/wdt_pseudo_section.h"
#include "gui/stations/item.h"
#include "gui/stations/item_gps_pos.h"
#include "gui/stations/wdt_gps_pos.h"
#include "gui/timeseries/wdt_ts_plot.h"
#include "gui/toolkit/prompts.h"
#include "gui/toolkit/reason_text.h"
#include "gui/toolkit/paths.h"
#include "core/sip/stations.h"

FileListModel::FileListModel(QObject* parent) : QStringListModel(parent) {}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
  if (role == Qt::ToolTipRole && index.isValid() && index.row() < m_paths.size()) return m_paths.at(index.row());
  return QStringListModel::data(index, role);
}

CWdtMain::CWdtMain(QWidget* parent) : QWidget(parent), ui(new Ui::CWdtMain) {
  ui->setupUi(this);
  setWindowTitle(QString("Varnex-V%1.%2.%3").arg(VARNEX_VERSION_MAJOR).arg(VARNEX_VERSION_MINOR).arg(VARNEX_VERSION_PATCH));

  m_wdtOutput = new CWdtOutput(&m_listFile, this);
  m_wdtParamSrs = new CWdtParamSrs(this);
  m_wdtSipRes = new WdtSipRes(this);
  m_wdtGpsPos = new CWdtGpsPos(this);
  m_wdtTsPlot = new CWdtTsPlot(this);
  m_wdtGpsPos->setStationItems(&m_VtItem);

  ui->tabRight->addTab(m_wdtOutput, tr("数据导出"));
  ui->tabRight->addTab(m_wdtParamSrs, tr("SRS参数编辑"));
  ui->tabRight->addTab(m_wdtSipRes, tr("采集结果"));
  ui->tabRight->addTab(m_wdtTsPlot, tr("时序显示"));
  ui->tabRight->addTab(m_wdtGpsPos, tr("采集站分布"));
  ui->tabRight->setCurrentIndex(0);

  m_modelFile = new FileListModel(this);
  ui->listOpenFiles->setModel(m_modelFile);
  m_wdtSection = new CWdtPseudoSection(&m_listFile, m_modelFile, m_wdtOutput, this);
  ui->tabRight->addTab(m_wdtSection, tr("拟断面图"));
  connect(m_wdtSection, &CWdtPseudoSection::pointActivated, this,
          [this](const QString& path, const QString& ch) { ShowOnResultsPage(this, path, ch); });
  ui->splitter->setStretchFactor(0, 2);
  ui->splitter->setStretchFactor(1, 3);
  // The window opens on a 1366 x 768 screen; the file names need far less
  // room than the results table beside them.
  ui->splitter->setSizes({260, width() - 260});

  updateFileCount();
  connect(ui->btnImportData, &QPushButton::clicked, this, &CWdtMain::onBtnImportData);
  connect(ui->btnClearFile, &QPushButton::clicked, this, &CWdtMain::onBtnClearData);
  connect(ui->listOpenFiles, &QListView::clicked, this, &CWdtMain::onListClicked);
}

CWdtMain::~CWdtMain() {
  clearStationItems();
  delete ui;
}

void CWdtMain::updateFileCount() {
  ui->grpPowerFileList->setTitle(tr("供电数据文件，共%1个").arg(m_listFile.size()));
}

void CWdtMain::clearStationItems() {
  for (CItem* item : m_VtItem) delete item;
  m_VtItem.clear();
}

void CWdtMain::onBtnImportData() {
  static QString s_lastDir;
  const QString kind = "SRS";
  QStringList files = Prompts::instance().openFileNames(this, QString("Open %1").arg(kind), s_lastDir,
                                                        QString("%1 Files (*.%1)").arg(kind));
  if (files.isEmpty()) return;
  s_lastDir = QFileInfo(files.first()).path();
  importFiles(files);
}

void CWdtMain::importFiles(const QStringList& paths) {
  if (paths.isEmpty()) return;
  m_listFile.append(paths);
  QStringList names;
  for (const QString& path : m_listFile) names << QFileInfo(path).fileName();
  // Same names from other folders are told apart by the full path.
  m_modelFile->setPaths(m_listFile);
  m_modelFile->setStringList(names);
  // The file shown on the pages stays highlighted: it was before the new
  // files were appended below it.
  if (m_shownRow >= 0 && m_shownRow < m_listFile.size())
    ui->listOpenFiles->setCurrentIndex(m_modelFile->index(m_shownRow, 0));

  updateFileCount();
  m_wdtOutput->refreshFileList();
  m_wdtParamSrs->setFileList(m_listFile);
  m_wdtSipRes->setFileList(m_listFile);
}

void CWdtMain::onBtnClearData() {
  m_listFile.clear();
  m_shownRow = -1;
  m_modelFile->setPaths(QStringList());
  m_modelFile->setStringList(QStringList());
  // The pages' copies go too, so that no all-files action works on files the
  // user has just taken out of the list.
  m_wdtParamSrs->setFileList(m_listFile);
  m_wdtSipRes->setFileList(m_listFile);

  m_wdtParamSrs->setCurrentFile(QString());
  m_wdtSipRes->setCurrentFile(QString());
  m_wdtTsPlot->setCurrentFile(QString());
  m_wdtOutput->clearInputs();

  clearStationItems();
  m_wdtGpsPos->refresh(true);
  updateFileCount();
}

void CWdtMain::onListClicked(QModelIndex index) {
  QString path;
  if (index.isValid() && index.row() < m_listFile.size()) path = m_listFile.at(index.row());
  m_shownRow = path.isEmpty() ? -1 : index.row();

  {
    // A file that cannot be read is reported once, below, with the reason.
    QuietLoadFailures quiet;
    m_wdtParamSrs->setCurrentFile(path);
    m_wdtSipRes->setCurrentFile(path);
    m_wdtTsPlot->setCurrentFile(path);
    m_wdtOutput->setCurrentFile(path);
  }

  clearStationItems();
  // The results page has just read this very file; a second read of a large
  // file would double the cost of the click. Only a file it could not read
  // is opened again, for the warning with the reason.
  if (m_wdtSipRes->isLoaded() && m_wdtSipRes->currentFile() == path) {
    buildStationItems(m_wdtSipRes->srsFile(), m_VtItem);
  } else {
    CFormatSRS srs;
    if (openSrs(path, srs, true)) buildStationItems(srs, m_VtItem);
  }

  m_wdtGpsPos->setStationItems(&m_VtItem);
  m_wdtGpsPos->refresh(true);
}

bool CWdtMain::openSrs(const QString& path, CFormatSRS& srs, bool warn) {
  if (path.isEmpty()) return false;
  bool ok = srs.Read(toFilePath(path));
  if (!ok && warn)
    Prompts::instance().warning(this, tr("提示"), withReason(tr("打开文件“%1”失败！").arg(path), srs.GetReason()));
  return ok;
}

void CWdtMain::buildStationItems(CFormatSRS& srs, QVector<CItem*>& items) {
  for (const StationRecord& st : BuildStations(srs)) {
    auto* item = new CItemGpsPos(QString("%1").arg(QString::fromUtf8(st.name.c_str())));
    item->m_checked = st.checked;
    item->m_x = st.x;
    item->m_y = st.y;
    item->m_lon = st.lon;
    item->m_lat = st.lat;
    item->m_alti = st.alti;
    item->m_vt_pole = st.poles;
    item->m_vt_pole_label = st.labels;
    items.append(item);
  }
}

QVector<ChPoleLabel> CWdtMain::buildChannelLabels(const PrmDev& dev) {
  const std::vector<ChPoleLabel> rows = StationChannelLabels(dev, m_wdtParamSrs->poles());
  return QVector<ChPoleLabel>(rows.begin(), rows.end());
}
