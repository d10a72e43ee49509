#include "gui/results/wdt_sip_res_table.h"

#include "ui_wdt_sip_res_table.h"

#include <QComboBox>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableView>

#include "gui/results/header_two_line.h"
#include "gui/results/model_res.h"
#include "core/sip/format_srs.h"

CWdtSipResTable::CWdtSipResTable(QWidget* parent) : QWidget(parent), ui(new Ui::CWdtSipResTable) {
  ui->setupUi(this);
  // English labels such as "Elec-amplitude square err(mV)" are far wider
  // than the numbers under them; on two lines the columns fit the page.
  ui->tbRes->setHorizontalHeader(new HeaderTwoLine(ui->tbRes));
  connect(ui->cmbFreq, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CWdtSipResTable::onUpdateResList);
}

CWdtSipResTable::~CWdtSipResTable() { delete ui; }

void CWdtSipResTable::initTable(const std::vector<LimitItem>* vt_limit) {
  if (!m_model) {
    m_model = new ModelRes(this);
    m_model->setDisplayItems({0, 2, 3, 4, 5, 8, 9, 20, 21, 22, 23});
    ui->tbRes->setModel(m_model);
    // Stretched columns elided the values ("9....") and the headers at the
    // default width: each column takes what its header and its cells need,
    // with a horizontal scroll bar only when the page is narrower still.
    ui->tbRes->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->tbRes->horizontalHeader()->setStretchLastSection(true);
    ui->tbRes->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  }
  m_model->setLimits(vt_limit);
}

void CWdtSipResTable::setSrs(CFormatSRS* srs) {
  m_srs = srs;
  if (!m_model) return;
  m_model->setSrs(srs);
  m_model->setFreqIdx(0);
}

void CWdtSipResTable::setSingleFreq(bool single) {
  m_single_freq = single;
  if (m_model) m_model->setSingleFreq(single);
}

void CWdtSipResTable::updateFreqList() {
  const int prev = ui->cmbFreq->currentIndex();
  const QSignalBlocker blocker(ui->cmbFreq);
  ui->cmbFreq->clear();
  if (m_srs) {
    CResultSip& res = m_single_freq ? m_srs->m_res : m_srs->m_res_composed;
    // A result without base frequencies has no frequency values to list.
    const int harm_num = res.GetFreqNum() > 0 ? res.GetHarmNum() : 0;
    for (int i = 0; i < harm_num; ++i) ui->cmbFreq->addItem(QString("%1Hz").arg(double(res.GetFreq(0, i))));
  }
  ui->cmbFreq->setCurrentIndex(prev < 0 ? 0 : prev);
}

void CWdtSipResTable::clearTable() {
  if (!m_model) return;
  m_model->resetFreq();
  ui->cmbFreq->clear();
}

void CWdtSipResTable::onUpdateResList() {
  if (!m_model || m_model->freqIdx() < 0 || !m_srs) return;
  const int i = ui->cmbFreq->currentIndex();
  // A file without a harmonic number would divide by zero; it is read as one
  // harmonic per base frequency.
  const int harm = m_srs->m_prm_meas.harm_num > 0 ? m_srs->m_prm_meas.harm_num : 1;
  m_model->setFreqHarm(i / harm, i % harm);
}
