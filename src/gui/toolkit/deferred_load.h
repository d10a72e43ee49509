// A file choice that a hidden tab of a shown window takes up only when the
// tab is shown: users click through many files while looking at one tab, and
// a large file costs every tab a full read.
#pragma once

#include <QWidget>

#include <optional>

#include "gui/toolkit/prompts.h"

class DeferredLoad {
public:
  // true: the page is a hidden tab of a shown window and leaves the load to
  // take(); a page on its own, or one in view, loads at once.
  bool defer(const QWidget* page) {
    m_pending = page->window() != page && page->window()->isVisible() && !page->isVisible();
    if (m_pending) m_quiet = QuietLoadFailures::active();
    return m_pending;
  }
  void cancel() { m_pending = false; }

  // Runs the load that was left, as quiet about a failure as it would have
  // been at the click (the main window has then reported it already).
  template <class Load>
  void take(Load load) {
    if (!m_pending) return;
    m_pending = false;
    std::optional<QuietLoadFailures> quiet;
    if (m_quiet) quiet.emplace();
    load();
  }

private:
  bool m_pending = false;
  bool m_quiet = false;
};
