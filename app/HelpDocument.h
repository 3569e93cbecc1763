#pragma once

#include <QString>
#include <optional>

// The help document of the Pelagrin installation: its folder ("InstDir", a separator added
// when missing), "PelagrinV", "1.50", a separator, "40236.pdf". Without an installation the
// name is the relative "xxx40236.pdf".
QString helpDocumentPath(const std::optional<QString> &instDir);

// "InstDir" of the Pelagrin installation as the system's settings record it; none when there
// is no installation.
std::optional<QString> pelagrinInstallFolder();
