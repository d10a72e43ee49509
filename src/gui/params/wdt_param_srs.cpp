#include "gui/params/wdt_param_srs.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <memory>

#include "core/base/algo.h"
#include "core/base/atomic_file.h"
#include "core/base/ex_file.h"
#include "core/sip/stations.h"
#include "gui/params/local_delegate.h"
#include "gui/params/model_sip_dev_lay.h"
#include "gui/params/table_dev_pole_model.h"
#include "gui/params/table_pole_model.h"
#include "gui/toolkit/item_delegates.h"
#include "gui/toolkit/paths.h"
#include "gui/toolkit/progress.h"
#include "gui/toolkit/prompts.h"
#include "gui/toolkit/reason_text.h"
#include "gui/toolkit/wait_cursor.h"
#include "ui_wdt_param_srs.h"

QString CWdtParamSrs::s_spmExportDir;
QString CWdtParamSrs::s_spmImportDir;

namespace {

constexpr float kLookupTol = 0.00001f;
const char* const kSpmFilter = "SPM Files (*.SPM)";
const char* const kHeaderStyle = "QHeaderView::section{background-color:rgb(216, 216, 216);}";

// Six significant digits as shown to the operator, more only where six
// would not read back as the stored float: saving an untouched form must
// not move an electrode.
QString floatText(float v) {
  for (int prec = 6; prec < 9; ++prec) {
    const QString s = QString::number(double(v), 'g', prec);
    if (s.toFloat() == v) return s;
  }
  return QString::number(double(v), 'g', 9);
}

float floatOf(const QString& text) { return text.trimmed().toFloat(); }

void setText(char* dst, const QString& text) { SipSetStr(dst, text.toUtf8().constData()); }

int lookup(const std::vector<float>& values, float v) {
  return algo_find_near_cp(v, values.data(), int(values.size()), kLookupTol);
}

}  // namespace

