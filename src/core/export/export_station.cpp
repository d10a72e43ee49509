#include "core/export/export_station.h"

#include <algorithm>

#include "core/export/export_group.h"

StationData StationDataOf(const CFormatSRS& srs) {
  StationData st;
  const size_t n = std::min({srs.m_valid_sp.size(), srs.m_sp_ac.size(), srs.m_sp_dc.size(),
                             srs.m_valid_groud_r.size(), srs.m_groud_r.size()});
  st.count = int(n);
  st.sp_valid.assign(srs.m_valid_sp.begin(), srs.m_valid_sp.begin() + long(n));
  st.sp_ac.assign(srs.m_sp_ac.begin(), srs.m_sp_ac.begin() + long(n));
  st.sp_dc.assign(srs.m_sp_dc.begin(), srs.m_sp_dc.begin() + long(n));
  st.gr_valid.assign(srs.m_valid_groud_r.begin(), srs.m_valid_groud_r.begin() + long(n));
  st.gr.assign(srs.m_groud_r.begin(), srs.m_groud_r.begin() + long(n));
  return st;
}

StationData BuildStationData(std::vector<CFormatSRS*>& files) {
  std::vector<CResultSip*> results;
  for (CFormatSRS* f : files) results.push_back(&f->m_res);
  const std::vector<float> pos = MeasuringPositions(results);
  StationData st;
  st.count = int(pos.size());
  st.sp_valid.assign(pos.size(), false);
  st.sp_ac.assign(pos.size(), 0.0f);
  st.sp_dc.assign(pos.size(), 0.0f);
  st.gr_valid.assign(pos.size(), false);
  st.gr.assign(pos.size(), 0.0f);
  for (CFormatSRS* f : files) {
    const int ch_num = f->m_res.GetChNum();
    for (int i = 0; i < ch_num; ++i) {
      const size_t k = size_t(i);
      if (k >= f->m_valid_sp.size() || k >= f->m_sp_ac.size() || k >= f->m_sp_dc.size() ||
          k >= f->m_valid_groud_r.size() || k >= f->m_groud_r.size())
        break;
      const int idx = PositionIndex(pos, f->m_res.GetChInfo(i).m_pos);
      if (idx < 0) continue;
      st.sp_valid[size_t(idx)] = f->m_valid_sp[k];
      st.sp_ac[size_t(idx)] = f->m_sp_ac[k];
      st.sp_dc[size_t(idx)] = f->m_sp_dc[k];
      st.gr_valid[size_t(idx)] = f->m_valid_groud_r[k];
      st.gr[size_t(idx)] = f->m_groud_r[k];
    }
  }
  return st;
}
