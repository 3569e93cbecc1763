#pragma once

#include "support/GenerationFixture.h"
#include "support/PlantTemplate.h"

// A generation run on the plant template and a workbook whose signal sheet the test fills.
namespace plant {

using Row = std::vector<QVariant>;

struct PlantRun : GenerationFixture {
    PlantRun()
    {
        writeTemplate(kTemplate);
        moreSettings = {{"Base", 20}};
        signalRows = {{"Type", "Off", "Tag", "Port"}};
    }
    void signal(const QString &type, const QString &tag, int port = 1, const QString &off = {})
    {
        signalRows.push_back({type, off.isEmpty() ? QVariant() : QVariant(off), tag, port});
    }
};

} // namespace plant
