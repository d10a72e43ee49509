#include "core/export/export_message.h"

ExportTitle ExportTitleOf(ExportCode code) {
  switch (code) {
    case ExportCode::DeviceError:
    case ExportCode::NoFiles:
    case ExportCode::NameEmpty:
    case ExportCode::CreateFailed:
    case ExportCode::NoFs:
    case ExportCode::SameBaseName: return ExportTitle::FileWarning;
    case ExportCode::SmtMissing:
    case ExportCode::NotCompleted:
    case ExportCode::HarmMismatch:
    case ExportCode::NoHarmonics:
    case ExportCode::FreqMismatch:
    case ExportCode::FewFrequencies: return ExportTitle::Warning;
    default: return ExportTitle::Tips;
  }
}

bool ExportIsWarning(ExportCode code) {
  switch (code) {
    case ExportCode::SmtMissing:
    case ExportCode::Converted:
    case ExportCode::Exported:
    case ExportCode::NoValid:
    case ExportCode::Cancelled: return false;
    default: return true;
  }
}

std::string ExportArg(const std::string& text, const std::string& a1, const std::string& a2) {
  std::string out;
  size_t pos = 0;
  for (;;) {
    const size_t hit = text.find('%', pos);
    if (hit == std::string::npos || hit + 1 >= text.size()) break;
    const char d = text[hit + 1];
    if (d != '1' && d != '2') {
      out.append(text, pos, hit + 1 - pos);
      pos = hit + 1;
      continue;
    }
    out.append(text, pos, hit - pos);
    out += d == '1' ? a1 : a2;
    pos = hit + 2;
  }
  out.append(text, pos, std::string::npos);
  return out;
}
