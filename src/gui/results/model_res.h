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

  // The setters announce their change themselves: a new file or column
  // list resets the model (rows and columns may change), everything else
  // changes the cells only.
  void setDisplayItems(const QVector<int>& items);
  // Not owned; null = no file. Also after the file object was read again or
  // recalculated in place, since its channel count may have changed.
  void setSrs(CFormatSRS* srs);
  // Not owned; null = no colouring. Rows 1, 2 and 3 are read; call again
  // after the table was edited in place.
  void setLimits(const std::vector<LimitItem>* vt_limit);
  void setFreqIdx(int idx);
  void setHarmIdx(int idx);
  // Both at once, with one change of the cells.
  void setFreqHarm(int idx_freq, int idx_harm);
  void setSingleFreq(bool single);
  // Nothing selected: every cell empty. A reset, because the file behind
  // the model may have changed without a setSrs (a failed read).
  void resetFreq();

  int freqIdx() const { return m_idx_freq; }
  int harmIdx() const { return m_idx_harm; }

private:
  void cellsChanged();
  QVariant displayText(int code, int row, CResultSip& res, const ResItem& item) const;
  QVariant foreground(int code, const ResItem& item) const;

  QVector<int> m_display_items;
  CFormatSRS* m_srs = nullptr;
  const std::vector<LimitItem>* m_vt_limit = nullptr;
  int m_idx_freq = -1;
  int m_idx_harm = -1;
  bool m_single_freq = false;
};
