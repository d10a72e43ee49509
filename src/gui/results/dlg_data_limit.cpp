#include "gui/results/dlg_data_limit.h"

#include "ui_dlg_data_limit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

namespace {

// One threshold of the dialog: the limit row, the pair it edits and the
// factor between the stored value and the typed one.
struct Threshold {
  int row;
  LimitPair pair;
  float scale;
};

const Threshold THRESHOLDS[3] = {
    {LIMIT_ROW_APP, LIMIT_REL, 100.0f},  // %
    {LIMIT_ROW_CP, LIMIT_STD, 1000.0f},  // mrad
    {LIMIT_ROW_FS, LIMIT_STD, 100.0f},   // %
};

}  // namespace

CDlgDataLimit::CDlgDataLimit(std::vector<LimitItem>* threshold, QWidget* parent)
    : QDialog(parent), ui(new Ui::CDlgDataLimit), m_threshold(threshold) {
  ui->setupUi(this);
  Q_ASSERT(m_threshold != NULL);
  exchangeLimits(false);
  connect(ui->chkErrApp, &QCheckBox::clicked, this, &CDlgDataLimit::onChkAppErr);
  connect(ui->chkErrCp, &QCheckBox::clicked, this, &CDlgDataLimit::onChkCpErr);
  connect(ui->chkErrFs, &QCheckBox::clicked, this, &CDlgDataLimit::onChkFsErr);
  connect(ui->btnRestoreDefault, &QPushButton::clicked, this, &CDlgDataLimit::onBtnRestoreDefault);
  connect(ui->btnOk, &QPushButton::clicked, this, &CDlgDataLimit::onBtnOk);
  connect(ui->btnCancel, &QPushButton::clicked, this, &CDlgDataLimit::onBtnCancel);
}

LimitItem* CDlgDataLimit::row(int idx) const {
  Q_ASSERT(m_threshold != NULL);
  if (!m_threshold || idx < 0 || size_t(idx) >= m_threshold->size()) return nullptr;
  return &(*m_threshold)[size_t(idx)];
}

CDlgDataLimit::~CDlgDataLimit() { delete ui; }

void CDlgDataLimit::exchangeLimits(bool store) {
  QCheckBox* const boxes[3] = {ui->chkErrApp, ui->chkErrCp, ui->chkErrFs};
  QLineEdit* const edits[3] = {ui->edtAppErr, ui->edtCpErr, ui->edtFsErr};
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
  ui->edtAppErr->setEnabled(ui->chkErrApp->isChecked());
  ui->edtCpErr->setEnabled(ui->chkErrCp->isChecked());
  ui->edtFsErr->setEnabled(ui->chkErrFs->isChecked());
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
