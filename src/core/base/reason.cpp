#include "core/base/reason.h"

#include <utility>

namespace {

struct PartName {
  const char* name;
  ReasonPart part;
};

const PartName kPartNames[] = {
    {"start of file", ReasonPart::StartOfFile},
    {"version", ReasonPart::Version},
    {"measurement record", ReasonPart::Measurement},
    {"device records", ReasonPart::DeviceRecords},
    {"device record", ReasonPart::DeviceRecord},
    {"electrode list", ReasonPart::Electrodes},
    {"self-potential block", ReasonPart::SelfPotential},
    {"voltage spectrum array", ReasonPart::VoltageSpectra},
    {"current spectrum array", ReasonPart::CurrentSpectra},
    {"single-frequency result", ReasonPart::SingleResult},
    {"composed-frequency result", ReasonPart::ComposedResult},
    {"GPS block", ReasonPart::Gps},
    {"channel gains", ReasonPart::Gains},
    {"samples", ReasonPart::Samples},
};

}  // namespace

ReasonPart ReasonPartOf(const std::string& part_name) {
  for (const PartName& p : kPartNames)
    if (part_name == p.name) return p.part;
  return ReasonPart::None;
}

Reason Reason::Of(ReasonCode code, std::string text) {
  Reason r;
  r.code = code;
  r.text = std::move(text);
  return r;
}

Reason Reason::System(ReasonCode code, const std::string& file, int err, std::string text) {
  Reason r = Of(code, std::move(text));
  r.file = file;
  r.sys_error = err;
  return r;
}

Reason Reason::Damaged(const std::string& part_name, long offset, std::string text) {
  Reason r = Of(ReasonCode::DamagedPart, std::move(text));
  r.part = ReasonPartOf(part_name);
  r.offset = offset;
  return r;
}

Reason Reason::Line(long line, std::string text) {
  Reason r = Of(ReasonCode::DamagedLine, std::move(text));
  r.line = line;
  return r;
}

Reason Reason::FieldCount(long line, long count, long expected, std::string text) {
  Reason r = Of(ReasonCode::FieldCount, std::move(text));
  r.line = line;
  r.count = count;
  r.other_count = expected;
  return r;
}
