#include "gui/section/show_on_results.h"

#include <QAbstractItemModel>
#include <QTableView>

#include "gui/main/wdt_main.h"
#include "gui/results/wdt_sip_res.h"
#include "gui/results/wdt_sip_res_table.h"

void ShowOnResultsPage(CWdtMain* main, const QString& path, const QString& channel) {
  const int at = main->fileList().indexOf(path);
  QAbstractItemModel* files = main->form()->listOpenFiles->model();
  if (at < 0 || !files) return;
  const QModelIndex row = files->index(at, 0);
  main->form()->listOpenFiles->setCurrentIndex(row);
  main->onListClicked(row);
  WdtSipRes* results = main->resultsPage();
  main->form()->tabRight->setCurrentWidget(results);
  auto* table = results->resTable()->findChild<QTableView*>("tbRes");
  if (!table || !table->model()) return;
  QAbstractItemModel* m = table->model();
  for (int r = 0; r < m->rowCount(); ++r)
    if (m->index(r, 0).data().toString() == channel) {
      table->selectRow(r);
      table->scrollTo(m->index(r, 0));
      return;
    }
}
