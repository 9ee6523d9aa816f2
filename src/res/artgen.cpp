// Build-time generator: writes the artwork files that the resource script names into a
// folder. The cross build compiles it with the host compiler and runs it before the
// resource compiler. Usage: artgen <folder> [expected file names...]
#include "res/artwork.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

bool writeFile(const std::string& path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder> [expected file names...]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const std::vector<ArtworkFile> files = artworkFiles();

    // The build lists the files it waits for; a name missing on either side would leave
    // a stale or absent resource, so the lists must agree exactly.
    if (argc > 2) {
        std::vector<std::string> expected(argv + 2, argv + argc), made;
        for (const ArtworkFile& f : files)
            made.push_back(f.name);
        std::sort(expected.begin(), expected.end());
        std::sort(made.begin(), made.end());
        if (expected != made) {
            std::fprintf(stderr, "artgen: the build's list of artwork files differs from mine\n");
            return 1;
        }
    }
    for (const ArtworkFile& f : files) {
        if (f.bytes.empty()) {
            std::fprintf(stderr, "artgen: %s could not be encoded\n", f.name.c_str());
            return 1;
        }
        if (!writeFile(folder + "/" + f.name, f.bytes)) {
            std::fprintf(stderr, "artgen: cannot write %s/%s\n", folder.c_str(), f.name.c_str());
            return 1;
        }
    }
    return 0;
}
