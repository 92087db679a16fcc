// Feeds arbitrary bytes to the project file reader: every input must end in a project or a LoadError.
#include "projects/ProjectPersistence.hpp"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        // The same steps as loading a file, minus the read: decode, then build the model with its geometry.
        const auto project = pelagrin::ProjectPersistence::makeProject(
            pelagrin::ProjectPersistence::decode(text), "fuzz.pelagrinproj");
        (void)pelagrin::ProjectPersistence::encode(pelagrin::ProjectPersistence::makeFile(*project));
    } catch (const pelagrin::ProjectPersistence::LoadError&) {
    } catch (const std::domain_error&) {
        // A decodable file may still hold numbers no JSON writer accepts (1e999 reads as infinity).
    }
    return 0;
}
