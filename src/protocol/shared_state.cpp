#include "protocol/shared_state.h"

namespace tarvenia {

RunKind ChooseRun(const SharedState& state)
{
    if (state.ConfirmPending.load(std::memory_order_acquire))
        return RunKind::Confirmation;
    if (!state.CurrentKey.empty())
        return RunKind::Photo;
    return RunKind::FirstConnection;
}

} // namespace tarvenia
