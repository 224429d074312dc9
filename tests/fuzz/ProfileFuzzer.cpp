// The command line's profile reader on arbitrary text. A text taken as a profile is written
// back and read again to the same profile, and matches itself; a text refused says why.

#include <cstdint>
#include <string>

#include "cli/Differences.h"
#include "cli/Profile.h"
#include "resources/Resources.h"
#include "tests/fuzz/Check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The reader asks the wizard's pages what they accept; the pages need their templates.
    static const bool registered = [] {
        resources::RegisterResources();
        return true;
    }();
    (void)registered;

    const std::string text(reinterpret_cast<const char*>(data), size);
    cli::Profile profile;
    std::string error;
    if (!cli::ReadProfile(text, profile, error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    cli::Profile again;
    FUZZ_CHECK(cli::ReadProfile(cli::WriteProfile(profile), again, error));
    FUZZ_CHECK(again == profile);
    // The settings description a profile loads into gives the profile back, and matches it.
    const engine::InstrumentSettings loaded = cli::SettingsOf(profile);
    FUZZ_CHECK(cli::ProfileOf(loaded) == profile);
    FUZZ_CHECK(cli::Differences(loaded, profile).empty());
    if (profile.filters) FUZZ_CHECK(profile.filters->size() == 4 || profile.filters->size() == 6);
    return 0;
}
