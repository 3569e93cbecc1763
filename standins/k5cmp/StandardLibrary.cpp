#include "StandardLibrary.h"

#include "Lexer.h"
#include "Names.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace k5cmp {

namespace {

const std::unordered_map<std::string, std::vector<BlockMember>> &standardBlocks()
{
    static const std::vector<BlockMember> kTimer = {{"IN", "BOOL", true, false},
                                                    {"PT", "TIME", true, false},
                                                    {"Q", "BOOL", false, true},
                                                    {"ET", "TIME", false, true}};
    static const std::vector<BlockMember> kTrigger = {{"CLK", "BOOL", true, false},
                                                      {"Q", "BOOL", false, true}};
    static const std::unordered_map<std::string, std::vector<BlockMember>> kBlocks = {
        {"TON", kTimer},
        {"TOF", kTimer},
        {"TP", kTimer},
        {"CTU",
         {{"CU", "BOOL", true, false},
          {"R", "BOOL", true, false},
          {"PV", "INT", true, false},
          {"Q", "BOOL", false, true},
          {"CV", "INT", false, true}}},
        {"CTD",
         {{"CD", "BOOL", true, false},
          {"LD", "BOOL", true, false},
          {"PV", "INT", true, false},
          {"Q", "BOOL", false, true},
          {"CV", "INT", false, true}}},
        {"CTUD",
         {{"CU", "BOOL", true, false},
          {"CD", "BOOL", true, false},
          {"R", "BOOL", true, false},
          {"LD", "BOOL", true, false},
          {"PV", "INT", true, false},
          {"QU", "BOOL", false, true},
          {"QD", "BOOL", false, true},
          {"CV", "INT", false, true}}},
        {"R_TRIG", kTrigger},
        {"F_TRIG", kTrigger},
        {"SR",
         {{"S1", "BOOL", true, false}, {"R", "BOOL", true, false}, {"Q1", "BOOL", false, true}}},
        {"RS",
         {{"S", "BOOL", true, false}, {"R1", "BOOL", true, false}, {"Q1", "BOOL", false, true}}},
    };
    return kBlocks;
}

// The standard functions of IEC 61131-3 (numeric, bit string, selection, comparison,
// character string) and the I/O functions of the Orvane RTU's firmware library.
const std::unordered_set<std::string> &functions()
{
    static const std::unordered_set<std::string> kFunctions = {
        // numeric
        "ABS",
        "SQRT",
        "LN",
        "LOG",
        "EXP",
        "SIN",
        "COS",
        "TAN",
        "ASIN",
        "ACOS",
        "ATAN",
        "EXPT",
        "ADD",
        "SUB",
        "MUL",
        "DIV",
        "MOD",
        "MOVE",
        "TRUNC",
        // bit strings
        "SHL",
        "SHR",
        "ROL",
        "ROR",
        "AND",
        "OR",
        "XOR",
        "NOT",
        // selection and comparison
        "SEL",
        "MAX",
        "MIN",
        "LIMIT",
        "MUX",
        "GT",
        "GE",
        "EQ",
        "LE",
        "LT",
        "NE",
        // character strings
        "LEN",
        "LEFT",
        "RIGHT",
        "MID",
        "CONCAT",
        "INSERT",
        "DELETE",
        "REPLACE",
        "FIND",
        // the device's I/O
        "DI_READ",
        "DP_READ",
        "AI_READ",
        "CNT_READ",
        "DO_WRITE",
        "AO_WRITE",
    };
    return kFunctions;
}

// X_TO_Y between elementary types (INT_TO_REAL, REAL_TO_DINT, TIME_TO_DINT, ...), and the
// BCD conversions.
bool isConversion(const std::string &folded)
{
    static const char *const kExtraTypes[] = {"TIME", "DATE", "TOD", "DT", "BCD"};
    auto isType = [](const std::string &name) {
        return isElementaryTypeName(name) ||
               std::any_of(std::begin(kExtraTypes), std::end(kExtraTypes),
                           [&](const char *t) { return name == t; });
    };
    const std::size_t at = folded.find("_TO_");
    return at != std::string::npos && isType(folded.substr(0, at)) && isType(folded.substr(at + 4));
}

} // namespace

const std::vector<BlockMember> *standardBlockMembers(std::string_view typeName)
{
    const auto found = standardBlocks().find(foldedName(typeName));
    return found == standardBlocks().end() ? nullptr : &found->second;
}

bool isStandardFunction(std::string_view name)
{
    const std::string folded = foldedName(name);
    return functions().count(folded) != 0 || isConversion(folded);
}

} // namespace k5cmp
