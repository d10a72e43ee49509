#include "gui/timeseries/wdt_ts_plot.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QSignalBlocker>

#include <cstring>

#include "core/processing/srs_recalc.h"
#include "gui/timeseries/plot_monitor.h"
#include "gui/timeseries/wdt_monitor_ch.h"
#include "gui/toolkit/paths.h"
#include "gui/toolkit/prompts.h"
#include "gui/toolkit/reason_text.h"
#include "ui_wdt_ts_plot.h"

CWdtTsPlot::CWdtTsPlot(QWidget* parent) : QWidget(parent), ui(new Ui::CWdtTsPlot) {
  ui->setupUi(this);
  m_vtMonitor = {ui->plotCH1, ui->plotCH2, ui->plotCH3, ui->plotCH4, ui->plotCH5, ui->plotCH6};
  const QVector<QCheckBox*> checks = {ui->chkCH1, ui->chkCH2, ui->chkCH3, ui->chkCH4, ui->chkCH5, ui->chkCH6};
  for (int i = 0; i < m_vtMonitor.size(); ++i) {
    WdtMonitorCh* mon = m_vtMonitor[i];
    mon->setVisible(checks[i]->isChecked());
    mon->setTitle(checks[i]->text());
    mon->plot()->addChannel(i, Qt::blue);
    mon->plot()->setSmt(&m_smt);
  }
  updateEnableState();
  // The check boxes reach their on_<name>_clicked slots through setupUi.
  connect(ui->cmbStation, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CWdtTsPlot::onCmbStationSel);
  connect(ui->btnChangeTsDir, &QPushButton::clicked, this, &CWdtTsPlot::onBtnChangeDir);
  connect(ui->btnTsSectPrev, &QPushButton::clicked, this, &CWdtTsPlot::onBtnPrevClicked);
  connect(ui->btnTsSectNext, &QPushButton::clicked, this, &CWdtTsPlot::onBtnNextClicked);
}

CWdtTsPlot::~CWdtTsPlot() { delete ui; }

void CWdtTsPlot::setCurrentFile(const QString& path) {
  m_cur_file = path;
  if (!path.isEmpty() && m_deferred.defer(this)) return;
  m_deferred.cancel();
  loadCurrentFile();
}

void CWdtTsPlot::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  m_deferred.take([this] { loadCurrentFile(); });
}

void CWdtTsPlot::loadCurrentFile() {
  const QString& path = m_cur_file;
  m_listStation.clear();
  if (!path.isEmpty()) {
    m_bSrsLoaded = m_srsTs.Read(toFilePath(path));
    if (m_bSrsLoaded) {
      for (const PrmDev& dev : m_srsTs.m_vt_prm_dev)
        m_listStation << QString::fromUtf8(dev.dev_name, int(strnlen(dev.dev_name, sizeof(dev.dev_name))));
    } else {
      if (!QuietLoadFailures::active())
        Prompts::instance().warning(this, tr("提示"),
                                    withReason(tr("打开文件“%1”失败！").arg(path), m_srsTs.GetReason()));
    }
  } else {
    m_bSrsLoaded = false;
  }
  refreshStations();
}

QString CWdtTsPlot::smtPathOf(const QString& station) const {
  return fromFilePath(SmtPathFor(toFilePath(ui->edtTsDir->text()), m_srsTs.GetPath(), toFilePath(station)));
}

void CWdtTsPlot::refreshStations() {
  fillStationCombo();
  if (m_bSrsLoaded) {
    loadAndShow();
  } else {
    ui->lbTsInfo->setText(tr("未选择SRS文件！"));
    clearMonitors();
  }
  updateEnableState();
}

void CWdtTsPlot::fillStationCombo() {
  const QSignalBlocker block(ui->cmbStation);
  const int index = ui->cmbStation->currentIndex();
  ui->cmbStation->clear();
  for (const QString& name : m_listStation) ui->cmbStation->addItem(QString("%1").arg(name));
  if (index >= 0 && index < ui->cmbStation->count()) ui->cmbStation->setCurrentIndex(index);
}

void CWdtTsPlot::updateEnableState() {
  const bool nav = m_bSrsLoaded && ui->cmbStation->currentIndex() >= 0;
  ui->cmbStation->setEnabled(m_bSrsLoaded);
  ui->btnTsSectPrev->setEnabled(nav);
  ui->btnTsSectNext->setEnabled(nav);
  ui->edtStart->setEnabled(nav);
  ui->edtShowLen->setEnabled(nav);
}

void CWdtTsPlot::onCmbStationSel(int iSel) {
  if (iSel >= 0 && iSel < m_listStation.size()) loadAndShow();
}

void CWdtTsPlot::loadAndShow() {
  if (m_smt.Read(toFilePath(smtPathOf(ui->cmbStation->currentText())))) {
    updateInfoLabel();
    showSegment(TS_MOVE_NONE);
  } else {
    // What a failed read leaves behind is no recording: stepping shows nothing.
    m_smt.Clear();
    ui->lbTsInfo->setText(tr("SMT文件读取失败！"));
    clearMonitors();
  }
}

void CWdtTsPlot::updateInfoLabel() {
  const TsRecordingInfo info = TsInfoOf(m_smt);
  ui->lbTsInfo->setText(
      tr("采样率=%1,点数=%2,时长=%3m%4s").arg(info.sample_rate).arg(info.rows).arg(info.minutes).arg(info.seconds));
}

void CWdtTsPlot::showSegment(TsMove move) {
  const int start = ui->edtStart->text().toInt(nullptr, 10);
  const int len = ui->edtShowLen->text().toInt(nullptr, 10);
  const TsSegment seg = TsClampSegment(start, len, move, m_smt.GetDataRows());
  for (WdtMonitorCh* mon : m_vtMonitor) mon->plot()->plotSegment(seg.start, seg.len);
  if (seg.start < m_smt.GetDataRows()) ui->edtStart->setText(QString::number(seg.start, 10));
}

void CWdtTsPlot::onBtnPrevClicked() { showSegment(TS_MOVE_PREV); }

void CWdtTsPlot::onBtnNextClicked() { showSegment(TS_MOVE_NEXT); }

void CWdtTsPlot::showMonitor(int ch, bool shown) { m_vtMonitor[ch]->setVisible(shown); }

void CWdtTsPlot::on_chkCH1_clicked(bool checked) { showMonitor(0, checked); }
void CWdtTsPlot::on_chkCH2_clicked(bool checked) { showMonitor(1, checked); }
void CWdtTsPlot::on_chkCH3_clicked(bool checked) { showMonitor(2, checked); }
void CWdtTsPlot::on_chkCH4_clicked(bool checked) { showMonitor(3, checked); }
void CWdtTsPlot::on_chkCH5_clicked(bool checked) { showMonitor(4, checked); }
void CWdtTsPlot::on_chkCH6_clicked(bool checked) { showMonitor(5, checked); }

void CWdtTsPlot::clearMonitors() {
  for (WdtMonitorCh* mon : m_vtMonitor) mon->plot()->clearPlot();
}

void CWdtTsPlot::onBtnChangeDir() {
  QString dir = ui->edtTsDir->text();
  if (dir.isEmpty()) dir = QFileInfo(fromFilePath(m_srsTs.GetPath())).path();
  const QString chosen = Prompts::instance().existingDirectory(this, tr("选择SMT目录"), dir);
  // Cancelling the dialog keeps the directory the user had chosen before.
  if (!chosen.isEmpty()) ui->edtTsDir->setText(chosen);
}
