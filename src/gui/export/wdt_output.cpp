#include "gui/export/wdt_output.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QHeaderView>

#include "core/base/clog.h"
#include "core/base/num_check.h"
#include "gui/limits/model_range_limit.h"
#include "gui/limits/shared_data.h"
#include "gui/toolkit/paths.h"
#include "gui/toolkit/progress.h"
#include "gui/toolkit/prompts.h"
#include "gui/toolkit/reason_text.h"
#include "gui/toolkit/wait_cursor.h"
#include "ui_wdt_output.h"

#include <cmath>

namespace {

// A failed read keeps the records before the bad line (or, for a file
// that cannot be opened, the previous table). The edit is emptied then, so
// the table is too: an export must not use rows the user sees no file for.
bool ReadTable(CFormatTxt* table, const std::string& path) {
  if (table->Read(path)) return true;
  CLOG_WARN("side table %s not imported: %s", path.c_str(),
            table->GetError().empty() ? "cannot be opened" : table->GetError().c_str());
  table->Clear();
  return false;
}

void Show(bool visible, std::initializer_list<QWidget*> widgets) {
  for (QWidget* w : widgets) w->setVisible(visible);
}

// A hidden option keeps its cell, so that the rows below it stay where they
// are whatever output is chosen.
void KeepPlaceWhenHidden(QWidget* w) {
  QSizePolicy policy = w->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  w->setSizePolicy(policy);
}

QString Figure(double v) { return QString::number(v, 'g', 10); }


}  // namespace

CWdtOutput::CWdtOutput(QStringList* list, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::CWdtOutput>()), m_list(list), m_limits(limit_default_export()) {
  ui->setupUi(this);
  // The time-series folder shares the row of the input choice, so that
  // neither an empty row nor a jump comes with it.
  KeepPlaceWhenHidden(ui->edtDirSmt);
  KeepPlaceWhenHidden(ui->btnSelDirSmt);
  // The inversion program's choice is never shown; its row may go.
  const QList<QWidget*> never_shown = {ui->rdOutRes2dinv, ui->rdOutZondres2d, ui->lbInvV1};
  for (QWidget* w : ui->grpOutPrmSip->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    if (!never_shown.contains(w)) KeepPlaceWhenHidden(w);
  const QList<QList<QAbstractButton*>> members = {
      {ui->rdInputSrs, ui->rdInputTs},
      {ui->rdCheckErr, ui->rdMidGradient, ui->rd2DSounding, ui->rd3DSounding},
      {ui->rdOutSection, ui->rdInvData},
      {ui->rdOutRes2dinv, ui->rdOutZondres2d},
      {ui->rdOutSipPrmCp, ui->rdOutSipPrmFs, ui->rdOutSipPrmPh},
      {ui->rdPoleCmpYes, ui->rdPoleCmpNo},
      {ui->rdInvAppResistance, ui->rdInvAppResistivity},
      {ui->rdType3, ui->rdType4},
  };
  for (int g = 0; g < 8; ++g) {
    m_groups[g] = new QButtonGroup(this);
    m_groups[g]->setExclusive(true);
    int id = 0;
    for (QAbstractButton* b : members[g]) m_groups[g]->addButton(b, id++);
  }

  SharedData::instance()->setLimitTable(&m_limits);
  m_model = new CModelRangeLimit(&m_limits, this);
  ui->tbRangeLimit->setModel(m_model);
  ui->tbRangeLimit->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  ui->tbRangeLimit->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);

  ui->rdInputSrs->setChecked(true);
  ui->rdOutSection->setChecked(true);
  ui->rdType4->setChecked(true);
  ui->rdOutRes2dinv->setChecked(true);
  ui->rdPoleCmpYes->setChecked(true);
  ui->rdOutSipPrmCp->setChecked(true);
  ui->rdInvAppResistivity->setChecked(true);
  ui->chkAddSystemErr->setChecked(true);
  ui->chkXCoordMove->setChecked(false);
  ui->chkExportOhm->setChecked(false);
  ui->chkExportFdip->setChecked(false);
  ui->chkExportCrtomo->setChecked(false);
  ui->chkExportProtocol->setChecked(false);
  ui->rd2DSounding->setChecked(true);
  ShowLimits();
  onUpdateUiShow();

  connect(ui->btnOutData, &QPushButton::clicked, this, &CWdtOutput::onBtnOutputData);
  connect(ui->btnSelDirSmt, &QPushButton::clicked, this, &CWdtOutput::onBtnSelDirSmt);
  connect(ui->btnImportFileCoord, &QPushButton::clicked, this, &CWdtOutput::onBtnImportFileCoord);
  connect(ui->btnImportFileElev, &QPushButton::clicked, this, &CWdtOutput::onBtnImportFileElev);
  for (int g = 0; g < 3; ++g)
    connect(m_groups[g], &QButtonGroup::idClicked, this, &CWdtOutput::onUpdateUiShow);
  for (QAbstractButton* b :
       {static_cast<QAbstractButton*>(ui->chkAddSystemErr), static_cast<QAbstractButton*>(ui->chkXCoordMove),
        static_cast<QAbstractButton*>(ui->rdPoleCmpNo), static_cast<QAbstractButton*>(ui->rdPoleCmpYes)})
    connect(b, &QAbstractButton::clicked, this, &CWdtOutput::onUpdateUiShow);
  connect(ui->edtMaxErrApp, &QLineEdit::textChanged, this, &CWdtOutput::onUpdateMaxErrValue);
  connect(ui->edtMaxErrCp, &QLineEdit::textChanged, this, &CWdtOutput::onUpdateMaxErrValue);
}

