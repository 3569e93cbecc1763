#include "app/HelpDocument.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(HelpDocument, PathFromTheInstallationFolder)
{
    struct Case {
        const char *what;
        std::optional<QString> instDir;
        QString document;
    };
    const Case cases[] = {
        {"no installation", std::nullopt, "xxx40236.pdf"},
        {"folder without separator", QString("/opt/pelagrin"),
         "/opt/pelagrin/PelagrinV1.50/40236.pdf"},
        {"folder with separator", QString("/opt/pelagrin/"),
         "/opt/pelagrin/PelagrinV1.50/40236.pdf"},
        {"Windows folder", QString("C:\\Pelagrin\\"), "C:\\Pelagrin\\PelagrinV1.50/40236.pdf"},
        {"empty folder", QString(""), "/PelagrinV1.50/40236.pdf"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(helpDocumentPath(c.instDir), c.document);
    }
}
