// A horizontal header that breaks a long label into two lines, so that a
// column of short numbers is as wide as its numbers rather than its label.
// A label wider than the widest number the table shows is broken at the
// space or before the parenthesis that gives the narrowest two lines;
// sizes and painting both use the broken label. The model's header text
// itself is left as it is.
#pragma once

#include <QHeaderView>

class HeaderTwoLine : public QHeaderView {
  Q_OBJECT
public:
  explicit HeaderTwoLine(QWidget* parent = nullptr);

  // The label of a section as it is shown: one line, or two joined by "\n".
  QString shownText(int logical) const;
  // text broken into the narrowest two lines under fm when it is wider
  // than width; else text as it is.
  static QString broken(const QString& text, const QFontMetrics& fm, int width);

protected:
  QSize sectionSizeFromContents(int logical) const override;
  void paintSection(QPainter* painter, const QRect& rect, int logical) const override;

private:
  // The header font as sections are measured: bold, as a highlighted
  // section is drawn.
  QFont measureFont() const;
};
