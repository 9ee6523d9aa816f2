// Orvalis.dat's 84 bytes from anywhere: decoding never fails, keeps the record's
// invariants, and what it decodes survives a save and a load unchanged.
#include "core/settings.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::array<std::uint8_t, kSettingsFileBytes> bytes{};
    std::memcpy(bytes.data(), data, size < bytes.size() ? size : bytes.size());
    const SettingsRecord s = decodeSettings(settingsImageFromBytes(bytes));
    const bool kept = s.columns >= 1 && s.columns <= 5 && s.rows >= 1 && s.rows <= 5 &&
                      s.acceleration >= 0 && s.acceleration <= 10 && s.delay >= 0 &&
                      s.delay <= 100 && s.delay % 10 == 0 &&
                      (s.moveDisplay != u'o' || s.continueAtEdge == 0);
    if (!kept)
        std::abort();
    const SettingsRecord back =
        decodeSettings(settingsImageFromBytes(settingsBytesFromImage(encodeSettings(s))));
    // Numbers wider than their field are cut on writing; the rest comes back as it was.
    if (s.trackLevel >= 0 && s.trackLevel <= 9 && s.overviewWidth >= 0 &&
        s.overviewWidth <= 99999 && s.overviewHeight >= 0 && s.overviewHeight <= 99999 &&
        !(back == s))
        std::abort();
    return 0;
}
