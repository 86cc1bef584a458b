#pragma once

#include <algorithm>
#include <vector>

#include "model/computation.h"
#include "model/effects/effects.h"

namespace quorvel {

// Told of every computation that ended, whether it finished or failed: the request as it was
// computed and its outcome with the messages it showed. The plot and the record of
// computations listen; the main window's controller and the effect-size window tell.
class ComputationListener {
  public:
    virtual ~ComputationListener() = default;
    virtual void quantityComputed(const ComputeRequest& /*request*/,
                                  const ComputeOutcome& /*outcome*/) {}
    virtual void effectComputed(const EffectRequest& /*request*/, const EffectOutcome& /*outcome*/) {}
};

// The listeners of one window, told in the order they were added. A listener removes itself
// before it is destroyed.
class ComputationListeners {
  public:
    void add(ComputationListener& listener) { listeners_.push_back(&listener); }
    void remove(ComputationListener& listener) {
        listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), &listener),
                         listeners_.end());
    }
    void quantityComputed(const ComputeRequest& request, const ComputeOutcome& outcome) const {
        for (ComputationListener* listener : std::vector(listeners_)) {
            listener->quantityComputed(request, outcome);
        }
    }
    void effectComputed(const EffectRequest& request, const EffectOutcome& outcome) const {
        for (ComputationListener* listener : std::vector(listeners_)) {
            listener->effectComputed(request, outcome);
        }
    }

  private:
    std::vector<ComputationListener*> listeners_;
};

}  // namespace quorvel
