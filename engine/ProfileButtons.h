#pragma once

// What the sheet's "Load profile..." and "Save profile..." buttons do. The face that shows the
// window gives the sheet one (the profiles of profile/WindowProfiles.h); without one the
// buttons stay hidden.

namespace engine {

class ProfileButtons {
public:
    virtual ~ProfileButtons() = default;
    virtual void Load() = 0;
    virtual void Save() = 0;
    // A step (0 for step 1) has been shown: its first activation read the instrument.
    virtual void OnStepShown(int step) = 0;
};

}  // namespace engine
