#pragma once

#include "workbook/CellValue.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

// The calls into LibreOffice Calc, as the module tessily_office offers them. Only plain data
// crosses: cell values row by row, texts, a macro's result. Every call may throw Failure.

// One sheet of a document, held while the document stays open.
class OfficeSheet {
public:
    virtual ~OfficeSheet() = default;
    virtual QString name() const = 0;
    // The values of the block at (top, left), rows x columns, both from 1, row by row.
    virtual std::vector<CellValue> cells(int top, int left, int rows, int columns) const = 0;
};

class OfficeBridge {
public:
    virtual ~OfficeBridge() = default;

    // Connects to the LibreOffice listening on Tessily's pipe, else starts one of its own;
    // connects again when the connection was lost. Destroying the bridge ends a LibreOffice
    // it started and leaves the engineer's running, with its documents.
    virtual void attach() = 0;
    // Calls other than attach(), activate() and open() never connect: after a lost
    // connection they fail with its reason until one of these connects again.
    // Makes the open document with this file name the active one.
    virtual void activate(const QString &fileName) = 0;
    // Loads the file, or takes the document of that path already open; it becomes active.
    virtual void open(const QString &path) = 0;
    // The active document's file name and its folder (without trailing separator).
    virtual QString activeName() const = 0;
    virtual QString activeFolder() const = 0;
    // Sheet n of the active document, from 1; throws when there is none or it is no worksheet.
    virtual std::shared_ptr<OfficeSheet> sheet(int n) = 0;
    // Runs a macro of the active document by name ("Name" or "Module.Name").
    virtual QVariant run(const QString &macro, const std::optional<QString> &argument) = 0;
};

// How the bridge reaches LibreOffice.
struct OfficeBridgeOptions {
    QString pipeName;      // the engineer's Calc listens here; empty: Tessily's own
    bool visible = false;  // a LibreOffice started by the bridge shows its windows
    int startSeconds = 60; // longest wait for a started LibreOffice to accept
    int callSeconds = 120; // longest wait for one call, a macro included
};

// The module's one entry point: makes a bridge or returns null with `error` set. The caller
// owns the bridge.
extern "C" {
using OfficeBridgeFactory = OfficeBridge *(*)(const OfficeBridgeOptions *options, QString *error);
}
inline constexpr const char *kOfficeBridgeFactoryName = "tessilyCreateOfficeBridge";
