// Generated surveys for the page tests: varnex-gen-survey into a temporary
// directory, and SMT files rewritten with samples chosen by the test.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <vector>

#include "core/sip/format_smt.h"

inline QString generateSurvey(const QTemporaryDir& dir, const QStringList& args) {
  QProcess gen;
  gen.start(GEN_SURVEY_EXE, QStringList{dir.path()} + args);
  EXPECT_TRUE(gen.waitForFinished(120000));
  EXPECT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();
  return dir.path();
}

// Rewrites the SMT file at path (keeping its records) with rows samples per
// channel: sample r of channel ch is volts(ch, r) x gain[ch], recorded at
// sample_rate.
inline bool rewriteSmt(const QString& path, int rows, const std::function<double(int, int)>& volts,
                       int sample_rate, const std::vector<float>& gains = std::vector<float>(MAX_CH_NUM, 1.0f)) {
  CFormatSmt smt;
  if (!smt.Read(path.toStdString())) return false;
  std::vector<float> data[MAX_CH_NUM];
  for (int ch = 0; ch < MAX_CH_NUM; ++ch) {
    smt.m_gain[ch] = gains[size_t(ch)];
    data[ch].resize(size_t(rows));
    for (int r = 0; r < rows; ++r) data[ch][size_t(r)] = float(volts(ch, r) * double(gains[size_t(ch)]));
  }
  smt.m_prm_meas.sample_rate = sample_rate;
  return smt.SetData(data) && smt.Write(path.toStdString());
}
