// A horizontal header that breaks a long label into two lines, so that a
// column of short numbers is as wide as its numbers rather than its label.
// A label wider than the widest number the table shows is broken where the
// two lines are narrowest: at a space, before a parenthesis, after an
// underscore or a hyphen; leading spaces are dropped. Sizes and painting
// both use the shown label; the model's header text is left as it is.
#pragma once

#include <QHeaderView>

class HeaderTwoLine : public QHeaderView {
  Q_OBJECT
public:
  explicit HeaderTwoLine(QWidget* parent = nullptr);

  // The label of a section as it is shown: one line, or two joined by "\n".
  QString shownText(int logical) const;
  // text without leading spaces, broken into the narrowest two lines under
  // fm when it is wider than width.
  static QString broken(const QString& text, const QFontMetrics& fm, int width);

protected:
  QSize sectionSizeFromContents(int logical) const override;
  void paintSection(QPainter* painter, const QRect& rect, int logical) const override;

private:
  // The header font as sections are measured: bold, as a highlighted
  // section is drawn.
  QFont measureFont() const;
};