CWdtParamSrs::CWdtParamSrs(QWidget* parent) : QWidget(parent), ui(new Ui::CWdtParamSrs) {
  ui->setupUi(this);
  ui->splitter->setStretchFactor(0, 0);
  ui->splitter->setStretchFactor(1, 1);

  m_cmbDelegate = new CItemCmb(this);
  m_modelDevLay = new ModelSipDevLay(&m_vt_prm_dev, this);
  ui->tbDevLay->setModel(m_modelDevLay);
  ui->tbDevLay->setItemDelegateForColumn(2, m_cmbDelegate);
  ui->tbDevLay->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  // Station and channel name every row; row numbers would only take the
  // room the seven titles need.
  ui->tbDevLay->verticalHeader()->hide();
  m_currGroup = new QButtonGroup(this);
  m_currGroup->addButton(ui->rdCurrStationName);
  m_currGroup->addButton(ui->rdCurrValue);
  m_currGroup->setExclusive(true);

  ui->cmbSipLayout->addItems({tr("中梯装置"), tr("三极装置"), tr("四极装置"), tr("任意装置")});
  ui->cmbSipLayout->setCurrentIndex(0);
  onUpdatePowerUiState();

  m_vtWave = {{tr("五阶扩频波"), SIP_WAVE_SPREAD_SPECTRUM, 16},
              {tr("三阶多频波"), SIP_WAVE_PSEUDO_RANDOM, 3},
              {tr("五阶多频波"), SIP_WAVE_PSEUDO_RANDOM, 5},
              {tr("三阶方波"), SIP_WAVE_SQUARE, 3},
              {tr("9倍双频波"), SIP_WAVE_DOUBLE_FREQ, 2}};
  for (const WaveItem& w : m_vtWave) ui->cmbSigType->addItem(w.name);
  ui->cmbSigType->setCurrentIndex(0);
  m_vtV2i = {0.0125f, 0.025f, 0.0625f, 0.125f, 1.0f};
  ui->cmbCurrResist->addItems({"12.5mV/A", "25mV/A", "62.5mV/A", "125mV/A", "1000mV/A"});
  ui->cmbCurrResist->setCurrentIndex(1);
  const char* const freqTexts[] = {"1/256", "1/128", "1/64", "1/32", "1/16", "1/8", "1/4", "1/2",
                                   "1",     "2",     "4",    "8",    "16",   "32",  "64",  "128"};
  for (int i = 0; i < 16; ++i) {
    m_vtFreqBase.push_back(float(std::ldexp(1.0, i - 8)));
    ui->cmbSigBaseFreq->addItem(freqTexts[i]);
  }
  ui->cmbSigBaseFreq->setCurrentIndex(4);

  setCurrentFile(QString());

  for (QWidget* w : {static_cast<QWidget*>(ui->cmbSigType), static_cast<QWidget*>(ui->cmbSigBaseFreq),
                     static_cast<QWidget*>(ui->rdCurrStationName), static_cast<QWidget*>(ui->rdCurrValue),
                     static_cast<QWidget*>(ui->cmbCurrStationName), static_cast<QWidget*>(ui->edtFileName)})
    w->setEnabled(false);
  connect(ui->btnSaveChange, &QPushButton::clicked, this, &CWdtParamSrs::onBtnSaveChange);
  connect(ui->btnOutputResToTxt, &QPushButton::clicked, this, &CWdtParamSrs::onBtnSaveResToTxt);
  connect(ui->btnImportPrm, &QPushButton::clicked, this, &CWdtParamSrs::onBtnImportPrm);
  connect(ui->btnOutputPrm, &QPushButton::clicked, this, &CWdtParamSrs::onBtnOutputPrm);
  for (QLineEdit* e : {ui->edtMN, ui->edtPosFirstPole, ui->edtDistLine2AB})
    connect(e, &QLineEdit::textChanged, this, &CWdtParamSrs::onUpdateDevLayout);
  connect(ui->cmbSipLayout, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
          &CWdtParamSrs::onUpdatePowerUiState);
  connect(ui->cb_posB, &QCheckBox::stateChanged, this, &CWdtParamSrs::onPosBStateChanged);
  ui->btnOutputResToTxt->hide();

  m_modelDevPole = new TableDevPoleModel(this);
  m_modelDevPole->setEditable(true);
  m_modelPole = new TablePoleModel(this);
  m_modelPole->setEditable(true);
  m_localDelegate = new LocalDelegate(this);
  ui->tbDevChannelLay->setModel(m_modelDevPole);
  ui->tbDevPolePointLay->setModel(m_modelPole);
  for (QTableView* t : {ui->tbDevChannelLay, ui->tbDevPolePointLay}) {
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    t->horizontalHeader()->setStyleSheet(kHeaderStyle);
    t->verticalHeader()->hide();
    t->setItemDelegateForColumn(0, m_localDelegate);
  }
  // Stretched columns share the width; on a narrow window they keep room for
  // their titles and the table scrolls sideways instead.
  for (QTableView* t : {ui->tbDevLay, ui->tbDevChannelLay, ui->tbDevPolePointLay}) {
    QHeaderView* h = t->horizontalHeader();
    int widest = 0;
    for (int c = 0; c < t->model()->columnCount(); ++c)
      widest = std::max(widest, h->fontMetrics().horizontalAdvance(t->model()->headerData(c, Qt::Horizontal).toString()));
    h->setMinimumSectionSize(widest + 2 * h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h) + 6);
  }
}

CWdtParamSrs::~CWdtParamSrs() { delete ui; }

void CWdtParamSrs::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  m_deferred.take([this] { loadCurrentFile(); });
  if (m_splitterSized) return;
  // The tables need the room; the parameter groups get what their texts need
  // once the page is polished with its final fonts.
  m_splitterSized = true;
  for (QComboBox* c : {ui->cmbSigType, ui->cmbSipLayout, ui->cmbCurrResist})
    c->setMinimumWidth(c->sizeHint().width());
  // The groups scroll when the window is lower than they are tall (a small
  // screen), never sideways. Their width is that of the widest layout: the
  // controls one layout shows and another hides are measured shown, so that
  // no file opened later is cut at the right edge.
  const QList<QWidget*> by_layout = {ui->lbAy, ui->edtPosAy, ui->lbBy, ui->edtPosBy, ui->cb_posB};
  QList<QWidget*> hidden;
  for (QWidget* w : by_layout)
    if (w->isHidden()) hidden << w;
  for (QWidget* w : hidden) w->show();
  ui->layoutWidget->layout()->activate();
  const int left = ui->layoutWidget->sizeHint().width() +
                   ui->scrollLeft->verticalScrollBar()->sizeHint().width() + 2 * ui->scrollLeft->frameWidth();
  for (QWidget* w : hidden) w->hide();
  ui->scrollLeft->setMinimumWidth(left);
  ui->splitter->setSizes({left, ui->splitter->width()});
}