CWdtOutput::~CWdtOutput() {
  // The singleton outlives the page; leave no dangling address behind.
  if (SharedData::instance()->limitTable() == &m_limits) SharedData::instance()->setLimitTable(nullptr);
}

void CWdtOutput::refreshFileList() {
  m_layout = ExportFirstLayout(toFilePaths(*m_list));
  ui->rdPoleCmpNo->setChecked(m_layout == SIP_ALL_GRADIENT);
  const bool on = m_layout != SIP_ALL_GRADIENT;
  for (QWidget* w : {static_cast<QWidget*>(ui->rdPoleCmpYes), static_cast<QWidget*>(ui->rdPoleCmpNo),
                     static_cast<QWidget*>(ui->lbCmpShiftPer), static_cast<QWidget*>(ui->edtShiftPercent)})
    w->setEnabled(on);
}

void CWdtOutput::setCurrentFile(const QString& path) { m_cur_file = path; }

void CWdtOutput::clearInputs() {
  ui->edtInputFileShifting->clear();
  m_shifting.Clear();
}

void CWdtOutput::ShowLimits() {
  ui->edtMaxErrApp->setText(QString("%1").arg(double(m_limits[LIMIT_ROW_APP].rel_max * 100.0f), 0, 'g', -1));
  ui->edtMaxErrCp->setText(QString("%1").arg(double(m_limits[LIMIT_ROW_CP].std_max * 1000.0f), 0, 'g', -1));
}

namespace {

// As typed; a text that is no finite number reads as 0, so that no NaN or
// infinity reaches the limit table the other pages share.
float EditValue(const QLineEdit* edit) {
  const float v = edit->text().toFloat();
  return std::isfinite(v) ? v : 0.0f;
}

}  // namespace

void CWdtOutput::ReadLimits() {
  limit_store_value(&m_limits[LIMIT_ROW_APP], LIMIT_REL, EditValue(ui->edtMaxErrApp) / 100.0f);
  limit_store_value(&m_limits[LIMIT_ROW_CP], LIMIT_STD, EditValue(ui->edtMaxErrCp) / 1000.0f);
  SharedData::instance()->setLimitTable(&m_limits);
}

