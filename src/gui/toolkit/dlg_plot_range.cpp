#include "gui/toolkit/dlg_plot_range.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// Six significant digits, as QString::arg words a double.
QString numText(double v) { return QString("%1").arg(v); }

// An edit still showing the text of the value it was given keeps that value
// to the last bit: OK without an edit gives back exactly the range shown.
double numValue(const QLineEdit* edit, double shown) {
  return edit->text() == numText(shown) ? shown : edit->text().toDouble();
}

QLineEdit* newEdit(QWidget* parent, const char* name) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  return e;
}

}  // namespace

CDlgPlotRange::CDlgPlotRange(QWidget* parent) : CDlgOkCancel(parent) {}

void CDlgPlotRange::SetModePtr(int index, int* fixed, double* fixed_min, double* fixed_max) {
  if (index == 0) {
    m_x_mode = fixed;
    m_x_fix_min = fixed_min;
    m_x_fix_max = fixed_max;
  } else if (index == 1) {
    m_y_mode = fixed;
    m_y_fix_min = fixed_min;
    m_y_fix_max = fixed_max;
  }
}

void CDlgPlotRange::SetRange(double x_min, double x_max, double y_min, double y_max) {
  m_x_min = x_min;
  m_x_max = x_max;
  m_y_min = y_min;
  m_y_max = y_max;
}

void CDlgPlotRange::GetRange(double* x_min, double* x_max, double* y_min, double* y_max) const {
  if (x_min) *x_min = m_x_min;
  if (x_max) *x_max = m_x_max;
  if (y_min) *y_min = m_y_min;
  if (y_max) *y_max = m_y_max;
}

void CDlgPlotRange::CreateContent(QWidget* area) {
  auto* grbDefault = new QGroupBox(tr("默认范围"), area);
  grbDefault->setObjectName("grbDefault");
  m_rd_x_auto = new QRadioButton(tr("自适应"), grbDefault);
  m_rd_x_auto->setObjectName("m_rd_x_auto");
  m_rd_x_custom = new QRadioButton(tr("自定义"), grbDefault);
  m_rd_x_custom->setObjectName("m_rd_x_custom");
  m_rd_y_auto = new QRadioButton(tr("自适应"), grbDefault);
  m_rd_y_auto->setObjectName("m_rd_y_auto");
  m_rd_y_custom = new QRadioButton(tr("自定义"), grbDefault);
  m_rd_y_custom->setObjectName("m_rd_y_custom");
  auto* groupX = new QButtonGroup(this);
  groupX->addButton(m_rd_x_auto);
  groupX->addButton(m_rd_x_custom);
  auto* groupY = new QButtonGroup(this);
  groupY->addButton(m_rd_y_auto);
  groupY->addButton(m_rd_y_custom);
  m_edt_def_x_min = newEdit(grbDefault, "m_edt_def_x_min");
  m_edt_def_x_max = newEdit(grbDefault, "m_edt_def_x_max");
  m_edt_def_y_min = newEdit(grbDefault, "m_edt_def_y_min");
  m_edt_def_y_max = newEdit(grbDefault, "m_edt_def_y_max");

  auto* gridDefault = new QGridLayout(grbDefault);
  gridDefault->addWidget(new QLabel(tr("X轴:"), grbDefault), 0, 0);
  gridDefault->addWidget(m_rd_x_auto, 0, 1);
  gridDefault->addWidget(m_rd_x_custom, 0, 2);
  gridDefault->addWidget(m_edt_def_x_min, 0, 3);
  gridDefault->addWidget(new QLabel(tr("~"), grbDefault), 0, 4);
  gridDefault->addWidget(m_edt_def_x_max, 0, 5);
  gridDefault->addWidget(new QLabel(tr("Y轴:"), grbDefault), 1, 0);
  gridDefault->addWidget(m_rd_y_auto, 1, 1);
  gridDefault->addWidget(m_rd_y_custom, 1, 2);
  gridDefault->addWidget(m_edt_def_y_min, 1, 3);
  gridDefault->addWidget(new QLabel(tr("~"), grbDefault), 1, 4);
  gridDefault->addWidget(m_edt_def_y_max, 1, 5);

  auto* grbCurrent = new QGroupBox(tr("当前范围"), area);
  grbCurrent->setObjectName("grbCurrent");
  m_edt_x_min = newEdit(grbCurrent, "m_edt_x_min");
  m_edt_x_max = newEdit(grbCurrent, "m_edt_x_max");
  m_edt_y_min = newEdit(grbCurrent, "m_edt_y_min");
  m_edt_y_max = newEdit(grbCurrent, "m_edt_y_max");
  auto* gridCurrent = new QGridLayout(grbCurrent);
  gridCurrent->addWidget(new QLabel(tr("X轴:"), grbCurrent), 0, 0);
  gridCurrent->addWidget(m_edt_x_min, 0, 1);
  gridCurrent->addWidget(new QLabel(tr("~"), grbCurrent), 0, 2);
  gridCurrent->addWidget(m_edt_x_max, 0, 3);
  gridCurrent->addWidget(new QLabel(tr("Y轴:"), grbCurrent), 1, 0);
  gridCurrent->addWidget(m_edt_y_min, 1, 1);
  gridCurrent->addWidget(new QLabel(tr("~"), grbCurrent), 1, 2);
  gridCurrent->addWidget(m_edt_y_max, 1, 3);

  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(grbDefault);
  layout->addWidget(grbCurrent);

  setWindowTitle(tr("显示范围设置"));
  for (QRadioButton* rd : {m_rd_x_auto, m_rd_x_custom, m_rd_y_auto, m_rd_y_custom})
    connect(rd, &QRadioButton::clicked, this, &CDlgPlotRange::onRdClicked);
}

