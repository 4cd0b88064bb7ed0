// Writes and reads stored records as the program does, for the scripts that
// compare the bytes of two builds and carry a registered format from one
// Wine prefix to another.
//
//   persistprobe record FILE          the sample stack-file record
//   persistprobe format-write FILE    a snapshot with a registered format;
//                                     prints the format's number here
//   persistprobe format-read FILE N   registers dummy names until they reach
//                                     N, then loads FILE; prints the number
//                                     the format arrived under
#include "SampleRecord.h"

#include "base/Archive.h"
#include "clip/ClipFormats.h"
#include "clip/FileStream.h"
#include "clip/SavedState.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const probeName = "Tolvaran Probe Format";
const char* const probeData = "probe data";

template <typename Thing>
bool writeFile(const char* path, Thing& thing) {
    FileStream file;
    if (!file.open(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL))
        return false;
    Archive archive(file, true);
    return thing.serialize(archive);
}

int record(const char* path) {
    SavedState state;
    fillSampleState(state);
    return writeFile(path, state) ? 0 : 1;
}

int formatWrite(const char* path) {
    const UINT format = RegisterClipboardFormatA(probeName);
    ClipSnapshot snapshot;
    snapshot.append(dataItem(clipformat::text, std::string("text", 5)));
    snapshot.append(dataItem(format, probeData));
    if (!writeFile(path, snapshot))
        return 1;
    std::printf("%u\n", format);
    return 0;
}

int formatRead(const char* path, unsigned avoid) {
    // Atoms are numbered in turn: once a dummy reaches the writer's number,
    // the name read next cannot get it.
    for (int k = 0; k < 2000; ++k) {
        const std::string dummy = "Tolvaran Probe Dummy " + std::to_string(k);
        if (RegisterClipboardFormatA(dummy.c_str()) >= avoid)
            break;
    }
    FileStream file;
    if (!file.open(path, GENERIC_READ, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL))
        return 1;
    Archive archive(file, false);
    ClipSnapshot snapshot;
    if (!snapshot.serialize(archive) || snapshot.count() != 2) {
        std::fprintf(stderr, "the snapshot did not load\n");
        return 1;
    }
    const ClipFormatItem& item = *snapshot.item(1);
    char name[100] = {};
    GetClipboardFormatNameA(item.format(), name, sizeof name);
    if (std::strcmp(name, probeName) != 0 || dataOf(item) != probeData ||
        item.format() != RegisterClipboardFormatA(probeName)) {
        std::fprintf(stderr, "arrived as %u, named \"%s\"\n", item.format(), name);
        return 1;
    }
    std::printf("%u\n", item.format());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "record") == 0)
        return record(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "format-write") == 0)
        return formatWrite(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "format-read") == 0)
        return formatRead(argv[2], static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)));
    std::fprintf(stderr, "usage: persistprobe record FILE | format-write FILE | format-read FILE N\n");
    return 2;
}
