// Read-only table of one SRS file's results at one frequency point: one row
// per channel of the composed-frequency result, one column per display item.
#pragma once

#include <QAbstractTableModel>
#include <QVector>

#include <vector>

#include "core/sip/limits.h"

class CFormatSRS;
class CResultSip;
struct ResItem;

class ModelRes : public QAbstractTableModel {
  Q_OBJECT
public:
  // Display-item codes 0..23 (label, channel id, M position, progress and
  // the value and spread of the ten quantities).
  static constexpr int ITEM_CNT = 24;

  explicit ModelRes(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // None of the setters emits a signal; the owner announces the change.
  void setDisplayItems(const QVector<int>& items) { m_display_items = items; }
  // Not owned; null = no file.
  void setSrs(CFormatSRS* srs) { m_srs = srs; }
  // Not owned; null = no colouring. Rows 1, 2 and 3 are read.
  void setLimits(const std::vector<LimitItem>* vt_limit) { m_vt_limit = vt_limit; }
  void setFreqIdx(int idx) { m_idx_freq = idx; }
  void setHarmIdx(int idx) { m_idx_harm = idx; }
  void setSingleFreq(bool single) { m_single_freq = single; }
  void resetFreq() { m_idx_freq = -1; }

  int freqIdx() const { return m_idx_freq; }
  int harmIdx() const { return m_idx_harm; }

private:
  QVariant displayText(int code, int row, CResultSip& res, const ResItem& item) const;
  QVariant foreground(int code, const ResItem& item) const;

  QVector<int> m_display_items;
  CFormatSRS* m_srs = nullptr;
  const std::vector<LimitItem>* m_vt_limit = nullptr;
  int m_idx_freq = -1;
  int m_idx_harm = -1;
  bool m_single_freq = false;
};
