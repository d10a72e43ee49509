// The core's failure reasons in the interface language: each code worded
// through the translator, the system error too. A reason without a wording
// of its own (ReasonCode::Other) is shown as the core's English line.
#pragma once

#include <QCoreApplication>
#include <QString>

#include <string>
#include <vector>

#include "core/base/reason.h"

class ReasonText {
  Q_DECLARE_TR_FUNCTIONS(ReasonText)

public:
  static QString of(const Reason& reason);
  static QString ofPart(ReasonPart part);
  static QString ofSystemError(int err);
  // One line per failed file: its path, then its reason.
  static QString failureList(const std::vector<std::string>& paths, const std::vector<Reason>& reasons);
};

// text, then the worded reason on a second line; text alone without one.
QString withReason(const QString& text, const Reason& reason);