void CWdtParamSrs::forgetSpmFolders() {
  s_spmExportDir.clear();
  s_spmImportDir.clear();
}

void CWdtParamSrs::setFileList(const QStringList& list) { m_listFile = list; }

void CWdtParamSrs::setCurrentFile(const QString& path) {
  m_cur_file = path;
  if (!path.isEmpty() && m_deferred.defer(this)) return;
  m_deferred.cancel();
  loadCurrentFile();
}

void CWdtParamSrs::loadCurrentFile() {
  const QString& path = m_cur_file;
  if (path.isEmpty()) {
    m_srs_inited = false;
    m_srs = CFormatSRS();
    clearForm();
  } else if (m_srs.Read(toFilePath(path))) {
    m_prmMeas = m_srs.m_prm_meas;
    replaceDevices(m_srs.m_vt_prm_dev);
    m_srs_inited = true;
    updateData(false);
  } else {
    if (!QuietLoadFailures::active())
      Prompts::instance().warning(this, tr("提示"), withReason(tr("打开文件“%1”失败！").arg(path), m_srs.GetReason()));
    m_srs_inited = false;
    m_srs = CFormatSRS();
    clearForm();
  }
  for (QPushButton* b : {ui->btnSaveChange, ui->btnOutputResToTxt, ui->btnImportPrm, ui->btnOutputPrm,
                         ui->btnSaveChangeAll, ui->btnSaveChangeThis})
    b->setEnabled(m_srs_inited);
}

QString CWdtParamSrs::poleNameAt(float x, float y) const {
  return QString::fromUtf8(PoleNameAt(m_srs.m_vt_pole, x, y).c_str());
}

void CWdtParamSrs::replaceDevices(const std::vector<PrmDev>& devs) {
  m_vt_prm_dev = devs;
  m_modelDevLay->refresh();
}

void CWdtParamSrs::clearForm() {
  for (QLineEdit* e : {ui->edtProjName, ui->edtLineNo, ui->edtPosAx, ui->edtPosBx, ui->edtFileName, ui->edtMN,
                       ui->edtPosFirstPole, ui->edtCurrValue})
    e->clear();
  ui->rdCurrStationName->setChecked(true);
  ui->rdCurrValue->setChecked(false);
  replaceDevices({});
  updateLayoutModel(-1, 0.0f, 20.0f);
}

