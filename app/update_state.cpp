#include "app/update_state.h"

UpdateState theUpdateState;

UpdateState::~UpdateState() {
    for (auto& record : files) record.reset();
    files.clear();
}
