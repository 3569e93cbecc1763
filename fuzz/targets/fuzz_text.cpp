// Comma text, delimited text and the lenient integer over any text; a split text joined and
// split again gives the same items.
#include "FuzzInput.h"

#include "common/CommaText.h"
#include "common/LenientInt.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(fuzzBytes(data, size));
    const QStringList items = splitCommaText(text);
    if (splitCommaText(joinCommaText(items)) != items && !(items.size() == 1 && items[0].isEmpty()))
        std::abort(); // written comma text must read back as it was
    splitAtCommas(text);
    splitDelimitedText(text, u'\\');
    tryReadInt(text);
    readIntOr(text, 7);
    return 0;
}
