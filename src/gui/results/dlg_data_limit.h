// Error thresholds of the results page's pass rate: apparent resistivity
// relative error (row 1), CP STD (row 2) and FS STD (row 3) of the page's
// limit table.
#pragma once

#include <QDialog>

#include <vector>

#include "core/sip/limits.h"

namespace Ui {
class CDlgDataLimit;
}

class CDlgDataLimit : public QDialog {
  Q_OBJECT
public:
  // threshold must not be null; not owned. It is read here and by
  // onBtnRestoreDefault() only, and written by OK and onBtnRestoreDefault().
  CDlgDataLimit(std::vector<LimitItem>* threshold, QWidget* parent = nullptr);
  ~CDlgDataLimit() override;

  // store false: table to dialog; true: dialog to table (a checked box sets
  // its pair to the typed value, an unchecked box clears it).
  void exchangeLimits(bool store);
  void updateEnabled();

public slots:
  void onBtnRestoreDefault();
  void onBtnOk();
  void onBtnCancel();
  void onChkAppErr();
  void onChkCpErr();
  void onChkFsErr();

private:
  LimitItem* row(int idx) const;

  Ui::CDlgDataLimit* ui;
  std::vector<LimitItem>* m_threshold;
};
