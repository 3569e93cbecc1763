// The order-preserving INI document: any bytes parse, write back unchanged, and take a new
// key without losing it.
#include "FuzzInput.h"

#include "common/IniDocument.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    IniDocument ini = IniDocument::parse(bytes);
    if (ini.toBytes() != bytes)
        std::abort(); // an untouched document writes back byte for byte
    for (const QByteArray &section : ini.sections())
        ini.keys(section);
    ini.setValue("OPTIONS", "CTSEG", "ON");
    if (ini.value("options", "ctseg") != QByteArray("ON"))
        std::abort();
    IniDocument::parse(ini.toBytes());
    ini.removeKey("OPTIONS", "CTSEG");
    return 0;
}
