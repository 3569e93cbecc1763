// A template of any bytes through the template check: every pass over whatever the parser
// makes of it, and the places of what it finds.
#include "FuzzInput.h"

#include "check/TemplateCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const DiagnosticList list = CheckTemplateText(fuzzBytes(data, size), QStringLiteral("t.xml"));
    for (const Diagnostic &d : list.sorted())
        (void)d.text();
    (void)list.json();
    return 0;
}
