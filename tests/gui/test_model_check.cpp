// The model tester wrapper itself: checks alive at the same time.
#include <gtest/gtest.h>

#include <QStringListModel>

#include "model_check.h"

namespace {

int g_passed = 0;
void Counting(QtMsgType, const QMessageLogContext&, const QString&) { ++g_passed; }

// A model that claims a negative row count, which the tester reports.
class BrokenModel : public QStringListModel {
public:
  int rowCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : -1; }
};

}  // namespace

TEST(ModelCheck, ChecksAliveTogetherShareOneHandler) {
  const QtMessageHandler before = qInstallMessageHandler(&Counting);
  g_passed = 0;
  {
    QStringListModel a({"x"}), b({"y"});
    ModelCheck first(&a);
    ModelCheck second(&b);
    // Other messages still reach the handler that was there before, once.
    qWarning("not from the model tester");
    EXPECT_EQ(g_passed, 1);
    EXPECT_TRUE(ModelCheck::failures().isEmpty());
    {
      BrokenModel broken;
      ModelCheck third(&broken);
      EXPECT_FALSE(ModelCheck::failures().isEmpty());
    }
    EXPECT_FALSE(ModelCheck::failures().isEmpty());
  }
  // The last check gone, the earlier handler is back.
  qWarning("after the checks");
  EXPECT_EQ(g_passed, 2);
  qInstallMessageHandler(before);
}
