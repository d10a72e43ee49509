// The "display range" dialog of the plot's context menu: the current axis
// ranges, and per axis whether rescaling fits the data ("自适应") or keeps a
// fixed range ("自定义") with its limits.
#pragma once

#include "gui/toolkit/dlg_ok_cancel.h"

class QLineEdit;
class QRadioButton;

class CDlgPlotRange : public CDlgOkCancel {
  Q_OBJECT
public:
  explicit CDlgPlotRange(QWidget* parent = nullptr);

  // index 0: x axis, 1: y axis. The dialog reads the fixed-range flag and
  // limits through these pointers when shown and writes them on OK; they
  // must outlive the dialog. Null pointers leave the axis' settings alone.
  void SetModePtr(int index, int* fixed, double* fixed_min, double* fixed_max);
  void SetRange(double x_min, double x_max, double y_min, double y_max);
  void GetRange(double* x_min, double* x_max, double* y_min, double* y_max) const;

  void CreateContent(QWidget* area) override;
  void UpdateData(bool to_data) override;

  int* m_x_mode = nullptr;
  int* m_y_mode = nullptr;
  double m_x_min = 1.0;
  double m_x_max = 10.0;
  double m_y_min = 1.0;
  double m_y_max = 10.0;
  QLineEdit* m_edt_x_min = nullptr;
  QLineEdit* m_edt_x_max = nullptr;
  QLineEdit* m_edt_y_min = nullptr;
  QLineEdit* m_edt_y_max = nullptr;
  QLineEdit* m_edt_def_x_min = nullptr;
  QLineEdit* m_edt_def_x_max = nullptr;
  QLineEdit* m_edt_def_y_min = nullptr;
  QLineEdit* m_edt_def_y_max = nullptr;
  QRadioButton* m_rd_x_auto = nullptr;
  QRadioButton* m_rd_x_custom = nullptr;
  QRadioButton* m_rd_y_auto = nullptr;
  QRadioButton* m_rd_y_custom = nullptr;

public slots:
  void onRdClicked();

private:
  double* m_x_fix_min = nullptr;
  double* m_x_fix_max = nullptr;
  double* m_y_fix_min = nullptr;
  double* m_y_fix_max = nullptr;
};
