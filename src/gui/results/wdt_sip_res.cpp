#include "gui/results/wdt_sip_res.h"

#include "ui_wdt_sip_res.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>

#include "core/base/ex_string.h"
#include "core/processing/pass_rate.h"
#include "core/processing/srs_dump.h"
#include "gui/results/dlg_data_limit.h"
#include "gui/limits/shared_data.h"
#include "gui/results/wdt_res_plot_space_sip.h"
#include "gui/results/wdt_res_plot_spectrum.h"
#include "gui/results/wdt_sip_res_table.h"
#include "core/sip/sip_pub.h"
#include "gui/toolkit/paths.h"
#include "gui/toolkit/progress.h"
#include "gui/toolkit/prompts.h"
#include "gui/toolkit/reason_text.h"


WdtSipRes::WdtSipRes(QWidget* parent)
    : QWidget(parent), ui(new Ui::WdtSipRes), m_vt_limit_page(limit_default_results()) {
  ui->setupUi(this);

  m_loaded = false;
  m_wdt_res_table = ui->wdtResTable;
  m_wdt_res_table->initTable(&m_vt_limit_page);

  m_wdt_space = new CWdtResPlotSpaceSip(this);
  m_wdt_space->setObjectName("wdtSpaceView");
  m_wdt_space->initPlots();
  m_wdt_spectrum = new CWdtResPlotSpectrum(this);
  m_wdt_spectrum->setObjectName("wdtSpectrumView");
  m_wdt_spectrum->initPlots();

  copySharedLimits();
  m_dlg_limit = new CDlgDataLimit(&m_vt_limit_page, this);
  ui->lytAppend->addWidget(m_wdt_space);
  ui->lytAppend->addWidget(m_wdt_spectrum);

  ui->cmbShowType->clear();
  ui->cmbShowType->addItem(tr("数据表格"));
  ui->cmbShowType->addItem(tr("空间视图"));
  ui->cmbShowType->addItem(CWdtResPlotSpectrum::tr("频谱视图"));
  m_pages << m_wdt_res_table << m_wdt_space << m_wdt_spectrum;
  ui->cmbShowType->setCurrentIndex(0);
  ui->cmbCalType->addItem(tr("多频组合计算"));
  ui->cmbCalType->addItem(tr("单频计算"));

  onSwitchShowPage();
  updatePassRate();

  connect(ui->cmbShowType, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &WdtSipRes::onSwitchShowPage);
  connect(ui->cmbCalType, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
          &WdtSipRes::onCmbCalTypeSelChanged);
  connect(ui->btnErrSet, &QPushButton::clicked, this, &WdtSipRes::onBtnSetCheckErr);
}

WdtSipRes::~WdtSipRes() { delete ui; }

void WdtSipRes::copySharedLimits() {
  // Without the export page's table the page keeps its own defaults.
  if (const std::vector<LimitItem>* shared = SharedData::instance()->limitTable())
    LimitsFromShared(&m_vt_limit_page, *shared);
}

void WdtSipRes::setFileList(const QStringList& list) { m_list_file = list; }

void WdtSipRes::setCurrentFile(const QString& path) {
  m_cur_file = path;
  // Every load shows the composed-frequency result; the combo box goes back
  // first so that the pass rate below is taken from that result too.
  {
    const QSignalBlocker blocker(ui->cmbCalType);
    ui->cmbCalType->setCurrentIndex(0);
  }
  const std::string path8 = toFilePath(path);
  if (!path.isEmpty() && m_srs_file.ReadWithoutSpectra(path8)) {
    m_loaded = true;
    m_wdt_res_table->setSrs(&m_srs_file);
    m_wdt_space->setSrs(&m_srs_file);
    m_wdt_res_table->setSingleFreq(false);
    m_wdt_space->setSingleFreq(false);
    refreshAfterLoad();
    onUpdateShowResult();
    // A short tail is a damaged file even though what is there reads: its
    // last self-potential and grounding values are missing.
    if (m_srs_file.GetMissingAfter() >= 0)
      Prompts::instance().warning(this, tr("提示"),
                                  tr("文件“%1”不完整：第%2字节后的数据缺失").arg(path).arg(m_srs_file.GetMissingAfter()));
  } else {
    if (!path.isEmpty())
      if (!QuietLoadFailures::active())
        Prompts::instance().warning(this, tr("提示"),
                                    withReason(tr("打开文件“%1”失败！").arg(path), m_srs_file.GetReason()));
    m_loaded = false;
    m_wdt_res_table->clearTable();
    m_wdt_spectrum->showFile(nullptr);
    ui->edtFileSmt->clear();
    // No file shown, no figure: the last file's rate would pass for this one.
    ui->lbPassRate->clear();
  }
  enableFileButtons();
  onSwitchShowPage();
}