bool CWdtOutput::CheckNumbers(bool pass_rate) {
  struct Field {
    QLineEdit* edit;
    QString name;
    NumRange range;
    bool pass_rate;  // read by the pass-rate run too
  };
  const QString sys = ui->chkAddSystemErr->text().trimmed() + " ";
  const Field fields[] = {
      {ui->edtMaxErrApp, ui->label_3->text(), NUM_MAX_ERR_APP_PERCENT, true},
      {ui->edtMaxErrCp, ui->label_4->text(), NUM_MAX_ERR_CP_MRAD, true},
      {ui->edtMinDist, ui->lbMinPoleLen->text(), NUM_UNIT_SPACING, true},
      {ui->edtShiftPercent, ui->lbCmpShiftPer->text().trimmed(), NUM_SHIFT_PERCENT, false},
      {ui->edtSystemErrAppPer, sys + ui->lbSystemErrApp->text().trimmed(), NUM_SYS_ERR_APP_PERCENT, false},
      {ui->edtSystemErrCp, sys + ui->lbSystemErrCp->text().trimmed(), NUM_SYS_ERR_CP_MRAD, false},
      {ui->edtXCoordMoveValue, ui->chkXCoordMove->text(), NUM_X_SHIFT, false},
  };
  for (const Field& f : fields) {
    if ((pass_rate && !f.pass_rate) || f.edit->isHidden() || !f.edit->isEnabled()) continue;
    QString why;
    switch (NumCheckFault(f.edit->text().toStdString(), f.range)) {
      case NumFault::None: continue;
      case NumFault::NotNumber: why = tr("不是数字"); break;
      case NumFault::NotFinite: why = tr("须为有限的数"); break;
      case NumFault::OutOfRange:
        why = f.range.lo_open ? tr("须大于%1且不大于%2").arg(Figure(f.range.lo), Figure(f.range.hi))
                              : tr("须在%1与%2之间").arg(Figure(f.range.lo), Figure(f.range.hi));
        break;
    }
    Prompts::instance().warning(this, tr("提示"), tr("%1的值“%2”无效：%3").arg(f.name, f.edit->text(), why));
    f.edit->setFocus();
    f.edit->selectAll();
    return false;
  }
  return true;
}

void CWdtOutput::onUpdateMaxErrValue() { ReadLimits(); }

void CWdtOutput::onUpdateUiShow() {
  const bool ts = ui->rdInputTs->isChecked();
  const bool mid = ui->rdMidGradient->isChecked(), chk = ui->rdCheckErr->isChecked();
  const bool s2 = ui->rd2DSounding->isChecked(), s3 = ui->rd3DSounding->isChecked();
  const bool snd = s2 || s3, inv = !ui->rdOutSection->isChecked();
  Show(ts, {ui->edtDirSmt, ui->btnSelDirSmt});
  Show(mid || chk, {ui->btnImportFileCoord, ui->edtInputFileCoord});
  Show(snd, {ui->rdOutSection, ui->rdInvData, ui->lb2DSouding3});
  Show(false, {ui->rdOutRes2dinv, ui->rdOutZondres2d, ui->lbInvV1});
  Show(snd && inv, {ui->rdOutSipPrmCp, ui->rdOutSipPrmFs, ui->rdOutSipPrmPh, ui->rdInvAppResistance,
                    ui->rdInvAppResistivity, ui->lbMinPoleLen, ui->edtMinDist, ui->chkAddSystemErr,
                    ui->lbSystemErrApp, ui->edtSystemErrAppPer, ui->lbSystemErrCp, ui->edtSystemErrCp,
                    ui->btnImportFileElev, ui->edtInputFileElev, ui->lbInvH1, ui->lbInvH2, ui->lbInvV2,
                    ui->lbInvV3, ui->chkExportOhm, ui->chkExportFdip, ui->chkExportCrtomo,
                    ui->chkExportProtocol});
  Show(s2 && inv, {ui->rdPoleCmpYes, ui->rdPoleCmpNo, ui->lbCmpShiftPer, ui->edtShiftPercent, ui->chkXCoordMove,
                   ui->edtXCoordMoveValue});
  Show(s3, {ui->btnImportFileShifting, ui->edtInputFileShifting});
  Show(s3 && !inv, {ui->rdType3, ui->rdType4});
  ui->edtSystemErrAppPer->setEnabled(ui->chkAddSystemErr->isChecked());
  ui->edtSystemErrCp->setEnabled(ui->chkAddSystemErr->isChecked());
  ui->edtXCoordMoveValue->setEnabled(ui->chkXCoordMove->isChecked());
  ui->edtShiftPercent->setEnabled(ui->rdPoleCmpYes->isChecked());
}

QString CWdtOutput::FirstFileDir() const {
  if (!m_list || m_list->isEmpty()) return QString();
  return QFileInfo(m_list->first()).absolutePath();
}

void CWdtOutput::onBtnSelDirSmt() {
  if (m_dir_smt.isEmpty()) m_dir_smt = FirstFileDir();
  m_dir_smt = Prompts::instance().existingDirectory(this, tr("选择SMT目录"), m_dir_smt);
  ui->edtDirSmt->setText(m_dir_smt);
}

