#include "gui/section/wdt_pseudo_section.h"

#include "ui_wdt_pseudo_section.h"

#include <QAbstractItemModel>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QToolTip>

#include <algorithm>
#include <cmath>

#include "gui/export/wdt_output.h"
#include "gui/section/plot_section_markers.h"
#include "gui/toolkit/custom_plot.h"
#include "gui/toolkit/paths.h"
#include "gui/toolkit/prompts.h"
#include "gui/toolkit/wait_cursor.h"

namespace {

// Choices of the form's combo boxes, in their order.
enum KindIndex { KIND_2D = 0, KIND_3D = 1, KIND_PLANE = 2 };
const SectionQuantity kIpQuantities[] = {SectionQuantity::Cp, SectionQuantity::Fs, SectionQuantity::Phase};
const SectionDepth kDepths[] = {SectionDepth::Ab5, SectionDepth::Pc2d5, SectionDepth::NLevel};

// Cells of the interpolated surface: fine enough for a full-screen panel,
// cheap enough to redo on every change of the frequency point.
constexpr int kGridX = 240;
constexpr int kGridY = 120;
constexpr double kHoverRadius = 6.0;

bool SameLimits(const std::vector<LimitItem>& a, const std::vector<LimitItem>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const LimitItem &x = a[i], &y = b[i];
    if (x.min_on != y.min_on || x.min != y.min || x.max_on != y.max_on || x.max != y.max || x.rel_on != y.rel_on ||
        x.rel_max != y.rel_max || x.std_on != y.std_on || x.std_max != y.std_max)
      return false;
  }
  return true;
}

QString Utf8(const std::string& s) { return QString::fromUtf8(s.c_str()); }

// What tells a newly imported side table of the export page from the last one.
std::pair<size_t, size_t> TableSizes(const ExportOptions& s) {
  return {s.site_coord ? s.site_coord->m_vt_item.size() : 0, s.elev ? s.elev->m_vt_item.size() : 0};
}

}  // namespace

CWdtPseudoSection::CWdtPseudoSection(const QStringList* list, QAbstractItemModel* files, CWdtOutput* output,
                                     QWidget* parent)
    : QWidget(parent), ui(new Ui::CWdtPseudoSection), m_list(list), m_output(output) {
  ui->setupUi(this);
  m_plots[0] = ui->plotApp;
  m_plots[1] = ui->plotIp;
  for (int k = 0; k < 2; ++k) {
    CCustomPlot* p = m_plots[k];
    p->SetTitle(QString());
    m_scales[k] = new QCPColorScale(p);
    // The title took row 0; the axis rect is in row 1.
    p->plotLayout()->addElement(1, 1, m_scales[k]);
    m_scales[k]->setType(QCPAxis::atRight);
    m_scales[k]->setBarWidth(12);
    auto* margins = new QCPMarginGroup(p);
    p->axisRect()->setMarginGroup(QCP::msBottom | QCP::msTop, margins);
    m_scales[k]->setMarginGroup(QCP::msBottom | QCP::msTop, margins);
    m_maps[k] = new QCPColorMap(p->xAxis, p->yAxis);
    m_maps[k]->setColorScale(m_scales[k]);
    m_maps[k]->setInterpolate(false);
    m_markers[k] = new PlotSectionMarkers(p->xAxis, p->yAxis, m_scales[k]);
    connect(p, &QCustomPlot::mouseMove, this, [this, k](QMouseEvent* e) { onMouseMove(k, e); });
    connect(p, &QCustomPlot::mouseDoubleClick, this, [this, k](QMouseEvent* e) { onDoubleClick(k, e); });
  }
  connect(ui->cmbKind, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CWdtPseudoSection::onKindChanged);
  for (QComboBox* c : {ui->cmbLine, ui->cmbFreq, ui->cmbIp, ui->cmbDepth})
    connect(c, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CWdtPseudoSection::onRedraw);
  connect(ui->chkSurface, &QCheckBox::toggled, this, &CWdtPseudoSection::onRedraw);
  if (files) connect(files, &QAbstractItemModel::modelReset, this, &CWdtPseudoSection::refreshFileList);
  ui->lbStatus->hide();
  fillChoices();
}

