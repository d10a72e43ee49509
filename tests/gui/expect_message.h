// The check that a step showed exactly one message box, of this kind, with
// this title and text.
#pragma once

#include <gtest/gtest.h>

#include <QString>

#include "scripted_prompts.h"

inline void ExpectOnlyMessage(const ScriptedPrompts& prompts, const QString& kind, const QString& title,
                              const QString& text) {
  ASSERT_EQ(prompts.messages.size(), 1) << "expected only: " << text.toStdString();
  const RecordedMessage& m = prompts.messages[0];
  EXPECT_EQ(m.kind, kind) << text.toStdString();
  EXPECT_EQ(m.title, title) << text.toStdString();
  EXPECT_EQ(m.text, text);
}
