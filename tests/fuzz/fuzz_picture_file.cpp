// The home-screen picture import on any file: no crash, and either a picture or a numbered error.
#include <QImageReader>

#include "fuzz_check.h"
#include "screen/picture_file.h"

using namespace trivo;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Qt's own decoders may allocate up to this for one picture; a smaller ceiling keeps every input quick
    // under the sanitizers without changing what our checks see.
    QImageReader::setAllocationLimit(32);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const QString path = fuzz::scratchFile(QStringLiteral("picture"), data, size);
    const PictureFile picture = readPictureFile(path);
    if (picture.ok()) {
        FUZZ_CHECK(!picture.image.isNull());
        FUZZ_CHECK(picture.image.width() > 0 && picture.image.height() > 0);
    } else {
        FUZZ_CHECK(picture.image.isNull());
        FUZZ_CHECK(picture.error.number != 0 && !picture.error.description.isEmpty());
    }
    return 0;
}