CWdtPseudoSection::~CWdtPseudoSection() = default;

void CWdtPseudoSection::refreshFileList() {
  m_stale = true;
  m_list_changed = true;
  if (isVisible()) {
    collect();
    onRedraw();
  }
}

void CWdtPseudoSection::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The export page's limits and tables may have changed while the page
  // was hidden.
  if (!m_stale && m_output) {
    const ExportOptions s = m_output->CollectSettings();
    if (!SameLimits(s.limits, m_used_limits) || TableSizes(s) != m_used_tables) m_stale = true;
  }
  if (!m_stale) return;
  collect();
  onRedraw();
}

void CWdtPseudoSection::onKindChanged() {
  if (m_filling) return;
  m_stale = true;
  if (!isVisible()) return;
  collect();
  onRedraw();
}

void CWdtPseudoSection::collect() {
  WaitCursor wait;
  ExportOptions s = m_output ? m_output->CollectSettings() : ExportOptions();
  s.paths = toFilePaths(m_list ? *m_list : QStringList());
  if (m_list_changed) {
    // A new list opens on the view its files were measured for.
    m_list_changed = false;
    m_filling = true;
    ui->cmbKind->setCurrentIndex(ExportFirstLayout(s.paths) == SIP_MID_GRADIENT ? KIND_PLANE : KIND_2D);
    m_filling = false;
  }
  const int kind = ui->cmbKind->currentIndex();
  s.format = kind == KIND_PLANE ? ExportFormat::Plane : kind == KIND_3D ? ExportFormat::Section3d : ExportFormat::Section;
  m_src = s.paths.empty() ? SectionSource() : CollectSection(s, nullptr);
  if (s.paths.empty()) m_src.status = SECTION_NO_FILES;
  m_used_limits = s.limits;
  m_has_elev = s.elev && !s.elev->m_vt_item.empty();
  m_used_tables = TableSizes(s);
  m_stale = false;
  switch (m_src.status) {
    case SECTION_DEVICE_ERROR: ui->lbStatus->setText(tr("第%1个SRS数据文件装置错误!").arg(m_src.arg)); break;
    case SECTION_NO_FILES: ui->lbStatus->setText(tr("没有找到符合要求的SRS数据文件!")); break;
    case SECTION_READ_FAILED: ui->lbStatus->setText(tr("读取文件%1失败!").arg(Utf8(m_src.arg_path))); break;
    case SECTION_SAME_NAME: {
      const std::vector<std::string>& a = m_src.refusal.args;
      ui->lbStatus->setText(tr("%1和%2的文件名相同，无法区分它们的时序文件和检查点，未导出任何数据!")
                                .arg(Utf8(a.size() > 0 ? a[0] : std::string()), Utf8(a.size() > 1 ? a[1] : std::string())));
      break;
    }
    default: ui->lbStatus->clear(); break;
  }
  ui->lbStatus->setVisible(!ui->lbStatus->text().isEmpty());
  fillChoices();
}

void CWdtPseudoSection::fillChoices() {
  m_filling = true;
  const int freq = ui->cmbFreq->currentIndex();
  ui->cmbFreq->clear();
  for (size_t h = 0; h < m_src.freqs.size(); ++h)
    ui->cmbFreq->addItem(QString("F%1  %2 Hz").arg(h + 1).arg(double(m_src.freqs[h]), 0, 'g', 4));
  if (freq >= 0 && freq < ui->cmbFreq->count()) ui->cmbFreq->setCurrentIndex(freq);
  const QString line = ui->cmbLine->currentText();
  ui->cmbLine->clear();
  for (int l : m_src.lines) ui->cmbLine->addItem(QString::number(l), l);
  const int at = ui->cmbLine->findText(line);
  if (at >= 0) ui->cmbLine->setCurrentIndex(at);
  const int kind = ui->cmbKind->currentIndex();
  ui->lbLine->setVisible(kind == KIND_3D);
  ui->cmbLine->setVisible(kind == KIND_3D);
  ui->lbDepth->setVisible(kind != KIND_PLANE);
  ui->cmbDepth->setVisible(kind != KIND_PLANE);
  m_filling = false;
}

