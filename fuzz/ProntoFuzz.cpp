// Any bytes as a file of Pronto hex codes: the reader never crashes, and hands on either an error
// or whole signals that write out and read again.
#include <QByteArray>

#include "fuzz/ImportCheck.h"
#include "store/formats/RemoteFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckImport(ReadRemoteFile(content, QStringLiteral("fuzz"), RemoteFormat::Pronto),
                RemoteFormat::Pronto);
    return 0;
}
