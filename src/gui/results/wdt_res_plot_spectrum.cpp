#include "gui/results/wdt_res_plot_spectrum.h"

#include "ui_wdt_res_plot.h"
#include "ui_wdt_res_plot_spectrum.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTableView>

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/processing/cole_cole.h"
#include "core/sip/format_srs.h"
#include "gui/results/model_plot_sel_channel.h"
#include "gui/toolkit/custom_plot.h"
#include "gui/toolkit/item_delegates.h"
#include "gui/toolkit/wait_cursor.h"

namespace {

// Points of a fitted curve, evenly spaced in log frequency over the
// channel's band.
constexpr int kCurvePoints = 120;

bool Finite(double v) { return std::isfinite(v); }

}  // namespace

CWdtResPlotSpectrum::CWdtResPlotSpectrum(QWidget* parent)
    : CWdtResPlot(parent), m_ui_fit(new Ui::CWdtResPlotSpectrum) {
  auto* tools = new QWidget(this);
  m_ui_fit->setupUi(tools);
  ui->horizontalLayout_6->addWidget(tools);
  // Points stand alone here: the fitted curve is the line through them.
  ui->chkLine->setChecked(false);
  // A graph and its error bars per channel: a legend taking each of them (it
  // is never shown) grows item by item, quadratic in the channels, and took
  // seconds for a 360-channel file.
  for (CCustomPlot* plot : {ui->wdtPlotAmp, ui->wdtPlotPh}) plot->setAutoAddPlottableToLegend(false);
  connect(m_ui_fit->chkShowFit, &QCheckBox::toggled, this, &CWdtResPlotSpectrum::onShowCurves);
}

CWdtResPlotSpectrum::~CWdtResPlotSpectrum() { delete m_ui_fit; }

ModelPlotSel* CWdtResPlotSpectrum::createSelModel() {
  auto* delegate = new CItemColor(this);
  m_model_ch = new ModelPlotSelChannel(this);
  ui->tbFreqSel->setModel(m_model_ch);
  ui->tbFreqSel->setItemDelegateForColumn(ModelPlotSelChannel::COL_COLOR, delegate);
  connect(m_model_ch, &ModelPlotSel::dataChanged, this, &CWdtResPlotSpectrum::onUpdateCurves);
  connect(m_model_ch, &ModelPlotSel::checkChanged, this, &CWdtResPlotSpectrum::onShowCurves);
  return m_model_ch;
}

void CWdtResPlotSpectrum::fillDataTypes() {
  ui->cmbDataType->addItem(tr("视电阻率+相位"));
  m_vt_plot1_type = {RES_APP};
  m_vt_plot2_type = {QUANTITY_NEG_PHASE};
}

void CWdtResPlotSpectrum::setXAxisLabel(CCustomPlot* plot) {
  plot->SetXLog(true);
  plot->xAxis->setLabel(tr("频率(Hz)"));
  if (plot == ui->wdtPlotPh) {
    // The base class knows no axis for this quantity and leaves it alone.
    plot->yAxis->setLabel(tr("-相位(mrad)"));
    plot->m_y_fixed = 0;
  }
}

void CWdtResPlotSpectrum::showFile(CFormatSRS* srs) {
  setSrs(srs);
  m_stale = true;
  if (isVisible()) refreshNow();
}

void CWdtResPlotSpectrum::showEvent(QShowEvent* event) {
  CWdtResPlot::showEvent(event);
  if (m_stale) refreshNow();
}

void CWdtResPlotSpectrum::refreshNow() {
  m_stale = false;
  updateSelList();
  onUpdateResPlot();
  onUpdateCurves();
}

void CWdtResPlotSpectrum::updateSelList() {
  if (!m_model_ch) return;
  const WaitCursor wait;
  m_spectra = m_srs ? SpectraOf(m_srs->m_res) : std::vector<ChannelSpectrum>();
  m_model_ch->setChannels(m_spectra, FitColeColeAll(m_spectra));
  ui->tbFreqSel->resizeColumnsToContents();
}

void CWdtResPlotSpectrum::fillSeries(int row, int quantity, QVector<double>& xs, QVector<double>& ys,
                                     QVector<double>& errs) {
  xs.clear();
  ys.clear();
  errs.clear();
  if (row < 0 || size_t(row) >= m_spectra.size()) return;
  for (const SpectrumPoint& p : m_spectra[size_t(row)].points) {
    double y = 0.0, e = 0.0;
    if (quantity == RES_APP) {
      y = p.rho;
      e = p.rho_err;
      if (!(y > 0.0)) continue;
    } else if (quantity == QUANTITY_NEG_PHASE) {
      y = -double(p.phase) * 1000.0;
      e = double(p.phase_err) * 1000.0;
    } else {
      continue;
    }
    if (!(p.freq_hz > 0.0f) || !Finite(p.freq_hz) || !Finite(y)) continue;
    xs.push_back(p.freq_hz);
    ys.push_back(y);
    errs.push_back(Finite(e) ? e : 0.0);
  }
}

void CWdtResPlotSpectrum::onUpdateCurves() {
  rebuildCurves(ui->wdtPlotAmp, false, m_vt_curve1);
  rebuildCurves(ui->wdtPlotPh, true, m_vt_curve2);
  onShowCurves();
}

void CWdtResPlotSpectrum::rebuildCurves(CCustomPlot* plot, bool phase, QVector<QCPGraph*>& curves) {
  for (QCPGraph* g : curves)
    if (g && plot->hasPlottable(g)) plot->removePlottable(g);
  curves.clear();
  const int n = m_model_ch ? m_model_ch->rowCount() : 0;
  for (int r = 0; r < n && size_t(r) < m_spectra.size(); ++r) {
    const ColeColeFit& fit = m_model_ch->fitOf(r);
    const std::vector<SpectrumPoint>& pts = m_spectra[size_t(r)].points;
    if (fit.status != ColeColeStatus::Ok || pts.empty()) {
      curves.push_back(nullptr);
      continue;
    }
    double lo = pts.front().freq_hz, hi = lo;
    for (const SpectrumPoint& p : pts) {
      lo = std::min(lo, double(p.freq_hz));
      hi = std::max(hi, double(p.freq_hz));
    }
    QVector<double> xs, ys;
    for (int i = 0; i < kCurvePoints; ++i) {
      const double f = lo * std::pow(hi / lo, double(i) / (kCurvePoints - 1));
      const std::complex<double> rho = ColeColeRho(fit.p, f);
      xs.push_back(f);
      ys.push_back(phase ? -std::arg(rho) * 1000.0 : std::abs(rho));
    }
    QPen pen(m_model_ch->color(r));
    pen.setWidthF(1.5);
    curves.push_back(plot->AddGraph(xs, ys, QString(), pen, true, QCPScatterStyle()));
  }
}

void CWdtResPlotSpectrum::onShowCurves() {
  const bool on = m_ui_fit->chkShowFit->isChecked();
  const std::pair<CCustomPlot*, const QVector<QCPGraph*>*> lists[] = {{ui->wdtPlotAmp, &m_vt_curve1},
                                                                      {ui->wdtPlotPh, &m_vt_curve2}};
  for (const auto& l : lists) {
    for (int r = 0; r < l.second->size(); ++r) {
      QCPGraph* g = (*l.second)[r];
      if (g && l.first->hasPlottable(g)) g->setVisible(on && m_model_ch->isChecked(r));
    }
    l.first->replot(QCustomPlot::rpQueuedReplot);
  }
}