SectionOptions CWdtPseudoSection::options(int panel) const {
  SectionOptions o;
  o.harmonic = std::max(0, ui->cmbFreq->currentIndex());
  o.quantity = panel == 0 ? SectionQuantity::App : kIpQuantities[std::max(0, ui->cmbIp->currentIndex())];
  o.depth = kDepths[std::max(0, ui->cmbDepth->currentIndex())];
  if (ui->cmbKind->currentIndex() == KIND_3D && ui->cmbLine->currentIndex() >= 0)
    o.line = ui->cmbLine->currentData().toInt();
  return o;
}

void CWdtPseudoSection::onRedraw() {
  if (m_filling) return;
  if (!isVisible()) {
    m_stale = true;
    return;
  }
  for (int k = 0; k < 2; ++k) drawPanel(k);
}

QString CWdtPseudoSection::valueName(SectionQuantity q) const {
  switch (q) {
    case SectionQuantity::App: return tr("视电阻率");
    case SectionQuantity::Cp: return tr("相对相位");
    case SectionQuantity::Fs: return tr("频散率");
    case SectionQuantity::Phase: return tr("相位");
  }
  return QString();
}

const Triangulation& CWdtPseudoSection::triangles(const QVector<SectionMarker>& markers) {
  std::vector<double> x, y;
  x.reserve(size_t(markers.size()));
  y.reserve(size_t(markers.size()));
  for (const SectionMarker& m : markers) {
    x.push_back(m.x);
    y.push_back(m.y);
  }
  if (x != m_tri_x || y != m_tri_y) {
    m_tri = DelaunayTriangulate(x, y);
    m_tri_x = x;
    m_tri_y = y;
  }
  return m_tri;
}

