// Numbers in export files always carry a dot: the GUI runs with the user's
// locale (Qt sets it from the environment), and a decimal comma would make
// every file unreadable for the inversion programs.
#pragma once

#include <clocale>
#include <locale.h>

// For its lifetime, this thread formats numbers in the C locale.
class ExportLocaleScope {
public:
  ExportLocaleScope() {
    static locale_t c_locale = newlocale(LC_NUMERIC_MASK, "C", locale_t(0));
    if (c_locale) m_old = uselocale(c_locale);
  }
  ~ExportLocaleScope() {
    if (m_old) uselocale(m_old);
  }
  ExportLocaleScope(const ExportLocaleScope&) = delete;
  ExportLocaleScope& operator=(const ExportLocaleScope&) = delete;

private:
  locale_t m_old = locale_t(0);
};
