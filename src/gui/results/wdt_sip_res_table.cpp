#include "gui/results/wdt_sip_res_table.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <QTableView>
#include <QVBoxLayout>

#include "gui/results/model_res.h"
#include "core/sip/format_srs.h"

CWdtSipResTable::CWdtSipResTable(QWidget* parent) : QWidget(parent) {
  setupUi();
  connect(cmbFreq, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CWdtSipResTable::onUpdateResList);
}

void CWdtSipResTable::setupUi() {
  setObjectName("CWdtSipResTable");

  verticalLayout_2 = new QVBoxLayout(this);
  verticalLayout_2->setObjectName("verticalLayout_2");
  groupBox = new QGroupBox(this);
  groupBox->setObjectName("groupBox");
  verticalLayout = new QVBoxLayout(groupBox);
  verticalLayout->setObjectName("verticalLayout");
  verticalLayout->setContentsMargins(0, 0, 0, 0);

  horizontalLayout_2 = new QHBoxLayout();
  horizontalLayout_2->setObjectName("horizontalLayout_2");
  horizontalLayout = new QHBoxLayout();
  horizontalLayout->setObjectName("horizontalLayout");
  label_3 = new QLabel(groupBox);
  label_3->setObjectName("label_3");
  label_3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  horizontalLayout->addWidget(label_3);
  cmbFreq = new QComboBox(groupBox);
  cmbFreq->setObjectName("cmbFreq");
  cmbFreq->addItem(QString());
  cmbFreq->addItem(QString());
  horizontalLayout->addWidget(cmbFreq);
  horizontalLayout_2->addLayout(horizontalLayout);
  horizontalSpacer = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
  horizontalLayout_2->addItem(horizontalSpacer);
  verticalLayout->addLayout(horizontalLayout_2);

  tbRes = new QTableView(groupBox);
  tbRes->setObjectName("tbRes");
  verticalLayout->addWidget(tbRes);
  verticalLayout_2->addWidget(groupBox);

  retranslateUi();
}

void CWdtSipResTable::retranslateUi() {
  setWindowTitle(tr("Form"));
  groupBox->setTitle(QString());
  label_3->setText(tr("频率:"));
  cmbFreq->setItemText(0, tr("0.25Hz"));
  cmbFreq->setItemText(1, tr("0.0625Hz"));
}

void CWdtSipResTable::initTable(const std::vector<LimitItem>* vt_limit) {
  if (!m_model) {
    m_model = new ModelRes(this);
    m_model->setDisplayItems({0, 2, 3, 4, 5, 8, 9, 20, 21, 22, 23});
    tbRes->setModel(m_model);
    tbRes->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  }
  m_model->setLimits(vt_limit);
}

void CWdtSipResTable::setSrs(CFormatSRS* srs) {
  m_srs = srs;
  if (!m_model) return;
  m_model->setFreqIdx(0);
  m_model->setSrs(srs);
}

void CWdtSipResTable::setSingleFreq(bool single) {
  m_single_freq = single;
  if (m_model) m_model->setSingleFreq(single);
}

void CWdtSipResTable::updateFreqList() {
  const int prev = cmbFreq->currentIndex();
  const QSignalBlocker blocker(cmbFreq);
  cmbFreq->clear();
  if (m_srs) {
    CResultSip& res = m_single_freq ? m_srs->m_res : m_srs->m_res_composed;
    // A result without base frequencies has no frequency values to list.
    const int harm_num = res.GetFreqNum() > 0 ? res.GetHarmNum() : 0;
    for (int i = 0; i < harm_num; ++i) cmbFreq->addItem(QString("%1Hz").arg(double(res.GetFreq(0, i))));
  }
  cmbFreq->setCurrentIndex(prev < 0 ? 0 : prev);
}

void CWdtSipResTable::clearTable() {
  if (!m_model) return;
  m_model->resetFreq();
  cmbFreq->clear();
  emit m_model->layoutChanged();
}

void CWdtSipResTable::onUpdateResList() {
  if (!m_model || m_model->freqIdx() < 0 || !m_srs) return;
  const int i = cmbFreq->currentIndex();
  // A file without a harmonic number would divide by zero; it is read as one
  // harmonic per base frequency.
  const int harm = m_srs->m_prm_meas.harm_num > 0 ? m_srs->m_prm_meas.harm_num : 1;
  m_model->setFreqIdx(i / harm);
  m_model->setHarmIdx(i % harm);
  emit m_model->layoutChanged();
}