void WdtSipRes::enableFileButtons() {
  ui->btnOutSrsSingle->setEnabled(m_loaded);
  ui->btnRecal->setEnabled(m_loaded);
  ui->btnOutToTxt->setEnabled(m_loaded);
}

void WdtSipRes::dropCurrentFile() {
  m_loaded = false;
  m_wdt_res_table->clearTable();
  enableFileButtons();
}

bool WdtSipRes::ensureSpectra() {
  if (m_srs_file.ReadSpectra()) return true;
  const QString path = fromFilePath(m_srs_file.GetPath());
  if (m_srs_file.Read(m_srs_file.GetPath())) {
    showChangedFile();
    return true;
  }
  Prompts::instance().warning(this, tr("提示"), withReason(tr("打开文件“%1”失败！").arg(path), m_srs_file.GetReason()));
  dropCurrentFile();
  return false;
}

void WdtSipRes::showChangedFile() {
  if (!m_loaded) return;
  // Its channel count may have changed under the table's model.
  m_wdt_res_table->setSrs(&m_srs_file);
  refreshAfterLoad();
  onUpdateShowResult();
}

void WdtSipRes::refreshAfterLoad() {
  ui->cmbCalType->setEnabled(m_srs_file.m_prm_meas.wave == SIP_WAVE_SPREAD_SPECTRUM);
  m_wdt_res_table->updateFreqList();
  m_wdt_space->updateSelList();
  m_wdt_spectrum->showFile(&m_srs_file);
}

void WdtSipRes::onBtnSetCheckErr() {
  if (m_dlg_limit->exec() != QDialog::Accepted) return;
  updatePassRate();
  m_wdt_res_table->onUpdateResList();
}

void WdtSipRes::showEvent(QShowEvent* event) { QWidget::showEvent(event); }

void WdtSipRes::onUpdateShowResult() {
  m_wdt_res_table->onUpdateResList();
  // One graph per frequency over every channel is costly on large files; a
  // space view that is not the chosen display is rebuilt when it is chosen.
  m_space_stale = m_wdt_space->isHidden();
  if (!m_space_stale) m_wdt_space->onUpdateResPlot();
  updatePassRate();
}

void WdtSipRes::onSwitchShowPage() {
  const int i = ui->cmbShowType->currentIndex();
  for (int k = 0; k < m_pages.size(); ++k) m_pages[k]->setVisible(k == i);
  if (m_space_stale && !m_wdt_space->isHidden()) {
    m_space_stale = false;
    m_wdt_space->onUpdateResPlot();
  }
}

void WdtSipRes::onCmbCalTypeSelChanged() {
  const int i = ui->cmbCalType->currentIndex();
  m_wdt_res_table->setSingleFreq(i == 1);
  m_wdt_space->setSingleFreq(i == 1);
  if (m_loaded) {
    refreshAfterLoad();
    onUpdateShowResult();
  }
}

void WdtSipRes::updatePassRate() {
  // Only the first frequency point enters, whatever the table shows.
  const PassRate pr = m_loaded ? PassRateOf(PassRateResult(m_srs_file, ui->cmbCalType->currentIndex() != 0),
                                            m_vt_limit_page)
                               : PassRate();
  QString text = tr("  合格率：%.1f%");
  text.replace("%.1f", QString::fromStdString(PassRateFigure(pr.rate)));
  ui->lbPassRate->setText(text);
}

void WdtSipRes::on_btnSelFileSmt_clicked() {
  static QString s_dirSmt;
  QString start = s_dirSmt;
  if (start.isEmpty()) {
    start = QFileInfo(fromFilePath(m_srs_file.GetPath())).path();
    if (start.size() <= 1 && !m_list_file.isEmpty()) start = m_list_file.first();
  }
  const QString dir = Prompts::instance().existingDirectory(this, tr("选择SMT目录"), start);
  if (dir.isEmpty()) return;
  s_dirSmt = dir;
  ui->edtFileSmt->setText(dir);
}

