#include "gui/results/dlg_data_limit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpacerItem>
#include <QString>
#include <QVBoxLayout>

namespace {

// One threshold of the dialog: the limit row, the pair it edits and the
// factor between the stored value and the typed one.
struct Threshold {
  int row;
  LimitPair pair;
  float scale;
};

const Threshold THRESHOLDS[3] = {
    {1, LIMIT_REL, 100.0f},   // apparent resistivity, %
    {2, LIMIT_STD, 1000.0f},  // CP, mrad
    {3, LIMIT_STD, 100.0f},   // FS, %
};

}  // namespace

CDlgDataLimit::CDlgDataLimit(std::vector<LimitItem>* threshold, QWidget* parent)
    : QDialog(parent), m_threshold(threshold) {
  setupUi();
  Q_ASSERT(m_threshold != NULL);
  exchangeLimits(false);
  connect(chkErrApp, &QCheckBox::clicked, this, &CDlgDataLimit::onChkAppErr);
  connect(chkErrCp, &QCheckBox::clicked, this, &CDlgDataLimit::onChkCpErr);
  connect(chkErrFs, &QCheckBox::clicked, this, &CDlgDataLimit::onChkFsErr);
  connect(btnRestoreDefault, &QPushButton::clicked, this, &CDlgDataLimit::onBtnRestoreDefault);
  connect(btnOk, &QPushButton::clicked, this, &CDlgDataLimit::onBtnOk);
  connect(btnCancel, &QPushButton::clicked, this, &CDlgDataLimit::onBtnCancel);
}

void CDlgDataLimit::setupUi() {
  setObjectName("CDlgDataLimit");
  resize(472, 216);

  verticalLayout_3 = new QVBoxLayout(this);
  verticalLayout_3->setObjectName("verticalLayout_3");

  groupBox = new QGroupBox(this);
  groupBox->setObjectName("groupBox");
  groupBox->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  verticalLayout_2 = new QVBoxLayout(groupBox);
  verticalLayout_2->setObjectName("verticalLayout_2");
  verticalLayout = new QVBoxLayout();
  verticalLayout->setObjectName("verticalLayout");
  gridLayout = new QGridLayout();
  gridLayout->setObjectName("gridLayout");

  chkErrApp = new QCheckBox(groupBox);
  chkErrApp->setObjectName("chkErrApp");
  gridLayout->addWidget(chkErrApp, 0, 0);
  edtAppErr = new QLineEdit(groupBox);
  edtAppErr->setObjectName("edtAppErr");
  gridLayout->addWidget(edtAppErr, 0, 1);
  chkErrCp = new QCheckBox(groupBox);
  chkErrCp->setObjectName("chkErrCp");
  gridLayout->addWidget(chkErrCp, 1, 0);
  edtCpErr = new QLineEdit(groupBox);
  edtCpErr->setObjectName("edtCpErr");
  gridLayout->addWidget(edtCpErr, 1, 1);
  chkErrFs = new QCheckBox(groupBox);
  chkErrFs->setObjectName("chkErrFs");
  gridLayout->addWidget(chkErrFs, 2, 0);
  edtFsErr = new QLineEdit(groupBox);
  edtFsErr->setObjectName("edtFsErr");
  gridLayout->addWidget(edtFsErr, 2, 1);
  verticalLayout->addLayout(gridLayout);

  label = new QLabel(groupBox);
  label->setObjectName("label");
  label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::MinimumExpanding);
  verticalLayout->addWidget(label);
  verticalLayout_2->addLayout(verticalLayout);
  verticalLayout_3->addWidget(groupBox);

  horizontalLayout_2 = new QHBoxLayout();
  horizontalLayout_2->setObjectName("horizontalLayout_2");
  horizontalSpacer = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
  horizontalLayout_2->addItem(horizontalSpacer);
  horizontalLayout = new QHBoxLayout();
  horizontalLayout->setObjectName("horizontalLayout");
  btnRestoreDefault = new QPushButton(this);
  btnRestoreDefault->setObjectName("btnRestoreDefault");
  horizontalLayout->addWidget(btnRestoreDefault);
  btnOk = new QPushButton(this);
  btnOk->setObjectName("btnOk");
  horizontalLayout->addWidget(btnOk);
  btnCancel = new QPushButton(this);
  btnCancel->setObjectName("btnCancel");
  horizontalLayout->addWidget(btnCancel);
  horizontalLayout_2->addLayout(horizontalLayout);
  verticalLayout_3->addLayout(horizontalLayout_2);

  // Return in an edit confirms; it must not reach "恢复默认", which writes
  // the table at once.
  btnOk->setDefault(true);

  retranslateUi();
}

void CDlgDataLimit::retranslateUi() {
  setWindowTitle(tr("Dialog"));
  groupBox->setTitle(tr("合格数据统计标准"));
  chkErrApp->setText(tr("视电阻率误差(%)"));
  chkErrCp->setText(tr("相对相位误差(mrad)"));
  chkErrFs->setText(tr("频散率误差(%)"));
  label->setText(tr("说明：误差小于设置值的通道为合格数据，否则为不合格。"));
  btnRestoreDefault->setText(tr("恢复默认"));
  btnOk->setText(tr("确  定"));
  btnCancel->setText(tr("取  消"));
}

LimitItem* CDlgDataLimit::row(int idx) const {
  Q_ASSERT(m_threshold != NULL);
  if (!m_threshold || idx < 0 || size_t(idx) >= m_threshold->size()) return nullptr;
  return &(*m_threshold)[size_t(idx)];
}

void CDlgDataLimit::exchangeLimits(bool store) {
  QCheckBox* const boxes[3] = {chkErrApp, chkErrCp, chkErrFs};
  QLineEdit* const edits[3] = {edtAppErr, edtCpErr, edtFsErr};
  for (int i = 0; i < 3; ++i) {
    const Threshold& t = THRESHOLDS[i];
    LimitItem* item = row(t.row);
    if (!item) continue;
    if (store) {
      if (boxes[i]->isChecked()) {
        limit_set_pair(item, t.pair, edits[i]->text().toFloat() / t.scale);
      } else {
        limit_clear_pair(item, t.pair);
      }
    } else {
      boxes[i]->setChecked(limit_pair_on(*item, t.pair));
      edits[i]->setText(QString::asprintf("%.1f", double(limit_pair_value(*item, t.pair) * t.scale)));
    }
  }
  if (!store) updateEnabled();
}

void CDlgDataLimit::updateEnabled() {
  edtAppErr->setEnabled(chkErrApp->isChecked());
  edtCpErr->setEnabled(chkErrCp->isChecked());
  edtFsErr->setEnabled(chkErrFs->isChecked());
}

void CDlgDataLimit::onBtnRestoreDefault() {
  Q_ASSERT(m_threshold != NULL);
  if (!m_threshold) return;
  const std::vector<LimitItem> defaults = limit_default_results();
  for (size_t i = 0; i < m_threshold->size(); ++i) {
    (*m_threshold)[i] = i < defaults.size() ? defaults[i] : LimitItem();
  }
  exchangeLimits(false);
}

void CDlgDataLimit::onBtnOk() {
  exchangeLimits(true);
  accept();
  close();
}

void CDlgDataLimit::onBtnCancel() {
  reject();
  close();
}

void CDlgDataLimit::onChkAppErr() { updateEnabled(); }

void CDlgDataLimit::onChkCpErr() { updateEnabled(); }

void CDlgDataLimit::onChkFsErr() { updateEnabled(); }
