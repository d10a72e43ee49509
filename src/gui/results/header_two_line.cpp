#include "gui/results/header_two_line.h"

#include <QItemSelectionModel>
#include <QPainter>
#include <QStyleOptionHeader>

#include <algorithm>

namespace {

// The widest cell the results table shows: a signed number in the
// exponent form of the resistivity column.
const char* const kWidestNumber = "-0.000E+000";

}  // namespace

HeaderTwoLine::HeaderTwoLine(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  // As the header a table view makes for itself.
  setSectionsClickable(true);
  setHighlightSections(true);
}

QFont HeaderTwoLine::measureFont() const {
  QFont f = font();
  f.setBold(true);
  return f;
}

QString HeaderTwoLine::broken(const QString& text, const QFontMetrics& fm, int width) {
  // Leading spaces ("     CP(mrad)") only widen the column.
  const QString whole = text.trimmed();
  QString best = whole;
  int best_width = fm.horizontalAdvance(whole);
  if (best_width <= width) return best;
  for (int i = 1; i < whole.size(); ++i) {
    // A space gives way to the line break, a parenthesis starts the second
    // line, an underscore or a hyphen ends the first.
    const QChar c = whole[i];
    const bool at_space = c == ' ';
    const bool after = whole[i - 1] == '_' || whole[i - 1] == '-';
    if (!at_space && c != '(' && !after) continue;
    const QString first = whole.left(i).trimmed();
    const QString second = whole.mid(at_space ? i + 1 : i).trimmed();
    if (first.isEmpty() || second.isEmpty()) continue;
    const int w = std::max(fm.horizontalAdvance(first), fm.horizontalAdvance(second));
    if (w < best_width) {
      best_width = w;
      best = first + "\n" + second;
    }
  }
  return best;
}

QString HeaderTwoLine::shownText(int logical) const {
  if (!model()) return QString();
  const QString text = model()->headerData(logical, orientation(), Qt::DisplayRole).toString();
  const QFontMetrics fm(measureFont());
  return broken(text, fm, fm.horizontalAdvance(kWidestNumber));
}

QSize HeaderTwoLine::sectionSizeFromContents(int logical) const {
  if (!model()) return QHeaderView::sectionSizeFromContents(logical);
  QStyleOptionHeader opt;
  initStyleOption(&opt);
  opt.section = logical;
  opt.fontMetrics = QFontMetrics(measureFont());
  opt.text = shownText(logical);
  return style()->sizeFromContents(QStyle::CT_HeaderSection, &opt, QSize(), this);
}

void HeaderTwoLine::paintSection(QPainter* painter, const QRect& rect, int logical) const {
  if (!rect.isValid() || !model()) return;
  QStyleOptionHeader opt;
  initStyleOption(&opt);
  opt.rect = rect;
  opt.section = logical;
  opt.text = shownText(logical);
  opt.textAlignment = defaultAlignment();
  opt.iconAlignment = Qt::AlignVCenter;
  if (isEnabled()) opt.state |= QStyle::State_Enabled;
  if (window()->isActiveWindow()) opt.state |= QStyle::State_Active;
  // A column with a selected cell is drawn as the table's own header draws it.
  const bool selected = highlightSections() && selectionModel() &&
                        selectionModel()->columnIntersectsSelection(logical, rootIndex());
  if (selected) opt.state |= QStyle::State_On;
  const int visual = visualIndex(logical);
  const bool first = visual == 0;
  const bool last = visual == count() - 1;
  opt.position = first && last ? QStyleOptionHeader::OnlyOneSection
                 : first       ? QStyleOptionHeader::Beginning
                 : last        ? QStyleOptionHeader::End
                               : QStyleOptionHeader::Middle;
  const QFont old = painter->font();
  if (selected) painter->setFont(measureFont());
  style()->drawControl(QStyle::CE_Header, &opt, painter, this);
  painter->setFont(old);
}