void CWdtParamSrs::updateData(bool toRecords) {
  if (toRecords) {
    if (!m_srs_inited) return;
    PrmMeas& m = m_prmMeas;
    setText(m.prj_name, ui->edtProjName->text());
    m.line_no = ui->edtLineNo->text().trimmed().toInt(nullptr, 10);
    m.ax = floatOf(ui->edtPosAx->text());
    m.ay = floatOf(ui->edtPosAy->text());
    m.bx = floatOf(ui->edtPosBx->text());
    m.by = floatOf(ui->edtPosBy->text());
    // A box without a selection keeps the record's value: the file held a
    // value the lists do not offer.
    if (ui->cmbSipLayout->currentIndex() >= 0) m.layout = ui->cmbSipLayout->currentIndex();
    const int w = ui->cmbSigType->currentIndex();
    if (w >= 0 && w < int(m_vtWave.size())) {
      m.wave = m_vtWave[size_t(w)].wave;
      m.harm_num = m_vtWave[size_t(w)].harm_num;
    }
    const int f = ui->cmbSigBaseFreq->currentIndex();
    if (f >= 0 && f < int(m_vtFreqBase.size())) m.freq_base = m_vtFreqBase[size_t(f)];
    setText(m.file_name, ui->edtFileName->text());
    m.mn = floatOf(ui->edtMN->text());
    m.first_pole_pos = floatOf(ui->edtPosFirstPole->text());
    m.curr_station_used = ui->rdCurrStationName->isChecked() ? 1 : 0;
    if (ui->cmbCurrStationName->currentIndex() >= 0) setText(m.cur_station, ui->cmbCurrStationName->currentText());
    const int v = ui->cmbCurrResist->currentIndex();
    if (v >= 0 && v < int(m_vtV2i.size())) m.v2i = m_vtV2i[size_t(v)];
    m.cur_value = floatOf(ui->edtCurrValue->text());
    readElectrodeTables();
    return;
  }

  const PrmMeas& m = m_prmMeas;
  {
    const QSignalBlocker b1(ui->edtMN), b2(ui->edtPosFirstPole), b3(ui->edtDistLine2AB);
    if (m_bFillAll) {
      fillCurrentStationList();
      ui->edtProjName->setText(QString::fromUtf8(m.prj_name));
      ui->edtLineNo->setText(QString::number(m.line_no));
      ui->edtPosAx->setText(floatText(m.ax));
      ui->edtPosAy->setText(floatText(m.ay));
      ui->edtPosBx->setText(floatText(m.bx));
      ui->edtPosBy->setText(floatText(m.by));
      ui->cmbSipLayout->setCurrentIndex(m.layout >= 0 && m.layout < ui->cmbSipLayout->count() ? m.layout : -1);
      ui->cmbSigType->setCurrentIndex(waveIndexOf(m.wave, m.harm_num));
      ui->cmbSigBaseFreq->setCurrentIndex(lookup(m_vtFreqBase, m.freq_base));
      ui->edtFileName->setText(QString::fromUtf8(m.file_name));
      ui->rdCurrStationName->setChecked(m.curr_station_used != 0);
      ui->cmbCurrResist->setCurrentIndex(lookup(m_vtV2i, m.v2i));
      ui->rdCurrValue->setChecked(m.curr_station_used == 0);
      ui->cmbCurrStationName->setCurrentIndex(ui->cmbCurrStationName->findText(QString::fromUtf8(m.cur_station)));
      ui->edtCurrValue->setText(floatText(m.cur_value));
    }
    ui->edtMN->setText(floatText(m.mn));
    ui->edtPosFirstPole->setText(floatText(m.first_pole_pos));
    if (!m_vt_prm_dev.empty()) ui->edtDistLine2AB->setText(floatText(m_vt_prm_dev[0].vd2ab));
  }
  const int cur = m.curr_station_used ? indexOfDevice(QString::fromUtf8(m.cur_station)) : -1;
  updateLayoutModel(cur, m.first_pole_pos, m.mn);
  onUpdatePowerUiState();
  updateCurrentInputState();
  fillElectrodeTables();
}

void CWdtParamSrs::fillCurrentStationList() {
  const QSignalBlocker block(ui->cmbCurrStationName);
  ui->cmbCurrStationName->clear();
  for (const PrmDev& d : m_vt_prm_dev) ui->cmbCurrStationName->addItem(QString::fromUtf8(d.dev_name));
}

int CWdtParamSrs::indexOfDevice(const QString& name) const {
  for (size_t i = 0; i < m_vt_prm_dev.size(); ++i)
    if (QString::fromUtf8(m_vt_prm_dev[i].dev_name) == name) return int(i);
  return -1;
}

int CWdtParamSrs::waveIndexOf(int wave, int harmNum) const {
  for (size_t i = 0; i < m_vtWave.size(); ++i)
    if (m_vtWave[i].wave == wave && m_vtWave[i].harm_num == harmNum) return int(i);
  return -1;
}

void CWdtParamSrs::onUpdatePowerUiState() {
  const int L = ui->cmbSipLayout->currentIndex();
  const bool free = L == SIP_ALL_GRADIENT;
  ui->lbLineName->setText(free ? tr("区块号:") : tr("测线:"));
  for (QWidget* w : {static_cast<QWidget*>(ui->lbAy), static_cast<QWidget*>(ui->edtPosAy),
                     static_cast<QWidget*>(ui->lbDevChannel), static_cast<QWidget*>(ui->tbDevChannelLay),
                     static_cast<QWidget*>(ui->lbChannelPole), static_cast<QWidget*>(ui->tbDevPolePointLay)})
    w->setVisible(free);
  ui->lbBy->setVisible(L == SIP_POLE3_SOUNDING || free);
  ui->edtPosBy->setVisible(L == SIP_POLE3_SOUNDING || free);
  ui->cb_posB->setVisible(L == SIP_POLE3_SOUNDING);
  if (free) ui->cb_posB->setChecked(true);
  for (QWidget* w : {static_cast<QWidget*>(ui->label_11), static_cast<QWidget*>(ui->edtMN),
                     static_cast<QWidget*>(ui->label_12), static_cast<QWidget*>(ui->edtPosFirstPole),
                     static_cast<QWidget*>(ui->label_13), static_cast<QWidget*>(ui->edtDistLine2AB),
                     static_cast<QWidget*>(ui->tbDevLay)})
    w->setVisible(!free);
  onPosBStateChanged();
}

