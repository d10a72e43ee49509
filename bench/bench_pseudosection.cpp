// The pseudo-section tab on a 1,000-file survey, offscreen: reading and
// calculating the files once (BM_CollectSection), drawing the view after the
// files are read (a new pseudo-depth: new triangles, both panels and their
// surfaces, replotted) and switching the frequency point.
//   bench_pseudosection [--benchmark_...]
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTabWidget>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/base/ex_file.h"
#include "core/export/export_job.h"
#include "core/section/pseudo_section.h"
#include "gui/main/wdt_main.h"
#include "gui/section/wdt_pseudo_section.h"
#include "gui/toolkit/paths.h"
#include "ui_wdt_main.h"
#include "ui_wdt_pseudo_section.h"

namespace {

const char* const kDir = "/tmp/varnex_bench_section/survey";

QStringList ensure_survey() {
  const std::string last = std::string(kDir) + "/L101_1000.SRS";
  QStringList files = QDir(kDir).entryList({"*.SRS"}, QDir::Files, QDir::Name);
  if (files.size() != 1000) {
    const std::string cmd = std::string("rm -rf ") + kDir + " && " + GEN_SURVEY_EXE + " " + kDir +
                            " --seed 5 --files 1000 --devices 2 --cals 4 --no-smt > /dev/null";
    if (std::system(cmd.c_str()) != 0) {
      std::fprintf(stderr, "cannot generate the survey in %s\n", kDir);
      std::exit(1);
    }
    files = QDir(kDir).entryList({"*.SRS"}, QDir::Files, QDir::Name);
  }
  for (QString& f : files) f = QString(kDir) + "/" + f;
  return files;
}

std::unique_ptr<CWdtMain> g_window;

CWdtPseudoSection* shown_page() {
  if (!g_window) {
    g_window.reset(new CWdtMain);
    g_window->resize(1366, 720);
    g_window->importFiles(ensure_survey());
    g_window->show();
    g_window->form()->tabRight->setCurrentWidget(g_window->sectionPage());
    QApplication::processEvents();
  }
  return g_window->sectionPage();
}

void BM_CollectSection(benchmark::State& state) {
  ExportOptions s;
  s.paths = toFilePaths(ensure_survey());
  s.layout = ExportFirstLayout(s.paths);
  size_t points = 0;
  for (auto _ : state) points = CollectSection(s, nullptr).rows.size();
  state.counters["points"] = double(points);
}

void BM_DrawView(benchmark::State& state) {
  CWdtPseudoSection* page = shown_page();
  QComboBox* depth = page->form()->cmbDepth;
  int i = 0;
  for (auto _ : state) depth->setCurrentIndex(++i % 2);
  state.counters["points"] = double(page->points(0).size());
}

void BM_SwitchFrequency(benchmark::State& state) {
  CWdtPseudoSection* page = shown_page();
  QComboBox* freq = page->form()->cmbFreq;
  int i = 0;
  for (auto _ : state) freq->setCurrentIndex(++i % 2);
  state.counters["points"] = double(page->points(0).size());
}

}  // namespace

BENCHMARK(BM_CollectSection)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DrawView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchFrequency)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  g_window.reset();
  return 0;
}