void CWdtOutput::ImportTable(const QString& title, const QString& filter, QString* start_dir,
                             CFormatTxt* table, const QString& failure, QLineEdit* edit) {
  const QString path = Prompts::instance().openFileName(this, title, *start_dir, filter);
  if (path.isEmpty()) return;
  *start_dir = QFileInfo(path).absolutePath();
  if (!ReadTable(table, toFilePath(path))) {
    Prompts::instance().warning(this, tr("提示"), withReason(failure, table->GetReason()));
    edit->clear();
    return;
  }
  edit->setText(path);
}

void CWdtOutput::onBtnImportFileCoord() {
  ImportTable(tr("打开坐标文件"), "txt Files (*.txt)", &m_dir_coord, &m_site_coord, tr("导入坐标失败！"),
              ui->edtInputFileCoord);
}

void CWdtOutput::onBtnImportFileElev() {
  ImportTable(tr("打开高程文件"), "txt Files (*.txt)", &m_dir_elev, &m_elev, tr("导入高程失败！"),
              ui->edtInputFileElev);
}

void CWdtOutput::on_btnImportFileShifting_clicked() {
  ImportTable(tr("打开坐标文件"), "txt Files (*.csv)", &m_dir_shifting, &m_shifting, tr("导入相对坐标失败！"),
              ui->edtInputFileShifting);
}

ExportFormat CWdtOutput::Format() const {
  if (ui->rdCheckErr->isChecked()) return ExportFormat::CheckErr;
  if (ui->rdMidGradient->isChecked()) return ExportFormat::Plane;
  const bool inv = ui->rdInvData->isChecked();
  if (ui->rd3DSounding->isChecked()) return inv ? ExportFormat::Res3dinv : ExportFormat::Section3d;
  if (!inv) return ExportFormat::Section;
  return ui->rdOutZondres2d->isChecked() ? ExportFormat::Zond2d : ExportFormat::Res2dinv;
}

IpQuantity CWdtOutput::Ip() const {
  if (ui->rdOutSipPrmCp->isChecked()) return IpQuantity::RelativePhase;
  return ui->rdOutSipPrmFs->isChecked() ? IpQuantity::FrequencyEffect : IpQuantity::Phase;
}

ExportOptions CWdtOutput::CollectSettings() const {
  ExportOptions s;
  s.paths = toFilePaths(*m_list);
  s.format = Format();
  s.also_ohm = ui->chkExportOhm->isChecked();
  const std::pair<QCheckBox*, ExportFormat> multi_freq[] = {{ui->chkExportFdip, ExportFormat::Fdip},
                                                            {ui->chkExportCrtomo, ExportFormat::Crtomo},
                                                            {ui->chkExportProtocol, ExportFormat::Protocol}};
  for (const auto& [box, format] : multi_freq)
    if (box->isChecked()) s.also_multi_freq.push_back(format);
  s.ip = Ip();
  s.from_smt = ui->rdInputTs->isChecked();
  s.smt_dir = toFilePath(ui->edtDirSmt->text());
  s.combine = ui->rdPoleCmpYes->isChecked();
  s.shift_percent = ui->edtShiftPercent->text().toFloat();
  s.resistivity = ui->rdInvAppResistivity->isChecked();
  s.unit_spacing = ui->edtMinDist->text().toFloat();
  s.add_sys_err = ui->chkAddSystemErr->isChecked();
  s.sys_err_app_percent = ui->edtSystemErrAppPer->text().toFloat();
  s.sys_err_cp_mrad = ui->edtSystemErrCp->text().toFloat();
  s.x_shift_on = ui->chkXCoordMove->isChecked();
  s.x_shift = ui->edtXCoordMoveValue->text().toFloat();
  s.four_poles = ui->rdType4->isChecked();
  s.layout = m_layout;
  s.limits = m_limits;
  s.site_coord = &m_site_coord;
  s.elev = &m_elev;
  s.shifting = &m_shifting;
  return s;
}

QString CWdtOutput::Title(ExportTitle title) const {
  switch (title) {
    case ExportTitle::FileWarning: return tr("文件警告");
    case ExportTitle::Warning: return tr("警告");
    default: return tr("提示");
  }
}

