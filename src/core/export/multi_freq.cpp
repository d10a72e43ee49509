#include "core/export/multi_freq.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/base/atomic_file.h"
#include "core/base/clog.h"
#include "core/base/platform.h"
#include "core/export/export_locale.h"

namespace {

const int kMaxCrtomoElectrodes = 9999;
const int kMaxNamedFrequencies = 99;
const float kRemoteDistance = 99999.0f;

MultiFreqStatus Problem(MultiFreqProblem p) {
  MultiFreqStatus st;
  st.problem = p;
  return st;
}

MultiFreqStatus WriteFailed(const std::string& file, const std::string& reason) {
  MultiFreqStatus st = Problem(MultiFreqProblem::kWriteFailed);
  st.file = file;
  st.reason = reason;
  CLOG_ERR("%s: %s", file.c_str(), reason.c_str());
  return st;
}

// The files of one format: written into temporaries one after the other and
// renamed into place together, so a failure before the renames changes
// nothing on disk.
class FileSet {
public:
  ~FileSet() {
    if (m_committed) return;
    m_files.clear();  // discards the temporaries
    for (auto it = m_made_dirs.rbegin(); it != m_made_dirs.rend(); ++it) platform_rmdir(*it);
  }

  // Creates dir when missing; false when it cannot be made or is no folder.
  bool Folder(const std::string& dir) {
    PlatformStat st;
    if (platform_stat(dir, &st)) {
      if (st.directory) return true;
      m_status = WriteFailed(dir, "exists and is not a folder");
      return false;
    }
    if (!platform_mkdir(dir)) {
      m_status = WriteFailed(dir, std::string("cannot create the folder: ") + std::strerror(errno));
      return false;
    }
    m_made_dirs.push_back(dir);
    return true;
  }

  // Writes one whole file into its temporary; fill prints into the stream.
  template <typename Fn>
  bool Add(const std::string& path, Fn fill) {
    Entry e;
    e.path = path;
    PlatformStat st;
    e.existed = platform_lstat(path, &st);
    e.file.reset(new AtomicFile);
    if (!e.file->Open(path)) {
      m_status = WriteFailed(path, e.file->Error());
      return false;
    }
    fill(e.file->Stream());
    // Flushed and synced here rather than at the rename, so that a full disk
    // fails the run before any file is in place.
    if (!e.file->Seal()) {
      const int err = e.file->GetReason().sys_error;
      m_status = WriteFailed(path, std::string("cannot write: ") + (err ? std::strerror(err) : "stream error"));
      return false;
    }
    m_files.push_back(std::move(e));
    return true;
  }

  bool Commit(std::vector<std::string>* written) {
    std::vector<AtomicFile*> set;
    for (Entry& e : m_files) set.push_back(e.file.get());
    size_t failed = 0;
    if (!AtomicFile::CommitSet(set, &failed)) {
      m_status = WriteFailed(m_files[failed].path, m_files[failed].file->Error());
      for (size_t j = 0; j < failed; ++j)
        if (!m_files[j].existed) platform_remove(m_files[j].path);
      return false;
    }
    m_committed = true;
    if (written)
      for (const Entry& e : m_files) written->push_back(e.path);
    return true;
  }