void CWdtPseudoSection::drawPanel(int panel) {
  CCustomPlot* plot = m_plots[panel];
  const SectionOptions o = options(panel);
  std::vector<SectionPoint>& pts = m_points[panel];
  pts = SectionPoints(m_src, o);
  const bool plane = m_src.plane;
  const bool n_level = !plane && o.depth == SectionDepth::NLevel;
  QVector<SectionMarker> markers;
  markers.reserve(int(pts.size()));
  int passed = 0;
  for (const SectionPoint& p : pts) {
    // The n-level has no unit to add an elevation to.
    markers.push_back({p.x, n_level ? -p.depth : SectionPlotY(p), p.value, p.passed});
    passed += p.passed;
  }
  m_markers[panel]->setMarkers(markers);

  // Colour range: resistivity on a logarithmic scale over its positive
  // values, phases symmetric around 0, the frequency effect as it comes.
  const bool app = o.quantity == SectionQuantity::App;
  double lo = INFINITY, hi = -INFINITY;
  for (const SectionPoint& p : pts) {
    if (!std::isfinite(p.value) || (app && p.value <= 0.0)) continue;
    lo = std::min(lo, p.value);
    hi = std::max(hi, p.value);
  }
  if (!(lo <= hi)) lo = hi = app ? 1.0 : 0.0;
  if (o.quantity == SectionQuantity::Cp || o.quantity == SectionQuantity::Phase) {
    const double m = std::max(std::fabs(lo), std::fabs(hi));
    lo = -m;
    hi = m;
  }
  if (lo == hi) {
    lo = app ? lo / 1.1 : lo - 1.0;
    hi = app ? hi * 1.1 : hi + 1.0;
  }
  QCPColorScale* scale = m_scales[panel];
  QCPColorGradient gradient(app || o.quantity == SectionQuantity::Fs ? QCPColorGradient::gpJet
                                                                     : QCPColorGradient::gpPolar);
  gradient.setNanHandling(QCPColorGradient::nhTransparent);
  scale->setGradient(gradient);
  scale->setDataScaleType(app ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
  if (app) scale->axis()->setTicker(QSharedPointer<QCPAxisTickerLog>(new QCPAxisTickerLog));
  else scale->axis()->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
  scale->setDataRange(QCPRange(lo, hi));
  scale->axis()->setLabel(QString("%1 (%2)").arg(valueName(o.quantity), Utf8(SectionValueUnit(o.quantity))));

  QCPColorMap* map = m_maps[panel];
  map->setVisible(false);
  if (ui->chkSurface->isChecked() && pts.size() >= 3) {
    const Triangulation& tri = triangles(markers);
    std::vector<double> values;
    values.reserve(pts.size());
    // Resistivity varies over decades: it is interpolated in its logarithm.
    for (const SectionPoint& p : pts) values.push_back(app ? std::log10(std::max(p.value, 1e-30)) : p.value);
    const SurfaceGrid g = InterpolateGrid(tri, values, kGridX, kGridY);
    if (!tri.triangles.empty() && g.nx > 0) {
      map->data()->setSize(g.nx, g.ny);
      map->data()->setRange(QCPRange(g.x0 + g.dx / 2, g.x0 + (g.nx - 0.5) * g.dx),
                            QCPRange(g.y0 + g.dy / 2, g.y0 + (g.ny - 0.5) * g.dy));
      for (int j = 0; j < g.ny; ++j)
        for (int i = 0; i < g.nx; ++i) {
          const double c = g.cells[size_t(j) * size_t(g.nx) + size_t(i)];
          map->data()->setCell(i, j, app && !std::isnan(c) ? std::pow(10.0, c) : c);
        }
      map->setVisible(true);
    }
  }

  // Survey coordinates are large numbers: whole metres read better than powers of ten.
  for (QCPAxis* axis : {plot->xAxis, plot->yAxis}) {
    axis->setNumberFormat(plane ? "f" : "gb");
    axis->setNumberPrecision(plane ? 0 : 6);
  }
  if (plane) {
    plot->xAxis->setLabel(tr("X坐标 (m)"));
    plot->yAxis->setLabel(tr("Y坐标 (m)"));
  } else {
    plot->xAxis->setLabel(tr("中点位置 (m)"));
    plot->yAxis->setLabel(n_level ? tr("n 层") : m_has_elev ? tr("高程 (m)") : tr("拟深度 (m)"));
  }
  bool found = false;
  QCPRange xr = m_markers[panel]->getKeyRange(found);
  QCPRange yr = m_markers[panel]->getValueRange(found);
  if (!found) {
    xr = QCPRange(0, 1);
    yr = QCPRange(0, 1);
  }
  const double mx = std::max(xr.size() * 0.04, 1.0), my = std::max(yr.size() * 0.08, 1.0);
  plot->xAxis->setRange(xr.lower - mx, xr.upper + mx);
  plot->yAxis->setRange(yr.lower - my, yr.upper + my);
  const QString freq = ui->cmbFreq->currentText();
  plot->SetTitle(tr("%1  %2  合格 %3/%4").arg(valueName(o.quantity), freq).arg(passed).arg(pts.size()));
  plot->replot();
}

QString CWdtPseudoSection::pointText(int panel, int index) const {
  const SectionPoint& p = m_points[panel][size_t(index)];
  const SectionQuantity q = options(panel).quantity;
  QString text = tr("文件: %1").arg(QFileInfo(fromFilePath(p.origin.file)).fileName());
  text += "\n" + tr("采集站: %1  通道: %2").arg(Utf8(p.origin.station)).arg(p.origin.channel);
  if (m_src.plane) {
    const std::string& site = m_src.rows[size_t(p.row)].site;
    text += "\n" + tr("测点: %1").arg(site.empty() ? QString("*") : Utf8(site));
    text += "\n" + tr("位置: X %1 m, Y %2 m").arg(p.x, 0, 'f', 2).arg(p.y, 0, 'f', 2);
  } else {
    text += "\n" + tr("位置: %1 m, 深度 %2").arg(p.x, 0, 'f', 2).arg(p.depth, 0, 'f', 2);
  }
  text += "\n" + QString("%1: %2 %3").arg(valueName(q)).arg(p.value, 0, 'g', 6).arg(Utf8(SectionValueUnit(q)));
  text += "\n" + tr("误差: %1 %2").arg(p.error, 0, 'g', 4).arg(Utf8(SectionErrorUnit(q)));
  if (!p.passed) text += "\n" + tr("不合格");
  return text;
}

void CWdtPseudoSection::onMouseMove(int panel, QMouseEvent* event) {
  const int i = m_markers[panel]->markerAt(event->pos(), kHoverRadius);
  if (i < 0 || size_t(i) >= m_points[panel].size()) {
    QToolTip::hideText();
    return;
  }
  QToolTip::showText(event->globalPos(), pointText(panel, i), m_plots[panel]);
}

void CWdtPseudoSection::onDoubleClick(int panel, QMouseEvent* event) {
  const int i = m_markers[panel]->markerAt(event->pos(), kHoverRadius);
  if (i < 0 || size_t(i) >= m_points[panel].size()) return;
  const SectionOrigin& o = m_points[panel][size_t(i)].origin;
  emit pointActivated(fromFilePath(o.file), QString("%1_%2").arg(Utf8(o.station)).arg(o.channel));
}

void CWdtPseudoSection::paintView(QPaintDevice* device, int w, int h) {
  QCPPainter painter(device);
  painter.setMode(QCPPainter::pmVectorized, device->devType() != QInternal::Image);
  painter.fillRect(QRect(0, 0, w, h), Qt::white);
  const int half = h / 2;
  for (int k = 0; k < 2; ++k) {
    painter.save();
    painter.translate(0, k * half);
    m_plots[k]->toPainter(&painter, w, k == 0 ? half : h - half);
    painter.restore();
  }
}

bool CWdtPseudoSection::savePicture(const QString& path, int w, int h, QString* why) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    *why = file.errorString();
    return false;
  }
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == "pdf") {
    QPdfWriter pdf(&file);
    pdf.setResolution(72);
    pdf.setPageSize(QPageSize(QSizeF(w, h), QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    paintView(&pdf, w, h);
  } else if (suffix == "svg") {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(QSize(w, h));
    svg.setViewBox(QRect(0, 0, w, h));
    svg.setTitle(tr("拟断面图"));
    paintView(&svg, w, h);
  } else {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::white);
    paintView(&image, w, h);
    if (!image.save(&file, "PNG")) {
      *why = file.errorString();
      return false;
    }
  }
  if (!file.commit()) {
    *why = file.errorString();
    return false;
  }
  return true;
}

void CWdtPseudoSection::on_btnSavePicture_clicked() {
  Prompts& prompts = Prompts::instance();
  QString path = prompts.saveFileName(this, tr("保存图片"), m_dir_picture,
                                      tr("PNG 图片 (*.png);;PDF 文件 (*.pdf);;SVG 图片 (*.svg)"));
  if (path.isEmpty()) return;
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix != "png" && suffix != "pdf" && suffix != "svg") path += ".png";
  m_dir_picture = QFileInfo(path).path();
  int w = 0, h = 0;
  if (!prompts.getInt(this, tr("保存图片"), tr("图片宽度(像素)"), 1600, 200, 10000, 100, &w)) return;
  if (!prompts.getInt(this, tr("保存图片"), tr("图片高度(像素)"), 1000, 200, 10000, 100, &h)) return;
  QString why;
  if (!savePicture(path, w, h, &why)) prompts.warning(this, tr("提示"), tr("保存图片%1失败: %2").arg(path, why));
}
