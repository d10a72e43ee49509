// A click on a file in the main window's list, from the click until the event
// queue is idle and the results table shows the new file, with the real main
// window offscreen. Each iteration alternates between two files of the same
// size so that every click really changes the file. The per-page benchmarks
// time each page's own share of the click; two more time the click with the
// spectrum view chosen on the results page and with the pseudo-section tab
// in view.
//   bench_click [--benchmark_...]
#include <benchmark/benchmark.h>

#include <QAbstractEventDispatcher>
#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QListView>
#include <QTabWidget>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/base/ex_file.h"
#include "core/sip/format_srs.h"
#include "core/sip/stations.h"
#include "gui/export/wdt_output.h"
#include "gui/main/wdt_main.h"
#include "gui/params/wdt_param_srs.h"
#include "gui/results/model_res.h"
#include "gui/results/wdt_sip_res.h"
#include "gui/results/wdt_sip_res_table.h"
#include "gui/section/wdt_pseudo_section.h"
#include "gui/stations/wdt_gps_pos.h"
#include "gui/timeseries/wdt_ts_plot.h"
#include "gui/toolkit/paths.h"
#include "ui_wdt_main.h"
#include "ui_wdt_sip_res.h"

namespace {

struct Survey {
  const char* dir;
  const char* gen_args;
  int channels;
};

// 60 devices x 6 channels, 200 calculations; and 4 devices x 6 channels.
const Survey kBig = {"/tmp/varnex_bench_click/big", "--devices 60 --cals 200 --files 2 --wave spread --no-smt", 360};
const Survey kSmall = {"/tmp/varnex_bench_click/small", "--devices 4 --files 2 --wave spread --no-smt", 24};

QStringList ensure_files(const Survey& s) {
  const std::string a = std::string(s.dir) + "/L101_01.SRS";
  const std::string b = std::string(s.dir) + "/L101_02.SRS";
  if (!ex_access(a.c_str()) || !ex_access(b.c_str())) {
    const std::string cmd = std::string(GEN_SURVEY_EXE) + " " + s.dir + " " + s.gen_args + " > /dev/null";
    if (std::system(cmd.c_str()) != 0 || !ex_access(a.c_str()) || !ex_access(b.c_str())) {
      std::fprintf(stderr, "cannot generate %s\n", a.c_str());
      std::exit(1);
    }
  }
  return {fromFilePath(a), fromFilePath(b)};
}

void drain_events() {
  QAbstractEventDispatcher* disp = QAbstractEventDispatcher::instance();
  do {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  } while (disp && disp->hasPendingEvents());
}

// One window per survey, shown on the results tab as a user reading results
// would have it.
std::unique_ptr<CWdtMain> g_big, g_small;

CWdtMain* window_for(const Survey& s) {
  std::unique_ptr<CWdtMain>& w = (&s == &kBig) ? g_big : g_small;
  if (!w) {
    w.reset(new CWdtMain);
    w->resize(1280, 800);
    w->importFiles(ensure_files(s));
    w->form()->tabRight->setCurrentWidget(w->resultsPage());
    w->show();
    drain_events();
  }
  return w.get();
}

void click_bench(benchmark::State& state, const Survey& s) {
  CWdtMain* w = window_for(s);
  QAbstractItemModel* list = w->form()->listOpenFiles->model();
  int row = 0;
  for (auto _ : state) {
    w->onListClicked(list->index(row, 0));
    drain_events();
    if (w->resultsPage()->resTable()->model()->rowCount() != s.channels) {
      state.SkipWithError("results table does not show the file");
      break;
    }
    row ^= 1;
  }
}

void BM_Click360(benchmark::State& state) { click_bench(state, kBig); }
void BM_Click24(benchmark::State& state) { click_bench(state, kSmall); }

// The click with the results page showing its spectrum view instead of the
// table, and with the pseudo-section tab in view instead of the results.
void shown_click_bench(benchmark::State& state, const Survey& s, bool spectrum) {
  CWdtMain* w = window_for(s);
  QComboBox* show_type = w->resultsPage()->form()->cmbShowType;
  if (spectrum)
    show_type->setCurrentIndex(2);
  else
    w->form()->tabRight->setCurrentWidget(w->sectionPage());
  drain_events();
  QAbstractItemModel* list = w->form()->listOpenFiles->model();
  int row = 0;
  for (auto _ : state) {
    w->onListClicked(list->index(row, 0));
    drain_events();
    row ^= 1;
  }
  show_type->setCurrentIndex(0);
  w->form()->tabRight->setCurrentWidget(w->resultsPage());
  drain_events();
}

void BM_ClickSpectrum360(benchmark::State& st) { shown_click_bench(st, kBig, true); }
void BM_ClickSection360(benchmark::State& st) { shown_click_bench(st, kBig, false); }
void BM_ClickSpectrum24(benchmark::State& st) { shown_click_bench(st, kSmall, true); }
void BM_ClickSection24(benchmark::State& st) { shown_click_bench(st, kSmall, false); }

// A page's setCurrentFile as the click makes it: on a hidden tab (the results
// tab is in view), or with the page's own tab in view.
template <class Page>
void page_bench(benchmark::State& state, const Survey& s, Page* (CWdtMain::*page)() const, bool in_view) {
  CWdtMain* w = window_for(s);
  Page* p = (w->*page)();
  if (in_view) w->form()->tabRight->setCurrentWidget(p);
  drain_events();
  const QStringList& files = w->fileList();
  int row = 0;
  for (auto _ : state) {
    p->setCurrentFile(files.at(row));
    drain_events();
    row ^= 1;
  }
  w->form()->tabRight->setCurrentWidget(w->resultsPage());
  drain_events();
}

void station_bench(benchmark::State& state, const Survey& s) {
  CWdtMain* w = window_for(s);
  const QStringList& files = w->fileList();
  int row = 0;
  // The click builds the stations from the results page's read: the files
  // are read beforehand.
  CFormatSRS srs[2];
  for (int i = 0; i < 2; ++i)
    if (!srs[i].Read(toFilePath(files.at(i)))) {
      state.SkipWithError("read failed");
      return;
    }
  for (auto _ : state) {
    benchmark::DoNotOptimize(BuildStations(srs[row]));
    w->stationPage()->refresh(true);
    drain_events();
    row ^= 1;
  }
}

void BM_Param360(benchmark::State& st) { page_bench(st, kBig, &CWdtMain::paramPage, false); }
void BM_ParamInView360(benchmark::State& st) { page_bench(st, kBig, &CWdtMain::paramPage, true); }
void BM_Results360(benchmark::State& st) { page_bench(st, kBig, &CWdtMain::resultsPage, true); }
void BM_TsPlot360(benchmark::State& st) { page_bench(st, kBig, &CWdtMain::tsPage, false); }
void BM_TsPlotInView360(benchmark::State& st) { page_bench(st, kBig, &CWdtMain::tsPage, true); }
void BM_Output360(benchmark::State& st) { page_bench(st, kBig, &CWdtMain::outputPage, false); }
void BM_Stations360(benchmark::State& st) { station_bench(st, kBig); }
void BM_Param24(benchmark::State& st) { page_bench(st, kSmall, &CWdtMain::paramPage, false); }
void BM_ParamInView24(benchmark::State& st) { page_bench(st, kSmall, &CWdtMain::paramPage, true); }
void BM_Results24(benchmark::State& st) { page_bench(st, kSmall, &CWdtMain::resultsPage, true); }
void BM_TsPlot24(benchmark::State& st) { page_bench(st, kSmall, &CWdtMain::tsPage, false); }
void BM_TsPlotInView24(benchmark::State& st) { page_bench(st, kSmall, &CWdtMain::tsPage, true); }
void BM_Output24(benchmark::State& st) { page_bench(st, kSmall, &CWdtMain::outputPage, false); }
void BM_Stations24(benchmark::State& st) { station_bench(st, kSmall); }

}  // namespace

BENCHMARK(BM_Click360)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClickSpectrum360)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClickSection360)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Param360)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParamInView360)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Results360)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TsPlot360)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TsPlotInView360)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Output360)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stations360)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Click24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClickSpectrum24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClickSection24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Param24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParamInView24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Results24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TsPlot24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TsPlotInView24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Output24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stations24)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // The windows go before the application object they need.
  g_big.reset();
  g_small.reset();
  return 0;
}