void WdtSipRes::on_btnOutToTxt_clicked() {
  const QString path = fromFilePath(m_srs_file.GetPath());
  // A failed read leaves a partly filled file object that is not dumped.
  if (path.isEmpty() || !m_loaded) return;
  if (!ensureSpectra()) return;
  Reason why;
  if (DumpSrsText(m_srs_file, &why))
    Prompts::instance().information(this, tr("提示"), tr("文件“%1”已导出到TXT文件中!").arg(path));
  else
    Prompts::instance().warning(this, tr("提示"), withReason(tr("文件“%1”导出失败!").arg(path), why));
}

void WdtSipRes::on_btnOutToTxtAll_clicked() {
  if (m_list_file.isEmpty()) return;
  if (!outputsDistinct(DumpPathFor)) return;
  auto utf8 = [](const QString& s) { return s.toUtf8().toStdString(); };
  DumpTexts texts;
  texts.ok = utf8(tr("%1 导出成功!\n\n"));
  texts.failed = utf8(tr("%1 导出失败!\n\n"));
  texts.open_failed = utf8(tr("%1 打开失败!\n\n"));
  const std::vector<std::string> paths = toFilePaths(m_list_file);
  const DumpRun run = RunWithProgress(this, m_list_file.size(), false,
                                      [&](RunProgress* progress) { return DumpAllSrs(paths, texts, progress); });
  QString text = runOutcome(run.failed_paths, run.failed_reason, int(paths.size()), tr("导出完成！"),
                            fromFilePath(DumpReportPathFor(paths.front())), fromUtf8(run.entries));
  if (!run.replaced.empty())
    text += "\n" + tr("已替换的文件：\n%1").arg(fromFilePaths(run.replaced).join("\n"));
  showOutcome(run.failed_paths.empty(), text);
}

bool WdtSipRes::writeReport(const QStringList& msgs, const QString& path) {
  std::vector<std::string> entries;
  entries.reserve(size_t(msgs.size()));
  for (const QString& m : msgs) entries.push_back(m.toUtf8().toStdString());
  return WriteReport(toFilePath(path), entries);
}

QString WdtSipRes::runOutcome(const std::vector<std::string>& failed, const std::vector<Reason>& reasons, int total,
                              const QString& done, const QString& report, const QStringList& entries) {
  // "Done" only when every file was written; otherwise how many were, and
  // which were not and why.
  QString text = failed.empty() ? done
                                : tr("%1个文件中%2个已完成，%3个失败：\n%4")
                                      .arg(total)
                                      .arg(total - int(failed.size()))
                                      .arg(failed.size())
                                      .arg(ReasonText::failureList(failed, reasons));
  if (!writeReport(entries, report)) text += "\n" + tr("报告文件“%1”无法写入！").arg(report);
  return text;
}

void WdtSipRes::showOutcome(bool ok, const QString& text) {
  if (ok)
    Prompts::instance().information(this, tr("提示"), text);
  else
    Prompts::instance().warning(this, tr("警告"), text);
}

RecalcTexts WdtSipRes::recalcTexts() const {
  auto utf8 = [](const QString& s) { return s.toUtf8().toStdString(); };
  RecalcTexts t;
  t.recal_ok = utf8(tr("%1 重计算成功!\n"));
  t.open_failed = utf8(tr("%1 打开失败!\n\n"));
  t.write_failed = utf8(tr("%1 写入失败!\n\n"));
  t.open_ok = utf8(tr("%1 打开成功!\n"));
  t.recal_failed = utf8(tr("%1 重计算失败!\n"));
  t.devices_done = utf8(tr("重计算仪器: %1\n"));
  t.devices_done_none = utf8(tr("重计算仪器: 无\n"));
  t.devices_miss = utf8(tr("未计算仪器: %1\n\n"));
  t.devices_miss_none = utf8(tr("未计算仪器: 无\n\n"));
  return t;
}

std::string WdtSipRes::smtDir() const { return toFilePath(ui->edtFileSmt->text()); }

