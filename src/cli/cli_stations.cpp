#include "cli_stations.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/base/ex_string.h"
#include "core/sip/format_srs.h"
#include "core/sip/stations.h"

CliVerb addStationsVerb(CLI::App& app) {
  auto srs_path = std::make_shared<std::string>();
  CLI::App* cmd = app.add_subcommand(
      "stations", "The stations of an SRS file as the station map places them: GPS in degrees, east and north "
                  "metres from the reference point of the checked stations, design position");
  cmd->add_option("SRS", *srs_path, "SRS file")->required();

  return CliVerb{cmd, [srs_path]() -> int {
                   CFormatSRS srs;
                   if (!srs.Read(ex_utf8_to_ansi(*srs_path))) {
                     std::fprintf(stderr, "varnex-cli: cannot read %s: %s\n", srs_path->c_str(),
                                  srs.GetError().c_str());
                     return 1;
                   }
                   const std::vector<StationRecord> stations = BuildStations(srs);
                   std::vector<double> lats, lons;
                   for (const StationRecord& st : stations) {
                     if (!st.checked) continue;
                     lats.push_back(st.lat);
                     lons.push_back(st.lon);
                   }
                   double lat0 = 0.0, lon0 = 0.0;
                   GpsReferencePoint(lats, lons, &lat0, &lon0);
                   std::printf("reference point: lon %.8f lat %.8f\n", GpsToDegrees(lon0), GpsToDegrees(lat0));
                   std::printf("%-12s %-7s %14s %14s %10s %10s %10s %10s %10s\n", "station", "checked", "lon(deg)",
                               "lat(deg)", "alti(m)", "east(m)", "north(m)", "x(m)", "y(m)");
                   for (const StationRecord& st : stations) {
                     double east = 0.0, north = 0.0;
                     GpsToRelative(st.lat, st.lon, lat0, lon0, &east, &north);
                     std::printf("%-12s %-7d %14.8f %14.8f %10.2f %10.2f %10.2f %10.2f %10.2f\n", st.name.c_str(),
                                 st.checked ? 1 : 0, GpsToDegrees(st.lon), GpsToDegrees(st.lat), st.alti, east, north,
                                 st.x, st.y);
                   }
                   return CliStdoutWritten() ? 0 : 1;
                 }};
}
