// Writes the seed inputs of the loader fuzz targets: real records written
// by the code under test. Run at build time, so the seeds follow the layout.
#include "SampleRecord.h"

#include "base/Archive.h"
#include "base/GlobalMemory.h"
#include "base/MemoryStream.h"
#include "clip/ClipFormats.h"
#include "clip/FormatNames.h"

#include <cstdio>
#include <string>

namespace {

template <typename Thing>
bool write(Thing& thing, const std::string& path) {
    MemoryStream stream;
    if (!stream.create(MemoryStream::defaultGrowStep, true))
        return false;
    Archive archive(stream, true);
    thing.serialize(archive);
    stream.close();
    if (!archive.ok())
        return false;
    GlobalLockGuard lock(stream.block());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(lock.data(), 1, stream.position(), file) == stream.position();
    return std::fclose(file) == 0 && written;
}

}  // namespace

// make_seeds SNAPSHOT_DIR STATE_DIR
int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const std::string snapshots = argv[1];
    const std::string states = argv[2];
    bool ok = true;

    ClipSnapshot empty;
    ok &= write(empty, snapshots + "/empty");
    ClipSnapshot text;
    text.append(dataItem(clipformat::text, std::string("AB", 3)));
    ok &= write(text, snapshots + "/text");
    ClipSnapshot mixed;
    mixed.append(dataItem(clipformat::text, std::string(300, 't') + '\0'));
    mixed.append(ClipFormatItem::forLocale(0x0419));
    mixed.append(dataItem(registerFormatName("Rich Text Format"), "{\\rtf1 x}"));
    mixed.append(dataItem(clipformat::dib, ""));
    ok &= write(mixed, snapshots + "/mixed");

    SavedState sample;
    fillSampleState(sample);
    ok &= write(sample, states + "/sample");
    SavedState bare;
    ok &= write(bare, states + "/bare");
    sample.buttons.button(1)->wasActive = false;
    sample.buttons.button(0)->snapshot.get()->append(dataItem(registerFormatName("HTML Format"), "<b>"));
    ok &= write(sample, states + "/no-active");
    return ok ? 0 : 1;
}