void WdtSipRes::recomputeComposed(CFormatSRS& srs, int a) { RecomputeComposed(srs, a); }

std::string WdtSipRes::smtPathFor(const std::string& srs_path, const std::string& dev_name) const {
  return SmtPathFor(smtDir(), srs_path, dev_name);
}

bool WdtSipRes::recalcFromSmt(CFormatSRS& srs, QStringList* done, QStringList* miss) {
  done->clear();
  miss->clear();
  SmtRebuild r;
  if (!RecalcFromSmt(srs, smtDir(), &r.done, &r.miss, &r.cur_path)) {
    warnNotRebuilt(srs, r);
    return false;
  }
  *done = fromUtf8(r.done);
  *miss = fromUtf8(r.miss);
  return true;
}

void WdtSipRes::warnNotRebuilt(const CFormatSRS& srs, const SmtRebuild& r) {
  // Without a path looked for, the file itself cannot be rebuilt (no
  // harmonics, or no factor to turn the recorded voltage into a current).
  if (r.cur_path.empty())
    Prompts::instance().warning(this, tr("警告"),
                                tr("%1.SRS文件无法从时序重计算！").arg(QFileInfo(fromFilePath(srs.GetPath())).baseName()));
  else
    Prompts::instance().warning(this, tr("警告"), tr("未找到电流数据:\n%1").arg(fromFilePath(r.cur_path)));
}

bool WdtSipRes::askHarmCount(int* a) {
  int value = 4;
  const bool ok = Prompts::instance().getInt(this, tr("组合频率设置"), tr("单频的组合谐波数:"), 4, 1, RECAL_HARM_MAX, 1,
                                             &value);
  if (!ok || value < 1 || value > RECAL_HARM_MAX) {
    Prompts::instance().warning(this, tr("提示"), tr("输入数据格式不正确！"));
    return false;
  }
  *a = value;
  return true;
}

bool WdtSipRes::askOutputFolder(QString* remembered, QString* dir) {
  if (remembered->isEmpty()) *remembered = QFileInfo(m_list_file.first()).path();
  *dir = Prompts::instance().existingDirectory(this, "Save SRS", *remembered);
  if (dir->isEmpty()) return false;
  *remembered = *dir;
  const std::string out_dir = toFilePath(*dir);
  if (!outputsDistinct([&out_dir](const std::string& p) {
        return SrsBaseName(p).empty() ? std::string() : RecalcOutPath(out_dir, p);
      }))
    return false;
  // The imported files are raw acquisition data: replacing them takes an
  // explicit yes (and the run keeps each original once as .orig).
  if (InputsOverwrittenBy(toFilePaths(m_list_file), toFilePath(*dir)).empty()) return true;
  return Prompts::instance().question(this, tr("提示"), tr("输出目录包含原始SRS文件，是否覆盖？"));
}

bool WdtSipRes::outputsDistinct(const std::function<std::string(const std::string&)>& out_of) {
  OutputCollision hit;
  if (!FindOutputCollision(toFilePaths(m_list_file), out_of, &hit)) return true;
  Prompts::instance().warning(this, tr("警告"),
                              tr("“%1”和“%2”将写入同一个文件“%3”，未写入任何文件！")
                                  .arg(fromFilePath(hit.first), fromFilePath(hit.second), fromFilePath(hit.output)));
  return false;
}

void WdtSipRes::on_btnRecal_clicked() {
  if (!m_loaded) {
    Prompts::instance().warning(this, tr("提示"), QString::fromUtf8("请先选择SRS文件，再重新计算！"));
    return;
  }
  const QString path = fromFilePath(m_srs_file.GetPath());
  if (path.isEmpty()) return;
  int a = 0;
  if (!askHarmCount(&a)) return;
  if (!ensureSpectra()) return;
  recomputeComposed(m_srs_file, a);
  // The frequency list follows the new grouping, so that no value is shown
  // under the label of another frequency.
  showChangedFile();
  Prompts::instance().information(this, tr("提示"), tr("文件%1已被重新计算！").arg(path));
}

