#include "core/export/export_group.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "core/base/algo.h"
#include "core/base/clog.h"
#include "core/base/ordered_prefetch.h"
#include "core/sip/format_srs.h"

namespace {

bool Agree(float group, float file) { return algo_is_equal_cp(group, file, 1e-6); }

struct GroupKey {
  float a, b, origin, vd2ab;
};

// What grouping needs of a file, read on the other cores ahead of the loop.
struct Head {
  bool read = false;
  int ch_num = 0;
  int layout = 0;
  GroupKey key{};
};

Head ReadHead(const std::string& path) {
  Head h;
  CFormatSRS srs;
  srs.SetSkipItems(true, true);
  if (!srs.Read(path)) return h;
  h.read = true;
  h.ch_num = srs.m_res.GetChNum();
  h.layout = srs.m_prm_meas.layout;
  if (h.ch_num < 1) return h;
  const ChInfo info = srs.m_res.GetChInfo(0);
  h.key = GroupKey{srs.m_prm_meas.ax, srs.m_prm_meas.bx, info.m_pos - float(info.site_no) * info.mn, info.vd2ab};
  return h;
}

// Index of the first key that key agrees with (B not compared for the
// three-electrode layout), keys.size() when none.
size_t MatchingGroup(const std::vector<GroupKey>& keys, const GroupKey& key, int layout) {
  size_t g = 0;
  for (; g < keys.size(); ++g) {
    const GroupKey& gk = keys[g];
    if (Agree(gk.a, key.a) && (layout == SIP_POLE3_SOUNDING || Agree(gk.b, key.b)) &&
        Agree(gk.origin, key.origin) && Agree(gk.vd2ab, key.vd2ab))
      break;
  }
  return g;
}

// Keeps, of the item already merged and the new one, the one with data and
// the smaller relative error; an item of fewer than two values is none.
ResItem BetterItem(const ResItem& kept, const ResItem& item) {
  const ResBlock &k2 = kept.blk[RES_APP], &n2 = item.blk[RES_APP];
  bool take = k2.count < 2;
  if (!take && n2.count >= 2) take = double(n2.err) / double(n2.value) < double(k2.err) / double(k2.value);
  const ResItem& chosen = take ? item : kept;
  return chosen.blk[RES_APP].count < 2 ? ResItem() : chosen;
}

}  // namespace

unsigned ExportPrefetchWorkers() { return std::min(4u, std::max(1u, std::thread::hardware_concurrency())); }

std::vector<float> MeasuringPositions(const std::vector<CResultSip*>& results) {
  std::vector<float> pos;
  for (CResultSip* r : results)
    for (int j = 0; j < r->GetChNum(); ++j) {
      // A position that is not a number (a damaged file) has no place in
      // the order and no data point.
      const float x = r->GetChInfo(j).m_pos;
      if (!std::isnan(x)) pos.push_back(x);
    }
  std::sort(pos.begin(), pos.end());
  pos.erase(std::unique(pos.begin(), pos.end()), pos.end());
  return pos;
}

int PositionIndex(const std::vector<float>& positions, float x) {
  auto it = std::lower_bound(positions.begin(), positions.end(), x);
  if (it == positions.end() || *it != x) return -1;
  return int(it - positions.begin());
}

int GroupFiles(const std::vector<std::string>& paths, int layout, bool free_or_3d,
               std::vector<std::vector<std::string>>* groups, std::vector<std::string>* unreadable) {
  groups->clear();
  std::vector<GroupKey> keys;
  OrderedPrefetch<Head> heads(
      paths.size(), [&paths](size_t k) { return ReadHead(paths[k]); }, ExportPrefetchWorkers(),
      4 * size_t(ExportPrefetchWorkers()));
  for (size_t k = 0; k < paths.size(); ++k) {
    const Head h = heads.Take();
    if (!h.read) {
      if (unreadable) unreadable->push_back(paths[k]);
      continue;
    }
    if (h.ch_num < 1) continue;
    if (h.layout != layout) {
      groups->clear();
      return int(k) + 1;
    }
    if (layout == SIP_ALL_GRADIENT || free_or_3d) {
      groups->push_back({paths[k]});
      continue;
    }
    const size_t g = MatchingGroup(keys, h.key, layout);
    if (g == keys.size()) {
      keys.push_back(h.key);
      groups->push_back({});
    }
    (*groups)[g].push_back(paths[k]);
  }
  return 0;
}

CResultSip MergeResults(std::vector<CResultSip>& results, int count, bool has_b) {
  CResultSip merged;
  count = std::min(count, int(results.size()));
  if (count < 1) return merged;
  CResultSip& first = results[0];
  std::vector<CResultSip*> used;
  for (int r = 0; r < count; ++r) {
    CResultSip& res = results[size_t(r)];
    if (res.GetHarmNum() != first.GetHarmNum() || res.GetPosAx() != first.GetPosAx() ||
        (has_b && res.GetPosBx() != first.GetPosBx())) {
      CLOG_WARN("result %d of the group left out: another harmonic count or transmitter position", r);
      continue;
    }
    used.push_back(&res);
  }
  const std::vector<float> pos = MeasuringPositions(used);
  const int harm = first.GetHarmNum();
  merged.DoInit(int(pos.size()), 1, harm);
  merged.SetPos(first.GetPosAx(), first.GetPosAy(), first.GetPosBx(), first.GetPosBy());
  for (int h = 0; h < harm; ++h) merged.SetFreq(0, h, first.GetFreq(0, h));
  for (CResultSip* r : used) {
    for (int j = 0; j < r->GetChNum(); ++j) {
      const ChInfo info = r->GetChInfo(j);
      const int idx = PositionIndex(pos, info.m_pos);
      if (idx < 0) continue;
      merged.SetChInfo(idx, info);
      for (int h = 0; h < harm; ++h) merged.SetItem(idx, 0, h, BetterItem(merged.GetItem(idx, 0, h), r->GetItem(j, 0, h)));
    }
  }
  return merged;
}