void CWdtParamSrs::onPosBStateChanged() {
  const int L = ui->cmbSipLayout->currentIndex();
  const bool checked = ui->cb_posB->isChecked();
  ui->lbBx->setEnabled(L != SIP_POLE3_SOUNDING || checked);
  ui->edtPosBx->setEnabled(L != SIP_POLE3_SOUNDING || checked);
  ui->lbBy->setEnabled(checked);
  ui->edtPosBy->setEnabled(checked);
}

void CWdtParamSrs::updateCurrentInputState() {
  const bool station = ui->rdCurrStationName->isChecked();
  ui->edtCurrValue->setEnabled(!station);
  ui->cmbCurrResist->setEnabled(station);
}

void CWdtParamSrs::onUpdateDevLayout() {
  const float mn = floatOf(ui->edtMN->text());
  const float first = floatOf(ui->edtPosFirstPole->text());
  const float dist = floatOf(ui->edtDistLine2AB->text());
  ParamSetLineLayout(&m_vt_prm_dev, first, mn, dist);
  const int cur = ui->rdCurrStationName->isChecked() ? indexOfDevice(ui->cmbCurrStationName->currentText()) : -1;
  updateLayoutModel(cur, first, mn);
}

void CWdtParamSrs::updateLayoutModel(int curStation, float firstPos, float mn) {
  m_modelDevLay->setCurStation(curStation);
  m_modelDevLay->setFirstPos(firstPos);
  m_modelDevLay->setMN(mn);
  m_modelDevLay->refresh();
}

void CWdtParamSrs::fillElectrodeTables() {
  if (!m_srs.m_vt_pole.empty()) {
    m_modelPole->removeAllRows();
    for (const PrmPole& p : m_srs.m_vt_pole)
      m_modelPole->appendRowTexts({QString::fromUtf8(p.name), floatText(p.x), floatText(p.y)});
  }
  if (!m_vt_prm_dev.empty()) {
    m_modelDevPole->removeAllRows();
    for (const PrmDev& d : m_vt_prm_dev)
      for (int c = 0; c < MAX_CH_NUM; ++c)
        m_modelDevPole->appendRowTexts({QString::fromUtf8(d.dev_name), QString("CH%1").arg(c + 1),
                                        poleNameAt(d.mx[c], d.my[c]), poleNameAt(d.nx[c], d.ny[c])});
  }
}

void CWdtParamSrs::readElectrodeTables() {
  if (ui->cmbSipLayout->currentIndex() != SIP_ALL_GRADIENT) return;
  m_vtPole.clear();
  m_srs.m_vt_pole.clear();
  for (int r = 0; r < m_modelPole->rowCount(); ++r) {
    PrmPole p;
    setText(p.name, m_modelPole->cellText(r, 0));
    p.x = m_modelPole->cellText(r, 1).toFloat();
    p.y = m_modelPole->cellText(r, 2).toFloat();
    m_vtPole.push_back(p);
    m_srs.m_vt_pole.push_back(p);
  }
  QString run;
  int ch = 0;
  for (int r = 0; r < m_modelDevPole->rowCount(); ++r) {
    const QString dev = m_modelDevPole->cellText(r, 0);
    if (r == 0 || dev != run) {
      run = dev;
      ch = 0;
    } else if (ch >= MAX_CH_NUM) {
      continue;
    }
    setChannelPoles(dev, ch, m_modelDevPole->cellText(r, 2), m_modelDevPole->cellText(r, 3));
    ++ch;
  }
}

void CWdtParamSrs::setChannelPoles(const QString& devName, int ch, const QString& mName, const QString& nName) {
  for (PrmDev& d : m_vt_prm_dev) {
    if (QString::fromUtf8(d.dev_name).trimmed() != devName) continue;
    const PrmPole m = poleByName(mName), n = poleByName(nName);
    d.mx[ch] = m.x;
    d.my[ch] = m.y;
    d.nx[ch] = n.x;
    d.ny[ch] = n.y;
    return;
  }
}