void WdtSipRes::on_btnRecalAll_clicked() {
  static QString s_dirRecalAll;
  // No file: nothing to ask for and no folder to start the dialog from.
  if (m_list_file.isEmpty()) {
    Prompts::instance().warning(this, tr("警告"), tr("SRS文件列表为空！"));
    return;
  }
  int a = 0;
  if (!askHarmCount(&a)) return;
  QString dir;
  if (!askOutputFolder(&s_dirRecalAll, &dir)) return;

  const RecalcRun run = RunWithProgress(this, m_list_file.size(), false, [&](RunProgress* progress) {
    return RecalcAllComposed(toFilePaths(m_list_file), a, toFilePath(dir), recalcTexts(), progress);
  });
  showOutcome(run.failed_paths.empty(),
              runOutcome(run.failed_paths, run.failed_reason, m_list_file.size(), tr("重计算已完成！"),
                         QString("%1/%2").arg(dir, RECAL_REPORT_NAME), fromUtf8(run.entries)));
}

void WdtSipRes::on_btnOutSrsSingle_clicked() {
  static QString s_dirSaveSrs;
  if (ui->edtFileSmt->text().isEmpty()) {
    Prompts::instance().warning(this, tr("警告"), tr("SMT时序文件目录为空！"));
    return;
  }
  const QString path = fromFilePath(m_srs_file.GetPath());
  if (m_list_file.isEmpty() || path.isEmpty()) {
    Prompts::instance().warning(this, tr("警告"), tr("请选择需要进行重计算的SRS文件！"));
    return;
  }
  const QString base = QFileInfo(path).baseName();
  if (!m_srs_file.Read(toFilePath(path))) {
    Prompts::instance().warning(this, tr("警告"), withReason(tr("%1.SRS文件读取失败！").arg(base), m_srs_file.GetReason()));
    dropCurrentFile();
    return;
  }

  if (s_dirSaveSrs.isEmpty()) s_dirSaveSrs = QFileInfo(path).path();
  const QString name =
      Prompts::instance().saveFileName(this, "Save SRS", s_dirSaveSrs + QString("/%1.SRS").arg(base), "CRS Files (*.SRS)");
  if (name.isEmpty()) {
    showChangedFile();
    return;
  }
  const SmtRebuild r = RebuildSrsFromSmt(m_srs_file, smtDir(), true, toFilePath(name));
  // The re-read dropped in-memory changes and the rebuild changed values:
  // the views catch up before the outcome is shown.
  showChangedFile();
  switch (r.status) {
    case SmtRebuildStatus::NoCurrent:
    case SmtRebuildStatus::CannotRebuild:
      warnNotRebuilt(m_srs_file, r);
      return;
    case SmtRebuildStatus::ReadFailed:
    case SmtRebuildStatus::WriteFailed:
      s_dirSaveSrs = QFileInfo(name).path();
      Prompts::instance().warning(this, tr("警告"), withReason(tr("文件%1打开失败！").arg(name), r.reason));
      return;
    case SmtRebuildStatus::Ok:
      break;
  }
  s_dirSaveSrs = QFileInfo(name).path();
  Prompts::instance().information(this, tr("提示"),
                                  tr("文件保存成功！\n重计算设备:%1\n未计算设备:%2")
                                      .arg(fromUtf8(r.done).join(","), fromUtf8(r.miss).join(",")));
}

void WdtSipRes::on_btnOutSrsAll_clicked() {
  static QString s_dirSmtAll;
  if (ui->edtFileSmt->text().isEmpty()) {
    Prompts::instance().warning(this, tr("警告"), tr("SMT时序文件目录为空！"));
    return;
  }
  if (m_list_file.isEmpty()) {
    Prompts::instance().warning(this, tr("警告"), tr("SRS文件列表为空！"));
    return;
  }
  QString dir;
  if (!askOutputFolder(&s_dirSmtAll, &dir)) return;

  const RecalcRun run = RunWithProgress(this, m_list_file.size(), false, [&](RunProgress* progress) {
    return RecalcAllFromSmt(toFilePaths(m_list_file), smtDir(), toFilePath(dir), recalcTexts(), progress);
  });
  showOutcome(run.failed_paths.empty(),
              runOutcome(run.failed_paths, run.failed_reason, m_list_file.size(), tr("文件保存成功！"),
                         QString("%1/%2").arg(dir, RECAL_SMT_REPORT_NAME), fromUtf8(run.entries)));
}
