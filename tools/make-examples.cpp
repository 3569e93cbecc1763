// Writes the demo workbook examples/substation.xlsx that goes with examples/substation.xml.
// Run it after changing the demo's signals; the workbook is committed.
#include "common/Failure.h"
#include "tools/WorkbookWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

namespace {

using Row = std::vector<QVariant>;

SheetContent settingsSheet()
{
    return {QStringLiteral("Settings"),
            {
                {"Substation Nordhavn 110/20 kV - telecontrol settings"},
                {"Template", "substation.xml"},
                {"Project name", "Nordhavn_RTU1"},
                {"Device address", "127.0.0.1:5020"},
                {"Main program type", "IEC104Main"},
                {"Main program name", "Main"},
                {"Template version", "1.2"},
                {"CASDU (common address)", 112},
                {"Cycle time (ms)", 100},
                {"Keep generated variables", false},
                {"Time synchronisation", true},
            }};
}

struct Signal {
    const char *type;
    const char *disabled;
    const char *tag;
    const char *description;
    int ioa;
    int port;
    int channel;
    QVariant scale;
    const char *unit;
    QVariant invert;
};

// clang-format off
const Signal kSignals[] = {
    {"SPI", "", "Q0_Local",        "Bay Q0 switch in local",           1001, 1, 1,  {}, "", false},
    {"SPI", "", "Q0_SF6_Alarm",    "Bay Q0 SF6 pressure low",          1002, 1, 2,  {}, "", false},
    {"SPI", "", "Q0_Spring",       "Bay Q0 spring not charged",        1003, 1, 3,  {}, "", true},
    {"SPI", "", "T1_Buchholz",     "Transformer T1 Buchholz trip",     1004, 1, 4,  {}, "", false},
    {"SPI", "", "T1_Temp_Alarm",   "Transformer T1 oil temperature",   1005, 1, 5,  {}, "", false},
    {"SPI", "", "T1_Fan_Run",      "Transformer T1 fans running",      1006, 1, 6,  {}, "", false},
    {"SPI", "", "Prot_21_Trip",    "Distance protection trip",         1007, 1, 7,  {}, "", false},
    {"SPI", "", "Prot_87_Trip",    "Differential protection trip",     1008, 1, 8,  {}, "", false},
    {"SPI", "", "Prot_50_Start",   "Overcurrent start",                1009, 1, 9,  {}, "", false},
    {"SPI", "", "AC_Supply_Fail",  "Auxiliary AC supply failure",      1010, 1, 10, {}, "", false},
    {"SPI", "", "DC_Supply_Fail",  "Battery charger failure",          1011, 2, 1,  {}, "", false},
    {"SPI", "x", "Spare_DI",       "Spare input (not wired)",          1012, 2, 2,  {}, "", false},
    {"SPI", "", "Door_Open",       "Control room door open",           1013, 2, 3,  {}, "", false},
    {"SPI", "", "Fire_Alarm",      "Fire alarm",                       1014, 2, 4,  {}, "", false},
    {"SPI", "", "RTU_Watchdog",    "RTU watchdog",                     1015, 2, 5,  {}, "", true},
    {"DPI", "", "Q0_Pos",          "Bay Q0 circuit breaker",           2001, 3, 1,  {}, "", {}},
    {"DPI", "", "Q1_Pos",          "Bay Q1 busbar disconnector",       2002, 3, 3,  {}, "", {}},
    {"DPI", "", "Q9_Pos",          "Bay Q9 line disconnector",         2003, 3, 5,  {}, "", {}},
    {"DPI", "", "Q8_Pos",          "Bay Q8 earthing switch",           2004, 3, 7,  {}, "", {}},
    {"DPI", "", "T1_Q0_Pos",       "Transformer T1 breaker 110 kV",    2005, 3, 9,  {}, "", {}},
    {"DPI", "", "T1_Q0L_Pos",      "Transformer T1 breaker 20 kV",     2006, 3, 11, {}, "", {}},
    {"DPI", "", "F1_Q0_Pos",       "Feeder F1 breaker",                2007, 3, 13, {}, "", {}},
    {"DPI", "", "F2_Q0_Pos",       "Feeder F2 breaker",                2008, 3, 15, {}, "", {}},
    {"MEAS", "", "U_L12",          "Busbar voltage L1-L2",             3001, 4, 1,  0.01, "kV", {}},
    {"MEAS", "", "U_L23",          "Busbar voltage L2-L3",             3002, 4, 2,  0.01, "kV", {}},
    {"MEAS", "", "U_L31",          "Busbar voltage L3-L1",             3003, 4, 3,  0.01, "kV", {}},
    {"MEAS", "", "I_L1",           "Line current L1",                  3004, 4, 4,  0.1,  "A", {}},
    {"MEAS", "", "I_L2",           "Line current L2",                  3005, 4, 5,  0.1,  "A", {}},
    {"MEAS", "", "I_L3",           "Line current L3",                  3006, 4, 6,  0.1,  "A", {}},
    {"MEAS", "", "P_Total",        "Active power",                     3007, 4, 7,  "1,5", "MW", {}},
    {"MEAS", "", "Q_Total",        "Reactive power",                   3008, 4, 8,  1.5,  "Mvar", {}},
    {"MEAS", "", "Freq",           "Frequency",                        3009, 4, 9,  0.001, "Hz", {}},
    {"MEAS", "", "T1_Oil_Temp",    "Transformer T1 oil temperature",   3010, 4, 10, 0.1,  "degC", {}},
    {"SCO", "", "Q0_Open",         "Bay Q0 open command",              4001, 5, 1,  {}, "", {}},
    {"SCO", "", "Q0_Close",        "Bay Q0 close command",             4002, 5, 2,  {}, "", {}},
    {"SCO", "", "T1_Fan_On",       "Transformer T1 fans on",           4003, 5, 3,  {}, "", {}},
    {"SCO", "", "F1_Q0_Open",      "Feeder F1 open command",           4004, 5, 4,  {}, "", {}},
    {"SCO", "", "F1_Q0_Close",     "Feeder F1 close command",          4005, 5, 5,  {}, "", {}},
    {"SCO", "", "Alarm_Ack",       "Acknowledge station alarms",       4006, 5, 6,  {}, "", {}},
    {"CNT", "", "E_Import",        "Active energy import",             5001, 6, 1,  {}, "MWh", {}},
    {"CNT", "", "E_Export",        "Active energy export",             5002, 6, 2,  {}, "MWh", {}},
    {"CNT", "", "Eq_Import",       "Reactive energy import",           5003, 6, 3,  {}, "Mvarh", {}},
    {"CNT", "", "Eq_Export",       "Reactive energy export",           5004, 6, 4,  {}, "Mvarh", {}},
};
// clang-format on

SheetContent signalSheet()
{
    SheetContent sheet{QStringLiteral("Signals"), {}};
    sheet.rows.push_back({"Signal list - Substation Nordhavn"});
    sheet.rows.push_back({"Type", "Disabled", "Tag", "Description", "IOA", "Port", "Channel", "Scale",
                          "Unit", "Invert"});
    for (const Signal &s : kSignals) {
        sheet.rows.push_back({s.type, *s.disabled ? QVariant(s.disabled) : QVariant(), s.tag,
                              s.description, s.ioa, s.port, s.channel, s.scale,
                              *s.unit ? QVariant(s.unit) : QVariant(), s.invert});
    }
    sheet.rows.push_back({"END"});
    return sheet;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("examples");
    const QString path = QDir(folder).filePath(QStringLiteral("substation.xlsx"));
    try {
        writeXlsx(path, {settingsSheet(), signalSheet()});
    } catch (const Failure &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    std::printf("%s\n", qPrintable(path));
    return 0;
}