PrmPole CWdtParamSrs::poleByName(const QString& name) const {
  const QString wanted = name.trimmed();
  for (const PrmPole& p : m_vtPole)
    if (QString::fromUtf8(p.name).trimmed() == wanted) return p;
  return PrmPole();
}

ParamApplyResult CWdtParamSrs::applyToSrs() {
  updateData(true);
  return ParamApplyToSrs(&m_srs, m_prmMeas, m_vt_prm_dev);
}

double CWdtParamSrs::currentRatio(const PrmMeas& newMeas, const PrmMeas& oldMeas) const {
  return ParamCurrentRatio(newMeas, oldMeas);
}

int CWdtParamSrs::rescaleResults(CResult* r) {
  return ParamRescaleResults(r, m_srs, m_prmMeas, m_vt_prm_dev, currentRatio(m_prmMeas, m_srs.m_prm_meas));
}

bool CWdtParamSrs::transferToFile(CFormatSRS* t, std::string* why) { return ParamTransferToFile(t, m_srs, why); }

bool CWdtParamSrs::rescaleFileResults(CResult* r, CFormatSRS* t) { return ParamRescaleFileResults(r, t, m_srs); }

bool CWdtParamSrs::copyLineSettings(CFormatSRS* t) { return ParamCopyLineSettings(t, m_srs); }

bool CWdtParamSrs::applyOrWarn() {
  const ParamApplyResult r = applyToSrs();
  if (r.ok) return true;
  Prompts::instance().warning(this, tr("提示"), tr("参数无法应用到文件“%1”：%2").arg(srsPathText(), ReasonText::of(r.reason)));
  return false;
}

QString CWdtParamSrs::srsPathText() const { return fromFilePath(m_srs.GetPath()); }

void CWdtParamSrs::onBtnSaveChange() { saveCurrent(); }

void CWdtParamSrs::on_btnSaveChangeThis_clicked() { saveCurrent(); }

void CWdtParamSrs::saveCurrent() {
  if (!m_srs_inited) return;
  const QString path = srsPathText();
  if (!Prompts::instance().question(
          this, tr("提示"), tr("确认修改并覆盖文件“%1”？\n注意：在修改覆盖前，建议备份原始采集数据文件！").arg(path)))
    return;
  updateData(true);
  if (!applyOrWarn()) return;
  ParamSaveResult saved;
  {
    const WaitCursor wait;
    saved = ParamSaveSrs(m_srs, m_srs.GetPath());
  }
  if (!saved.ok) {
    Prompts::instance().warning(this, tr("提示"), withReason(tr("文件“%1”保存失败!").arg(path), saved.reason));
    return;
  }
  QString text = tr("文件“%1”已保存!").arg(path);
  if (saved.backup_made) text += "\n" + tr("原始文件已备份为“%1”。").arg(fromFilePath(saved.backup_path));
  Prompts::instance().information(this, tr("提示"), text);
}

void CWdtParamSrs::on_btnSaveChangeAll_clicked() {
  if (!m_srs_inited) return;
  if (!Prompts::instance().question(
          this, tr("提示"), tr("确认修改并覆盖所有文件？\n注意：在修改覆盖前，建议备份原始采集数据文件！")))
    return;
  updateData(true);
  if (!applyOrWarn()) return;
  ParamSaveAllResult run;
  {
    const WaitCursor wait;
    ProgressDialogRun progress(this, m_listFile.size(), false);
    run = ParamSaveAll(m_srs, toFilePaths(m_listFile), &progress);
  }
  QStringList failed;
  for (const std::string& p : run.failed) failed << QFileInfo(fromFilePath(p)).baseName();
  QString backups;
  for (const std::string& b : run.backups) backups += "\n" + tr("原始文件已备份为“%1”。").arg(fromFilePath(b));
  if (failed.isEmpty())
    Prompts::instance().information(this, tr("提示"), tr("所有文件已保存!") + backups);
  else
    Prompts::instance().warning(this, tr("提示"),
                                tr("文件“%1”保存失败!").arg(failed.join(",")) + "\n" +
                                    ReasonText::failureList(run.failed, run.failed_reason) + backups);
}

