#include "gui/results/wdt_res_plot_space_sip.h"

#include "ui_wdt_res_plot.h"

#include <QComboBox>
#include <QTableView>

#include <cstdint>

#include "gui/results/model_plot_sel_freq.h"
#include "core/sip/format_srs.h"
#include "gui/toolkit/custom_plot.h"
#include "gui/toolkit/item_delegates.h"

CWdtResPlotSpaceSip::CWdtResPlotSpaceSip(QWidget* parent) : CWdtResPlot(parent) {}

CResultSip* CWdtResPlotSpaceSip::shownResult() const {
  if (!m_srs) return nullptr;
  return m_single_freq ? &m_srs->m_res : &m_srs->m_res_composed;
}

ModelPlotSel* CWdtResPlotSpaceSip::createSelModel() {
  auto* delegate = new CItemColor(this);
  m_model_freq = new ModelPlotSelFreq(this);
  ui->tbFreqSel->setModel(m_model_freq);
  ui->tbFreqSel->setItemDelegateForColumn(3, delegate);
  return m_model_freq;
}

void CWdtResPlotSpaceSip::fillDataTypes() {
  ui->cmbDataType->addItem(tr("视电阻率+相对相位"));
  ui->cmbDataType->addItem(tr("视电阻率+频散率"));
  ui->cmbDataType->addItem(tr("电场振幅+电场相位"));
  m_vt_plot1_type = {RES_APP, RES_APP, RES_U_AMP};
  m_vt_plot2_type = {RES_CP, RES_FS, RES_U_PH};
}

void CWdtResPlotSpaceSip::setXAxisLabel(CCustomPlot* plot) { plot->xAxis->setLabel(tr("M位置(m)")); }

void CWdtResPlotSpaceSip::updateSelList() {
  if (!m_model_freq) return;
  CResultSip* r = shownResult();
  QVector<float> vt_freq;
  int freq_num = 0, harm_num = 0;
  if (r) {
    freq_num = r->GetFreqNum();
    harm_num = r->GetHarmNum();
    if (freq_num > 0 && harm_num > 0) {
      vt_freq.reserve(freq_num * harm_num);
      for (int f = 0; f < freq_num; ++f)
        for (int h = 0; h < harm_num; ++h) vt_freq.push_back(r->GetFreq(f, h));
    }
  }
  m_model_freq->setFreqs(freq_num, harm_num, vt_freq);
  ui->tbFreqSel->resizeColumnsToContents();
}

void CWdtResPlotSpaceSip::fillSeries(int row, int quantity, QVector<double>& xs, QVector<double>& ys,
                                     QVector<double>& errs) {
  xs.clear();
  ys.clear();
  errs.clear();
  CResultSip* r = shownResult();
  if (!r || !m_model_freq || quantity < 0 || quantity >= TYPE_CNT) return;
  const QPair<int, int> fh = m_model_freq->rowToFreqHarm(row);
  const PrmMeas& meas = m_srs->m_prm_meas;
  const int ch_num = r->GetChNum();
  for (int c = 0; c < ch_num; ++c) {
    const ResItem item = r->GetItem(c, fh.first, fh.second);
    const ResBlock& q = item.blk[quantity];
    if (q.count == 0) continue;
    // Site numbers are 16-bit in the device records.
    const uint16_t site = uint16_t(r->GetChInfo(c).site_no);
    xs.push_back(SipSitePos(meas.first_pole_pos, meas.mn, site));
    ys.push_back(ResDisplayScale(q.value, quantity));
    errs.push_back(ResDisplayScale(q.err, quantity));
  }
}