  const MultiFreqStatus& Status() const { return m_status; }

private:
  struct Entry {
    std::string path;
    bool existed = false;
    std::unique_ptr<AtomicFile> file;
  };
  std::vector<Entry> m_files;
  std::vector<std::string> m_made_dirs;
  bool m_committed = false;
  MultiFreqStatus m_status;
};

double Resistance(const MultiFreqPoint& p, const MultiFreqValue& v) { return double(v.rho) / double(p.k); }

std::string FreqName(const char* prefix, size_t f, float hz, const char* suffix) {
  char buf[96];
  std::snprintf(buf, sizeof(buf), "%s%02d_%.6gHz%s", prefix, int(f) + 1, double(hz), suffix);
  return buf;
}

// A file an earlier run of this writer made: prefix, two or more digits, "_",
// anything ending in suffix.
bool IsRunFile(const std::string& name, const std::string& prefix, const std::string& suffix) {
  if (name.size() < prefix.size() + 3 + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
    return false;
  size_t i = prefix.size();
  const size_t digits_from = i;
  while (i < name.size() && name[i] >= '0' && name[i] <= '9') ++i;
  return i - digits_from >= 2 && i < name.size() && name[i] == '_';
}

// Removes the files of earlier runs (by IsRunFile) that this run did not write.
void RemoveStale(const std::string& dir, const std::vector<std::string>& keep, const std::string& prefix,
                 const std::string& suffix) {
  std::vector<std::string> names;
  if (!platform_list_dir(dir, &names)) return;
  for (const std::string& name : names)
    if (IsRunFile(name, prefix, suffix) && std::find(keep.begin(), keep.end(), dir + "/" + name) == keep.end())
      platform_remove(dir + "/" + name);
}

// One line of numbers. Values are rounded to float and written as the
// shortest text that reads back as the same float: the data are floats, and
// to_chars writes a dot whatever the locale.
class Line {
public:
  explicit Line(char sep) : m_sep(sep) {}
  Line& Num(double v) {
    char buf[32];
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof(buf), float(v));
    return Text(std::string(buf, r.ptr));
  }
  Line& Int(int v) { return Text(std::to_string(v)); }
  Line& Text(const std::string& t) {
    if (!m_text.empty()) m_text += m_sep;
    m_text += t;
    return *this;
  }
  void Put(FILE* fp) {
    m_text += '\n';
    std::fwrite(m_text.data(), 1, m_text.size(), fp);
  }

private:
  char m_sep;
  std::string m_text;
};

void PutXyz(FILE* fp, const MultiFreqElectrode& el) { Line(' ').Num(el.x).Num(el.y).Num(el.z).Put(fp); }

void PutCount(FILE* fp, size_t n) { Line(' ').Int(int(n)).Put(fp); }

}  // namespace

void MultiFreqNumberElectrodes(const std::vector<MultiFreqPositions>& pos, bool three_d, MultiFreqData* data) {
  std::vector<MultiFreqElectrode> els;
  for (const MultiFreqPositions& p : pos)
    for (int e = 0; e < 4; ++e)
      if (e != 1 || p.has_b) els.push_back({p.x[e], p.y[e], p.z[e], false});
  auto less = [](const MultiFreqElectrode& a, const MultiFreqElectrode& b) {
    return a.x < b.x || (a.x == b.x && a.y < b.y);
  };
  auto same = [](const MultiFreqElectrode& a, const MultiFreqElectrode& b) { return a.x == b.x && a.y == b.y; };
  std::stable_sort(els.begin(), els.end(), less);
  els.erase(std::unique(els.begin(), els.end(), same), els.end());
  auto number = [&](float x, float y) {
    const MultiFreqElectrode key{x, y, 0.0f, false};
    return int(std::lower_bound(els.begin(), els.end(), key, less) - els.begin()) + 1;
  };
  data->points.resize(pos.size());
  for (size_t i = 0; i < pos.size(); ++i) {
    const MultiFreqPositions& p = pos[i];
    MultiFreqPoint& out = data->points[i];
    out.a = number(p.x[0], p.y[0]);
    out.b = p.has_b ? number(p.x[1], p.y[1]) : 0;
    out.m = number(p.x[2], p.y[2]);
    out.n = number(p.x[3], p.y[3]);
  }
  if (!three_d)
    for (MultiFreqElectrode& el : els) el.y = 0.0f;
  data->electrodes = els;
}

