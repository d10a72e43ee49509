#include "cli_pseudosection.h"

#include <cstdio>
#include <memory>

#include "cli_export.h"
#include "core/base/ex_string.h"
#include "core/section/pseudo_section.h"

namespace {

const char* const kFooter =
    "The points of the pseudo-section (2-D or 3-D sounding) or of the plan map (mid-gradient scan) as CSV:\n"
    "  x_m,y_m,depth_m,value,error,passed,file,station,channel\n"
    "x and y as the section table (midpoint, elevation) or the plane table (site coordinates) prints them;\n"
    "depth positive downwards (the n-level with --depth n; 0 on a plan map); value and error in the unit\n"
    "of the table's column (app: ohm.m and percent, cp and phase: mrad, fs: percent); passed 1 when the\n"
    "row passes the limits (it is then in the table), 0 otherwise; file, station and channel of the item\n"
    "kept after merging. Every point is written, the failing ones included.\n"
    "Exit status: 0 written; 1 a file cannot be read or written, a layout mismatch, no matching file.";

int Fail(const std::string& text) {
  std::fprintf(stderr, "varnex-cli: %s\n", text.c_str());
  return 1;
}

}  // namespace

CliVerb addPseudoSectionVerb(CLI::App& app) {
  struct Opts {
    std::vector<std::string> files;
    std::string out;
    int freq = 1;
    std::string quantity = "app";
    std::string depth = "ab5";
    std::string kind = "auto";
    std::string elev, coords;
    float max_err_app = -1.0f;
    float max_err_cp = -1.0f;
  };
  auto o = std::make_shared<Opts>();
  CLI::App* cmd = app.add_subcommand("pseudosection", "Write the points of the pseudo-section or plan map as CSV");
  cmd->footer(kFooter);
  cmd->add_option("FILE", o->files, "SRS files, in this order")->required()->type_name("SRS");
  cmd->add_option("--out", o->out, "the CSV file to write")->required()->type_name("POINTS.csv");
  cmd->add_option("--freq", o->freq, "frequency point, 1-based (default 1)")->check(CLI::PositiveNumber);
  cmd->add_option("--quantity", o->quantity, "quantity (default app)")
      ->check(CLI::IsMember({"app", "cp", "fs", "phase"}));
  cmd->add_option("--depth", o->depth, "pseudo-depth: -AB/5, -PC/2d5 or the n-level (default ab5)")
      ->check(CLI::IsMember({"ab5", "pc2d5", "n"}));
  cmd->add_option("--kind", o->kind,
                  "section (2-D sounding), section3d (3-D sounding, a section per file), plane (mid-gradient "
                  "plan map); auto (default): plane for mid-gradient files, else section")
      ->check(CLI::IsMember({"auto", "section", "section3d", "plane"}));
  cmd->add_option("--elev", o->elev, "elevation table (x y z per line)")->type_name("FILE");
  cmd->add_option("--coords", o->coords, "site coordinate table (header, then name line_no pos x y)")
      ->type_name("FILE");
  cmd->add_option("--max-err-app", o->max_err_app, "maximum relative error of the apparent resistivity, percent")
      ->type_name("PCT");
  cmd->add_option("--max-err-cp", o->max_err_cp, "maximum error of the relative phase, mrad")->type_name("MRAD");

  return CliVerb{cmd, [o]() -> int {
                   auto tables = std::make_unique<CliExportTables>();
                   if (!CliLoadTable(o->elev, &tables->elev, "Failed to import elevation!") ||
                       !CliLoadTable(o->coords, &tables->coords, "Failed to import coordinate!"))
                     return 1;
                   ExportOptions s;
                   for (const std::string& f : o->files) s.paths.push_back(ex_utf8_to_ansi(f));
                   s.layout = ExportFirstLayout(s.paths);
                   const std::string& k = o->kind;
                   if (k == "plane" || (k == "auto" && s.layout == SIP_MID_GRADIENT))
                     s.format = ExportFormat::Plane;
                   else if (k == "section3d")
                     s.format = ExportFormat::Section3d;
                   else
                     s.format = ExportFormat::Section;
                   s.four_poles = s.layout != SIP_POLE3_SOUNDING;
                   CliSetMaxErrors(&s.limits, o->max_err_app, o->max_err_cp);
                   s.stop_on_unreadable = true;
                   s.elev = &tables->elev;
                   s.site_coord = &tables->coords;
                   const SectionSource src = CollectSection(s, nullptr);
                   if (src.status == SECTION_CANCELLED) return Fail("cancelled");
                   if (src.status != SECTION_OK) return Fail(ExportMessageEnglish(src.refusal));
                   if (o->freq > src.harm_num)
                     return Fail("--freq " + std::to_string(o->freq) + ": the files have " +
                                 std::to_string(src.harm_num) + " frequency points");
                   SectionOptions opt;
                   opt.harmonic = o->freq - 1;
                   opt.quantity = o->quantity == "cp"      ? SectionQuantity::Cp
                                  : o->quantity == "fs"    ? SectionQuantity::Fs
                                  : o->quantity == "phase" ? SectionQuantity::Phase
                                                           : SectionQuantity::App;
                   opt.depth = o->depth == "pc2d5" ? SectionDepth::Pc2d5
                               : o->depth == "n"   ? SectionDepth::NLevel
                                                   : SectionDepth::Ab5;
                   std::string why;
                   if (!WriteSectionCsv(ex_utf8_to_ansi(o->out), src, SectionPoints(src, opt), &why))
                     return Fail("cannot write " + o->out + ": " + why);
                   return 0;
                 }};
}
