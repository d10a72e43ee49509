// "数据表格" view of the results page: a frequency combo box above the result
// table of one SRS file.
#pragma once

#include <QWidget>

#include <vector>

#include "core/sip/limits.h"

class CFormatSRS;
class ModelRes;

namespace Ui {
class CWdtSipResTable;
}

class CWdtSipResTable : public QWidget {
  Q_OBJECT
public:
  explicit CWdtSipResTable(QWidget* parent = nullptr);
  ~CWdtSipResTable() override;

  // Creates the model (once) with the results page's column list; the limit
  // table is not owned and colours the error columns.
  void initTable(const std::vector<LimitItem>* vt_limit);
  // Not owned; the caller follows up with setSingleFreq, updateFreqList and
  // onUpdateResList.
  void setSrs(CFormatSRS* srs);
  void setSingleFreq(bool single);
  // Rebuilds the frequency combo box without emitting its signals; the
  // model's selection is left as it is.
  void updateFreqList();
  // Back to "no file shown": empty frequency list, empty cells.
  void clearTable();

  ModelRes* model() const { return m_model; }

public slots:
  void onUpdateResList();

protected:
  void showEvent(QShowEvent* event) override;

private:
  // Each column as wide as its header and widest cell, as a header in
  // ResizeToContents mode sizes it; a hidden table does it when shown.
  void fitColumns();

  Ui::CWdtSipResTable* ui;
  bool m_fit_pending = false;
  CFormatSRS* m_srs = nullptr;
  ModelRes* m_model = nullptr;
  bool m_single_freq = false;
};