std::string MultiFreqStatusText(const MultiFreqStatus& st) {
  char buf[160];
  switch (st.problem) {
    case MultiFreqProblem::kNone:
      return "ok";
    case MultiFreqProblem::kFewFrequencies:
      return "fewer than two frequency points";
    case MultiFreqProblem::kFrequencyOrder:
      std::snprintf(buf, sizeof(buf), "frequency point %d is not above the one before it", st.freq + 1);
      return buf;
    case MultiFreqProblem::kPointCount:
      std::snprintf(buf, sizeof(buf), "frequency point %d has another number of data points", st.freq + 1);
      return buf;
    case MultiFreqProblem::kElectrodeNumber:
      std::snprintf(buf, sizeof(buf), "data point %d has an electrode number outside the table, or a remote A, M or N",
                    st.point + 1);
      return buf;
    case MultiFreqProblem::kBadElectrode:
      std::snprintf(buf, sizeof(buf), "electrode %d has a coordinate that is not a number", st.electrode + 1);
      return buf;
    case MultiFreqProblem::kBadValue:
      if (st.freq < 0)
        std::snprintf(buf, sizeof(buf), "data point %d has no usable geometric factor", st.point + 1);
      else
        std::snprintf(buf, sizeof(buf), "data point %d has a value that is not a number at frequency point %d",
                      st.point + 1, st.freq + 1);
      return buf;
    case MultiFreqProblem::kTooManyElectrodes:
      std::snprintf(buf, sizeof(buf), "more than %d electrodes", kMaxCrtomoElectrodes);
      return buf;
    case MultiFreqProblem::kTooManyFrequencies:
      std::snprintf(buf, sizeof(buf), "more than %d frequency points", kMaxNamedFrequencies);
      return buf;
    case MultiFreqProblem::kWriteFailed:
      return st.file + ": " + st.reason;
  }
  return "unknown problem";
}

MultiFreqStatus MultiFreqValidate(const MultiFreqData& data) {
  if (data.freqs.size() < 2) return Problem(MultiFreqProblem::kFewFrequencies);
  for (size_t f = 0; f < data.freqs.size(); ++f) {
    const float hz = data.freqs[f];
    if (!std::isfinite(hz) || !(hz > 0.0f) || (f > 0 && !(hz > data.freqs[f - 1]))) {
      MultiFreqStatus st = Problem(MultiFreqProblem::kFrequencyOrder);
      st.freq = int(f);
      return st;
    }
  }
  for (size_t f = 0; f < std::max(data.freqs.size(), data.values.size()); ++f) {
    if (f >= data.values.size() || f >= data.freqs.size() || data.values[f].size() != data.points.size()) {
      MultiFreqStatus st = Problem(MultiFreqProblem::kPointCount);
      st.freq = int(f);
      return st;
    }
  }
  for (size_t e = 0; e < data.electrodes.size(); ++e) {
    const MultiFreqElectrode& el = data.electrodes[e];
    if (!std::isfinite(el.x) || !std::isfinite(el.y) || !std::isfinite(el.z)) {
      MultiFreqStatus st = Problem(MultiFreqProblem::kBadElectrode);
      st.electrode = int(e);
      return st;
    }
  }
  const int n_el = int(data.electrodes.size());
  auto inside = [n_el](int num, bool may_be_remote) {
    return (num >= 1 || (may_be_remote && num == 0)) && num <= n_el;
  };
  for (size_t p = 0; p < data.points.size(); ++p) {
    const MultiFreqPoint& pt = data.points[p];
    MultiFreqStatus st;
    st.point = int(p);
    if (!inside(pt.a, false) || !inside(pt.b, true) || !inside(pt.m, false) || !inside(pt.n, false)) {
      st.problem = MultiFreqProblem::kElectrodeNumber;
      return st;
    }
    if (!std::isfinite(pt.k) || pt.k == 0.0f) {
      st.problem = MultiFreqProblem::kBadValue;
      return st;
    }
    for (size_t f = 0; f < data.freqs.size(); ++f) {
      const MultiFreqValue& v = data.values[f][p];
      if (!std::isfinite(v.rho) || !std::isfinite(v.rho_err) || !std::isfinite(v.phase) ||
          !std::isfinite(v.phase_err) || !std::isfinite(float(Resistance(pt, v))) ||
          !std::isfinite(float(double(v.rho_err) * Resistance(pt, v)))) {
        st.problem = MultiFreqProblem::kBadValue;
        st.freq = int(f);
        return st;
      }
    }
  }
  return MultiFreqStatus();
}

