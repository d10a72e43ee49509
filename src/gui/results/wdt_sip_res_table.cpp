#include "gui/results/wdt_sip_res_table.h"

#include "ui_wdt_sip_res_table.h"

#include <QComboBox>
#include <QFontMetricsF>
#include <QHash>
#include <QHeaderView>
#include <QSet>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTableView>
#include <QVector>

#include <algorithm>

#include "gui/results/header_two_line.h"
#include "gui/results/model_res.h"
#include "core/sip/format_srs.h"

namespace {

// Kerning and shaping can make a text wider than the sum of its characters'
// advances, but not by this many pixels at any table font.
constexpr qreal kShapeSlack = 3.0;

// Widths of single characters, each looked up once per fit.
class CharWidths {
public:
  explicit CharWidths(const QFont& font) : m_fm(font) {
    const qreal zero = of(QLatin1Char('0'));
    m_tabular = true;
    for (char d = '1'; d <= '9'; ++d) m_tabular = m_tabular && of(QLatin1Char(d)) == zero;
  }
  qreal of(QChar c) {
    auto it = m_cache.constFind(c.unicode());
    if (it != m_cache.constEnd()) return it.value();
    const qreal w = m_fm.horizontalAdvance(c);
    m_cache.insert(c.unicode(), w);
    return w;
  }
  qreal sum(const QString& text) {
    qreal w = 0.0;
    for (QChar c : text) w += of(c);
    return w;
  }
  // Texts with the same key are laid out equally wide: with digits of one
  // width, which digit stands where changes nothing.
  QString key(QString text) const {
    if (m_tabular)
      for (QChar& c : text)
        if (c.isDigit() && c.unicode() < 128) c = QLatin1Char('0');
    return text;
  }

private:
  QFontMetricsF m_fm;
  QHash<ushort, qreal> m_cache;
  bool m_tabular = false;
};

}  // namespace

CWdtSipResTable::CWdtSipResTable(QWidget* parent) : QWidget(parent), ui(new Ui::CWdtSipResTable) {
  ui->setupUi(this);
  // English labels such as "Elec-amplitude square err(mV)" are far wider
  // than the numbers under them; on two lines the columns fit the page.
  ui->tbRes->setHorizontalHeader(new HeaderTwoLine(ui->tbRes));
  connect(ui->cmbFreq, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CWdtSipResTable::onUpdateResList);
}

CWdtSipResTable::~CWdtSipResTable() { delete ui; }

void CWdtSipResTable::initTable(const std::vector<LimitItem>* vt_limit) {
  if (!m_model) {
    m_model = new ModelRes(this);
    m_model->setDisplayItems({0, 2, 3, 4, 5, 8, 9, 20, 21, 22, 23});
    ui->tbRes->setModel(m_model);
    // Stretched columns elided the values ("9....") and the headers at the
    // default width: each column takes what its header and its cells need,
    // with a horizontal scroll bar when the page is narrower. The widths are
    // set once per change of the cells (fitColumns): a header sizing itself
    // to its contents lays out every cell again on each change and layout
    // pass, several times per file shown.
    ui->tbRes->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ui->tbRes->horizontalHeader()->setStretchLastSection(true);
    ui->tbRes->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  }
  m_model->setLimits(vt_limit);
}

void CWdtSipResTable::setSrs(CFormatSRS* srs) {
  m_srs = srs;
  if (!m_model) return;
  m_model->setSrs(srs);
  m_model->setFreqIdx(0);
}

void CWdtSipResTable::setSingleFreq(bool single) {
  m_single_freq = single;
  if (m_model) m_model->setSingleFreq(single);
}

void CWdtSipResTable::updateFreqList() {
  const int prev = ui->cmbFreq->currentIndex();
  const QSignalBlocker blocker(ui->cmbFreq);
  ui->cmbFreq->clear();
  if (m_srs) {
    CResultSip& res = m_single_freq ? m_srs->m_res : m_srs->m_res_composed;
    // A result without base frequencies has no frequency values to list.
    const int harm_num = res.GetFreqNum() > 0 ? res.GetHarmNum() : 0;
    for (int i = 0; i < harm_num; ++i) ui->cmbFreq->addItem(QString("%1Hz").arg(double(res.GetFreq(0, i))));
  }
  ui->cmbFreq->setCurrentIndex(prev < 0 ? 0 : prev);
}

void CWdtSipResTable::clearTable() {
  if (!m_model) return;
  m_model->resetFreq();
  ui->cmbFreq->clear();
  fitColumns();
}

void CWdtSipResTable::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (m_fit_pending) fitColumns();
}

void CWdtSipResTable::fitColumns() {
  m_fit_pending = !isVisible();
  if (m_fit_pending || !m_model) return;
  // The widths a header sizing itself to its contents would give, for a
  // fraction of the cost: that lays out the text of every cell through the
  // delegate; here the texts are ranked by the sum of their characters'
  // widths and only those that may be the widest are laid out.
  QTableView* view = ui->tbRes;
  QHeaderView* header = view->horizontalHeader();
  CharWidths widths(view->font());
  const int rows = m_model->rowCount();
  QVector<QString> texts(rows);
  QVector<qreal> sums(rows);
  for (int c = 0; c < m_model->columnCount(); ++c) {
    qreal widest = 0.0;
    for (int r = 0; r < rows; ++r) {
      texts[r] = m_model->data(m_model->index(r, c), Qt::DisplayRole).toString();
      sums[r] = widths.sum(texts[r]);
      widest = std::max(widest, sums[r]);
    }
    int hint = 0;
    QSet<QString> measured;
    for (int r = 0; r < rows; ++r) {
      if (sums[r] < widest - kShapeSlack) continue;
      const QString key = widths.key(texts[r]);
      if (measured.contains(key)) continue;
      measured.insert(key);
      hint = std::max(hint, view->sizeHintForIndex(m_model->index(r, c)).width());
    }
    if (view->showGrid()) ++hint;
    header->resizeSection(c, std::max(hint, header->sectionSizeHint(c)));
  }
}

void CWdtSipResTable::onUpdateResList() {
  if (!m_model || m_model->freqIdx() < 0 || !m_srs) return;
  const int i = ui->cmbFreq->currentIndex();
  // A file without a harmonic number would divide by zero; it is read as one
  // harmonic per base frequency.
  const int harm = m_srs->m_prm_meas.harm_num > 0 ? m_srs->m_prm_meas.harm_num : 1;
  m_model->setFreqHarm(i / harm, i % harm);
  fitColumns();
}