void CWdtParamSrs::onBtnSaveResToTxt() {
  if (!m_srs_inited || !applyOrWarn()) return;
  const QString path = srsPathText();
  // Only a real extension is dropped: a path without one keeps all its text.
  const QString stem = path.size() >= 4 && path.at(path.size() - 4) == '.' ? path.left(path.size() - 4) : path;
  m_srs.m_dump_res = true;
  const bool ok = m_srs.Print(toFilePath(stem + "_.txt"));
  m_srs.m_dump_res = false;
  if (ok)
    Prompts::instance().information(this, tr("提示"), tr("文件“%1”已导出到TXT文件中!").arg(path));
  else
    Prompts::instance().warning(this, tr("提示"), tr("文件“%1”导出失败!").arg(path));
}

QString CWdtParamSrs::proposedSpmName(const QString& dir) const {
  const QString path = srsPathText();
  if (!dir.isEmpty()) return dir + QString("/%1").arg(QFileInfo(path).baseName());
  return QString(path).replace(".SRS", ".SPM");
}

bool CWdtParamSrs::writeSpm(FILE* fp) { return SpmWrite(fp, m_prmMeas, m_vt_prm_dev, m_vtPole); }

size_t CWdtParamSrs::writePoleList(FILE* fp, const std::vector<PrmPole>& poles) { return SpmWritePoleList(fp, poles); }

SpmReadResult CWdtParamSrs::readSpm(FILE* fp) {
  const SpmReadResult r =
      SpmRead(fp, m_bFillAll ? SPM_IMPORT_COMPLETE : SPM_IMPORT_LINE, &m_prmMeas, &m_vt_prm_dev, &m_vtPole);
  // The electrode table shows the held file's list: after an import of the
  // free layout that is the imported one, or its channels would find none
  // of their electrodes by name and lose their coordinates on saving.
  if (r.status == SPM_READ_OK && r.poles_present && r.poles == SPM_POLES_READ &&
      m_prmMeas.layout == SIP_ALL_GRADIENT)
    m_srs.m_vt_pole = m_vtPole;
  return r;
}

SpmPoleListRead CWdtParamSrs::readPoleList(FILE* fp) { return SpmReadPoleList(fp, &m_vtPole); }

void CWdtParamSrs::onBtnOutputPrm() {
  if (!m_srs_inited) return;
  const QString name = Prompts::instance().saveFileName(this, "Save sip param", proposedSpmName(s_spmExportDir),
                                                        kSpmFilter);
  if (name.isEmpty()) return;
  s_spmExportDir = QFileInfo(name).path();
  updateData(true);
  if (!ex_write_atomic(toFilePath(name), [this](FILE* fp) { return writeSpm(fp); })) {
    Prompts::instance().warning(this, tr("提示"), tr("文件%1打开失败！").arg(name));
    return;
  }
  Prompts::instance().information(this, tr("提示"), tr("参数导出成功！"));
}

void CWdtParamSrs::onBtnImportPrm() {
  if (!m_srs_inited) return;
  struct FillAllAgain {
    bool* flag;
    ~FillAllAgain() { *flag = true; }
  } again{&m_bFillAll};
  m_bFillAll = !Prompts::instance().question(this, tr("参数覆盖"), tr("是否仅导入测线电极相关设置?"));
  const QString name = Prompts::instance().openFileName(this, "Open sip param", proposedSpmName(s_spmImportDir),
                                                        kSpmFilter);
  if (name.isEmpty()) return;
  s_spmImportDir = QFileInfo(name).path();
  std::unique_ptr<FILE, ExFileCloser> fp(ex_fopen(toFilePath(name).c_str(), "rb"));
  if (!fp) {
    Prompts::instance().warning(this, tr("提示"), tr("文件%1打开失败！").arg(name));
    return;
  }
  const SpmReadResult r = readSpm(fp.get());
  if (r.status != SPM_READ_OK) {
    Prompts::instance().warning(this, tr("提示"),
                                r.status == SPM_READ_CURRENT_MODE
                                    ? tr("参数导入失败！SPM文件的电流输入方式与当前文件不同！")
                                    : tr("参数导入失败！请检查采集站数量是否匹配！"));
    return;
  }
  m_modelDevLay->refresh();
  Prompts::instance().information(this, tr("提示"), tr("参数导入成功！"));
  updateData(false);
  applyOrWarn();
}