void CDlgPlotRange::UpdateData(bool to_data) {
  if (!m_ready) return;
  if (to_data) {
    m_x_min = numValue(m_edt_x_min, m_x_min);
    m_x_max = numValue(m_edt_x_max, m_x_max);
    m_y_min = numValue(m_edt_y_min, m_y_min);
    m_y_max = numValue(m_edt_y_max, m_y_max);
    if (m_x_mode) {
      if (m_rd_x_auto->isChecked()) {
        *m_x_mode = 0;
      } else {
        *m_x_mode = 1;
        if (m_x_fix_min) *m_x_fix_min = numValue(m_edt_def_x_min, *m_x_fix_min);
        if (m_x_fix_max) *m_x_fix_max = numValue(m_edt_def_x_max, *m_x_fix_max);
      }
    }
    if (m_y_mode) {
      if (m_rd_y_auto->isChecked()) {
        *m_y_mode = 0;
      } else {
        *m_y_mode = 1;
        if (m_y_fix_min) *m_y_fix_min = numValue(m_edt_def_y_min, *m_y_fix_min);
        if (m_y_fix_max) *m_y_fix_max = numValue(m_edt_def_y_max, *m_y_fix_max);
      }
    }
    return;
  }

  m_edt_x_min->setText(numText(m_x_min));
  m_edt_x_max->setText(numText(m_x_max));
  m_edt_y_min->setText(numText(m_y_min));
  m_edt_y_max->setText(numText(m_y_max));
  const bool x_fixed = m_x_mode && *m_x_mode != 0;
  const bool y_fixed = m_y_mode && *m_y_mode != 0;
  m_rd_x_auto->setChecked(!x_fixed);
  m_rd_x_custom->setChecked(x_fixed);
  m_rd_y_auto->setChecked(!y_fixed);
  m_rd_y_custom->setChecked(y_fixed);
  if (m_x_fix_min) m_edt_def_x_min->setText(numText(*m_x_fix_min));
  if (m_x_fix_max) m_edt_def_x_max->setText(numText(*m_x_fix_max));
  if (m_y_fix_min) m_edt_def_y_min->setText(numText(*m_y_fix_min));
  if (m_y_fix_max) m_edt_def_y_max->setText(numText(*m_y_fix_max));
  onRdClicked();
}

void CDlgPlotRange::onRdClicked() {
  if (!m_ready) return;
  const bool x_custom = !m_rd_x_auto->isChecked();
  const bool y_custom = !m_rd_y_auto->isChecked();
  m_edt_def_x_min->setEnabled(x_custom);
  m_edt_def_x_max->setEnabled(x_custom);
  m_edt_def_y_min->setEnabled(y_custom);
  m_edt_def_y_max->setEnabled(y_custom);
}