namespace {

// Validation and the limit of the two-digit numbers in the file names.
MultiFreqStatus ValidateNumbered(const MultiFreqData& data) {
  MultiFreqStatus st = MultiFreqValidate(data);
  if (st.ok() && data.freqs.size() > size_t(kMaxNamedFrequencies)) st = Problem(MultiFreqProblem::kTooManyFrequencies);
  return st;
}

}  // namespace

MultiFreqStatus MultiFreqWriteFdip(const MultiFreqData& data, const std::string& path_base,
                                   std::vector<std::string>* written) {
  MultiFreqStatus st = MultiFreqValidate(data);
  if (!st.ok()) return st;
  FileSet files;
  auto shm = [&](FILE* fp) {
    PutCount(fp, data.electrodes.size());
    std::fputs("# x y z\n", fp);
    for (const MultiFreqElectrode& el : data.electrodes) PutXyz(fp, el);
    PutCount(fp, data.points.size());
    std::fputs("# a b m n k\n", fp);
    for (const MultiFreqPoint& p : data.points) Line(' ').Int(p.a).Int(p.b).Int(p.m).Int(p.n).Num(p.k).Put(fp);
    std::fputs("0\n", fp);
  };
  using Value = double (*)(const MultiFreqValue&);
  const struct {
    const char* ext;
    Value value;
  } matrices[] = {
      {".rhoa", [](const MultiFreqValue& v) { return double(v.rho); }},
      {".phia", [](const MultiFreqValue& v) { return -double(v.phase) / 1000.0; }},
      {".rhoaE", [](const MultiFreqValue& v) { return double(v.rho_err); }},
      {".phiaE", [](const MultiFreqValue& v) { return double(v.phase_err) / 1000.0; }},
  };
  bool ok = files.Add(path_base + ".shm", shm);
  for (size_t i = 0; ok && i < sizeof(matrices) / sizeof(matrices[0]); ++i) {
    const Value value = matrices[i].value;
    ok = files.Add(path_base + matrices[i].ext, [&](FILE* fp) {
      Line head(' ');
      for (float hz : data.freqs) head.Num(hz);
      head.Put(fp);
      for (size_t p = 0; p < data.points.size(); ++p) {
        Line row(' ');
        for (size_t f = 0; f < data.freqs.size(); ++f) row.Num(value(data.values[f][p]));
        row.Put(fp);
      }
    });
  }
  if (!ok || !files.Commit(written)) return files.Status();
  return st;
}