QString CWdtOutput::Text(const ExportMessage& m) const {
  const QStringList a = fromUtf8(m.args);
  const QString a1 = a.value(0), a2 = a.value(1);
  switch (m.code) {
    // The file of another layout follows the text.
    case ExportCode::DeviceError: return tr("第%1个SRS数据文件装置错误!").arg(a1) + "\n" + a2;
    case ExportCode::NoFiles: return tr("没有找到符合要求的SRS数据文件!");
    case ExportCode::ReadFailed: return tr("读取文件%1失败!").arg(a1);
    case ExportCode::SmtMissing: return (QStringList{tr("以下%1个时序文件缺失或无数据:").arg(a1)} + a.mid(1)).join("\n");
    case ExportCode::Converted: return tr("数据转换完成");
    case ExportCode::Exported: return tr("数据导出完成");
    case ExportCode::NoValid: return tr("导出完成，无有效数据!");
    case ExportCode::NameEmpty: return tr("导出的文件名为空!");
    case ExportCode::CreateFailed: return tr("无法创建文件%1: %2").arg(a1, a2);
    case ExportCode::NotCompleted: return tr("文件%1未能完整写入: %2").arg(a1, a2);
    case ExportCode::HarmMismatch: return tr("%1所在组的谐波数与第一组不同，该组数据未导出!").arg(a1);
    case ExportCode::NoFs: return tr("%1文件不支持频散率!").arg(a1);
    case ExportCode::NoHarmonics: return tr("%1没有可导出的谐波，该组数据未导出!").arg(a1);
    case ExportCode::Cancelled: return tr("导出已取消，文件中为取消前导出的数据。");
    case ExportCode::FreqMismatch: return tr("%1所在组有频点与第一个文件不同的文件，未导出任何数据!").arg(a1);
    case ExportCode::FewFrequencies: return tr("%1的频点少于两个，未导出任何数据!").arg(a1);
    case ExportCode::SameBaseName: return tr("%1和%2的文件名相同，无法区分它们的时序文件和检查点，未导出任何数据!").arg(a1, a2);
  }
  return QString();
}

void CWdtOutput::ShowMessages(const std::vector<ExportMessage>& messages) {
  for (const ExportMessage& m : messages) {
    const QString title = Title(ExportTitleOf(m.code)), text = Text(m);
    if (ExportIsWarning(m.code))
      Prompts::instance().warning(this, title, text);
    else
      Prompts::instance().information(this, title, text);
  }
}

void CWdtOutput::onBtnOutputData() {
  const ExportPlan plan = PlanExport(CollectSettings());
  if (!plan.ok()) {
    ShowMessages(plan.refusal);
    return;
  }
  if (!CheckNumbers(false)) return;
  ReadLimits();
  if (m_dir_out.isEmpty()) m_dir_out = FirstFileDir();
  m_dir_out = Prompts::instance().existingDirectory(this, tr("保存目录选择"), m_dir_out);
  if (m_dir_out.isEmpty()) return;

  ExportRun run;
  {
    WaitCursor wait;
    ExportOptions s = CollectSettings();
    s.path_base = toFilePath(m_dir_out + "/" + ui->edtOutFileName->text());
    ProgressDialogRun progress(this, int(plan.groups.size()), true, m_progress_delay_ms);
    run = RunExport(s, plan, &progress);
  }
  ShowMessages(run.messages);
}

void CWdtOutput::on_btnOutPassRate_clicked() {
  if (!m_list || m_list->isEmpty()) {
    ShowMessages({{ExportCode::NoFiles, {}}});
    return;
  }
  if (!CheckNumbers(true)) return;
  ReadLimits();
  if (ui->edtOutFileName->text().isEmpty()) {
    ShowMessages({{ExportCode::NameEmpty, {}}});
    return;
  }
  if (m_dir_pass.isEmpty()) m_dir_pass = FirstFileDir();
  m_dir_pass = Prompts::instance().existingDirectory(this, tr("保存目录选择"), m_dir_pass);
  if (m_dir_pass.isEmpty()) return;

  ExportRun run;
  {
    WaitCursor wait;
    ExportOptions s = CollectSettings();
    s.path_base = toFilePath(m_dir_pass + "/" + ui->edtOutFileName->text());
    ProgressDialogRun progress(this, int(s.paths.size()), true, m_progress_delay_ms);
    run = RunPassRate(s, &progress);
  }
  ShowMessages(run.messages);
}
