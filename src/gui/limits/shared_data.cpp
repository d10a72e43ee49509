#include "gui/limits/shared_data.h"

SharedData* SharedData::instance() {
  static SharedData s_instance;
  return &s_instance;
}