MultiFreqStatus MultiFreqWriteCrtomo(const MultiFreqData& data, const std::string& path_base,
                                     std::vector<std::string>* written) {
  MultiFreqStatus st = ValidateNumbered(data);
  if (!st.ok()) return st;
  if (data.electrodes.size() > size_t(kMaxCrtomoElectrodes)) return Problem(MultiFreqProblem::kTooManyElectrodes);
  ExportLocaleScope c_numbers;  // the "%.6g" of the file names
  const std::string dir = path_base + "_crtomo";
  FileSet files;
  bool ok = files.Folder(dir) && files.Add(dir + "/frequencies.dat", [&](FILE* fp) {
    for (float hz : data.freqs) Line(' ').Num(hz).Put(fp);
  });
  std::vector<std::string> run_files;
  for (size_t f = 0; ok && f < data.freqs.size(); ++f) {
    const std::vector<MultiFreqValue>& vals = data.values[f];
    run_files.push_back(dir + "/" + FreqName("volt_", f, data.freqs[f], ".crt"));
    ok = files.Add(run_files.back(), [&](FILE* fp) {
      PutCount(fp, data.points.size());
      for (size_t p = 0; p < data.points.size(); ++p) {
        const MultiFreqPoint& pt = data.points[p];
        Line(' ')
            .Int(pt.a * 10000 + pt.b)
            .Int(pt.m * 10000 + pt.n)
            .Num(Resistance(pt, vals[p]))
            .Num(vals[p].phase)
            .Put(fp);
      }
    });
    if (!ok) break;
    run_files.push_back(dir + "/" + FreqName("errors_", f, data.freqs[f], ".dat"));
    ok = files.Add(run_files.back(), [&](FILE* fp) {
      PutCount(fp, data.points.size());
      for (const MultiFreqValue& v : vals) Line(' ').Num(v.rho_err).Num(v.phase_err).Put(fp);
    });
  }
  ok = ok && files.Add(dir + "/electrodes.dat", [&](FILE* fp) {
    for (const MultiFreqElectrode& el : data.electrodes) PutXyz(fp, el);
  });
  if (!ok || !files.Commit(written)) return files.Status();
  RemoveStale(dir, run_files, "volt_", "Hz.crt");
  RemoveStale(dir, run_files, "errors_", "Hz.dat");
  return st;
}

MultiFreqStatus MultiFreqWriteProtocol(const MultiFreqData& data, const std::string& path_base,
                                       std::vector<std::string>* written) {
  MultiFreqStatus st = ValidateNumbered(data);
  if (!st.ok()) return st;
  ExportLocaleScope c_numbers;  // the "%.6g" of the file names

  // The protocol has no remote electrode: a remote B becomes one more
  // electrode far to the left of the survey.
  std::vector<MultiFreqElectrode> els = data.electrodes;
  const bool any_remote =
      std::any_of(data.points.begin(), data.points.end(), [](const MultiFreqPoint& p) { return p.b == 0; });
  if (any_remote) {
    float min_x = 0.0f;
    for (const MultiFreqElectrode& el : els) min_x = std::min(min_x, el.x);
    els.push_back({min_x - kRemoteDistance, 0.0f, 0.0f, true});
  }
  const int remote_b = int(els.size());

  const std::string dir = path_base + "_protocol";
  FileSet files;
  bool ok = files.Folder(dir);
  std::vector<std::string> run_files;
  for (size_t f = 0; ok && f < data.freqs.size(); ++f) {
    const std::vector<MultiFreqValue>& vals = data.values[f];
    run_files.push_back(dir + "/" + FreqName("protocol_", f, data.freqs[f], ".dat"));
    ok = files.Add(run_files.back(), [&](FILE* fp) {
      PutCount(fp, data.points.size());
      for (size_t p = 0; p < data.points.size(); ++p) {
        const MultiFreqPoint& pt = data.points[p];
        const MultiFreqValue& v = vals[p];
        const double r = Resistance(pt, v);
        Line('\t')
            .Int(int(p) + 1)
            .Int(pt.a)
            .Int(pt.b == 0 ? remote_b : pt.b)
            .Int(pt.m)
            .Int(pt.n)
            .Num(r)
            .Num(v.phase)
            .Num(double(v.rho_err) * std::fabs(r))
            .Num(v.phase_err)
            .Put(fp);
      }
    });
  }
  ok = ok && files.Add(path_base + "_protocol_electrodes.csv", [&](FILE* fp) {
    std::fputs("label,x,y,z,buried,remote\n", fp);
    for (size_t e = 0; e < els.size(); ++e)
      Line(',')
          .Int(int(e) + 1)
          .Num(els[e].x)
          .Num(els[e].y)
          .Num(els[e].z)
          .Text("False")
          .Text(els[e].remote ? "True" : "False")
          .Put(fp);
  });
  if (!ok || !files.Commit(written)) return files.Status();
  RemoveStale(dir, run_files, "protocol_", "Hz.dat");
  return st;
}
