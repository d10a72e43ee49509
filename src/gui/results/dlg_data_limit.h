// Error thresholds of the results page's pass rate: apparent resistivity
// relative error (row 1), CP STD (row 2) and FS STD (row 3) of the page's
// limit table.
#pragma once

#include <QDialog>

#include <vector>

#include "core/sip/limits.h"

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpacerItem;
class QVBoxLayout;

class CDlgDataLimit : public QDialog {
  Q_OBJECT
public:
  // threshold must not be null; not owned. It is read here and by
  // onBtnRestoreDefault() only, and written by OK and onBtnRestoreDefault().
  CDlgDataLimit(std::vector<LimitItem>* threshold, QWidget* parent = nullptr);

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
  void setupUi();
  void retranslateUi();
  LimitItem* row(int idx) const;

  std::vector<LimitItem>* m_threshold;

  QVBoxLayout* verticalLayout_3;
  QGroupBox* groupBox;
  QVBoxLayout* verticalLayout_2;
  QVBoxLayout* verticalLayout;
  QGridLayout* gridLayout;
  QCheckBox* chkErrApp;
  QLineEdit* edtAppErr;
  QCheckBox* chkErrCp;
  QLineEdit* edtCpErr;
  QCheckBox* chkErrFs;
  QLineEdit* edtFsErr;
  QLabel* label;
  QHBoxLayout* horizontalLayout_2;
  QSpacerItem* horizontalSpacer;
  QHBoxLayout* horizontalLayout;
  QPushButton* btnRestoreDefault;
  QPushButton* btnOk;
  QPushButton* btnCancel;
};
